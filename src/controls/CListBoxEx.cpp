#include "controls/CListBoxEx.h"

#include <cwchar>

#include "controls/CSkinScrollWnd.h"
#include "platform/CWindowDCs.h"
#include "uiwin/UiFontPool.h"

int CListBoxEx::AddString(LPCWSTR text) {
  const int index = CListBox::AddString(text);
  HFONT font = GetFont();
  if (!font || !text) return index;
  CClientDC dc(m_hWnd);
  HGDIOBJ old = dc.SelectObject(font);
  SIZE size{};
  if (::GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size) && size.cx > m_widest) {
    m_widest = size.cx;
    SendMessage(LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(m_widest + 3));
  }
  dc.SelectObject(old);
  return index;
}

LRESULT CListBoxEx::OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
  const LRESULT created = DefWindowProc(uMsg, wParam, lParam);
  if (created == -1) return created;
  SkinWndScroll(m_hWnd, m_skin, m_skinId);
  SetFont(UiFontPool::GetFont(0), TRUE);
  return 1;
}

bool CListBoxEx::ShowThumbLine(HWND list, WPARAM wParam, LPARAM lParam) {
  const int code = LOWORD(wParam);
  if ((code != SB_THUMBTRACK && code != SB_THUMBPOSITION) || !lParam) return false;
  SCROLLINFO bar{sizeof bar, SIF_TRACKPOS, 0, 0, 0, 0, 0};
  if (!::GetScrollInfo(reinterpret_cast<HWND>(lParam), SB_CTL, &bar) || LOWORD(bar.nTrackPos) != HIWORD(wParam))
    return false;
  ::SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(bar.nTrackPos), 0);
  return true;
}

LRESULT CListBoxEx::OnVScroll(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
  bHandled = ShowThumbLine(m_hWnd, wParam, lParam);
  return 0;
}
