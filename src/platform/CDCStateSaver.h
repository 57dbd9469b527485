#pragma once
#include <windows.h>

// Restores the objects and the state a drawing routine changed.
class CDCStateSaver {
 public:
  explicit CDCStateSaver(HDC dc) : dc_(dc), state_(::SaveDC(dc)) {}
  CDCStateSaver(const CDCStateSaver&) = delete;
  CDCStateSaver& operator=(const CDCStateSaver&) = delete;
  ~CDCStateSaver() {
    if (state_) ::RestoreDC(dc_, state_);
  }

 private:
  HDC dc_;
  int state_;
};
