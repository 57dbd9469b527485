#pragma once
// A user's click on a grid cell: the point is found by the grid's own geometry where the
// cell is painted (a check cell's box, a clickable cell's image or text, otherwise the
// cell's middle), and reaches the grid as the mouse messages a click makes. A cell
// scrolled out of view is refused rather than clicked somewhere else.
#include <gtest/gtest.h>
#include <windows.h>

#include "controls/CListImplEx.h"
#include "controls/ListFormats.h"
#include "platform/CPoint.h"
#include "platform/CRect.h"

namespace qvtest {

// Where a click on the cell lands; false (and a test failure) when the cell is not shown
// or has no clickable place.
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
  if (format == ITEM_FORMAT_CHECKBOX || format == ITEM_FORMAT_CHECKBOX_3STATE) {
    CRect text;
    place = grid.GetCheckRect(cell, grid.GetItemFlags(row, index), text);
  } else if (format == ITEM_FORMAT_HYPERLINK) {
    place = grid.GetLinkRect(row, column, cell);
  }
  place.IntersectRect(place, client);
  if (place.IsRectEmpty()) {
    ADD_FAILURE() << "grid cell " << row << "," << column << " has no place to click";
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
