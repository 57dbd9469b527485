#pragma once
// List box wrapper.
#include "platform/CWindow.h"
#include "platform/TextConv.h"

class CListBox : public CWindow {
 public:
  CListBox(HWND wnd = nullptr) : CWindow(wnd) {}  // NOLINT
  static LPCWSTR GetWndClassName() { return L"LISTBOX"; }
  int AddString(LPCWSTR text) const {
    return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(qv::OrEmpty(text))));
  }
  int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
  int GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
  int SetCurSel(int index) const { return static_cast<int>(SendMessage(LB_SETCURSEL, index)); }
  void ResetContent() const { SendMessage(LB_RESETCONTENT); }
};
