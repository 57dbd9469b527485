#pragma once
// The system's message text for a Windows or network error code, for the message
// boxes of the pages.
#include <windows.h>

#include <string>

// Fills text with the message (as the system gives it, line end included) and returns
// its length; an empty text and 0 when neither the system's table nor the network
// message module knows the code.
int GetSystemErrorText(DWORD code, std::wstring& text);
