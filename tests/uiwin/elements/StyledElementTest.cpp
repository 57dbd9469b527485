// Elements with the shipped styles and skins: "class" copies a style in document order,
// margins shrink the placement reference and the measured text, and skins decide
// whether a state change repaints.
#include <gtest/gtest.h>
#include <windows.h>

#include "ElementTestUtil.h"
#include "uiwin/UiFontPool.h"
#include "uiwin/UiSkin.h"
#include "uiwin/UiString.h"
#include "uiwin/UiStyle.h"

using elemtest::LoadDialog;
using elemtest::Place;
using elemtest::Rect;
using elemtest::Str;

namespace {

class StyledElementTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // The start-up order: strings, default font, skins, styles.
    ASSERT_TRUE(UiString::Load(102));
    UiFontPool::SetDefaultFont(UiString::Get(0), -12);
    ASSERT_TRUE(UiSkin::LoadSkins(100));
    ASSERT_TRUE(UiStyle::LoadStyles(101));
  }
};

TEST_F(StyledElementTest, ClassAndOwnAttributesApplyInDocumentOrder) {
  auto dlg = LoadDialog(
      "<dlg><text id=\"1\" crtext=\"00FF00\" class=\"monitornum\">a</text>"
      "<text id=\"2\" class=\"monitornum\" crtext=\"00FF00\" font=\"0100\">b</text></dlg>");
  CUiWindow* first = dlg->FindChildByCmdID(1);
  CUiWindow* second = dlg->FindChildByCmdID(2);
  ASSERT_TRUE(first && second);
  EXPECT_EQ(0x0000FFu, first->GetStyle().crtext);  // the style's FF0000
  EXPECT_EQ(UiFontPool::GetFont(4), first->GetStyle().font);
  EXPECT_EQ(0x00FF00u, second->GetStyle().crtext);
  EXPECT_EQ(UiFontPool::GetFont(0x0100), second->GetStyle().font);
  // A class the pool lacks gives the default style.
  first->SetAttribute("class", "no-such-class", FALSE);
  EXPECT_EQ(kUiColorUnset, first->GetStyle().crtext);
  EXPECT_EQ(0xCCCCCCu, first->GetStyle().crdisabled);
}

TEST_F(StyledElementTest, MeasuredSizeIncludesMargins) {
  auto dlg = LoadDialog(
      "<dlg><text id=\"1\" pos=\"0,0\">确定</text>"
      "<text id=\"2\" pos=\"0,0\" class=\"normalbtn\">确定</text></dlg>");
  Place(dlg.get(), 0, 0, 300, 100);
  const RECT plain = dlg->FindChildByCmdID(1)->GetRect();
  const RECT button = dlg->FindChildByCmdID(2)->GetRect();
  EXPECT_EQ(plain.right - plain.left + 10, button.right - button.left);  // x-margin 5
  EXPECT_EQ(plain.bottom - plain.top, button.bottom - button.top);
}

TEST_F(StyledElementTest, SkinsDecideRepaintOnStateChange) {
  auto dlg = LoadDialog(
      "<dlg><text id=\"1\" class=\"normalbtn\">b</text><text id=\"2\" class=\"panel\">p</text>"
      "</dlg>");
  EXPECT_TRUE(dlg->FindChildByCmdID(1)->NeedRedrawWhenStateChange());   // button skin
  EXPECT_FALSE(dlg->FindChildByCmdID(2)->NeedRedrawWhenStateChange());  // one-picture frame
}

}  // namespace
