#include "controls/CListEditEx.h"

#include "controls/CListNumberFilter.h"
#include "controls/ListFormats.h"

CListEditEx::~CListEditEx() {
  if (IsWindow()) DestroyWindow();
}

HWND CListEditEx::Create(HWND hWndGrid, int nItem, int nSubItem, const CRect& rcCell, UINT nFlags,
                         LPCWSTR pszText) {
  if (IsWindow()) DestroyWindow();
  if (!m_state.Begin(hWndGrid, nItem, nSubItem, nFlags)) return nullptr;
  DWORD style = WS_CHILD | ES_AUTOHSCROLL;
  if (nFlags & (ITEM_FLAGS_EDIT_NUMBER | ITEM_FLAGS_EDIT_FLOAT)) style |= ES_RIGHT;
  if (nFlags & ITEM_FLAGS_EDIT_UPPER) style |= ES_UPPERCASE;
  const CRect rc(rcCell.left + 2, rcCell.top + 3, rcCell.right - 3, rcCell.bottom - 2);
  if (!CWindowImpl::Create(hWndGrid, rc, nullptr, style)) {
    m_state.Abandon();
    return nullptr;
  }
  SetFont(m_state.Font(), FALSE);
  SendMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(5, 5));
  SetWindowText(pszText);
  ShowWindow(SW_SHOW);
  SetSel(0, -1);
  SetFocus();
  return m_hWnd;
}

LRESULT CListEditEx::OnChar(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  bHandled = m_state.OnTextChar(m_hWnd, static_cast<wchar_t>(wParam));
  return 0;
}

LRESULT CListEditEx::OnPaste(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  bHandled = CListNumberFilter::OnPaste(m_hWnd, m_state.Flags());
  return 0;
}

LRESULT CListEditEx::OnKillFocus(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  m_state.End(m_hWnd, GetWindowText(), nullptr);
  bHandled = FALSE;
  return 0;
}
