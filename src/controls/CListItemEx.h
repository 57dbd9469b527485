#pragma once
// One grid row: a cell per column that existed when the row was added, in creation
// order, and the caller's data word.
#include <string>
#include <vector>

#include "controls/CListSubItemEx.h"

template <class TData>
struct CListItemEx {
  std::vector<CListSubItemEx> m_aSubItems;
  std::wstring m_strToolTip;
  TData m_dwItemData = TData();
};
