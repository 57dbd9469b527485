// The view with the elements that talk to it on their own: a tab control that asks the
// dialog before switching pages, and a hosted edit box placed and shown by its element.
#include <windows.h>

#include <gtest/gtest.h>

#include "TestDialog.h"

namespace {

const char kTabs[] = R"(<layer width="300" height="200"><body>
  <tabctrl id="40" pos="0,0,-0,-0">
    <tab title="a"><text id="41" pos="5,5">a</text></tab>
    <tab title="b"><realwnd id="77" pos="10,10,110,40"/></tab>
  </tabctrl>
</body></layer>)";

HWND g_edit = nullptr;

TEST(HostedElements, TabSelectionAndTheControlsOnItsPages) {
  TestDialog dlg;
  ASSERT_TRUE(dlg.SetXml(kTabs));
  // The dialog makes its controls in its initialisation, as children of the view with
  // the id of their "realwnd" element.
  dlg.onInit = [](TestDialog& d) {
    g_edit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5, d.GetViewHWnd(),
                               reinterpret_cast<HMENU>(77), nullptr, nullptr);
  };
  ASSERT_NE(nullptr, dlg.Create(nullptr));
  ASSERT_NE(nullptr, g_edit);
  EXPECT_FALSE(::IsWindowVisible(g_edit));  // its page is not the selected one

  ASSERT_TRUE(dlg.SetTabCurSel(40, 1));
  ASSERT_EQ(1, dlg.CountEvents(UINM_TAB_SELCHANGE));
  for (const ViewEvent& e : dlg.events) {
    if (e.code == UINM_TAB_SELCHANGE) {
      EXPECT_EQ(1u, e.item);
    }
  }
  ::ShowWindow(dlg.m_hWnd, SW_SHOWNOACTIVATE);
  EXPECT_TRUE(::IsWindowVisible(g_edit));
  RECT rc;
  ::GetWindowRect(g_edit, &rc);
  ::MapWindowPoints(nullptr, dlg.GetViewHWnd(), reinterpret_cast<POINT*>(&rc), 2);
  EXPECT_EQ(10, rc.left);
  EXPECT_EQ(10, rc.top);
  EXPECT_EQ(110, rc.right);
  EXPECT_EQ(40, rc.bottom);
  EXPECT_GE(dlg.CountEvents(UINM_REALWND_RESIZED), 1);

  // The dialog refuses the change: the page stays.
  dlg.vetoTabChange = TRUE;
  EXPECT_FALSE(dlg.SetTabCurSel(40, 0));
  EXPECT_TRUE(::IsWindowVisible(g_edit));
  dlg.vetoTabChange = FALSE;
  EXPECT_TRUE(dlg.SetTabCurSel(40, 0));
  EXPECT_FALSE(::IsWindowVisible(g_edit));
  EXPECT_FALSE(dlg.SetTabCurSel(40, 5));
  EXPECT_FALSE(dlg.SetTabCurSel(41, 0));  // not a tab control

  // Hiding the tab control's panel hides the control; showing it again shows the
  // selected page only.
  ASSERT_TRUE(dlg.SetTabCurSel(40, 1));
  ASSERT_TRUE(dlg.SetItemVisible(40, FALSE));
  EXPECT_FALSE(::IsWindowVisible(g_edit));
  ASSERT_TRUE(dlg.SetItemVisible(40, TRUE));
  EXPECT_TRUE(::IsWindowVisible(g_edit));
}

}  // namespace
