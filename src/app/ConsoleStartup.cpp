#include "app/ConsoleStartup.h"

#include <commctrl.h>
#include <objbase.h>

#include <memory>

#include "app/CMainDlg.h"
#include "console/CLoginDlg.h"
#include "console/OdbcInstaller.h"
#include "console/SingleInstance.h"
#include "console/SysServerPortConfig.h"
#include "controls/CUIResource.h"
#include "platform/CAppModule.h"
#include "uiwin/UiFontPool.h"
#include "uiwin/UiMessageBox.h"
#include "uiwin/UiSkin.h"
#include "uiwin/UiString.h"
#include "uiwin/UiStyle.h"

UINT g_taskbarCreatedMessage = RegisterTaskbarCreatedMessage();

namespace {

const UINT kStringTable = 102;
const UINT kSkins = 100;
const UINT kStyles = 101;
const UINT kStrFontFace = 0;
const LONG kFontHeight = -12;

}  // namespace

UINT RegisterTaskbarCreatedMessage() {
  UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
  typedef BOOL(WINAPI * FilterFn)(UINT, DWORD);
  if (HMODULE user32 = ::GetModuleHandleW(L"user32.dll")) {
    auto filter = reinterpret_cast<FilterFn>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "ChangeWindowMessageFilter")));
    if (filter) filter(message, 1);  // MSGFLT_ADD
  }
  return message;
}

void LoadConsoleUiResources() {
  UiString::Load(kStringTable);
  UiFontPool::SetDefaultFont(UiString::Get(kStrFontFace), kFontHeight);
  UiSkin::LoadSkins(kSkins);
  UiStyle::LoadStyles(kStyles);
}

int RunConsole(HINSTANCE instance, const std::string& configPath, unsigned short agentPort) {
  if (!ClaimSingleInstance()) return 0;
  HRESULT com = ::CoInitialize(nullptr);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_DATE_CLASSES |
                                                     ICC_INTERNET_CLASSES | ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&controls);
  g_module.Init(instance);

  std::wstring refusal, unread;
  LoadSysServerPortConfig(configPath.c_str(), &refusal, &unread);
  CreateOdbcDataSource(g_dsnName, g_databaseName, g_dsnDescription, g_serverAddress, g_sqlUserName);
  LoadConsoleUiResources();
  if (!refusal.empty()) UiMessageBox(refusal.c_str(), L"错误", MB_ICONHAND);

  int result = 0;
  std::unique_ptr<CLoginDlg> login(new CLoginDlg(unread));
  if (login->DoModal(nullptr) == IDOK) {
    CUIResource::Init();
    {
      CMainDlg main(agentPort);
      result = static_cast<int>(main.DoModal(nullptr));
    }
    CUIResource::Uninit();
  }

  RemoveOdbcDataSource(g_dsnName, g_databaseName, g_dsnDescription, g_serverAddress, g_sqlUserName);
  g_module.Term();
  if (SUCCEEDED(com)) ::CoUninitialize();
  login.reset();
  return result;
}

int ConsoleMain(HINSTANCE instance) {
  char path[MAX_PATH + 1] = "";
  DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string config(path, n < MAX_PATH ? n : 0);
  config.erase(config.find_last_of('\\') + 1);  // npos + 1 == 0: no directory
  config += "SysServerPort.xml";
  return RunConsole(instance, config, AGENT_LINK_DEFAULT_PORT);
}
