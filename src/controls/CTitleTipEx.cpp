#include "controls/CTitleTipEx.h"

#include "controls/CBrushSelector.h"
#include "controls/CListEditorState.h"
#include "controls/DrawHelpers.h"
#include "platform/CWindowDCs.h"
#include "platform/TextConv.h"
#include "uiwin/UiWinThemeFunc.h"

namespace {

// The styled look.
const COLORREF kOuterFrame = 0xDCDCDC;
const COLORREF kInnerFrame = 0xF5F5F5;
const COLORREF kGradientTop = 0xFAFAFA;
const COLORREF kGradientBottom = 0xEBEBEB;
const UINT kTextFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;

}  // namespace

CTitleTipEx::~CTitleTipEx() {
  if (IsWindow()) DestroyWindow();
}

bool CTitleTipEx::IsStyled() const { return m_bThemed && UiWinThemeFunc::Get().IsAvailable(); }

BOOL CTitleTipEx::Create(HWND hWndGrid, BOOL bThemed) {
  if (IsWindow()) DestroyWindow();
  m_hWndOwner = hWndGrid;
  m_bThemed = bThemed;
  m_rgbBackground = ::GetSysColor(COLOR_INFOBK);
  m_rgbText = ::GetSysColor(IsStyled() ? COLOR_WINDOWTEXT : COLOR_INFOTEXT);
  m_font.Attach(CListEditorState::CreateMessageFont());
  if (m_font.IsNull() ||
      !CWindowImpl::Create(hWndGrid, RECT{0, 0, 0, 0}, nullptr, WS_POPUP,
                           WS_EX_TOOLWINDOW | WS_EX_TOPMOST))
    return FALSE;
  if (!m_wndToolTip.Create(m_hWnd)) return FALSE;
  m_wndToolTip.SetMaxTipWidth(32767);
  return TRUE;
}

BOOL CTitleTipEx::Show(const CRect& rcText, LPCWSTR pszText, LPCWSTR pszToolTip) {
  if (!IsWindow() || !pszText || !*pszText) return FALSE;
  SetWindowText(pszText);
  CRect extent;
  {
    CClientDC dc(m_hWnd);
    HGDIOBJ old = dc.SelectObject(m_font);
    dc.DrawText(pszText, -1, &extent, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    dc.SelectObject(old);
  }
  if (extent.Width() <= rcText.Width() - 1) return FALSE;
  m_strToolTip = qv::OrEmpty(pszToolTip);
  const CRect place(rcText.left - 4, rcText.top, rcText.left - 4 + extent.Width() + 11, rcText.bottom);
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = m_hWnd;
  m_wndToolTip.DelTool(&tool);
  if (m_strToolTip.empty()) {
    m_wndToolTip.Activate(FALSE);
  } else {
    m_wndToolTip.Activate(TRUE);
    tool.rect = RECT{0, 0, place.Width(), place.Height()};
    tool.lpszText = &m_strToolTip[0];
    m_wndToolTip.AddTool(&tool);
  }
  SetWindowPos(nullptr, place.left, place.top, place.Width(), place.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  ::SetCapture(m_hWnd);
  return TRUE;
}

void CTitleTipEx::Hide() {
  if (!IsWindow()) return;
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  ShowWindow(SW_HIDE);
}

LRESULT CTitleTipEx::OnMouse(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
  const MSG* current = GetCurrentMessage();
  MSG relay = current ? *current : MSG{m_hWnd, uMsg, wParam, lParam, 0, {0, 0}};
  m_wndToolTip.RelayEvent(&relay);
  POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  if (uMsg == WM_MOUSEMOVE) {
    CRect client;
    GetClientRect(&client);
    if (!client.PtInRect(pt)) Hide();
    return 0;
  }
  if (uMsg < WM_LBUTTONDOWN || uMsg > WM_MBUTTONDBLCLK) {  // the wheel: already on screen
    ::PostMessageW(m_hWndOwner, uMsg, wParam, lParam);
    return 0;
  }
  ClientToScreen(&pt);
  const LRESULT hit = ::SendMessageW(m_hWndOwner, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
  if (hit == HTCLIENT) {
    ::ScreenToClient(m_hWndOwner, &pt);
    ::PostMessageW(m_hWndOwner, uMsg, wParam, MAKELPARAM(pt.x, pt.y));
  } else {
    ::PostMessageW(m_hWndOwner, uMsg - WM_LBUTTONDOWN + WM_NCLBUTTONDOWN, static_cast<WPARAM>(hit),
                   MAKELPARAM(pt.x, pt.y));
  }
  return 0;
}

LRESULT CTitleTipEx::OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
  CPaintDC dc(m_hWnd);
  CRect client;
  GetClientRect(&client);
  if (IsStyled()) {
    DrawRoundFrame(dc, client, kOuterFrame, kInnerFrame, CBrushSelector::kHollow);
    CRect inside = client;
    inside.DeflateRect(2, 2);
    GradientFillRect(dc, inside, kGradientTop, kGradientBottom, TRUE);
  } else {
    FillSolid(dc, client, m_rgbBackground);
    DrawFrame(dc, client, m_rgbText);
  }
  const std::wstring text = GetWindowText();
  CRect rc = client;
  rc.left += 4;
  HGDIOBJ old = dc.SelectObject(m_font);
  dc.SetTextColor(m_rgbText);
  dc.SetBkMode(TRANSPARENT);
  dc.DrawText(text.c_str(), static_cast<int>(text.size()), &rc, kTextFormat);
  dc.SelectObject(old);
  return 0;
}

LRESULT CTitleTipEx::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  if (m_wndToolTip.IsWindow()) m_wndToolTip.DestroyWindow();
  m_wndToolTip.m_hWnd = nullptr;
  bHandled = FALSE;
  return 0;
}
