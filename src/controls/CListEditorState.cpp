#include "controls/CListEditorState.h"

#include "controls/CListNotify.h"

BOOL CListEditorState::Begin(HWND hWndGrid, int nItem, int nSubItem, UINT nFlags) {
  m_hWndGrid = hWndGrid;
  m_nItem = nItem;
  m_nSubItem = nSubItem;
  m_nFlags = nFlags;
  m_nExitKey = 0;
  m_font.Attach(CreateMessageFont());
  m_bOpen = !m_font.IsNull();
  return m_bOpen;
}

BOOL CListEditorState::OnExitKey(wchar_t c) {
  if (c != VK_TAB && c != VK_RETURN && c != VK_ESCAPE) return FALSE;
  if (m_bOpen) {
    m_nExitKey = static_cast<WORD>(c);
    ::SetFocus(m_hWndGrid);
  }
  return TRUE;
}

BOOL CListEditorState::End(HWND hWndEditor, const std::wstring& strText, SYSTEMTIME* pDate) {
  if (!m_bOpen) return FALSE;
  m_bOpen = FALSE;
  // Hidden first: a page that answers the change with a message box leaves no live-looking
  // editor behind it.
  ::ShowWindow(hWndEditor, SW_HIDE);
  if (!::IsWindow(m_hWndGrid)) return TRUE;
  std::wstring text = strText;
  CListNotify notify{};
  notify.m_hdrNotify.hwndFrom = hWndEditor;
  notify.m_hdrNotify.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(hWndEditor));
  notify.m_hdrNotify.code = static_cast<UINT>(LIST_NOTIFY_ENDEDIT);
  notify.m_nItem = m_nItem;
  notify.m_nSubItem = m_nSubItem;
  notify.m_nExitChar = m_nExitKey;
  notify.m_lpszItemText = &text[0];
  notify.m_lpItemDate = pDate;
  ::SendMessageW(m_hWndGrid, WM_NOTIFY, notify.m_hdrNotify.idFrom, reinterpret_cast<LPARAM>(&notify));
  return TRUE;
}

HFONT CListEditorState::CreateMessageFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return nullptr;
  return ::CreateFontIndirectW(&metrics.lfMessageFont);
}
