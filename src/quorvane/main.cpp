// Quorvane.exe, the administrator's console. It takes no arguments; its settings are
// in SysServerPort.xml beside it.
#include <windows.h>

#include "app/ConsoleStartup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return ConsoleMain(instance); }
