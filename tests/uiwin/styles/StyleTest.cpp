// The style pool: attributes, lookup with fallback, loading, fonts and reloads.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

#include "support/DebugReportCapture.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"
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
    return testfiles::WriteBytes(dir_.File(std::to_wstring(id) + L".xml"), "\xEF\xBB\xBF" + text);
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

TEST(Style, AttributeGrammars) {
  // applied in order to one style; colours answer S_FALSE (repaint only)
  const struct {
    const char* key;
    const char* value;
    HRESULT hr;
    std::function<bool(const UiStyle&)> check;
  } cases[] = {
      {"textmode", "25", S_OK, [](const UiStyle& s) { return s.textmode == 0x25u; }},  // hex
      {"textmode", "8030", S_OK, [](const UiStyle& s) { return s.textmode == 0x8030u; }},
      {"textmode", "2g", S_OK, [](const UiStyle& s) { return s.textmode == 0u; }},
      {"crbg", "F2F0D4", S_FALSE, [](const UiStyle& s) { return s.crbg == 0xD4F0F2u; }},
      {"crbghover", "FFFFF", S_FALSE, [](const UiStyle& s) { return s.crbghover == 0x0FFFFFu; }},
      {"crhover", "zz8000", S_FALSE,
       [](const UiStyle& s) { return s.crhover == RGB(0, 0x80, 0); }},
      {"margin", "10", S_OK, [](const UiStyle& s) { return s.xmargin == 10 && s.ymargin == 10; }},
      {"x-margin", "3", S_OK, [](const UiStyle& s) { return s.xmargin == 3 && s.ymargin == 10; }},
      {"y-margin", "-2", S_OK, [](const UiStyle& s) { return s.ymargin == -2; }},
      {"spacing", "4px", S_OK, [](const UiStyle& s) { return s.spacing == 4; }},
      {"cursor", "hand", S_FALSE, [](const UiStyle& s) { return s.cursor == 32649u; }},
      {"cursor", "ibeam", E_FAIL, [](const UiStyle& s) { return s.cursor == 32649u; }},
      {"cursor", "arrow", S_FALSE, [](const UiStyle& s) { return s.cursor == 32512u; }},
      {"ctrtext", "FFFFFF", E_FAIL, nullptr},
      {"class", "panel", E_FAIL, nullptr},
      {nullptr, "1", E_FAIL, nullptr},
  };
  UiStyle s;
  for (const auto& k : cases) {
    const char* key = k.key ? k.key : "(null)";
    EXPECT_EQ(k.hr, s.SetAttribute(k.key, k.value, TRUE)) << key << "=" << k.value;
    if (k.check) EXPECT_TRUE(k.check(s)) << key << "=" << k.value;
  }
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

  const UiStyle* fresh = UiStyle::GetStyle("normalbtn");
  EXPECT_EQ(UiFontPool::GetFont(0), fresh->font);
  LOGFONTW lf = FontOf(fresh->font);
  EXPECT_STREQ(L"宋体", lf.lfFaceName);
}
