// The console's own styles (resource 101, embedded), loaded in start-up order.
#include <gtest/gtest.h>

#include <windows.h>

#include "uiwin/UiFontPool.h"
#include "uiwin/UiResUtil.h"
#include "uiwin/UiSkin.h"
#include "uiwin/UiStyle.h"

namespace {

LOGFONTW FontOf(HFONT font) {
  LOGFONTW lf = {};
  GetObjectW(font, sizeof lf, &lf);
  return lf;
}

class ShippedStyles : public ::testing::Test {
 protected:
  void SetUp() override {
    UiResUtil::SetResourceDirectory(L"");
    UiFontPool::SetDefaultFont(L"宋体", -12);
    ASSERT_TRUE(UiSkin::LoadSkins(100));
    ASSERT_TRUE(UiStyle::LoadStyles(101));
  }
};

const char* const kNames[] = {
    "dlgtitle",    "mainhead",    "mainbody",  "mainfoot", "linkimage",    "panel",
    "maintabpage", "normalbtn",   "childbody", "tipsbody", "monitorcount", "monitornum",
    "changecount", "safetoolbtn", "msgtext",   "client",   "msgboxhead",   "msgboxbody",
    "msgboxfoot",  "ctlframe",    "tg",
};

}  // namespace

TEST_F(ShippedStyles, EveryStyleIsThereAndItsSkinToo) {
  for (const char* name : kNames) {
    const UiStyle* s = UiStyle::GetStyle(name);
    EXPECT_EQ(name, s->name);
    if (!s->skin.empty()) {
      EXPECT_NE(nullptr, UiSkin::GetSkin(s->skin.c_str())) << name;
    }
  }
}

TEST_F(ShippedStyles, ValuesTheElementsRelyOn) {
  const UiStyle* btn = UiStyle::GetStyle("normalbtn");
  EXPECT_EQ("normalbtn", btn->skin);
  EXPECT_EQ(0x25u, btn->textmode);
  EXPECT_EQ(32649u, btn->cursor);
  EXPECT_EQ(5, btn->xmargin);
  EXPECT_EQ(RGB(0xFF, 0xFF, 0xFF), btn->crtext);
  EXPECT_EQ(UiFontPool::GetFont(0), btn->font);

  const UiStyle* title = UiStyle::GetStyle("dlgtitle");
  EXPECT_EQ(0x8030u, title->textmode);
  LOGFONTW lf = FontOf(title->font);
  EXPECT_EQ(FW_BOLD, lf.lfWeight);
  EXPECT_EQ(-12, lf.lfHeight);

  EXPECT_EQ(0x850u, UiStyle::GetStyle("msgtext")->textmode);
  EXPECT_EQ(10, UiStyle::GetStyle("client")->xmargin);
  EXPECT_EQ(10, UiStyle::GetStyle("client")->ymargin);
  EXPECT_EQ((COLORREF)0xD4F0F2, UiStyle::GetStyle("ctlframe")->crbg) << "the input background";
}
