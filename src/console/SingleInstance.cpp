#include "console/SingleInstance.h"

// One section, shared between the processes of one executable file.
volatile LONG g_sharedInstanceFlag __attribute__((section(".qvshare"), shared)) = 0;
HWND volatile g_sharedInstanceWindow __attribute__((section(".qvshare"), shared)) = nullptr;

BOOL ClaimSingleInstance() {
  if (::InterlockedCompareExchange(&g_sharedInstanceFlag, 1, 0) == 0) return TRUE;
  HWND running = g_sharedInstanceWindow;
  if (running && ::IsWindow(running)) {
    ::ShowWindow(running, SW_SHOWNORMAL);
    ::SetForegroundWindow(running);
  }
  return FALSE;
}
