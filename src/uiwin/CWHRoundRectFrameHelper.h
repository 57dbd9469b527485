#pragma once
// Mix-in of every dialog class: on each size change (not a minimize) the frame gets a
// window region that is its client rectangle with each corner stepped off by three
// pixels (two in the outermost row, one in the next). Chained after the frame map; it
// never consumes WM_SIZE.
#include <windows.h>

#include "platform/MessageMap.h"

template <class T>
class CWHRoundRectFrameHelper {
 public:
  BEGIN_MSG_MAP(CWHRoundRectFrameHelper)
    if (uMsg == WM_SIZE) {
      OnSize(static_cast<UINT>(wParam),
             SIZE{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
      lResult = 0;
      return FALSE;
    }
  END_MSG_MAP()

  // The region for a frame whose client area, relative to the window, is (l, t, r, b).
  static HRGN CreateFrameRegion(const RECT& rc) {
    const int l = rc.left, t = rc.top, r = rc.right, b = rc.bottom;
    const int h = b - t;
    HRGN rgn = ::CreateRectRgn(l, t + 2, r, b - 2);
    const RECT rows[] = {
        {l + 2, t, r - 2, t + 1},
        {l + 2, t + h - 1, r - 2, t + h},
        {l + 1, t + 1, r - 1, t + 2},
        {l + 1, t + h - 2, r - 1, t + h - 1},
    };
    HRGN part = ::CreateRectRgn(0, 0, 0, 0);
    for (const RECT& row : rows) {
      ::SetRectRgn(part, row.left, row.top, row.right, row.bottom);
      ::CombineRgn(rgn, rgn, part, RGN_OR);
    }
    ::DeleteObject(part);
    return rgn;
  }

  void OnSize(UINT nType, SIZE size) {
    if (nType == SIZE_MINIMIZED) return;
    if (m_bShaped && size.cx == m_sizeLast.cx && size.cy == m_sizeLast.cy) return;
    HWND hWnd = static_cast<T*>(this)->m_hWnd;
    RECT window, client;
    ::GetWindowRect(hWnd, &window);
    ::GetClientRect(hWnd, &client);
    ::MapWindowPoints(hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    ::OffsetRect(&client, -window.left, -window.top);
    HRGN rgn = CreateFrameRegion(client);
    if (!::SetWindowRgn(hWnd, rgn, FALSE)) ::DeleteObject(rgn);  // the window owns it once set
    m_sizeLast = size;
    m_bShaped = TRUE;
  }

 private:
  SIZE m_sizeLast{0, 0};
  BOOL m_bShaped = FALSE;
};
