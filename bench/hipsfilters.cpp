// The HIPS filter page's load, 2,000 filters over 200 hosts (one name look-up per host),
// against one plain fetch of the same rows joined with Client filling a grid alike, in
// the same run. Target: within 2 times.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "BenchSupport.h"
#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"
#include "console/SysServerPortConfig.h"
#include "integrity/CQvHipsUIHandler.h"
#include "support/TestDatabase.h"

namespace {

using qvbench::Now;

const int kFilters = 2000, kHosts = 200, kRounds = 3;

bool Fill() {
  SQLServerLink link;
  if (!link.Connect(qvtest::TestDatabase::Dsn(), L"", L"")) return false;
  const std::wstring hosts =
      L"insert into Client (IP, Name) with recursive n(i) as (select 1 union all select i + 1 from n where i < " +
      std::to_wstring(kHosts) + L") select '10.0.0.' || i, '主机' || i from n";
  const std::wstring filters =
      L"insert into Filter (ClientIP, FilterName, RegExp, TypeOfHipsRule, MatchType, OperatorType, DefaultAction, "
      L"DefaultLogFilter) with recursive n(i) as (select 1 union all select i + 1 from n where i < " +
      std::to_wstring(kFilters) + L") select '10.0.0.' || (1 + i % " + std::to_wstring(kHosts) +
      L"), '过滤' || i, 'C:\\数据\\目录' || i || '\\*', i % 4, 1, 32, 1, 1 from n";
  if (link.ExecDirect(hosts.c_str()) && link.ExecDirect(filters.c_str())) return true;
  std::fprintf(stderr, "fill failed: %ls\n", link.GetLastErrorText());
  return false;
}

using Grid = CListCtrlDataEx<unsigned long>;

std::unique_ptr<Grid> MakeGrid(HWND host) {
  auto grid = std::make_unique<Grid>(nullptr, 0, 0xCFBBA2, 0xCDFAFF, 0xF5C2A9);
  const RECT rc{0, 0, 800, 600};
  grid->Create(host, &rc);
  for (int c = 0; c < 5; ++c) grid->AddColumn(L"列", 100);
  return grid;
}

int LoadPage(HWND host) {
  CQvHipsUIHandler page(nullptr);
  const RECT rc{0, 0, 800, 600};
  page.Grid().Create(host, &rc);
  for (int c = 0; c < 5; ++c) page.Grid().AddColumn(L"列", 100);
  page.LoadFilters();
  return page.Grid().GetItemCount();
}

int LoadJoined(HWND host) {
  std::unique_ptr<Grid> grid = MakeGrid(host);
  SQLServerLink link;
  if (!grid || !link.Connect(qvtest::TestDatabase::Dsn(), L"", L"")) return -1;
  SQLStatement* st = link.CreateStatement(
      L"select Filter.id, FilterName, TypeOfHipsRule, RegExp, ClientIP, Client.Name from Filter left join Client "
      L"on Client.IP = Filter.ClientIP");
  if (!st) std::fprintf(stderr, "join: %ls\n", link.GetLastErrorText());
  while (st && st->Fetch()) {
    const int row = grid->AddItem(L"", -1, ITEM_FORMAT_CHECKBOX);
    for (int c = 1; c <= 4; ++c) {
      const wchar_t* text = st->GetString(c == 2 ? 5 : c);
      grid->SetItemText(row, c, text ? text : L"");
    }
    grid->SetItemData(row, static_cast<unsigned long>(st->GetInt(0)));
  }
  return grid->GetItemCount();
}

}  // namespace

int main() {
  if (!qvbench::ResetDatabase() || !Fill()) return 1;
  wcscpy(g_dsnName, qvtest::TestDatabase::Dsn());
  HWND host = ::CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
  double bestPage = 1e300, bestJoined = 1e300;
  int pageRows = 0, joinedRows = 0;
  for (int round = 0; round < kRounds; ++round) {
    const double t0 = Now();
    joinedRows = LoadJoined(host);
    const double t1 = Now();
    pageRows = LoadPage(host);
    const double t2 = Now();
    bestJoined = std::min(bestJoined, t1 - t0);
    bestPage = std::min(bestPage, t2 - t1);
  }
  ::DestroyWindow(host);
  if (pageRows != kFilters || joinedRows != kFilters) {
    std::fprintf(stderr, "rows differ: page %d, joined %d\n", pageRows, joinedRows);
    return 1;
  }
  std::printf("Filter, %d rows over %d hosts, best of %d: page load %.0f ms, joined fetch %.0f ms, ratio %.2f "
              "(target 2.00)\n", kFilters, kHosts, kRounds, bestPage, bestJoined, bestPage / bestJoined);
  return 0;
}
