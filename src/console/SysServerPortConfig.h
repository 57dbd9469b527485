#pragma once
// The connection settings: texts read once at start-up from SysServerPort.xml
// beside the executable and never written afterwards. Every database connection opens
// with g_dsnName, g_sqlUserName and g_sqlPassword; the other three only describe the
// data source that start-up registers.
#include <string>

const int kSettingChars = 260;  // each buffer: 259 characters and the terminator

extern wchar_t g_dsnName[kSettingChars];
extern wchar_t g_databaseName[kSettingChars];
extern wchar_t g_dsnDescription[kSettingChars];
extern wchar_t g_serverAddress[kSettingChars];
extern wchar_t g_sqlUserName[kSettingChars];
extern wchar_t g_sqlPassword[kSettingChars];
// The online updater's endpoint (optional "UpdateUrl"): http or https, ending in "/";
// empty when the deployment has none.
extern wchar_t g_updateUrl[kSettingChars];

// Reads the attributes of the root's first child element named "port" (names as
// written, case-sensitive) into the settings: 1 when that element was found, 0 when
// the file cannot be loaded or parsed or has no such element. A file whose values
// would not fit the buffers, or would break the data source's attribute list with a
// "!", or that is read in the code page and holds a character reference the code page
// cannot hold, is refused whole: the settings stay empty, 0, and *refusal tells the
// user why.
// Values are read in the encoding that qv::ParseXml settles for every file the
// console reads (UTF-8 by a byte-order mark or declaration, or under a declaration
// naming none when they are well-formed UTF-8; else the ANSI code page). Whenever the result is 0, *unread says why, naming the file
// (missing, unreadable, malformed, without "port", or the refusal), for the login to
// add when it cannot connect with the empty settings.
int LoadSysServerPortConfig(const char* path, std::wstring* refusal = nullptr, std::wstring* unread = nullptr);
// As LoadSysServerPortConfig, for the file's bytes already read; file names it in *unread.
int ParseSysServerPortConfig(const std::string& bytes, std::wstring* refusal = nullptr,
                             std::wstring* unread = nullptr, const std::wstring& file = std::wstring());
