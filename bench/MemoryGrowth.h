// How much the process keeps of a repeated step, as the memory benchmarks measure it:
// resident and private memory, what the Windows heaps hold, GDI objects and this
// thread's windows, sampled before the first step and after each. Header only.
#pragma once
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <functional>
#include <vector>

#include "BenchSupport.h"
#include "support/GdiObjectCount.h"

namespace qvbench {

// Private memory as the system counts it (under Wine: the anonymous resident pages).
inline double PrivateKiB() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
  return static_cast<double>(counters.PagefileUsage) / 1024.0;
}

// Resident memory: the working set, which Wine takes from the Unix process's VmRSS
// (pages of the binaries and of the X11 driver included). A Windows path to
// /proc/self would name the wineserver instead.
inline double ResidentKiB() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
  return static_cast<double>(counters.WorkingSetSize) / 1024.0;
}

// What is allocated in the process's Windows heaps.
inline double HeapKiB() {
  HANDLE heaps[64];
  const DWORD count = ::GetProcessHeaps(64, heaps);
  double bytes = 0;
  for (DWORD i = 0; i < count && i < 64; ++i) {
    PROCESS_HEAP_ENTRY entry{};
    if (!::HeapLock(heaps[i])) continue;
    while (::HeapWalk(heaps[i], &entry))
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) bytes += entry.cbData;
    ::HeapUnlock(heaps[i]);
  }
  return bytes / 1024.0;
}

inline BOOL CALLBACK CountWindow(HWND window, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  ::EnumChildWindows(window, CountWindow, count);
  return TRUE;
}

// The windows of this thread, with all their children.
inline int WindowCount() {
  int count = 0;
  ::EnumThreadWindows(::GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

struct MemorySample {
  double memory, heap, resident;
  int gdiObjects, windows;
  static MemorySample Now() {
    return {PrivateKiB(), HeapKiB(), ResidentKiB(), static_cast<int>(GdiObjectCount()), WindowCount()};
  }
};

struct Growth {
  double median, whole, heapMedian, residentMedian;  // KiB per unit; negative when a step failed
  int gdiObjects, windows;                           // more at the end than at the start
};

// Runs the steps, sampling before the first and after each; growth per unit. A step
// that returns false ends the measurement as failed.
inline Growth Measure(int steps, double unitsPerStep, const std::function<bool(int)>& step) {
  std::vector<MemorySample> samples{MemorySample::Now()};
  for (int i = 0; i < steps; ++i) {
    if (!step(i)) return {-1, -1, -1, -1, 0, 0};
    samples.push_back(MemorySample::Now());
  }
  std::vector<double> memory, heap, resident;
  for (int i = 0; i < steps; ++i) {
    memory.push_back((samples[i + 1].memory - samples[i].memory) / unitsPerStep);
    heap.push_back((samples[i + 1].heap - samples[i].heap) / unitsPerStep);
    resident.push_back((samples[i + 1].resident - samples[i].resident) / unitsPerStep);
  }
  return {Median(memory),   (samples.back().memory - samples.front().memory) / (steps * unitsPerStep),
          Median(heap),     Median(resident),
          samples.back().gdiObjects - samples.front().gdiObjects, samples.back().windows - samples.front().windows};
}

inline void Print(const char* what, const Growth& g, const char* unit) {
  std::printf("%-36s %8.2f KiB per %s (whole run %8.2f; Windows heaps %6.2f; resident %8.2f; GDI objects %+d, "
              "windows %+d)\n",
              what, g.median, unit, g.whole, g.heapMedian, g.residentMedian, g.gdiObjects, g.windows);
}

}  // namespace qvbench
