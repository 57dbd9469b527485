#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string ResourceBytes(HRSRC res) {
  HGLOBAL mem = ::LoadResource(nullptr, res);
  DWORD size = ::SizeofResource(nullptr, res);
  const char* p = static_cast<const char*>(::LockResource(mem));
  return p ? std::string(p, size) : std::string();
}

}  // namespace

TEST(Resources, XmlIsEmbeddedUnderUpperCaseTypeInLanguage2052AndFoundInAnyLanguage) {
  HRSRC res = ::FindResourceExW(nullptr, L"XML", MAKEINTRESOURCEW(102), 2052);
  ASSERT_NE(nullptr, res);
  std::string bytes = ResourceBytes(res);
  // UTF-8 with a byte-order mark, root "string".
  ASSERT_GE(bytes.size(), 3u);
  EXPECT_EQ("\xef\xbb\xbf", bytes.substr(0, 3));
  EXPECT_NE(std::string::npos, bytes.find("<string>"));
  // Type names match without regard to case.
  EXPECT_NE(nullptr, ::FindResourceW(nullptr, MAKEINTRESOURCEW(102), L"xml"));
  EXPECT_EQ(nullptr, ::FindResourceW(nullptr, MAKEINTRESOURCEW(9999), L"XML"));

  // Found whatever the thread's language.
  LANGID oldUi = ::GetThreadUILanguage();
  LCID oldLocale = ::GetThreadLocale();
  ::SetThreadUILanguage(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
  ::SetThreadLocale(MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT));
  EXPECT_NE(nullptr, ::FindResourceW(nullptr, MAKEINTRESOURCEW(102), L"XML"));
  ::SetThreadUILanguage(oldUi);
  ::SetThreadLocale(oldLocale);
}

TEST(Resources, ManifestAsksForCommonControlsVersion6) {
  HRSRC res = ::FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  ASSERT_NE(nullptr, res);
  EXPECT_NE(std::string::npos, ResourceBytes(res).find("Microsoft.Windows.Common-Controls"));
}
