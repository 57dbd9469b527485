#pragma once
// The fixed-size records that travel on the service link, in their wire layout
// (little-endian, UTF-16 text fields with a terminator inside the field), and the
// bounded readers that take a record out of a payload: a payload is never cast and
// never read past the length that came with it.
#include <cstddef>
#include <cstdint>
#include <cstring>

// ---- System management: server settings (1525, 1527) and a client's state (1526)

struct SMServerSettingsRecord {
  enum { kPasswordUnits = 22, kPasswordChars = 20 };
  uint32_t dataPort;
  uint32_t commandPort;
  wchar_t password[kPasswordUnits];  // at most kPasswordChars and a 0, the rest 0
};
static_assert(sizeof(wchar_t) == 2, "link texts are UTF-16");
static_assert(sizeof(SMServerSettingsRecord) == 52, "server settings record is 52 bytes");
static_assert(offsetof(SMServerSettingsRecord, dataPort) == 0, "data port at 0");
static_assert(offsetof(SMServerSettingsRecord, commandPort) == 4, "command port at 4");
static_assert(offsetof(SMServerSettingsRecord, password) == 8, "password at 8");

struct ClientStateRecord {
  uint32_t address;  // as inet_addr gives it
  uint32_t online;   // non-zero online
};
static_assert(sizeof(ClientStateRecord) == 8, "client state record is 8 bytes");
static_assert(offsetof(ClientStateRecord, address) == 0, "address at 0");
static_assert(offsetof(ClientStateRecord, online) == 4, "online flag at 4");

// The service's answer 1525: the two ports of its first 8 bytes. False when shorter.
inline bool ReadServerPorts(const void* payload, size_t length, uint32_t* dataPort,
                            uint32_t* commandPort) {
  if (!payload || length < 8) return false;
  std::memcpy(dataPort, static_cast<const unsigned char*>(payload), 4);
  std::memcpy(commandPort, static_cast<const unsigned char*>(payload) + 4, 4);
  return true;
}

// The service's answer 1526. False when the payload is shorter than the record.
inline bool ReadClientState(const void* payload, size_t length, ClientStateRecord* record) {
  if (!payload || length < sizeof(ClientStateRecord)) return false;
  std::memcpy(record, payload, sizeof(ClientStateRecord));
  return true;
}
