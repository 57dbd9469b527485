#pragma once
// Allocations refused on purpose, for code that must cope with std::bad_alloc (a grid
// that cannot take another row). While a RefuseAllocations lives, the allocations of
// exactly `bytes` bytes through operator new succeed `allowed` times, the next one
// fails, and those after it succeed again (the box that tells the user is built). The
// replaced operator new is in support/alloc/RefusedAllocations.cpp, which
// only the suites that use it compile in (their CMakeLists.txt adds it), so no other
// test program allocates through it. It also tells how much code asks for at once
// (WatchAllocations): a reader that must not take a large input whole.
#include <cstddef>

namespace qvtest {

class RefuseAllocations {
 public:
  RefuseAllocations(size_t bytes, int allowed);
  ~RefuseAllocations();
  RefuseAllocations(const RefuseAllocations&) = delete;
  RefuseAllocations& operator=(const RefuseAllocations&) = delete;

  int Refused() const;
};

// While it lives, the largest block this thread asks operator new for.
class WatchAllocations {
 public:
  WatchAllocations();
  ~WatchAllocations();
  WatchAllocations(const WatchAllocations&) = delete;
  WatchAllocations& operator=(const WatchAllocations&) = delete;

  size_t Largest() const;
};

// What a new grid row of `columns` cells allocates in one piece: its cells.
size_t GridRowBytes(int columns);

}  // namespace qvtest
