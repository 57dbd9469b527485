// Start-up figures, each the ratio of medians over runs that alternate so that both
// sides meet the same machine:
// - from process start to the login window on the screen, against a bare Win32 dialog
//   program (this program with --bare) started the same way; the goal is at most 2;
// - from process start to the main window filled (the login clicked as soon as it is
//   up; filled: shown, every page initialised, and the window answering messages) on a
//   small database with a million log rows, against the same without them; the goal is
//   at most 1.2, as start-up should not grow with the logs;
// - on sites of 500, 5,000 and 20,000 hosts and an empty one, the console (this program
//   with --console) beside a service of the benchmark's that answers every host-state
//   question: from the click on 登录 to the main window painted and answering, against
//   the empty site's (the goal at 20,000 hosts: at most 2); the slowest click on the
//   area buttons, a click every 200 ms, while a burst of 5,000 host notices and the
//   answers come; from the click on 新建策略 to the wizard painted, and on the audit
//   log's host button to the host picker painted, each against the 500-host site's (the
//   goal at 20,000 hosts: at most 3; the picker's figures are medians of a few times
//   over); the wizard's 退出 once its host lists are whole, and the picker's 取消 once
//   its tree is whole, each to the main window painted and answering, against the
//   500-host site's (at most 3); and the main window's close, from 是 in its box until
//   the window is gone, against a bare window's close (the bare program's, from its
//   close request until its window is gone) timed beside each console (at most 3 on
//   every site).
// A goal missed fails the benchmark.
// Run by bench/startup.sh, which makes the data sources; under Xvfb in the X11 prefix.
// `--sites [ROUNDS]` runs the site figures only.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <functional>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "BenchSupport.h"
#include "app/CMainDlg.h"
#include "app/ConsoleStartup.h"
#include "console/AgentMessageId.h"
#include "console/DottedIPv4.h"
#include "controls/CMulStatusTree.h"
#include "logcenter/CLCAuditLogUIHandler.h"
#include "platform/TextConv.h"
#include "qvservice/CQvService.h"
#include "qvservice/CQvServiceScript.h"
#include "support/ChildProcess.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"
#include "uiwin/CUiDialogView.h"
#include "uiwin/UiDialogDriver.h"

namespace {

using qvbench::Goals;
using qvbench::Median;
using qvbench::Now;

const int kRounds = 15;
const int kSiteRounds = 3;
const wchar_t kBareTitle[] = L"bare";
const wchar_t kMainTitle[] = L"完整性安全监测系统";
const wchar_t kWizardTitle[] = L"策略向导";
const wchar_t kPickerTitle[] = L"审计日志";  // the audit log's host picker
const UINT kIntegrityTabs = 364;
const int kStrategyTab = 1;
const UINT kNewStrategy = 112;  // on the strategy page
const UINT kWizardExit = 101;
const UINT kWizardServerTrees[] = {5044, 5064};
const UINT kWizardDevices = 3002;
const UINT kPickerCancel = 101;
const UINT kMainClose = 101;
const wchar_t kCloseBoxTitle[] = L"确定";  // "您确定关闭么？"
const DWORD kStepLimitMs = 180000;
const int kPickerRounds = 5;  // per console: its times are tens of milliseconds
const int kNotices = 5000;
const DWORD kClickGapMs = 200;

// Closed as the console's frames close: off the screen without a hide, which under
// Wine without a window manager waits two seconds for one.
INT_PTR CALLBACK BareProc(HWND dlg, UINT message, WPARAM, LPARAM) {
  if (message == WM_CLOSE) {
    CUiDialogImplCore::HideForDestroy(dlg);
    ::EndDialog(dlg, 0);
  }
  return message == WM_INITDIALOG;
}

// A plain dialog from a template in memory: caption, one button.
int RunBare() {
  alignas(4) WORD buffer[128] = {};
  auto* tmpl = reinterpret_cast<DLGTEMPLATE*>(buffer);
  tmpl->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_CENTER | DS_SETFONT;
  tmpl->cx = 200;
  tmpl->cy = 120;
  WORD* p = reinterpret_cast<WORD*>(tmpl + 1);
  *p++ = 0;  // no menu
  *p++ = 0;  // default class
  for (const wchar_t* c = kBareTitle; *c; ++c) *p++ = *c;
  *p++ = 0;
  *p++ = 9;  // font size, then face
  for (const wchar_t* c = L"SimSun"; *c; ++c) *p++ = *c;
  *p++ = 0;
  return static_cast<int>(::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), tmpl, nullptr, BareProc, 0));
}

// Milliseconds from CreateProcess until ready(child) holds; -1 on failure.
double TimeUntil(const std::wstring& command, const std::function<bool(testenv::ChildProcess&)>& ready) {
  // Ended and waited for at the end: the next console must not meet this one's flag.
  testenv::ChildProcess child;
  const double start = Now();
  if (!child.Start(command, CREATE_NO_WINDOW)) return -1;
  double shown = -1;
  const bool ok = testenv::PollUntil(
      [&] {
        if (!ready(child)) return false;
        shown = Now() - start;
        return true;
      },
      60000, 1);
  return ok ? shown : -1;
}

double TimeToWindow(const std::wstring& command, const wchar_t* title) {
  return TimeUntil(command, [&](testenv::ChildProcess& child) { return child.FindWindow(title) != nullptr; });
}

// Its settings name the data source, whose tamuk the login window offers.
double TimeToMainWindow(const std::wstring& command) {
  bool loggedIn = false;
  return TimeUntil(command, [&](testenv::ChildProcess& child) {
    if (!loggedIn) {
      HWND login = child.FindWindow(L"登录");
      loggedIn = login && UiDialogDriver::ClickInOtherProcess(login, 101);
      return false;
    }
    HWND main = child.FindWindow(L"完整性安全监测系统");
    DWORD_PTR answer = 0;
    return main && ::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &answer);
  });
}

// Its own copy of the console, with settings naming the data source; the command line.
std::wstring ConsoleIn(const testenv::TempDir& dir, const char* dsn) {
  const std::wstring exe = dir.File(L"Quorvane.exe");
  if (!::CopyFileW(testenv::WindowsPath(QV_CONSOLE_EXE).c_str(), exe.c_str(), FALSE) ||
      (dsn && !testfiles::WriteBytes(dir.File(L"SysServerPort.xml"), std::string("<c><port DSN='") + dsn + "'/></c>")))
    return std::wstring();
  return L"\"" + exe + L"\"";
}

// The medians of two commands timed in turn; false when one failed.
bool Alternate(const std::function<double(int)>& time, double* first, double* second) {
  std::vector<double> times[2];
  for (int i = 0; i < 2 * kRounds; ++i) {
    const double t = time(i % 2);
    if (t < 0) return false;
    times[i % 2].push_back(t);
  }
  *first = Median(times[0]);
  *second = Median(times[1]);
  return true;
}

// Every visible window of the tree has been painted: none has a part left to paint.
bool Painted(HWND window) {
  if (!::IsWindowVisible(window) || ::GetUpdateRect(window, nullptr, FALSE)) return false;
  for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
    if (::IsWindowVisible(child) && !Painted(child)) return false;
  return true;
}

// Painted and taking messages again.
bool Ready(HWND window) {
  DWORD_PTR answer = 0;
  return window && Painted(window) && ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &answer);
}

// The element, or with a page index that page's head of the tab control, can be clicked.
bool Clickable(HWND frame, UINT id, int tab = -1) {
  HWND view = ::GetDlgItem(frame, IDC_UIVIEW);
  DWORD_PTR at = static_cast<DWORD_PTR>(-1);
  return view &&
         ::SendMessageTimeoutW(view, CUiDialogView::ClickPointMessage(), id, tab + 1, SMTO_NORMAL, 60000, &at) &&
         static_cast<LRESULT>(at) != -1;
}

// Milliseconds from a click on the element until done() holds; -1 when the click or
// the wait fails.
double TimeClick(HWND frame, UINT id, const std::function<bool()>& done) {
  const double start = Now();
  if (!UiDialogDriver::ClickInOtherProcess(frame, id)) return -1;
  return testenv::PollUntil(done, kStepLimitMs, 1) ? Now() - start : -1;
}

// The trees in the window (their class is the tri-state tree's).
std::vector<HWND> Trees(HWND window) {
  struct Search {
    static BOOL CALLBACK Next(HWND child, LPARAM trees) {
      wchar_t name[64] = L"";
      ::GetClassNameW(child, name, 64);
      if (std::wcscmp(name, CMulStatusTree::GetWndClassInfo().name) == 0)
        reinterpret_cast<std::vector<HWND>*>(trees)->push_back(child);
      return TRUE;
    }
  };
  std::vector<HWND> trees;
  ::EnumChildWindows(window, &Search::Next, reinterpret_cast<LPARAM>(&trees));
  return trees;
}

// The items of the tree in the dialog, or -1.
LRESULT TreeItems(HWND dialog) {
  const std::vector<HWND> trees = Trees(dialog);
  DWORD_PTR count = static_cast<DWORD_PTR>(-1);
  if (trees.empty() || !::SendMessageTimeoutW(trees[0], TVM_GETCOUNT, 0, 0, SMTO_NORMAL, 60000, &count)) return -1;
  return static_cast<LRESULT>(count);
}

// The wizard's host lists are whole: both server trees hold the group and every host,
// the device box every device.
bool WizardFilled(HWND wizard, int hosts, int devices) {
  int whole = 0;
  for (HWND tree : Trees(wizard)) {
    const UINT id = static_cast<UINT>(::GetDlgCtrlID(tree));
    DWORD_PTR count = 0;
    whole += std::count(std::begin(kWizardServerTrees), std::end(kWizardServerTrees), id) &&
             ::SendMessageTimeoutW(tree, TVM_GETCOUNT, 0, 0, SMTO_NORMAL, 60000, &count) &&
             count == static_cast<DWORD_PTR>(hosts) + 1;
  }
  if (whole != static_cast<int>(std::size(kWizardServerTrees))) return false;
  DWORD_PTR count = 0;
  HWND box = UiDialogDriver::ControlOf(wizard, kWizardDevices);
  return box && ::SendMessageTimeoutW(box, CB_GETCOUNT, 0, 0, SMTO_NORMAL, 60000, &count) &&
         count == static_cast<DWORD_PTR>(devices);
}

// From the close request to a bare window until the window is gone; -1 on failure.
double TimeBareClose(const std::wstring& bare) {
  testenv::ChildProcess child;
  HWND window = nullptr;
  if (!child.Start(bare, CREATE_NO_WINDOW) ||
      !testenv::PollUntil([&] { return (window = child.FindWindow(kBareTitle)) && Ready(window); }, kStepLimitMs, 5))
    return -1;
  const double start = Now();
  if (!::PostMessageW(window, WM_CLOSE, 0, 0) ||
      !testenv::PollUntil([&] { return !::IsWindow(window); }, kStepLimitMs, 1))
    return -1;
  const double gone = Now() - start;
  return child.WaitExit(kStepLimitMs) ? gone : -1;
}

struct Site {
  const char* dsn;
  int hosts;
  const char* name;
};

// What one console on a site took, in milliseconds.
struct SiteTimes {
  double login = -1, wizard = -1, wizardExit = -1, picker = -1, cancel = -1, slowestClick = -1, close = -1,
         bareClose = -1;
};

// The service's answers, a client line per Client row, written by startup.sh; the
// hosts' addresses in *addresses.
bool LoadServiceScript(const Site& site, CQvServiceScript* script, std::vector<uint32_t>* addresses) {
  const char* root = std::getenv("QV_STARTUP_SITES");
  if (!root) return false;
  const std::string path = std::string(root) + "/" + site.dsn + "/service.txt";
  const std::string text = testfiles::ReadBytes(testenv::WindowsPath(path));
  std::wstring error;
  if (text.empty() || !script->LoadText(text, &error)) {
    std::printf("%s: %s\n", path.c_str(), qv::WideToUtf8(error).c_str());
    return false;
  }
  for (size_t at = 0; (at = text.find("client|", at)) != std::string::npos;) {
    at += 7;
    uint32_t address = 0;
    if (ParseDottedIPv4(std::string_view(text).substr(at, text.find('|', at) - at), &address))
      addresses->push_back(address);
  }
  return true;
}

size_t StateQuestions(const CQvService& service) {
  size_t asked = 0;
  for (const CQvService::Received& r : service.ReceivedFrames()) asked += r.messageId == AGENT_MSG_CLIENT_STATE;
  return asked;
}

// One console on the site: the login, the area buttons while the host states come in,
// the wizard, the host picker and its cancel. Null when done, else the step that failed.
const char* RunSite(const Site& site, const std::wstring& self, const testenv::TempDir& dir, SiteTimes* times) {
  CQvServiceScript script;
  std::vector<uint32_t> addresses;
  if (!LoadServiceScript(site, &script, &addresses)) return "the service's data";
  CQvService service;
  service.SetScript(script);
  if (!service.Listen(0) || !service.Start()) return "the service";
  // A copy of its own: the running flag lives in a section that the processes of one
  // file share, this one's too.
  const std::wstring config = dir.File(L"SysServerPort.xml"), exe = dir.File(L"console.exe");
  testenv::ChildProcess console;
  if (!testfiles::WriteBytes(config, std::string("<c><port DSN='") + site.dsn + "'/></c>") ||
      !::CopyFileW(self.c_str(), exe.c_str(), FALSE) ||
      !console.Start(L"\"" + exe + L"\" --console \"" + config + L"\" " + std::to_wstring(service.Port()),
                     CREATE_NO_WINDOW))
    return "the console";
  HWND login = nullptr, main = nullptr, wizard = nullptr, picker = nullptr;
  if (!testenv::PollUntil([&] { return (login = console.FindWindow(L"登录")) != nullptr && Ready(login); },
                          kStepLimitMs, 5))
    return "the login window";
  times->login = TimeClick(login, 101, [&] { return (main = console.FindWindow(kMainTitle)) && Ready(main); });
  if (times->login < 0) return "the login";

  // A burst of host notices, online and offline in turn.
  for (int i = 0; i < kNotices && !addresses.empty(); ++i)
    service.Broadcast(0, addresses[i % addresses.size()], i % 2 ? AGENT_MSG_CLIENT_OFFLINE : AGENT_MSG_CLIENT_ONLINE,
                      {});
  // Log center and back while the notices and the answers come, as a brisk user clicks:
  // each until its page shows.
  auto logsShown = [&] { return Clickable(main, CLCAuditLogUIHandler::kItemPickHost); };
  const double burstStart = Now();
  double quietSince = -1;
  times->slowestClick = 0;
  while (Now() - burstStart < kStepLimitMs) {
    const double toLogs = TimeClick(main, CMainDlg::kItemLogCenter, logsShown);
    const double back = TimeClick(main, CMainDlg::kItemSystemManagement, [&] { return !logsShown(); });
    if (toLogs < 0 || back < 0) return "an area button";
    times->slowestClick = std::max({times->slowestClick, toLogs, back});
    ::Sleep(kClickGapMs);
    // Every host asked, and a second more for the last answers.
    if (quietSince < 0 && StateQuestions(service) >= addresses.size()) quietSince = Now();
    if (quietSince >= 0 && Now() - quietSince > 1000) break;
  }

  if (TimeClick(main, CMainDlg::kItemIntegrity, [&] { return Clickable(main, kIntegrityTabs, kStrategyTab); }) < 0)
    return "the integrity area";
  if (!UiDialogDriver::ClickInOtherProcess(main, kIntegrityTabs, kStrategyTab) ||
      !testenv::PollUntil([&] { return Clickable(main, kNewStrategy); }, kStepLimitMs, 1))
    return "the strategy page";
  times->wizard =
      TimeClick(main, kNewStrategy, [&] { return (wizard = console.FindWindow(kWizardTitle)) && Ready(wizard); });
  if (times->wizard < 0) return "the wizard";
  // Left once its host lists are whole, as it would be after a look at its panels.
  const int devices = static_cast<int>(addresses.size()) - site.hosts;
  if (!testenv::PollUntil([&] { return WizardFilled(wizard, site.hosts, devices); }, kStepLimitMs, 5))
    return "the wizard's host lists";
  times->wizardExit =
      TimeClick(wizard, kWizardExit, [&] { return !console.FindWindow(kWizardTitle) && Ready(main); });
  if (times->wizardExit < 0) return "the wizard's exit";
  if (TimeClick(main, CMainDlg::kItemLogCenter, logsShown) < 0) return "the log center";
  std::vector<double> pickers, cancels;
  for (int i = 0; i < kPickerRounds; ++i) {
    pickers.push_back(TimeClick(main, CLCAuditLogUIHandler::kItemPickHost,
                                [&] { return (picker = console.FindWindow(kPickerTitle)) && Ready(picker); }));
    if (pickers.back() < 0) return "the host picker";
    // Cancelled once its tree holds every server, as it would after a look down the list.
    if (!testenv::PollUntil([&] { return TreeItems(picker) == static_cast<LRESULT>(site.hosts) + 1; }, kStepLimitMs,
                            5))
      return "the host picker's tree";
    cancels.push_back(
        TimeClick(picker, kPickerCancel, [&] { return !console.FindWindow(kPickerTitle) && Ready(main); }));
    if (cancels.back() < 0) return "the host picker's cancel";
  }
  times->picker = Median(pickers);
  times->cancel = Median(cancels);
  // The close, its box answered: the window goes, then the console ends.
  HWND box = nullptr;
  if (!UiDialogDriver::ClickInOtherProcess(main, kMainClose) ||
      !testenv::PollUntil([&] { return (box = console.FindWindow(kCloseBoxTitle)) && Ready(box); }, kStepLimitMs, 1))
    return "the main window's close box";
  times->close = TimeClick(box, IDYES, [&] { return !::IsWindow(main); });
  if (times->close < 0 || !console.WaitExit(kStepLimitMs)) return "the main window's close";
  service.Stop();
  return nullptr;
}

// The medians of each figure over the rounds.
SiteTimes MedianTimes(const std::vector<SiteTimes>& runs) {
  auto median = [&](double SiteTimes::*field) {
    std::vector<double> values;
    for (const SiteTimes& r : runs) values.push_back(r.*field);
    return Median(values);
  };
  SiteTimes m;
  m.login = median(&SiteTimes::login);
  m.wizard = median(&SiteTimes::wizard);
  m.wizardExit = median(&SiteTimes::wizardExit);
  m.picker = median(&SiteTimes::picker);
  m.cancel = median(&SiteTimes::cancel);
  m.slowestClick = median(&SiteTimes::slowestClick);
  m.close = median(&SiteTimes::close);
  m.bareClose = median(&SiteTimes::bareClose);
  return m;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--bare") == 0) return RunBare();
  // The console itself, on a settings file and with the service link on a port of the
  // benchmark's: the same code as Quorvane.exe, beside other programs on 4667.
  if (argc > 3 && std::strcmp(argv[1], "--console") == 0)
    return RunConsole(::GetModuleHandleW(nullptr), argv[2], static_cast<unsigned short>(std::atoi(argv[3])));

  testenv::TempDir dir, small, large;
  const std::wstring console = ConsoleIn(dir, nullptr), smallConsole = ConsoleIn(small, "QuorvaneStartupSmall"),
                     largeConsole = ConsoleIn(large, "QuorvaneStartupLarge");
  if (console.empty() || smallConsole.empty() || largeConsole.empty()) {
    std::printf("cannot copy the console\n");
    return 1;
  }
  wchar_t self[MAX_PATH];
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  const std::wstring bare = L"\"" + std::wstring(self) + L"\" --bare";

  const bool sitesOnly = argc > 1 && std::strcmp(argv[1], "--sites") == 0;
  const int siteRounds = sitesOnly && argc > 2 ? std::max(1, std::atoi(argv[2])) : kSiteRounds;
  Goals goals;
  if (!sitesOnly) {
    double mb, mc, ms, ml;
    if (!Alternate([&](int i) { return i ? TimeToWindow(console, L"登录") : TimeToWindow(bare, kBareTitle); }, &mb,
                   &mc)) {
      std::printf("a window did not come up\n");
      return 1;
    }
    std::printf("start to login window: console %.1f ms, bare dialog %.1f ms (medians of %d)\n", mc, mb, kRounds);
    goals.Ratio("console / bare", mc / mb, 2);
    if (!Alternate([&](int i) { return TimeToMainWindow(i ? largeConsole : smallConsole); }, &ms, &ml)) {
      std::printf("a main window did not come up (run by bench/startup.sh?)\n");
      return 1;
    }
    std::printf("start to main window filled: with 1,000,000 log rows %.1f ms, without %.1f ms (medians of %d)\n",
                ml, ms, kRounds);
    goals.Ratio("with / without the logs", ml / ms, 1.2);
  }

  const Site sites[] = {{"QuorvaneStartupEmpty", 0, "empty site"},
                         {"QuorvaneStartupH500", 500, "500 hosts"},
                         {"QuorvaneStartupH5000", 5000, "5,000 hosts"},
                         {"QuorvaneStartupSite", 20000, "20,000 hosts"}};
  std::vector<SiteTimes> runs[4];
  for (int round = 0; round < siteRounds; ++round)
    for (int i = 0; i < 4; ++i) {
      SiteTimes t;
      testenv::TempDir settings;
      t.bareClose = TimeBareClose(bare);
      if (t.bareClose < 0) {
        std::printf("the bare window's close did not finish\n");
        return 1;
      }
      if (const char* step = RunSite(sites[i], self, settings, &t)) {
        std::printf("%s: %s did not finish (run by bench/startup.sh?)\n", sites[i].dsn, step);
        return 1;
      }
      runs[i].push_back(t);
    }
  SiteTimes m[4];
  std::printf("medians of %d, ms: hosts | login to painted main window | slowest click (of the area buttons while "
              "the states come) | wizard opens | its exit | host picker opens | its cancel | main window closes | a bare "
              "window's close\n",
              siteRounds);
  for (int i = 0; i < 4; ++i) {
    m[i] = MedianTimes(runs[i]);
    std::printf("%6d | %8.0f | %6.0f | %8.0f | %6.0f | %8.0f | %6.0f | %6.0f | %6.0f\n", sites[i].hosts, m[i].login,
                m[i].slowestClick, m[i].wizard, m[i].wizardExit, m[i].picker, m[i].cancel, m[i].close, m[i].bareClose);
  }
  goals.Ratio("login 20,000 hosts / empty site", m[3].login / m[0].login, 2);
  goals.Ratio("wizard opens 20,000 / 500 hosts", m[3].wizard / m[1].wizard, 3);
  goals.Ratio("wizard closes 20,000 / 500 hosts", m[3].wizardExit / m[1].wizardExit, 3);
  goals.Ratio("host picker opens 20,000 / 500 hosts", m[3].picker / m[1].picker, 3);
  goals.Ratio("host picker cancel 20,000 / 500 hosts", m[3].cancel / m[1].cancel, 3);
  for (int i = 0; i < 4; ++i)
    goals.Ratio(std::string("main window close, ") + sites[i].name + " / bare window", m[i].close / m[i].bareClose,
                3);
  return goals.Report();
}

