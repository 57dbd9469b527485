#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/TextConv.h"
#include "platform/WideFormat.h"
#include "support/DebugReportCapture.h"

using qv::FormatW;

TEST(WideFormat, PercentSTakesWideTextTheMicrosoftWay) {
  DebugReportCapture reports;
  EXPECT_EQ(L"错误信息：连接失败", FormatW(L"错误信息：%s", L"连接失败"));
  EXPECT_EQ(L"a-b", FormatW(L"%ls-%ws", L"a", L"b"));
  EXPECT_EQ(L"narrow", FormatW(L"%hs", "narrow"));
  EXPECT_EQ(L"narrow", FormatW(L"%S", "narrow"));
  std::wstring owned = L"宋体";
  EXPECT_EQ(L"[宋体]", FormatW(L"[%s]", owned));
  EXPECT_TRUE(reports.Reports().empty());
}

TEST(WideFormat, NumbersWidthsAndPrecision) {
  EXPECT_EQ(L"2024030507080901", FormatW(L"%04d%02d%02d%02d%02d%02d%02d", 2024, 3, 5, 7, 8, 9, 1));
  EXPECT_EQ(L"-42|42   |  42|002A|ff", FormatW(L"%d|%-5u|%4d|%04X|%x", -42, 42u, 42, 42, 255));
  EXPECT_EQ(L"4294967295", FormatW(L"%u", -1));
  EXPECT_EQ(L"-1", FormatW(L"%d", 0xFFFFFFFFu));
  EXPECT_EQ(L"12345678901", FormatW(L"%I64d", 12345678901LL));
  EXPECT_EQ(L"12345678901", FormatW(L"%lld", 12345678901LL));
  EXPECT_EQ(L"1.50", FormatW(L"%.2f", 1.5));
  EXPECT_EQ(L"  ab|ab  |abc", FormatW(L"%4s|%-4s|%.3s", L"ab", L"ab", L"abcdef"));
  EXPECT_EQ(L"   7", FormatW(L"%*d", 4, 7));
  EXPECT_EQ(L"100%", FormatW(L"%d%%", 100));
  EXPECT_EQ(L"中x", FormatW(L"%c%hc", L'中', 'x'));
}

TEST(WideFormat, MismatchedOrMissingArgumentsAreReportedNotRead) {
  const wchar_t* none = nullptr;
  const struct {
    std::function<std::wstring()> format;
    const wchar_t* text;
    const char* report;  // "" for any, null for none
  } cases[] = {
      {[] { return FormatW(L"[%s]", "narrow given to wide"); }, L"[]", "wide text expected"},
      {[] { return FormatW(L"[%d]", L"text"); }, L"[]", "integer expected"},
      {[] { return FormatW(L"a=%s b=%d"); }, L"a= b=", "missing format argument"},
      {[] { return FormatW(L"x%n", 1); }, L"x", ""},
      {[] { return FormatW(L"%d", 1, 2); }, L"1", "unused"},
      {[&] { return FormatW(L"%s", none); }, L"(null)", nullptr},
  };
  for (const auto& c : cases) {
    DebugReportCapture reports;
    EXPECT_EQ(c.text, c.format());
    EXPECT_EQ(c.report != nullptr, reports.Contains(c.report ? c.report : "")) << qv::WideToUtf8(c.text);
  }
}

TEST(TextConv, RoundTripsChineseThroughUtf8AndCodePage936) {
  const std::wstring text = L"完整性监测 ABC 下次不再提示";
  EXPECT_EQ(text, qv::Utf8ToWide(qv::WideToUtf8(text)));
  EXPECT_EQ("\xe5\xae\x8b\xe4\xbd\x93", qv::WideToUtf8(L"宋体"));
  // The console's users run code page 936; the tests run under the same locale.
  EXPECT_EQ(936u, ::GetACP());
  EXPECT_EQ("\xcb\xce\xcc\xe5", qv::WideToAnsi(L"宋体"));
  EXPECT_EQ(L"宋体", qv::AnsiToWide("\xcb\xce\xcc\xe5"));
  EXPECT_EQ(L"", qv::Utf8ToWide(""));
  // Invalid UTF-8 does not crash and yields replacement characters, never an overrun.
  std::wstring bad = qv::Utf8ToWide(std::string("\xff\xfe\xe5", 3));
  EXPECT_LE(bad.size(), 3u);
}
