// The main window, for looking at it with scripts/screenshot:
//   mainview.exe [AREA]   as an administrator with every area sees it, without a login
//                         or a database, opened on AREA 0 to 5: system management,
//                         integrity, reinforcement, log center, report center, safe
//                         tools (default 0)
//   mainview.exe about    the about box
//   mainview.exe login CONFIG
//                         the console's start with the settings file CONFIG (a
//                         SysServerPort.xml, see scripts/gen-db): its login window
//   mainview.exe user CONFIG PORT NAME PASSWORD [AREA]
//                         the same start with NAME and PASSWORD typed into the login and
//                         the service link on PORT: the main window as that user sees
//                         it; with AREA, that area's button is then clicked, and a user
//                         without the area sees the refusal box
#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <memory>
#include <string>

#include "app/CMainDlg.h"
#include "app/ConsoleStartup.h"
#include "console/CAboutDlg.h"
#include "console/CLoginDlg.h"
#include "console/CurrentUser.h"
#include "controls/CUIResource.h"
#include "platform/TextConv.h"
#include "../ToolStartup.h"
#include "uiwin/UiDialogDriver.h"
#include "uiwin/UiModalHook.h"
#include "uiwin/UiNotify.h"

namespace {

void PressArea(HWND frame, UINT item) {
  UINMCOMMAND nm{{frame, IDC_UIVIEW, UINM_COMMAND}, item, "imgbtn"};
  ::SendMessageW(frame, WM_NOTIFY, IDC_UIVIEW, reinterpret_cast<LPARAM>(&nm));
}

// Presses the area's button once the window is up, as a click would.
class OpenArea : public UiModalHook {
 public:
  explicit OpenArea(UINT item) : m_item(item) {}
  int OnMessageBox(const Box&, BOOL&) override { return IDOK; }
  BOOL OnDialogReady(HWND frame, CUiDialogView&, UINT*) override {
    PressArea(frame, m_item);
    return FALSE;
  }

 private:
  UINT m_item;
};

// Types the account into the login and logs in; then takes itself out, so that the
// main window and the boxes it shows stay up as a user sees them.
class LogIn : public UiModalHook {
 public:
  LogIn(std::wstring name, std::wstring password, int area)
      : m_name(std::move(name)), m_password(std::move(password)) {
    s_area = area;
  }
  int OnMessageBox(const Box&, BOOL&) override { return IDOK; }
  BOOL OnDialogReady(HWND frame, CUiDialogView& view, UINT*) override {
    if (!dynamic_cast<CLoginDlg*>(CWindowImplCore::FromHandle(frame))) {
      s_main = frame;
      if (s_area >= 0) ::SetTimer(nullptr, 0, 300, Press);
      scope.reset();
      return FALSE;
    }
    UiDialogDriver login(frame, view, 0, nullptr);
    login.Type(CLoginDlg::kItemUserName, m_name);
    login.Type(CLoginDlg::kItemPassword, m_password);
    login.Click(CLoginDlg::kItemLogin);
    return FALSE;
  }
  std::unique_ptr<UiModalHook::Scope> scope;

 private:
  static void CALLBACK Press(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    PressArea(s_main, CMainDlg::kItemSystemManagement + static_cast<UINT>(s_area));
  }
  static HWND s_main;
  static int s_area;
  std::wstring m_name, m_password;
};
HWND LogIn::s_main;
int LogIn::s_area;

int Start(HINSTANCE instance, int argc, LPWSTR* argv) {
  const std::string config = qv::WideToAnsi(argv[2]);
  if (std::wcscmp(argv[1], L"login") == 0) return RunConsole(instance, config);
  if (argc < 6) return 2;
  const auto port = static_cast<unsigned short>(std::wcstoul(argv[3], nullptr, 10));
  LogIn hook(argv[4], argv[5], argc > 6 ? static_cast<int>(std::wcstol(argv[6], nullptr, 10)) : -1);
  hook.scope.reset(new UiModalHook::Scope(hook));
  return RunConsole(instance, config, port);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  int argc = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  if (argc > 2 && (std::wcscmp(argv[1], L"login") == 0 || std::wcscmp(argv[1], L"user") == 0)) {
    // The console's own start-up does what ToolStartup does.
    const int result = Start(instance, argc, argv);
    ::LocalFree(argv);
    return result;
  }
  ToolStartup startup(instance);
  if (argc > 1 && std::wcscmp(argv[1], L"about") == 0) {
    ::LocalFree(argv);
    LoadConsoleUiResources();
    CAboutDlg about;
    about.DoModal(nullptr);
    return 0;
  }
  int area = argc > 1 ? static_cast<int>(std::wcstol(argv[1], nullptr, 10)) : 0;
  ::LocalFree(argv);
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
