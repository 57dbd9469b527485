// The log center of a running main window over a filled data source, for a look with
// scripts/screenshot:
//   logcenterview.exe PAGE DSN HOST START END
//   PAGE 541: the audit page listing HOST's entries of every type from START to END;
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
  BOOL OnDialogReady(HWND frame, CUiDialogView&, UINT*) override {
    if (frame != m_main.m_hWnd) return FALSE;
    Command(frame, CMainDlg::kItemLogCenter);
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
