// The start and end of the grid's in-place edits, and the notifications the editors send
// back through the grid to its parent.
#include "controls/CListImplEx.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>

#include "controls/CListCtrlDataEx.h"
#include "platform/TextConv.h"

namespace {

bool IsEditFormat(UINT nFormat) {
  return nFormat == ITEM_FORMAT_EDIT || nFormat == ITEM_FORMAT_DATETIME ||
         nFormat == ITEM_FORMAT_COMBO;
}

}  // namespace

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
    const wchar_t* text = qv::OrEmpty(notify.m_lpszItemText);
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

// The class itself is instantiated with the rest of its members in CListImplEx.cpp.
using Grid = CListImplEx<CListCtrlDataEx<unsigned long>>;
template HWND Grid::ShowEditor(int, int, UINT, UINT, const CRect&, const std::vector<std::wstring>&);
template BOOL Grid::EditItem(int, int);
template BOOL Grid::EndEdit();
template LRESULT Grid::OnNotify(UINT, WPARAM, LPARAM, BOOL&);
template LRESULT Grid::OnCommand(UINT, WPARAM, LPARAM, BOOL&);
