// The main window run modally for users of different rights: area buttons, the order
// in which the page handlers see what the window leaves, closing, the tray icon, the
// about box and the service link that lives with the window.
#include <gtest/gtest.h>

#include <functional>

#include "app/CMainDlg.h"
#include "console/CAboutDlg.h"
#include "console/CAgentLink.h"
#include "console/CAgentLinkManager.h"
#include "console/CurrentUser.h"
#include "console/SysServerPortConfig.h"
#include "support/AgentLinkTestWindow.h"
#include "support/LoopbackPeer.h"
#include "support/ModalScript.h"
#include "support/TestDatabase.h"
#include "support/TestEnv.h"
#include "uiwin/CUiTabCtrl.h"
#include "uiwin/CUiDialogView.h"

namespace {

const int kAll = 31;
const wchar_t kRefusal[] = L"对不起，您没有权限访问此页";

// The integrity area loads its strategies while the window initialises.
class MainWindow : public qvtest::DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    wcscpy(g_dsnName, qvtest::TestDatabase::Dsn());
  }
  void TearDown() override {
    g_dsnName[0] = L'\0';
    g_currentUserType = 0;
    g_currentUserPermission = 0;
  }
  // A main window for the user, act run inside its modal loop; the run's result.
  UINT Run(int type, int permission, const std::function<void(UiDialogDriver&, CMainDlg&)>& act) {
    g_currentUserType = type;
    g_currentUserPermission = permission;
    testenv::LoopbackPeer noService(0, false);  // bound, refusing
    CMainDlg main(noService.Port());
    script.ExpectDialog([&](UiDialogDriver& d) { act(d, main); });
    return main.DoModal();
  }
  static LRESULT Command(HWND frame, UINT item) {
    UINMCOMMAND nm{{frame, IDC_UIVIEW, UINM_COMMAND}, item, "imgbtn"};
    return ::SendMessageW(frame, WM_NOTIFY, IDC_UIVIEW, reinterpret_cast<LPARAM>(&nm));
  }
  static int Page(UiDialogDriver& d, UINT tab) {
    auto* ctrl = static_cast<CUiTabCtrl*>(d.View().FindChildByCmdID(tab));
    return ctrl ? ctrl->GetCurSel() : -1;
  }
  ModalScript script;
};

TEST_F(MainWindow, AreaButtonsFollowThePermissionBitsAndMarkThePageShown) {
  // page -1: the refusal box, and the page stays.
  struct Click { UINT item; int page; };
  const struct {
    int type, permission;
    const char* handlers;  // sysmgmt, integrity, safe tools, log, report, reinforcement
    std::vector<Click> clicks;
  } rows[] = {
      {1, kAll, "111111", {{106, 1}, {108, 3}, {109, 4}, {107, 2}, {110, 5}, {105, 0}}},
      {0, 0, "100000", {{106, -1}, {108, -1}, {109, -1}, {107, -1}}},
      {0, 5, "110100", {{106, 1}, {109, -1}, {108, 3}, {110, -1}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.permission);
    EXPECT_EQ(2u, Run(row.type, row.permission, [&](UiDialogDriver& d, CMainDlg& main) {
      const std::string built = {main.SystemManagement() ? '1' : '0', main.Integrity() ? '1' : '0',
                                 main.SafeTool() ? '1' : '0', main.LogCenter() ? '1' : '0',
                                 main.ReportCenter() ? '1' : '0', main.Reinforce() ? '1' : '0'};
      EXPECT_EQ(row.handlers, built);
      EXPECT_EQ(row.type == 1, main.IsItemEnabled(CMainDlg::kItemUpdate) != FALSE);
      int page = 0;
      for (const Click& c : row.clicks) {
        SCOPED_TRACE(c.item);
        if (c.page < 0) script.ExpectBox(kRefusal, IDOK);
        Command(d.Frame(), c.item);
        if (c.page >= 0) page = c.page;
        EXPECT_EQ(page, Page(d, CMainDlg::kTabCtrl));
        for (UINT b : {105u, 106u, 108u, 109u})
          EXPECT_EQ(b != 105u + page, main.IsItemEnabled(b) != FALSE) << b;
      }
      for (const auto& box : script.Boxes()) EXPECT_EQ(L"权限不足", box.caption);
      d.EndWith(2);
    }));
  }
}

TEST_F(MainWindow, UpdateButtonOpensTheUpdatePageOfSystemManagement) {
  Run(1, kAll, [&](UiDialogDriver& d, CMainDlg&) {
    Command(d.Frame(), 106);
    Command(d.Frame(), CMainDlg::kItemUpdate);
    EXPECT_EQ(0, Page(d, CMainDlg::kTabCtrl));
    EXPECT_EQ(3, Page(d, 129));
  });
  Run(0, kAll, [&](UiDialogDriver& d, CMainDlg&) { EXPECT_EQ(1, Page(d, 129)); });  // users only
}

TEST_F(MainWindow, WhatTheWindowLeavesGoesToThePageHandlersInOrder) {
  const struct {
    int type, permission;
    UINT message;
    UINT notifyCode, id;  // an element notification from the view
    const wchar_t* box;   // the system-management handler's refusal
    BOOL handled;
  } rows[] = {
      {1, kAll, WM_NOTIFY, UINM_COMMAND, 9999, nullptr, FALSE},  // no page knows 9999
      {1, kAll, WM_NOTIFY, UINM_COMMAND, 112, nullptr, TRUE},    // the strategy page's
      {1, kAll, WM_TIMER, 0, 1, nullptr, TRUE},                 // ends at the window
      {0, kAll, WM_NOTIFY, UINM_TAB_SELCHANGE, 129, kRefusal, TRUE},
      {1, kAll, WM_NOTIFY, UINM_TAB_SELCHANGE, 129, nullptr, TRUE},
      {0, 1, WM_NOTIFY, UINM_TAB_SELCHANGE, 364, nullptr, FALSE},  // integrity's only on its page
      {0, 0, WM_NOTIFY, UINM_TAB_SELCHANGE, 364, nullptr, FALSE},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.id);
    Run(row.type, row.permission, [&](UiDialogDriver& d, CMainDlg& main) {
      // Without a sender window nothing is reflected at the end, so the result tells
      // whether a map handled it.
      UINMTABSELCHANGE nm{{nullptr, IDC_UIVIEW, row.notifyCode}, row.id, 0, 1, FALSE};
      if (row.box) script.ExpectBox(row.box, IDOK);
      LRESULT result = 0;
      const LPARAM lParam = row.message == WM_NOTIFY ? reinterpret_cast<LPARAM>(&nm) : 0;
      EXPECT_EQ(row.handled, main.ProcessWindowMessage(d.Frame(), row.message, row.id, lParam, result));
      EXPECT_EQ(row.box != nullptr, nm.bCancel != FALSE);
    });
  }
}

TEST_F(MainWindow, CloseAsksAndEndsWithTwoOnlyOnYes) {
  EXPECT_EQ(2u, Run(1, kAll, [&](UiDialogDriver& d, CMainDlg&) {
    script.ExpectBox(L"您确定关闭么？", IDNO).ExpectBox(L"您确定关闭么？", IDYES);
    ASSERT_TRUE(d.Click(CMainDlg::kItemClose));
    ASSERT_TRUE(::IsWindow(d.Frame()));
    ::SendMessageW(d.Frame(), WM_SYSCOMMAND, SC_CLOSE, 0);  // Alt+F4
    d.EndWith(0);  // only the Yes may end it
  }));
  ASSERT_EQ(2u, script.Boxes().size());
  EXPECT_EQ(L"确定", script.Boxes()[0].caption);
  EXPECT_EQ(UINT(MB_YESNO | MB_ICONQUESTION), script.Boxes()[0].style);
}

TEST_F(MainWindow, MinimiseHidesAndTheTrayIconBringsItBack) {
  Run(0, 0, [&](UiDialogDriver& d, CMainDlg& main) {
    Command(d.Frame(), CMainDlg::kItemMaxRestore);
    EXPECT_TRUE(::IsZoomed(d.Frame()));
    Command(d.Frame(), CMainDlg::kItemMaxRestore);
    EXPECT_FALSE(::IsZoomed(d.Frame()));
    Command(d.Frame(), CMainDlg::kItemMinimize);
    EXPECT_FALSE(::IsWindowVisible(d.Frame()));
    ::SendMessageW(d.Frame(), CMainDlg::kTrayMessage, 100, WM_LBUTTONDBLCLK);  // not our icon
    EXPECT_FALSE(::IsWindowVisible(d.Frame()));
    ::SendMessageW(d.Frame(), CMainDlg::kTrayMessage, CMainDlg::kTrayIconId, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(::IsWindowVisible(d.Frame()));
    EXPECT_FALSE(::IsIconic(d.Frame()));
    HMENU menu = main.CreateTrayMenu();  // a custom user's "升级..." is greyed
    EXPECT_TRUE(::GetMenuState(menu, CMainDlg::kMenuUpdate, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(::GetMenuState(menu, CMainDlg::kMenuAbout, MF_BYCOMMAND) & MF_GRAYED);
    ::DestroyMenu(menu);
  });
}

TEST_F(MainWindow, TrayMenuOpensTheAboutBoxWhichOnlyItsButtonsClose) {
  Run(1, kAll, [&](UiDialogDriver& d, CMainDlg&) {
    script.ExpectDialog([](UiDialogDriver& about) { EXPECT_TRUE(about.Click(CAboutDlg::kItemClose)); });
    ::SendMessageW(d.View().m_hWnd, WM_COMMAND, CMainDlg::kMenuAbout, 0);  // as the menu sends it
  });
  ASSERT_EQ(2u, script.Dialogs().size());
  EXPECT_EQ(L"关于...", script.Dialogs()[1]);

  CAboutDlg about;
  script.ExpectDialog([](UiDialogDriver& d) {
    ::SendMessageW(d.Frame(), WM_KEYDOWN, VK_ESCAPE, 0);  // element 2: not handled
    ::SendMessageW(d.Frame(), WM_KEYDOWN, VK_RETURN, 0);  // element 1: not handled
    EXPECT_TRUE(::IsWindowVisible(d.Frame()));
    EXPECT_TRUE(d.Click(CAboutDlg::kItemClose));
    d.EndWith(0);
  });
  EXPECT_EQ(2u, about.DoModal());
}

TEST_F(MainWindow, ServiceLinkLivesWithTheWindowAndGetsItsSocketEvents) {
  testenv::LoopbackPeer peer;
  testenv::AgentLinkTestWindow receiver;
  CAgentLinkManager::RegisterWindow({receiver.Handle(), 1529});
  g_currentUserType = 1;
  {
    CMainDlg main(peer.Port());
    script.ExpectDialog([&](UiDialogDriver& d) {
      ASSERT_TRUE(g_agentLinkManager.Link());
      EXPECT_EQ(d.Frame(), g_agentLinkManager.Link()->Window());
      ASSERT_TRUE(peer.Accept(20000));
      ASSERT_TRUE(peer.SendFrame(0, 0x0A01A8C0u, 1529));
      EXPECT_TRUE(testenv::PumpUntil([&] { return !receiver.deliveries.empty(); }, 20000));
    });
    main.DoModal();
  }
  EXPECT_EQ(nullptr, g_agentLinkManager.Link());
  EXPECT_TRUE(peer.WaitClosed(20000));
  CAgentLinkManager::UnregisterWindow({receiver.Handle(), 1529});
}

}  // namespace
