// Test entry point: the window-framework module is initialised on the test thread,
// which is the UI thread of every test.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

#include "platform/CAppModule.h"

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

}  // namespace

int main(int argc, char** argv) {
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
