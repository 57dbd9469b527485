// What the grid does with the keys: moving the focus and the selection, toggles, starting
// an edit, and type-ahead. A parent's handler may remove or reorder rows while a
// notification is being sent; a handler here then stops using the row indices it held.
#include "controls/CListImplEx.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>

#include "controls/CListCtrlDataEx.h"

namespace {

const DWORD kTypeAheadPause = 800;  // ms between letters that still extend the search

}  // namespace

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

// The class itself is instantiated with the rest of its members in CListImplEx.cpp.
using Grid = CListImplEx<CListCtrlDataEx<unsigned long>>;
template LRESULT Grid::OnGetDlgCode(UINT, WPARAM, LPARAM, BOOL&);
template LRESULT Grid::OnKeyDown(UINT, WPARAM, LPARAM, BOOL&);
template LRESULT Grid::OnSysKeyDown(UINT, WPARAM, LPARAM, BOOL&);
template void Grid::TypeAhead(wchar_t, int);
