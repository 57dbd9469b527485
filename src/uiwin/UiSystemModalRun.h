#pragma once
// A modal run in a loop the system owns: its message box, a file or folder chooser, a
// menu. Such a run ends on a click as the console's own dialogs do, and the second press
// of a double click then lands on the console window below it. While one of these
// lives, a hook on the thread's message retrieval shows every message the system's loop
// takes to a UiEndingClick, as the console's own loops do: a press handed on by a run
// that just ended goes nowhere in the system's window, and the click that ends the
// system's run goes on to the next loop. It is a modal run like the console's own
// (UiModalRun): a box opened while the system's window has the input is owned by it and
// holds it. UI thread only; an inner run shares the outermost's hook.
#include <windows.h>

#include "uiwin/UiEndingClick.h"
#include "uiwin/UiModalRun.h"

class UiSystemModalRun {
 public:
  // owner: the window the system's box or chooser is given (null for a menu).
  explicit UiSystemModalRun(HWND owner = nullptr);
  ~UiSystemModalRun();
  UiSystemModalRun(const UiSystemModalRun&) = delete;
  UiSystemModalRun& operator=(const UiSystemModalRun&) = delete;

 private:
  static LRESULT CALLBACK OnGetMessage(int code, WPARAM removed, LPARAM message);

  UiModalRun m_run;
  UiEndingClick m_clicks;
  UiSystemModalRun* m_outer;
  HHOOK m_hook = nullptr;  // the outermost run's
};
