#pragma once
// The system's IP-address field in the console's colours and a 12-pixel font, without
// the sunken client edge. Its value is read, set and cleared with the usual calls.
#include <windows.h>

#include "controls/CFieldColors.h"
#include "platform/CGdiObject.h"
#include "platform/CIPAddressCtrl.h"
#include "platform/CWindowImpl.h"

class CIPAddressCtrlEx : public CWindowImpl<CIPAddressCtrlEx, CIPAddressCtrl> {
 public:
  DECLARE_WND_SUPERCLASS(nullptr, WC_IPADDRESSW)

  CIPAddressCtrlEx() = default;

  HWND Create(HWND parent, const RECT& rc, LPCWSTR name = nullptr, DWORD style = 0,
              DWORD exStyle = 0, UINT id = 0, void* param = nullptr);

  BEGIN_MSG_MAP(CIPAddressCtrlEx)
    MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
    MESSAGE_HANDLER(WM_CTLCOLOREDIT, OnCtlColor)
    MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnCtlColor)
    MESSAGE_HANDLER(WM_CTLCOLORDLG, OnCtlColor)
    DEFAULT_REFLECTION_HANDLER()
  END_MSG_MAP()

 private:
  LRESULT OnSetCursor(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnCtlColor(UINT, WPARAM wParam, LPARAM, BOOL&);

  CFieldColors m_colors;
  CFont m_font;
};
