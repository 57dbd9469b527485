#pragma once
// A progress bar drawn from a skin bitmap over an existing window (which it subclasses):
// the bitmap is cut into 7 equal cells (left end, done part, its leading edge, part to
// do, right end, start marker, background; cyan 0xFFFF00 is transparent). It keeps a
// range, a step, the position, a start marker (never beyond the position) and the time
// it was started, repaints itself twice a second and composes a status text of start
// time, elapsed time, percentages done and to do, time to go and estimated end. The
// clock is the local time unless the owner gives another. Nothing in the console uses it.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

#include "platform/CWindowImpl.h"

class CSkinProgress : public CWindowImpl<CSkinProgress> {
 public:
  using Clock = std::function<SYSTEMTIME()>;

  explicit CSkinProgress(Clock clock = Clock());
  ~CSkinProgress() override;

  // Takes over the window with the skin of that bitmap resource: range 0 to 100,
  // position 0, started now. FALSE when the window or the bitmap cannot be had.
  BOOL Create(HWND hWnd, UINT nBitmapId);

  // Each keeps the markers within the range and, with bDisplay, repaints. SetRange with
  // bResample moves the position and start marker to the same places in the new range.
  void SetRange(int nLower, int nUpper, int nStep = 1, BOOL bResample = FALSE, BOOL bDisplay = TRUE);
  // The position, never below the start marker; the previous position.
  int SetPos(int nPos, BOOL bDisplay = TRUE);
  int OffsetPos(int nOffset, BOOL bDisplay = TRUE);
  int StepIt(BOOL bDisplay = TRUE);
  // The start marker, never beyond the position; the previous one.
  int SetStart(int nStart, BOOL bDisplay = TRUE);
  // As a percentage of the range (0 when the bounds are equal) with bPercent.
  int GetPos(BOOL bPercent = FALSE) const;
  int GetStep() const { return m_nStep; }
  int GetUpper(BOOL bPercent = FALSE) const;
  int GetStart(BOOL bPercent = FALSE) const;

  // " [(]start date start time - elapsed - done% / to do% - time to go - [end date ]end time[)]":
  // a date only where it is not today's, days only when there are any.
  std::wstring GetStatusText(BOOL bBracket = FALSE) const;
  // Paints the bar now.
  void Refresh();

  BEGIN_MSG_MAP(CSkinProgress)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
  END_MSG_MAP()

 private:
  LRESULT OnEraseBkgnd(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);

  void Paint(HDC hDC);
  // Where a marker stands on the bar, in pixels from the client's left.
  int MarkerX(int nMarker, int nWidth) const;
  // The marker's share of the range in 1/256 percent.
  long long Percent256(int nMarker) const;
  int Clamp(int nValue) const;
  UINT_PTR TimerId() const { return reinterpret_cast<UINT_PTR>(this); }
  long long Now() const;  // file-time units of the clock's local time

  Clock m_clock;
  HIMAGELIST m_hCells = nullptr;
  SIZE m_cell{0, 0};
  int m_nLower = 0;
  int m_nUpper = 100;
  int m_nStep = 1;
  int m_nPos = 0;
  int m_nStart = 0;
  long long m_nStartTime = 0;
};
