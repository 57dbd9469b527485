#pragma once
// A header control that takes no room: laid out, it is 0 pixels high, and it shows no
// column-resize cursor. Painted, it shows one caption centred on a single line in its
// font and text colour. Nothing in the console uses it.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "platform/CWindowImpl.h"

class CListHeader : public CWindowImpl<CListHeader> {
 public:
  DECLARE_WND_SUPERCLASS(nullptr, WC_HEADERW)

  void SetCaption(LPCWSTR pszCaption);

  BEGIN_MSG_MAP(CListHeader)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(HDM_LAYOUT, OnLayout)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
  END_MSG_MAP()

 private:
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnLayout(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&);
  LRESULT OnMouseMove(UINT, WPARAM, LPARAM, BOOL&) { return 0; }
  LRESULT OnSetCursor(UINT, WPARAM, LPARAM, BOOL&) { return 0; }

  COLORREF m_rgbBackground = 0x74100A;  // kept, not painted
  COLORREF m_rgbText = 0x090909;
  std::wstring m_strCaption;
  int m_nHeight = 0;
};
