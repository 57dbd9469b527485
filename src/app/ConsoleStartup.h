#pragma once
// The console's life on its one thread: the single-instance claim, COM, the common
// controls, the window framework module, the connection settings, the data source and
// the UI resources; the login and, after a successful one, the main window, each as a
// modal loop; then everything torn down in reverse order.
#include <windows.h>

#include <string>

#include "console/AgentMessageId.h"

// "TaskbarCreated", let through the message filter where the system has one. Nothing
// reads it: the tray icon is not added again when the taskbar comes back.
extern UINT g_taskbarCreatedMessage;
UINT RegisterTaskbarCreatedMessage();

// The string table, the default font, the skins and the styles, in this order.
void LoadConsoleUiResources();

// The whole run with the settings file at configPath: 0 when another instance runs
// or the login did not end with OK, else the main window's result. Tests point the
// service link at agentPort.
int RunConsole(HINSTANCE instance, const std::string& configPath,
               unsigned short agentPort = AGENT_LINK_DEFAULT_PORT);

// What WinMain does: RunConsole with SysServerPort.xml beside the executable.
int ConsoleMain(HINSTANCE instance);
