#pragma once
// The parts of the dialog frame that do not depend on the dialog class.
#include <windows.h>

class CUiDialogImplCore {
 public:
  // CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, with the drop shadow from Windows XP on.
  static UINT FrameClassStyle();
  // WM_NCCALCSIZE: the client area is the whole window, so the frame never shows a
  // caption or border whatever its style says.
  static LRESULT CalcFullClientArea(HWND hWnd, BOOL bCalcValidRects, LPARAM lParam);
  // WM_GETMINMAXINFO: maximized, the frame covers its monitor's work area (never the
  // taskbar) and overhangs it by one pixel on every side, hiding its rounded corners.
  static void FillMinMaxInfo(HWND hWnd, MINMAXINFO* pInfo);
  // Turns visual styles off for the frame when the visual-styles library is loaded.
  static void DisableTheme(HWND hWnd);
};
