// The system-management pages and the safe-tools area as an administrator sees them,
// without a login, for looking at them with scripts/screenshot:
//   sysmgmtview.exe PAGE CONFIG [RUNNING [PORT]]
//                                 PAGE 0 clients (the first host chosen), 1 users (the
//                                 second account chosen), 2 server settings, 5 safe
//                                 tools, 9 the password dialog over the users page,
//                                 3 update, 13 an online update running against the
//                                 UpdateUrl of CONFIG, with RUNNING taken as the
//                                 running executable ("-": none), 14 the update
//                                 status window with three lines, 15 the offline
//                                 package picker over the update page;
//                                 the data come from the data source of CONFIG, a
//                                 SysServerPort.xml (see scripts/gen-db), and from the
//                                 service on PORT (default 4667); the message boxes,
//                                 answered with OK, are written to stderr
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "../ToolStartup.h"
#include "app/CMainDlg.h"
#include "console/CurrentUser.h"
#include "console/SysServerPortConfig.h"
#include "controls/CUIResource.h"
#include "platform/TextConv.h"
#include "sysmgmt/CAutoUpdater.h"
#include "sysmgmt/CSMUPMUpdateDlg.h"
#include "sysmgmt/CSystemManagementUIHandler.h"
#include "uiwin/UiModalHook.h"
#include "uiwin/UiNotify.h"

namespace {

// Agrees to the update of a stand-in executable.
class StandIn : public CAutoUpdater::Seam {
 public:
  std::wstring ExecutablePath() override { return running; }
  int Ask(const std::wstring&, const std::wstring&) override { return IDYES; }
  std::wstring running;
};
HWND g_main;
UINT g_button;  // pressed on the update page once its window runs

void CALLBACK PressButton(HWND, UINT, UINT_PTR timer, DWORD) {
  ::KillTimer(nullptr, timer);
  UINMCOMMAND nm{{g_main, IDC_UIVIEW, UINM_COMMAND}, g_button, "button"};
  ::SendMessageW(g_main, WM_NOTIFY, IDC_UIVIEW, reinterpret_cast<LPARAM>(&nm));
}

class OpenPage : public UiModalHook {
 public:
  OpenPage(CMainDlg& main, int page) : m_main(main), m_page(page) {}
  int OnMessageBox(const Box& box, BOOL&) override {
    std::fprintf(stderr, "box: %s\n", qv::WideToUtf8(box.text).c_str());
    return IDOK;
  }
  BOOL OnDialogReady(HWND frame, CUiDialogView&, UINT*) override {
    if (frame != m_main.m_hWnd) return FALSE;  // the password dialog stays up
    if (m_page == 5) return Command(CMainDlg::kItemSafeTool), FALSE;
    if (m_page == 3 || (m_page >= 13 && m_page <= 15)) {
      m_main.SetTabCurSel(CSystemManagementUIHandler::kTabCtrl, 3);
      if (m_page == 3) return FALSE;
      if (m_page == 14) {
        static CSMUPMUpdateDlg status;
        status.Show(m_main.m_hWnd);
        for (const wchar_t* line : {L"正在检查新版本……", L"正在下载 Quorvane.exe", L"已下载 64 / 257 KB"}) status.AddLine(line);
        return FALSE;
      }
      const bool online = m_page == 13;
      m_main.SetItemCheck(CSMUpdateManagementUIHandler::kOnline, online);
      m_main.SetItemCheck(CSMUpdateManagementUIHandler::kOffline, !online);
      g_main = m_main.m_hWnd;
      g_button = online ? CSMUpdateManagementUIHandler::kStart : CSMUpdateManagementUIHandler::kBrowse;
      ::SetTimer(nullptr, 0, 500, PressButton);
      return FALSE;
    }
    CSystemManagementUIHandler& area = *m_main.SystemManagement();
    m_main.SetTabCurSel(CSystemManagementUIHandler::kTabCtrl, m_page == 9 ? 1 : m_page);
    if (m_page == 0) {
      CSMClientManagementUIHandler& clients = *area.ClientPage();
      HTREEITEM first = clients.Tree().GetChildItem(clients.ServerRoot());
      clients.Tree().SetCheck(first, EM_TVIS_CHECK, FALSE);
      CMulStatusTreeNotify n{{clients.Tree().m_hWnd, CSMClientManagementUIHandler::kTree,
                              static_cast<UINT>(CMulStatusTree::kNotifyCheckChanged)},
                             first, EM_TVIS_CHECK};
      ::SendMessageW(frame, WM_NOTIFY, n.hdr.idFrom, reinterpret_cast<LPARAM>(&n));
    } else if (m_page == 1 || m_page == 9) {
      CSMUserManagementUIHandler& users = *area.UserPage();
      users.Grid().SetItemCheck(1, CSMUserManagementUIHandler::kColumnCheck, 1);
      users.OnSelectUser();
      if (m_page == 9) users.OnChangePassword(1, CSMUserManagementUIHandler::kColumnPassword);
    }
    return FALSE;
  }

 private:
  void Command(UINT item) {
    UINMCOMMAND nm{{m_main.m_hWnd, IDC_UIVIEW, UINM_COMMAND}, item, "imgbtn"};
    ::SendMessageW(m_main.m_hWnd, WM_NOTIFY, IDC_UIVIEW, reinterpret_cast<LPARAM>(&nm));
  }
  CMainDlg& m_main;
  int m_page;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  ToolStartup startup(instance);
  int argc = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  const int page = argc > 1 ? static_cast<int>(std::wcstol(argv[1], nullptr, 10)) : 0;
  if (argc > 2) LoadSysServerPortConfig(qv::WideToAnsi(argv[2]).c_str(), nullptr);
  StandIn standIn;
  if (argc > 3 && std::wcscmp(argv[3], L"-") != 0) standIn.running = argv[3];
  const auto port = static_cast<unsigned short>(argc > 4 ? std::wcstoul(argv[4], nullptr, 10) : 4667ul);
  CAutoUpdater::Seam::Scope updaterScope(standIn);
  ::LocalFree(argv);
  g_currentUserName = g_defaultUserName;
  g_currentUserId = 1;
  g_currentUserType = kUserTypeAdministrator;
  g_currentUserPermission = kPermissionSafeTools;
  CUIResource::Init();
  {
    CMainDlg main(port);
    OpenPage hook(main, page);
    UiModalHook::Scope scope(hook);
    main.DoModal(nullptr);
  }
  CUIResource::Uninit();
  return 0;
}
