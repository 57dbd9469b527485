#include "support/ChildProcess.h"

#include <cstdlib>
#include <vector>

#include "platform/TextConv.h"
#include "support/TestFiles.h"

namespace testenv {

std::wstring WindowsPath(const std::string& unixPath) {
  std::wstring path = qv::Utf8ToWide(unixPath);
  for (auto& c : path) c = c == L'/' ? L'\\' : c;
  return !path.empty() && path[0] == L'\\' ? L"Z:" + path : path;
}

std::string UnixPath(const std::wstring& path) {
  using Convert = char*(__cdecl*)(const wchar_t*);
  auto convert = reinterpret_cast<Convert>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  char* unix = convert ? convert(path.c_str()) : nullptr;
  const std::string result = unix ? unix : "";
  if (unix) ::HeapFree(::GetProcessHeap(), 0, unix);
  return result;
}

bool PollUntil(const std::function<bool()>& cond, DWORD timeoutMs, DWORD intervalMs) {
  for (DWORD start = ::GetTickCount(); !cond(); ::Sleep(intervalMs))
    if (::GetTickCount() - start >= timeoutMs) return false;
  return true;
}

ChildProcess::~ChildProcess() {
  if (tie_) {
    ::DeleteFileW(tie_->File(L"run").c_str());
    WaitExit(10000);
  } else if (info_.hProcess && !WaitExit(0) && ::TerminateProcess(info_.hProcess, 1)) {
    WaitExit(10000);
  }
  for (HANDLE h : {info_.hThread, info_.hProcess, job_})
    if (h) ::CloseHandle(h);
}

bool ChildProcess::Start(const std::wstring& commandLine, DWORD flags) {
  // The program alone: what it starts breaks away (Wine's desktop process, which the
  // other tests of the run share, among them).
  job_ = ::CreateJobObjectW(nullptr, nullptr);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_SILENT_BREAKAWAY_OK;
  if (!job_ || !::SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits))
    return false;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  std::vector<wchar_t> line(commandLine.c_str(), commandLine.c_str() + commandLine.size() + 1);
  if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, flags | CREATE_SUSPENDED, nullptr, nullptr,
                        &si, &info_))
    return false;
  if (!::AssignProcessToJobObject(job_, info_.hProcess)) {
    ::TerminateProcess(info_.hProcess, 1);
    return false;
  }
  if (!(flags & CREATE_SUSPENDED)) ::ResumeThread(info_.hThread);
  return true;
}

bool ChildProcess::StartUnix(const std::wstring& commandLine) {
  tie_ = std::make_unique<TempDir>();
  const char* source = std::getenv("QV_SOURCE_DIR");
  const std::wstring line = L"/usr/bin/python3 \"" + qv::Utf8ToWide(std::string(source ? source : "")) +
                            L"/tests/support/tied.py\" \"" + qv::Utf8ToWide(UnixPath(tie_->Path())) + L"\" " +
                            commandLine;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION info{};
  std::vector<wchar_t> buffer(line.c_str(), line.c_str() + line.size() + 1);
  if (!source || !testfiles::WriteBytes(tie_->File(L"run"), "") ||
      !::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &info)) {
    tie_.reset();
    return false;
  }
  for (HANDLE h : {info.hThread, info.hProcess})
    if (h) ::CloseHandle(h);
  return true;
}

bool ChildProcess::WaitExit(DWORD timeoutMs, DWORD* code) {
  if (tie_) {
    // The tie says when a Unix program has ended, and how.
    const std::wstring ended = tie_->File(L"ended");
    if (!PollUntil([&] { return ::GetFileAttributesW(ended.c_str()) != INVALID_FILE_ATTRIBUTES; }, timeoutMs))
      return false;
    if (code) *code = static_cast<DWORD>(std::strtol(testfiles::ReadBytes(ended).c_str(), nullptr, 10));
    return true;
  }
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
