#pragma once
// IP address control wrapper.
#include <commctrl.h>

#include "platform/CWindow.h"

class CIPAddressCtrl : public CWindow {
 public:
  CIPAddressCtrl(HWND wnd = nullptr) : CWindow(wnd) {}  // NOLINT
  static LPCWSTR GetWndClassName() { return WC_IPADDRESSW; }
  void SetAddress(DWORD address) const { SendMessage(IPM_SETADDRESS, 0, static_cast<LPARAM>(address)); }
  // Number of fields that are not blank.
  int GetAddress(DWORD* address) const {
    return static_cast<int>(SendMessage(IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(address)));
  }
  void ClearAddress() const { SendMessage(IPM_CLEARADDRESS); }
  BOOL IsBlank() const { return static_cast<BOOL>(SendMessage(IPM_ISBLANK)); }
};
