#pragma once
// A window message as any other program can make one: posted, or sent from a thread that
// is not the window's (or, as a hook in the process could, posted or sent from its own
// thread), with whatever it likes in wParam and lParam. The window is this thread's; the
// call returns once the message has been taken.
#include <windows.h>

#include <atomic>
#include <thread>

#include "support/TestEnv.h"

namespace stranger {

enum How { kPosted, kSent, kPostedHere, kSentHere };

inline const char* Name(How how) {
  const char* const names[] = {"posted", "sent", "posted here", "sent here"};
  return names[how];
}

inline void Deliver(How how, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto deliver = [=] {
    if (how == kPosted || how == kPostedHere)
      ::PostMessageW(window, message, wParam, lParam);
    else
      ::SendMessageW(window, message, wParam, lParam);
  };
  if (how == kPostedHere || how == kSentHere) {
    deliver();
  } else {
    std::atomic<bool> done{false};
    const DWORD here = ::GetCurrentThreadId();
    std::thread other([&] {
      deliver();
      done = true;
      ::PostThreadMessageW(here, WM_NULL, 0, 0);  // wakes the wait for a send below
    });
    testenv::PumpUntil([&] { return done.load(); }, 60000);
    other.join();
  }
  testenv::PumpFor(0);  // what was posted is queued by now: it is taken here
}

}  // namespace stranger
