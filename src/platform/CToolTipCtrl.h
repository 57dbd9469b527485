#pragma once
// Tooltip control wrapper.
#include <commctrl.h>

#include "platform/CWindow.h"

class CToolTipCtrl : public CWindow {
 public:
  CToolTipCtrl(HWND wnd = nullptr) : CWindow(wnd) {}  // NOLINT
  static LPCWSTR GetWndClassName() { return TOOLTIPS_CLASSW; }
  HWND Create(HWND owner, DWORD style = TTS_ALWAYSTIP | TTS_NOPREFIX) {
    m_hWnd = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | style,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner,
                               nullptr, ::GetModuleHandleW(nullptr), nullptr);
    return m_hWnd;
  }
  BOOL AddTool(TTTOOLINFOW* info) const {
    return static_cast<BOOL>(SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(info)));
  }
  void DelTool(TTTOOLINFOW* info) const { SendMessage(TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(info)); }
  void UpdateTipText(TTTOOLINFOW* info) const {
    SendMessage(TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(info));
  }
  void Activate(BOOL active) const { SendMessage(TTM_ACTIVATE, active); }
  void RelayEvent(MSG* msg) const { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg)); }
  void SetMaxTipWidth(int width) const { SendMessage(TTM_SETMAXTIPWIDTH, 0, width); }
  void Pop() const { SendMessage(TTM_POP); }
};
