#include "support/ChildProcess.h"

#include <vector>

#include "platform/TextConv.h"

namespace testenv {

std::wstring WindowsPath(const std::string& unixPath) {
  std::wstring path = qv::Utf8ToWide(unixPath);
  for (auto& c : path)
    if (c == L'/') c = L'\\';
  return !path.empty() && path[0] == L'\\' ? L"Z:" + path : path;
}

bool PollUntil(const std::function<bool()>& cond, DWORD timeoutMs, DWORD intervalMs) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    if (cond()) return true;
    if (::GetTickCount() - start >= timeoutMs) return false;
    ::Sleep(intervalMs);
  }
}

namespace {

struct WindowSearch {
  DWORD processId;
  const std::wstring* title;
  HWND found;
};

BOOL CALLBACK CheckWindow(HWND wnd, LPARAM param) {
  auto* s = reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(wnd, &owner);
  wchar_t text[256] = L"";
  ::GetWindowTextW(wnd, text, 256);
  if (owner != s->processId || !::IsWindowVisible(wnd) || *s->title != text) return TRUE;
  s->found = wnd;
  return FALSE;
}

}  // namespace

HWND FindProcessWindow(DWORD processId, const std::wstring& title) {
  WindowSearch search{processId, &title, nullptr};
  ::EnumWindows(CheckWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

ChildProcess::~ChildProcess() {
  Terminate();
  if (info_.hThread) ::CloseHandle(info_.hThread);
  if (info_.hProcess) ::CloseHandle(info_.hProcess);
}

bool ChildProcess::Start(const std::wstring& commandLine, DWORD flags) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
  line.push_back(L'\0');
  return ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, flags, nullptr, nullptr,
                          &si, &info_) != FALSE;
}

bool ChildProcess::WaitExit(DWORD timeoutMs, DWORD* code) {
  if (!info_.hProcess || ::WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
  if (code) ::GetExitCodeProcess(info_.hProcess, code);
  return true;
}

void ChildProcess::Terminate() {
  if (!info_.hProcess || WaitExit(0)) return;
  ::TerminateProcess(info_.hProcess, 1);
  ::WaitForSingleObject(info_.hProcess, 10000);
}

}  // namespace testenv
