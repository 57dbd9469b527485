// The style pool: attributes, lookup with fallback, loading, fonts and reloads.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "support/DebugReportCapture.h"
#include "support/TestEnv.h"
#include "uiwin/UiFontPool.h"
#include "uiwin/UiResUtil.h"
#include "uiwin/CUiSkinBase.h"
#include "uiwin/UiSkin.h"
#include "uiwin/UiStyle.h"

namespace {

// The console's start-up order: string table, default font, skins, styles.
// Every font of this suite derives from the console's interface font.
class ConsoleFont : public ::testing::Environment {
 public:
  void SetUp() override { UiFontPool::SetDefaultFont(L"宋体", -12); }
};
const auto* const g_consoleFont = ::testing::AddGlobalTestEnvironment(new ConsoleFont);

bool WriteXml(const std::wstring& path, const std::string& text) {
  FILE* f = _wfopen(path.c_str(), L"wb");
  if (!f) return false;
  std::string bytes = "\xEF\xBB\xBF" + text;
  bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  fclose(f);
  return ok;
}

LOGFONTW FontOf(HFONT font) {
  LOGFONTW lf = {};
  EXPECT_EQ((int)sizeof lf, GetObjectW(font, sizeof lf, &lf));
  return lf;
}

class StylePool : public ::testing::Test {
 protected:
  StylePool() { UiResUtil::SetResourceDirectory(dir_.Path().c_str()); }
  ~StylePool() override { UiResUtil::SetResourceDirectory(L""); }
  bool Write(UINT id, const std::string& text) {
    return WriteXml(dir_.File(std::to_wstring(id) + L".xml"), text);
  }
  testenv::TempDir dir_;
};

void ExpectDefaults(const UiStyle& s) {
  EXPECT_EQ(kUiColorUnset, s.crbg);
  EXPECT_EQ(kUiColorUnset, s.crbghover);
  EXPECT_EQ(kUiColorUnset, s.crtext);
  EXPECT_EQ(kUiColorUnset, s.crhover);
  EXPECT_EQ((COLORREF)0xCCCCCC, s.crdisabled);
  EXPECT_EQ(0x28u, s.textmode);
  EXPECT_EQ(nullptr, s.font);
  EXPECT_EQ(nullptr, s.hoverfont);
  EXPECT_EQ(0, s.xmargin);
  EXPECT_EQ(0, s.ymargin);
  EXPECT_EQ(0, s.spacing);
  EXPECT_EQ(20, s.linespacing);
  EXPECT_EQ(32512u, s.cursor);
  EXPECT_EQ("", s.skin);
}

}  // namespace

TEST(Style, DefaultsAndTag) {
  UiStyle s;
  ExpectDefaults(s);
  EXPECT_EQ("", s.name);
  EXPECT_TRUE(s.IsClass("style"));
  EXPECT_FALSE(s.IsClass("class"));
  EXPECT_STREQ("style", s.GetObjectClass());
}

TEST(Style, AttributeResultsAndGrammars) {
  UiStyle s;
  EXPECT_EQ(S_OK, s.SetAttribute("name", "normalbtn", TRUE));
  EXPECT_EQ("normalbtn", s.name);
  EXPECT_EQ(S_OK, s.SetAttribute("skin", "normalbtn", TRUE));
  EXPECT_EQ("normalbtn", s.skin);
  EXPECT_EQ(S_OK, s.SetAttribute("textmode", "25", TRUE));
  EXPECT_EQ(0x25u, s.textmode) << "hexadecimal, not decimal";
  EXPECT_EQ(S_OK, s.SetAttribute("textmode", "8030", TRUE));
  EXPECT_EQ(0x8030u, s.textmode);
  EXPECT_EQ(S_OK, s.SetAttribute("textmode", "2g", TRUE));
  EXPECT_EQ(0u, s.textmode);

  EXPECT_EQ(S_FALSE, s.SetAttribute("crtext", "FF0000", TRUE));
  EXPECT_EQ(RGB(0xFF, 0, 0), s.crtext);
  EXPECT_EQ(S_FALSE, s.SetAttribute("crbg", "F2F0D4", TRUE));
  EXPECT_EQ((COLORREF)0xD4F0F2, s.crbg);
  EXPECT_EQ(S_FALSE, s.SetAttribute("crbghover", "FFFFF", TRUE));
  EXPECT_EQ((COLORREF)0x0FFFFF, s.crbghover);
  EXPECT_EQ(S_FALSE, s.SetAttribute("crhover", "zz8000", TRUE));
  EXPECT_EQ(RGB(0, 0x80, 0), s.crhover);
  EXPECT_EQ(S_FALSE, s.SetAttribute("crdisabled", "808080", TRUE));
  EXPECT_EQ(RGB(0x80, 0x80, 0x80), s.crdisabled);

  EXPECT_EQ(S_OK, s.SetAttribute("margin", "10", TRUE));
  EXPECT_EQ(10, s.xmargin);
  EXPECT_EQ(10, s.ymargin);
  EXPECT_EQ(S_OK, s.SetAttribute("x-margin", "3", TRUE));
  EXPECT_EQ(3, s.xmargin);
  EXPECT_EQ(10, s.ymargin);
  EXPECT_EQ(S_OK, s.SetAttribute("y-margin", "-2", TRUE));
  EXPECT_EQ(-2, s.ymargin);
  EXPECT_EQ(S_OK, s.SetAttribute("spacing", "4px", TRUE));
  EXPECT_EQ(4, s.spacing);
  EXPECT_EQ(S_OK, s.SetAttribute("linespacing", "18", TRUE));
  EXPECT_EQ(18, s.linespacing);

  EXPECT_EQ(S_FALSE, s.SetAttribute("cursor", "hand", TRUE));
  EXPECT_EQ(32649u, s.cursor);
  EXPECT_EQ(E_FAIL, s.SetAttribute("cursor", "ibeam", TRUE));
  EXPECT_EQ(32649u, s.cursor);
  EXPECT_EQ(S_FALSE, s.SetAttribute("cursor", "arrow", TRUE));
  EXPECT_EQ(32512u, s.cursor);

  EXPECT_EQ(E_FAIL, s.SetAttribute("ctrtext", "FFFFFF", TRUE));
  EXPECT_EQ(E_FAIL, s.SetAttribute("class", "panel", TRUE));
  EXPECT_EQ(E_FAIL, s.SetAttribute(nullptr, "1", TRUE));
}

TEST(Style, CopiesAreValues) {
  UiStyle a;
  a.SetAttribute("name", "a", TRUE);
  a.SetAttribute("skin", "panel", TRUE);
  a.SetAttribute("font", "0004", TRUE);
  UiStyle b = a;
  b.SetAttribute("skin", "tabpage", TRUE);
  EXPECT_EQ("panel", a.skin);
  EXPECT_EQ("tabpage", b.skin);
  EXPECT_EQ(a.font, b.font) << "fonts stay the pool's";
}

TEST(Style, FontsComeFromTheDefaultFontInForce) {
  UiStyle s;
  EXPECT_EQ(S_OK, s.SetAttribute("font", "0000", TRUE));
  EXPECT_EQ(UiFontPool::GetFont(0), s.font);
  LOGFONTW lf = FontOf(s.font);
  EXPECT_STREQ(L"宋体", lf.lfFaceName);
  EXPECT_EQ(-12, lf.lfHeight);

  EXPECT_EQ(S_OK, s.SetAttribute("font", "0604", TRUE));
  lf = FontOf(s.font);
  EXPECT_STREQ(L"宋体", lf.lfFaceName);
  EXPECT_EQ(-18, lf.lfHeight);
  EXPECT_EQ(FW_BOLD, lf.lfWeight);

  EXPECT_EQ(S_OK, s.SetAttribute("hoverfont", "FF02", TRUE));
  lf = FontOf(s.hoverfont);
  EXPECT_EQ(-11, lf.lfHeight);
  EXPECT_EQ(1, lf.lfUnderline);

  EXPECT_EQ(S_OK, s.SetAttribute("font", "00x4", TRUE));
  EXPECT_EQ(UiFontPool::GetFont(0), s.font) << "a non-hex character gives key 0";
  EXPECT_EQ(S_OK, s.SetAttribute("font", "10004", TRUE));
  EXPECT_EQ(UiFontPool::GetFont(4), s.font) << "low 16 bits";
}

TEST_F(StylePool, UnknownNamesGetTheDefaultStyle) {
  ASSERT_TRUE(Write(9301, "<style><class name=\"panel\" crtext=\"000000\"/></style>"));
  ASSERT_TRUE(UiStyle::LoadStyles(9301));
  UiStyle* fallback = UiStyle::GetStyle("no-such-class");
  ASSERT_NE(nullptr, fallback);
  EXPECT_EQ("", fallback->name);
  ExpectDefaults(*fallback);
  EXPECT_EQ(fallback, UiStyle::GetStyle(""));
  EXPECT_EQ(fallback, UiStyle::GetStyle(nullptr));
  EXPECT_EQ(fallback, UiStyle::GetStyle("Panel")) << "names are case-sensitive";
  EXPECT_EQ("panel", UiStyle::GetStyle("panel")->name);
}

TEST_F(StylePool, LoadingMergesRepeatedClassesAndSkipsTheRest) {
  ASSERT_TRUE(Write(
      9302,
      "<style>\n"
      "  <class name=\"btn\" skin=\"normalbtn\" crtext=\"FFFFFF\" margin=\"10\" x-margin=\"3\"/>\n"
      "  <class skin=\"nameless\"/>\n"
      "  <klass name=\"other\"/>\n"
      "  <class name=\"btn\" crtext=\"000000\" cursor=\"hand\"/>\n"
      "  <class name=\"monitorcount\" font=\"0100\" ctrtext=\"FFFFFF\"/>\n"
      "</style>\n"));
  ASSERT_TRUE(UiStyle::LoadStyles(9302));
  const UiStyle* btn = UiStyle::GetStyle("btn");
  EXPECT_EQ("btn", btn->name);
  EXPECT_EQ("normalbtn", btn->skin) << "kept from the first element";
  EXPECT_EQ(RGB(0, 0, 0), btn->crtext) << "the second element wins";
  EXPECT_EQ(32649u, btn->cursor);
  EXPECT_EQ(3, btn->xmargin);
  EXPECT_EQ(10, btn->ymargin);
  EXPECT_EQ("", UiStyle::GetStyle("other")->name);
  const UiStyle* count = UiStyle::GetStyle("monitorcount");
  EXPECT_EQ("monitorcount", count->name);
  EXPECT_EQ(kUiColorUnset, count->crtext);
  EXPECT_EQ(-13, FontOf(count->font).lfHeight);
}

TEST_F(StylePool, FailedLoads) {
  ASSERT_TRUE(Write(9303, "<style><class name=\"kept\"/></style>"));
  ASSERT_TRUE(UiStyle::LoadStyles(9303));
  {
    DebugReportCapture reports;
    EXPECT_FALSE(UiStyle::LoadStyles(9399));
  }
  EXPECT_EQ("kept", UiStyle::GetStyle("kept")->name) << "a missing resource keeps the pool";

  ASSERT_TRUE(Write(9304, "<style><class name=\"bad\"></style>"));
  EXPECT_FALSE(UiStyle::LoadStyles(9304));
  EXPECT_EQ("", UiStyle::GetStyle("kept")->name) << "malformed: only the default style";
  EXPECT_EQ("", UiStyle::GetStyle("bad")->name);
  ExpectDefaults(*UiStyle::GetStyle(""));

  ASSERT_TRUE(UiStyle::LoadStyles(9303));
  ASSERT_TRUE(Write(9305, "<skins><class name=\"wrongroot\"/></skins>"));
  EXPECT_TRUE(UiStyle::LoadStyles(9305));
  EXPECT_EQ("", UiStyle::GetStyle("kept")->name);
  EXPECT_EQ("", UiStyle::GetStyle("wrongroot")->name);
}

TEST_F(StylePool, ReloadWhileElementsHoldStylesAndSkins) {
  ASSERT_TRUE(Write(9306, "<skins><button name=\"normalbtn\" bg=\"112233\"/></skins>"));
  ASSERT_TRUE(Write(9307,
                    "<style><class name=\"normalbtn\" skin=\"normalbtn\" font=\"0000\" "
                    "hoverfont=\"0004\"/></style>"));
  ASSERT_TRUE(UiSkin::LoadSkins(9306));
  ASSERT_TRUE(UiStyle::LoadStyles(9307));

  // what an element keeps: a copy of the style, the pool's style, a skin
  UiStyle copy = *UiStyle::GetStyle("normalbtn");
  UiStyle* pooled = UiStyle::GetStyle("normalbtn");
  CUiSkinBase* skin = UiSkin::GetSkin(copy.skin.c_str());
  ASSERT_NE(nullptr, skin);

  // the main window's constructor runs the start-up loads again
  UiFontPool::SetDefaultFont(L"宋体", -12);
  ASSERT_TRUE(UiSkin::LoadSkins(9306));
  ASSERT_TRUE(UiStyle::LoadStyles(9307));

  EXPECT_EQ(OBJ_FONT, (int)GetObjectType(copy.font)) << "the old default font still lives";
  EXPECT_EQ(OBJ_FONT, (int)GetObjectType(copy.hoverfont));
  EXPECT_EQ("normalbtn", pooled->name) << "the old pool style is still readable";
  EXPECT_TRUE(skin->IsClass("button"));
  EXPECT_FALSE(skin->IgnoreState());

  HDC dc = CreateCompatibleDC(nullptr);
  HDC screen = GetDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 8, 8);
  ReleaseDC(nullptr, screen);
  HGDIOBJ oldBmp = SelectObject(dc, bmp);
  HGDIOBJ oldFont = SelectObject(dc, copy.font);
  EXPECT_NE(nullptr, oldFont);
  RECT rc = {0, 0, 8, 8};
  skin->Draw(dc, rc, 0);
  EXPECT_EQ(RGB(0x11, 0x22, 0x33), GetPixel(dc, 1, 1));
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBmp);
  DeleteObject(bmp);
  DeleteDC(dc);

  const UiStyle* fresh = UiStyle::GetStyle("normalbtn");
  EXPECT_EQ(UiFontPool::GetFont(0), fresh->font);
  LOGFONTW lf = FontOf(fresh->font);
  EXPECT_STREQ(L"宋体", lf.lfFaceName);
}
