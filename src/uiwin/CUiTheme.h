#pragma once

#include <windows.h>

#include "uiwin/UiWinThemeFunc.h"

// A visual-styles theme for the window class "BUTTON", opened through the
// run-time table and closed with the holder. Check and radio elements draw
// their boxes with it.
class CUiTheme {
 public:
  enum { PartRadioButton = 2, PartCheckBox = 3 };

  // With a window, the theme opens at once; with nullptr, on OpenThemeData.
  explicit CUiTheme(HWND hWnd = nullptr, const UiWinThemeFunc* pTable = nullptr);
  ~CUiTheme();
  CUiTheme(const CUiTheme&) = delete;
  CUiTheme& operator=(const CUiTheme&) = delete;

  // FALSE when a theme is already open or none could be opened.
  BOOL OpenThemeData(HWND hWnd);
  // E_NOTIMPL when the entry is missing.
  HRESULT CloseThemeData();
  BOOL IsThemeOpen() const { return m_hTheme != nullptr; }
  // Draws part nPartId (check box or radio button) in state nStateId.
  HRESULT DrawThemeBackground(HDC hdc, int nPartId, int nStateId, const RECT* pRect);

 private:
  const UiWinThemeFunc& m_table;
  HUITHEME m_hTheme;
};
