#pragma once
// Up-down (spin) control wrapper.
#include <commctrl.h>

#include "platform/CWindow.h"

class CUpDownCtrl : public CWindow {
 public:
  CUpDownCtrl(HWND wnd = nullptr) : CWindow(wnd) {}  // NOLINT
  static LPCWSTR GetWndClassName() { return UPDOWN_CLASSW; }
  HWND SetBuddy(HWND buddy) const {
    return reinterpret_cast<HWND>(SendMessage(UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy)));
  }
  HWND GetBuddy() const { return reinterpret_cast<HWND>(SendMessage(UDM_GETBUDDY)); }
  void SetRange(int lower, int upper) const { SendMessage(UDM_SETRANGE32, lower, upper); }
  int SetPos(int pos) const { return static_cast<int>(SendMessage(UDM_SETPOS32, 0, pos)); }
  // The position; *failed (when given) is set when the buddy's text is no number in range.
  int GetPos(BOOL* failed = nullptr) const {
    return static_cast<int>(SendMessage(UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(failed)));
  }
};
