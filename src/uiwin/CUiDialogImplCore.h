#pragma once
// The parts of the dialog frame that do not depend on the dialog class.
#include <windows.h>

class CUiDialogView;

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
  // Whether the keyboard focus is on one of the frame's windows other than the frame: a
  // child, or a pop-up of one (a drop-down calendar).
  static BOOL HoldsFocus(HWND hFrame);
  // WM_SYSCOMMAND about to maximise or restore the frame: the skin its maximise button
  // takes ("restorebtn", "maxbtn"); null for any other command.
  static const char* MaxButtonSkin(HWND hWnd, WPARAM command);

  // Modal-UI test seam (UiModalHook). With a hook installed, each modal run posts the
  // private message below to its frame as its loop starts, so that the hook acts on
  // the initialised dialog from inside that loop; without one nothing is posted.
  static UINT ModalHookMessage();
  static void PostModalHook(HWND hFrame);
  // Runs the hook for the frame; TRUE with *pEndCode when the dialog is to end.
  static BOOL RunModalHook(HWND hFrame, CUiDialogView& view, UINT* pEndCode);
};
