// The strategy objects page's start: 1,000 application objects of 20 rows each (and
// the other lists empty), against a plain fetch loop of the application select in
// the same run. Target: within 2 times.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "BenchSupport.h"
#include "console/ConnectOrTell.h"
#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"
#include "console/SysServerPortConfig.h"
#include "controls/CUIResource.h"
#include "integrity/CQvStrategyObjectUIHandler.h"
#include "support/TestDatabase.h"

namespace {

using qvbench::Now;

const int kObjects = 1000;
const int kRowsPerObject = 20;
const int kRounds = 3;
const wchar_t kQuery[] = L"select AppStrategyName,AppFilePath,AppStrategyExplain from AppStrategyTable";

bool Fill() {
  SQLServerLink link;
  if (!link.Connect(qvtest::TestDatabase::Dsn(), L"", L"")) return false;
  const std::wstring sql =
      L"insert into AppStrategyTable (AppNo, AppStrategyName, AppIpAddress, AppFilePath, AppStrategyExplain) "
      L"with recursive n(i) as (select 1 union all select i + 1 from n where i < " +
      std::to_wstring(kObjects * kRowsPerObject) + L") select i, '应用策略' || (i % " + std::to_wstring(kObjects) +
      L"), '10.0.0.' || (i % 250), 'C:\\程序\\目录' || i, '说明' || (i % 7) from n";
  if (link.ExecDirect(sql.c_str())) return true;
  std::fprintf(stderr, "fill failed: %ls\n", link.GetLastErrorText());
  return false;
}

size_t PlainRead() {
  size_t checksum = 0;
  SQLServerLink link;
  if (!Connect(link)) return 0;
  SQLStatement* st = link.CreateStatement(kQuery);
  while (st && st->Fetch())
    for (int c = 0; c < 3; ++c) {
      const wchar_t* text = st->GetString(c);
      checksum += std::wstring(text ? text : L"").size();
    }
  if (st) link.ReleaseStatement(st);
  return checksum;
}

}  // namespace

int main() {
  if (!qvbench::ResetDatabase() || !Fill()) return 1;
  wcscpy(g_dsnName, qvtest::TestDatabase::Dsn());
  CUIResource::Init();
  double bestPage = 1e300, bestPlain = 1e300;
  int rows = 0;
  size_t checksum = 0;
  for (int round = 0; round < kRounds; ++round) {
    double t0 = Now();
    {
      // Without a main window the grids keep their rows without windows.
      CQvStrategyObjectUIHandler page(nullptr);
      page.Init();
      rows = page.GridOf(CQvStrategyObjectUIHandler::kApp).GetItemCount();
    }
    double t1 = Now();
    checksum += PlainRead();
    double t2 = Now();
    bestPage = std::min(bestPage, t1 - t0);
    bestPlain = std::min(bestPlain, t2 - t1);
  }
  CUIResource::Uninit();
  std::printf("page init: %.1f ms for %d objects; plain fetch: %.1f ms (checksum %zu); ratio %.2f (target 2.0)\n",
              bestPage, rows, bestPlain, checksum, bestPage / bestPlain);
  return rows == kObjects && bestPage <= 2.0 * bestPlain ? 0 : 1;
}
