#pragma once
// A user's click on a grid cell, at the place where the cell is painted: the grid is
// printed into a picture and the click goes to what was drawn inside the cell (a check
// cell's box, a clickable cell's image and text), found from the pixels alone, never
// from the grid's hit test; other cells are clicked in their middle. It reaches the grid
// as the mouse messages a click makes. A cell scrolled out of view is refused rather
// than clicked somewhere else.
#include <gtest/gtest.h>
#include <windows.h>

#include "controls/CListImplEx.h"
#include "controls/ListFormats.h"
#include "platform/CPoint.h"
#include "platform/CRect.h"
#include "support/DibCanvas.h"

namespace qvtest {

// What was painted inside the cell: the bounds of the pixels that differ from the
// cell's own background on their line (taken 2 pixels in from the cell's left, where
// nothing but the background, a selection or a focus fill is drawn). The cell's outer
// 2 pixels, where frames and grid lines are, are left out. With firstOnly, only the
// leftmost run of painted columns (a check box before its text).
inline CRect PaintedInCell(HWND grid, const CRect& cell, bool firstOnly) {
  CRect client;
  ::GetClientRect(grid, &client);
  CRect inner = cell;
  inner.DeflateRect(2, 2);
  inner.IntersectRect(inner, client);
  if (inner.IsRectEmpty()) return CRect();
  DibCanvas picture(client.Width(), client.Height(), RGB(1, 2, 3));
  ::SendMessageW(grid, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(picture.Dc()), PRF_CLIENT);
  CRect painted;
  bool inRun = false;
  for (int x = inner.left + 1; x < inner.right; ++x) {
    bool any = false;
    for (int y = inner.top; y < inner.bottom; ++y) {
      if (picture.At(x, y) == picture.At(inner.left, y)) continue;
      any = true;
      const CRect dot(x, y, x + 1, y + 1);
      if (painted.IsRectEmpty())
        painted = dot;
      else
        painted.UnionRect(painted, dot);
    }
    if (any) inRun = true;
    if (firstOnly && inRun && !any) break;
  }
  return painted;
}

// Where a click on the cell lands; false (and a test failure) when the cell is not shown
// or nothing clickable is painted in it.
template <class Grid>
bool GridCellPoint(const Grid& grid, int row, int column, CPoint& at) {
  CRect cell, client;
  ::GetClientRect(grid.m_hWnd, &client);
  if (!grid.GetItemRect(row, column, cell) || !grid.IsItemVisible(row, column, FALSE)) {
    ADD_FAILURE() << "grid cell " << row << "," << column << " is not shown";
    return false;
  }
  cell.right -= 1;  // the grid line is the neighbour's
  const int index = grid.GetColumnIndex(column);
  const UINT format = grid.GetItemFormat(row, index);
  CRect place = cell;
  if (format == ITEM_FORMAT_CHECKBOX || format == ITEM_FORMAT_CHECKBOX_3STATE)
    place = PaintedInCell(grid.m_hWnd, cell, true);
  else if (format == ITEM_FORMAT_HYPERLINK)
    place = PaintedInCell(grid.m_hWnd, cell, false);
  place.IntersectRect(place, client);
  if (place.IsRectEmpty()) {
    ADD_FAILURE() << "grid cell " << row << "," << column << " has nothing painted to click";
    return false;
  }
  at = place.CenterPoint();
  return true;
}

// Moves there, presses and releases the left button; twice for a double click.
template <class Grid>
bool ClickGridCell(Grid& grid, int row, int column, bool doubleClick = false) {
  CPoint at;
  if (!GridCellPoint(grid, row, column, at)) return false;
  const LPARAM where = MAKELPARAM(at.x, at.y);
  ::SendMessageW(grid.m_hWnd, WM_MOUSEMOVE, 0, where);
  ::SendMessageW(grid.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, where);
  ::SendMessageW(grid.m_hWnd, WM_LBUTTONUP, 0, where);
  if (doubleClick) {
    ::SendMessageW(grid.m_hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, where);
    ::SendMessageW(grid.m_hWnd, WM_LBUTTONUP, 0, where);
  }
  return true;
}

}  // namespace qvtest
