// The host picker or a remote path picker, for a look with scripts/screenshot. The
// remote pickers browse through the service stand-in on 127.0.0.1:PORT (start it first,
// e.g. with src/qvservice/QvServiceDemo.txt); the database is the ODBC data source DSN
// (export the settings scripts/gen-db prints before starting Wine).
// Usage: pickersview server|directory|file [DSN] [PORT] [HOST]
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "../ToolStartup.h"
#include "console/CAgentLink.h"
#include "console/CAgentLinkManager.h"
#include "console/CDirectoryDlg.h"
#include "console/CFileDlg.h"
#include "console/CServerDlg.h"
#include "console/SysServerPortConfig.h"
#include "controls/CUIResource.h"
#include "platform/CWindowImpl.h"
#include "uiwin/UiStyle.h"

namespace {

// Hands the link its socket events and timers, as the main window does.
class LinkWindow : public CWindowImpl<LinkWindow> {
 public:
  BEGIN_MSG_MAP(LinkWindow)
    MESSAGE_HANDLER(AGENT_LINK_SOCKET_MESSAGE, OnLink)
    MESSAGE_HANDLER(WM_TIMER, OnLink)
  END_MSG_MAP()

 private:
  LRESULT OnLink(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
    AgentLinkHook(m_hWnd, uMsg, wParam, lParam);
    return 0;
  }
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  ToolStartup startup(instance);
  UiStyle::LoadStyles(101);
  CUIResource::Init();
  int argc = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  const std::wstring kind = argc > 1 ? argv[1] : L"directory";
  if (argc > 2) wcsncpy(g_dsnName, argv[2], 259);
  const unsigned short port = static_cast<unsigned short>(argc > 3 ? _wtoi(argv[3]) : 4667);
  const std::wstring host = argc > 4 ? argv[4] : L"192.168.1.10";
  ::LocalFree(argv);
  {
    LinkWindow link;
    link.Create(HWND_MESSAGE);
    g_agentLinkManager.Create(link, AGENT_LINK_SOCKET_MESSAGE, port);
    std::wstring result = L"192.168.1.10";
    if (kind == L"server")
      CServerDlg(&result, L"请选择策略目标").DoModal();
    else if (kind == L"file")
      CFileDlg(host, &result, L"请选择信任内容").DoModal();
    else
      CDirectoryDlg(host, &(result = L""), L"请选择目录").DoModal();
    g_agentLinkManager.Destroy();
  }
  CUIResource::Uninit();
  return 0;
}
