// The link records against bytes typed from their tables, and the bounded readers on
// payloads that end where readable memory ends.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "console/LinkRecords.h"

namespace {

using Bytes = std::vector<unsigned char>;

// size zero bytes with little-endian u32 words and UTF-16 texts at their offsets.
struct Golden {
  explicit Golden(size_t size) : bytes(size, 0) {}
  Golden& U32(size_t at, uint32_t v) {  // as much of it as fits
    for (size_t i = 0; i < 4 && at + i < bytes.size(); ++i)
      bytes[at + i] = static_cast<unsigned char>(v >> (8 * i));
    return *this;
  }
  Golden& Text(size_t at, const wchar_t* s) {
    for (size_t i = 0; s[i]; ++i) {
      bytes[at + 2 * i] = static_cast<unsigned char>(s[i]);
      bytes[at + 2 * i + 1] = static_cast<unsigned char>(s[i] >> 8);
    }
    return *this;
  }
  Bytes bytes;
};

template <class R>
Bytes BytesOf(const R& r) {
  const auto* p = reinterpret_cast<const unsigned char*>(&r);
  return Bytes(p, p + sizeof r);
}

TEST(LinkRecords, RecordsHoldTheirFieldsAtTheTablesOffsets) {
  StrategyNameRecord name{};
  WriteFixedText(name.StrategyName, L"每日巡检");
  StrategyRunRecord run{};
  WriteFixedText(run.StrategyName, L"A'B");
  run.StrategyType = 7;
  StrategyScheduleRecord schedule{};
  WriteFixedText(schedule.StrategyName, L"周检");
  schedule.StrategyType = 7;
  WriteFixedText(schedule.SelectedItem, L"Windows");
  schedule.ItemAttribute = 0x21;
  schedule.Flag = 1;
  schedule.TaskMode = 1;
  schedule.Start = 8;
  schedule.WordA = 2;
  schedule.WordB = 17;
  StrategyModifyRecord modify{};
  WriteFixedText(modify.StrategyName, L"新");
  WriteFixedText(modify.PreviousName, L"旧");
  modify.StrategyType = 4;
  WriteFixedText(modify.SelectedItem, L"Cisco");
  modify.ItemAttribute = 3;
  modify.Flag = 1;
  modify.TaskMode = 2;
  modify.Start = 23;
  modify.WordA = 0xFFF;
  modify.WordB = 31;
  CopyRestoreRecord copy{};
  copy.ClientIP = 0x0A01A8C0u;
  WriteFixedText(copy.StrategyName, L"副本");
  WriteFixedText(copy.CopyFilePath, L"C:\\数据\\a.txt");
  const ClientStateRecord state{0x0B01A8C0u, 1};

  const struct {
    const char* record;
    Bytes actual, expected;
  } rows[] = {
      {"name", BytesOf(name), Golden(128).Text(0, L"每日巡检").bytes},
      {"run", BytesOf(run), Golden(132).Text(0, L"A'B").U32(128, 7).bytes},
      {"schedule", BytesOf(schedule),
       Golden(292).Text(8, L"周检").U32(136, 7).Text(140, L"Windows").U32(204, 0x21).U32(272, 1)
           .U32(276, 1).U32(280, 8).U32(284, 2).U32(288, 17).bytes},
      {"modify", BytesOf(modify),
       Golden(420).Text(8, L"新").Text(136, L"旧").U32(264, 4).Text(268, L"Cisco").U32(332, 3)
           .U32(400, 1).U32(404, 2).U32(408, 23).U32(412, 0xFFF).U32(416, 31).bytes},
      {"copy", BytesOf(copy),
       Golden(652).U32(0, 0x0A01A8C0u).Text(4, L"副本").Text(132, L"C:\\数据\\a.txt").bytes},
      {"client state", BytesOf(state), Golden(8).U32(0, 0x0B01A8C0u).U32(4, 1).bytes},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.record);
    EXPECT_EQ(row.expected, row.actual);
  }
}

TEST(LinkRecords, AFixedTextLeavesRoomForItsTerminatorOrIsRefusedWhole) {
  StrategyNameRecord record;
  std::memset(&record, 0xAB, sizeof record);
  EXPECT_TRUE(WriteFixedText(record.StrategyName, std::wstring(63, L'名')));
  EXPECT_EQ(L'名', record.StrategyName[62]);
  EXPECT_EQ(0, record.StrategyName[63]);
  EXPECT_FALSE(WriteFixedText(record.StrategyName, std::wstring(64, L'名')));
  EXPECT_EQ(Bytes(128, 0), BytesOf(record));
  EXPECT_FALSE(WriteFixedText(record.StrategyName, std::wstring(L"a\0b", 3)));  // would be cut
}

// Payloads placed so that their last byte is the last readable one.
class GuardPage : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = static_cast<unsigned char*>(
        ::VirtualAlloc(nullptr, 2 * kPage, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    DWORD old;
    ASSERT_TRUE(base_ && ::VirtualProtect(base_ + kPage, kPage, PAGE_NOACCESS, &old));
  }
  void TearDown() override { ::VirtualFree(base_, 0, MEM_RELEASE); }
  const unsigned char* AtEnd(const Bytes& payload) {
    unsigned char* p = base_ + kPage - payload.size();
    std::memcpy(p, payload.data(), payload.size());
    return p;
  }
  static const size_t kPage = 4096;
  unsigned char* base_ = nullptr;
};

Bytes Payload(uint32_t word, const std::wstring& text, size_t size) {
  Golden g(size);
  g.U32(0, word);
  for (size_t i = 0; i < text.size() && 5 + 2 * i < size; ++i) {
    g.bytes[4 + 2 * i] = static_cast<unsigned char>(text[i]);
    g.bytes[5 + 2 * i] = static_cast<unsigned char>(text[i] >> 8);
  }
  return g.bytes;
}

TEST_F(GuardPage, ReadersStopAtTheTerminatorTheFieldOrThePayloadsEnd) {
  const std::wstring name64(64, L'名');
  Bytes failed = Payload(3, name64, 132 + 6);
  failed[132] = 'x';
  failed[134] = 'y';
  failed[136] = 'z';  // unterminated reason to the end
  const struct {
    const char* what;
    int message;  // 1546 or 1532
    Bytes payload;
    bool read;
    uint32_t word;
    std::wstring name, reason;
  } rows[] = {
      {"state without a whole u32", 1546, Payload(1, L"", 3), false, 0, L"", L""},
      {"state only", 1546, Payload(1, L"", 4), true, 1, L"", L""},
      {"name to the end", 1546, Payload(1, L"甲乙", 8), true, 1, L"甲乙", L""},
      {"odd last byte", 1546, Payload(0, L"甲乙", 7), true, 0, L"甲", L""},
      {"name past its field", 1546, Payload(1, name64 + L"X", 4 + 130), true, 1, name64, L""},
      {"log short of its name field", 1532, Payload(2, L"A", 131), false, 0, L"", L""},
      {"log without a reason", 1532, Payload(2, name64, 132), true, 2, name64, L""},
      {"reason to the end", 1532, failed, true, 3, name64, L"xyz"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const unsigned char* p = AtEnd(row.payload);
    if (row.message == 1546) {
      StrategyRunStateRecord r{};
      ASSERT_EQ(row.read, ReadStrategyRunState(p, row.payload.size(), r));
      if (!row.read) continue;
      EXPECT_EQ(row.word, r.State);
      EXPECT_EQ(row.name, r.StrategyName);
    } else {
      StrategyRunLogRecord r{};
      ASSERT_EQ(row.read, ReadStrategyRunLog(p, row.payload.size(), r));
      if (!row.read) continue;
      EXPECT_EQ(row.word, r.Result);
      EXPECT_EQ(row.name, r.StrategyName);
      EXPECT_EQ(row.reason, r.Reason);
    }
  }
  ClientStateRecord state{};
  EXPECT_FALSE(ReadClientState(AtEnd(Bytes(7, 1)), 7, state));
  EXPECT_TRUE(ReadClientState(AtEnd(Golden(8).U32(0, 5).U32(4, 1).bytes), 8, state));
  EXPECT_EQ(5u, state.Address);
  EXPECT_EQ(1u, state.Online);
}

}  // namespace
