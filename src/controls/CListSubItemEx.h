#pragma once
// One cell of a grid row.
#include <windows.h>

#include <string>
#include <vector>

struct CListSubItemEx {
  std::wstring m_strText;  // date cells: "YYYYMMDDhhmmss", empty for no date
  int m_nCheck = 0;        // 0, 1, or -1 for the third state
  int m_nImage = -1;       // index in the caller's image list
  UINT m_nFormat = 0;      // 0: the column's
  UINT m_nFlags = 0;       // 0: the column's
  HFONT m_hFont = nullptr;  // null: the grid's font
  COLORREF m_rgbBackground = 0;
  COLORREF m_rgbText = 0;
  std::vector<std::wstring> m_aComboList;  // empty: the column's
  std::vector<DWORD> m_aTags;  // a group row's first cell: the rows of the group
};
