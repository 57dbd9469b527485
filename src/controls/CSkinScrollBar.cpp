#include "controls/CSkinScrollBar.h"

#include <algorithm>
#include <climits>

#include "controls/DrawHelpers.h"
#include "platform/CBitmapDC.h"
#include "platform/CMemoryDC.h"
#include "platform/CWindowDCs.h"

namespace {

const UINT_PTR kRepeatTimer = 100;  // one step every 100 ms
const UINT_PTR kDelayTimer = 200;   // the first repeat waits 500 ms
const int kMinThumb = 6;
const int kCap = 3;  // rows (or columns) of a thumb's ends that are never tiled

// The last position a scroll can reach: maximum - page + 1 (the maximum without a page).
long long LastPosOf(const SCROLLINFO& si) {
  return static_cast<long long>(si.nMax) - std::max<long long>(static_cast<long long>(si.nPage) - 1, 0);
}

// Copies of src, from dst's top-left corner, row after row; the last column and row
// are cut to fit.
void Tile(HDC dc, const RECT& dst, HDC skin, const RECT& src) {
  const int w = src.right - src.left, h = src.bottom - src.top;
  if (w <= 0 || h <= 0) return;
  for (int y = dst.top; y < dst.bottom; y += h)
    for (int x = dst.left; x < dst.right; x += w)
      ::BitBlt(dc, x, y, std::min<int>(w, dst.right - x), std::min<int>(h, dst.bottom - y), skin,
               src.left, src.top, SRCCOPY);
}

}  // namespace

CSkinScrollBar::CSkinScrollBar() : m_si{sizeof(SCROLLINFO), 0, 0, 0, 0, 0, -1} {}

bool CSkinScrollBar::IsScrollable(const SCROLLINFO& si) { return LastPosOf(si) > si.nMin; }

BOOL CSkinScrollBar::SetBitmap(HBITMAP bitmap) {
  m_hBmp = bitmap;
  BITMAP bm{};
  if (!bitmap || !::GetObjectW(bitmap, sizeof bm, &bm)) bm.bmWidth = bm.bmHeight = 0;
  m_nCellSize = bm.bmWidth / 9;
  m_nCellHeight = bm.bmHeight / 3;
  CRect rc;
  GetWindowRect(&rc);
  return SetWindowPos(nullptr, 0, 0, IsVertical() ? m_nCellSize : rc.Width(),
                      IsVertical() ? rc.Height() : m_nCellSize,
                      SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CSkinScrollBar::LastPos() const { return static_cast<int>(std::max<long long>(LastPosOf(m_si), INT_MIN)); }

CSkinScrollBar::Layout CSkinScrollBar::CalcLayout() const {
  const int s = m_nCellSize;
  const int track = std::max(0, m_nLength - 2 * s);
  Layout l{};
  l.arrow = track == 0 ? m_nLength / 2 : s;
  const long long range = static_cast<long long>(m_si.nMax) - m_si.nMin + 1;
  const long long span = static_cast<long long>(LastPos()) - m_si.nMin;
  // No thumb when the page covers the range (or the range is empty).
  if (track >= kMinThumb && span > 0) {
    const long long thumb = static_cast<long long>(m_si.nPage) * track / range;
    l.thumb = static_cast<int>(std::min<long long>(track, std::max<long long>(kMinThumb, thumb)));
  }
  l.free = track - l.thumb;
  if (span <= 0) {
    l.offset = l.free / 2;
  } else {
    const long long pos = m_si.nTrackPos != -1 ? m_si.nTrackPos : m_si.nPos;
    const long long from = std::min<long long>(span, std::max<long long>(0, pos - m_si.nMin));
    l.offset = static_cast<int>(l.free * from / span);
  }
  return l;
}

CRect CSkinScrollBar::PartRect(int part, const Layout& l) const {
  const int thumbAt = l.arrow + l.offset;
  int a = 0, b = 0;
  switch (part) {
    case kLineUp: a = 0, b = l.arrow; break;
    case kPageUp: a = l.arrow, b = thumbAt; break;
    case kThumb: a = thumbAt, b = thumbAt + l.thumb; break;
    case kPageDown: a = thumbAt + l.thumb, b = m_nLength - l.arrow; break;
    case kLineDown: a = m_nLength - l.arrow, b = m_nLength; break;
    default: return CRect();
  }
  b = std::max(a, b);
  return IsVertical() ? CRect(0, a, m_nCellSize, b) : CRect(a, 0, b, m_nCellSize);
}

int CSkinScrollBar::HitTest(POINT pt) const {
  const int along = Along(pt), across = IsVertical() ? pt.x : pt.y;
  if (along < 0 || along >= m_nLength || across < 0 || across >= m_nCellSize) return kNone;
  const Layout l = CalcLayout();
  for (int part : {kLineUp, kPageUp, kThumb, kPageDown, kLineDown})
    if (PartRect(part, l).PtInRect(pt)) return part;
  return kNone;
}

int CSkinScrollBar::RowOf(int part) const {
  if (part == kThumb) return m_bDrag ? 2 : m_nHoverPart == kThumb ? 1 : 0;
  if (part == kLineUp || part == kLineDown) {
    if (m_nClickPart == part) return m_bOutside ? 0 : 2;
    return m_nHoverPart == part ? 1 : 0;
  }
  return 0;  // the track has one look
}

void CSkinScrollBar::DrawBar(HDC dc) const {
  if (!m_hBmp || m_nCellSize <= 0) return;
  CBitmapDC skin(m_hBmp, dc);
  if (!skin) return;
  const int s = m_nCellSize, base = IsVertical() ? 0 : 4;
  auto cell = [s, base](int column, int row) {
    return CRect((base + column) * s, row * s, (base + column + 1) * s, (row + 1) * s);
  };
  const Layout l = CalcLayout();
  for (int part : {kLineUp, kLineDown}) {
    const CRect rc = PartRect(part, l);
    if (!rc.IsRectEmpty()) BlitPart(dc, rc, skin, cell(part, RowOf(part)));
  }
  const CRect thumb = PartRect(kThumb, l);
  if (!thumb.IsRectEmpty()) {
    const CRect c = cell(2, RowOf(kThumb));
    CRect head = thumb, tail = thumb, middle = thumb, headSrc = c, tailSrc = c, middleSrc = c;
    if (IsVertical()) {
      head.bottom = middle.top = thumb.top + kCap;
      headSrc.bottom = middleSrc.top = c.top + kCap;
      tail.top = middle.bottom = thumb.bottom - kCap;
      tailSrc.top = middleSrc.bottom = c.bottom - kCap;
    } else {
      head.right = middle.left = thumb.left + kCap;
      headSrc.right = middleSrc.left = c.left + kCap;
      tail.left = middle.right = thumb.right - kCap;
      tailSrc.left = middleSrc.right = c.right - kCap;
    }
    BlitPart(dc, head, skin, headSrc);
    BlitPart(dc, tail, skin, tailSrc);
    Tile(dc, middle, skin, middleSrc);
  }
  for (int part : {kPageUp, kPageDown}) Tile(dc, PartRect(part, l), skin, cell(3, 0));
}

void CSkinScrollBar::Redraw() {
  if (!m_hWnd || !m_hBmp) return;
  CRect client;
  GetClientRect(&client);
  CClientDC dc(m_hWnd);
  CMemoryDC buffer(dc, client);
  if (buffer.IsValid()) DrawBar(buffer);
}

void CSkinScrollBar::Send(int code, int pos) {
  ::SendMessageW(GetParent(), IsVertical() ? WM_VSCROLL : WM_HSCROLL,
                 MAKEWPARAM(code, static_cast<WORD>(pos)), reinterpret_cast<LPARAM>(m_hWnd));
}

LRESULT CSkinScrollBar::OnSize(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
  m_nLength = IsVertical() ? HIWORD(lParam) : LOWORD(lParam);
  bHandled = FALSE;
  return 0;
}

LRESULT CSkinScrollBar::OnPaint(UINT uMsg, WPARAM wParam, LPARAM, BOOL&) {
  if (uMsg == WM_PRINTCLIENT) {
    DrawBar(reinterpret_cast<HDC>(wParam));
    return 0;
  }
  CPaintDC dc(m_hWnd);
  CRect client;
  GetClientRect(&client);
  if (!m_hBmp) return 0;
  CMemoryDC buffer(dc, client);
  if (buffer.IsValid()) DrawBar(buffer);
  return 0;
}

LRESULT CSkinScrollBar::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&) {
  const CPoint pt(lParam);
  SetCapture(m_hWnd);
  const int part = HitTest(pt);
  if (part == kThumb) {
    m_bDrag = TRUE;
    m_ptDrag = pt;
    m_si.nTrackPos = m_nDragPos = m_si.nPos;
    Redraw();
  } else if (part != kNone) {
    m_nClickPart = part;
    m_bOutside = FALSE;
    Send(part, 0);
    SetTimer(kDelayTimer, 500);
    Redraw();
  }
  return 0;
}

LRESULT CSkinScrollBar::OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&) {
  const CPoint pt(lParam);
  if (!m_bTracking) {
    TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, m_hWnd, 0};
    m_bTracking = ::TrackMouseEvent(&tme);
  }
  if (m_bDrag) {
    const Layout l = CalcLayout();
    const long long span = static_cast<long long>(LastPos()) - m_si.nMin;
    const long long moved = static_cast<long long>(Along(pt)) - Along(m_ptDrag);
    long long pos = m_nDragPos + (l.free ? span * moved / l.free : 0);
    pos = std::max<long long>(m_si.nMin, std::min<long long>(pos, LastPos()));
    if (pos != m_si.nTrackPos) {
      m_si.nTrackPos = static_cast<int>(pos);
      Redraw();
      Send(SB_THUMBTRACK, m_si.nTrackPos);
    }
  } else if (m_nClickPart == kNone) {
    Hover(pt);
  } else {
    const BOOL outside = !PartRect(m_nClickPart, CalcLayout()).PtInRect(pt);
    if (outside != m_bOutside) {
      m_bOutside = outside;
      Redraw();
    }
  }
  return 0;
}

void CSkinScrollBar::Hover(POINT pt) {
  if (m_bDrag || m_nClickPart != kNone) return;
  const int part = HitTest(pt);
  if (part == m_nHoverPart) return;
  m_nHoverPart = part;
  Redraw();
}

LRESULT CSkinScrollBar::OnLButtonUp(UINT, WPARAM, LPARAM lParam, BOOL&) {
  EndPress(CPoint(lParam));
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  return 0;
}

LRESULT CSkinScrollBar::OnCaptureChanged(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
  if (reinterpret_cast<HWND>(lParam) != m_hWnd) EndPress(CPoint(-1, -1));
  bHandled = FALSE;
  return 0;
}

void CSkinScrollBar::EndPress(POINT pt) {
  if (m_bDrag) {
    m_bDrag = FALSE;
    Send(SB_THUMBPOSITION, m_si.nTrackPos);
    m_si.nTrackPos = -1;
    m_nHoverPart = PartRect(kThumb, CalcLayout()).PtInRect(pt) ? kThumb : kNone;
    Redraw();
  }
  if (m_nClickPart != kNone) {
    KillTimer(kDelayTimer);
    KillTimer(kRepeatTimer);
    m_bRepeating = FALSE;
    m_nClickPart = kNone;
    Redraw();
  }
}

LRESULT CSkinScrollBar::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  if (wParam == kDelayTimer) {
    m_bRepeating = TRUE;
    KillTimer(kDelayTimer);
    SetTimer(kRepeatTimer, 100);
    RepeatTick();
  } else if (wParam == kRepeatTimer) {
    RepeatTick();
  } else {
    bHandled = FALSE;
  }
  return 0;
}

void CSkinScrollBar::RepeatTick() {
  if (m_nClickPart == kNone) {
    KillTimer(kRepeatTimer);
    return;
  }
  if (m_bOutside) return;  // paused until the mouse is back on the part
  bool stop = false;
  switch (m_nClickPart) {
    case kLineUp:
      stop = m_si.nPos <= m_si.nMin;
      break;
    case kLineDown:
      stop = m_si.nPos >= LastPos();
      break;
    default: {
      // Paging ends once the thumb has reached the cursor.
      CPoint cursor;
      ::GetCursorPos(&cursor);
      ScreenToClient(&cursor);
      stop = HitTest(cursor) != m_nClickPart;
      break;
    }
  }
  if (stop)
    KillTimer(kRepeatTimer);
  else
    Send(m_nClickPart, 0);
}

// Not passed on: the system control paints its own bar, with its own thumb, when the
// pointer leaves it, as it does when a held thumb is dragged past the end.
LRESULT CSkinScrollBar::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&) {
  m_bTracking = FALSE;
  Hover(CPoint(-1, -1));
  return 0;
}

LRESULT CSkinScrollBar::OnEnable(UINT, WPARAM wParam, LPARAM, BOOL&) {
  if (!wParam) {
    EndPress(CPoint(-1, -1));
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    m_nHoverPart = kNone;
  }
  Invalidate(FALSE);
  return 0;
}

LRESULT CSkinScrollBar::OnSetScrollInfo(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  const SCROLLINFO* si = reinterpret_cast<const SCROLLINFO*>(lParam);
  if (!si) return 0;
  if (si->fMask & SIF_PAGE) m_si.nPage = si->nPage;
  if (si->fMask & SIF_POS) m_si.nPos = si->nPos;
  if (si->fMask & SIF_RANGE) {
    m_si.nMin = si->nMin;
    m_si.nMax = si->nMax;
  }
  if (wParam) Redraw();
  return 1;
}

LRESULT CSkinScrollBar::OnGetScrollInfo(UINT, WPARAM, LPARAM lParam, BOOL&) {
  SCROLLINFO* si = reinterpret_cast<SCROLLINFO*>(lParam);
  if (!si) return 0;
  if (si->fMask & SIF_PAGE) si->nPage = m_si.nPage;
  if (si->fMask & SIF_POS) si->nPos = m_si.nPos;
  if (si->fMask & SIF_TRACKPOS) si->nTrackPos = m_si.nTrackPos != -1 ? m_si.nTrackPos : m_si.nPos;
  if (si->fMask & SIF_RANGE) {
    si->nMin = m_si.nMin;
    si->nMax = m_si.nMax;
  }
  return 1;
}
