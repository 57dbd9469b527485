#pragma once
// A skinned scroll bar's thumb as the bar paints it, and a drag of it by the left button
// from its middle: what a user sees and does, not what the bar's hit test says.
#include <windows.h>

#include <utility>

#include "platform/CBitmapDC.h"
#include "support/DibCanvas.h"

namespace qvtest {

// [first, last) of the bar's rows (columns for a horizontal bar) that show the thumb:
// from the rows of the skin's thumb cell's first end to those of its last end, in any of
// the cell's looks; {-1, -1} when it shows none.
inline std::pair<int, int> PaintedThumb(HWND bar, HBITMAP skin) {
  BITMAP bm{};
  ::GetObjectW(skin, sizeof bm, &bm);
  const int s = bm.bmWidth / 9, kEnd = 3;
  const bool vertical = (::GetWindowLongW(bar, GWL_STYLE) & SBS_VERT) != 0;
  RECT rc{};
  ::GetClientRect(bar, &rc);
  DibCanvas cells(9 * s, 3 * s), painted(rc.right, rc.bottom);
  ::BitBlt(cells.Dc(), 0, 0, 9 * s, 3 * s, CBitmapDC(skin), 0, 0, SRCCOPY);
  ::SendMessageW(bar, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(painted.Dc()), PRF_CLIENT);
  const int column = vertical ? 2 : 6, length = vertical ? rc.bottom : rc.right;
  auto shows = [&](int at, int cellAt) {
    for (int look = 0; look < 3; ++look) {
      bool same = true;
      for (int k = 0; k < kEnd && same; ++k)
        same = vertical ? painted.At(s / 2, at + k) == cells.At(column * s + s / 2, look * s + cellAt + k)
                        : painted.At(at + k, s / 2) == cells.At(column * s + cellAt + k, look * s + s / 2);
      if (same) return true;
    }
    return false;
  };
  for (int first = 0; first + 2 * kEnd <= length; ++first) {
    if (!shows(first, 0)) continue;
    for (int last = first + 2 * kEnd; last <= length; ++last)
      if (shows(last - kEnd, s - kEnd)) return {first, last};
  }
  return {-1, -1};
}

// Presses the left button on the middle of the painted thumb, moves to `to` along the
// bar and releases it there; false when no thumb shows.
inline bool DragPaintedThumb(HWND bar, HBITMAP skin, int to) {
  const std::pair<int, int> thumb = PaintedThumb(bar, skin);
  if (thumb.first < 0) return false;
  const bool vertical = (::GetWindowLongW(bar, GWL_STYLE) & SBS_VERT) != 0;
  auto at = [vertical](int along) { return vertical ? MAKELPARAM(4, along) : MAKELPARAM(along, 4); };
  ::SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, at((thumb.first + thumb.second) / 2));
  ::SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, at(to));
  ::SendMessageW(bar, WM_LBUTTONUP, 0, at(to));
  return true;
}

}  // namespace qvtest
