// From process start to the login window on the screen, against a bare Win32 dialog
// program (this program with --bare) started the same way in the same run; the runs
// alternate so that both meet the same machine. Prints the ratio of the medians
// (console / bare); the goal is at most 2.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "support/ChildProcess.h"
#include "support/TestEnv.h"

namespace {

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

double Now() {
  LARGE_INTEGER f, c;
  ::QueryPerformanceFrequency(&f);
  ::QueryPerformanceCounter(&c);
  return 1000.0 * static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

// Milliseconds from CreateProcess to a visible window with the title; -1 on failure.
double TimeToWindow(const std::wstring& command, const wchar_t* title) {
  // Ended and waited for at the end: the next console must not meet this one's flag.
  testenv::ChildProcess child;
  const double start = Now();
  if (!child.Start(command, CREATE_NO_WINDOW)) return -1;
  double shown = -1;
  const bool ok = testenv::PollUntil(
      [&] {
        if (!child.FindWindow(title)) return false;
        shown = Now() - start;
        return true;
      },
      60000, 1);
  return ok ? shown : -1;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--bare") == 0) return RunBare();

  testenv::TempDir dir;
  const std::wstring console = dir.File(L"Quorvane.exe");
  if (!::CopyFileW(testenv::WindowsPath(QV_CONSOLE_EXE).c_str(), console.c_str(), FALSE)) {
    std::printf("cannot copy the console\n");
    return 1;
  }
  wchar_t self[MAX_PATH];
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  const std::wstring bare = L"\"" + std::wstring(self) + L"\" --bare";

  std::vector<double> consoleTimes, bareTimes;
  for (int i = 0; i < kRounds; ++i) {
    const double b = TimeToWindow(bare, kBareTitle);
    const double c = TimeToWindow(L"\"" + console + L"\"", L"登录");
    if (b < 0 || c < 0) {
      std::printf("a window did not come up\n");
      return 1;
    }
    bareTimes.push_back(b);
    consoleTimes.push_back(c);
  }
  const double mc = Median(consoleTimes), mb = Median(bareTimes);
  std::printf("start to login window: console %.1f ms, bare dialog %.1f ms (medians of %d)\n", mc, mb,
              kRounds);
  std::printf("ratio console / bare: %.2f (goal <= 2)\n", mc / mb);
  return 0;
}
