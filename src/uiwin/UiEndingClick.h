#pragma once
// The click that ended a modal run, and the press that follows it. The first click of a
// double click ends a dialog or box; by the time the second press comes the frame is
// gone, and the window that was below it (a page's 删除 under the editor's 取消, the main
// window's ✕ under a dialog's) takes the press as a click of its own. That press goes
// nowhere.
//
// Each modal loop holds one, and shows it every message it gets before anything else.
// It notes the left presses the loop lets through; when the run ends on a click, the
// press goes on to whichever loop runs next (the owner's, or a box its handler opens),
// as a message posted to the thread, which a loop gets before any input. There the next
// left press goes nowhere, with its release, when it is the second half of a double
// click with that press: within the double-click time and rectangle, as the system
// counts them, whether it comes as a press or a double click, to the view or to a real
// control. A release that comes before any press goes nowhere too (a run that ended on
// the press). A press made later or elsewhere acts as always, and so does every press
// that was posted rather than made with the mouse. UI thread only.
#include <windows.h>

class UiEndingClick {
 public:
  // TRUE when the message is not to be translated or dispatched: a press handed on by
  // a run that ended, or the press or release of a second half.
  BOOL Swallow(const MSG& msg);
  // The loop's run ends: when the last message it let through was a click, or when a
  // press handed to it still waits for its second half, that press goes on.
  void HandOn() const;

  // The thread message that carries a press (wParam its time, lParam its screen point).
  static UINT HandOnMessage();

 private:
  BOOL SecondHalf(const MSG& msg) const;

  DWORD m_time = 0;       // the last left press: its message time
  POINT m_at{0, 0};       // and its screen point
  BOOL m_pressed = FALSE;  // there is one
  BOOL m_armed = FALSE;    // it ended a run, and no press came since
  BOOL m_dropRelease = FALSE;
  BOOL m_lastWasClick = FALSE;  // the last message let through was a left press or release
};
