// Reading 100,000 AuditLog rows through SQLServerLink against a plain ODBC
// fetch loop over the same rows, in the same run. Target: within 1.5 times.
// And the first 10 of them with a row limit, against the whole read.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "BenchSupport.h"
#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"
#include "support/TestDatabase.h"

namespace {

using qvbench::Now;

const int kRows = 100000;
const int kRounds = 3;
const wchar_t kQuery[] =
    L"select LogHostIp, LogStyle, LogContent, LogTime, LogDetail, Strategyid, StrategyVersion from AuditLog";

bool Fill() {
  SQLServerLink link;
  if (!link.Connect(qvtest::TestDatabase::Dsn(), L"", L"")) return false;
  std::wstring sql =
      L"insert into AuditLog (LogHostIp, LogStyle, LogContent, LogTime, LogDetail, Strategyid, StrategyVersion) "
      L"with recursive n(i) as (select 1 union all select i + 1 from n where i < " + std::to_wstring(kRows) +
      L") select '10.0.' || (i % 250) || '.' || (i % 200), '文件修改', "
      L"'监测到文件被修改：C:\\数据\\报表' || i || '.xls', "
      L"printf('2024-03-%02d %02d:%02d:%02d', 1 + i % 28, i % 24, i % 60, (i * 7) % 60), "
      L"'文件大小由 ' || (i * 3) || ' 字节变为 ' || (i * 5) || ' 字节', '20240305070809123', i % 5 from n";
  if (!link.ExecDirect(sql.c_str())) {
    std::fprintf(stderr, "fill failed: %ls\n", link.GetLastErrorText());
    return false;
  }
  return true;
}

// The way pages read a list: every column copied into the caller's own value.
size_t ReadWithLink(int* rows) {
  size_t checksum = 0;
  *rows = 0;
  SQLServerLink link;
  if (!link.Connect(qvtest::TestDatabase::Dsn(), L"", L"")) return 0;
  SQLStatement* st = link.CreateStatement(kQuery);
  if (!st) return 0;
  while (st->Fetch()) {
    for (int c = 0; c < 6; ++c) {
      const wchar_t* text = st->GetString(c);
      std::wstring value = text ? text : L"";
      checksum += value.size();
    }
    checksum += static_cast<size_t>(st->GetInt(6));
    ++*rows;
  }
  link.ReleaseStatement(st);
  return checksum;
}

// A page that shows only the newest rows: the statement's row limit ends the
// query, so the time should not grow with the table.
int ReadLimited(int limit) {
  int rows = 0;
  SQLServerLink link;
  if (!link.Connect(qvtest::TestDatabase::Dsn(), L"", L"")) return 0;
  SQLStatement* st = link.CreateStatement(kQuery);
  if (!st || !st->SetMaxRows(limit)) return 0;
  while (st->Fetch()) ++rows;
  return rows;
}

size_t ReadPlain(int* rows) {
  size_t checksum = 0;
  *rows = 0;
  qvbench::PlainConnection odbc;
  if (odbc.Connect(qvtest::TestDatabase::Dsn())) {
    qvbench::PlainStatement stmt(odbc);
    SQLRETURN r = SQLExecDirectW(stmt, qvbench::Sql(kQuery), SQL_NTS);
    wchar_t buffer[1024];
    while (SQL_SUCCEEDED(r) && SQL_SUCCEEDED(SQLFetch(stmt))) {
      SQLLEN indicator = 0;
      for (SQLUSMALLINT c = 1; c <= 6; ++c) {
        if (c == 4) {
          SQL_TIMESTAMP_STRUCT ts = {};
          SQLGetData(stmt, c, SQL_C_TYPE_TIMESTAMP, &ts, sizeof ts, &indicator);
          wchar_t text[32];
          int n = _snwprintf(text, 31, L"%.4d-%.2d-%.2d %.2d:%.2d:%.2d", ts.year, ts.month, ts.day, ts.hour,
                             ts.minute, ts.second);
          std::wstring value(text, n > 0 ? n : 0);
          checksum += value.size();
          continue;
        }
        SQLGetData(stmt, c, SQL_C_WCHAR, buffer, sizeof buffer, &indicator);
        std::wstring value = indicator > 0 ? std::wstring(buffer, indicator / sizeof(wchar_t)) : std::wstring();
        checksum += value.size();
      }
      SQLINTEGER version = 0;
      SQLGetData(stmt, 7, SQL_C_SLONG, &version, sizeof version, &indicator);
      checksum += static_cast<size_t>(version);
      ++*rows;
    }
  }
  return checksum;
}

}  // namespace

int main() {
  if (!qvbench::ResetDatabase() || !Fill()) return 1;

  double bestLink = 1e300, bestPlain = 1e300, bestLimited = 1e300;
  size_t linkSum = 0, plainSum = 0;
  int linkRows = 0, plainRows = 0, limitedRows = 0;
  for (int round = 0; round < kRounds; ++round) {
    double t0 = Now();
    plainSum = ReadPlain(&plainRows);
    double t1 = Now();
    linkSum = ReadWithLink(&linkRows);
    double t2 = Now();
    limitedRows = ReadLimited(10);
    double t3 = Now();
    bestPlain = std::min(bestPlain, t1 - t0);
    bestLink = std::min(bestLink, t2 - t1);
    bestLimited = std::min(bestLimited, t3 - t2);
  }
  if (linkRows != kRows || plainRows != kRows || linkSum != plainSum || limitedRows != 10) {
    std::fprintf(stderr, "rows differ: link %d (sum %u), plain %d (sum %u)\n", linkRows,
                 static_cast<unsigned>(linkSum), plainRows, static_cast<unsigned>(plainSum));
    return 1;
  }
  double ratio = bestLink / bestPlain;
  std::printf("AuditLog, %d rows, best of %d: SQLServerLink %.0f ms, plain ODBC %.0f ms, ratio %.2f (target 1.50)\n",
              kRows, kRounds, bestLink, bestPlain, ratio);
  std::printf("First 10 rows with a row limit: %.1f ms, %.4f of the whole read (target 0.01)\n", bestLimited,
              bestLimited / bestLink);
  return 0;
}
