// The console's memory over a long shift: the main window of an administrator over 500
// hosts: hosts shown on the client page (one database connection each), area and tab
// switches by clicks and the about box opened and closed; then QvService.exe (a process
// of its own, from a data file, started only now) sends 20,000 online and offline
// notices, a hundred a second, each a burst of its own. Prints the growth of the process's private memory, and
// of the part of it in the Windows heaps (where everything of ours lives), per
// thousand notices, per hundred switches, per about box and per host shown, beside
// what a bare ODBC connect and disconnect leaves, measured first in the same run.
// Each is sampled after every step of its run: the median of the steps' growths is
// what every step adds (a heap that grows once, to take a larger burst, is not), and
// the whole run's growth is shown beside it. The goal: under 10 KiB per thousand
// notices.
#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "MemoryGrowth.h"
#include "app/CMainDlg.h"
#include "console/CAboutDlg.h"
#include "console/CurrentUser.h"
#include "console/SysServerPortConfig.h"
#include "controls/CUIResource.h"
#include "support/ChildProcess.h"
#include "support/ModalScript.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"
#include "sysmgmt/CSMClientManagementUIHandler.h"
#include "sysmgmt/CSystemManagementUIHandler.h"
#include "uiwin/CUiDialogView.h"
#include "uiwin/CUiTab.h"
#include "uiwin/CUiTabCtrl.h"
#include "uiwin/UiDialogDriver.h"

namespace {

using qvbench::Growth;
using qvbench::Measure;
using qvbench::Print;

const int kHosts = 500;
const int kNotices = 20000;
const int kWarmNotices = 2000;  // counted from here on: the first flushes size the heaps
const int kSpacingMs = 10;
const int kSwitchSteps = 10;
const int kRoundsPerStep = 4;  // a page of memory is 4 KiB: steps that grow by less show as 0 or 4
const int kAboutBoxes = 100;
const int kHostsShown = 200;
const double kGoalPerThousand = 10.0;

int g_notices = 0;
LRESULT CALLBACK CountNotices(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (sent->message == 1529 || sent->message == 1530) ++g_notices;
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

std::wstring HostAddress(int host) { return L"10.2." + std::to_wstring(host / 250) + L"." + std::to_wstring(host % 250); }

// Notice i goes to host i % kHosts: online in even rounds over the hosts, offline in odd.
bool NoticeOnline(int i) { return (i / kHosts) % 2 == 0; }

bool WriteServiceData(const std::wstring& path) {
  std::string lines;
  for (int i = 0; i < kNotices; ++i) {
    const std::wstring ip = HostAddress(i % kHosts);
    lines += std::string("notify|") + (NoticeOnline(i) ? "online|" : "offline|") + std::string(ip.begin(), ip.end()) +
             "|" + std::to_string(i * kSpacingMs) + "\n";
  }
  return testfiles::WriteBytes(path, lines);
}

// A port nothing listens on yet.
unsigned short FreePort() {
  SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in at{};
  at.sin_family = AF_INET;
  at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int length = sizeof at;
  const bool bound = ::bind(s, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0 &&
                     ::getsockname(s, reinterpret_cast<sockaddr*>(&at), &length) == 0;
  ::closesocket(s);
  return bound ? ntohs(at.sin_port) : 0;
}

bool StartService(testenv::ChildProcess& service, const testenv::TempDir& dir, unsigned short port) {
  const std::wstring data = dir.File(L"notices.txt");
  const std::wstring exe = testenv::WindowsPath(QV_SERVICE_EXE);
  return WriteServiceData(data) && service.Start(L"\"" + exe + L"\" --port " + std::to_wstring(port) +
                                                     L" --data \"" + data + L"\"",
                                                 CREATE_NO_WINDOW);
}

// Real mouse messages on the view at a point of it.
void ClickAt(HWND view, const RECT& rect) {
  const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  ::SendMessageW(view, WM_MOUSEMOVE, 0, at);
  ::SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageW(view, WM_LBUTTONUP, 0, at);
}

// One round: each area button, and in each area with tabs every tab shown; the clicks made.
int SwitchRound(UiDialogDriver& d) {
  static const struct {
    UINT button;
    int page;
    UINT tabs;  // the area's own tab control, 0 for none
  } areas[] = {{CMainDlg::kItemIntegrity, 1, 364},
               {CMainDlg::kItemLogCenter, 3, 364},
               {CMainDlg::kItemReportCenter, 4, 0},
               {CMainDlg::kItemSystemManagement, 0, 129}};
  auto* pages = static_cast<CUiTabCtrl*>(d.View().FindChildByCmdID(CMainDlg::kTabCtrl));
  int clicks = 0;
  for (const auto& area : areas) {
    clicks += d.Click(area.button) ? 1 : 0;
    if (!area.tabs) continue;
    CUiTabCtrl* tabs = pages->GetItem(area.page)->FindChildByCmdID(area.tabs)->AsTabCtrl();
    for (int i = 0; tabs && i < tabs->GetItemCount(); ++i) {
      RECT head;
      if (tabs->GetItem(i)->IsHidden() || !tabs->GetItemRect(i, &head)) continue;
      ClickAt(d.View().m_hWnd, head);
      ++clicks;
    }
  }
  return clicks;
}

}  // namespace

int main() {
  if (!qvbench::ResetDatabase()) return 1;
  // The platform's own, before anything else has run.
  const Growth bare = Measure(10, 100, [](int) {
    for (int i = 0; i < 100; ++i) {
      qvbench::PlainConnection connection;
      connection.Connect(qvtest::TestDatabase::Dsn());
    }
    return true;
  });
  {
    SQLServerLink link;
    if (!link.Connect(qvtest::TestDatabase::Dsn(), L"", L"") || !link.BeginTransaction()) return 1;
    for (int host = 0; host < kHosts; ++host) {
      const std::wstring ip = HostAddress(host);
      qvtest::Exec(link, L"insert into Client(Name,IP,Type,Status) values(?,?,?,0)", {ip.c_str(), ip.c_str(), host % 2});
    }
    link.Commit();
  }
  WSADATA wsa;
  ::WSAStartup(MAKEWORD(2, 2), &wsa);
  // The link tries again every three seconds until the service is up.
  const unsigned short port = FreePort();
  testenv::TempDir dir;
  testenv::ChildProcess service;

  lstrcpynW(g_dsnName, qvtest::TestDatabase::Dsn(), kSettingChars);
  CUIResource::Init();
  g_currentUserName = g_defaultUserName;
  g_currentUserType = 1;
  g_currentUserPermission = 31;
  HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, CountNotices, nullptr, ::GetCurrentThreadId());

  Growth notices{}, switches{}, about{}, shown{};
  int clicksPerRound = 0;
  bool complete = false;
  {
    ModalScript script;
    CMainDlg main(port);
    script.ExpectDialog([&](UiDialogDriver& d) {
      CSMClientManagementUIHandler& clients = *main.SystemManagement()->ClientPage();
      // A host checked on the client page is read from the database on a connection
      // of its own, as every operation of the user's.
      auto show = [&](int step) {
        for (int i = 0; i < 20; ++i) {
          HTREEITEM node = clients.NodeOfAddress(HostAddress((step * 20 + i) % kHosts));
          for (int state : {EM_TVIS_CHECK, EM_TVIS_UNCHECK}) {
            clients.Tree().SetCheck(node, state, FALSE);
            CMulStatusTreeNotify n{{clients.Tree().m_hWnd, CSMClientManagementUIHandler::kTree,
                                    static_cast<UINT>(CMulStatusTree::kNotifyCheckChanged)},
                                   node, state};
            ::SendMessageW(main.m_hWnd, WM_NOTIFY, CSMClientManagementUIHandler::kTree, reinterpret_cast<LPARAM>(&n));
          }
        }
        return true;
      };
      show(0);
      shown = Measure(kHostsShown / 20, 20, show);

      clicksPerRound = SwitchRound(d);  // every page once before counting
      switches = Measure(kSwitchSteps, kRoundsPerStep * clicksPerRound / 100.0, [&](int) {
        for (int round = 0; round < kRoundsPerStep; ++round) SwitchRound(d);
        return true;
      });

      auto openAbout = [&](int) {
        for (int i = 0; i < 10; ++i) {
          script.ExpectDialog([](UiDialogDriver& box) { box.Click(CAboutDlg::kItemClose); }, 0);
          ::SendMessageW(d.View().m_hWnd, WM_COMMAND, CMainDlg::kMenuAbout, 0);
        }
        return true;
      };
      openAbout(0);
      about = Measure(kAboutBoxes / 10, 10, openAbout);
      d.Click(CMainDlg::kItemSystemManagement);

      if (!StartService(service, dir, port)) return;
      if (!testenv::PumpUntil([] { return g_notices >= kWarmNotices; }, 120000)) return;
      // The last notice is written once its host shows its state.
      const int lastImage = NoticeOnline(kNotices - 1) ? CSMClientManagementUIHandler::kImageOnline
                                                        : CSMClientManagementUIHandler::kImageOffline;
      HTREEITEM lastHost = clients.NodeOfAddress(HostAddress((kNotices - 1) % kHosts));
      const int steps = (kNotices - kWarmNotices) / 1000;
      bool arrived = true;
      notices = Measure(steps, 1, [&](int i) {
        const int until = kWarmNotices + (i + 1) * 1000;
        arrived = arrived && testenv::PumpUntil([&] {
          return g_notices >= until && (until < kNotices || clients.NodeImage(lastHost) == lastImage);
        }, 120000);
        return arrived;
      });
      if (!arrived) return;
      complete = true;
      d.EndWith(IDCANCEL);
    });
    main.DoModal();
  }
  ::UnhookWindowsHookEx(hook);
  CUIResource::Uninit();
  ::WSACleanup();
  if (!complete) {
    std::fprintf(stderr, "the run did not complete: %d notices seen\n", g_notices);
    return 1;
  }

  Print("host notices from the service:", notices, "thousand");
  Print("area and tab switches by clicks:", switches, "hundred");
  Print("about box opened and closed:", about, "box");
  Print("host shown (a connection of its own):", shown, "host");
  Print("bare ODBC connect and disconnect:", bare, "connect");
  const bool met = notices.median < kGoalPerThousand;
  std::printf("goal: under %.0f KiB per thousand notices: %s\n", kGoalPerThousand, met ? "met" : "missed");
  return met ? 0 : 1;
}
