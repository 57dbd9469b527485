// What the grid does with the mouse: selection, presses on check boxes and clickable
// cells, drag (band) selection, row tips and title tips. A parent's handler may remove or
// reorder rows while a notification is being sent; a handler here then stops using the
// row indices it held.
#include "controls/CListImplEx.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>

#include "controls/CListCtrlDataEx.h"

namespace {

const int kHeaderDragSlop = 4;      // a header press moved further is no click
const int kBandDragSlop = 3;        // a press moved further starts a drag selection
const DWORD kBandScrollPause = 10;  // ms between the drag selection's scroll steps
const UINT kBandTickMs = 20;
const UINT_PTR kRowToolId = 1000;
const size_t kRowTipLimit = 32767;  // characters
bool IsCheckFormat(UINT nFormat) {
  return nFormat == ITEM_FORMAT_CHECKBOX || nFormat == ITEM_FORMAT_CHECKBOX_3STATE;
}

}  // namespace

// ---------------------------------------------------------------- mouse

template <class T>
LRESULT CListImplEx<T>::OnLButtonDown(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  const CPoint pt(lParam);
  UINT flags = static_cast<UINT>(wParam);
  HideTitleTip();
  m_ptDown = pt;
  m_ptDownContent = CPoint(pt.x + ::GetScrollPos(this->m_hWnd, SB_HORZ),
                           pt.y + ::GetScrollPos(this->m_hWnd, SB_VERT));
  StopSmoothScroll();
  ::SetFocus(this->m_hWnd);  // ends an open edit
  if (m_bMultiSelect) {
    ::SetCapture(this->m_hWnd);
    m_bButtonDown = TRUE;
  }
  int item = -1, column = -1;
  BOOL divider = FALSE;
  if (HitTestHeader(pt, column, divider)) {
    ::SetCapture(this->m_hWnd);
    m_bButtonDown = TRUE;
    m_bPressedSortable = m_aColumns[column].m_bSortable;
    if (divider && !m_aColumns[column].m_bFixed) {
      ::SetCursor(m_curDivider);
      CPoint screen = pt;
      this->ClientToScreen(&screen);
      m_bResizing = TRUE;
      m_nResizeColumn = column;
      m_nResizeWidth = m_aColumns[column].m_nWidth;
      m_nResizeX = screen.x;
      return 0;
    }
    m_nPressedColumn = column;
    Redraw();
  } else if (HitTestItem(pt, item, column)) {
    ::SetCursor(m_curArrow);
    if (!m_bMultiSelect) flags &= ~(MK_SHIFT | MK_CONTROL);
    const int rowsChanged = m_nRowsChanged;
    // A press inside a selection of several rows keeps it for a drag; the release
    // reduces it to this row.
    if (!IsItemSelected(item) || GetSelectedCount() <= 1 || (flags & (MK_SHIFT | MK_CONTROL)))
      SelectItem(item, column, flags);
    if (rowsChanged == m_nRowsChanged) PressCell(item, column, pt);
  } else {
    m_nAnchorItem = -1;
  }
  this->SendMessage(WM_MOUSEMOVE, wParam, lParam);
  return 0;
}

template <class T>
LRESULT CListImplEx<T>::OnLButtonUp(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  const CPoint pt(lParam);
  const UINT flags = static_cast<UINT>(wParam);
  if (m_bButtonDown && ::GetCapture() == this->m_hWnd) ::ReleaseCapture();
  if (m_bResizing || m_nPressedColumn >= 0) {
    const int pressed = m_nPressedColumn;
    const BOOL sort = pressed >= 0 && m_bPressedSortable && !m_bResizing;
    EndResize();
    m_nPressedColumn = -1;
    if (sort) SortColumn(pressed);
    Redraw();
  }
  m_bButtonDown = FALSE;
  m_ptDown = m_ptDownContent = CPoint();
  if (m_bSelecting) {  // the end of a drag selection is no click
    EndDragSelect();
    this->SendMessage(WM_MOUSEMOVE, wParam, lParam);
    return 0;
  }
  int item, column;
  if (HitTestItem(pt, item, column)) {
    ToggleGroup(item);
    if (IsItemSelected(item) && GetSelectedCount() > 1 && !(flags & (MK_SHIFT | MK_CONTROL)))
      SelectItem(item, column, flags);
    HitTestItem(pt, item, column);  // the page may have changed the rows meanwhile
  }
  NotifyParent(item, column, LIST_NOTIFY_CLICK);
  this->SendMessage(WM_MOUSEMOVE, wParam, lParam);
  return 0;
}

template <class T>
LRESULT CListImplEx<T>::OnLButtonDblClk(UINT, WPARAM, LPARAM lParam, BOOL&) {
  const CPoint pt(lParam);
  HideTitleTip();
  this->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, lParam);
  int item, column;
  BOOL divider;
  if (HitTestHeader(pt, column, divider) && divider) AutoSizeColumn(column);
  HitTestItem(pt, item, column);
  NotifyParent(item, column, LIST_NOTIFY_DBLCLICK);
  return 0;
}

template <class T>
LRESULT CListImplEx<T>::OnRButtonDown(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  StopSmoothScroll();
  ::SetFocus(this->m_hWnd);
  HideTitleTip();
  ::SetCursor(m_curArrow);
  int item, column;
  if (HitTestItem(CPoint(lParam), item, column) && !IsItemSelected(item))
    SelectItem(item, column, static_cast<UINT>(wParam));
  return 0;
}

template <class T>
LRESULT CListImplEx<T>::OnRButtonUp(UINT, WPARAM, LPARAM lParam, BOOL&) {
  int item, column;
  if (!HitTestItem(CPoint(lParam), item, column)) {
    m_setSelectedItems.clear();
    m_nAnchorItem = m_nFocusItem = m_nFocusSubItem = -1;
    Redraw();
  }
  NotifyParent(item, column, LIST_NOTIFY_RCLICK);
  return 0;
}

template <class T>
LRESULT CListImplEx<T>::OnMouseMove(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  const CPoint pt(lParam);
  const bool held = (wParam & MK_LBUTTON) != 0;
  if (m_bResizing && held) {
    CPoint screen = pt;
    this->ClientToScreen(&screen);
    ResizeColumn(screen.x);
    return 0;
  }
  if (m_bButtonDown) {
    const int moved = std::max(std::abs(pt.x - m_ptDown.x), std::abs(pt.y - m_ptDown.y));
    // A header press that moves away is no click: no sort on the release, and no drag
    // selection from it either.
    if (m_nPressedColumn >= 0) {
      if (moved > kHeaderDragSlop) {
        if (::GetCapture() == this->m_hWnd) ::ReleaseCapture();
        HideTitleTip();
        m_wndDropArrows.Hide();
        m_nPressedColumn = -1;
        m_bButtonDown = FALSE;
        Redraw();
      }
      return 0;
    }
    if (m_bMultiSelect && !m_bResizing && !m_bSelecting && !m_bEditing && moved > kBandDragSlop)
      m_bSelecting = TRUE;
    if (m_bSelecting) DragSelect(pt);
    return 0;
  }
  if (!held && ::GetCapture() == this->m_hWnd) ::ReleaseCapture();
  if (!m_bMouseTracked) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, this->m_hWnd, 0};
    m_bMouseTracked = ::TrackMouseEvent(&track);
  }
  int item, column;
  BOOL divider;
  if (HitTestHeader(pt, column, divider)) {
    HideTitleTip();
    if (divider && !m_aColumns[column].m_bFixed) ::SetCursor(m_curDivider);
    SetHotCell(-1, -1);
  } else if (HitTestItem(pt, item, column)) {
    ::SetCursor(m_curArrow);
    SetHotCell(item, column);
    const int index = GetColumnIndex(column);
    CRect cell;
    if (GetItemFormat(item, index) == ITEM_FORMAT_HYPERLINK &&
        !(GetItemFlags(item, index) & ITEM_FLAGS_READ_ONLY) && GetItemRect(item, column, cell)) {
      cell.right -= 1;
      if (GetLinkRect(item, column, cell).PtInRect(pt)) ::SetCursor(m_curHyperLink);
    }
    if (GetItemFormat(item, index) != ITEM_FORMAT_GROUP) {
      SetRowTip(item);
      OfferTitleTip(item, column, pt);
    }
  } else {
    SetHotCell(-1, -1);
    SetRowTip(-1);
    HideTitleTip();
  }
  return 0;
}

template <class T>
LRESULT CListImplEx<T>::OnMouseRelay(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
  if (m_wndToolTip.IsWindow()) {
    const MSG* current = this->GetCurrentMessage();
    MSG relay = current ? *current : MSG{this->m_hWnd, uMsg, wParam, lParam, 0, {0, 0}};
    m_wndToolTip.RelayEvent(&relay);
  }
  bHandled = FALSE;
  return 0;
}

template <class T>
void CListImplEx<T>::SetRowTip(int nItem) {
  std::wstring text = nItem >= 0 ? Self()->GetItemToolTip(nItem) : std::wstring();
  if (text.size() > kRowTipLimit) text.resize(kRowTipLimit);
  CRect row;
  if (text.empty() || !GetItemRect(nItem, -1, row)) nItem = -1;
  // The same tool again would be added twice, and a tool taken away hides its tip: only
  // a change replaces it.
  if (nItem == m_nRowTipItem && (nItem < 0 || (row == m_rcRowTip && text == m_strRowTip))) return;
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = this->m_hWnd;
  tool.uId = kRowToolId;
  if (m_nRowTipItem >= 0) m_wndToolTip.DelTool(&tool);
  m_nRowTipItem = nItem;
  m_rcRowTip = row;
  m_strRowTip.swap(text);
  if (nItem < 0) return;
  tool.rect = row;
  tool.lpszText = &m_strRowTip[0];
  m_wndToolTip.AddTool(&tool);
}

template <class T>
void CListImplEx<T>::DragSelect(POINT pt) {
  CRect client;
  ::GetClientRect(this->m_hWnd, &client);
  const int header = GetHeaderHeight();
  const DWORD now = ::GetTickCount();
  if (now - m_dwBandScrollTime >= kBandScrollPause) {
    const int top = ::GetScrollPos(this->m_hWnd, SB_VERT);
    const int left = ::GetScrollPos(this->m_hWnd, SB_HORZ);
    // A row a step, directly: a line step of the bar would animate, and the band is not
    // drawn over the animation.
    if (pt.y < header)
      ::SetScrollPos(this->m_hWnd, SB_VERT, std::max(0, top - m_nItemHeight), FALSE);
    else if (pt.y >= client.bottom)
      ::SetScrollPos(this->m_hWnd, SB_VERT, top + m_nItemHeight, FALSE);  // kept in range
    if (pt.x < client.left || pt.x >= client.right)
      this->SendMessage(WM_HSCROLL, pt.x < client.left ? SB_LINELEFT : SB_LINERIGHT, 0);
    if (top != ::GetScrollPos(this->m_hWnd, SB_VERT) || left != ::GetScrollPos(this->m_hWnd, SB_HORZ))
      m_dwBandScrollTime = now;
  }
  // From the press to the pointer in content coordinates, so it grows as the view scrolls.
  CRect band(std::min<int>(m_ptDownContent.x, pt.x + ::GetScrollPos(this->m_hWnd, SB_HORZ)),
             std::min<int>(m_ptDownContent.y, pt.y + ::GetScrollPos(this->m_hWnd, SB_VERT)),
             std::max<int>(m_ptDownContent.x, pt.x + ::GetScrollPos(this->m_hWnd, SB_HORZ)),
             std::max<int>(m_ptDownContent.y, pt.y + ::GetScrollPos(this->m_hWnd, SB_VERT)));
  if (band.IsRectEmpty() || m_nItemHeight <= 0) return;
  m_rcSelect = band;
  m_setSelectedItems.clear();
  const int count = Self()->GetItemCount();
  int first = 0, last = -1;
  if (band.left <= GetTotalWidth() && band.bottom >= header) {
    first = std::max<int>(0, (band.top - header) / m_nItemHeight);
    last = std::min<int>(count - 1, (band.bottom - header) / m_nItemHeight);
    for (int i = first; i <= last; ++i) m_setSelectedItems.insert(i);
  }
  if (m_setSelectedItems.empty()) {
    m_nAnchorItem = -1;
  } else {
    m_nAnchorItem = first;
    m_nFocusItem = last;
  }
  m_nFocusSubItem = -1;
  this->SetTimer(kTimerSelectBand, kBandTickMs);
  ::RedrawWindow(this->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

template <class T>
void CListImplEx<T>::EndDragSelect() {
  this->KillTimer(kTimerSelectBand);
  m_bSelecting = FALSE;
  m_rcSelect.SetRectEmpty();
  Redraw();
}

template <class T>
void CListImplEx<T>::HideTitleTip() {
  m_wndTitleTip.Hide();
  m_nTipItem = m_nTipSubItem = -1;
  m_bTipShown = FALSE;
}

template <class T>
void CListImplEx<T>::OfferTitleTip(int nItem, int nSubItem, POINT pt) {
  // Once per cell, and again only when its tip has hidden itself.
  if (m_bEditing || (nItem == m_nTipItem && nSubItem == m_nTipSubItem &&
                     (!m_bTipShown || m_wndTitleTip.IsWindowVisible())))
    return;
  HideTitleTip();
  const int index = GetColumnIndex(nSubItem);
  const UINT format = GetItemFormat(nItem, index), flags = GetItemFlags(nItem, index);
  CRect cell;
  if (!IsItemVisible(nItem, nSubItem, FALSE) || !GetItemRect(nItem, nSubItem, cell)) return;
  cell.right -= 1;  // as painted
  CRect text = GetCellTextRect(nItem, nSubItem, cell);
  const bool check = IsCheckFormat(format), boxLeft = check && (flags & ITEM_FLAGS_LEFT);
  if (boxLeft) GetCheckRect(cell, flags, text);
  if (!CRect(text.left, cell.top, cell.right, cell.bottom).PtInRect(pt)) return;
  m_nTipItem = nItem;
  m_nTipSubItem = nSubItem;
  // Only where text is drawn: beside a check box on the left, not in a bar or a row
  // drawn across.
  if (format == ITEM_FORMAT_PROGRESS || format == ITEM_FORMAT_GROUP ||
      format == ITEM_FORMAT_CUSTOM || (check && !boxLeft))
    return;
  const std::wstring shown = format == ITEM_FORMAT_DATETIME ? GetItemDateText(nItem, index)
                                                            : Self()->GetItemText(nItem, index);
  CRect place(text.left, cell.top, text.right, cell.bottom);
  ::MapWindowPoints(this->m_hWnd, nullptr, reinterpret_cast<POINT*>(&place), 2);
  m_bTipShown = m_wndTitleTip.Show(place, shown.c_str(), Self()->GetItemToolTip(nItem).c_str());
}

template <class T>
LRESULT CListImplEx<T>::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&) {
  m_bMouseTracked = FALSE;
  SetHotCell(-1, -1);
  Redraw();
  return 0;
}

template <class T>
LRESULT CListImplEx<T>::OnCancelMode(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  if (m_bButtonDown && ::GetCapture() == this->m_hWnd) ::ReleaseCapture();
  // No release comes after this: a divider drag ends here too, or the next press over
  // the rows would go on sizing the column; a drag selection would follow the pointer.
  EndResize();
  if (m_bSelecting) EndDragSelect();
  m_bButtonDown = FALSE;
  HideTitleTip();
  m_wndDropArrows.Hide();
  if (m_nPressedColumn >= 0) {
    m_nPressedColumn = -1;
    Redraw();
  }
  bHandled = FALSE;
  return 0;
}

// The class itself is instantiated with the rest of its members in CListImplEx.cpp.
using Grid = CListImplEx<CListCtrlDataEx<unsigned long>>;
template LRESULT Grid::OnLButtonDown(UINT, WPARAM, LPARAM, BOOL&);
template LRESULT Grid::OnLButtonUp(UINT, WPARAM, LPARAM, BOOL&);
template LRESULT Grid::OnLButtonDblClk(UINT, WPARAM, LPARAM, BOOL&);
template LRESULT Grid::OnRButtonDown(UINT, WPARAM, LPARAM, BOOL&);
template LRESULT Grid::OnRButtonUp(UINT, WPARAM, LPARAM, BOOL&);
template LRESULT Grid::OnMouseMove(UINT, WPARAM, LPARAM, BOOL&);
template LRESULT Grid::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&);
template LRESULT Grid::OnCancelMode(UINT, WPARAM, LPARAM, BOOL&);
template LRESULT Grid::OnMouseRelay(UINT, WPARAM, LPARAM, BOOL&);
template void Grid::SetRowTip(int);
template void Grid::DragSelect(POINT);
template void Grid::EndDragSelect();
template void Grid::HideTitleTip();
template void Grid::OfferTitleTip(int, int, POINT);
