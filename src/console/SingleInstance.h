#pragma once
// The single-instance area: two values in a data section that every running copy of
// the executable shares, both zero while none runs. The first instance claims the flag
// and keeps it for its life; the login dialog, and then the main window, record their
// handle so that a second start can bring the running console to the front.
#include <windows.h>

extern volatile LONG g_sharedInstanceFlag;
extern HWND volatile g_sharedInstanceWindow;

// Claims the flag with one atomic compare-and-exchange: TRUE for the first instance.
// Otherwise shows the recorded window normally, brings it to the front, and answers
// FALSE; nothing else is touched.
BOOL ClaimSingleInstance();
