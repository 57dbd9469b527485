#pragma once
// Selects a GDI object into a DC for the selector's lifetime, then puts the old
// object back and deletes the new one when the selector made it.
#include <windows.h>

#include "platform/CGdiObject.h"

template <typename THandle>
class CObjectSelector {
 public:
  CObjectSelector(HDC dc, THandle object, bool owned)
      : dc_(dc), object_(object, owned), old_(object ? ::SelectObject(dc, object) : nullptr) {}
  ~CObjectSelector() {
    if (old_) ::SelectObject(dc_, old_);
  }
  CObjectSelector(const CObjectSelector&) = delete;
  CObjectSelector& operator=(const CObjectSelector&) = delete;

 private:
  HDC dc_;
  CGdiObject<THandle> object_;
  HGDIOBJ old_;
};
