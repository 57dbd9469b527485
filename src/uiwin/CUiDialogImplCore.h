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
  // The control of the frame that has the focus, null when none has.
  static HWND FocusWithin(HWND hFrame);
  // Gives the focus to that control when it is still one of the frame's and can take
  // it; TRUE when it did.
  static BOOL RestoreFocus(HWND hFrame, HWND hFocus);
  // After a modal run: the focus goes back to the window that had it when the run began
  // when that is one of the owner's and the owner has the activation again (a run that
  // ended with the user in another program leaves the focus there).
  static void GiveFocusBack(HWND hOwnerTop, HWND hFocus);
  // A frame that the window manager handed the focus while another program had it (a
  // box opened from the tray) is about to go, its owner active again: the window manager
  // would give the focus back to that program, and the keys with it. A window of a pixel
  // of the owner's is shown for the moment; the window manager offers it the focus, as a
  // new window or as the next in its order once the frame has gone, and it hands the
  // focus on to the owner (the system gives it to the window that has the thread's focus
  // when a window declines the activation), as often as it is offered, until the user's
  // first key or click on the thread. One never offered the focus goes with its owner.
  static void HandFocusBack(HWND hOwnerTop, HWND hFrame);
  // WM_MOUSEACTIVATE's lParam: the window manager offers the window the focus. The system
  // asks as for a click on a menu, a place no frame of ours has.
  static BOOL OfferedByWindowManager(LPARAM lParam) {
    return LOWORD(lParam) == HTMENU && HIWORD(lParam) == WM_LBUTTONDOWN;
  }
  // Takes a frame that is about to be destroyed off the screen at once: it loses
  // WS_VISIBLE without a hide, so that its destruction removes it from the display
  // directly. Under Wine a hide waits for the window manager to confirm that the window
  // was mapped (two seconds without one, or when it comes right after the show), with
  // the UI thread stopped and the frame still on the screen: the click that ended it
  // then looks ignored, and the next one lands on the window below.
  static void HideForDestroy(HWND hFrame);
  // The presses and releases of mouse buttons that the user made before `endTime` (a
  // message time) and that are still queued: made while a modal frame stood, they went
  // with it, and must not act on the window that is under the pointer now. The last left
  // press of them goes on to the next loop as one of the burst that ended the run.
  static void DropClicksBefore(DWORD endTime);

  // Keeping a shown frame where it was put while the window manager takes it over.
  // Openbox first puts a new window into a frame of its own at the top-left corner of
  // the screen, then moves the frame to the window's place and shows it. A position
  // report that Wine reads in between makes it record the window at that corner while
  // it stands where it was put: clicks on the frame then go to what Wine believes lies
  // under them (a disabled owner), and the frame can no longer be clicked. A report
  // read before the frame's own size reached the manager gives it the size the window
  // had then, a dot that holds the run; a starved manager's report of it can come with
  // the frame standing in its place, since Wine reads the place when it handles the
  // report, not when it was made: the dot then stands on top of the owner, which it
  // holds, where nobody sees it. Those reports, a move to the corner or the size the
  // frame was created with in the first moments after the show, are put right, place
  // and size (a few times at most in case the manager insists); every other move is the
  // user's (by the window manager, or by the frame's own header) and is kept.
  struct Placement {
    POINT at{0, 0};
    SIZE size{0, 0};
    SIZE created{0, 0};  // the size at creation, before the layout's
    BOOL keep = FALSE;
    int fixes = 0;
    DWORD shownAt = 0;  // tick count of the show
    BOOL moved = FALSE;  // moved elsewhere since the show
  };
  // Once created: the size it has before its layout's.
  static void NoteCreated(HWND hFrame, Placement& place);
  // After the show: the frame's place is kept from now on.
  static void KeepPlace(HWND hFrame, Placement& place);
  // WM_WINDOWPOSCHANGED: the take-over's move is put right (posted).
  static void CheckPlace(HWND hFrame, Placement& place, const WINDOWPOS* pos);
  // The posted message that puts it right, and what it does.
  static UINT KeepPlaceMessage();
  static void RestorePlace(HWND hFrame, Placement& place);

  // Tells the window manager the frame's owner as it stands now. Wine writes the owner
  // to the X window only when the window is created or shown, or when its disabled bit
  // changes; so the bit is turned and turned back, with no other effect.
  static void TellOwner(HWND hFrame);

  // A modal frame minimised goes to the tray with the windows it stands over (its
  // owners): hidden, as the main window goes there. Wine without a window manager does
  // not iconify (the frame stays painted where it stood and takes no click), and a
  // window manager iconifies the disabled owner with it, which Wine still takes for
  // shown, so that showing it again would not bring it back.
  static void HideWithOwners(HWND hFrame);
  // Minimised or hidden.
  static BOOL InTray(HWND hFrame);
  // Back from the tray: its owners first, then the frame on top of them.
  static void ShowWithOwners(HWND hFrame);

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
