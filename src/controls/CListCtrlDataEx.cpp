#include "controls/CListCtrlDataEx.h"

#include <algorithm>
#include <new>

#include "platform/TextConv.h"
#include "platform/WideFormat.h"

template <class TData>
const CListSubItemEx* CListCtrlDataEx<TData>::GetCell(int nItem, int nSubItem) const {
  if (nItem < 0 || nItem >= GetItemCount() || nSubItem < 0) return nullptr;
  const std::vector<CListSubItemEx>& cells = m_aItems[nItem].m_aSubItems;
  return nSubItem < static_cast<int>(cells.size()) ? &cells[nSubItem] : nullptr;
}

template <class TData>
CListSubItemEx* CListCtrlDataEx<TData>::GetCell(int nItem, int nSubItem) {
  return const_cast<CListSubItemEx*>(
      static_cast<const CListCtrlDataEx*>(this)->GetCell(nItem, nSubItem));
}

template <class TData>
int CListCtrlDataEx<TData>::AddItem(LPCWSTR pszText, int nImage, UINT nFormat, UINT nFlags) {
  try {
    Item item;
    CListSubItemEx cell;
    cell.m_nFlags = Base::NormaliseFlags(nFlags);
    cell.m_rgbBackground = this->Colour(Base::CLR_BACKGROUND);
    cell.m_rgbText = this->Colour(Base::CLR_CELL_TEXT);
    item.m_aSubItems.assign(this->m_aColumns.size(), cell);
    if (!item.m_aSubItems.empty()) {
      CListSubItemEx& first = item.m_aSubItems[0];
      first.m_strText = qv::OrEmpty(pszText);
      first.m_nImage = nImage;
      first.m_nFormat = nFormat;
    }
    m_aItems.push_back(std::move(item));
  } catch (const std::bad_alloc&) {
    return -1;
  }
  this->ResetScrollBars();
  return GetItemCount() - 1;
}

template <class TData>
BOOL CListCtrlDataEx<TData>::DeleteItem(int nItem) {
  if (nItem < 0 || nItem >= GetItemCount()) return FALSE;
  m_aItems.erase(m_aItems.begin() + nItem);
  // Group rows name their members by index: forget the deleted one, move the rest up.
  const DWORD deleted = static_cast<DWORD>(nItem);
  for (Item& item : m_aItems) {
    if (item.m_aSubItems.empty()) continue;
    std::vector<DWORD>& tags = item.m_aSubItems[0].m_aTags;
    tags.erase(std::remove(tags.begin(), tags.end(), deleted), tags.end());
    for (DWORD& tag : tags)
      if (tag > deleted) --tag;
  }
  this->OnItemDeleted(nItem);
  return TRUE;
}

template <class TData>
void CListCtrlDataEx<TData>::DeleteAllItems() {
  m_aItems.clear();
  this->OnAllItemsDeleted();
}

template <class TData>
BOOL CListCtrlDataEx<TData>::GetItem(int nItem, Item& item) const {
  if (nItem < 0 || nItem >= GetItemCount()) return FALSE;
  item = m_aItems[nItem];
  return TRUE;
}

template <class TData>
std::wstring CListCtrlDataEx<TData>::GetItemText(int nItem, int nSubItem) const {
  const CListSubItemEx* cell = GetCell(nItem, nSubItem);
  return cell ? cell->m_strText : std::wstring();
}

template <class TData>
BOOL CListCtrlDataEx<TData>::SetItemText(int nItem, int nSubItem, LPCWSTR pszText) {
  return UpdateCell(nItem, nSubItem, TRUE,
                    [&](CListSubItemEx& cell) { cell.m_strText = qv::OrEmpty(pszText); });
}

template <class TData>
int CListCtrlDataEx<TData>::GetItemCheck(int nItem, int nSubItem) const {
  const CListSubItemEx* cell = GetCell(nItem, nSubItem);
  return cell ? cell->m_nCheck : -2;
}

template <class TData>
BOOL CListCtrlDataEx<TData>::SetItemCheck(int nItem, int nSubItem, int nCheck) {
  return UpdateCell(nItem, nSubItem, TRUE, [&](CListSubItemEx& cell) { cell.m_nCheck = nCheck; });
}

template <class TData>
BOOL CListCtrlDataEx<TData>::GetItemData(int nItem, TData& data) const {
  if (nItem < 0 || nItem >= GetItemCount()) return FALSE;
  data = m_aItems[nItem].m_dwItemData;
  return TRUE;
}

template <class TData>
BOOL CListCtrlDataEx<TData>::SetItemData(int nItem, TData data) {
  if (nItem < 0 || nItem >= GetItemCount()) return FALSE;
  m_aItems[nItem].m_dwItemData = data;
  return TRUE;
}

template <class TData>
BOOL CListCtrlDataEx<TData>::SetItemImage(int nItem, int nSubItem, int nImage) {
  return UpdateCell(nItem, nSubItem, TRUE, [&](CListSubItemEx& cell) { cell.m_nImage = nImage; });
}

template <class TData>
BOOL CListCtrlDataEx<TData>::SetItemFormat(int nItem, int nSubItem, UINT nFormat, UINT nFlags) {
  return UpdateCell(nItem, nSubItem, TRUE, [&](CListSubItemEx& cell) {
    cell.m_nFormat = nFormat;
    cell.m_nFlags = nFlags;
  });
}

template <class TData>
UINT CListCtrlDataEx<TData>::GetItemFormat(int nItem, int nSubItem) const {
  const CListSubItemEx* cell = GetCell(nItem, nSubItem);
  if (!cell) return 0;
  return cell->m_nFormat ? cell->m_nFormat : Base::GetItemFormat(nItem, nSubItem);
}

template <class TData>
UINT CListCtrlDataEx<TData>::GetItemFlags(int nItem, int nSubItem) const {
  const CListSubItemEx* cell = GetCell(nItem, nSubItem);
  if (!cell) return 0;
  return cell->m_nFlags ? cell->m_nFlags : Base::GetItemFlags(nItem, nSubItem);
}

template <class TData>
BOOL CListCtrlDataEx<TData>::SetItemFlags(int nItem, int nSubItem, UINT nFlags) {
  return UpdateCell(nItem, nSubItem, FALSE, [&](CListSubItemEx& cell) { cell.m_nFlags = nFlags; });
}

template <class TData>
BOOL CListCtrlDataEx<TData>::SetItemColours(int nItem, int nSubItem, COLORREF rgbBackground,
                                            COLORREF rgbText) {
  return UpdateCell(nItem, nSubItem, TRUE, [&](CListSubItemEx& cell) {
    if (rgbBackground != CLR_INVALID) cell.m_rgbBackground = rgbBackground;
    if (rgbText != CLR_INVALID) cell.m_rgbText = rgbText;
  });
}

template <class TData>
BOOL CListCtrlDataEx<TData>::GetItemComboList(int nItem, int nSubItem,
                                              std::vector<std::wstring>& aList) const {
  const CListSubItemEx* cell = GetCell(nItem, nSubItem);
  if (!cell) return FALSE;
  if (!cell->m_aComboList.empty()) {
    aList = cell->m_aComboList;
  } else {
    const CListColumnEx* column = this->GetColumn(this->GetColumnPosition(nSubItem));
    aList = column ? column->m_aComboList : std::vector<std::wstring>();
  }
  return TRUE;
}

template <class TData>
BOOL CListCtrlDataEx<TData>::SetItemCombo(int nItem, int nSubItem, UINT nFormat, UINT nFlags,
                                          const std::vector<std::wstring>& aList) {
  return UpdateCell(nItem, nSubItem, FALSE, [&](CListSubItemEx& cell) {
    cell.m_nFormat = nFormat;
    cell.m_nFlags = nFlags;
    cell.m_aComboList = aList;
  });
}

template <class TData>
BOOL CListCtrlDataEx<TData>::SetItemComboIndex(int nItem, int nSubItem, int nIndex) {
  const CListSubItemEx* cell = GetCell(nItem, nSubItem);
  if (!cell) return FALSE;
  const std::vector<std::wstring>& list = cell->m_aComboList;
  const bool inList = nIndex >= 0 && nIndex < static_cast<int>(list.size());
  return SetItemText(nItem, nSubItem, inList ? list[nIndex].c_str() : L"");
}

template <class TData>
BOOL CListCtrlDataEx<TData>::AddItemTag(int nItem, DWORD dwTag) {
  CListSubItemEx* cell = GetCell(nItem, 0);
  if (!cell) return FALSE;
  try {
    cell->m_aTags.push_back(dwTag);
  } catch (const std::bad_alloc&) {
    return FALSE;
  }
  return TRUE;
}

template <class TData>
BOOL CListCtrlDataEx<TData>::GetItemTags(int nItem, std::vector<DWORD>& aTags) const {
  const CListSubItemEx* cell = GetCell(nItem, 0);
  if (!cell) return FALSE;
  aTags = cell->m_aTags;
  return TRUE;
}

template <class TData>
int CListCtrlDataEx<TData>::GetCheckedCount(int nColumn) const {
  const int index = this->GetColumnIndex(nColumn);
  if (index < 0) return -1;
  int count = 0;
  for (int i = 0; i < GetItemCount(); ++i) {
    const CListSubItemEx* cell = GetCell(i, index);
    if (cell && cell->m_nCheck > 0) ++count;
  }
  return count;
}

template <class TData>
BOOL CListCtrlDataEx<TData>::FormatDateCell(int nItem, int nSubItem, const SYSTEMTIME& stDate) {
  const std::wstring text = qv::FormatW(L"%04d%02d%02d%02d%02d%02d", stDate.wYear, stDate.wMonth,
                                        stDate.wDay, stDate.wHour, stDate.wMinute, stDate.wSecond);
  return SetItemText(nItem, nSubItem, text.c_str());
}

template <class TData>
void CListCtrlDataEx<TData>::SortItems(int nSubItem, BOOL bReverse) {
  const int count = GetItemCount();
  std::vector<int> order(count);
  for (int i = 0; i < count; ++i) order[i] = i;
  if (bReverse) {
    std::reverse(order.begin(), order.end());
  } else {
    static const std::wstring kNone;
    std::vector<const std::wstring*> texts(count);
    for (int i = 0; i < count; ++i) {
      const CListSubItemEx* cell = GetCell(i, nSubItem);
      texts[i] = cell ? &cell->m_strText : &kNone;
    }
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return *texts[a] < *texts[b]; });
  }
  std::vector<Item> sorted;
  sorted.reserve(count);
  std::vector<DWORD> moved(count);
  for (int i = 0; i < count; ++i) {
    sorted.push_back(std::move(m_aItems[order[i]]));
    moved[order[i]] = static_cast<DWORD>(i);
  }
  m_aItems.swap(sorted);
  for (Item& item : m_aItems) {
    if (item.m_aSubItems.empty()) continue;
    for (DWORD& tag : item.m_aSubItems[0].m_aTags)
      if (tag < moved.size()) tag = moved[tag];
  }
}

template class CListCtrlDataEx<unsigned long>;
