#pragma once
// A modal run in a loop the system owns: its message box, a file or folder chooser, a
// menu. Such a run ends on a click as the console's own dialogs do, and the second press
// of a double click then lands on the console window below it. While one of these
// lives, a hook on the thread's message retrieval shows every message the system's loop
// takes to a UiEndingClick, as the console's own loops do: a press handed on by a run
// that just ended goes nowhere in the system's window, and the click that ends the
// system's run goes on to the next loop. UI thread only; an inner run shares the
// outermost's hook.
#include <windows.h>

#include "uiwin/UiEndingClick.h"

class UiSystemModalRun {
 public:
  UiSystemModalRun();
  ~UiSystemModalRun();
  UiSystemModalRun(const UiSystemModalRun&) = delete;
  UiSystemModalRun& operator=(const UiSystemModalRun&) = delete;

 private:
  static LRESULT CALLBACK OnGetMessage(int code, WPARAM removed, LPARAM message);

  UiEndingClick m_clicks;
  UiSystemModalRun* m_outer;
  HHOOK m_hook = nullptr;  // the outermost run's
};
