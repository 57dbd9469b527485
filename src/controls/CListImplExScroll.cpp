// How the grid scrolls (its skinned bars, the wheel, the animated vertical step) and how
// columns change width (a divider drag, the shrink at the right end, the fit to content).
// Scroll positions are the window's own, in pixels.
#include "controls/CListImplEx.h"

#include <algorithm>

#include "controls/CListCtrlDataEx.h"
#include "platform/CBitmapDC.h"
#include "platform/CWindowDCs.h"

namespace {

const int kLinePixels = 5;   // a horizontal line step
const UINT kTickMs = 20;     // smooth scroll and auto-shrink timers

}  // namespace

// ---------------------------------------------------------------- scroll bars and wheel

// The thumb's position in 32 bits: a skinned bar comes along in lParam, and the 16 bits
// of the message would wrap past 65535 pixels of rows.
template <class T>
int CListImplEx<T>::ThumbPosition(WPARAM wParam, LPARAM lParam) const {
  HWND bar = reinterpret_cast<HWND>(lParam);
  SCROLLINFO si{sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
  if (bar && ::IsWindow(bar) && ::GetScrollInfo(bar, SB_CTL, &si)) return si.nTrackPos;
  return HIWORD(wParam);
}

template <class T>
LRESULT CListImplEx<T>::OnVScroll(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  EndEdit();
  HideTitleTip();  // its cell moves away from under it
  SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
  ::GetScrollInfo(this->m_hWnd, SB_VERT, &si);
  // A page is the rows the view shows whole, so paging never skips a row.
  const int page = std::max<int>(m_nItemHeight, static_cast<int>(si.nPage));
  const int code = LOWORD(wParam);
  int position = si.nPos;
  switch (code) {
    case SB_LINEUP: position -= m_nItemHeight; break;
    case SB_LINEDOWN: position += m_nItemHeight; break;
    case SB_PAGEUP: position -= page; break;
    case SB_PAGEDOWN: position += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      position = ThumbPosition(wParam, lParam);
      if (position == si.nPos) return 0;
      break;
    case SB_TOP: position = 0; break;
    case SB_BOTTOM: position = Self()->GetItemCount() * m_nItemHeight; break;
    case SB_ENDSCROLL:
      StopSmoothScroll();
      return 0;
    default:
      return 0;
  }
  const int oldTop = GetTopIndex();
  ::SetScrollPos(this->m_hWnd, SB_VERT, std::max(0, position), FALSE);  // kept in range
  const bool step = code == SB_LINEUP || code == SB_LINEDOWN || code == SB_PAGEUP ||
                    code == SB_PAGEDOWN;
  if (step && m_bSmoothScroll && m_bmpSmooth.IsNull()) {
    StartSmoothScroll(oldTop, GetTopIndex());
  } else {
    StopSmoothScroll();
    Redraw();
  }
  return 0;
}

template <class T>
LRESULT CListImplEx<T>::OnHScroll(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  EndEdit();
  HideTitleTip();
  StopSmoothScroll();
  CRect client;
  ::GetClientRect(this->m_hWnd, &client);
  const int current = ::GetScrollPos(this->m_hWnd, SB_HORZ);
  int position = current;
  switch (LOWORD(wParam)) {
    case SB_LINELEFT: position -= kLinePixels; break;
    case SB_LINERIGHT: position += kLinePixels; break;
    case SB_PAGELEFT: position -= client.Width(); break;
    case SB_PAGERIGHT: position += client.Width(); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: position = ThumbPosition(wParam, lParam); break;
    case SB_LEFT: position = 0; break;
    case SB_RIGHT: position = GetTotalWidth(); break;
    default: return 0;
  }
  ScrollHorizontally(position);
  Redraw();
  return 0;
}

template <class T>
void CListImplEx<T>::ScrollHorizontally(int nPosition) {
  const int position = std::max(0, std::min(nPosition, GetTotalWidth()));
  ::SetScrollPos(this->m_hWnd, SB_HORZ, position, FALSE);
}

template <class T>
LRESULT CListImplEx<T>::OnMouseWheel(UINT, WPARAM wParam, LPARAM, BOOL&) {
  HideTitleTip();  // the tip passes the wheel on while it holds the mouse
  EndEdit();
  const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
  // The system's "one page" setting scrolls a page per notch.
  const long long perNotch =
      m_nWheelLines == WHEEL_PAGESCROLL ? GetCountPerPage(FALSE) : static_cast<long long>(m_nWheelLines);
  const long long position =
      ::GetScrollPos(this->m_hWnd, SB_VERT) - delta * perNotch / WHEEL_DELTA * m_nItemHeight;
  ::SetScrollPos(this->m_hWnd, SB_VERT, static_cast<int>(std::max(0LL, std::min(position, 0x7FFFFFFFLL))),
                 FALSE);
  Redraw();
  return 0;
}

// ---------------------------------------------------------------- smooth vertical scroll

// The rows from the old top to the new one and a page beyond are drawn once; each tick
// shows them shifted by what is left to go: a few large steps, then single pixels.
template <class T>
void CListImplEx<T>::StartSmoothScroll(int nFromTop, int nToTop) {
  const int rows = std::abs(nToTop - nFromTop);
  CRect client;
  ::GetClientRect(this->m_hWnd, &client);
  if (rows == 0 || m_nItemHeight <= 0 || client.IsRectEmpty()) {
    Redraw();
    return;
  }
  const int first = std::min(nFromTop, nToTop), count = rows + GetCountPerPage(TRUE);
  {
    CClientDC screen(this->m_hWnd);
    m_bmpSmooth.Attach(::CreateCompatibleBitmap(screen, client.Width(), count * m_nItemHeight));
    if (m_bmpSmooth.IsNull()) {
      Redraw();
      return;
    }
    CBitmapDC dc(m_bmpSmooth, screen);
    DrawBackground(CDCHandle(dc));
    const int scrollX = ::GetScrollPos(this->m_hWnd, SB_HORZ);
    CRect row(-scrollX, 0, m_nTotalWidth - scrollX, m_nItemHeight);
    const int last = std::min(first + count, Self()->GetItemCount());
    for (int i = first; i < last; ++i, row.OffsetRect(0, m_nItemHeight)) DrawItem(CDCHandle(dc), i, row);
  }
  m_bSmoothDown = nToTop > nFromTop;
  m_nSmoothDistance = m_nSmoothRemaining = rows * m_nItemHeight;
  m_nSmoothSteps = std::min(8, std::max(4, rows));
  // Never less than a pixel, so the animation always comes to its end.
  m_nSmoothStep = std::max(1, (m_nSmoothDistance - m_nSmoothSteps) / m_nSmoothSteps);
  this->SetTimer(kTimerSmoothScroll, kTickMs);
  ::InvalidateRect(this->m_hWnd, nullptr, FALSE);
}

template <class T>
void CListImplEx<T>::SmoothScrollTick() {
  if (m_bmpSmooth.IsNull()) {
    StopSmoothScroll();
    return;
  }
  if (m_nSmoothRemaining > m_nSmoothSteps)
    m_nSmoothRemaining = std::max(m_nSmoothSteps, m_nSmoothRemaining - m_nSmoothStep);
  else
    --m_nSmoothRemaining;
  if (m_nSmoothRemaining < 0) {
    StopSmoothScroll();
    return;
  }
  CRect rows;
  ::GetClientRect(this->m_hWnd, &rows);
  rows.top = GetHeaderHeight();
  ::InvalidateRect(this->m_hWnd, &rows, FALSE);
  ::UpdateWindow(this->m_hWnd);
}

template <class T>
void CListImplEx<T>::StopSmoothScroll() {
  this->KillTimer(kTimerSmoothScroll);
  if (m_bmpSmooth.IsNull()) return;
  m_bmpSmooth.DeleteObject();
  m_nSmoothRemaining = 0;
  Redraw();
}

template <class T>
BOOL CListImplEx<T>::DrawSmoothScroll(CDCHandle dc) {
  if (m_bmpSmooth.IsNull()) return FALSE;
  CRect client;
  ::GetClientRect(this->m_hWnd, &client);
  const int remaining = std::max(0, std::min(m_nSmoothRemaining, m_nSmoothDistance));
  const int y = m_bSmoothDown ? m_nSmoothDistance - remaining : remaining;
  const int header = GetHeaderHeight();
  CBitmapDC picture(m_bmpSmooth, dc);
  dc.BitBlt(0, header, client.Width(), client.Height() - header, picture, 0, y, SRCCOPY);
  return TRUE;
}

// ---------------------------------------------------------------- column widths

template <class T>
BOOL CListImplEx<T>::IsScrolledToRightEnd() const {
  CRect client;
  ::GetClientRect(this->m_hWnd, &client);
  return m_bShowHScroll &&
         ::GetScrollPos(this->m_hWnd, SB_HORZ) >= m_nTotalWidth - client.Width();
}

// While the view stands at its right end, narrowing a column would pull the columns
// away under the pointer: the auto-shrink timer narrows it instead.
template <class T>
void CListImplEx<T>::ResizeColumn(int xScreen) {
  if (m_bAutoShrink) return;
  EndEdit();
  const int width = std::max(0, m_nResizeWidth + xScreen - m_nResizeX);
  if (width < GetColumnWidth(m_nResizeColumn) && IsScrolledToRightEnd()) {
    m_bAutoShrink = TRUE;
    m_nShrinkX = xScreen;
    this->SetTimer(kTimerAutoShrink, kTickMs);
    return;
  }
  SetColumnWidth(m_nResizeColumn, width);
}

template <class T>
void CListImplEx<T>::AutoShrinkTick() {
  POINT cursor{};
  ::GetCursorPos(&cursor);
  if (m_bResizing && m_bShowHScroll && cursor.x <= m_nShrinkX) {
    if (cursor.x < m_nResizeX && IsScrolledToRightEnd())
      SetColumnWidth(m_nResizeColumn,
                     std::max<int>(0, GetColumnWidth(m_nResizeColumn) + cursor.x - m_nShrinkX));
    return;
  }
  this->KillTimer(kTimerAutoShrink);
  m_bAutoShrink = FALSE;
  // The drag goes on from here, from the width the shrink left.
  m_nResizeX = cursor.x;
  m_nResizeWidth = GetColumnWidth(m_nResizeColumn);
}

template <class T>
void CListImplEx<T>::EndResize() {
  this->KillTimer(kTimerAutoShrink);
  m_bResizing = m_bAutoShrink = FALSE;
  m_nResizeColumn = -1;
  m_nResizeWidth = m_nResizeX = m_nShrinkX = 0;
}

template <class T>
BOOL CListImplEx<T>::AutoSizeColumn(int nColumn) {
  const CListColumnEx* column = GetColumn(nColumn);
  if (!column) return FALSE;
  if (column->m_bFixed) return TRUE;
  CClientDC dc(this->m_hWnd);
  if (dc.IsNull()) return FALSE;
  HGDIOBJ old = ::SelectObject(dc, m_fntListFont);
  auto measure = [&](const std::wstring& text, int& width) {
    SIZE size{};
    if (!::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size)) return false;
    width = std::max<int>(width, size.cx);
    return true;
  };
  int widest = 0;
  bool measured = measure(column->m_strText, widest);
  const int index = column->m_nIndex, imageWidth = ImageSize(m_hCellImages).cx;
  for (int i = 0; measured && i < Self()->GetItemCount(); ++i) {
    const CListSubItemEx* cell = Self()->GetCell(i, index);
    if (!cell) continue;
    // A date cell is as wide as it is shown, not as its stored digits.
    const bool date = GetItemFormat(i, index) == ITEM_FORMAT_DATETIME;
    int width = 0;
    measured = measure(date ? GetItemDateText(i, index) : cell->m_strText, width);
    if (cell->m_nImage != -1) width += imageWidth;
    widest = std::max(widest, width);
  }
  ::SelectObject(dc, old);
  return measured && SetColumnWidth(nColumn, widest + 20);
}

// The class itself is instantiated with the rest of its members in CListImplEx.cpp.
using Grid = CListImplEx<CListCtrlDataEx<unsigned long>>;
template int Grid::ThumbPosition(WPARAM, LPARAM) const;
template LRESULT Grid::OnVScroll(UINT, WPARAM, LPARAM, BOOL&);
template LRESULT Grid::OnHScroll(UINT, WPARAM, LPARAM, BOOL&);
template void Grid::ScrollHorizontally(int);
template LRESULT Grid::OnMouseWheel(UINT, WPARAM, LPARAM, BOOL&);
template void Grid::StartSmoothScroll(int, int);
template void Grid::SmoothScrollTick();
template void Grid::StopSmoothScroll();
template BOOL Grid::DrawSmoothScroll(CDCHandle);
template BOOL Grid::IsScrolledToRightEnd() const;
template void Grid::ResizeColumn(int);
template void Grid::AutoShrinkTick();
template void Grid::EndResize();
template BOOL Grid::AutoSizeColumn(int);
