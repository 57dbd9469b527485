// The main window as an administrator with every area sees it, without a login or a
// database, opened on one area for looking at it with scripts/screenshot:
//   mainview.exe [AREA]   AREA 0 to 5: system management, integrity, reinforcement,
//                         log center, report center, safe tools (default 0)
#include <windows.h>

#include <cwchar>

#include "app/CMainDlg.h"
#include "console/CurrentUser.h"
#include "controls/CUIResource.h"
#include "../ToolStartup.h"
#include "uiwin/UiModalHook.h"
#include "uiwin/UiNotify.h"

namespace {

// Presses the area's button once the window is up, as a click would.
class OpenArea : public UiModalHook {
 public:
  explicit OpenArea(UINT item) : m_item(item) {}
  int OnMessageBox(const Box&, BOOL&) override { return IDOK; }
  BOOL OnDialogReady(HWND frame, CUiDialogView&, UINT*) override {
    UINMCOMMAND nm{{frame, IDC_UIVIEW, UINM_COMMAND}, m_item, "imgbtn"};
    ::SendMessageW(frame, WM_NOTIFY, IDC_UIVIEW, reinterpret_cast<LPARAM>(&nm));
    return FALSE;
  }

 private:
  UINT m_item;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR args, int) {
  ToolStartup startup(instance);
  int area = args && *args ? static_cast<int>(std::wcstol(args, nullptr, 10)) : 0;
  if (area < 0 || area > 5) area = 0;
  g_currentUserName = g_defaultUserName;
  g_currentUserType = kUserTypeAdministrator;
  g_currentUserPermission = kPermissionIntegrity | kPermissionReinforce | kPermissionLogCenter |
                            kPermissionReportCenter | kPermissionSafeTools;
  CUIResource::Init();
  {
    OpenArea hook(CMainDlg::kItemSystemManagement + static_cast<UINT>(area));
    UiModalHook::Scope scope(hook);
    CMainDlg main;
    main.DoModal(nullptr);
  }
  CUIResource::Uninit();
  return 0;
}
