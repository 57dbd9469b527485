// The HIPS filter head and rule records against bytes typed from their tables, and the
// host address a filter is sent to.
#include <gtest/gtest.h>

#include <string>

#include "console/LinkRecords.h"
#include "integrity/HipsClientAddress.h"

namespace {

// size zero bytes with little-endian values and UTF-16 texts at offsets.
struct Golden {
  explicit Golden(size_t size) : bytes(size, 0) {}
  Golden& Le(size_t at, uint32_t v, size_t width) {
    for (size_t i = 0; i < width; ++i) bytes[at + i] = char(v >> (8 * i) & 0xFF);
    return *this;
  }
  Golden& Text(size_t at, const std::wstring& t) {
    for (size_t i = 0; i < t.size(); ++i) Le(at + 2 * i, t[i], 2);
    return *this;
  }
  std::string bytes;
};

TEST(HipsRecords, HeadsOfEveryCategoryAndAGrownDeletionHoldTheirFieldsAtTheTablesOffsets) {
  const std::wstring long300(300, L'目');
  struct Case {
    uint32_t type;
    std::wstring regExp;
    bool grow;
    size_t size;
  } cases[] = {{0, L"C:\\Windows\\*", false, 600}, {1, L"HKLM\\Software", false, 600}, {2, L"", false, 600},
               {3, L"", true, 600},  {0, std::wstring(259, L'a'), true, 600},
               {0, long300, true, 682},  {0, long300, false, 600}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size + c.type);
    std::string out;
    AppendHipsFilterHead(out, HipsFilterHeadFields{std::wstring(40, L'名'), c.type, 2, 0x6A, 1, 1, c.regExp}, c.grow);
    const size_t field = c.size - 80;  // bytes of the RegExp field
    const std::wstring kept = c.regExp.substr(0, field / 2 - 1);
    EXPECT_EQ(Golden(c.size).Text(0, std::wstring(31, L'名')).Le(64, c.type, 4).Le(68, 2, 1).Le(69, 0x6A, 1)
                  .Le(70, 1, 2).Le(72, 1, 4).Text(76, kept).bytes, out);
  }
}

TEST(HipsRecords, RulesFollowTheHeadWithTheirDistancesAndTheLastEndsWithZero) {
  std::string out;
  AppendHipsFilterHead(out, HipsFilterHeadFields{L"f", 0, 0, 0, 0, 0, L""}, false);
  AppendHipsRuleRecord(out, 1, 2, 1, 1, L"abc", false);
  AppendHipsRuleRecord(out, 5, 0, 2, 2, L"abcde", true);
  ASSERT_EQ(640u, out.size());
  EXPECT_EQ(Golden(18).Le(0, 18, 4).Le(4, 1, 1).Le(5, 2, 1).Le(6, 1, 1).Le(7, 1, 1).Le(8, 3, 2).Text(10, L"abc").bytes,
            out.substr(600, 18));
  EXPECT_EQ(Golden(22).Le(4, 5, 1).Le(6, 2, 1).Le(7, 2, 1).Le(8, 5, 2).Text(10, L"abcde").bytes, out.substr(618));
}

TEST(HipsRecords, TrustRecordsCarryAtMostTheFirst259CharactersOfTheContent) {
  struct Case {
    uint32_t type;
    std::wstring content;
    size_t kept;
  } cases[] = {{0, L"C:\\Tools\\a.exe", 14}, {1, std::wstring(259, L'键'), 259}, {0, std::wstring(260, L'a'), 259},
               {0, std::wstring(300, L'b'), 259}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.content.size());
    std::string out;
    AppendHipsTrustRecord(out, c.type, c.content);
    EXPECT_EQ(Golden(524).Le(0, c.type, 4).Text(4, c.content.substr(0, c.kept)).bytes, out);
  }
}

TEST(HipsRecords, OnlyAnAddressThatConvertsIsSentTo) {
  struct Case {
    const wchar_t* ip;
    bool ok;
    uint32_t address;
  } cases[] = {{L"127.0.0.1", true, 0x0100007F}, {L"10.1.2.3", true, 0x0302010A}, {L"", false, 0},
               {L"主机", false, 0}, {L"10.1.2.x", false, 0}, {L"255.255.255.255", false, 0},
               // four decimal numbers only: no short, hex or blank-ended forms
               {L"127.1", false, 0}, {L"0x7f.0.0.1", false, 0}, {L"10.1.2.3 ", false, 0},
               {L"010.001.002.003", true, 0x0302010A}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.ip)));
    uint32_t address = 0;
    EXPECT_EQ(c.ok, HipsClientAddress(c.ip, address));
    if (c.ok) EXPECT_EQ(c.address, address);
  }
}

}  // namespace
