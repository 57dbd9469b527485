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
// as a message posted to the thread, which a loop gets before any input. There the
// burst of clicks that ended the run goes on belonging to the run until the mouse rests:
// every left press, with its release, goes nowhere while it comes within the
// double-click time of the press before it and within the double-click rectangle of the
// burst's place, as the system counts them, however many come, whether as presses or
// double clicks, to the view or to a real control. A release that comes before any press
// goes nowhere too (a run that ended on the press). A press made after a rest or
// elsewhere acts as always, and so does every press that was posted rather than made
// with the mouse. UI thread only.
#include <windows.h>

class UiEndingClick {
 public:
  // TRUE when the message is not to be translated or dispatched: a press handed on by
  // a run that ended, or a later press of its burst or that press's release.
  BOOL Swallow(const MSG& msg);
  // The loop's run ends: when the last message it let through was a click, or when the
  // burst of a press handed to it has not yet ended, the burst goes on.
  void HandOn() const;

  // The thread message that carries a press (wParam its time, lParam its screen point).
  static UINT HandOnMessage();
  // Hands on a press of the run's burst that went another way (with the frame that
  // ended): the next press counts from it.
  static void HandOn(DWORD time, POINT at);

 private:
  BOOL InBurst(DWORD time, POINT at) const;

  DWORD m_time = 0;       // the last left press: its message time
  POINT m_at{0, 0};       // the screen point of the press that began its burst
  BOOL m_pressed = FALSE;  // there is one
  BOOL m_armed = FALSE;    // its burst ended a run and has not ended yet
  BOOL m_dropRelease = FALSE;
  BOOL m_lastWasClick = FALSE;  // the last message let through was a left press or release
};
