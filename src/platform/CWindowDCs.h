#pragma once
// DCs borrowed from a window for the lifetime of the object.
#include "platform/CDCHandle.h"

class CPaintDC : public CDCHandle {
 public:
  explicit CPaintDC(HWND wnd) : wnd_(wnd) { m_hDC = ::BeginPaint(wnd, &m_ps); }
  CPaintDC(const CPaintDC&) = delete;
  CPaintDC& operator=(const CPaintDC&) = delete;
  ~CPaintDC() { ::EndPaint(wnd_, &m_ps); }
  PAINTSTRUCT m_ps{};

 private:
  HWND wnd_;
};

class CClientDC : public CDCHandle {
 public:
  explicit CClientDC(HWND wnd) : wnd_(wnd) { m_hDC = ::GetDC(wnd); }
  CClientDC(const CClientDC&) = delete;
  CClientDC& operator=(const CClientDC&) = delete;
  ~CClientDC() {
    if (m_hDC) ::ReleaseDC(wnd_, m_hDC);
  }

 private:
  HWND wnd_;
};

class CWindowDC : public CDCHandle {
 public:
  explicit CWindowDC(HWND wnd) : wnd_(wnd) { m_hDC = ::GetWindowDC(wnd); }
  CWindowDC(const CWindowDC&) = delete;
  CWindowDC& operator=(const CWindowDC&) = delete;
  ~CWindowDC() {
    if (m_hDC) ::ReleaseDC(wnd_, m_hDC);
  }

 private:
  HWND wnd_;
};
