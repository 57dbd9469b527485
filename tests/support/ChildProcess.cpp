#include "support/ChildProcess.h"

#include <vector>

#include "platform/TextConv.h"

namespace testenv {

std::wstring WindowsPath(const std::string& unixPath) {
  std::wstring path = qv::Utf8ToWide(unixPath);
  for (auto& c : path) c = c == L'/' ? L'\\' : c;
  return !path.empty() && path[0] == L'\\' ? L"Z:" + path : path;
}

bool PollUntil(const std::function<bool()>& cond, DWORD timeoutMs, DWORD intervalMs) {
  for (DWORD start = ::GetTickCount(); !cond(); ::Sleep(intervalMs))
    if (::GetTickCount() - start >= timeoutMs) return false;
  return true;
}

ChildProcess::~ChildProcess() {
  if (info_.hProcess && !WaitExit(0) && ::TerminateProcess(info_.hProcess, 1)) WaitExit(10000);
  for (HANDLE h : {info_.hThread, info_.hProcess})
    if (h) ::CloseHandle(h);
}

bool ChildProcess::Start(const std::wstring& commandLine, DWORD flags) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  std::vector<wchar_t> line(commandLine.c_str(), commandLine.c_str() + commandLine.size() + 1);
  return ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, flags, nullptr, nullptr, &si, &info_);
}

bool ChildProcess::WaitExit(DWORD timeoutMs, DWORD* code) {
  if (::WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
  return !code || ::GetExitCodeProcess(info_.hProcess, code);
}

HWND ChildProcess::FindWindow(const wchar_t* title) const {
  for (HWND w = nullptr; (w = ::FindWindowExW(nullptr, w, nullptr, title)) != nullptr;) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(w, &owner);
    if (owner == info_.dwProcessId && ::IsWindowVisible(w)) return w;
  }
  return nullptr;
}

}  // namespace testenv
