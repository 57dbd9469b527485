#include "console/LocalClock.h"

#include "platform/WideFormat.h"

SYSTEMTIME LocalClock::Now() {
  if (const Fix* fix = qv::ProcessSeam<Fix>::Installed()) return fix->Time();
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  return now;
}

std::wstring LocalClock::RowId(const SYSTEMTIME& t) {
  return qv::FormatW(L"%04d%02d%02d%02d%02d%02d%03d", t.wYear, t.wMonth, t.wDay, t.wHour,
                     t.wMinute, t.wSecond, t.wMilliseconds);
}

std::wstring LocalClock::TimeText(const SYSTEMTIME& t) {
  return qv::FormatW(L"%04d-%02d-%02d %02d:%02d:%02d", t.wYear, t.wMonth, t.wDay, t.wHour,
                     t.wMinute, t.wSecond);
}
