#pragma once
// The records of the service link as they travel: little-endian, laid out by the
// console's 32-bit compiler with nothing between the fields; static_asserts on each
// record's size and every field's offset keep them from moving. Records are written
// through their structs; what arrives is never cast to one but read through the bounded
// readers below, which never look past the payload's length.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace linkpayload {

// The UTF-16 text of a field of `units` characters at `offset`: it ends at its first
// NUL, at the field's end or at the payload's end, whichever comes first.
inline std::wstring ReadText16(const unsigned char* payload, size_t length, size_t offset,
                               size_t units) {
  std::wstring text;
  if (!payload || offset > length) return text;
  const size_t have = (length - offset) / 2;
  const unsigned char* p = payload + offset;
  for (size_t i = 0; i < units && i < have; ++i) {
    const wchar_t c = static_cast<wchar_t>(p[2 * i] | p[2 * i + 1] << 8);
    if (c == 0) break;
    text.push_back(c);
  }
  return text;
}

// The 8-bit text from `offset` to its first NUL or the payload's end.
inline std::string ReadText8(const unsigned char* payload, size_t length, size_t offset) {
  if (!payload || offset >= length) return std::string();
  const char* begin = reinterpret_cast<const char*>(payload + offset);
  size_t n = 0;
  while (n < length - offset && begin[n] != '\0') ++n;
  return std::string(begin, n);
}

// Fills a fixed-width UTF-16 field: the text cut to leave room for its terminator,
// zeros behind it.
inline void WriteText16(wchar_t* field, size_t units, const std::wstring& text) {
  for (size_t i = 0; i < units; ++i) field[i] = i + 1 < units && i < text.size() ? text[i] : L'\0';
}

// The u32 at `offset` when all its four bytes lie inside the payload.
inline bool ReadU32(const unsigned char* payload, size_t length, size_t offset, uint32_t& value) {
  if (!payload || offset > length || length - offset < 4) return false;
  const unsigned char* p = payload + offset;
  value = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
  return true;
}

}  // namespace linkpayload

// Copies the text and its terminator into a fixed field and zeros the rest. A text that
// needs more than N-1 units (or holds a NUL of its own) is refused rather than cut:
// false, and the field is left all zero.
template <size_t N>
bool WriteFixedText(wchar_t (&field)[N], const std::wstring& text) {
  const bool fits = text.size() < N && text.find(L'\0') == std::wstring::npos;
  for (size_t i = 0; i < N; ++i) field[i] = fits && i < text.size() ? text[i] : L'\0';
  return fits;
}

// Remote path pickers
// 1538 to a host's agent: the directory to list.
struct DirectoryListRequest {
  wchar_t path[260];  // NUL-terminated
};
static_assert(sizeof(wchar_t) == 2, "link texts are UTF-16");
static_assert(sizeof(DirectoryListRequest) == 520, "1538 request");
static_assert(offsetof(DirectoryListRequest, path) == 0, "1538 request");

// Integrity monitoring: strategies and history copies.

// 1547 pause or resume, 1548 stop, 1550 delete (to the service, type 3).
struct StrategyNameRecord {
  wchar_t StrategyName[64];
};
static_assert(sizeof(StrategyNameRecord) == 128, "StrategyNameRecord");
static_assert(offsetof(StrategyNameRecord, StrategyName) == 0, "StrategyNameRecord");

// 1546 run now (to the service, type 3).
struct StrategyRunRecord {
  wchar_t StrategyName[64];
  uint32_t StrategyType;
};
static_assert(sizeof(StrategyRunRecord) == 132, "StrategyRunRecord");
static_assert(offsetof(StrategyRunRecord, StrategyName) == 0, "StrategyRunRecord");
static_assert(offsetof(StrategyRunRecord, StrategyType) == 128, "StrategyRunRecord");

// The fields that the new-strategy and changed-strategy records share, after the
// names. The schedule words by TaskMode: Start is StartTime; WordA NumOfDay, NumOfWeek or
// WhichMonth; WordB WhichWeek or DayOfMonth.
struct StrategyScheduleFields {
  uint32_t StrategyType;
  wchar_t SelectedItem[32];
  uint32_t ItemAttribute;
  wchar_t Text[32];  // sent empty
  uint32_t Flag;     // always 1
  uint32_t TaskMode;
  uint32_t Start;
  uint32_t WordA;
  uint32_t WordB;
};
static_assert(sizeof(StrategyScheduleFields) == 156, "StrategyScheduleFields");
static_assert(offsetof(StrategyScheduleFields, StrategyType) == 0, "StrategyScheduleFields");
static_assert(offsetof(StrategyScheduleFields, SelectedItem) == 4, "StrategyScheduleFields");
static_assert(offsetof(StrategyScheduleFields, ItemAttribute) == 68, "StrategyScheduleFields");
static_assert(offsetof(StrategyScheduleFields, Text) == 72, "StrategyScheduleFields");
static_assert(offsetof(StrategyScheduleFields, Flag) == 136, "StrategyScheduleFields");
static_assert(offsetof(StrategyScheduleFields, TaskMode) == 140, "StrategyScheduleFields");
static_assert(offsetof(StrategyScheduleFields, Start) == 144, "StrategyScheduleFields");
static_assert(offsetof(StrategyScheduleFields, WordA) == 148, "StrategyScheduleFields");
static_assert(offsetof(StrategyScheduleFields, WordB) == 152, "StrategyScheduleFields");

// 1549 new strategy (to the service, type 3).
struct StrategyScheduleRecord {
  uint8_t Reserved[8];
  wchar_t StrategyName[64];
  StrategyScheduleFields Fields;  // from 136 on
};
static_assert(sizeof(StrategyScheduleRecord) == 292, "StrategyScheduleRecord");
static_assert(offsetof(StrategyScheduleRecord, Reserved) == 0, "StrategyScheduleRecord");
static_assert(offsetof(StrategyScheduleRecord, StrategyName) == 8, "StrategyScheduleRecord");
static_assert(offsetof(StrategyScheduleRecord, Fields) == 136, "StrategyScheduleRecord");

// 1551 strategy changed (to the service, type 3): the 1549 record with the previous
// name after the new one.
struct StrategyModifyRecord {
  uint8_t Reserved[8];
  wchar_t StrategyName[64];
  wchar_t PreviousName[64];
  StrategyScheduleFields Fields;  // from 264 on
};
static_assert(sizeof(StrategyModifyRecord) == 420, "StrategyModifyRecord");
static_assert(offsetof(StrategyModifyRecord, Reserved) == 0, "StrategyModifyRecord");
static_assert(offsetof(StrategyModifyRecord, StrategyName) == 8, "StrategyModifyRecord");
static_assert(offsetof(StrategyModifyRecord, PreviousName) == 136, "StrategyModifyRecord");
static_assert(offsetof(StrategyModifyRecord, Fields) == 264, "StrategyModifyRecord");

// 1531 restore a history copy (to the service, type 3); the address as inet_addr gives it.
struct CopyRestoreRecord {
  uint32_t ClientIP;
  wchar_t StrategyName[64];
  wchar_t CopyFilePath[260];
};
static_assert(sizeof(CopyRestoreRecord) == 652, "CopyRestoreRecord");
static_assert(offsetof(CopyRestoreRecord, ClientIP) == 0, "CopyRestoreRecord");
static_assert(offsetof(CopyRestoreRecord, StrategyName) == 4, "CopyRestoreRecord");
static_assert(offsetof(CopyRestoreRecord, CopyFilePath) == 132, "CopyRestoreRecord");

// 1546 from the service: u32 state (1 running, else idle) at 0, the name from 4 on up
// to its terminator (a name field's 64 units at most). Fixed part: the state.
struct StrategyRunStateRecord {
  uint32_t State;
  std::wstring StrategyName;
};
bool ReadStrategyRunState(const unsigned char* payload, size_t length, StrategyRunStateRecord& record);

// 1532 from the service: u32 result (1 started, 2 succeeded, 3 failed) at 0, the name
// field of 64 units at 4, the failure reason from 132 on up to its terminator. Fixed
// part: the result and the name field. Of the reason only its first `reasonUnits` are
// read (a frame may carry megabytes of it).
struct StrategyRunLogRecord {
  uint32_t Result;
  std::wstring StrategyName;
  std::wstring Reason;
};
bool ReadStrategyRunLog(const unsigned char* payload, size_t length, StrategyRunLogRecord& record,
                        size_t reasonUnits = SIZE_MAX);

// Client hosts.

// 1526 from the service (type 2): a host's online state; the address as inet_addr gives
// it, online non-zero. Read whole or not at all.
struct ClientStateRecord {
  uint32_t Address;
  uint32_t Online;
};
static_assert(sizeof(ClientStateRecord) == 8, "ClientStateRecord");
static_assert(offsetof(ClientStateRecord, Address) == 0, "ClientStateRecord");
static_assert(offsetof(ClientStateRecord, Online) == 4, "ClientStateRecord");
bool ReadClientState(const unsigned char* payload, size_t length, ClientStateRecord& record);

// System management: server settings (1525, 1527).
struct SMServerSettingsRecord {
  enum { kPasswordUnits = 22, kPasswordChars = 20 };
  uint32_t dataPort;
  uint32_t commandPort;
  wchar_t password[kPasswordUnits];  // at most kPasswordChars and a 0, the rest 0
};
static_assert(sizeof(SMServerSettingsRecord) == 52, "server settings record is 52 bytes");
static_assert(offsetof(SMServerSettingsRecord, dataPort) == 0, "data port at 0");
static_assert(offsetof(SMServerSettingsRecord, commandPort) == 4, "command port at 4");
static_assert(offsetof(SMServerSettingsRecord, password) == 8, "password at 8");

namespace linkpayload {

// The service's answer 1525: the two ports of its first 8 bytes. False when shorter.
inline bool ReadServerPorts(const void* payload, size_t length, uint32_t* dataPort, uint32_t* commandPort) {
  if (!payload || length < 8) return false;
  std::memcpy(dataPort, static_cast<const unsigned char*>(payload), 4);
  std::memcpy(commandPort, static_cast<const unsigned char*>(payload) + 4, 4);
  return true;
}

}  // namespace linkpayload

// HIPS filters
// 1539 new filter, 1540 changed filter (head and one rule record per rule), 1541 deleted
// filter (head alone), frame type 1 to the filter's host. Written byte by byte, so the
// layout below documents them and the writers keep to it on any host.
struct HipsFilterHead {
  wchar_t FilterName[32];  // at most 31 characters
  uint32_t TypeOfHipsRule;
  uint8_t MatchType;
  uint8_t OperatorType;  // behaviour mask
  uint16_t DefaultAction;
  uint32_t DefaultLogFilter;
  wchar_t RegExp[260];  // grows in a deletion for a longer text
  uint32_t Reserved;    // zero
};
static_assert(sizeof(HipsFilterHead) == 600, "HipsFilterHead");
static_assert(offsetof(HipsFilterHead, TypeOfHipsRule) == 64, "HipsFilterHead");
static_assert(offsetof(HipsFilterHead, MatchType) == 68, "HipsFilterHead");
static_assert(offsetof(HipsFilterHead, OperatorType) == 69, "HipsFilterHead");
static_assert(offsetof(HipsFilterHead, DefaultAction) == 70, "HipsFilterHead");
static_assert(offsetof(HipsFilterHead, DefaultLogFilter) == 72, "HipsFilterHead");
static_assert(offsetof(HipsFilterHead, RegExp) == 76, "HipsFilterHead");
static_assert(offsetof(HipsFilterHead, Reserved) == 596, "HipsFilterHead");

// The head's fields as the writers take them.
struct HipsFilterHeadFields {
  std::wstring FilterName;
  uint32_t TypeOfHipsRule;
  uint8_t MatchType;
  uint8_t OperatorType;
  uint16_t DefaultAction;
  uint32_t DefaultLogFilter;
  std::wstring RegExp;
};

namespace linkpayload {

inline void AppendU16(std::string& out, uint32_t v) {
  out.push_back(char(v & 0xFF));
  out.push_back(char(v >> 8 & 0xFF));
}
inline void AppendU32(std::string& out, uint32_t v) {
  AppendU16(out, v & 0xFFFF);
  AppendU16(out, v >> 16);
}
// units UTF-16 units: the text (cut to units-1) and zeros up to the field's end.
inline void AppendText16(std::string& out, const std::wstring& text, size_t units) {
  for (size_t i = 0; i < units; ++i) AppendU16(out, i + 1 < units && i < text.size() ? text[i] : 0);
}

}  // namespace linkpayload

// Appends a head. A deletion (growRegExp) enlarges the RegExp field to hold a text of 260
// characters or more whole: 2L+82 bytes; otherwise the head is 600 bytes.
inline void AppendHipsFilterHead(std::string& out, const HipsFilterHeadFields& f, bool growRegExp) {
  using namespace linkpayload;
  AppendText16(out, f.FilterName, 32);
  AppendU32(out, f.TypeOfHipsRule);
  out.push_back(char(f.MatchType));
  out.push_back(char(f.OperatorType));
  AppendU16(out, f.DefaultAction);
  AppendU32(out, f.DefaultLogFilter);
  AppendText16(out, f.RegExp, growRegExp && f.RegExp.size() >= 260 ? f.RegExp.size() + 1 : 260);
  AppendU32(out, 0);
}

// One behaviour rule of a filter, 12 + 2n bytes for a name of n characters: the struct
// with n = 0, the name's characters before its terminator. The rules of a message
// follow each other, each giving the distance to the next; the last gives 0.
struct HipsRuleRecord {
  uint32_t NextOffset;  // 12 + 2n, 0 in the last
  uint8_t OperatorType;  // behaviour code, 1 to 12
  uint8_t CompareType;
  uint8_t MatchActionType;
  uint8_t UnicodeIndex;
  uint16_t UnicodeNameLength;  // n
  wchar_t UnicodeName[1];      // n characters and the terminator
};
static_assert(sizeof(HipsRuleRecord) == 12, "HipsRuleRecord");
static_assert(offsetof(HipsRuleRecord, OperatorType) == 4, "HipsRuleRecord");
static_assert(offsetof(HipsRuleRecord, CompareType) == 5, "HipsRuleRecord");
static_assert(offsetof(HipsRuleRecord, MatchActionType) == 6, "HipsRuleRecord");
static_assert(offsetof(HipsRuleRecord, UnicodeIndex) == 7, "HipsRuleRecord");
static_assert(offsetof(HipsRuleRecord, UnicodeNameLength) == 8, "HipsRuleRecord");
static_assert(offsetof(HipsRuleRecord, UnicodeName) == 10, "HipsRuleRecord");

// Appends one rule record; the last of a message has next-distance 0.
inline void AppendHipsRuleRecord(std::string& out, uint8_t code, uint8_t compareType,
                                 uint8_t matchActionType, uint8_t unicodeIndex,
                                 const std::wstring& unicodeName, bool last) {
  using namespace linkpayload;
  const size_t n = unicodeName.size() > 0xFFFF ? 0xFFFF : unicodeName.size();
  AppendU32(out, last ? 0 : uint32_t(sizeof(HipsRuleRecord) + 2 * n));
  for (uint8_t b : {code, compareType, matchActionType, unicodeIndex}) out.push_back(char(b));
  AppendU16(out, uint32_t(n));
  AppendText16(out, unicodeName, n + 1);
}

// HIPS trust relations
// 1543 added, 1544 changed, 1541 removed (frame type 1 to the relation's host).
struct HipsTrustRecord {
  uint32_t type;         // 0 file or program, 1 registry
  wchar_t Content[260];  // at most 259 characters, zeros after the terminator
};
static_assert(sizeof(HipsTrustRecord) == 524, "HipsTrustRecord");
static_assert(offsetof(HipsTrustRecord, Content) == 4, "HipsTrustRecord");

// The record's bytes. A longer content (stored by an older console or by hand) goes
// with its first 259 characters, the key by which the agent knows the relation.
inline void AppendHipsTrustRecord(std::string& out, uint32_t type, const std::wstring& content) {
  linkpayload::AppendU32(out, type);
  linkpayload::AppendText16(out, content, 260);
}
