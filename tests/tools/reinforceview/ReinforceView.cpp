// The security-reinforcement area as a user with that permission sees it, reached
// through the main window's page 2 (no header button leads there), for looking at it
// with scripts/screenshot:
//   reinforceview.exe [VIEW [DSN]]   VIEW 0 the policy list (default), 1 the
//                                    vulnerability page, 2 the target picker over it
// DSN names the data source the policy list reads (none: the list stays empty).
#include <windows.h>

#include <cwchar>
#include <string>

#include "../ToolStartup.h"
#include "app/CMainDlg.h"
#include "console/CurrentUser.h"
#include "console/SysServerPortConfig.h"
#include "controls/CUIResource.h"
#include "reinforce/CSRBugFixesUIHandler.h"
#include "reinforce/target.h"
#include "uiwin/UiModalHook.h"
#include "uiwin/UiNotify.h"
#include "uiwin/CUiDialogView.h"
#include "uiwin/CUiTab.h"
#include "uiwin/CUiTabCtrl.h"

namespace {

LRESULT Command(HWND frame, UINT item) {
  UINMCOMMAND nm{{frame, IDC_UIVIEW, UINM_COMMAND}, item, "button"};
  return ::SendMessageW(frame, WM_NOTIFY, IDC_UIVIEW, reinterpret_cast<LPARAM>(&nm));
}

// Opens page 2 once the main window is up, then the view asked for.
class OpenView : public UiModalHook {
 public:
  explicit OpenView(int view) : m_view(view) {}
  int OnMessageBox(const Box&, BOOL&) override { return IDOK; }
  BOOL OnDialogReady(HWND frame, CUiDialogView& view, UINT*) override {
    if (auto* picker = dynamic_cast<target*>(CWindowImplCore::FromHandle(frame))) {
      CMulStatusTree& tree = picker->GetTree();
      HTREEITEM root = tree.GetRootItem();
      tree.Expand(root);
      // The mail server checked, to show a box in each state and both server pictures.
      HTREEITEM item = tree.GetChildItem(root);
      for (int i = 0; item && i < 4; ++i) item = tree.GetNextSiblingItem(item);
      if (item) tree.SetCheck(item, EM_TVIS_CHECK, TRUE);
      return FALSE;
    }
    Command(frame, CMainDlg::kItemReinforce);
    // The area's own tab control; the integrity area's has the same id.
    if (m_view >= 1) {
      CUiTab* area = view.FindChildByCmdID(CMainDlg::kTabCtrl)->AsTabCtrl()->GetItem(2);
      area->FindChildByCmdID(364)->AsTabCtrl()->SetCurSel(1);
    }
    if (m_view == 2) Command(frame, CSRBugFixesUIHandler::kChooseTarget);
    return FALSE;
  }

 private:
  int m_view;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR args, int) {
  ToolStartup startup(instance);
  int view = 0;
  if (args && *args) {
    wchar_t* rest = nullptr;
    view = static_cast<int>(std::wcstol(args, &rest, 10));
    while (rest && *rest == L' ') ++rest;
    if (rest && *rest) lstrcpynW(g_dsnName, rest, kSettingChars);
  }
  g_currentUserName = g_defaultUserName;
  g_currentUserType = kUserTypeAdministrator;
  g_currentUserPermission = kPermissionReinforce;
  CUIResource::Init();
  {
    OpenView hook(view);
    UiModalHook::Scope scope(hook);
    CMainDlg main;
    main.DoModal(nullptr);
  }
  CUIResource::Uninit();
  return 0;
}
