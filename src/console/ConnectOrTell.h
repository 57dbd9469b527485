#pragma once
// Opening the console's database: the data source, user and password of the settings
// file. A caller that cannot go on without it tells the user, in its own words or with
// the driver's diagnostic; so does a caller whose statement failed. No box comes up
// while the link holds a connection: one left open while the user reads would hold the
// database (SQLite's locks, a server's session and transaction) for as long as the user
// looks away. A caller that goes on after telling connects the link again.
#include <windows.h>

class SQLServerLink;

// "连接数据库出错": what most pages say when they cannot connect.
extern const wchar_t kNoConnectionText[];

// Connects link with the settings' data source, user and password.
bool Connect(SQLServerLink& link);
// The same; when it cannot connect, closes the link, shows message (without one,
// "错误信息：" and the driver's diagnostic) with caption and icon, and answers false.
bool ConnectOrTell(SQLServerLink& link, const wchar_t* message = nullptr, const wchar_t* caption = L"错误",
                   UINT icon = MB_ICONERROR);
// Shows kNoConnectionText under "错误" with the error icon.
void TellNoConnection();
// Shows "错误信息：<reason>" (none for a null reason) with caption and icon.
void TellError(const wchar_t* reason, const wchar_t* caption = L"错误", UINT icon = MB_ICONERROR);
// The same with the link's last diagnostic as the reason; the link is closed first.
void TellError(SQLServerLink& link, const wchar_t* caption = L"错误", UINT icon = MB_ICONERROR);
