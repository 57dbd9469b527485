// The report center as an administrator sees it, without a login, for looking at it
// with scripts/screenshot:
//   reportsview.exe PAGE CONFIG   PAGE 0 the report list, 1 the report settings; the
//                                 list is read from the data source of CONFIG, a
//                                 SysServerPort.xml (see scripts/gen-db)
#include <windows.h>

#include <cwchar>
#include <string>

#include "../ToolStartup.h"
#include "app/CMainDlg.h"
#include "console/CurrentUser.h"
#include "console/SysServerPortConfig.h"
#include "controls/CUIResource.h"
#include "platform/TextConv.h"
#include "uiwin/CUiDialogView.h"
#include "uiwin/CUiTab.h"
#include "uiwin/CUiTabCtrl.h"
#include "uiwin/UiModalHook.h"
#include "uiwin/UiNotify.h"

namespace {

// Opens the report area and its page once the window is up, as clicks would.
class OpenPage : public UiModalHook {
 public:
  explicit OpenPage(int page) : m_page(page) {}
  int OnMessageBox(const Box&, BOOL&) override { return IDOK; }
  BOOL OnDialogReady(HWND frame, CUiDialogView& view, UINT*) override {
    UINMCOMMAND nm{{frame, IDC_UIVIEW, UINM_COMMAND}, CMainDlg::kItemReportCenter, "imgbtn"};
    ::SendMessageW(frame, WM_NOTIFY, IDC_UIVIEW, reinterpret_cast<LPARAM>(&nm));
    auto* areas = static_cast<CUiTabCtrl*>(view.FindChildByCmdID(CMainDlg::kTabCtrl));
    if (CUiWindow* tabs = areas ? areas->GetItem(4)->FindChildByCmdID(364) : nullptr)
      tabs->AsTabCtrl()->SetCurSel(m_page);
    return FALSE;
  }

 private:
  int m_page;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  ToolStartup startup(instance);
  int argc = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  const int page = argc > 1 ? static_cast<int>(std::wcstol(argv[1], nullptr, 10)) : 0;
  if (argc > 2) LoadSysServerPortConfig(qv::WideToAnsi(argv[2]).c_str(), nullptr);
  ::LocalFree(argv);
  g_currentUserName = g_defaultUserName;
  g_currentUserType = kUserTypeAdministrator;
  g_currentUserPermission = kPermissionReportCenter;
  CUIResource::Init();
  {
    OpenPage hook(page);
    UiModalHook::Scope scope(hook);
    CMainDlg main;
    main.DoModal(nullptr);
  }
  CUIResource::Uninit();
  return 0;
}
