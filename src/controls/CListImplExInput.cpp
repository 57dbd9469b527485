// What the grid does with the mouse and the keys: selection, check toggles, clickable
// cells, sorting, type-ahead, the start and end of in-place edits, and the notifications
// to the parent. A parent's handler may remove or reorder rows while a notification is
// being sent; a handler here then stops using the row indices it held.
#include "controls/CListImplEx.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>

#include "controls/CListCtrlDataEx.h"
#include "platform/CWindowDCs.h"

namespace {

const DWORD kTypeAheadPause = 800;  // ms between letters that still extend the search
const int kHeaderDragSlop = 4;      // a header press moved further is no click
const int kBandDragSlop = 3;        // a press moved further starts a drag selection
const DWORD kBandScrollPause = 10;  // ms between the drag selection's scroll steps
const UINT kBandTickMs = 20;
const UINT_PTR kRowToolId = 1000;
const size_t kRowTipLimit = 32767;  // characters

bool IsCheckFormat(UINT nFormat) {
  return nFormat == ITEM_FORMAT_CHECKBOX || nFormat == ITEM_FORMAT_CHECKBOX_3STATE;
}

bool IsEditFormat(UINT nFormat) {
  return nFormat == ITEM_FORMAT_EDIT || nFormat == ITEM_FORMAT_DATETIME ||
         nFormat == ITEM_FORMAT_COMBO;
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

// ---------------------------------------------------------------- editing

template <class T>
HWND CListImplEx<T>::ShowEditor(int nItem, int nSubItem, UINT nFormat, UINT nFlags,
                                const CRect& rcCell, const std::vector<std::wstring>& aChoices) {
  const int index = GetColumnIndex(nSubItem);
  const CListSubItemEx* cell = Self()->GetCell(nItem, index);
  const wchar_t* text = cell ? cell->m_strText.c_str() : L"";
  switch (nFormat) {
    case ITEM_FORMAT_EDIT:
      return m_wndItemEdit.Create(this->m_hWnd, nItem, nSubItem, rcCell, nFlags, text);
    case ITEM_FORMAT_DATETIME: {
      SYSTEMTIME date;
      GetItemDate(nItem, index, date);
      return m_wndItemDate.Create(this->m_hWnd, nItem, nSubItem, rcCell, nFlags, date);
    }
    case ITEM_FORMAT_COMBO:
      return m_wndItemCombo.Create(this->m_hWnd, nItem, nSubItem, rcCell, nFlags, text, m_bThemed,
                                   aChoices);
    default:
      return nullptr;
  }
}

template <class T>
BOOL CListImplEx<T>::EditItem(int nItem, int nSubItem) {
  const int index = GetColumnIndex(nSubItem);
  CRect cell;
  if (index < 0 || !EnsureItemVisible(nItem, nSubItem) || ::GetFocus() != this->m_hWnd ||
      !GetItemRect(nItem, nSubItem, cell))
    return FALSE;
  const UINT flags = GetItemFlags(nItem, index), format = GetItemFormat(nItem, index);
  if ((flags & ITEM_FLAGS_READ_ONLY) || !IsEditFormat(format)) return TRUE;
  std::vector<std::wstring> choices;
  if (format == ITEM_FORMAT_COMBO && !Self()->GetItemComboList(nItem, index, choices)) return FALSE;
  m_bEditing = TRUE;
  m_nEditItem = nItem;
  m_nEditSubItem = nSubItem;
  ::RedrawWindow(this->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  m_hWndEditor = ShowEditor(nItem, nSubItem, format, flags, cell, choices);
  if (m_hWndEditor) return TRUE;
  m_bEditing = FALSE;
  m_nEditItem = m_nEditSubItem = -1;
  Redraw();
  return FALSE;
}

template <class T>
BOOL CListImplEx<T>::EndEdit() {
  if (!m_bEditing) return TRUE;
  // An editor ends its edit as it loses the focus; one that does not hold it (its own
  // drop-down does) is told so directly.
  ::SetFocus(this->m_hWnd);
  if (m_bEditing && ::IsWindow(m_hWndEditor))
    ::SendMessageW(m_hWndEditor, WM_KILLFOCUS, reinterpret_cast<WPARAM>(this->m_hWnd), 0);
  if (m_bEditing) {  // no word from it (gone, or ended before the grid knew it): nothing to store
    m_bEditing = FALSE;
    m_hWndEditor = nullptr;
    m_nEditItem = m_nEditSubItem = -1;
    Redraw();
  }
  return TRUE;
}

template <class T>
LRESULT CListImplEx<T>::OnNotify(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
  // Only the open editor's report is read, and only while it sends it from this thread:
  // its text and date pointers live on that editor's stack.
  if (!m_bEditing || !lParam || (::InSendMessageEx(nullptr) & ISMEX_SEND)) {
    bHandled = FALSE;
    return 0;
  }
  const CListNotify& notify = *reinterpret_cast<const CListNotify*>(lParam);
  if (notify.m_hdrNotify.hwndFrom != m_hWndEditor) {
    bHandled = FALSE;
    return 0;
  }
  // The editor's own notifications (a date picker's drop-down) go back to it.
  if (static_cast<int>(notify.m_hdrNotify.code) != LIST_NOTIFY_ENDEDIT)
    return this->ReflectNotifications(WM_NOTIFY, wParam, lParam, bHandled);
  m_bEditing = FALSE;
  m_hWndEditor = nullptr;
  // The grid's own record of the cell: rows removed meanwhile have moved it, or taken it.
  const int item = m_nEditItem, column = m_nEditSubItem, index = GetColumnIndex(column);
  m_nEditItem = m_nEditSubItem = -1;
  if (notify.m_nExitChar != VK_ESCAPE && Self()->GetCell(item, index)) {
    const wchar_t* text = notify.m_lpszItemText ? notify.m_lpszItemText : L"";
    if (notify.m_nExitChar == VK_DELETE)
      Self()->SetItemText(item, index, L"");
    else if (notify.m_lpItemDate && std::wcstol(text, nullptr, 10) != 0)
      Self()->FormatDateCell(item, index, *notify.m_lpItemDate);
    else
      Self()->SetItemText(item, index, notify.m_lpItemDate ? L"" : text);
    if (notify.m_nExitChar == VK_TAB) this->PostMessage(WM_KEYDOWN, VK_TAB, 0);
    NotifyParent(item, column, LIST_NOTIFY_CELLCHANGED);
  }
  Redraw();
  return 0;
}

template <class T>
LRESULT CListImplEx<T>::OnCommand(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
  // The open combo box's focus changes go back to it.
  if (!m_bEditing || !lParam || reinterpret_cast<HWND>(lParam) != m_hWndEditor) {
    bHandled = FALSE;
    return 0;
  }
  return this->ReflectNotifications(WM_COMMAND, wParam, lParam, bHandled);
}

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

// ---------------------------------------------------------------- keyboard

template <class T>
LRESULT CListImplEx<T>::OnGetDlgCode(UINT, WPARAM, LPARAM, BOOL&) {
  return DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
}

template <class T>
LRESULT CListImplEx<T>::OnKeyDown(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  StopSmoothScroll();
  const bool control = ::GetKeyState(VK_CONTROL) < 0, shift = ::GetKeyState(VK_SHIFT) < 0;
  int item, column;
  GetFocusItem(item, column);
  const int count = Self()->GetItemCount();
  const int page = std::max(1, GetCountPerPage(FALSE) - 1);
  int row = item;
  switch (wParam) {
    case VK_UP: row = item - 1; break;
    case VK_DOWN: row = item + 1; break;
    case VK_PRIOR: row = item - page; break;
    case VK_NEXT: row = item + page; break;
    case VK_HOME: row = 0; break;
    case VK_END: row = count - 1; break;
    case VK_LEFT:
    case VK_RIGHT: {
      const int step = (control ? 50 : 5) * (wParam == VK_LEFT ? -1 : 1);
      ScrollHorizontally(::GetScrollPos(this->m_hWnd, SB_HORZ) + step);
      Redraw();
      break;
    }
    case VK_TAB: break;
    case VK_SPACE:
      // The focus cell's check box, or the first column's while no cell has the focus.
      if (item >= 0) ToggleCheck(item, column < 0 ? 0 : column);
      return 0;
    default:
      if (control) {
        if (wParam == 'A' && m_bMultiSelect) {
          for (int i = 0; i < count; ++i) m_setSelectedItems.insert(i);
          Redraw();
        }
      } else if (wParam >= 'A' && wParam <= 'Z') {
        TypeAhead(static_cast<wchar_t>(wParam), item);
      } else {
        bHandled = FALSE;
      }
      return 0;
  }
  const bool rowKey = wParam != VK_LEFT && wParam != VK_RIGHT && wParam != VK_TAB;
  if (rowKey) {
    if (count == 0) return 0;
    m_nFocusItem = std::min(count - 1, std::max(0, row));
    m_nFocusSubItem = column;
    EnsureItemVisible(m_nFocusItem, m_nFocusSubItem);
  }
  if (!control) SelectItem(m_nFocusItem, m_nFocusSubItem, shift ? MK_SHIFT : 0);
  return 0;
}

template <class T>
LRESULT CListImplEx<T>::OnSysKeyDown(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  HideTitleTip();
  bHandled = FALSE;
  return 0;
}

// Letters select the next row whose text in the sorted (else the first) column begins
// with them; quick letters extend the word, the same letter again steps on.
template <class T>
void CListImplEx<T>::TypeAhead(wchar_t chKey, int nFocusItem) {
  const int count = Self()->GetItemCount();
  const int index = m_nSortColumn >= 0 ? m_nSortColumn : GetColumnIndex(0);
  auto startsWith = [&](int nItem) {
    const CListSubItemEx* cell = Self()->GetCell(nItem, index);
    return cell && cell->m_strText.size() >= m_strTypeAhead.size() &&
           _wcsnicmp(cell->m_strText.c_str(), m_strTypeAhead.c_str(), m_strTypeAhead.size()) == 0;
  };
  const DWORD now = ::GetTickCount();
  const bool newLetter = m_strTypeAhead.empty() || chKey != m_strTypeAhead[0];
  int start = nFocusItem + 1;
  if (now - m_dwTypeAheadTime < kTypeAheadPause) {
    if (newLetter) m_strTypeAhead += chKey;
    if (m_strTypeAhead.size() > 1 && startsWith(nFocusItem)) {
      m_dwTypeAheadTime = now;
      return;
    }
  } else {
    if (newLetter) start = 0;
    m_strTypeAhead.assign(1, chKey);
  }
  m_dwTypeAheadTime = now;
  for (int n = 0; n < count; ++n) {
    const int row = (start + n) % count;
    if (!startsWith(row)) continue;
    SelectItem(row, m_nFocusSubItem, MK_LBUTTON);
    EnsureItemVisible(m_nFocusItem, -1);
    return;
  }
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
template HWND Grid::ShowEditor(int, int, UINT, UINT, const CRect&, const std::vector<std::wstring>&);
template BOOL Grid::EditItem(int, int);
template BOOL Grid::EndEdit();
template LRESULT Grid::OnNotify(UINT, WPARAM, LPARAM, BOOL&);
template LRESULT Grid::OnLButtonDown(UINT, WPARAM, LPARAM, BOOL&);
template LRESULT Grid::OnLButtonUp(UINT, WPARAM, LPARAM, BOOL&);
template LRESULT Grid::OnLButtonDblClk(UINT, WPARAM, LPARAM, BOOL&);
template LRESULT Grid::OnRButtonDown(UINT, WPARAM, LPARAM, BOOL&);
template LRESULT Grid::OnRButtonUp(UINT, WPARAM, LPARAM, BOOL&);
template LRESULT Grid::OnMouseMove(UINT, WPARAM, LPARAM, BOOL&);
template LRESULT Grid::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&);
template LRESULT Grid::OnCancelMode(UINT, WPARAM, LPARAM, BOOL&);
template LRESULT Grid::OnGetDlgCode(UINT, WPARAM, LPARAM, BOOL&);
template LRESULT Grid::OnKeyDown(UINT, WPARAM, LPARAM, BOOL&);
template LRESULT Grid::OnSysKeyDown(UINT, WPARAM, LPARAM, BOOL&);
template LRESULT Grid::OnCommand(UINT, WPARAM, LPARAM, BOOL&);
template LRESULT Grid::OnMouseRelay(UINT, WPARAM, LPARAM, BOOL&);
template void Grid::SetRowTip(int);
template void Grid::DragSelect(POINT);
template void Grid::EndDragSelect();
template void Grid::HideTitleTip();
template void Grid::OfferTitleTip(int, int, POINT);
template void Grid::TypeAhead(wchar_t, int);
template LRESULT Grid::OnTimer(UINT, WPARAM, LPARAM, BOOL&);
