// The main window run modally for users of different rights: area buttons, the order
// in which the page handlers see what the window leaves, closing, the tray icon, the
// about box and the service link that lives with the window.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

#include "app/CMainDlg.h"
#include "console/CAboutDlg.h"
#include "console/CAgentLink.h"
#include "console/CAgentLinkManager.h"
#include "console/CurrentUser.h"
#include "console/SingleInstance.h"
#include "console/SysServerPortConfig.h"
#include "controls/CMulStatusTree.h"
#include "integrity/CQvSubStrategyObjectDlg.h"
#include "support/AgentLinkTestWindow.h"
#include "support/LoopbackPeer.h"
#include "support/ModalScript.h"
#include "support/TestDatabase.h"
#include "support/TestDialog.h"
#include "support/TestEnv.h"
#include "sysmgmt/CSystemManagementUIHandler.h"
#include "uiwin/CUiTabCtrl.h"

namespace {

const wchar_t kRefusal[] = L"对不起，您没有权限访问此页";

class MainWindow : public qvtest::DatabaseTest {  // the areas read their lists as they open
 protected:
  void SetUp() override { DatabaseTest::SetUp(); lstrcpynW(g_dsnName, qvtest::TestDatabase::Dsn(), kSettingChars); }
  void TearDown() override { g_currentUserType = g_currentUserPermission = 0; g_dsnName[0] = L'\0'; }
  // A main window for the user, act run inside its modal loop; the run's result.
  UINT Run(int type, int permission, const std::function<void(UiDialogDriver&, CMainDlg&)>& act) {
    g_currentUserType = type;
    g_currentUserPermission = permission;
    CMainDlg main(peer.Port());
    script.ExpectDialog([&](UiDialogDriver& d) { act(d, main); });
    return main.DoModal();
  }
  static void Command(HWND frame, UINT item) {
    UINMCOMMAND nm{{frame, IDC_UIVIEW, UINM_COMMAND}, item, "imgbtn"};
    ::SendMessageW(frame, WM_NOTIFY, IDC_UIVIEW, reinterpret_cast<LPARAM>(&nm));
  }
  // The tray icon's menu as the user works it: the right button on the icon opens it,
  // the arrow keys and Enter choose item `downs` in its own loop.
  static void ChooseFromTray(HWND frame, int downs) {
    for (int i = 0; i < downs; ++i) ::PostMessageW(frame, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageW(frame, WM_KEYDOWN, VK_RETURN, 0);
    ::SendMessageW(frame, CMainDlg::kTrayMessage, CMainDlg::kTrayIconId, WM_RBUTTONUP);
  }
  static int Page(UiDialogDriver& d, UINT tab) {
    return static_cast<CUiTabCtrl*>(d.View().FindChildByCmdID(tab))->GetCurSel();
  }
  testenv::LoopbackPeer peer;  // the service link's
  ModalScript script;
};

TEST_F(MainWindow, AreaButtonsFollowThePermissionBitsAndMarkThePageShown) {
  const struct {
    int type, permission;
    std::vector<std::pair<UINT, int>> clicks;  // item, page shown after it (-1: refused)
  } rows[] = {
      {1, 31, {{106, 1}, {108, 3}, {109, 4}, {107, 2}, {110, 5}, {104, 0}}},
      {0, 0, {{106, -1}, {108, -1}, {109, -1}, {107, -1}}},
      {0, 5, {{106, 1}, {109, -1}, {108, 3}, {110, -1}, {105, 0}}},
  };
  for (const auto& row : rows) {
    Run(row.type, row.permission, [&](UiDialogDriver& d, CMainDlg& main) {
      EXPECT_EQ(row.permission != 0, main.Integrity() != nullptr);  // system management always
      EXPECT_TRUE(main.SystemManagement() && (main.Reinforce() != nullptr) == (row.permission == 31));
      EXPECT_EQ(row.type == 1, main.IsItemEnabled(CMainDlg::kItemUpdate) != FALSE);
      int page = 0;
      for (const auto& click : row.clicks) {
        if (click.second < 0) script.ExpectBox(kRefusal, IDOK);
        Command(d.Frame(), click.first);
        page = click.second < 0 ? page : click.second;
        EXPECT_EQ(page, Page(d, CMainDlg::kTabCtrl)) << click.first;
        for (UINT b : {105u, 106u, 108u, 109u}) EXPECT_EQ(b != 105u + page, main.IsItemEnabled(b) != FALSE);
      }
      EXPECT_EQ(row.type == 1 ? 3 : 1, Page(d, 129));  // 104's update page; a custom user's user page
    });
  }
  for (const auto& box : script.Boxes()) EXPECT_EQ(L"权限不足", box.caption);
}

TEST_F(MainWindow, WhatTheWindowLeavesGoesToThePageHandlersInOrder) {
  const struct {
    int type, permission;
    UINT message, code, id;  // the code and id of an element notification
    BOOL handled, refused;   // refused: the system-management handler vetoes the tab change
  } rows[] = {
      {1, 31, WM_NOTIFY, UINM_COMMAND, 9999, FALSE, FALSE},  // no page knows 9999
      {1, 31, WM_NOTIFY, UINM_COMMAND, 112, TRUE, FALSE},    // the strategy page's
      {1, 31, WM_TIMER, 0, 1, TRUE, FALSE},                  // ends at the window
      {0, 31, WM_NOTIFY, UINM_TAB_SELCHANGE, 129, TRUE, TRUE},
      {0, 1, WM_NOTIFY, UINM_TAB_SELCHANGE, 364, FALSE, FALSE},  // integrity's only on its page
      {0, 0, WM_NOTIFY, UINM_TAB_SELCHANGE, 364, FALSE, FALSE},
  };
  for (const auto& row : rows) {
    Run(row.type, row.permission, [&](UiDialogDriver& d, CMainDlg& main) {
      // Without a sender nothing is reflected at the end: the result says whether a map took it.
      UINMTABSELCHANGE nm{{nullptr, IDC_UIVIEW, row.code}, row.id, 0, 1, FALSE};
      if (row.refused) script.ExpectBox(kRefusal, IDOK);
      if (row.id == 112) script.ExpectDialog([](UiDialogDriver&) {});  // the new-strategy wizard, left at once
      LRESULT result = 0;
      LPARAM lParam = row.message == WM_NOTIFY ? reinterpret_cast<LPARAM>(&nm) : 0;
      EXPECT_EQ(row.handled, main.ProcessWindowMessage(d.Frame(), row.message, row.id, lParam, result));
      EXPECT_EQ(row.refused, nm.bCancel) << row.id;
    });
  }
}

TEST_F(MainWindow, ClosesOnlyOnYesHidesToTheTrayAndOpensTheAboutBox) {
  EXPECT_EQ(2u, Run(0, 0, [&](UiDialogDriver& d, CMainDlg&) {
    Command(d.Frame(), CMainDlg::kItemMinimize);
    ::SendMessageW(d.Frame(), CMainDlg::kTrayMessage, 100, WM_LBUTTONDBLCLK);  // not our icon
    EXPECT_FALSE(::IsWindowVisible(d.Frame()));
    ::SendMessageW(d.Frame(), CMainDlg::kTrayMessage, CMainDlg::kTrayIconId, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(::IsWindowVisible(d.Frame()) && !::IsIconic(d.Frame()));

    script.ExpectDialog([](UiDialogDriver& about) {
      ::SendMessageW(about.Frame(), WM_KEYDOWN, VK_ESCAPE, 0);  // element 2: not handled
      EXPECT_TRUE(::IsWindowVisible(about.Frame()) && about.Click(CAboutDlg::kItemClose));
    }, 0);
    ::SendMessageW(d.View().m_hWnd, WM_COMMAND, CMainDlg::kMenuAbout, 0);  // as the menu sends it

    script.ExpectBox(L"您确定关闭么？", IDNO).ExpectBox(L"您确定关闭么？", IDYES);
    EXPECT_TRUE(d.Click(CMainDlg::kItemClose));
    ::SendMessageW(d.Frame(), WM_SYSCOMMAND, SC_CLOSE, 0);  // Alt+F4
    d.EndWith(0);  // only the Yes may end it
  }));
  EXPECT_EQ(L"关于...", script.Dialogs().at(1));
  EXPECT_EQ(UINT(MB_YESNO | MB_ICONQUESTION), script.Boxes().at(0).style);
}

// What went, in order: the main window ("frame"), the pages' trees ("tree") and the
// windows it owned ("popup").
std::vector<std::string> g_gone;
HWND g_goingFrame = nullptr;
std::vector<HWND> g_owned;
LRESULT CALLBACK NoteGone(int code, WPARAM wParam, LPARAM lParam) {
  const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
  wchar_t name[64] = L"";
  if (code == HC_ACTION && sent->message == WM_NCDESTROY && sent->hwnd == g_goingFrame) g_gone.push_back("frame");
  if (code == HC_ACTION && sent->message == WM_DESTROY &&
      std::find(g_owned.begin(), g_owned.end(), sent->hwnd) != g_owned.end())
    g_gone.push_back("popup");
  if (code == HC_ACTION && sent->message == WM_DESTROY && ::GetClassNameW(sent->hwnd, name, 64) &&
      std::wcscmp(name, CMulStatusTree::GetWndClassInfo().name) == 0)
    g_gone.push_back("tree");
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL CALLBACK NoteOwned(HWND window, LPARAM frame) {
  if (::GetWindow(window, GW_OWNER) == reinterpret_cast<HWND>(frame)) g_owned.push_back(window);
  return TRUE;
}

// Under Wine a window leaves the screen only when it is destroyed, after all it holds,
// the windows it owns first: the window goes on 是 first, and its pages let go of their
// host trees and tooltips after it.
TEST_F(MainWindow, GoesOnYesBeforeItsPagesLetGoOfTheirTrees) {
  g_gone.clear();
  g_owned.clear();
  HHOOK hook = nullptr;
  EXPECT_EQ(2u, Run(1, 31, [&](UiDialogDriver& d, CMainDlg&) {
    g_goingFrame = d.Frame();
    ::EnumThreadWindows(::GetCurrentThreadId(), &NoteOwned, reinterpret_cast<LPARAM>(d.Frame()));
    hook = ::SetWindowsHookExW(WH_CALLWNDPROC, &NoteGone, nullptr, ::GetCurrentThreadId());
    script.ExpectBox(L"您确定关闭么？", IDYES);
    EXPECT_TRUE(d.Click(CMainDlg::kItemClose));
  }));
  ::UnhookWindowsHookEx(hook);
  ASSERT_LT(1u, g_gone.size());
  EXPECT_EQ("frame", g_gone.front());
  EXPECT_EQ(1, std::count(g_gone.begin(), g_gone.end(), "frame"));
  EXPECT_LT(0u, g_owned.size());
  EXPECT_EQ(static_cast<long>(g_owned.size()), std::count(g_gone.begin(), g_gone.end(), "popup"));
  EXPECT_TRUE(std::none_of(g_owned.begin(), g_owned.end(), [](HWND w) { return ::IsWindow(w); }));
}

// "升级..." shows the update page; a user who is no administrator finds it greyed, and
// Enter on it chooses nothing.
TEST_F(MainWindow, TheTrayMenuOpensTheUpdatePageOrTheAboutBox) {
  for (int type : {1, 0}) {
    SCOPED_TRACE(type);
    Run(type, 31, [&](UiDialogDriver& d, CMainDlg&) {
      EXPECT_TRUE(d.Click(CMainDlg::kItemIntegrity));
      ChooseFromTray(d.Frame(), 1);
      if (type == 1) {
        EXPECT_TRUE(testenv::PumpUntil([&] { return Page(d, CMainDlg::kTabCtrl) == 0; }, 5000));
        EXPECT_EQ(3, Page(d, CSystemManagementUIHandler::kTabCtrl));
      }
      // The menu's commands come in order: once the about box has been, a greyed
      // "升级..." would have been too.
      script.ExpectDialog([](UiDialogDriver& about) { EXPECT_TRUE(about.Click(CAboutDlg::kItemClose)); }, 0);
      ChooseFromTray(d.Frame(), 2);
      EXPECT_TRUE(testenv::PumpUntil([&] { return script.Remaining() == 0; }, 5000)) << "the about box";
      EXPECT_EQ(type == 1 ? 0 : 1, Page(d, CMainDlg::kTabCtrl));
      d.EndWith(0);
    });
  }
}

// Tray → 关于... while a dialog stands over the main window (a report's output settings,
// the strategy wizard): the about box is owned by that dialog and holds it, not only the
// main window that the menu brings forward; the dialog takes input again after it.
TEST_F(MainWindow, TheTraysAboutBoxHoldsTheDialogThatStands) {
  Run(1, 31, [&](UiDialogDriver& d, CMainDlg&) {
    TestDialog standing;
    ASSERT_TRUE(standing.SetXml("<layer title=\"输出设置\" width=\"500\" height=\"400\"><body/></layer>"));
    script.ExpectDialog([&](UiDialogDriver& over) {
      script.ExpectDialog([&](UiDialogDriver& about) {
        EXPECT_EQ(over.Frame(), ::GetWindow(about.Frame(), GW_OWNER));
        EXPECT_FALSE(::IsWindowEnabled(over.Frame()));
        EXPECT_TRUE(about.Click(CAboutDlg::kItemClose));
      }, 0);
      ChooseFromTray(d.Frame(), 2);
      EXPECT_TRUE(testenv::PumpUntil([&] { return script.Remaining() == 0; }, 5000)) << "the about box";
      EXPECT_TRUE(::IsWindowEnabled(over.Frame()));
    });
    standing.DoModal(d.Frame());
    d.EndWith(0);
  });
}

// 最小化 on a dialog over the main window (the object editor) takes the console to the
// tray; the tray's double click, or a second start of the console, shows the main window
// and brings the dialog back over it, restored and active, the focus in the field it was
// in; its 取消 then ends it and the main window takes commands again.
TEST_F(MainWindow, AMinimisedDialogComesBackWithTheMainWindow) {
  using Editor = CQvSubStrategyObjectDlg;
  for (bool secondStart : {false, true}) {
    SCOPED_TRACE(secondStart ? "a second start" : "the tray's double click");
    Run(1, 31, [&](UiDialogDriver& d, CMainDlg&) {
      ObjectRecord record;
      Editor editor(Editor::kMac, Editor::kAdd, &record);
      script.ExpectDialog([&](UiDialogDriver& e) {
        HWND name = e.Control(Editor::kMacName);
        ::SetFocus(name);
        EXPECT_TRUE(e.Click(Editor::kItemMinimize));
        EXPECT_FALSE(::IsWindowVisible(e.Frame()) || ::IsWindowVisible(d.Frame())) << "on the screen";
        if (secondStart) {
          g_sharedInstanceFlag = 1;
          EXPECT_FALSE(ClaimSingleInstance());
          g_sharedInstanceFlag = 0;
        } else {
          ::SendMessageW(d.Frame(), CMainDlg::kTrayMessage, CMainDlg::kTrayIconId, WM_LBUTTONDBLCLK);
        }
        EXPECT_TRUE(testenv::PumpUntil([&] { return ::IsWindowVisible(e.Frame()) != FALSE; }, 5000));
        EXPECT_TRUE(::IsWindowVisible(d.Frame()) && !::IsIconic(d.Frame()) && !::IsIconic(e.Frame()));
        EXPECT_EQ(e.Frame(), ::GetActiveWindow());
        EXPECT_EQ(name, ::GetFocus());
        EXPECT_FALSE(::IsWindowEnabled(d.Frame()));
        EXPECT_TRUE(e.Click(Editor::kItemCancel));
      }, kStillOpen);
      EXPECT_EQ(UINT(IDCANCEL), editor.DoModal(d.Frame()));
      EXPECT_TRUE(d.Click(CMainDlg::kItemIntegrity));
      EXPECT_EQ(1, Page(d, CMainDlg::kTabCtrl));
      d.EndWith(0);
    });
  }
}

TEST_F(MainWindow, ServiceLinkLivesWithTheWindowAndGetsItsSocketEvents) {
  testenv::AgentLinkTestWindow receiver;
  CAgentLinkManager::RegisterWindow({receiver.Handle(), 1529});
  Run(1, 0, [&](UiDialogDriver& d, CMainDlg&) {
    ASSERT_TRUE(peer.Accept(20000) && g_agentLinkManager.Link()->Window() == d.Frame());
    ASSERT_TRUE(peer.SendFrame(0, 0x0A01A8C0u, 1529));
    EXPECT_TRUE(testenv::PumpUntil([&] { return !receiver.deliveries.empty(); }, 20000));
  });
  EXPECT_TRUE(g_agentLinkManager.Link() == nullptr && peer.WaitClosed(20000));
  CAgentLinkManager::UnregisterWindow({receiver.Handle(), 1529});
}

}  // namespace
