#pragma once
// The modal runs of the console's frames on the UI thread, innermost last, and the
// window that owns a box or dialog opened now: the one that has the user's input. That
// is the caller's parent, else the active window, while its top-level window takes
// input; when a run holds that window (it is disabled), or when no window of the thread
// is active (the user is in another program or in the tray), it is the innermost run's
// frame that is enabled, the topmost modal dialog. A box raised by a page, a service
// notice or the tray menu so holds the dialog that stands, never only a window that
// is held already. UI thread only; runs end in the reverse order of their start.
#include <windows.h>

class UiModalRun {
 public:
  // A frame's modal run, from its creation to its end.
  explicit UiModalRun(HWND frame);
  ~UiModalRun();
  UiModalRun(const UiModalRun&) = delete;
  UiModalRun& operator=(const UiModalRun&) = delete;

  // The owner of a run about to start; parent may be null. Null when the thread has
  // neither an active window nor a run.
  static HWND OwnerFor(HWND parent);

 private:
  HWND m_frame;
  UiModalRun* m_outer;
};
