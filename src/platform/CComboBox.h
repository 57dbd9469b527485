#pragma once
// Combo box wrapper.
#include <string>

#include "platform/CWindow.h"
#include "platform/TextConv.h"

class CComboBox : public CWindow {
 public:
  CComboBox(HWND wnd = nullptr) : CWindow(wnd) {}  // NOLINT
  static LPCWSTR GetWndClassName() { return L"COMBOBOX"; }
  int AddString(LPCWSTR text) const {
    return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(qv::OrEmpty(text))));
  }
  int InsertString(int index, LPCWSTR text) const {
    return static_cast<int>(SendMessage(CB_INSERTSTRING, index, reinterpret_cast<LPARAM>(qv::OrEmpty(text))));
  }
  int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
  int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
  int SetCurSel(int index) const { return static_cast<int>(SendMessage(CB_SETCURSEL, index)); }
  void ResetContent() const { SendMessage(CB_RESETCONTENT); }
  void ShowDropDown(BOOL show) const { SendMessage(CB_SHOWDROPDOWN, show); }
  int FindStringExact(int start, LPCWSTR text) const {
    return static_cast<int>(SendMessage(CB_FINDSTRINGEXACT, start, reinterpret_cast<LPARAM>(text)));
  }
  std::wstring GetLBText(int index) const {
    LRESULT n = SendMessage(CB_GETLBTEXTLEN, index);
    if (n == CB_ERR || n <= 0) return std::wstring();
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    n = SendMessage(CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
  }
  DWORD_PTR GetItemData(int index) const { return static_cast<DWORD_PTR>(SendMessage(CB_GETITEMDATA, index)); }
  int SetItemData(int index, DWORD_PTR data) const {
    return static_cast<int>(SendMessage(CB_SETITEMDATA, index, static_cast<LPARAM>(data)));
  }
};
