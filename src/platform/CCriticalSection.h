#pragma once
// Critical section and its scope lock.
#include <windows.h>

class CCriticalSection {
 public:
  CCriticalSection() { ::InitializeCriticalSection(&cs_); }
  CCriticalSection(const CCriticalSection&) = delete;
  CCriticalSection& operator=(const CCriticalSection&) = delete;
  ~CCriticalSection() { ::DeleteCriticalSection(&cs_); }
  void Lock() { ::EnterCriticalSection(&cs_); }
  void Unlock() { ::LeaveCriticalSection(&cs_); }

 private:
  CRITICAL_SECTION cs_;
};
