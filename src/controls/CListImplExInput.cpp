// What the grid does with the rows and cells under the pointer: the focus and the row
// kept in view, the hit tests, check toggles, clickable cells, sorting and the grid's
// timers. The mouse, the keys and in-place editing have files of their own.
#include "controls/CListImplEx.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>

#include "controls/CListCtrlDataEx.h"
#include "platform/CWindowDCs.h"

namespace {

bool IsCheckFormat(UINT nFormat) {
  return nFormat == ITEM_FORMAT_CHECKBOX || nFormat == ITEM_FORMAT_CHECKBOX_3STATE;
}

}  // namespace

// ---------------------------------------------------------------- focus and visibility

template <class T>
BOOL CListImplEx<T>::GetFocusItem(int& nItem, int& nSubItem) const {
  nSubItem = m_bFocusSubItem ? m_nFocusSubItem : -1;
  nItem = IsItemSelected(m_nFocusItem) ? m_nFocusItem
          : m_setSelectedItems.empty() ? -1
                                       : *m_setSelectedItems.begin();
  // A selected index past the rows names no row.
  if (nItem >= Self()->GetItemCount()) nItem = -1;
  return nItem != -1;
}

template <class T>
BOOL CListImplEx<T>::SetFocusItem(int nItem, int nSubItem) {
  m_nFocusItem = nItem;
  m_nFocusSubItem = nSubItem;
  return EnsureItemVisible(nItem, nSubItem);
}

template <class T>
BOOL CListImplEx<T>::EnsureItemVisible(int nItem, int nSubItem) {
  if (nItem < 0 || nItem >= Self()->GetItemCount() || m_nItemHeight <= 0) return FALSE;
  const int top = GetTopIndex(), page = GetCountPerPage(FALSE);
  int newTop = top;
  if (nItem < top)
    newTop = nItem;
  else if (nItem >= top + page)
    newTop = nItem - page + 1;
  BOOL moved = FALSE;
  if (newTop != top) {
    ::SetScrollPos(this->m_hWnd, SB_VERT, newTop * m_nItemHeight, FALSE);
    moved = TRUE;
  }
  CRect column, client;
  if (m_bScrollToCell && GetColumnRect(nSubItem, column)) {
    ::GetClientRect(this->m_hWnd, &client);
    const int position = ::GetScrollPos(this->m_hWnd, SB_HORZ);
    if (column.left < 0 || column.Width() > client.Width()) {
      ScrollHorizontally(position + column.left);
      moved = TRUE;
    } else if (column.right > client.right) {
      ScrollHorizontally(position + column.right - client.right);
      moved = TRUE;
    }
  }
  if (moved) Redraw();
  return TRUE;
}

// ---------------------------------------------------------------- hit tests

template <class T>
BOOL CListImplEx<T>::HitTestItem(POINT pt, int& nItem, int& nSubItem) const {
  nItem = nSubItem = -1;
  const int header = GetHeaderHeight();
  if (pt.y < header || m_nItemHeight <= 0) return FALSE;
  const int row = GetTopIndex() + (pt.y - header) / m_nItemHeight;
  if (row >= Self()->GetItemCount() || (GetItemFlags(row, 0) & ITEM_FLAGS_HIDDEN)) return FALSE;
  const int x = pt.x + ::GetScrollPos(this->m_hWnd, SB_HORZ);
  int right = 0;
  for (int i = 0; i < GetColumnCount(); ++i) {
    right += m_aColumns[i].m_nWidth;
    if (x > right - m_aColumns[i].m_nWidth && x < right) {
      nItem = row;
      nSubItem = i;
      return TRUE;
    }
  }
  return FALSE;
}

template <class T>
BOOL CListImplEx<T>::HitTestHeader(POINT pt, int& nColumn, BOOL& bDivider) const {
  nColumn = -1;
  bDivider = FALSE;
  if (!m_bShowHeader || pt.y < 0 || pt.y >= m_nHeaderHeight) return FALSE;
  const int count = GetColumnCount();
  int right = -::GetScrollPos(this->m_hWnd, SB_HORZ);
  for (int i = 0; i < count; ++i) {
    const int left = right;
    right += m_aColumns[i].m_nWidth;
    if (pt.x >= right - 5 && pt.x <= right + 4) {
      // Right of the edge, the columns of no width that follow share it: the last of
      // them is the one a drag can widen again.
      if (pt.x > right)
        while (i + 1 < count && m_aColumns[i + 1].m_nWidth == 0) ++i;
      nColumn = i;
      bDivider = TRUE;
      return TRUE;
    }
    if (pt.x > left && pt.x < right) {
      nColumn = i;
      return TRUE;
    }
  }
  return FALSE;
}

template <class T>
CRect CListImplEx<T>::TextArea(int nColumn, const CRect& rcCell) {
  CRect rc = rcCell;
  rc.left += nColumn == 0 ? 4 : 3;
  rc.DeflateRect(4, 0, 4, 0);
  return rc;
}

template <class T>
CRect CListImplEx<T>::GetCellTextRect(int nItem, int nColumn, const CRect& rcCell) const {
  CRect rc = TextArea(nColumn, rcCell);
  if (m_hCellImages && GetItemImage(nItem, GetColumnIndex(nColumn)) != -1)
    rc.left += ImageSize(m_hCellImages).cx + 4;
  return rc;
}

// Where a clickable cell is drawn: its image and the extent of its text in the cell's
// font, placed as painting places them. A link that is only an image (the audit detail's
// magnifier) is clicked on the image.
template <class T>
CRect CListImplEx<T>::GetLinkRect(int nItem, int nSubItem, const CRect& rcCell) const {
  const int index = GetColumnIndex(nSubItem);
  const CListSubItemEx* cell = Self()->GetCell(nItem, index);
  if (!cell) return CRect();
  CRect link;
  const CRect textArea = TextArea(nSubItem, rcCell);
  if (m_hCellImages && cell->m_nImage != -1 && !textArea.IsRectEmpty()) {
    const SIZE image = ImageSize(m_hCellImages);
    const int x = cell->m_strText.empty()
                      ? textArea.left + (textArea.Width() - image.cx) / 2 - (IsThemed() ? 1 : 0)
                      : textArea.left;
    const int y = rcCell.top + (rcCell.Height() - image.cy) / 2;
    link = CRect(x, y, x + image.cx, y + image.cy);
    link.IntersectRect(link, rcCell);
  }
  const CRect area = GetCellTextRect(nItem, nSubItem, rcCell);
  if (cell->m_strText.empty() || area.IsRectEmpty()) return link;
  SIZE size{};
  {
    CClientDC dc(this->m_hWnd);
    HGDIOBJ old = ::SelectObject(dc, GetItemFont(nItem, index));
    ::GetTextExtentPoint32W(dc, cell->m_strText.c_str(), static_cast<int>(cell->m_strText.size()),
                            &size);
    ::SelectObject(dc, old);
  }
  const int width = std::min<int>(size.cx, area.Width());
  const UINT flags = GetItemFlags(nItem, index);
  int left = area.left;
  if (flags & ITEM_FLAGS_CENTRE)
    left += (area.Width() - width) / 2;
  else if (flags & ITEM_FLAGS_RIGHT)
    left = area.right - width;
  const int top = area.top + (area.Height() - size.cy) / 2;
  const CRect text(left, top, left + width, top + size.cy);
  if (link.IsRectEmpty()) return text;
  link.UnionRect(link, text);
  return link;
}

// ---------------------------------------------------------------- cells under the mouse

template <class T>
void CListImplEx<T>::PressCell(int nItem, int nSubItem, POINT pt) {
  const int index = GetColumnIndex(nSubItem);
  const UINT flags = GetItemFlags(nItem, index), format = GetItemFormat(nItem, index);
  CRect cell;
  if ((flags & ITEM_FLAGS_READ_ONLY) || !GetItemRect(nItem, nSubItem, cell)) return;
  cell.right -= 1;  // as painted: the grid line is the neighbour's
  if (IsCheckFormat(format)) {
    CRect text = GetCellTextRect(nItem, nSubItem, cell);
    if (GetCheckRect(cell, flags, text).PtInRect(pt)) ToggleCheck(nItem, nSubItem);
  } else if (format == ITEM_FORMAT_HYPERLINK && GetLinkRect(nItem, nSubItem, cell).PtInRect(pt)) {
    NotifyParent(nItem, nSubItem, LIST_NOTIFY_CELLCLICKED);
  }
}

template <class T>
BOOL CListImplEx<T>::ToggleCheck(int nItem, int nSubItem) {
  const int index = GetColumnIndex(nSubItem);
  const UINT format = GetItemFormat(nItem, index);
  const int check = Self()->GetItemCheck(nItem, index);
  if (!IsCheckFormat(format) || (GetItemFlags(nItem, index) & ITEM_FLAGS_READ_ONLY) || check == -2)
    return FALSE;
  int next = check == 0 ? 1 : 0;
  if (format == ITEM_FORMAT_CHECKBOX_3STATE) next = check < 0 ? 0 : check == 0 ? 1 : -1;
  Self()->SetItemCheck(nItem, index, next);
  NotifyParent(nItem, nSubItem, LIST_NOTIFY_CELLCHANGED);
  return TRUE;
}

// A group row's release folds its members in, or out again.
template <class T>
void CListImplEx<T>::ToggleGroup(int nItem) {
  std::vector<DWORD> members;
  if (GetItemFormat(nItem, 0) != ITEM_FORMAT_GROUP || !Self()->GetItemTags(nItem, members) ||
      members.empty())
    return;
  const UINT flags =
      GetItemFlags(static_cast<int>(members[0]), 0) == ITEM_FLAGS_HIDDEN ? 0u : UINT{ITEM_FLAGS_HIDDEN};
  for (DWORD member : members) SetItemFlags(static_cast<int>(member), 0, flags);
  Redraw();
}

template <class T>
void CListImplEx<T>::InvalidateLink(int nItem, int nSubItem) {
  const int index = GetColumnIndex(nSubItem);
  CRect cell;
  if (GetItemFormat(nItem, index) == ITEM_FORMAT_HYPERLINK &&
      !(GetItemFlags(nItem, index) & ITEM_FLAGS_READ_ONLY) && GetItemRect(nItem, nSubItem, cell))
    ::InvalidateRect(this->m_hWnd, &cell, FALSE);
}

template <class T>
void CListImplEx<T>::SetHotCell(int nItem, int nSubItem) {
  if (nItem == m_nHotItem && nSubItem == m_nHotSubItem) return;
  InvalidateLink(m_nHotItem, m_nHotSubItem);
  m_nHotItem = nItem;
  m_nHotSubItem = nSubItem;
  InvalidateLink(nItem, nSubItem);
}

template <class T>
void CListImplEx<T>::OnItemsReordered() {
  m_setSelectedItems.clear();
  m_nAnchorItem = m_nFocusItem = m_nFocusSubItem = m_nHotItem = m_nEditItem = -1;
  ++m_nRowsChanged;
  Redraw();
}

// ---------------------------------------------------------------- sorting

template <class T>
BOOL CListImplEx<T>::SortColumn(int nColumn) {
  const CListColumnEx* column = GetColumn(nColumn);
  if (!column || !m_bShowHeader || !m_bSortEnabled) return FALSE;
  EndEdit();  // the edited value goes into its row before the rows move
  HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
  const BOOL again = column->m_nIndex == m_nSortColumn;
  m_bSortAscending = again ? !m_bSortAscending : TRUE;
  m_nSortColumn = column->m_nIndex;
  Self()->SortItems(m_nSortColumn, again);
  OnItemsReordered();
  ::SetCursor(previous);
  return TRUE;
}

// ---------------------------------------------------------------- timers

template <class T>
LRESULT CListImplEx<T>::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  switch (wParam) {
    case kTimerAutoShrink:
      AutoShrinkTick();
      break;
    case kTimerDelayedEdit:
      this->KillTimer(kTimerDelayedEdit);
      // The cell that was clicked, now that its row has scrolled in.
      if (m_nFocusItem >= 0 && m_nFocusSubItem >= 0) EditItem(m_nFocusItem, m_nFocusSubItem);
      break;
    case kTimerSmoothScroll:
      SmoothScrollTick();
      break;
    case kTimerSelectBand: {
      if (!m_bSelecting) {
        this->KillTimer(kTimerSelectBand);
        break;
      }
      POINT cursor{};
      ::GetCursorPos(&cursor);
      this->ScreenToClient(&cursor);
      DragSelect(cursor);
      break;
    }
    default:
      bHandled = FALSE;
      break;
  }
  return 0;
}

// The class itself is instantiated with the rest of its members in CListImplEx.cpp.
using Grid = CListImplEx<CListCtrlDataEx<unsigned long>>;
template BOOL Grid::GetFocusItem(int&, int&) const;
template BOOL Grid::SetFocusItem(int, int);
template BOOL Grid::EnsureItemVisible(int, int);
template BOOL Grid::HitTestItem(POINT, int&, int&) const;
template BOOL Grid::HitTestHeader(POINT, int&, BOOL&) const;
template CRect Grid::TextArea(int, const CRect&);
template CRect Grid::GetCellTextRect(int, int, const CRect&) const;
template CRect Grid::GetLinkRect(int, int, const CRect&) const;
template void Grid::PressCell(int, int, POINT);
template BOOL Grid::ToggleCheck(int, int);
template void Grid::ToggleGroup(int);
template void Grid::InvalidateLink(int, int);
template void Grid::SetHotCell(int, int);
template void Grid::OnItemsReordered();
template BOOL Grid::SortColumn(int);
template LRESULT Grid::OnTimer(UINT, WPARAM, LPARAM, BOOL&);
