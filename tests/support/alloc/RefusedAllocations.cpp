#include "support/RefusedAllocations.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "controls/CListSubItemEx.h"

namespace {

std::atomic<size_t> g_refusedSize{0};
std::atomic<int> g_allowed{0};
std::atomic<int> g_refused{0};
std::atomic<DWORD> g_watchedThread{0};
std::atomic<size_t> g_largest{0};

}  // namespace

// The program's operator new, as the runtime's own (malloc) unless a refusal is armed.
void* operator new(std::size_t size) {
  if (g_watchedThread.load() != 0 && g_watchedThread.load() == ::GetCurrentThreadId() && size > g_largest.load())
    g_largest = size;
  if (size != 0 && size == g_refusedSize.load() && g_allowed.fetch_sub(1) == 0) {
    ++g_refused;
    throw std::bad_alloc();
  }
  if (void* block = std::malloc(size ? size : 1)) return block;
  throw std::bad_alloc();
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

namespace qvtest {

RefuseAllocations::RefuseAllocations(size_t bytes, int allowed) {
  g_refused = 0;
  g_allowed = allowed;
  g_refusedSize = bytes;
}

RefuseAllocations::~RefuseAllocations() { g_refusedSize = 0; }

int RefuseAllocations::Refused() const { return g_refused.load(); }

WatchAllocations::WatchAllocations() {
  g_largest = 0;
  g_watchedThread = ::GetCurrentThreadId();
}

WatchAllocations::~WatchAllocations() { g_watchedThread = 0; }

size_t WatchAllocations::Largest() const { return g_largest.load(); }

size_t GridRowBytes(int columns) { return size_t(columns) * sizeof(CListSubItemEx); }

}  // namespace qvtest
