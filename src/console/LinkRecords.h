#pragma once
// The fixed-size records of the service link, little-endian, texts in UTF-16 fields
// with their terminator inside the field. Plain C++ with no platform calls.
//
// Records the console sends are these packed structs, filled field by field (texts
// through WriteFixedText) and sent whole. Payloads that arrive are never cast to a
// record: the Read functions below take the payload's address and the length the link
// delivered, read a u32 only when all four bytes lie inside, and a text up to its
// terminator, its field's width or the payload's end, whichever comes first. A payload
// shorter than its record's fixed part is refused. The caller first makes sure the
// link is delivering that payload at all (CAgentLinkManager::IsDelivering).
#include <cstddef>
#include <cstdint>
#include <string>

using LinkChar = uint16_t;  // one UTF-16 unit of a record's text field

// Copies text and its terminator into the field and zero-fills the rest. Text that
// needs more than N-1 units, or holds a unit beyond 16 bits, is refused: false, and
// the field is left all zero.
template <size_t N>
bool WriteFixedText(LinkChar (&field)[N], const wchar_t* text) {
  for (size_t i = 0; i < N; ++i) field[i] = 0;
  if (!text) return true;
  size_t n = 0;
  while (text[n]) {
    const uint32_t unit = static_cast<uint32_t>(text[n]);  // wider than 16 bits off Windows
    if (n + 1 >= N || unit > 0xFFFFu) {
      for (size_t i = 0; i < N; ++i) field[i] = 0;
      return false;
    }
    field[n] = static_cast<LinkChar>(unit);
    ++n;
  }
  return true;
}

template <size_t N>
bool WriteFixedText(LinkChar (&field)[N], const std::wstring& text) {
  return text.find(L'\0') == std::wstring::npos && WriteFixedText(field, text.c_str());
}

// The bounded readers' primitives: a u32 at offset when its four bytes lie inside the
// payload; the text at offset up to its terminator, maxUnits or the payload's end.
bool ReadLinkU32(const void* payload, size_t length, size_t offset, uint32_t& value);
std::wstring ReadLinkText(const void* payload, size_t length, size_t offset, size_t maxUnits);

#pragma pack(push, 1)

// Integrity monitoring: strategies and history copies.

// 1547 pause or resume, 1548 stop, 1550 delete (to the service, type 3).
struct StrategyNameRecord {
  LinkChar StrategyName[64];
};
static_assert(sizeof(StrategyNameRecord) == 128, "StrategyNameRecord");
static_assert(offsetof(StrategyNameRecord, StrategyName) == 0, "StrategyNameRecord");

// 1546 run now (to the service, type 3).
struct StrategyRunRecord {
  LinkChar StrategyName[64];
  uint32_t StrategyType;
};
static_assert(sizeof(StrategyRunRecord) == 132, "StrategyRunRecord");
static_assert(offsetof(StrategyRunRecord, StrategyName) == 0, "StrategyRunRecord");
static_assert(offsetof(StrategyRunRecord, StrategyType) == 128, "StrategyRunRecord");

// 1549 new strategy (to the service, type 3). The schedule words by TaskMode: start is
// StartTime; word A NumOfDay, NumOfWeek or WhichMonth; word B WhichWeek or DayOfMonth.
struct StrategyScheduleRecord {
  uint8_t Reserved[8];
  LinkChar StrategyName[64];
  uint32_t StrategyType;
  LinkChar SelectedItem[32];
  uint32_t ItemAttribute;
  LinkChar Text[32];  // sent empty
  uint32_t Flag;      // always 1
  uint32_t TaskMode;
  uint32_t Start;
  uint32_t WordA;
  uint32_t WordB;
};
static_assert(sizeof(StrategyScheduleRecord) == 292, "StrategyScheduleRecord");
static_assert(offsetof(StrategyScheduleRecord, Reserved) == 0, "StrategyScheduleRecord");
static_assert(offsetof(StrategyScheduleRecord, StrategyName) == 8, "StrategyScheduleRecord");
static_assert(offsetof(StrategyScheduleRecord, StrategyType) == 136, "StrategyScheduleRecord");
static_assert(offsetof(StrategyScheduleRecord, SelectedItem) == 140, "StrategyScheduleRecord");
static_assert(offsetof(StrategyScheduleRecord, ItemAttribute) == 204, "StrategyScheduleRecord");
static_assert(offsetof(StrategyScheduleRecord, Text) == 208, "StrategyScheduleRecord");
static_assert(offsetof(StrategyScheduleRecord, Flag) == 272, "StrategyScheduleRecord");
static_assert(offsetof(StrategyScheduleRecord, TaskMode) == 276, "StrategyScheduleRecord");
static_assert(offsetof(StrategyScheduleRecord, Start) == 280, "StrategyScheduleRecord");
static_assert(offsetof(StrategyScheduleRecord, WordA) == 284, "StrategyScheduleRecord");
static_assert(offsetof(StrategyScheduleRecord, WordB) == 288, "StrategyScheduleRecord");

// 1551 strategy changed (to the service, type 3): the 1549 fields with the previous
// name after the new one; TaskMode and the schedule words as in 1549.
struct StrategyModifyRecord {
  uint8_t Reserved[8];
  LinkChar StrategyName[64];
  LinkChar PreviousName[64];
  uint32_t StrategyType;
  LinkChar SelectedItem[32];
  uint32_t ItemAttribute;
  LinkChar Text[32];  // sent empty
  uint32_t Flag;      // always 1
  uint32_t TaskMode;
  uint32_t Start;
  uint32_t WordA;
  uint32_t WordB;
};
static_assert(sizeof(StrategyModifyRecord) == 420, "StrategyModifyRecord");
static_assert(offsetof(StrategyModifyRecord, Reserved) == 0, "StrategyModifyRecord");
static_assert(offsetof(StrategyModifyRecord, StrategyName) == 8, "StrategyModifyRecord");
static_assert(offsetof(StrategyModifyRecord, PreviousName) == 136, "StrategyModifyRecord");
static_assert(offsetof(StrategyModifyRecord, StrategyType) == 264, "StrategyModifyRecord");
static_assert(offsetof(StrategyModifyRecord, SelectedItem) == 268, "StrategyModifyRecord");
static_assert(offsetof(StrategyModifyRecord, ItemAttribute) == 332, "StrategyModifyRecord");
static_assert(offsetof(StrategyModifyRecord, Text) == 336, "StrategyModifyRecord");
static_assert(offsetof(StrategyModifyRecord, Flag) == 400, "StrategyModifyRecord");
static_assert(offsetof(StrategyModifyRecord, TaskMode) == 404, "StrategyModifyRecord");
static_assert(offsetof(StrategyModifyRecord, Start) == 408, "StrategyModifyRecord");
static_assert(offsetof(StrategyModifyRecord, WordA) == 412, "StrategyModifyRecord");
static_assert(offsetof(StrategyModifyRecord, WordB) == 416, "StrategyModifyRecord");

// 1531 restore a history copy (to the service, type 3). The address as inet_addr
// gives it (network byte order).
struct CopyRestoreRecord {
  uint32_t ClientIP;
  LinkChar StrategyName[64];
  LinkChar CopyFilePath[260];
};
static_assert(sizeof(CopyRestoreRecord) == 652, "CopyRestoreRecord");
static_assert(offsetof(CopyRestoreRecord, ClientIP) == 0, "CopyRestoreRecord");
static_assert(offsetof(CopyRestoreRecord, StrategyName) == 4, "CopyRestoreRecord");
static_assert(offsetof(CopyRestoreRecord, CopyFilePath) == 132, "CopyRestoreRecord");

// Client hosts.

// 1526 a host's online state (from the service, type 2). The address as inet_addr
// gives it; online non-zero.
struct ClientStateRecord {
  uint32_t Address;
  uint32_t Online;
};
static_assert(sizeof(ClientStateRecord) == 8, "ClientStateRecord");
static_assert(offsetof(ClientStateRecord, Address) == 0, "ClientStateRecord");
static_assert(offsetof(ClientStateRecord, Online) == 4, "ClientStateRecord");

#pragma pack(pop)

// What the readers give back (decoded, not wire layouts).

// 1546 from the service: u32 state (1 running, else idle) at 0; the name from 4 on,
// terminated (at most a name field's 64 units). Fixed part: the state.
struct StrategyRunStateRecord {
  uint32_t State;
  std::wstring StrategyName;
};
bool ReadStrategyRunState(const void* payload, size_t length, StrategyRunStateRecord& record);

// 1532 from the service: u32 result (1 started, 2 succeeded, 3 failed) at 0; the name
// field of 64 units at 4; the failure reason from 132 on, terminated. Fixed part: the
// result and the name field.
struct StrategyRunLogRecord {
  uint32_t Result;
  std::wstring StrategyName;
  std::wstring Reason;
};
bool ReadStrategyRunLog(const void* payload, size_t length, StrategyRunLogRecord& record);

// 1526 from the service: all eight bytes.
bool ReadClientState(const void* payload, size_t length, ClientStateRecord& record);
