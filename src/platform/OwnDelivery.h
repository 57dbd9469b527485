#pragma once
// The console's own deliveries of window messages that carry a pointer into the
// sender's memory. Any program on the desktop can post or send any message number to
// our windows, with whatever it likes in wParam and lParam, so such a pointer is read or
// written through only while this thread's own code is sending that very message: the
// sender goes through Send, which marks the delivery on the thread for as long as it
// runs, and the receiver asks IsDelivering first. A posted message (whoever posted it,
// this thread too) and one sent from another thread never carry the mark.
#include <windows.h>

class OwnDelivery {
 public:
  // SendMessageW to a window of this thread, marked while it runs.
  static LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Whether a Send of this thread is delivering exactly this message now (nested
  // deliveries each count: every one of them still holds its pointers).
  static bool IsDelivering(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // The same, to whichever window.
  static bool IsDelivering(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  OwnDelivery(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  ~OwnDelivery();
  OwnDelivery(const OwnDelivery&) = delete;
  OwnDelivery& operator=(const OwnDelivery&) = delete;
  bool Is(UINT message, WPARAM wParam, LPARAM lParam) const {
    return m_message == message && m_wParam == wParam && m_lParam == lParam;
  }

  HWND m_window;
  UINT m_message;
  WPARAM m_wParam;
  LPARAM m_lParam;
  const OwnDelivery* m_outer;
};
