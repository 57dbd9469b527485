#include "console/LocalClock.h"

#include "platform/DebugReport.h"
#include "platform/WideFormat.h"

namespace {
const SYSTEMTIME* g_fixed = nullptr;
}

LocalClock::Fix::Fix(const SYSTEMTIME& time) : m_time(time), m_pPrevious(g_fixed) {
  g_fixed = &m_time;
}

LocalClock::Fix::~Fix() {
  QV_ASSERT(g_fixed == &m_time);
  g_fixed = m_pPrevious;
}

void LocalClock::Fix::Set(const SYSTEMTIME& time) { m_time = time; }

SYSTEMTIME LocalClock::Now() {
  if (g_fixed) return *g_fixed;
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
