// Resource bytes by id (resource directory first, then the embedded resources) and the
// string table built on them.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/TextConv.h"
#include "support/DebugReportCapture.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"
#include "uiwin/UiResUtil.h"
#include "uiwin/UiString.h"

namespace {

std::string EmbeddedBytes(UINT id) {
  std::string bytes;
  EXPECT_TRUE(UiResUtil::LoadPeResource(id, bytes, L"xml"));
  return bytes;
}

// Points the loaders at a temp directory for one test and restores the default.
class ResourceDirTest : public ::testing::Test {
 protected:
  void SetUp() override { UiResUtil::SetResourceDirectory(dir_.Path().c_str()); }
  void TearDown() override { UiResUtil::SetResourceDirectory(L""); }
  void Put(const std::wstring& name, const std::string& bytes) {
    ASSERT_TRUE(testfiles::WriteBytes(dir_.File(name), bytes));
  }
  std::wstring Text(UINT id) {
    LPCWSTR s = UiString::Get(id);
    return s ? s : L"<null>";
  }
  testenv::TempDir dir_;
};

TEST(UiResUtilTest, EmbeddedResourceWithoutDirectoryAndMissingEverywhere) {
  UiResUtil::SetResourceDirectory(L"");
  std::string bytes;
  DebugReportCapture reports;
  ASSERT_TRUE(UiResUtil::LoadUiResource(102, bytes, L"xml"));
  EXPECT_EQ("\xef\xbb\xbf", bytes.substr(0, 3));
  EXPECT_NE(std::string::npos, bytes.find("<string>"));
  // The type name matches whatever its case.
  std::string upper;
  EXPECT_TRUE(UiResUtil::LoadUiResource(102, upper, L"XML"));
  EXPECT_EQ(bytes, upper);
  EXPECT_TRUE(reports.Reports().empty());

  EXPECT_FALSE(UiResUtil::LoadUiResource(4242, bytes, L"xml"));
  EXPECT_TRUE(reports.Contains("Failed loading xml 4242"));
  EXPECT_FALSE(UiResUtil::LoadPeResource(4242, bytes, L"xml"));
}

TEST_F(ResourceDirTest, FileInDirectoryWinsAndIsReadUnchanged) {
  const std::string content("\xef\xbb\xbf<string><s id=\"1\">x</s></string>\0tail", 44);
  Put(L"102.xml", content);
  std::string bytes;
  ASSERT_TRUE(UiResUtil::LoadUiResource(102, bytes, L"xml"));
  EXPECT_EQ(content, bytes);
}

TEST_F(ResourceDirTest, MissingEmptyOrOversizedFileFallsBackToEmbedded) {
  const std::string embedded = EmbeddedBytes(102);
  DebugReportCapture reports;
  std::string bytes;
  // No file at all.
  ASSERT_TRUE(UiResUtil::LoadUiResource(102, bytes, L"xml"));
  EXPECT_EQ(embedded, bytes);
  // A zero-length file.
  Put(L"102.xml", "");
  bytes.clear();
  ASSERT_TRUE(UiResUtil::LoadUiResource(102, bytes, L"xml"));
  EXPECT_EQ(embedded, bytes);
  // A file too large to be a resource (sparse, so it costs no disk).
  HANDLE h = ::CreateFileW(dir_.File(L"102.xml").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, h);
  LARGE_INTEGER size;
  size.QuadPart = static_cast<LONGLONG>(UiResUtil::kMaxFileSize) + 1;
  ASSERT_TRUE(::SetFilePointerEx(h, size, nullptr, FILE_BEGIN));
  ASSERT_TRUE(::SetEndOfFile(h));
  ::CloseHandle(h);
  bytes.clear();
  ASSERT_TRUE(UiResUtil::LoadUiResource(102, bytes, L"xml"));
  EXPECT_EQ(embedded, bytes);
  EXPECT_TRUE(reports.Reports().empty());
}

TEST_F(ResourceDirTest, LongDirectoryPathIsNotTruncated) {
  // Deeper than MAX_PATH would allow in a fixed buffer: the loader must not read a
  // different (cut) path; it simply falls back.
  std::wstring deep = dir_.Path();
  while (deep.size() < 400) deep += L"\\abcdefghij";
  UiResUtil::SetResourceDirectory(deep.c_str());
  EXPECT_EQ(deep, UiResUtil::GetResourceDirectory());
  std::string bytes;
  ASSERT_TRUE(UiResUtil::LoadUiResource(102, bytes, L"xml"));
  EXPECT_EQ(EmbeddedBytes(102), bytes);
}

TEST(UiStringTest, ShippedTableLoadsFromEmbeddedResourceAndMissingIdsAreNull) {
  UiResUtil::SetResourceDirectory(L"");
  ASSERT_TRUE(UiString::Load(102));
  ASSERT_NE(nullptr, UiString::Get(0));
  EXPECT_EQ(std::wstring(L"宋体"), UiString::Get(0));
  EXPECT_EQ(std::wstring(L"系统日志"), UiString::Get(2012));
  EXPECT_EQ(std::wstring(L"确定"), UiString::Get(30));
  EXPECT_EQ(std::wstring(L"<dlg pos=\"|-%d,0,|%d,-0\">%s</dlg>"), UiString::Get(257));
  DebugReportCapture reports;
  EXPECT_EQ(nullptr, UiString::Get(987654));
  EXPECT_TRUE(reports.Contains("Failed loading string 987654"));
}

TEST_F(ResourceDirTest, TableRulesAndMerging) {
  Put(L"7001.xml",
      "\xef\xbb\xbf<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
      "<string>\n"
      "  <s id=\"7101\">first</s>\n"
      "  <s id=\"7102\"></s>\n"
      "  <s>no id</s>\n"
      "  <x id=\"7103\">not an s</x>\n"
      "  <s id=\"7104\">one</s>\n"
      "  <s id=\"7104\">两</s>\n"
      "  <s id=\"7105abc\">digits first</s>\n"
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
  ASSERT_TRUE(UiString::Load(7002));
  EXPECT_EQ(L"second", Text(7101));
}

TEST_F(ResourceDirTest, BadTablesChangeNothing) {
  Put(L"7010.xml", "<string><s id=\"7110\">kept</s></string>");
  ASSERT_TRUE(UiString::Load(7010));
  Put(L"7011.xml", "<strings><s id=\"7110\">wrong root</s></strings>");
  Put(L"7012.xml", "<string><s id=\"7110\">unclosed</string>");
  Put(L"7013.xml", "<!-- nothing but a comment -->");
  EXPECT_FALSE(UiString::Load(7011));
  EXPECT_FALSE(UiString::Load(7012));
  EXPECT_FALSE(UiString::Load(7013));
  DebugReportCapture reports;
  EXPECT_FALSE(UiString::Load(7014));  // no such resource
  EXPECT_TRUE(reports.Contains("Failed loading xml 7014"));
  EXPECT_EQ(L"kept", Text(7110));
}

}  // namespace
