// Clickable elements: check boxes, radio groups (per host view), buttons.
#include <gtest/gtest.h>
#include <tinyxml.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>

#include "support/DibCanvas.h"
#include "support/ElementHost.h"
#include "support/ElementLoad.h"
#include "uiwin/CUiCheckBox.h"
#include "uiwin/CUiDialog.h"
#include "uiwin/CUiRadioBox.h"
#include "uiwin/UiNotify.h"
#include "uiwin/UiWnds.h"

namespace {

using elemload::LoadRoot;

CUiWindow* Item(CUiDialog* root, UINT id) {
  CUiWindow* wnd = root->FindChildByCmdID(id);
  EXPECT_NE(nullptr, wnd) << id;
  return wnd;
}

void Click(CUiWindow* wnd) {
  const RECT rc = wnd->GetRect();
  const LPARAM pt = MAKELPARAM(rc.left + 1, rc.top + 1);
  wnd->UiSendMessage(WM_LBUTTONDOWN, MK_LBUTTON, pt);
  wnd->UiSendMessage(WM_LBUTTONUP, 0, pt);
}

std::vector<HUIWND> Group(const std::string& name) {
  UiWnds::Lock lock;
  return UiWnds::RadioGroup(name);
}

bool InGroup(const std::string& name, HUIWND h) {
  const std::vector<HUIWND> g = Group(name);
  return std::find(g.begin(), g.end(), h) != g.end();
}

// ---------------------------------------------------------------- check box

TEST(CheckBox, ReleaseTogglesTheCheckBitOnly) {
  auto root = LoadRoot("<dlg><check id=\"1\" pos=\"0,0\" check=\"1\">c</check></dlg>", nullptr);
  CUiWindow* check = Item(root.get(), 1);
  // The attribute is kept but does not preset the state.
  EXPECT_EQ(1, static_cast<CUiCheckBox*>(check)->GetCheckValue());
  EXPECT_FALSE(check->IsChecked());
  Click(check);
  EXPECT_TRUE(check->IsChecked());
  Click(check);
  EXPECT_FALSE(check->IsChecked());
  check->ModifyState(UiWndState_Hover, 0);
  Click(check);
  EXPECT_EQ(static_cast<DWORD>(UiWndState_Hover | UiWndState_Check), check->GetState());
}

TEST(CheckBox, MeasuresBoxOrCircleBesideText) {
  auto root = LoadRoot("<dlg><check id=\"1\" pos=\"0,0\"/><check id=\"2\" pos=\"0,0\">abc</check>"
                       "<text id=\"3\" pos=\"0,0\">abc</text><radio id=\"4\" pos=\"0,0\"/></dlg>",
                       nullptr);
  const RECT empty = Item(root.get(), 1)->GetRect();
  EXPECT_EQ(17, empty.right - empty.left);
  EXPECT_GE(empty.bottom - empty.top, 13);  // at least the box, else the text line
  const RECT text = Item(root.get(), 3)->GetRect();
  const RECT check = Item(root.get(), 2)->GetRect();
  EXPECT_EQ(text.right - text.left + 17, check.right - check.left);
  EXPECT_EQ(std::max<LONG>(13, text.bottom - text.top), check.bottom - check.top);
  const RECT radio = Item(root.get(), 4)->GetRect();
  EXPECT_EQ(14, radio.right - radio.left);
  EXPECT_GE(radio.bottom - radio.top, 12);
}

TEST(CheckBox, ThemeStatesAndClassicFlags) {
  struct Case {
    DWORD state;
    int theme;
    UINT flags;
  };
  const DWORD H = UiWndState_Hover, P = UiWndState_PushDown, C = UiWndState_Check,
              D = UiWndState_Disable;
  const UINT T = DFCS_TRANSPARENT;
  const Case cases[] = {{0, 1, T},
                        {H, 2, T | DFCS_HOT},
                        {P | H, 3, T | DFCS_PUSHED | DFCS_HOT},
                        {D | P | H, 4, T | DFCS_INACTIVE | DFCS_PUSHED | DFCS_HOT},
                        {C | H, 6, T | DFCS_CHECKED | DFCS_HOT},
                        {C | D, 8, T | DFCS_CHECKED | DFCS_INACTIVE}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.theme, CUiCheckBox::ThemeStateFor(c.state)) << c.state;
    EXPECT_EQ(c.flags, CUiCheckBox::FrameFlagsFor(c.state)) << c.state;
  }
}

TEST(CheckBox, PaintsBoxAndShiftedText) {
  auto root = LoadRoot("<dlg><check id=\"1\" pos=\"0,0\" crtext=\"FF0000\">Wg</check></dlg>",
                       nullptr);
  CUiWindow* check = Item(root.get(), 1);
  const RECT before = check->GetRect();
  DibCanvas canvas(80, 30);
  check->RedrawRegion(canvas.Dc(), nullptr);
  EXPECT_EQ(before.left, check->GetRect().left);  // the text shift is undone
  bool boxDrawn = false, textRed = false;
  for (int y = 0; y < before.bottom; ++y) {
    for (int x = 0; x < 13; ++x) boxDrawn = boxDrawn || canvas.At(x, y) != RGB(255, 255, 255);
    for (int x = 17; x < before.right; ++x) textRed = textRed || canvas.At(x, y) == RGB(255, 0, 0);
    for (int x = 13; x < 17; ++x) EXPECT_NE(RGB(255, 0, 0), canvas.At(x, y));
  }
  EXPECT_TRUE(boxDrawn);
  EXPECT_TRUE(textRed);
}

// ---------------------------------------------------------------- radio

const char kThreeRadios[] =
    "<dlg>"
    "<radio id=\"1\" pos=\"0,0\" group=\"r3\">one</radio>"
    "<radio id=\"2\" pos=\"0,20\" group=\"r3\">two</radio>"
    "<radio id=\"3\" pos=\"0,40\" group=\"r3\">three</radio>"
    "</dlg>";

TEST(Radio, ClickChecksItAndUnchecksOnlyTheOneThatWasChecked) {
  ElementHost host;
  auto root = LoadRoot(kThreeRadios, host.View());
  CUiWindow* one = Item(root.get(), 1);
  CUiWindow* two = Item(root.get(), 2);
  CUiWindow* three = Item(root.get(), 3);
  EXPECT_EQ(3u, Group("r3").size());
  one->ModifyState(UiWndState_Check, 0);
  host.Clear();

  Click(two);
  EXPECT_FALSE(one->IsChecked());
  EXPECT_TRUE(two->IsChecked());
  EXPECT_FALSE(three->IsChecked());
  const auto repaints = host.Notices(UINM_INVALIDATERECT);
  ASSERT_EQ(1u, repaints.size());
  EXPECT_EQ(one->GetHandle(), repaints[0].huiWnd);
  const RECT oneRect = one->GetRect();
  EXPECT_TRUE(::EqualRect(&repaints[0].rc, &oneRect));
  EXPECT_EQ(host.View(), repaints[0].to);

  // A checked radio stays checked and changes nobody.
  host.Clear();
  Click(two);
  EXPECT_TRUE(two->IsChecked());
  EXPECT_TRUE(host.Notices(UINM_INVALIDATERECT).empty());
}

TEST(Radio, RadiosWithoutAGroupShareTheEmptyOne) {
  auto root = LoadRoot("<dlg><radio id=\"1\" pos=\"0,0\"/><radio id=\"2\" pos=\"0,20\"/></dlg>",
                       nullptr);
  CUiWindow* one = Item(root.get(), 1);
  CUiWindow* two = Item(root.get(), 2);
  EXPECT_TRUE(InGroup("", one->GetHandle()));
  Click(one);
  Click(two);
  EXPECT_FALSE(one->IsChecked());
  EXPECT_TRUE(two->IsChecked());
}

TEST(Radio, HostViewsWithTheSameGroupNameStayIndependent) {
  ElementHost parent, child;
  auto a = LoadRoot(kThreeRadios, parent.View());
  auto b = LoadRoot(kThreeRadios, child.View());
  EXPECT_EQ(6u, Group("r3").size());
  Click(Item(a.get(), 1));
  parent.Clear();
  Click(Item(b.get(), 2));
  EXPECT_TRUE(Item(a.get(), 1)->IsChecked());
  EXPECT_TRUE(Item(b.get(), 2)->IsChecked());
  EXPECT_TRUE(parent.Notices(UINM_INVALIDATERECT).empty());
  Click(Item(b.get(), 3));
  EXPECT_FALSE(Item(b.get(), 2)->IsChecked());
  EXPECT_TRUE(Item(a.get(), 1)->IsChecked());
}

TEST(Radio, DestroyedRadiosLeaveTheirGroup) {
  ElementHost host;
  auto keep = LoadRoot("<dlg><radio id=\"9\" pos=\"0,0\" group=\"gone\"/></dlg>", host.View());
  HUIWND h1, h2;
  {
    auto root = LoadRoot("<dlg><radio id=\"1\" pos=\"0,0\" group=\"gone\"/>"
                         "<radio id=\"2\" pos=\"0,20\" group=\"gone\"/></dlg>",
                         host.View());
    h1 = Item(root.get(), 1)->GetHandle();
    h2 = Item(root.get(), 2)->GetHandle();
    Item(root.get(), 1)->ModifyState(UiWndState_Check, 0);
    EXPECT_EQ(3u, Group("gone").size());
  }
  EXPECT_FALSE(InGroup("gone", h1));
  EXPECT_FALSE(InGroup("gone", h2));
  EXPECT_EQ(1u, Group("gone").size());
  host.Clear();
  Click(Item(keep.get(), 9));  // nothing left to uncheck, nothing freed is touched
  EXPECT_TRUE(Item(keep.get(), 9)->IsChecked());
  EXPECT_TRUE(host.Notices(UINM_INVALIDATERECT).empty());
}

TEST(Radio, ChangingTheGroupMovesTheRadio) {
  auto root = LoadRoot("<dlg><radio id=\"1\" pos=\"0,0\" group=\"from\"/>"
                       "<radio id=\"2\" pos=\"0,20\" group=\"from\"/>"
                       "<radio id=\"3\" pos=\"0,40\" group=\"to\"/></dlg>",
                       nullptr);
  CUiWindow* one = Item(root.get(), 1);
  EXPECT_EQ(S_FALSE, one->SetAttribute("group", "to", FALSE));
  EXPECT_FALSE(InGroup("from", one->GetHandle()));
  EXPECT_TRUE(InGroup("to", one->GetHandle()));
  Click(Item(root.get(), 2));
  Click(one);
  EXPECT_TRUE(Item(root.get(), 2)->IsChecked());  // no longer in one's group
  Click(Item(root.get(), 3));
  EXPECT_FALSE(one->IsChecked());
  const HUIWND h = one->GetHandle();
  root.reset();
  EXPECT_FALSE(InGroup("to", h));
  EXPECT_FALSE(InGroup("from", h));
}

}  // namespace
