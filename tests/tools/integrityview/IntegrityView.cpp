// The strategy page of the integrity area as an administrator sees it, without a login,
// for looking at it with scripts/screenshot:
//   integrityview.exe CONFIG PORT   the strategies from the data source of CONFIG (a
//                                   SysServerPort.xml, see scripts/mkdb); once the link
//                                   to a service on PORT (QvService.exe) stands, the
//                                   first three strategies are checked and run, so
//                                   that the service's answers fill the log pane
#include <windows.h>

#include <cwchar>

#include "../ToolStartup.h"
#include "app/CMainDlg.h"
#include "console/CAgentLink.h"
#include "console/CAgentLinkManager.h"
#include "console/CurrentUser.h"
#include "console/SysServerPortConfig.h"
#include "controls/CUIResource.h"
#include "integrity/CQuorvaneUIHandler.h"
#include "platform/TextConv.h"
#include "uiwin/CUiDialogView.h"
#include "uiwin/CUiTab.h"
#include "uiwin/CUiTabCtrl.h"
#include "uiwin/UiModalHook.h"
#include "uiwin/UiNotify.h"

namespace {

CMainDlg* g_main = nullptr;
HWND g_frame = nullptr;

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

// Opens the integrity area and its strategy page once the window is up, as clicks would.
class OpenPage : public UiModalHook {
 public:
  int OnMessageBox(const Box&, BOOL&) override { return IDOK; }
  BOOL OnDialogReady(HWND frame, CUiDialogView& view, UINT*) override {
    g_frame = frame;
    Command(CMainDlg::kItemIntegrity);
    auto* areas = view.FindChildByCmdID(CMainDlg::kTabCtrl)->AsTabCtrl();
    if (CUiWindow* tabs = areas ? areas->GetItem(1)->FindChildByCmdID(364) : nullptr)
      tabs->AsTabCtrl()->SetCurSel(CQuorvaneUIHandler::kTabStrategies);
    ::SetTimer(nullptr, 0, 200, RunWhenConnected);
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
  ::LocalFree(argv);
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
