#pragma once
// Thin wrapper of a window handle; owns nothing.
#include <windows.h>

#include <string>

#include "platform/CRect.h"
#include "platform/TextConv.h"

class CWindow {
 public:
  CWindow(HWND wnd = nullptr) : m_hWnd(wnd) {}  // NOLINT
  CWindow& operator=(HWND wnd) {
    m_hWnd = wnd;
    return *this;
  }
  operator HWND() const { return m_hWnd; }
  static LPCWSTR GetWndClassName() { return nullptr; }

  HWND Create(LPCWSTR className, HWND parent, const RECT& rc, LPCWSTR name = nullptr,
              DWORD style = 0, DWORD exStyle = 0, UINT id = 0, void* param = nullptr) {
    m_hWnd = ::CreateWindowExW(exStyle, className, name, style, rc.left, rc.top,
                               rc.right - rc.left, rc.bottom - rc.top, parent,
                               reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                               ::GetModuleHandleW(nullptr), param);
    return m_hWnd;
  }
  BOOL DestroyWindow() {
    if (!m_hWnd || !::DestroyWindow(m_hWnd)) return FALSE;
    m_hWnd = nullptr;
    return TRUE;
  }
  void Attach(HWND wnd) { m_hWnd = wnd; }
  HWND Detach() {
    HWND h = m_hWnd;
    m_hWnd = nullptr;
    return h;
  }

  BOOL IsWindow() const { return ::IsWindow(m_hWnd); }
  LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
    return ::SendMessageW(m_hWnd, msg, wp, lp);
  }
  BOOL PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
    return ::PostMessageW(m_hWnd, msg, wp, lp);
  }
  BOOL ShowWindow(int cmd) const { return ::ShowWindow(m_hWnd, cmd); }
  BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
  BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
  BOOL EnableWindow(BOOL enable = TRUE) const { return ::EnableWindow(m_hWnd, enable); }
  HWND SetFocus() const { return ::SetFocus(m_hWnd); }
  HWND GetParent() const { return ::GetParent(m_hWnd); }
  HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
  int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
  DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE)); }
  DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_EXSTYLE)); }
  BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0) const {
    return Modify(GWL_STYLE, remove, add, swpFlags);
  }
  BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags = 0) const {
    return Modify(GWL_EXSTYLE, remove, add, swpFlags);
  }
  BOOL GetClientRect(RECT* rc) const { return ::GetClientRect(m_hWnd, rc); }
  BOOL GetWindowRect(RECT* rc) const { return ::GetWindowRect(m_hWnd, rc); }
  BOOL MoveWindow(const RECT& rc, BOOL repaint = TRUE) const {
    return ::MoveWindow(m_hWnd, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, repaint);
  }
  BOOL SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags) const {
    return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags);
  }
  BOOL ScreenToClient(POINT* p) const { return ::ScreenToClient(m_hWnd, p); }
  BOOL ClientToScreen(POINT* p) const { return ::ClientToScreen(m_hWnd, p); }
  BOOL Invalidate(BOOL erase = TRUE) const { return ::InvalidateRect(m_hWnd, nullptr, erase); }
  BOOL InvalidateRect(const RECT* rc, BOOL erase = TRUE) const {
    return ::InvalidateRect(m_hWnd, rc, erase);
  }
  BOOL UpdateWindow() const { return ::UpdateWindow(m_hWnd); }
  void SetRedraw(BOOL redraw) const { SendMessage(WM_SETREDRAW, redraw); }
  BOOL SetWindowText(LPCWSTR text) const { return ::SetWindowTextW(m_hWnd, qv::OrEmpty(text)); }
  std::wstring GetWindowText() const {
    int n = ::GetWindowTextLengthW(m_hWnd);
    if (n <= 0) return std::wstring();
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    n = ::GetWindowTextW(m_hWnd, &text[0], n + 1);
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
  }
  void SetFont(HFONT font, BOOL redraw = TRUE) const {
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
  }
  HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
  UINT_PTR SetTimer(UINT_PTR id, UINT elapse) const { return ::SetTimer(m_hWnd, id, elapse, nullptr); }
  BOOL KillTimer(UINT_PTR id) const { return ::KillTimer(m_hWnd, id); }
  // Centres over the given window (its owner when null), inside the monitor's work area.
  BOOL CenterWindow(HWND center = nullptr) const;

  HWND m_hWnd;

 private:
  BOOL Modify(int index, DWORD remove, DWORD add, UINT swpFlags) const {
    DWORD old = static_cast<DWORD>(::GetWindowLongW(m_hWnd, index));
    DWORD now = (old & ~remove) | add;
    if (now == old) return FALSE;
    ::SetWindowLongW(m_hWnd, index, static_cast<LONG>(now));
    if (swpFlags)
      ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
    return TRUE;
  }
};
