#pragma once
// Small reads that the filtering edit fields share: the clipboard's text and an edit
// control's selection kept within its text.
#include <windows.h>

#include <string>

// The clipboard's Unicode text, read no further than its memory block reaches; empty
// when there is none or the clipboard cannot be opened.
std::wstring ClipboardText(HWND hOwner);
// The selection [nStart, nEnd) of the edit control, within 0 .. length of strText.
void GetEditSel(HWND hEdit, const std::wstring& strText, int& nStart, int& nEnd);
