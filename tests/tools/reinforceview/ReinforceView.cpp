// The security-reinforcement area as a user with that permission sees it, reached
// through the main window's page 2 (no header button leads there), for looking at it
// with scripts/screenshot:
//   reinforceview.exe [VIEW [PAGE] [DSN]]   VIEW 0 the policy list (default), 1 the
//                                    vulnerability page, 2 the target picker over it,
//                                    3 the policy wizard for a new policy, 4 the wizard
//                                    editing the first policy, on PAGE (20000 to 20012)
// DSN names the data source the pages read (none: the lists stay empty). Every view
// can be used by hand: boxes show as in the console (see ToolModalHook.h for the answers
// scripts/screenshot-all gives them), and the view asked for is opened once.
#include <windows.h>

#include <cwchar>
#include <string>

#include "../ToolModalHook.h"
#include "../ToolStartup.h"
#include "app/CMainDlg.h"
#include "console/CurrentUser.h"
#include "console/SysServerPortConfig.h"
#include "controls/CUIResource.h"
#include "reinforce/CSRBugFixesUIHandler.h"
#include "reinforce/CSRSecurityReinforceDlg.h"
#include "reinforce/CSecurityReinforceUIHandler.h"
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

// Opens page 2 once the main window is up, then the view asked for; later dialogs are
// the user's.
class OpenView : public ToolModalHook {
 public:
  OpenView(int view, UINT page) : m_view(view), m_page(page) {}

 protected:
  BOOL OnToolDialogReady(HWND frame, CUiDialogView& view) override {
    CWindowImplCore* dialog = CWindowImplCore::FromHandle(frame);
    if (m_done) return FALSE;
    if (auto* picker = dynamic_cast<target*>(dialog)) {
      m_done = m_view == 2;
      CMulStatusTree& tree = picker->GetTree();
      HTREEITEM root = tree.GetRootItem();
      tree.Expand(root);
      // The mail server checked, to show a box in each state and both server pictures.
      HTREEITEM item = tree.GetChildItem(root);
      for (int i = 0; item && i < 4; ++i) item = tree.GetNextSiblingItem(item);
      if (item) tree.SetCheck(item, EM_TVIS_CHECK, TRUE);
      return FALSE;
    }
    if (auto* wizard = dynamic_cast<CSRSecurityReinforceDlg*>(dialog)) {
      m_done = true;
      ShowWizardPage(*wizard);
      return FALSE;
    }
    if (m_mainShown || !dynamic_cast<CMainDlg*>(dialog)) return FALSE;
    m_mainShown = true;
    m_done = m_view < 2;
    Command(frame, CMainDlg::kItemReinforce);
    // The area's own tab control; the integrity area's has the same id.
    if (m_view >= 1) {
      CUiTab* area = view.FindChildByCmdID(CMainDlg::kTabCtrl)->AsTabCtrl()->GetItem(2);
      area->FindChildByCmdID(364)->AsTabCtrl()->SetCurSel(1);
    }
    if (m_view == 2) Command(frame, CSRBugFixesUIHandler::kChooseTarget);
    if (m_view == 3) Command(frame, CSRReinforceStrategyUIHandler::kNewPolicy);
    if (m_view == 4) {
      auto* main = dynamic_cast<CMainDlg*>(CWindowImplCore::FromHandle(frame));
      main->Reinforce()->StrategyPage()->GetGrid().SetItemCheck(0, 0, 1);
      Command(frame, CSRReinforceStrategyUIHandler::kEditPolicy);
    }
    return FALSE;
  }

 private:
  // The page asked for, with what it shows once reached by its buttons.
  void ShowWizardPage(CSRSecurityReinforceDlg& wizard) {
    using Dlg = CSRSecurityReinforceDlg;
    wizard.TargetTree().Expand(wizard.TargetTree().GetRootItem());
    for (HTREEITEM item = wizard.TemplateTree().GetRootItem(); item; item = wizard.TemplateTree().GetNextSiblingItem(item))
      wizard.TemplateTree().Expand(item);
    if (m_page == Dlg::kPageNetRuleEditor) {
      ::SetWindowTextW(::GetDlgItem(wizard.GetViewHWnd(), Dlg::kRuleNameEdit), L"禁止远程桌面");
      for (UINT id = Dlg::kAddressCombo; id <= Dlg::kDirectionCombo; ++id) wizard.ComboById(id).SetCurSel(0);
      wizard.ComboById(Dlg::kAddressCombo).PostMessage(CB_SHOWDROPDOWN, TRUE);  // its list open
    }
    if (m_page == Dlg::kPageSummary) wizard.OnUserOptionsNext();
    if (m_page >= Dlg::kPageName && m_page <= Dlg::kPageSummary) wizard.ShowPage(m_page);
  }

  int m_view;
  UINT m_page;
  bool m_mainShown = false;
  bool m_done = false;  // the view asked for is open
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR args, int) {
  ToolStartup startup(instance);
  int view = 0;
  UINT page = CSRSecurityReinforceDlg::kPageName;
  if (args && *args) {
    wchar_t* rest = nullptr;
    view = static_cast<int>(std::wcstol(args, &rest, 10));
    while (rest && *rest == L' ') ++rest;
    if (view >= 3 && rest && *rest >= L'0' && *rest <= L'9') {
      page = static_cast<UINT>(std::wcstol(rest, &rest, 10));
      while (*rest == L' ') ++rest;
    }
    if (rest && *rest) lstrcpynW(g_dsnName, rest, kSettingChars);
  }
  g_currentUserName = g_defaultUserName;
  g_currentUserType = kUserTypeAdministrator;
  g_currentUserPermission = kPermissionReinforce;
  CUIResource::Init();
  {
    OpenView hook(view, page);
    UiModalHook::Scope scope(hook);
    CMainDlg main;
    main.DoModal(nullptr);
  }
  CUIResource::Uninit();
  return 0;
}
