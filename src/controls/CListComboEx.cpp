#include "controls/CListComboEx.h"

#include <vsstyle.h>

#include "controls/CListNumberFilter.h"
#include "controls/ListFormats.h"
#include "platform/CMemoryDC.h"
#include "platform/CWindowDCs.h"
#include "platform/TextConv.h"
#include "uiwin/UiWinThemeFunc.h"

CListComboEx::~CListComboEx() {
  if (IsWindow()) DestroyWindow();
  CloseTheme();
}

HWND CListComboEx::Create(HWND hWndGrid, int nItem, int nSubItem, const CRect& rcCell, UINT nFlags,
                          LPCWSTR pszText, BOOL bThemed, const std::vector<std::wstring>& aItems) {
  if (IsWindow()) DestroyWindow();
  if (!m_state.Begin(hWndGrid, nItem, nSubItem, nFlags)) return nullptr;
  m_strText = qv::OrEmpty(pszText);
  m_bThemed = bThemed;
  m_bTracking = m_bMouseSeen = FALSE;
  m_bSwapButtons = ::GetSystemMetrics(SM_SWAPBUTTON);
  m_rgbHighlight = ::GetSysColor(COLOR_HIGHLIGHT);
  m_rgbHighlightText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
  const bool typed = (nFlags & ITEM_FLAGS_COMBO_EDIT) != 0;
  DWORD style = WS_CHILD | WS_CLIPCHILDREN | WS_VSCROLL | CBS_SORT | CBS_AUTOHSCROLL |
                (typed ? CBS_DROPDOWN : CBS_DROPDOWNLIST);
  if (nFlags & ITEM_FLAGS_EDIT_UPPER) style |= CBS_UPPERCASE;
  // Room below the cell for the list.
  const CRect rc(rcCell.left + (typed ? 1 : 3), rcCell.top, rcCell.right,
                 rcCell.bottom + 6 * rcCell.Height());
  if (!CWindowImpl::Create(hWndGrid, rc, nullptr, style)) {
    m_state.Abandon();
    return nullptr;
  }
  SetFont(m_state.Font(), FALSE);
  const UiWinThemeFunc& themes = UiWinThemeFunc::Get();
  if (m_bThemed && !m_hTheme && themes.IsAvailable() && themes.pfnOpenThemeData)
    m_hTheme = themes.pfnOpenThemeData(m_hWnd, L"COMBOBOX");
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  if (typed && ::GetComboBoxInfo(m_hWnd, &info) && info.hwndItem) m_wndEdit.SubclassWindow(info.hwndItem);
  for (const std::wstring& item : aItems) AddString(item.c_str());
  if (typed) {
    SetWindowText(m_strText.c_str());
    SendMessage(CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
  } else {
    // Equal in every character: the box's own search ignores case.
    int match = -1;
    for (int i = 0; i < GetCount() && match < 0; ++i)
      if (GetLBText(i) == m_strText) match = i;
    SetCurSel(match);
  }
  SendMessage(CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), rcCell.Height() - 6);
  if (::GetComboBoxInfo(m_hWnd, &info)) {
    m_rcItem = info.rcItem;
    m_rcButton = info.rcButton;
    m_rcButton.DeflateRect(0, 1);
    m_rcButton.OffsetRect(-2, 0);
  }
  ShowWindow(SW_SHOW);
  SetFocus();
  ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  return m_hWnd;
}

void CListComboEx::CloseTheme() {
  const UiWinThemeFunc& themes = UiWinThemeFunc::Get();
  if (m_hTheme && themes.pfnCloseThemeData) themes.pfnCloseThemeData(m_hTheme);
  m_hTheme = nullptr;
}

bool CListComboEx::IsOwnWindow(HWND hWnd) const {
  if (!hWnd) return false;
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  return hWnd == m_hWnd || ::IsChild(m_hWnd, hWnd) ||
         (::GetComboBoxInfo(m_hWnd, &info) && hWnd == info.hwndList);
}

void CListComboEx::EndEdit() {
  if (!m_state.IsOpen()) return;
  if (SendMessage(CB_GETDROPPEDSTATE)) SendMessage(CB_SHOWDROPDOWN, FALSE);
  std::wstring value = m_strText;  // nothing chosen: the cell keeps its text
  if (m_wndEdit.m_hWnd) {
    value = GetWindowText();
  } else if (GetCurSel() >= 0) {
    value = GetLBText(GetCurSel());
  }
  m_state.End(m_hWnd, value, nullptr);
}

LRESULT CListComboEx::OnChar(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  bHandled = m_state.OnExitKey(static_cast<wchar_t>(wParam));
  return 0;
}

BOOL CListComboEx::IsValidChar(UINT nChar) {
  if (!m_wndEdit.m_hWnd) return TRUE;
  return CListNumberFilter::OnChar(m_wndEdit, m_state.Flags(), static_cast<wchar_t>(nChar));
}

LRESULT CListComboEx::OnEditChar(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  const UINT c = static_cast<UINT>(wParam);
  bHandled = m_state.OnExitKey(static_cast<wchar_t>(c)) || !IsValidChar(c);
  return 0;
}

LRESULT CListComboEx::OnEditPaste(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  bHandled = CListNumberFilter::OnPaste(m_wndEdit, m_state.Flags());
  return 0;
}

// The box reports a loss of focus to the grid (CBN_KILLFOCUS, sent back here), which
// ends the edit; a loss it does not report (the grid's own kill-focus) ends it here.
LRESULT CListComboEx::OnKillFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
  const LRESULT result = DefWindowProc(uMsg, wParam, lParam);
  AfterFocusLoss(reinterpret_cast<HWND>(wParam));
  return result;
}

LRESULT CListComboEx::OnEditKillFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
  const LRESULT result = m_wndEdit.DefWindowProc(uMsg, wParam, lParam);
  AfterFocusLoss(reinterpret_cast<HWND>(wParam));
  return result;
}

void CListComboEx::AfterFocusLoss(HWND hWndFocus) {
  if (m_state.IsOpen() && !IsOwnWindow(hWndFocus)) EndEdit();
}

LRESULT CListComboEx::OnReflectedCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  if (HIWORD(wParam) == CBN_KILLFOCUS)
    EndEdit();
  else
    bHandled = FALSE;
  return 0;
}

LRESULT CListComboEx::OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
  CPaintDC dc(m_hWnd);
  CRect client, paint(dc.m_ps.rcPaint), onButton;
  GetClientRect(&client);
  const bool buttonOnly = onButton.IntersectRect(paint, m_rcButton) && onButton == paint;
  CMemoryDC image(dc, client);
  if (!image.IsValid()) return 0;
  if (!buttonOnly) {
    // The cell beneath shows through where the box draws nothing.
    CRect place;
    GetWindowRect(&place);
    ::MapWindowPoints(nullptr, m_state.Grid(), reinterpret_cast<POINT*>(&place), 2);
    POINT origin{};
    ::SetViewportOrgEx(image, -place.left, -place.top, &origin);
    ::SendMessageW(m_state.Grid(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(image.m_hDC), PRF_CLIENT);
    ::SetViewportOrgEx(image, origin.x, origin.y, nullptr);
  }
  POINT cursor{};
  ::GetCursorPos(&cursor);
  ScreenToClient(&cursor);
  const bool hot = m_bMouseSeen && (m_wndEdit.m_hWnd ? m_rcButton : client).PtInRect(cursor);
  const bool pressed = hot && ::GetAsyncKeyState(m_bSwapButtons ? VK_RBUTTON : VK_LBUTTON) < 0;
  if (!m_wndEdit.m_hWnd && !buttonOnly) {
    image.FillSolidRect(m_rcItem, m_rgbHighlight);
    const int selected = GetCurSel();
    if (selected >= 0) {
      const std::wstring text = GetLBText(selected);
      CRect rc = m_rcItem;
      rc.OffsetRect(1, 1);
      HGDIOBJ oldFont = image.SelectObject(m_state.Font());
      image.SetTextColor(m_rgbHighlightText);
      image.SetBkMode(TRANSPARENT);
      image.DrawText(text.c_str(), static_cast<int>(text.size()), &rc,
                     DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
      image.SelectObject(oldFont);
    }
  }
  const UiWinThemeFunc& themes = UiWinThemeFunc::Get();
  if (m_bThemed && m_hTheme && themes.pfnDrawThemeBackground) {
    themes.pfnDrawThemeBackground(m_hTheme, image, CP_DROPDOWNBUTTON, pressed ? 3 : hot ? 2 : 1,
                                  &m_rcButton, nullptr);
  } else {
    ::DrawFrameControl(image, &m_rcButton, DFC_SCROLL,
                       DFCS_SCROLLDOWN | (pressed ? DFCS_PUSHED | DFCS_FLAT : 0));
  }
  return 0;
}

LRESULT CListComboEx::OnMouse(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  if (!m_bTracking) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, m_hWnd, 0};
    m_bTracking = ::TrackMouseEvent(&track);
  }
  m_bMouseSeen = TRUE;
  InvalidateRect(&m_rcButton, FALSE);
  bHandled = FALSE;
  return 0;
}

LRESULT CListComboEx::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  m_bTracking = FALSE;
  InvalidateRect(&m_rcButton, FALSE);
  bHandled = FALSE;
  return 0;
}
