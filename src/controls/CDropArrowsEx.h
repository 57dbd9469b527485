#pragma once
// The grid's drop arrows: a small red pop-up shaped as two arrows, one above the header
// pointing down and one below it pointing up, that marks where a dragged header column
// would land. It never takes input. Made again whenever the header's height changes.
#include <windows.h>

#include "platform/CGdiObject.h"
#include "platform/CWindowImpl.h"

class CDropArrowsEx : public CWindowImpl<CDropArrowsEx> {
 public:
  DECLARE_WND_CLASS_EX(nullptr, 0, COLOR_WINDOW)

  CDropArrowsEx() : m_brush(::CreateSolidBrush(RGB(255, 0, 0))) {}
  ~CDropArrowsEx() override;

  // A window owned by the grid for a header of that height (replacing an earlier one):
  // 12 pixels wide and header height + 20 tall; turned on its side when bVertical is 0.
  BOOL Create(HWND hWndGrid, int nHeaderHeight, BOOL bVertical = TRUE);
  void Hide();

  BEGIN_MSG_MAP(CDropArrowsEx)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
  END_MSG_MAP()

 private:
  LRESULT OnEraseBkgnd(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);

  CBrush m_brush;
  BOOL m_bVertical = TRUE;
  int m_nLength = 0;
};
