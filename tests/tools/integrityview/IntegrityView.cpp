// The strategy page of the integrity area as an administrator sees it, without a login,
// for looking at it with scripts/screenshot:
//   integrityview.exe CONFIG PORT   the strategies from the data source of CONFIG (a
//                                   SysServerPort.xml, see scripts/mkdb); once the link
//                                   to a service on PORT (QvService.exe) stands, the
//                                   first three strategies are checked and run, so
//                                   that the service's answers fill the log pane
//   integrityview.exe CONFIG PORT PAGE  PAGE "changes": the change overview;
//                                   "copies": the history copies of the first type of
//                                   the first host; "restore": the restore confirmation
#include <windows.h>

#include <cwchar>
#include <string>

#include "../ToolStartup.h"
#include "app/CMainDlg.h"
#include "console/CAgentLink.h"
#include "console/CAgentLinkManager.h"
#include "console/CurrentUser.h"
#include "console/SysServerPortConfig.h"
#include "controls/CUIResource.h"
#include "integrity/CQuorvaneUIHandler.h"
#include "integrity/CQvSCWarningDlg.h"
#include "platform/TextConv.h"
#include "uiwin/CUiDialogView.h"
#include "uiwin/CUiTab.h"
#include "uiwin/CUiTabCtrl.h"
#include "uiwin/UiModalHook.h"
#include "uiwin/UiNotify.h"

namespace {

CMainDlg* g_main = nullptr;
HWND g_frame = nullptr;
int g_tab = CQuorvaneUIHandler::kTabStrategies;
bool g_restore = false;

void Command(UINT item) {
  UINMCOMMAND nm{{g_frame, IDC_UIVIEW, UINM_COMMAND}, item, "button"};
  ::SendMessageW(g_frame, WM_NOTIFY, IDC_UIVIEW, reinterpret_cast<LPARAM>(&nm));
}

// Runs the first strategies as soon as the link stands.
void CALLBACK RunWhenConnected(HWND, UINT, UINT_PTR timer, DWORD) {
  CAgentLink* link = g_agentLinkManager.Link();
  if (!link || !link->IsConnected()) return;
  ::KillTimer(nullptr, timer);
  auto& grid = g_main->Integrity()->StrategyGuard()->Grid();
  for (int row = 0; row < 3 && row < grid.GetItemCount(); ++row) grid.SetItemCheck(row, 0, 1);
  Command(CQvStrategyGuardUIHandler::kItemRun);
}

// The restore confirmation over the main window.
void CALLBACK ShowRestore(HWND, UINT, UINT_PTR timer, DWORD) {
  ::KillTimer(nullptr, timer);
  CQvSCWarningDlg(L"操作系统", L"10.0.0.1", L"操作系统完整性监测策略 - 系统", L"2026-02-01 10:00:00")
      .DoModal(g_frame);
}

// Opens the integrity area and its strategy page once the window is up, as clicks would.
class OpenPage : public UiModalHook {
 public:
  int OnMessageBox(const Box&, BOOL&) override { return IDOK; }
  BOOL OnDialogReady(HWND frame, CUiDialogView& view, UINT*) override {
    if (g_frame) return FALSE;
    g_frame = frame;
    Command(CMainDlg::kItemIntegrity);
    auto* areas = view.FindChildByCmdID(CMainDlg::kTabCtrl)->AsTabCtrl();
    if (CUiWindow* tabs = areas ? areas->GetItem(1)->FindChildByCmdID(364) : nullptr)
      tabs->AsTabCtrl()->SetCurSel(g_tab);
    if (g_restore) ::SetTimer(nullptr, 0, 200, ShowRestore);
    else if (g_tab == CQuorvaneUIHandler::kTabStrategies) ::SetTimer(nullptr, 0, 200, RunWhenConnected);
    if (g_tab == CQuorvaneUIHandler::kTabCopies) {
      // The first strategy of a server with copies, as a click on its label would show it.
      CQvSavecopyUIHandler& copies = *g_main->Integrity()->Savecopy();
      CMulStatusTree& tree = copies.Tree();
      for (HTREEITEM host = tree.GetChildItem(copies.ServerGroup()); host; host = tree.GetNextSiblingItem(host))
        for (HTREEITEM type = tree.GetChildItem(host); type; type = tree.GetNextSiblingItem(type))
          for (HTREEITEM name = tree.GetChildItem(type); name; name = tree.GetNextSiblingItem(name))
            if (copies.LoadCopies(name) && copies.Grid().GetItemCount() > 0) {
              tree.Expand(type);
              tree.SelectItem(name);
              return FALSE;
            }
    }
    return FALSE;
  }
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  ToolStartup startup(instance);
  int argc = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  if (argc > 1) LoadSysServerPortConfig(qv::WideToAnsi(argv[1]).c_str(), nullptr);
  const unsigned short port =
      static_cast<unsigned short>(argc > 2 ? std::wcstoul(argv[2], nullptr, 10) : 4667ul);
  const std::wstring page = argc > 3 ? argv[3] : L"";
  ::LocalFree(argv);
  if (page == L"changes") g_tab = CQuorvaneUIHandler::kTabChangeMonitoring;
  if (page == L"copies" || page == L"restore") g_tab = CQuorvaneUIHandler::kTabCopies;
  g_restore = page == L"restore";
  g_currentUserName = g_defaultUserName;
  g_currentUserType = kUserTypeAdministrator;
  g_currentUserPermission = kPermissionIntegrity;
  CUIResource::Init();
  {
    OpenPage hook;
    UiModalHook::Scope scope(hook);
    CMainDlg main(port);
    g_main = &main;
    main.DoModal(nullptr);
  }
  CUIResource::Uninit();
  return 0;
}
