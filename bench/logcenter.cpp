// The audit page's two typical queries over a million AuditLog rows (bench/logcenter-data:
// 10 hosts, 100 days, 20 strategies): one host for one day (about 1,000 rows) and one
// host over the whole range (about 100,000 rows), each read from the page's fields and
// loaded into its grid as the search button does once the user has said "all types",
// against a plain ODBC read (SQLExecute, SQLFetch, SQLGetData) of the same statement
// with the same values in the same run. Target: within 1.5 times for both, the one-day
// query in milliseconds. The grid's one paint afterwards is printed beside. Run by
// bench/logcenter.sh, which makes the data and names its data source in QV_BENCH_DSN.
#include <windows.h>
// after windows.h
#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "app/CMainDlg.h"
#include "console/CurrentUser.h"
#include "console/SysServerPortConfig.h"
#include "controls/CUIResource.h"
#include "logcenter/CLogCenterUIHandler.h"
#include "platform/CAppModule.h"
#include "uiwin/UiModalHook.h"
#include "uiwin/UiNotify.h"

namespace {

using qvbench::Now;
using qvbench::Sql;

const wchar_t kHost[] = L"10.1.0.1";

struct Case {
  const char* name;
  const wchar_t* start;
  const wchar_t* end;  // as the date picker writes it: the last day
  int rounds;
};
const Case kCases[] = {
    {"one host, one day", L"2024-05-01 00:00:00", L"2024-05-01 00:00:00", 20},
    {"one host, 100 days", L"2024-03-22 00:00:00", L"2024-06-29 00:00:00", 3},
};

// Connects, prepares, binds, executes and reads every row's three texts; the rows read,
// -1 on a failure.
int ReadPlain(const CLCQueryBuilder& query) {
  qvbench::PlainConnection odbc;
  int rows = -1;
  if (odbc.Connect(g_dsnName)) {
    qvbench::PlainStatement stmt(odbc);
    bool ok = SQL_SUCCEEDED(SQLPrepareW(stmt, Sql(query.Text().c_str()), SQL_NTS));
    std::vector<SQLLEN> lengths(query.Values().size());
    for (size_t i = 0; ok && i < query.Values().size(); ++i) {
      const std::wstring& value = query.Values()[i];
      lengths[i] = static_cast<SQLLEN>(value.size() * sizeof(wchar_t));
      ok = SQL_SUCCEEDED(SQLBindParameter(stmt, static_cast<SQLUSMALLINT>(i + 1), SQL_PARAM_INPUT, SQL_C_WCHAR,
                                          SQL_WVARCHAR, value.size(), 0, Sql(value.c_str()), lengths[i],
                                          &lengths[i]));
    }
    if (ok && SQL_SUCCEEDED(SQLExecute(stmt))) {
      rows = 0;
      wchar_t buffer[1024];
      while (SQL_SUCCEEDED(SQLFetch(stmt))) {
        for (SQLUSMALLINT c = 1; c <= 3; ++c) {
          std::wstring cell;
          SQLLEN indicator = 0;
          SQLRETURN r;
          // A text longer than the buffer comes in pieces.
          while (SQL_SUCCEEDED(r = SQLGetData(stmt, c, SQL_C_WCHAR, buffer, sizeof buffer, &indicator)) &&
                 indicator != SQL_NULL_DATA) {
            const size_t piece = indicator == SQL_NO_TOTAL || indicator >= static_cast<SQLLEN>(sizeof buffer)
                                     ? sizeof buffer / sizeof(wchar_t) - 1
                                     : static_cast<size_t>(indicator) / sizeof(wchar_t);
            cell.append(buffer, piece);
            if (r == SQL_SUCCESS) break;
          }
        }
        ++rows;
      }
    }
  }
  return rows;
}

void Command(HWND frame, UINT item) {
  UINMCOMMAND nm{{frame, IDC_UIVIEW, UINM_COMMAND}, item, "button"};
  ::SendMessageW(frame, WM_NOTIFY, IDC_UIVIEW, reinterpret_cast<LPARAM>(&nm));
}

// Runs the cases inside the main window's loop, with the log center shown.
class Bench : public UiModalHook {
 public:
  explicit Bench(CMainDlg& main) : m_main(main) {}
  int OnMessageBox(const Box& box, BOOL&) override {
    std::fprintf(stderr, "unexpected box: %ls\n", box.text.c_str());
    m_failed = true;
    return IDOK;
  }
  BOOL OnDialogReady(HWND frame, CUiDialogView&, UINT* endCode) override {
    *endCode = IDCANCEL;
    Command(frame, CMainDlg::kItemLogCenter);
    CLCAuditLogUIHandler& audit = *m_main.LogCenter()->AuditLog();
    CLCLogPage& page = audit.Page();
    page.TakeHost(kHost);
    for (const Case& c : kCases) {
      ::SetWindowTextW(page.Field(CLCAuditLogUIHandler::kStartEdit), c.start);
      ::SetWindowTextW(page.Field(CLCAuditLogUIHandler::kEndEdit), c.end);
      const LCLogFilter filter{kHost, c.start, CLCLogPage::DayAfter(c.end), L"", L""};
      const CLCQueryBuilder query = LCLogQuery(kAuditLogStatement, filter);
      double bestPage = 1e300, bestPlain = 1e300, bestPaint = 1e300;
      int pageRows = 0, plainRows = 0;
      for (int round = 0; round < c.rounds; ++round) {
        const double t0 = Now();
        plainRows = ReadPlain(query);
        const double t1 = Now();
        // The search button's work after the question about all types.
        LCLogFilter read;
        if (page.ReadFilter(read)) page.Fill(LCLogQuery(kAuditLogStatement, read));
        const double t2 = Now();
        ::UpdateWindow(page.GetGrid());
        bestPaint = std::min(bestPaint, Now() - t2);
        pageRows = page.GetGrid().GetItemCount();
        bestPlain = std::min(bestPlain, t1 - t0);
        bestPage = std::min(bestPage, t2 - t1);
      }
      if (pageRows != plainRows || pageRows <= 0) {
        std::fprintf(stderr, "%s: the page listed %d rows, the plain read %d\n", c.name, pageRows, plainRows);
        m_failed = true;
        continue;
      }
      std::printf("audit page, %s, %d rows, best of %d: page %.1f ms, plain ODBC %.1f ms, ratio %.2f (target 1.50);"
                  " the grid's paint afterwards %.1f ms\n",
                  c.name, pageRows, c.rounds, bestPage, bestPlain, bestPage / bestPlain, bestPaint);
    }
    return TRUE;
  }
  bool Failed() const { return m_failed; }

 private:
  CMainDlg& m_main;
  bool m_failed = false;
};

}  // namespace

int main() {
  ::CoInitialize(nullptr);
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
  ::InitCommonControlsEx(&icc);
  g_module.Init(::GetModuleHandleW(nullptr));
  wchar_t dsn[kSettingChars] = {};
  if (!::GetEnvironmentVariableW(L"QV_BENCH_DSN", dsn, kSettingChars)) {
    std::fprintf(stderr, "QV_BENCH_DSN names no data source: run bench/logcenter.sh\n");
    return 1;
  }
  wcscpy(g_dsnName, dsn);
  g_currentUserPermission = kPermissionLogCenter;
  CUIResource::Init();
  bool failed = true;
  {
    CMainDlg main;
    Bench bench(main);
    UiModalHook::Scope scope(bench);
    main.DoModal(nullptr);
    failed = bench.Failed();
  }
  CUIResource::Uninit();
  g_module.Term();
  ::CoUninitialize();
  return failed ? 1 : 0;
}
