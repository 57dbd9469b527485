// The link records against bytes typed from their tables, and the bounded readers on
// payloads that end where readable memory ends.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "console/LinkRecords.h"

namespace {

using Bytes = std::vector<unsigned char>;

// size zero bytes with little-endian u32 words and UTF-16 texts (as much as fits) at offsets.
struct Golden {
  explicit Golden(size_t size) : bytes(size, 0) {}
  Golden& U32(size_t at, uint32_t v) { return Put(at, {wchar_t(v & 0xFFFF), wchar_t(v >> 16)}); }
  Golden& Put(size_t at, const std::wstring& units) {
    for (size_t i = 0; i < 2 * units.size() && at + i < bytes.size(); ++i)
      bytes[at + i] = static_cast<unsigned char>(units[i / 2] >> (i % 2 * 8));
    return *this;
  }
  Bytes bytes;
};

template <class R>
Bytes BytesOf(const R& r) {
  return Bytes(reinterpret_cast<const unsigned char*>(&r), reinterpret_cast<const unsigned char*>(&r + 1));
}

TEST(LinkRecords, RecordsHoldTheirFieldsAtTheTablesOffsets) {
  StrategyScheduleFields f{7, {}, 0x21, {}, 1, 1, 8, 2, 17};
  WriteFixedText(f.SelectedItem, L"Windows");
  StrategyScheduleRecord s{{}, {}, f};
  WriteFixedText(s.StrategyName, L"周检");
  EXPECT_EQ(Golden(292).Put(8, L"周检").U32(136, 7).Put(140, L"Windows").U32(204, 0x21).U32(272, 1).U32(276, 1)
                .U32(280, 8).U32(284, 2).U32(288, 17).bytes, BytesOf(s));
  StrategyModifyRecord m{{}, {}, {}, f};
  WriteFixedText(m.StrategyName, L"新");
  WriteFixedText(m.PreviousName, L"旧");
  EXPECT_EQ(Golden(420).Put(8, L"新").Put(136, L"旧").U32(264, 7).Put(268, L"Windows").U32(332, 0x21).U32(400, 1)
                .U32(404, 1).U32(408, 8).U32(412, 2).U32(416, 17).bytes, BytesOf(m));

  StrategyNameRecord name;  // a fixed text keeps room for its terminator, or is refused whole
  std::memset(&name, 0xAB, sizeof name);
  EXPECT_TRUE(WriteFixedText(name.StrategyName, std::wstring(63, L'名')));
  EXPECT_EQ(Golden(128).Put(0, std::wstring(63, L'名')).bytes, BytesOf(name));
  EXPECT_FALSE(WriteFixedText(name.StrategyName, std::wstring(64, L'名')));
  EXPECT_EQ(Bytes(128, 0), BytesOf(name));
  EXPECT_FALSE(WriteFixedText(name.StrategyName, std::wstring(L"a\0b", 3)));  // would be cut
}

TEST(LinkRecords, ReadersStopAtTheTerminatorTheFieldOrThePayloadsEndAtTheEndOfReadableMemory) {
  const size_t page = 4096;
  auto* base = static_cast<unsigned char*>(::VirtualAlloc(nullptr, 2 * page, MEM_COMMIT, PAGE_READWRITE));
  DWORD old;
  ASSERT_TRUE(base && ::VirtualProtect(base + page, page, PAGE_NOACCESS, &old));
  const std::wstring name64(64, L'名');
  const struct {
    bool log;  // 1532, else 1546
    Bytes payload;
    bool ok;
    std::wstring read;  // name|reason
    size_t reasonUnits = SIZE_MAX;
  } rows[] = {
      {false, Golden(3).U32(0, 1).bytes, false, L""},  // no whole u32
      {false, Golden(7).U32(0, 1).Put(4, L"甲乙").bytes, true, L"甲|"},  // an odd last byte
      {false, Golden(134).U32(0, 1).Put(4, name64 + L"X").bytes, true, name64 + L"|"},
      {true, Golden(131).U32(0, 1).bytes, false, L""},  // short of the name field
      {true, Golden(132).U32(0, 1).Put(4, name64).bytes, true, name64 + L"|"},
      {true, Golden(138).U32(0, 1).Put(4, name64).Put(132, L"xyz").bytes, true, name64 + L"|xyz"},
      {true, Golden(138).U32(0, 1).Put(4, name64).Put(132, L"xyz").bytes, true, name64 + L"|xy", 2},  // as asked
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.payload.size());
    unsigned char* p = base + page - row.payload.size();
    std::memcpy(p, row.payload.data(), row.payload.size());
    StrategyRunLogRecord log{};
    StrategyRunStateRecord state{};
    ASSERT_EQ(row.ok, row.log ? ReadStrategyRunLog(p, row.payload.size(), log, row.reasonUnits)
                              : ReadStrategyRunState(p, row.payload.size(), state));
    if (!row.ok) continue;
    EXPECT_EQ(row.read, row.log ? log.StrategyName + L"|" + log.Reason : state.StrategyName + L"|");
    EXPECT_EQ(1u, row.log ? log.Result : state.State);
  }
  ClientStateRecord client{};
  EXPECT_FALSE(ReadClientState(base + page - 7, 7, client));
  ::VirtualFree(base, 0, MEM_RELEASE);
}

}  // namespace
