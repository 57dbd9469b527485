// The log center of a running main window over a filled data source, for a look with
// scripts/screenshot:
//   logcenterview.exe PAGE DSN HOST START END
//   PAGE 541: the audit page listing HOST's entries of every type from START to END;
//        542, 543: the registry-monitoring or the system log page listing the same;
//        544: the detail window of the first entry listed; 549: the date picker.
// Message boxes are answered with OK. Make the data source with scripts/gen-db --config.
#include <windows.h>

#include <cwchar>
#include <string>

#include "app/CMainDlg.h"
#include "console/CurrentUser.h"
#include "console/SysServerPortConfig.h"
#include "controls/CListNotify.h"
#include "controls/CUIResource.h"
#include "logcenter/CLCAuditLogDetailDlg.h"
#include "logcenter/CLCCalendarDlg.h"
#include "logcenter/CLogCenterUIHandler.h"
#include "../ToolStartup.h"
#include "uiwin/CUiDialogView.h"
#include "uiwin/CUiTab.h"
#include "uiwin/CUiTabCtrl.h"
#include "uiwin/UiModalHook.h"
#include "uiwin/UiNotify.h"

namespace {

void Command(HWND frame, UINT item) {
  UINMCOMMAND nm{{frame, IDC_UIVIEW, UINM_COMMAND}, item, "button"};
  ::SendMessageW(frame, WM_NOTIFY, IDC_UIVIEW, reinterpret_cast<LPARAM>(&nm));
}

class ShowPage : public UiModalHook {
 public:
  ShowPage(CMainDlg& main, int page, const wchar_t* host, const wchar_t* start, const wchar_t* end)
      : m_main(main), m_page(page), m_host(host), m_start(start), m_end(end) {}
  int OnMessageBox(const Box&, BOOL&) override { return IDOK; }
  BOOL OnDialogReady(HWND frame, CUiDialogView& view, UINT*) override {
    if (frame != m_main.m_hWnd) return FALSE;
    Command(frame, CMainDlg::kItemLogCenter);
    if (m_page == 542) return Search(view, 1, m_main.LogCenter()->HIPSLog());
    if (m_page == 543) return Search(view, 2, m_main.LogCenter()->SystemLog());
    CLCAuditLogUIHandler* audit = m_main.LogCenter()->AuditLog();
    if (m_page == CLCCalendarDlg::kLayoutId) {
      Command(frame, CLCAuditLogUIHandler::kItemPickStart);
      return FALSE;
    }
    ::SetWindowTextW(audit->Page().Field(CLCAuditLogUIHandler::kStartEdit), m_start);
    ::SetWindowTextW(audit->Page().Field(CLCAuditLogUIHandler::kEndEdit), m_end);
    audit->Page().TakeHost(m_host);
    audit->TypeList().SetCurSel(8);
    Command(frame, CLCAuditLogUIHandler::kItemSearch);
    if (m_page == CLCAuditLogDetailDlg::kLayoutId)
      audit->Page().GetGrid().NotifyParent(0, CLCAuditLogUIHandler::kDetailColumn, LIST_NOTIFY_CELLCLICKED);
    return FALSE;
  }

 private:
  // The log center's tab TAB shown, its page searched like the audit page.
  template <class Handler>
  BOOL Search(CUiDialogView& view, int tab, Handler* handler) {
    auto* areas = view.FindChildByCmdID(CMainDlg::kTabCtrl)->AsTabCtrl();
    CUiWindow* tabs = areas ? areas->GetItem(3)->FindChildByCmdID(CLogCenterUIHandler::kTabCtrl) : nullptr;
    if (tabs) tabs->AsTabCtrl()->SetCurSel(tab);
    ::SetWindowTextW(handler->Page().Field(Handler::kStartEdit), m_start);
    ::SetWindowTextW(handler->Page().Field(Handler::kEndEdit), m_end);
    handler->Page().TakeHost(m_host);
    Command(m_main.m_hWnd, Handler::kItemSearch);
    return FALSE;
  }

  CMainDlg& m_main;
  int m_page;
  const wchar_t *m_host, *m_start, *m_end;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  int argc = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  if (!argv || argc < 6) return 2;
  ToolStartup startup(instance);
  wcsncpy(g_dsnName, argv[2], kSettingChars - 1);
  g_currentUserName = g_defaultUserName;
  g_currentUserType = kUserTypeAdministrator;
  g_currentUserPermission = kPermissionLogCenter;
  CUIResource::Init();
  {
    CMainDlg main;
    ShowPage hook(main, static_cast<int>(std::wcstol(argv[1], nullptr, 10)), argv[3], argv[4], argv[5]);
    UiModalHook::Scope scope(hook);
    main.DoModal(nullptr);
  }
  CUIResource::Uninit();
  ::LocalFree(argv);
  return 0;
}
