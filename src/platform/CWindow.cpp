#include "platform/CWindow.h"

BOOL CWindow::CenterWindow(HWND center) const {
  if (!center) center = ::GetWindow(m_hWnd, GW_OWNER);
  CRect rc;
  GetWindowRect(&rc);
  HMONITOR monitor = center ? ::MonitorFromWindow(center, MONITOR_DEFAULTTONEAREST)
                            : ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  ::GetMonitorInfoW(monitor, &mi);
  CRect work(mi.rcWork);
  CRect around = work;
  if (center && ::IsWindowVisible(center) && !::IsIconic(center)) ::GetWindowRect(center, &around);
  int x = (around.left + around.right) / 2 - rc.Width() / 2;
  int y = (around.top + around.bottom) / 2 - rc.Height() / 2;
  if (x + rc.Width() > work.right) x = work.right - rc.Width();
  if (y + rc.Height() > work.bottom) y = work.bottom - rc.Height();
  if (x < work.left) x = work.left;
  if (y < work.top) y = work.top;
  if (GetStyle() & WS_CHILD) {
    POINT p{x, y};
    ::ScreenToClient(::GetParent(m_hWnd), &p);
    x = p.x;
    y = p.y;
  }
  return SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
