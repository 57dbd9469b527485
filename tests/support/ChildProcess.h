#pragma once
// Programs that a test starts as processes of their own (the console, the service
// stand-in, Unix helpers), and waiting on what they show.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "support/TestEnv.h"

namespace testenv {

// A Windows path for a file the build named by its Unix path.
std::wstring WindowsPath(const std::string& unixPath);
// The Unix path of a Windows one, as Wine maps it ("" when it maps to none).
std::string UnixPath(const std::wstring& path);

// Checks cond every intervalMs until it holds or the time is up: for conditions in
// other processes, which post this thread nothing to wake on.
bool PollUntil(const std::function<bool()>& cond, DWORD timeoutMs, DWORD intervalMs = 50);

// A process that ends (if it still runs) with this object, and with the test program
// however that ends.
class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // A Windows program, in a job that ends it as its handle closes.
  bool Start(const std::wstring& commandLine, DWORD flags = 0);
  // A Unix program (its Unix path first), through tests/support/tied.py: Wine gives no
  // handle of it and hands it every descriptor of the test.
  bool StartUnix(const std::wstring& commandLine);
  // TRUE when it has ended within the time; its exit code in *code.
  bool WaitExit(DWORD timeoutMs, DWORD* code = nullptr);
  // Its topmost visible top-level window with this title (null: any), or null.
  HWND FindWindow(const wchar_t* title) const;

 private:
  PROCESS_INFORMATION info_{};
  HANDLE job_ = nullptr;
  std::unique_ptr<TempDir> tie_;  // a Unix program's: it runs while "run" is there
};

}  // namespace testenv
