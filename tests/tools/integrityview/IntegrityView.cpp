// The strategy page of the integrity area as an administrator sees it, without a login,
// for looking at it with scripts/screenshot:
//   integrityview.exe CONFIG PORT   the strategies from the data source of CONFIG (a
//                                   SysServerPort.xml, see scripts/mkdb); once the link
//                                   to a service on PORT (QvService.exe) stands, the
//                                   first three strategies are checked and run, so
//                                   that the service's answers fill the log pane
//   integrityview.exe objects TAB [CONFIG]
//                                   the strategy objects page on that tab (0 IP, 1 MAC,
//                                   2 application, 3 registry, 4 device), its lists
//                                   read from the data source of CONFIG, or sample rows
//                                   written into them
//   integrityview.exe editor KIND   the strategy object editor of that kind (0 IP, 1 MAC,
//                                   2 application, 3 registry, 4 device) modifying a
//                                   sample object
//   integrityview.exe verify        the device login test against 127.0.0.1, where
//                                   nothing answers on its port
//   integrityview.exe CONFIG PORT PANEL
//                                   the new-strategy wizard walked to PANEL: 20000
//                                   templates, 20001 device login, 20012 object list,
//                                   20015 its target tab, 20016 name, 20002 schedule,
//                                   20011 settings, 20013 summary; 20015 with a
//                                   trailing "p" shows the parameter tab; PANEL
//                                   "changes": the change overview; "copies": the
//                                   copies of the first strategy with copies;
//                                   "restore": the restore confirmation
#include <windows.h>

#include <cwchar>
#include <string>

#include "../ToolStartup.h"
#include "app/CMainDlg.h"
#include "app/ConsoleStartup.h"
#include "console/CAgentLink.h"
#include "console/CAgentLinkManager.h"
#include "console/CurrentUser.h"
#include "console/SysServerPortConfig.h"
#include "controls/CUIResource.h"
#include "integrity/CQuorvaneUIHandler.h"
#include "integrity/CQvSCWarningDlg.h"
#include "integrity/CQvSavecopyUIHandler.h"
#include "integrity/CQvStrategyGuardDlg.h"
#include "integrity/CQvStrategyObjectUIHandler.h"
#include "integrity/CQvSubStrategyObjectDlg.h"
#include "integrity/CQvVerifyLoginDlg.h"
#include "platform/CWindowImplCore.h"
#include "platform/TextConv.h"
#include "uiwin/CUiDialogView.h"
#include "uiwin/CUiTab.h"
#include "uiwin/CUiTabCtrl.h"
#include "uiwin/UiModalHook.h"
#include "uiwin/UiNotify.h"

namespace {

CMainDlg* g_main = nullptr;
int g_objectsTab = -1;  // the objects page's tab to show, -1 for the strategy page
bool g_objectsFromDatabase = false;  // else sample rows
HWND g_frame = nullptr;
std::wstring g_panel;  // the wizard panel to show, empty for the page

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

// Sample rows in every list of the objects page.
void FillObjects() {
  CQvStrategyObjectUIHandler* page = g_main->Integrity()->StrategyObject();
  const wchar_t* const rows[][3] = {{L"办公网段", L"192.168.1.0/24;10.0.0.1-10.0.0.100", L"办公区"},
                                    {L"网站目录", L"C:\\inetpub\\wwwroot C:\\inetpub\\upload", L"两台主机"}};
  for (int list = 0; list < CQvStrategyObjectUIHandler::kListCount; ++list) {
    auto& grid = page->GridOf(CQvStrategyObjectUIHandler::List(list));
    for (const auto& cells : rows) {
      const int row = grid.AddItem(L"", -1, ITEM_FORMAT_CHECKBOX, ITEM_FLAGS_CENTRE);
      for (int column = 0; column < 3; ++column) grid.SetItemText(row, column + 1, cells[column]);
    }
  }
}

void CALLBACK OpenWizard(HWND, UINT, UINT_PTR timer, DWORD) {
  ::KillTimer(nullptr, timer);
  Command(CQvStrategyGuardUIHandler::kItemNew);
}

// Checks a template as a click on its box would, then presses "下一步".
void PickTemplate(CQvStrategyGuardDlg& wizard, const wchar_t* text) {
  CMulStatusTree& tree = wizard.TreeById(CQvStrategyGuardDlg::kTemplateTree);
  for (HTREEITEM category = tree.GetRootItem(); category; category = tree.GetNextSiblingItem(category)) {
    HTREEITEM item = tree.GetItemText(category) == text ? category : tree.GetChildItem(category);
    while (item && tree.GetItemText(item) != text) item = tree.GetNextSiblingItem(item);
    if (!item) continue;
    tree.Expand(category, TVE_EXPAND);
    tree.SelectItem(item);
    ::SendMessageW(tree, WM_KEYDOWN, VK_SPACE, 0);
    wizard.OnTemplateNext();
    return;
  }
}

void WalkWizard(CQvStrategyGuardDlg& wizard) {
  const int panel = std::wcstol(g_panel.c_str(), nullptr, 10);
  if (panel == CQvStrategyGuardDlg::kPanelDevice) PickTemplate(wizard, L"思科网络设备完整性监测");
  if (panel == CQvStrategyGuardDlg::kPanelName) PickTemplate(wizard, L"Linux操作系统完整性监测");
  if (panel == CQvStrategyGuardDlg::kPanelName) wizard.ShowPanel(CQvStrategyGuardDlg::kPanelName);
  if (panel == CQvStrategyGuardDlg::kPanelSchedule || panel == CQvStrategyGuardDlg::kPanelSettings ||
      panel == CQvStrategyGuardDlg::kPanelSummary) {
    PickTemplate(wizard, L"Linux操作系统完整性监测");
    wizard.ShowPanel(CQvStrategyGuardDlg::kPanelSchedule);
    if (panel != CQvStrategyGuardDlg::kPanelSchedule) wizard.OnScheduleNext();
    if (panel == CQvStrategyGuardDlg::kPanelSummary) wizard.ShowPanel(panel);
  }
  if (panel == CQvStrategyGuardDlg::kPanelObjects || panel == CQvStrategyGuardDlg::kPanelTargetParams)
    PickTemplate(wizard, L"自定义文件系统完整性监测策略");
  if (panel == CQvStrategyGuardDlg::kPanelTargetParams) {
    wizard.ShowPanel(CQvStrategyGuardDlg::kPanelTargetParams);
    wizard.SetTabCurSel(CQvStrategyGuardDlg::kTargetTabs, g_panel.back() == L'p' ? 1 : 0);
  }
}

// The restore confirmation over the main window.
void CALLBACK ShowRestore(HWND, UINT, UINT_PTR timer, DWORD) {
  ::KillTimer(nullptr, timer);
  CQvSCWarningDlg(L"操作系统", L"10.0.0.1", L"操作系统完整性监测策略 - 系统", L"2026-02-01 10:00:00")
      .DoModal(g_frame);
}

// The first strategy of a server with copies, as a click on its label would show it.
void ShowCopies() {
  CQvSavecopyUIHandler& copies = *g_main->Integrity()->Savecopy();
  CMulStatusTree& tree = copies.Tree();
  for (HTREEITEM host = tree.GetChildItem(copies.ServerGroup()); host; host = tree.GetNextSiblingItem(host))
    for (HTREEITEM type = tree.GetChildItem(host); type; type = tree.GetNextSiblingItem(type))
      for (HTREEITEM name = tree.GetChildItem(type); name; name = tree.GetNextSiblingItem(name))
        if (copies.LoadCopies(name) && copies.Grid().GetItemCount() > 0) {
          tree.Expand(type);
          tree.SelectItem(name);
          return;
        }
}

// Opens the integrity area and its strategy page once the window is up, as clicks would.
class OpenPage : public UiModalHook {
 public:
  int OnMessageBox(const Box&, BOOL&) override { return IDOK; }
  BOOL OnDialogReady(HWND frame, CUiDialogView& view, UINT*) override {
    if (auto* wizard = dynamic_cast<CQvStrategyGuardDlg*>(CWindowImplCore::FromHandle(frame))) {
      WalkWizard(*wizard);
      return FALSE;
    }
    if (g_frame) return FALSE;  // a dialog over the page
    g_frame = frame;
    Command(CMainDlg::kItemIntegrity);
    auto* areas = view.FindChildByCmdID(CMainDlg::kTabCtrl)->AsTabCtrl();
    CUiWindow* tabs = areas ? areas->GetItem(1)->FindChildByCmdID(364) : nullptr;
    if (g_objectsTab >= 0) {
      if (tabs) tabs->AsTabCtrl()->SetCurSel(CQuorvaneUIHandler::kTabObjects);
      if (CUiWindow* kinds = view.FindChildByCmdID(CQvStrategyObjectUIHandler::kTabCtrl))
        kinds->AsTabCtrl()->SetCurSel(g_objectsTab);
      if (!g_objectsFromDatabase) FillObjects();
      return FALSE;
    }
    if (g_panel == L"changes" || g_panel == L"copies" || g_panel == L"restore") {
      if (tabs)
        tabs->AsTabCtrl()->SetCurSel(g_panel == L"changes" ? CQuorvaneUIHandler::kTabChangeMonitoring
                                                           : CQuorvaneUIHandler::kTabCopies);
      if (g_panel == L"copies") ShowCopies();
      if (g_panel == L"restore") ::SetTimer(nullptr, 0, 200, ShowRestore);
      return FALSE;
    }
    if (tabs) tabs->AsTabCtrl()->SetCurSel(CQuorvaneUIHandler::kTabStrategies);
    if (g_panel.empty())
      ::SetTimer(nullptr, 0, 200, RunWhenConnected);
    else
      ::SetTimer(nullptr, 0, 300, OpenWizard);
    return FALSE;
  }
};

// A sample object of the kind in the editor, as the objects page hands it over.
void ShowEditor(int kind) {
  ObjectRecord record;
  record.name = kind ? L"办公网卡" : L"办公网段";
  record.content = kind ? L"00-1A-2B-3C-4D-5E;00-1A-2B-3C-4D-5F" : L"192.168.1.0/24;10.0.0.1-10.0.0.100";
  record.explain = L"示例";
  auto* client = new ClientObjectNode;
  client->name = L"网站目录", client->explain = L"示例";
  client->clientIp = L"192.168.1.10", client->clientName = L"核心服务器";
  client->path = kind == 3 ? L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Run" : L"C:\\inetpub\\wwwroot";
  client->next = new ClientObjectNode(*client);
  client->next->next = nullptr;
  client->next->path += L"\\upload";
  auto* device = new DeviceObjectNode;
  device->name = L"核心交换机", device->manageOrder = L"enable", device->queryOrder = L"show running-config";
  void* given = kind <= 1 ? static_cast<void*>(&record) : kind == 4 ? static_cast<void*>(device) : client;
  CQvSubStrategyObjectDlg editor(kind, CQvSubStrategyObjectDlg::kModify, given);
  editor.DoModal(nullptr);
  FreeObjectChain(client);
  FreeObjectChain(device);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  ToolStartup startup(instance);
  int argc = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  if (argc > 2 && std::wcscmp(argv[1], L"editor") == 0) {
    const int kind = static_cast<int>(std::wcstol(argv[2], nullptr, 10));
    ::LocalFree(argv);
    LoadConsoleUiResources();  // the styles, which the main window loads elsewhere
    CUIResource::Init();
    ShowEditor(kind);
    CUIResource::Uninit();
    return 0;
  }
  if (argc > 1 && std::wcscmp(argv[1], L"verify") == 0) {
    ::LocalFree(argv);
    LoadConsoleUiResources();
    CQvVerifyLoginDlg::LoginParams params;
    params.userId = L"admin";
    params.loginId = L"cisco";
    params.manageId = L"enable";
    params.port = 9;  // discard: nothing listens there
    CUIResource::Init();
    CQvVerifyLoginDlg(L"127.0.0.1", params).DoModal(nullptr);
    CUIResource::Uninit();
    return 0;
  }
  if (argc > 2 && std::wcscmp(argv[1], L"objects") == 0) {
    g_objectsTab = static_cast<int>(std::wcstol(argv[2], nullptr, 10));
    if (argc > 3) {
      g_objectsFromDatabase = true;
      LoadSysServerPortConfig(qv::WideToAnsi(argv[3]).c_str(), nullptr);
    }
    argc = 1;
  }
  if (argc > 1) LoadSysServerPortConfig(qv::WideToAnsi(argv[1]).c_str(), nullptr);
  if (argc > 3) g_panel = argv[3];
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
