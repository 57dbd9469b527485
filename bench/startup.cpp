// Three start-up figures, each the ratio of medians over runs that alternate so that
// both sides meet the same machine:
// - from process start to the login window on the screen, against a bare Win32 dialog
//   program (this program with --bare) started the same way; the goal is at most 2;
// - from process start to the main window filled (the login clicked as soon as it is
//   up; filled: shown, every page initialised, and the window answering messages) on a
//   small database with a million log rows, against the same without them; the goal is
//   at most 1.2, as start-up should not grow with the logs;
// - the same on a large site (600 hosts, 250 strategies on 630 rows, 500 HIPS
//   filters, the million log rows) against the small database; the goal is at most 1.3.
// Run by bench/startup.sh, which makes the data sources.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "support/ChildProcess.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"
#include "uiwin/UiDialogDriver.h"

namespace {

using qvbench::Median;
using qvbench::Now;

const int kRounds = 15;
const wchar_t kBareTitle[] = L"bare";

INT_PTR CALLBACK BareProc(HWND dlg, UINT message, WPARAM, LPARAM) {
  if (message == WM_CLOSE) ::EndDialog(dlg, 0);
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

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--bare") == 0) return RunBare();

  testenv::TempDir dir, small, large, site;
  const std::wstring console = ConsoleIn(dir, nullptr), smallConsole = ConsoleIn(small, "QuorvaneStartupSmall"),
                     largeConsole = ConsoleIn(large, "QuorvaneStartupLarge"),
                     siteConsole = ConsoleIn(site, "QuorvaneStartupSite");
  if (console.empty() || smallConsole.empty() || largeConsole.empty() || siteConsole.empty()) {
    std::printf("cannot copy the console\n");
    return 1;
  }
  wchar_t self[MAX_PATH];
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  const std::wstring bare = L"\"" + std::wstring(self) + L"\" --bare";

  double mb, mc, ms, ml;
  if (!Alternate([&](int i) { return i ? TimeToWindow(console, L"登录") : TimeToWindow(bare, kBareTitle); }, &mb,
                 &mc)) {
    std::printf("a window did not come up\n");
    return 1;
  }
  std::printf("start to login window: console %.1f ms, bare dialog %.1f ms (medians of %d)\n", mc, mb, kRounds);
  std::printf("ratio console / bare: %.2f (goal <= 2)\n", mc / mb);
  if (!Alternate([&](int i) { return TimeToMainWindow(i ? largeConsole : smallConsole); }, &ms, &ml)) {
    std::printf("a main window did not come up (run by bench/startup.sh?)\n");
    return 1;
  }
  std::printf("start to main window filled: with 1,000,000 log rows %.1f ms, without %.1f ms (medians of %d)\n",
              ml, ms, kRounds);
  std::printf("ratio with / without the logs: %.2f (goal <= 1.2)\n", ml / ms);
  double ms2, mt;
  if (!Alternate([&](int i) { return TimeToMainWindow(i ? siteConsole : smallConsole); }, &ms2, &mt)) {
    std::printf("a main window did not come up (run by bench/startup.sh?)\n");
    return 1;
  }
  std::printf("start to main window filled: large site %.1f ms, small database %.1f ms (medians of %d)\n", mt,
              ms2, kRounds);
  std::printf("ratio large site / small: %.2f (goal <= 1.3)\n", mt / ms2);
  return 0;
}
