// The change overview's refresh on 1,000,000 rows in each of AuditLog and HIPSLog (a
// third of the HIPSLog rows refused) and 50 hosts, inside a real main window: the
// median of five refreshes with no new event, and with one new event (the list is read
// again), against a plain ODBC "select count(*) from AuditLog" in the same run.
// Target: both within 5 times the plain count.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "app/CMainDlg.h"
#include "console/CurrentUser.h"
#include "console/SQLServerLink.h"
#include "console/SysServerPortConfig.h"
#include "controls/CUIResource.h"
#include "integrity/CQuorvaneUIHandler.h"
#include "support/TestDatabase.h"
#include "uiwin/UiModalScript.h"

namespace {

using qvbench::Median;
using qvbench::Now;

const int kRows = 1000000;
const int kRuns = 5;

bool Run(SQLServerLink& link, const std::wstring& sql) {
  if (link.ExecDirect(sql.c_str())) return true;
  std::fprintf(stderr, "failed: %ls\n", link.GetLastErrorText());
  return false;
}

bool Fill() {
  SQLServerLink link;
  if (!link.Connect(qvtest::TestDatabase::Dsn(), L"", L"")) return false;
  const std::wstring rows = L" with recursive n(i) as (select 1 union all select i + 1 from n where i < " +
                            std::to_wstring(kRows) + L") ";
  const std::wstring values =
      L"select '10.0.0.' || (i % 50), '文件修改', '监测到文件被修改：C:\\数据\\报表' || i || '.xls', "
      L"printf('2024-03-%02d %02d:%02d:%02d', 1 + i % 28, i % 24, i % 60, (i * 7) % 60)";
  return Run(link, L"insert into AuditLog (LogHostIp, LogStyle, LogContent, LogTime)" + rows + values + L" from n") &&
         Run(link, L"insert into HIPSLog (LogHostIp, LogStyle, LogContent, LogTime, HIPSAction)" + rows + values +
                       L", case when i % 3 = 0 then '拒绝' else '允许' end from n") &&
         Run(link, L"insert into Client (IP, Name) with recursive n(i) as (select 0 union all select i + 1 from n "
                   L"where i < 49) select '10.0.0.' || i, '主机' || i from n");
}

double PlainCount() {
  qvbench::PlainConnection odbc;
  const double start = Now();
  SQLINTEGER count = 0;
  if (odbc.Connect(qvtest::TestDatabase::Dsn())) {
    qvbench::PlainStatement stmt(odbc);
    if (SQL_SUCCEEDED(SQLExecDirectW(stmt, qvbench::Sql(L"select count(*) from AuditLog"), SQL_NTS)) &&
        SQL_SUCCEEDED(SQLFetch(stmt)))
      SQLGetData(stmt, 1, SQL_C_SLONG, &count, sizeof count, nullptr);
  }
  odbc.Disconnect();
  const double took = Now() - start;
  return count == kRows ? took : -1;
}

}  // namespace

int main() {
  if (!qvbench::ResetDatabase() || !Fill()) return 1;
  wcscpy(g_dsnName, qvtest::TestDatabase::Dsn());
  g_currentUserPermission = kPermissionIntegrity;
  CUIResource::Init();
  bool failed = false;
  std::vector<double> quiet, reload, plain;
  UiModalScript script([&](const std::string& text) {
    std::fprintf(stderr, "unexpected: %s\n", text.c_str());
    failed = true;
  });
  CMainDlg window(1);
  script.ExpectDialog([&](UiDialogDriver&) {
    CQvChangeMointoringUIHandler& page = *window.Integrity()->ChangeMonitoring();
    SQLServerLink link;
    link.Connect(qvtest::TestDatabase::Dsn(), L"", L"");
    page.RefreshCounters();  // warm-up
    PlainCount();
    for (int run = 0; run < kRuns; ++run) {
      plain.push_back(PlainCount());
      double start = Now();
      page.RefreshCounters();
      quiet.push_back(Now() - start);
      Run(link, L"insert into HIPSLog (LogHostIp, LogStyle, LogContent, LogTime, HIPSAction) values ('10.0.0.1', "
                L"'修改', '新', '2025-01-01 00:00:0" + std::to_wstring(run) + L"', '允许')");
      start = Now();
      page.RefreshCounters();
      reload.push_back(Now() - start);
      if (page.Grid().GetItemCount() != 10 || page.Grid().GetItemText(0, 3) != L"新") failed = true;
    }
  });
  window.DoModal();
  CUIResource::Uninit();
  if (failed || quiet.size() != kRuns || *std::min_element(plain.begin(), plain.end()) < 0) {
    std::fprintf(stderr, "the refreshes did not run as expected\n");
    return 1;
  }
  const double base = Median(plain);
  std::printf("count(*) of %d rows: %.1f ms; refresh without a new event %.1f ms (ratio %.2f), with one %.1f ms "
              "(ratio %.2f); target 5\n",
              kRows, base, Median(quiet), Median(quiet) / base, Median(reload), Median(reload) / base);
  return 0;
}
