#include "controls/CUpDownCtrlEx.h"

#include <windowsx.h>

#include "platform/CDC.h"
#include "uiwin/UiBmpPool.h"
#include "uiwin/UiFontPool.h"

namespace {
const int kCellWidth = 20;
const int kCellHeight = 9;
}  // namespace

CUpDownCtrlEx::CUpDownCtrlEx() : m_arrows(UiBmpPool::GetBitmap(kArrowBitmap)) {}

HWND CUpDownCtrlEx::Create(HWND parent, const RECT& rc, LPCWSTR name, DWORD style, DWORD exStyle,
                           UINT id, void* param) {
  return CWindowImpl::Create(parent, rc, name, style | 0x400, exStyle, id, param);
}

void CUpDownCtrlEx::DoPaint(CDCHandle dc) {
  CRect client;
  GetClientRect(&client);
  const int w = client.Width();
  const int h = client.Height() / 2 - 1;
  CDC cells;
  if (!m_arrows || !cells.CreateCompatibleDC(dc)) return;
  HGDIOBJ oldBitmap = cells.SelectObject(m_arrows);
  HGDIOBJ oldFont = dc.SelectObject(UiFontPool::GetFont(0));
  ::SetStretchBltMode(dc, COLORONCOLOR);
  auto half = [&](bool upper, int cellX) {
    ::StretchBlt(dc, client.left, upper ? client.top : client.top + h + 2, w, h, cells, cellX,
                 upper ? 0 : kCellHeight, kCellWidth, kCellHeight, SRCCOPY);
  };
  half(true, m_upPressed ? 40 : m_upHovered ? 20 : 0);
  half(false, m_downPressed ? 40 : m_downHovered ? 20 : 0);
  dc.SelectObject(oldFont);
  cells.SelectObject(oldBitmap);
}

bool CUpDownCtrlEx::HitHalves(LPARAM lParam, BOOL& up, BOOL& down) const {
  CRect client;
  GetClientRect(&client);
  const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
  if (x < 0 || x > client.Width()) return false;
  const int h = client.Height() / 2 - 1;
  up = y >= 0 && y <= h;
  down = y >= h + 2 && y <= client.bottom;
  return true;
}

LRESULT CUpDownCtrlEx::OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
  BOOL up = m_upHovered, down = m_downHovered;
  // Ask for WM_MOUSELEAVE, so that the hovered look goes when the mouse does.
  TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, m_hWnd, 0};
  ::TrackMouseEvent(&track);
  if (HitHalves(lParam, up, down) && (up != m_upHovered || down != m_downHovered)) {
    m_upHovered = up;
    m_downHovered = down;
    Invalidate(FALSE);
  }
  bHandled = FALSE;
  return 0;
}

LRESULT CUpDownCtrlEx::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
  HitHalves(lParam, m_upPressed, m_downPressed);
  Invalidate(FALSE);
  bHandled = FALSE;  // the control steps its value
  return 0;
}

LRESULT CUpDownCtrlEx::OnLookEnds(UINT uMsg, WPARAM, LPARAM, BOOL& bHandled) {
  if (uMsg == WM_MOUSELEAVE)
    m_upHovered = m_downHovered = FALSE;
  else
    m_upPressed = m_downPressed = FALSE;
  Invalidate(FALSE);
  bHandled = FALSE;
  return 0;
}
