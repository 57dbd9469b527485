// The process's memory as the memory benchmarks read it. Header only.
#pragma once
#include <windows.h>
#include <psapi.h>

namespace qvbench {

// Private memory as the system counts it (under Wine: the anonymous resident pages).
inline double PrivateKiB() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
  return static_cast<double>(counters.PagefileUsage) / 1024.0;
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

}  // namespace qvbench
