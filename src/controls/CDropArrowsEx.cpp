#include "controls/CDropArrowsEx.h"

#include <utility>

#include "platform/CWindowDCs.h"

CDropArrowsEx::~CDropArrowsEx() {
  if (IsWindow()) DestroyWindow();
}

BOOL CDropArrowsEx::Create(HWND hWndGrid, int nHeaderHeight, BOOL bVertical) {
  if (IsWindow()) DestroyWindow();
  m_bVertical = bVertical;
  m_nLength = nHeaderHeight + 20;
  const int L = m_nLength;
  // Down above the header, up below it.
  POINT points[14] = {{8, 0}, {8, 4}, {11, 4}, {6, 9}, {1, 4}, {4, 4}, {4, 0},
                      {4, L}, {4, L - 4}, {0, L - 4}, {6, L - 10}, {12, L - 4}, {8, L - 4}, {8, L}};
  SIZE size{12, L};
  if (!bVertical) {
    for (POINT& p : points) std::swap(p.x, p.y);
    std::swap(size.cx, size.cy);
  }
  if (!CWindowImpl::Create(hWndGrid, RECT{0, 0, size.cx, size.cy}, nullptr, WS_POPUP | WS_DISABLED,
                           WS_EX_TOOLWINDOW))
    return FALSE;
  const INT counts[2] = {7, 7};
  HRGN region = ::CreatePolyPolygonRgn(points, counts, 2, ALTERNATE);
  // The window keeps the region.
  if (region && !::SetWindowRgn(m_hWnd, region, FALSE)) ::DeleteObject(region);
  return TRUE;
}

void CDropArrowsEx::Hide() {
  if (IsWindow()) ShowWindow(SW_HIDE);
}

LRESULT CDropArrowsEx::OnEraseBkgnd(UINT, WPARAM wParam, LPARAM, BOOL&) {
  RECT client;
  GetClientRect(&client);
  ::FillRect(reinterpret_cast<HDC>(wParam), &client, m_brush);
  return 1;
}

LRESULT CDropArrowsEx::OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
  CPaintDC dc(m_hWnd);  // the background is all there is
  return 0;
}
