#pragma once
// Programs that a test starts as processes of their own (the console, the service
// stand-in), and waiting on what they show.
#include <windows.h>

#include <functional>
#include <string>

namespace testenv {

// A Windows path for a file the build named by its Unix path.
std::wstring WindowsPath(const std::string& unixPath);

// Checks cond every intervalMs until it holds or the time is up: for conditions in
// other processes, which post this thread nothing to wake on.
bool PollUntil(const std::function<bool()>& cond, DWORD timeoutMs, DWORD intervalMs = 50);

// A process that ends (if it still runs) with this object.
class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Start(const std::wstring& commandLine, DWORD flags = 0);
  // TRUE when it has ended within the time; its exit code in *code.
  bool WaitExit(DWORD timeoutMs, DWORD* code = nullptr);
  // Its topmost visible top-level window with this title (null: any), or null.
  HWND FindWindow(const wchar_t* title) const;

 private:
  PROCESS_INFORMATION info_{};
};

}  // namespace testenv
