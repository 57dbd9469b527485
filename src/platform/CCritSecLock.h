#pragma once
#include "platform/CCriticalSection.h"

class CCritSecLock {
 public:
  explicit CCritSecLock(CCriticalSection& cs) : cs_(cs) { cs_.Lock(); }
  CCritSecLock(const CCritSecLock&) = delete;
  CCritSecLock& operator=(const CCritSecLock&) = delete;
  ~CCritSecLock() { cs_.Unlock(); }

 private:
  CCriticalSection& cs_;
};
