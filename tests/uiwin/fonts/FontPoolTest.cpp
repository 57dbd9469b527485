// Font keys: bits for italic, underline and bold, a signed size delta in the high byte,
// all derived from the default font, which can be replaced while older fonts live on.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "uiwin/UiFontPool.h"

namespace {

LOGFONTW Describe(HFONT font) {
  LOGFONTW lf{};
  EXPECT_EQ(static_cast<int>(sizeof lf), ::GetObjectW(font, sizeof lf, &lf));
  return lf;
}

class FontPoolTest : public ::testing::Test {
 protected:
  void SetUp() override { UiFontPool::SetDefaultFont(L"宋体", -12); }
};

struct KeyCase {
  const char* text;
  WORD key;
  LONG height;
  LONG weight;
  BYTE italic;
  BYTE underline;
};

TEST_F(FontPoolTest, KeysGiveVariantsOfTheDefaultFaceAndHeight) {
  const KeyCase cases[] = {
      {"0000", 0x0000, -12, FW_NORMAL, 0, 0}, {"0004", 0x0004, -12, FW_BOLD, 0, 0},
      {"0001", 0x0001, -12, FW_NORMAL, 1, 0}, {"0002", 0x0002, -12, FW_NORMAL, 0, 1},
      {"0007", 0x0007, -12, FW_BOLD, 1, 1},
      {"0100", 0x0100, -13, FW_NORMAL, 0, 0}, {"0600", 0x0600, -18, FW_NORMAL, 0, 0},
      {"FF00", 0xFF00, -11, FW_NORMAL, 0, 0}, {"ff04", 0xFF04, -11, FW_BOLD, 0, 0},
      {"0008", 0x0008, -12, FW_NORMAL, 0, 0}, {"10004", 0x0004, -12, FW_BOLD, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    ASSERT_EQ(c.key, UiFontPool::ParseFontKey(c.text));
    HFONT font = UiFontPool::GetFont(c.key);
    ASSERT_NE(nullptr, font);
    EXPECT_EQ(font, UiFontPool::GetFont(c.key));  // cached
    LOGFONTW lf = Describe(font);
    EXPECT_EQ(std::wstring(L"宋体"), lf.lfFaceName);
    EXPECT_EQ(c.height, lf.lfHeight);
    EXPECT_EQ(c.weight, lf.lfWeight);
    EXPECT_EQ(c.italic, lf.lfItalic);
    EXPECT_EQ(c.underline, lf.lfUnderline);
    EXPECT_EQ(ANTIALIASED_QUALITY, lf.lfQuality);
  }
  // Bits 3 to 7 change nothing in the font but are keys of their own.
  EXPECT_NE(UiFontPool::GetFont(0), UiFontPool::GetFont(0x0008));
}

TEST_F(FontPoolTest, MalformedKeyTextIsTheDefaultKey) {
  for (const char* text : {"00x4", "0x04", "G", " 4", "-1", ""})
    EXPECT_EQ(0, UiFontPool::ParseFontKey(text)) << text;
  EXPECT_EQ(0, UiFontPool::ParseFontKey(nullptr));
}

TEST_F(FontPoolTest, ReplacedDefaultStaysUsable) {
  HFONT old = UiFontPool::GetFont(0);
  HFONT bold = UiFontPool::GetFont(0x0004);
  // Select the old default the way a control would, then replace it.
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ prev = ::SelectObject(dc, old);
  UiFontPool::SetDefaultFont(L"Tahoma", -11);
  HFONT now = UiFontPool::GetFont(0);
  EXPECT_NE(old, now);
  EXPECT_EQ(-11, Describe(now).lfHeight);
  // The old handle is still a font; text drawn with it still measures.
  EXPECT_EQ(OBJ_FONT, static_cast<int>(::GetObjectType(old)));
  SIZE sz{};
  EXPECT_TRUE(::GetTextExtentPoint32W(dc, L"abc", 3, &sz));
  EXPECT_GT(sz.cx, 0);
  ::SelectObject(dc, prev);
  ::DeleteDC(dc);
  // Keys made before keep their old face and height.
  EXPECT_EQ(bold, UiFontPool::GetFont(0x0004));
  EXPECT_EQ(-12, Describe(bold).lfHeight);
}

TEST_F(FontPoolTest, OverlongFaceIsCut) {
  const std::wstring face(40, L'x');
  UiFontPool::SetDefaultFont(face.c_str(), -12);
  HFONT font = UiFontPool::GetFont(0);
  ASSERT_NE(nullptr, font);
  EXPECT_EQ(std::wstring(31, L'x'), Describe(font).lfFaceName);
  UiFontPool::SetDefaultFont(nullptr, -12);
  EXPECT_NE(nullptr, UiFontPool::GetFont(0));
}

}  // namespace
