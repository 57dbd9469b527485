#pragma once
// One column of the grid. Columns keep the order in which they were added, so a
// column's display position and its creation index are the same number.
#include <windows.h>

#include <string>
#include <vector>

struct CListColumnEx {
  std::wstring m_strText;
  int m_nWidth = 0;
  BOOL m_bFixed = FALSE;     // the width never changes
  BOOL m_bSortable = FALSE;  // a header click sorts by this column
  UINT m_nFormat = 0;        // default format of the column's cells
  UINT m_nFlags = 0;         // default flags, stored normalised
  int m_nImage = -1;         // header image from the grid's own strip
  int m_nIndex = 0;          // creation index: where this column's cell sits in a row
  std::vector<std::wstring> m_aComboList;  // default choices (nothing fills it)
};
