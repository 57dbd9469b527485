#pragma once
// A window message as any other program on the desktop can make one: posted, or sent
// from a thread that is not the window's, with whatever it likes in wParam and lParam.
// The window is this thread's; the call returns once its thread has taken the message.
#include <windows.h>

#include <atomic>
#include <thread>

#include "support/TestEnv.h"

namespace stranger {

enum How {
  kPosted,      // from another thread
  kSent,        // from another thread
  kPostedHere,  // from this thread, as a hook in the process could
  kSentHere,    // from this thread, by code that is not the console's sender
};

inline const char* Name(How how) {
  return how == kPosted ? "posted" : how == kSent ? "sent" : how == kPostedHere ? "posted here" : "sent here";
}

inline void Deliver(How how, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (how == kSentHere) {
    ::SendMessageW(window, message, wParam, lParam);
    return;
  }
  if (how == kPostedHere) {
    ::PostMessageW(window, message, wParam, lParam);
  } else {
    std::atomic<bool> done{false};
    const DWORD here = ::GetCurrentThreadId();
    std::thread other([&] {
      if (how == kPosted)
        ::PostMessageW(window, message, wParam, lParam);
      else
        ::SendMessageW(window, message, wParam, lParam);
      done = true;
      ::PostThreadMessageW(here, WM_NULL, 0, 0);  // wakes the wait below
    });
    // A send waits for this thread to take it.
    testenv::PumpUntil([&] { return done.load(); }, 60000);
    other.join();
  }
  testenv::PumpFor(0);  // what was posted is queued by now: it is taken here
}

}  // namespace stranger
