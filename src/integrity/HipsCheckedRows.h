#pragma once
// The checked rows of a HIPS grid (check box in column 0): how many, and the one row
// when exactly one is checked (-1 otherwise). Modify follows one, delete any.
#include "controls/CListCtrlDataEx.h"

inline int CountHipsCheckedRows(const CListCtrlDataEx<unsigned long>& grid, int& oneRow) {
  int count = 0;
  oneRow = -1;
  for (int row = 0; row < grid.GetItemCount(); ++row) {
    if (grid.GetItemCheck(row, 0) <= 0) continue;
    ++count;
    oneRow = row;
  }
  if (count != 1) oneRow = -1;
  return count;
}
