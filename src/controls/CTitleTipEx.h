#pragma once
// The grid's clipped-text tip: a small top-most pop-up that shows a cell's whole text
// over the cell when the cell is too narrow for it, in the system's message font and
// tip colours (a rounded, shaded look with the theme setting and visual styles). While
// shown it holds the mouse: a move off it hides it, and a click on it reaches the grid
// at the same screen point. It may carry a tool-tip text of its own.
#include <windows.h>

#include <string>

#include "platform/CGdiObject.h"
#include "platform/CRect.h"
#include "platform/CToolTipCtrl.h"
#include "platform/CWindowImpl.h"

class CTitleTipEx : public CWindowImpl<CTitleTipEx> {
 public:
  DECLARE_WND_CLASS_EX(nullptr, CS_SAVEBITS, COLOR_INFOBK)

  CTitleTipEx() = default;
  ~CTitleTipEx() override;

  // The tip window of the grid, replacing an earlier one.
  BOOL Create(HWND hWndGrid, BOOL bThemed);
  // Over the text area rcText (screen coordinates) when the text is wider than it; FALSE
  // when not shown (no window, empty text, or the text fits).
  BOOL Show(const CRect& rcText, LPCWSTR pszText, LPCWSTR pszToolTip);
  void Hide();

  BEGIN_MSG_MAP(CTitleTipEx)
    MESSAGE_RANGE_HANDLER(WM_MOUSEFIRST, WM_MOUSELAST, OnMouse)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  END_MSG_MAP()

 private:
  LRESULT OnMouse(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&);
  LRESULT OnEraseBkgnd(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled);
  bool IsStyled() const;

  HWND m_hWndOwner = nullptr;
  BOOL m_bThemed = FALSE;
  std::wstring m_strToolTip;
  COLORREF m_rgbBackground = 0;
  COLORREF m_rgbText = 0;
  CFont m_font;
  CToolTipCtrl m_wndToolTip;
};
