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

BOOL CListEditEx::IsValidChar(UINT nChar) {
  return CListNumberFilter::OnChar(m_hWnd, m_state.Flags(), static_cast<wchar_t>(nChar));
}

LRESULT CListEditEx::OnChar(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  const UINT c = static_cast<UINT>(wParam);
  bHandled = m_state.OnExitKey(static_cast<wchar_t>(c)) || !IsValidChar(c);
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
