// What the benchmarks share: the clock, the median of a run's times, the goals of a
// run, a fresh test database, and the bare ODBC connection that the database figures are
// measured against. Header only; every benchmark is a program of its own.
#pragma once
#include <windows.h>
// sql.h needs the Windows types first.
#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "support/TestDatabase.h"

namespace qvbench {

// The performance counter in milliseconds.
inline double Now() {
  LARGE_INTEGER f, c;
  ::QueryPerformanceFrequency(&f);
  ::QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

inline double Seconds() { return Now() / 1000.0; }

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The goals of a run, each said as it is checked, met or missed; a run that missed one
// fails (exit status 1).
class Goals {
 public:
  // A ratio to a baseline measured in the same run: "ratio NAME: R (goal <= G)". One
  // that cannot be computed (no baseline) is missed.
  bool Ratio(const std::string& name, double ratio, double goal) {
    const bool met = ratio <= goal;
    std::printf("ratio %s: %.2f (goal <= %g)%s\n", name.c_str(), ratio, goal, met ? "" : " missed");
    return Note(name, met);
  }
  // A goal whose figures the caller printed: "goal NAME: met" or "missed".
  bool Check(const std::string& name, bool met) {
    std::printf("goal %s: %s\n", name.c_str(), met ? "met" : "missed");
    return Note(name, met);
  }
  // The verdict line; the program's exit status.
  int Report() const {
    if (m_missed.empty()) {
      std::printf("every goal met\n");
      return 0;
    }
    std::string names;
    for (const std::string& name : m_missed) names += (names.empty() ? "" : "; ") + name;
    std::printf("goals missed: %s\n", names.c_str());
    return 1;
  }

 private:
  bool Note(const std::string& name, bool met) {
    if (!met) m_missed.push_back(name);
    return met;
  }

  std::vector<std::string> m_missed;
};

// The test database made afresh; false, with the reason on stderr, when it cannot be.
inline bool ResetDatabase() {
  std::wstring error;
  if (qvtest::TestDatabase::Reset(&error)) return true;
  std::fprintf(stderr, "database setup failed: %ls\n", error.c_str());
  return false;
}

// A text as the ODBC calls take it.
inline SQLWCHAR* Sql(const wchar_t* text) { return const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(text)); }

// An ODBC 3 environment and connection handle, freed with the object. Connecting and
// disconnecting are apart from the handles, so that a figure may time them alone.
class PlainConnection {
 public:
  PlainConnection() {
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_env);
    SQLSetEnvAttr(m_env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, m_env, &m_dbc);
  }
  ~PlainConnection() {
    Disconnect();
    SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, m_env);
  }
  PlainConnection(const PlainConnection&) = delete;
  PlainConnection& operator=(const PlainConnection&) = delete;

  bool Connect(const wchar_t* dsn) {
    m_connected = SQL_SUCCEEDED(SQLConnectW(m_dbc, Sql(dsn), SQL_NTS, nullptr, 0, nullptr, 0));
    return m_connected;
  }
  void Disconnect() {
    if (m_connected) SQLDisconnect(m_dbc);
    m_connected = false;
  }
  SQLHDBC Handle() const { return m_dbc; }

 private:
  SQLHENV m_env = SQL_NULL_HENV;
  SQLHDBC m_dbc = SQL_NULL_HDBC;
  bool m_connected = false;
};

// A statement on a connected PlainConnection, freed with the object (before the
// connection ends).
class PlainStatement {
 public:
  explicit PlainStatement(const PlainConnection& connection) {
    SQLAllocHandle(SQL_HANDLE_STMT, connection.Handle(), &m_stmt);
  }
  ~PlainStatement() { SQLFreeHandle(SQL_HANDLE_STMT, m_stmt); }
  PlainStatement(const PlainStatement&) = delete;
  PlainStatement& operator=(const PlainStatement&) = delete;

  operator SQLHSTMT() const { return m_stmt; }

 private:
  SQLHSTMT m_stmt = SQL_NULL_HSTMT;
};

}  // namespace qvbench
