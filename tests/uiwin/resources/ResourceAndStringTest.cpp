// Resource bytes by id (resource directory first, then the embedded resources) and the
// string table built on them.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/DebugReportCapture.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"
#include "uiwin/UiResUtil.h"
#include "uiwin/UiString.h"

namespace {

std::string Load(UINT id, const wchar_t* type = L"xml") {
  std::string bytes;
  return UiResUtil::LoadUiResource(id, bytes, type) ? bytes : "<none>";
}

TEST(Resources, EmbeddedInLanguage2052UnderAnyCaseOfTypeAndAnyThreadLanguage) {
  UiResUtil::SetResourceDirectory(L"");
  ASSERT_NE(nullptr, ::FindResourceExW(nullptr, L"XML", MAKEINTRESOURCEW(102), 2052));
  const std::string bytes = Load(102);
  EXPECT_EQ("\xef\xbb\xbf<", bytes.substr(0, 4));  // UTF-8 with a byte-order mark
  const LANGID oldUi = ::GetThreadUILanguage();
  const LCID oldLocale = ::GetThreadLocale();
  ::SetThreadUILanguage(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
  ::SetThreadLocale(MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT));
  EXPECT_EQ(bytes, Load(102, L"XML"));
  ::SetThreadUILanguage(oldUi);
  ::SetThreadLocale(oldLocale);
  DebugReportCapture reports;
  EXPECT_EQ("<none>", Load(4242));
  EXPECT_TRUE(reports.Contains("Failed loading xml 4242"));
  // The manifest asks for common controls 6.
  HRSRC manifest = ::FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  ASSERT_NE(nullptr, manifest);
  const char* text = static_cast<const char*>(::LockResource(::LoadResource(nullptr, manifest)));
  EXPECT_NE(std::string::npos, std::string(text, ::SizeofResource(nullptr, manifest))
                                   .find("Microsoft.Windows.Common-Controls"));
}

// Points the loaders at a temp directory for one test and restores the default.
class ResourceDir : public ::testing::Test {
 protected:
  void SetUp() override {
    UiResUtil::SetResourceDirectory(L"");
    embedded_ = Load(102);
    UiResUtil::SetResourceDirectory(dir_.Path().c_str());
  }
  void TearDown() override { UiResUtil::SetResourceDirectory(L""); }
  void Put(const std::wstring& name, const std::string& bytes) {
    ASSERT_TRUE(testfiles::WriteBytes(dir_.File(name), bytes));
  }
  static std::wstring Text(UINT id) {
    LPCWSTR s = UiString::Get(id);
    return s ? s : L"<null>";
  }
  testenv::TempDir dir_;
  std::string embedded_;
};

TEST_F(ResourceDir, AFileWinsUnlessItIsMissingEmptyOrOversized) {
  DebugReportCapture reports;
  EXPECT_EQ(embedded_, Load(102));
  const char raw[] = "\xef\xbb\xbf<string/>\0tail";
  const std::string content(raw, sizeof raw - 1);
  Put(L"102.xml", content);
  EXPECT_EQ(content, Load(102));  // read unchanged
  Put(L"102.xml", "");
  EXPECT_EQ(embedded_, Load(102));
  // A file too large to be a resource (sparse, so it costs no disk).
  HANDLE h = ::CreateFileW(dir_.File(L"102.xml").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  LARGE_INTEGER size;
  size.QuadPart = static_cast<LONGLONG>(UiResUtil::kMaxFileSize) + 1;
  ASSERT_TRUE(::SetFilePointerEx(h, size, nullptr, FILE_BEGIN) && ::SetEndOfFile(h));
  ::CloseHandle(h);
  EXPECT_EQ(embedded_, Load(102));
  EXPECT_TRUE(reports.Reports().empty());
  // A directory deeper than MAX_PATH is not cut to another path: it falls back.
  std::wstring deep = dir_.Path();
  while (deep.size() < 400) deep += L"\\abcdefghij";
  UiResUtil::SetResourceDirectory(deep.c_str());
  EXPECT_EQ(embedded_, Load(102));
}

TEST_F(ResourceDir, StringTableRulesMergingAndBadTables) {
  Put(L"7001.xml", "\xef\xbb\xbf<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<string>\n"
      "  <s id=\"7101\">first</s><s id=\"7102\"></s><s>no id</s><x id=\"7103\">not an s</x>\n"
      "  <s id=\"7104\">one</s><s id=\"7104\">两</s><s id=\"7105abc\">digits first</s>\n"
      "</string>\n");
  ASSERT_TRUE(UiString::Load(7001));
  EXPECT_EQ(L"first", Text(7101));
  EXPECT_EQ(L"", Text(7102));  // an empty body is an empty text, not a missing entry
  EXPECT_EQ(L"<null>", Text(7103));
  EXPECT_EQ(L"两", Text(7104));  // the later duplicate wins
  EXPECT_EQ(L"digits first", Text(7105));
  // A second load replaces the ids it carries and keeps the others.
  Put(L"7002.xml", "<string><s id=\"7101\">second</s><s id=\"7106\">new</s></string>");
  ASSERT_TRUE(UiString::Load(7002));
  EXPECT_EQ(L"second", Text(7101));
  EXPECT_EQ(L"new", Text(7106));
  EXPECT_EQ(L"两", Text(7104));
  // A wrong root, malformed XML, a comment only or no resource change nothing.
  Put(L"7011.xml", "<strings><s id=\"7101\">wrong root</s></strings>");
  Put(L"7012.xml", "<string><s id=\"7101\">unclosed</string>");
  Put(L"7013.xml", "<!-- nothing but a comment -->");
  DebugReportCapture reports;
  for (UINT id : {7011, 7012, 7013, 7014}) EXPECT_FALSE(UiString::Load(id)) << id;
  EXPECT_TRUE(reports.Contains("Failed loading xml 7014"));
  EXPECT_EQ(L"second", Text(7101));
  // The shipped table loads from the embedded resource; a missing id is null and reported.
  UiResUtil::SetResourceDirectory(L"");
  ASSERT_TRUE(UiString::Load(102));
  EXPECT_EQ(L"<null>", Text(987654));
  EXPECT_TRUE(reports.Contains("Failed loading string 987654"));
}

}  // namespace
