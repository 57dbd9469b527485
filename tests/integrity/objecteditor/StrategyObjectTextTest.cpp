#include <gtest/gtest.h>

#include "integrity/StrategyObjectText.h"

using Text = StrategyObjectText;

TEST(StrategyObjectText, IpEntriesReadBackAsBuilt) {
  const unsigned long a = 0x0A000001, b = 0xC0A80164;  // 10.0.0.1, 192.168.1.100
  const struct {
    Text::IpPart single, start, end;
    const wchar_t* text;
  } rows[] = {
      {{a, L"24"}, {}, {}, L"10.0.0.1/24"},
      {{a, L""}, {}, {}, L"10.0.0.1"},
      {{}, {a, L""}, {b, L""}, L"10.0.0.1-192.168.1.100"},
      {{}, {a, L"8"}, {b, L"16"}, L"10.0.0.1/8-192.168.1.100/16"},
      {{}, {a, L"8"}, {b, L""}, L"10.0.0.1/8-192.168.1.100"},
      {{}, {}, {b, L"16"}, L"192.168.1.100/16"},  // an end alone reads as a single address
      {{0, L"24"}, {}, {}, L""},                  // a mask without its address is no entry
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(row.text)));
    const bool range = row.start.address || row.end.address;
    const std::wstring text = range ? Text::RangeText(row.start, row.end) : Text::PartText(row.single);
    EXPECT_EQ(row.text, text);
    const Text::IpEntry entry = Text::ParseEntry(text);
    const bool storedRange = row.start.address != 0;
    EXPECT_EQ(storedRange, entry.range);
    const Text::IpPart& first = storedRange ? row.start : range ? row.end : row.single;
    EXPECT_EQ(first.address, entry.parts[0].address);
    EXPECT_EQ(first.address ? first.mask : L"", entry.parts[0].mask);
    if (storedRange) EXPECT_EQ(row.end.address, entry.parts[1].address);
  }
}

TEST(StrategyObjectText, MalformedStoredTextsLeaveTheControlEmpty) {
  const struct {
    const wchar_t* text;
    unsigned long address;
  } rows[] = {{L"1.2.3.256", 0}, {L"abc", 0}, {L"", 0}, {L"10.1", 0x0A010000},
              {L"255.255.255.255", 0xFFFFFFFF}};
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(row.text)));
    EXPECT_EQ(row.address, Text::ParseAddress(row.text));
  }
}

TEST(StrategyObjectText, SplitsAndRows) {
  const std::wstring mac[6] = {L"0A", L"1B", L"2C", L"3D", L"4E", L"5F"};
  EXPECT_EQ(L"0A-1B-2C-3D-4E-5F", Text::JoinMac(mac));
  std::wstring fields[6];
  Text::SplitMac(L"0A-1B-2", fields);
  const std::wstring shortSplit[6] = {L"0A", L"1B", L"2", L"", L"", L""};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(shortSplit[i], fields[i]) << i;

  EXPECT_EQ(std::vector<std::wstring>{L""}, Text::Split(L"", L';'));
  EXPECT_EQ((std::vector<std::wstring>{L"a", L"", L"b"}), Text::Split(L"a;;b", L';'));
  EXPECT_EQ(L"q;m", Text::DeviceRow(L"q", L"m"));
  EXPECT_EQ(L"m", Text::DeviceRow(L"", L"m"));
  EXPECT_EQ(L"80-90", Text::PortText(L"80", L"90"));
  EXPECT_EQ(L"90", Text::PortText(L"", L"90"));
}
