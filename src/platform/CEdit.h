#pragma once
// Edit control wrapper.
#include "platform/CWindow.h"
#include "platform/TextConv.h"

class CEdit : public CWindow {
 public:
  CEdit(HWND wnd = nullptr) : CWindow(wnd) {}  // NOLINT
  static LPCWSTR GetWndClassName() { return L"EDIT"; }
  void SetSel(int start, int end) const { SendMessage(EM_SETSEL, start, end); }
  void GetSel(int& start, int& end) const {
    DWORD s = 0, e = 0;
    SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    start = static_cast<int>(s);
    end = static_cast<int>(e);
  }
  void SetLimitText(UINT max) const { SendMessage(EM_LIMITTEXT, max); }
  void ReplaceSel(LPCWSTR text, BOOL canUndo = FALSE) const {
    SendMessage(EM_REPLACESEL, canUndo, reinterpret_cast<LPARAM>(qv::OrEmpty(text)));
  }
  BOOL SetReadOnly(BOOL readOnly) const { return static_cast<BOOL>(SendMessage(EM_SETREADONLY, readOnly)); }
};
