#pragma once
// The modal runs on the UI thread, innermost last: the console's frames, and the runs
// in loops the system owns (its message box, a file or folder chooser), and the window
// that owns a box or dialog opened now: the one that has the user's input. That is the
// caller's parent, else the active window, while its top-level window takes input; when
// a run holds that window (it is disabled), or when no window of the thread is active
// (the user is in another program or in the tray), it is the innermost run's window that
// is enabled: the topmost modal dialog, or the system's box or chooser that stands over
// one. A box raised by a page, a service notice or the tray menu so holds whatever has
// the input, never only a window that is held already. UI thread only; runs end in the
// reverse order of their start.
#include <windows.h>

class UiModalRun {
 public:
  // A frame's modal run, from its creation to its end.
  explicit UiModalRun(HWND frame);
  // A run in a loop the system owns, over `owner` (null for one over nothing, a menu):
  // its window is the one the system shows over that owner.
  enum System { kSystem };
  UiModalRun(System, HWND owner);
  ~UiModalRun();
  UiModalRun(const UiModalRun&) = delete;
  UiModalRun& operator=(const UiModalRun&) = delete;

  // The owner of a run about to start; parent may be null. Null when the thread has
  // neither an active window nor a run.
  static HWND OwnerFor(HWND parent);

 private:
  // The run's window now, null when it has none (yet).
  HWND Window() const;

  HWND m_frame = nullptr;
  HWND m_systemOwner = nullptr;  // a system's run: the top-level window it stands over
  UiModalRun* m_outer;
};
