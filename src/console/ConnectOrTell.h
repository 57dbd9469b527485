#pragma once
// Opening the console's database: the data source, user and password of the settings
// file. A caller that cannot go on without it tells the user, in its own words or with
// the driver's diagnostic.
#include <windows.h>

class SQLServerLink;

// Connects link with the settings' data source, user and password.
bool Connect(SQLServerLink& link);
// The same; when it cannot connect, shows message (without one, "错误信息：" and the
// driver's diagnostic) with caption and icon, and answers false.
bool ConnectOrTell(SQLServerLink& link, const wchar_t* message = nullptr, const wchar_t* caption = L"错误",
                   UINT icon = MB_ICONERROR);
