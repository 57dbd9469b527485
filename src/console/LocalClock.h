#pragma once
// The console's local time: the ids of new rows, the times written into rows and log
// lines and the time of a generated report all come from Now(). A test fixes the time
// with a Fix for its lifetime; otherwise it is the system's local time.
#include <windows.h>

#include <string>

#include "platform/ProcessSeam.h"

class LocalClock {
 public:
  // Holds the clock at a given time while it lives; nests, putting the previous
  // setting back at its end.
  class Fix {
   public:
    explicit Fix(const SYSTEMTIME& time) : m_time(time), m_scope(*this) {}
    // Moves the fixed time.
    void Set(const SYSTEMTIME& time) { m_time = time; }
    const SYSTEMTIME& Time() const { return m_time; }

   private:
    SYSTEMTIME m_time;
    qv::ProcessSeam<Fix>::Scope m_scope;
  };

  // The local time now (GetLocalTime), or the fixed time.
  static SYSTEMTIME Now();
  // "%04d%02d%02d%02d%02d%02d%03d", year to milliseconds: the id of a new row.
  static std::wstring RowId(const SYSTEMTIME& time = Now());
  // "%Y-%m-%d %H:%M:%S": creation and modification times, log lines, report times.
  static std::wstring TimeText(const SYSTEMTIME& time = Now());
};
