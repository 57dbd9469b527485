#pragma once
// Non-owning device context with the few helpers drawing code repeats.
#include <windows.h>

#include "platform/TextConv.h"

class CDCHandle {
 public:
  CDCHandle(HDC dc = nullptr) : m_hDC(dc) {}  // NOLINT
  operator HDC() const { return m_hDC; }
  bool IsNull() const { return m_hDC == nullptr; }

  HGDIOBJ SelectObject(HGDIOBJ obj) { return ::SelectObject(m_hDC, obj); }
  COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
  COLORREF SetBkColor(COLORREF c) { return ::SetBkColor(m_hDC, c); }
  int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
  void FillSolidRect(const RECT& rc, COLORREF c) {
    COLORREF old = ::SetBkColor(m_hDC, c);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
  }
  int DrawText(LPCWSTR text, int count, RECT* rc, UINT format) {
    return ::DrawTextW(m_hDC, qv::OrEmpty(text), text ? count : 0, rc, format);
  }
  BOOL BitBlt(int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop) {
    return ::BitBlt(m_hDC, x, y, w, h, src, sx, sy, rop);
  }

  HDC m_hDC;
};
