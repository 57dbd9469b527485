// Test entry point: the window-framework module is initialised on the test thread,
// which is the UI thread of every test.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include "platform/CAppModule.h"

int main(int argc, char** argv) {
  ::CoInitialize(nullptr);
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_INTERNET_CLASSES};
  ::InitCommonControlsEx(&icc);
  g_module.Init(::GetModuleHandleW(nullptr));
  ::testing::InitGoogleTest(&argc, argv);
  int result = RUN_ALL_TESTS();
  g_module.Term();
  ::CoUninitialize();
  return result;
}
