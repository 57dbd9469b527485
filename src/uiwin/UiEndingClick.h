#pragma once
// The click that ended a modal run, and the press that follows it. The first click of a
// double click ends a dialog or box; by the time the second press comes the frame is
// gone, and the window that was below it (a page's 删除 under the editor's 取消, the main
// window's ✕ under a dialog's) takes the press as a click of its own. That press goes
// nowhere.
//
// Each modal loop holds one, and shows it every message it gets before anything else.
// It notes the left presses the loop lets through, each with the button it lands on;
// when the run ends on a click, the press and its button go on to whichever loop runs
// next (the owner's, or a box its handler opens), as a message posted to the thread,
// which a loop gets before any input. There the burst of clicks that ended the run goes
// on belonging to the run until the mouse rests or leaves the button: every left press,
// with its release, goes nowhere while it comes within the double-click time of the
// press before it and lands where the ending button was (its rectangle, with the
// system's double-click slack around it), however the hand drifts within it and however
// many come, whether as presses or double clicks, to the view or to a real control.
// Where the press landed on no button, its place is the slack around the press. A
// release that comes before any press goes nowhere too (a run that ended on the press).
// A press made after a rest or elsewhere acts as always, and so does every press that
// was posted rather than made with the mouse. UI thread only.
//
// The button of a press: the element of a host view that the press pushes down, when a
// click on it gives a command (the view answers PlaceMessage), or a real push button
// (the system's message box's too).
#include <windows.h>

class UiEndingClick {
 public:
  // TRUE when the message is not to be translated or dispatched: a press handed on by
  // a run that ended, or a later press of its burst or that press's release.
  BOOL Swallow(const MSG& msg);
  // The loop's run ends: when the last message it let through was a click, or when the
  // burst of a press handed to it has not yet ended, the burst goes on.
  void HandOn() const;

  // The thread message that carries a press (wParam its time, lParam the number under
  // which the thread keeps its place and button).
  static UINT HandOnMessage();
  // Hands on a press of the run's burst that went another way (with the frame that
  // ended): the next press counts from it.
  static void HandOn(DWORD time, POINT at);

  // Sent to the window a left press went to: wParam the press's screen point (x low,
  // y high, signed), lParam a RECT* that a window of the same thread fills with the
  // screen rectangle of the button the press lands on, answering TRUE; FALSE when it
  // lands on none. Only the loops' own question is answered (OwnDelivery).
  static UINT PlaceMessage();

 private:
  BOOL InBurst(DWORD time, POINT at) const;
  static void HandOn(DWORD time, POINT at, const RECT& place);

  DWORD m_time = 0;        // the last left press: its message time
  POINT m_at{0, 0};        // and its screen point
  RECT m_place{0, 0, 0, 0};  // where its burst belongs: the button it landed on, on the screen
  BOOL m_pressed = FALSE;  // there is one
  BOOL m_armed = FALSE;    // its burst ended a run and has not ended yet
  BOOL m_dropRelease = FALSE;
  BOOL m_lastWasClick = FALSE;  // the last message let through was a left press or release
};
