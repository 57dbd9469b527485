#pragma once
// The element-handle registry. Elements are referred to by HUIWND and
// resolved at each use, so a deleted element is simply not found. One
// critical section guards the map, the counter and the radio groups; it is
// held only around a single lookup, insert or erase (radio-group users hold
// it through Lock for one group operation).

#include <windows.h>

#include <string>
#include <vector>

typedef DWORD HUIWND;

class CUiWindow;

class UiWnds {
 public:
  // Maps a new handle (counted from 1, never reused) to the element; a null
  // element gets 0 and nothing is stored.
  static HUIWND RegisterWindow(CUiWindow* wnd);
  static BOOL UnregisterWindow(HUIWND handle);
  static CUiWindow* GetWindow(HUIWND handle);

  // Scoped hold of the registry lock (recursive on the owning thread).
  class Lock {
   public:
    Lock();
    ~Lock();
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;
  };

  // Members of the named radio group, created empty on first use.
  // Only to be used while holding a Lock.
  static std::vector<HUIWND>& RadioGroup(const std::string& name);
};
