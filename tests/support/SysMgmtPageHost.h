#pragma once
// The page-host fixture of the system-management tests: a fresh database, a user, a
// real service peer on 127.0.0.1 and the main window run modally; a test's body runs
// inside the window's modal loop with the window's message boxes and dialogs scripted.
#include <gtest/gtest.h>

#include <cwchar>
#include <functional>

#include "app/CMainDlg.h"
#include "console/CAgentLink.h"
#include "console/CAgentLinkManager.h"
#include "console/CurrentUser.h"
#include "console/SysServerPortConfig.h"
#include "controls/CUIResource.h"
#include "support/LoopbackPeer.h"
#include "support/ModalScript.h"
#include "support/TestDatabase.h"
#include "support/TestEnv.h"

namespace qvtest {

class SysMgmtPageTest : public ConnectedDatabaseTest {
 protected:
  static const int kAllAreas = 31;

  void SetUp() override {
    ConnectedDatabaseTest::SetUp();
    wcscpy(g_dsnName, TestDatabase::Dsn());
    CUIResource::Init();
    LogInAs(g_defaultUserName, 1, 1, kAllAreas);
  }
  void TearDown() override {
    CUIResource::Uninit();
    g_dsnName[0] = L'\0';
    LogInAs(L"", 0, 0, 0);
  }

  // The current user as a login would leave it.
  static void LogInAs(const wchar_t* name, int id, int type, int permission) {
    g_currentUserName = name;
    g_currentUserId = id;
    g_currentUserType = type;
    g_currentUserPermission = permission;
  }
  // Adds an account or a host and returns its id.
  int AddUser(const wchar_t* name, int type, int permission) {
    Exec(link, L"insert into Users(name,password,comment,type,permission) values(?,'','',?,?)", {name, type, permission});
    return Int(link, L"select id from Users where name=?", {name});
  }
  int AddClient(const wchar_t* name, const wchar_t* ip, int type, int status = 0, int stopped = 0) {
    Exec(link, L"insert into Client(Name,IP,MAC,Status,Type,Stopped) values(?,?,'001A2B3C4D5E',?,?,?)",
         {name, ip, status, type, stopped});
    return Int(link, L"select max(id) from Client");
  }

  // Runs the main window for the current user; act runs inside its modal loop, once the
  // link has connected to the peer (or, given a port, to the service there).
  void Run(const std::function<void(UiDialogDriver&, CMainDlg&)>& act, unsigned short servicePort = 0) {
    CMainDlg main(servicePort ? servicePort : peer.Port());
    script.ExpectDialog([&](UiDialogDriver& d) {
      ASSERT_TRUE(servicePort || (peer.Accept(20000) && LinkConnected()));
      act(d, main);
    });
    main.DoModal();
  }
  // Waits for the link's connect event: frames are taken only from then on.
  static bool LinkConnected() {
    return testenv::PumpUntil([] { return g_agentLinkManager.Link() && g_agentLinkManager.Link()->IsConnected(); },
                              20000);
  }
  // An element command as a click sends it, whatever the element's state.
  static void Command(CMainDlg& main, UINT item) {
    UINMCOMMAND nm{{main.GetViewHWnd(), IDC_UIVIEW, UINM_COMMAND}, item, "button"};
    ::SendMessageW(main.m_hWnd, WM_NOTIFY, IDC_UIVIEW, reinterpret_cast<LPARAM>(&nm));
  }
  // A notification of a real control, as it reaches the main window.
  static void Notify(CMainDlg& main, NMHDR* header, UINT id, int code) {
    *header = NMHDR{::GetDlgItem(main.GetViewHWnd(), static_cast<int>(id)), id, static_cast<UINT>(code)};
    ::SendMessageW(main.m_hWnd, WM_NOTIFY, id, reinterpret_cast<LPARAM>(header));
  }
  // A frame that the peer sends and the link delivers; pumps until `done`.
  bool Deliver(uint32_t type, uint32_t wParam, uint32_t messageId, const void* payload, uint32_t length,
               const std::function<bool()>& done) {
    return peer.SendFrame(type, wParam, messageId, payload, length) && testenv::PumpUntil(done, 20000);
  }

  testenv::LoopbackPeer peer;
  ModalScript script;
};

}  // namespace qvtest
