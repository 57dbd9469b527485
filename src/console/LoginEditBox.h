#pragma once
// The login's edit boxes.
#include <windows.h>

#include <string>

#include "platform/CEdit.h"
#include "uiwin/UiFontPool.h"

// A plain edit box with the set-up calls of the filtered edit box.
class LoginEditBox : public CEdit {
 public:
  HWND Create(HWND parent, const RECT* rect, LPCWSTR name, DWORD style, DWORD exStyle, UINT id) {
    RECT rc = rect ? *rect : RECT{0, 0, 0, 0};
    HWND wnd = CEdit::Create(L"EDIT", parent, rc, name, style, exStyle, id);
    if (wnd) SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(UiFontPool::GetFont(0)), TRUE);
    return wnd;
  }
  int SetInputType(UINT, LPCWSTR, int) { return 1; }
  void SetLimits(int maxLength, int, char, BOOL) { SetLimitText(static_cast<UINT>(maxLength)); }
};
