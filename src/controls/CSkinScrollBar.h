#pragma once
// One scroll bar painted from the shared skin bitmap (9 x 3 square cells: rows
// normal, hovered, pressed; columns up, down, thumb, track, then the same for a
// horizontal bar, then the corner box). It keeps its own copy of the scroll state,
// set through SBM_SETSCROLLINFO, and reports the user's actions to its parent as
// WM_VSCROLL or WM_HSCROLL with lParam = the bar, so the receiver can read the 32-bit
// track position with GetScrollInfo(bar, SB_CTL, SIF_TRACKPOS) while a thumb moves.
// The skin bitmap stays the caller's. Lives in a CSkinScrollWnd frame.
#include "platform/CRect.h"
#include "platform/CWindowImpl.h"

class CSkinScrollBar : public CWindowImpl<CSkinScrollBar> {
 public:
  DECLARE_WND_SUPERCLASS(nullptr, L"SCROLLBAR")

  // Parts of the bar, as the scroll codes they send.
  enum Part { kNone = -1, kLineUp = 0, kLineDown = 1, kPageUp = 2, kPageDown = 3, kThumb = 5 };

  CSkinScrollBar();

  // Stores the skin and sizes the bar across its axis to the skin's cell size.
  BOOL SetBitmap(HBITMAP bitmap);
  // The part under a point in client coordinates, or kNone.
  int HitTest(POINT pt) const;
  BOOL IsVertical() const { return (GetStyle() & SBS_VERT) != 0; }
  BOOL IsDragging() const { return m_bDrag; }
  // The scroll state leaves nothing to scroll: empty range, or a page that covers it.
  static bool IsScrollable(const SCROLLINFO& si);

  BEGIN_MSG_MAP(CSkinScrollBar)
    MESSAGE_HANDLER(WM_RBUTTONUP, OnSwallow)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_PRINTCLIENT, OnPaint)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
    MESSAGE_HANDLER(WM_CAPTURECHANGED, OnCaptureChanged)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
    MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnSwallow)
    // The system control paints straight to the screen on these; the skin repaints.
    MESSAGE_HANDLER(WM_ENABLE, OnEnable)
    MESSAGE_HANDLER(WM_SETFOCUS, OnSwallow)
    MESSAGE_HANDLER(WM_KILLFOCUS, OnSwallow)
    MESSAGE_HANDLER(SBM_SETSCROLLINFO, OnSetScrollInfo)
    MESSAGE_HANDLER(SBM_GETSCROLLINFO, OnGetScrollInfo)
  END_MSG_MAP()

 private:
  // Where the parts lie along the bar.
  struct Layout {
    int arrow;   // length of each arrow part
    int offset;  // of the thumb from the end of the first arrow
    int thumb;   // 0: no thumb
    int free;    // track length the thumb can move in
  };

  LRESULT OnSwallow(UINT, WPARAM, LPARAM, BOOL&) { return 0; }
  LRESULT OnSize(UINT, WPARAM, LPARAM lParam, BOOL& bHandled);
  LRESULT OnPaint(UINT uMsg, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnEraseBkgnd(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  LRESULT OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnLButtonUp(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL& bHandled);
  LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
  LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, BOOL& bHandled);
  LRESULT OnEnable(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnSetScrollInfo(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
  LRESULT OnGetScrollInfo(UINT, WPARAM, LPARAM lParam, BOOL&);

  Layout CalcLayout() const;
  CRect PartRect(int part, const Layout& layout) const;
  int LastPos() const;
  int Along(POINT pt) const { return IsVertical() ? pt.y : pt.x; }
  void Hover(POINT pt);
  // Ends a drag or a held part: on the button's release, or when the capture goes.
  void EndPress(POINT pt);
  void RepeatTick();
  void Send(int code, int pos);
  void Redraw();
  void DrawBar(HDC dc) const;
  int RowOf(int part) const;

  HBITMAP m_hBmp = nullptr;
  int m_nCellSize = 0;
  int m_nCellHeight = 0;
  int m_nLength = 0;
  SCROLLINFO m_si;
  BOOL m_bDrag = FALSE;
  CPoint m_ptDrag;
  int m_nDragPos = 0;
  int m_nClickPart = kNone;
  BOOL m_bRepeating = FALSE;
  int m_nHoverPart = kNone;
  BOOL m_bOutside = FALSE;
  BOOL m_bTracking = FALSE;
};
