// Test entry point: the window-framework module is initialised on the test thread,
// which is the UI thread of every test.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "platform/CAppModule.h"
#include "support/ChildProcess.h"

namespace {

// A run that tested nothing, or skipped what it was asked to run, is no pass; a suite
// whose tests may skip says so with QV_SUITE_MAY_SKIP.
int Judge(int result) {
  const testing::UnitTest& unit = *testing::UnitTest::GetInstance();
  const int ran = unit.test_to_run_count() - unit.skipped_test_count();
  const char* maySkip = std::getenv("QV_SUITE_MAY_SKIP");
  if (ran < 1) {
    std::printf("no test ran\n");
    return 1;
  }
  if (unit.skipped_test_count() && !(maySkip && *maySkip == '1')) {
    std::printf("%d test(s) skipped\n", unit.skipped_test_count());
    return 1;
  }
  return result;
}

// A crash ends the run at once, saying what and where (the module and the offset in it,
// for addr2line): under Wine an unhandled exception would start a debugger instead,
// which may never end and keeps the suite's output open.
LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD& record = *info->ExceptionRecord;
  HMODULE module = nullptr;
  char name[MAX_PATH] = "?";
  if (::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           static_cast<const char*>(record.ExceptionAddress), &module))
    ::GetModuleFileNameA(module, name, MAX_PATH);
  char line[MAX_PATH + 128];
  const int length = ::wsprintfA(line, "\n[ CRASH ] exception %08lX at address %p (%s+0x%lX)\n", record.ExceptionCode,
                                 record.ExceptionAddress, name,
                                 static_cast<unsigned long>(static_cast<const char*>(record.ExceptionAddress) -
                                                            reinterpret_cast<const char*>(module)));
  DWORD written = 0;
  ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), line, static_cast<DWORD>(length), &written, nullptr);
  ::TerminateProcess(::GetCurrentProcess(), record.ExceptionCode ? record.ExceptionCode : 1);
  return EXCEPTION_EXECUTE_HANDLER;
}

// Hidden, for the check that a crash fails its suite at once and leaves nothing running
// (tests/support/crash-check.py): helpers as tests start them, a Unix program and a
// Windows one (this program, idle), then the crash.
[[noreturn]] void CrashWithHelpers() {
  wchar_t self[MAX_PATH] = L"";
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  testenv::ChildProcess unixHelper, windowsHelper;
  unixHelper.StartUnix(L"/bin/sh -c \"sleep 600; :\" qv-crash-helper");
  windowsHelper.Start(L"\"" + std::wstring(self) + L"\" --qv-idle");
  ::Sleep(1000);
  *static_cast<volatile int*>(nullptr) = 1;
  ::ExitProcess(1);
}

}  // namespace

int main(int argc, char** argv) {
  ::SetUnhandledExceptionFilter(ReportCrash);
  if (argc > 1 && std::strcmp(argv[argc - 1], "--qv-crash") == 0) CrashWithHelpers();
  if (argc > 1 && std::strcmp(argv[argc - 1], "--qv-idle") == 0) ::Sleep(600000);
  ::CoInitialize(nullptr);
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_INTERNET_CLASSES};
  ::InitCommonControlsEx(&icc);
  g_module.Init(::GetModuleHandleW(nullptr));
  ::testing::InitGoogleTest(&argc, argv);
  int result = Judge(RUN_ALL_TESTS());
  g_module.Term();
  ::CoUninitialize();
  // The last line, and only after a clean tear-down: tests/support/run-suite.sh looks for it.
  if (result == 0) std::printf("[ SUITE OK ]\n");
  std::fflush(stdout);
  return result;
}
