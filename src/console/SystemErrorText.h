#pragma once
// The system's message text for a Windows or network error code, for the message
// boxes of the pages.
#include <windows.h>

#include <string>

// Fills text with the message (as the system gives it, line end included) and returns
// its length; an empty text and 0 when neither the system's table nor the network
// (or, for a WinINet code, the WinINet) message module knows the code.
int GetSystemErrorText(DWORD code, std::wstring& text);

// The system's text for the code as one line of a box (without its line end), or
// "错误代码 N" when the system has none.
std::wstring SystemErrorLine(DWORD code);
// "写入文件“path”时出错：" and that line, for the boxes that tell a file that could
// not be written.
std::wstring WriteFailureText(const std::wstring& path, DWORD code);
