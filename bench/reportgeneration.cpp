// Generating a report of 1,000,000 log rows of one strategy (half audit, half HIPS, 200
// hosts) against a bare ODBC fetch (SQLFetch, SQLGetData of every column) of the same two
// queries, in the same run. Target: within 2 times. And the process's peak page-file
// use after a report of 10,000 rows, then after the one of 1,000,000. Target: flat.
// Each report follows a bare fetch of its rows, so that what the driver holds of a
// result and what the report adds to it show apart: the SQLite driver reads the whole
// result of a statement with parameters before the first row (StepAPI steps only those
// without).
#include <windows.h>
// after windows.h
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "console/SQLServerLink.h"
#include "console/SysServerPortConfig.h"
#include "reports/ReportGenerator.h"
#include "support/TestDatabase.h"
#include "support/TestEnv.h"

namespace {

using qvbench::Now;

const int kRounds = 2;
const wchar_t kAuditQuery[] =
    L"select b.Name, b.IP, a.LogStyle, a.LogContent, a.LogTime, a.LogDetail from AuditLog as a, Client as b "
    L"where a.LogHostIp = b.IP and a.StrategyVersion = ? "
    L"and a.Strategyid in (select id from StrategyTable where StrategyName = ?)";
const wchar_t kHipsQuery[] =
    L"select b.Name, b.IP, a.LogStyle, a.LogContent, a.LogTime from HIPSLog as a, Client as b "
    L"where a.LogHostIp = b.IP and a.StrategyName = ? "
    L"and exists (select 1 from StrategyTable as c where c.StrategyType = 0 and c.Ip = a.LogHostIp) "
    L"and a.LogTime >= ? and a.LogTime <= ?";

SIZE_T PeakPagefile() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PeakPagefileUsage;
}

// 200 hosts, each a target of the strategies "大" (id B1) and "小" (B2), with audit and
// HIPS rows of each, half and half.
bool Fill(SQLServerLink& link, int big, int small) {
  const std::wstring ip = L"'10.1.' || (i % 200 / 100) || '.' || (i % 200 % 100)";
  auto upTo = [](int count) {
    return L"with recursive n(i) as (select 1 union all select i + 1 from n where i < " + std::to_wstring(count) + L") ";
  };
  std::vector<std::wstring> statements{
      L"insert into Client (Name, IP, Status, Type) " + upTo(200) + L"select '主机' || i, " + ip + L", 1, 0 from n",
      L"insert into StrategyTable (StrategyName, StrategyType, Ip, id) " + upTo(200) + L"select '大', 0, " + ip +
          L", 'B1' from n union all select '小', 0, " + ip + L", 'B2' from n"};
  const struct { const wchar_t* name; const wchar_t* id; int rows; } strategies[] = {{L"大", L"B1", big}, {L"小", L"B2", small}};
  for (const auto& s : strategies) {
    statements.push_back(
        L"insert into AuditLog (LogHostIp, LogStyle, LogContent, LogTime, LogDetail, Strategyid, StrategyVersion) " +
        upTo(s.rows / 2) + L"select " + ip + L", '文件修改', '监测到文件被修改：C:\\数据\\报表' || i || '.xls', "
        L"printf('2024-03-%02d %02d:%02d:%02d', 1 + i % 28, i % 24, i % 60, (i * 7) % 60), "
        L"'文件大小由 ' || (i * 3) || ' 字节变为 ' || (i * 5) || ' 字节', '" + s.id + L"', 1 from n");
    statements.push_back(
        L"insert into HIPSLog (LogHostIp, LogStyle, LogContent, LogTime, HIPSAction, StrategyName) " + upTo(s.rows / 2) +
        L"select " + ip + L", '进程启动', 'C:\\Windows\\system32\\工具' || i || '.exe', "
        L"printf('2024-04-%02d %02d:%02d:%02d', 1 + i % 28, i % 24, i % 60, (i * 7) % 60), '拒绝', '" + s.name + L"' from n");
  }
  for (const std::wstring& sql : statements)
    if (!link.ExecDirect(sql.c_str())) return false;
  return true;
}

void BindText(SQLHSTMT stmt, SQLUSMALLINT index, const wchar_t* text, SQLLEN* length) {
  *length = static_cast<SQLLEN>(wcslen(text) * sizeof(wchar_t));
  SQLBindParameter(stmt, index, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR, 64, 0, const_cast<wchar_t*>(text), 0, length);
}

// The two queries of the report read with nothing but ODBC: every column of every row.
long long ReadPlain(const wchar_t* strategy, size_t* checksum) {
  long long rows = 0;
  qvbench::PlainConnection odbc;
  if (odbc.Connect(qvtest::TestDatabase::Dsn())) {
    for (int query = 0; query < 2; ++query) {
      qvbench::PlainStatement stmt(odbc);
      SQLPrepareW(stmt, qvbench::Sql(query ? kHipsQuery : kAuditQuery), SQL_NTS);
      SQLINTEGER version = 1;
      SQLLEN lengths[3] = {0, 0, 0};
      const wchar_t* to = L"2099-01-01 00:00:00";
      if (query) {
        BindText(stmt, 1, strategy, &lengths[0]);
        BindText(stmt, 2, L"", &lengths[1]);
        BindText(stmt, 3, to, &lengths[2]);
      } else {
        SQLBindParameter(stmt, 1, SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER, 0, 0, &version, 0, nullptr);
        BindText(stmt, 2, strategy, &lengths[0]);
      }
      const SQLUSMALLINT columns = query ? 5 : 6;
      wchar_t buffer[2048];
      SQLRETURN r = SQLExecute(stmt);
      while (SQL_SUCCEEDED(r) && SQL_SUCCEEDED(SQLFetch(stmt))) {
        for (SQLUSMALLINT c = 1; c <= columns; ++c) {
          SQLLEN indicator = 0;
          if (c == 5) {
            SQL_TIMESTAMP_STRUCT ts = {};
            SQLGetData(stmt, c, SQL_C_TYPE_TIMESTAMP, &ts, sizeof ts, &indicator);
            wchar_t text[32];
            *checksum += static_cast<size_t>(_snwprintf(text, 31, L"%.4d-%.2d-%.2d %.2d:%.2d:%.2d", ts.year, ts.month,
                                                        ts.day, ts.hour, ts.minute, ts.second));
            continue;
          }
          SQLGetData(stmt, c, SQL_C_WCHAR, buffer, sizeof buffer, &indicator);
          *checksum += indicator > 0 ? std::wstring(buffer, indicator / sizeof(wchar_t)).size() : 0;
        }
        ++rows;
      }
    }
  }
  return rows;
}

}  // namespace

int main() {
  if (!qvbench::ResetDatabase()) return 1;
  wcscpy(g_dsnName, qvtest::TestDatabase::Dsn());
  {
    SQLServerLink link;
    if (!link.Connect(g_dsnName, L"", L"") || !Fill(link, 1000000, 10000)) {
      std::fprintf(stderr, "fill failed: %ls\n", link.GetLastErrorText());
      return 1;
    }
  }
  testenv::TempDir temp;
  const std::wstring templ = temp.File(L"ReportTemplate");
  CreateDirectoryW(templ.c_str(), nullptr);
  CreateDirectoryW((templ + L"\\data").c_str(), nullptr);

  auto generate = [&](const wchar_t* strategy, long long* entries) {
    ReportGenerator generator;
    const ReportGenerator::Result result = generator.Generate(templ, temp.File(L"报告"), {L"报告", L"作者", strategy, 1});
    *entries = generator.Entries();
    return result == ReportGenerator::kGenerated;
  };
  // The peaks after a bare fetch, then after the report, of each size in turn.
  long long smallEntries = 0, bigEntries = 0, plainRows = 0;
  size_t checksum = 0;
  SIZE_T peaks[4];
  plainRows = ReadPlain(L"小", &checksum);
  peaks[0] = PeakPagefile();
  if (!generate(L"小", &smallEntries)) return 1;
  peaks[1] = PeakPagefile();
  plainRows = ReadPlain(L"大", &checksum);
  peaks[2] = PeakPagefile();
  if (!generate(L"大", &bigEntries)) return 1;
  peaks[3] = PeakPagefile();

  double bestPlain = 1e300, bestGenerator = 1e300;
  for (int round = 0; round < kRounds; ++round) {
    const double t0 = Now();
    plainRows = ReadPlain(L"大", &checksum);
    const double t1 = Now();
    if (!generate(L"大", &bigEntries)) return 1;
    const double t2 = Now();
    bestPlain = std::min(bestPlain, t1 - t0);
    bestGenerator = std::min(bestGenerator, t2 - t1);
  }
  if (smallEntries != 10000 || bigEntries != 1000000 || plainRows != bigEntries) {
    std::fprintf(stderr, "entries differ: %lld and %lld, plain fetch %lld\n", smallEntries, bigEntries, plainRows);
    return 1;
  }
  std::printf("Report of %lld entries, best of %d: generator %.0f ms, plain ODBC fetch %.0f ms, ratio %.2f (target 2.00)\n",
              bigEntries, kRounds, bestGenerator, bestPlain, bestGenerator / bestPlain);
  const double mb = 1048576.0;
  std::printf("Peak page-file use after %lld entries %.1f MB, after %lld entries %.1f MB, ratio %.2f (target: flat)\n",
              smallEntries, peaks[1] / mb, bigEntries, peaks[3] / mb, static_cast<double>(peaks[3]) / peaks[1]);
  std::printf("  of it the bare fetch's: %.1f MB and %.1f MB; the report adds %.1f MB and %.1f MB\n", peaks[0] / mb,
              peaks[2] / mb, (peaks[1] - peaks[0]) / mb, (peaks[3] - peaks[2]) / mb);
  std::printf("Data files of the last report: %.1f MB each\n",
              static_cast<double>(GetCompressedFileSizeW((temp.File(L"报告") + L"\\data\\Report.xml").c_str(), nullptr)) /
                  1048576.0);
  return 0;
}
