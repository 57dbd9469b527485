#include "support/ReportsPageHost.h"

#include <cwchar>

#include "app/CMainDlg.h"
#include "console/CurrentUser.h"
#include "console/SysServerPortConfig.h"
#include "controls/CUIResource.h"
#include "uiwin/CUiTab.h"
#include "uiwin/CUiTabCtrl.h"
#include "uiwin/UiNotify.h"

void ReportsPageHost::SetUp() {
  qvtest::DatabaseTest::SetUp();
  wcscpy(g_dsnName, qvtest::TestDatabase::Dsn());
  g_currentUserPermission = kPermissionReportCenter;
  CUIResource::Init();
}

void ReportsPageHost::TearDown() {
  CUIResource::Uninit();
  g_currentUserPermission = 0;
  g_dsnName[0] = L'\0';
}

void ReportsPageHost::Run(int page, const Act& act) {
  CMainDlg main(peer.Port());
  script.ExpectDialog([&](UiDialogDriver& d) {
    UINMCOMMAND nm{{d.Frame(), IDC_UIVIEW, UINM_COMMAND}, CMainDlg::kItemReportCenter, "imgbtn"};
    ::SendMessageW(d.Frame(), WM_NOTIFY, IDC_UIVIEW, reinterpret_cast<LPARAM>(&nm));
    // Every area has a tab control 364: the report area's is on page 4 of the window's.
    auto* areas = static_cast<CUiTabCtrl*>(d.View().FindChildByCmdID(CMainDlg::kTabCtrl));
    ASSERT_TRUE(areas->GetItem(4)->FindChildByCmdID(364)->AsTabCtrl()->SetCurSel(page));
    act(d, *main.ReportCenter());
  });
  main.DoModal();
}

void ReportsPageHost::ClickCell(UiDialogDriver& d, CRCReportManagementUIHandler& list, int row, int column) {
  auto& grid = list.Grid();
  if (column == 0) grid.SetItemCheck(row, 0, grid.GetItemCheck(row, 0) > 0 ? 0 : 1);
  CListNotify nm{{grid.m_hWnd, CRCReportManagementUIHandler::kGrid, static_cast<UINT>(LIST_NOTIFY_CLICK)},
                 row, column, 0, nullptr, nullptr};
  ::SendMessageW(d.Frame(), WM_NOTIFY, CRCReportManagementUIHandler::kGrid, reinterpret_cast<LPARAM>(&nm));
}

void ReportsPageHost::Sql(const wchar_t* sql, std::initializer_list<qvtest::SqlParam> params) {
  SQLServerLink link;
  ASSERT_TRUE(link.Connect(qvtest::TestDatabase::Dsn(), L"", L""));
  ASSERT_TRUE(qvtest::Exec(link, sql, params)) << link.GetLastErrorText();
}

void ReportsPageHost::AddReport(const wchar_t* name, const wchar_t* strategy, const wchar_t* time, int version,
                                const wchar_t* detail) {
  Sql(L"insert into ReportCenterTable (ReportName,StrategyName,ProduceTime,StrategyVersion,DetailContent) "
      L"values (?,?,?,?,?)",
      {name, strategy, time, version, detail});
}

std::vector<std::wstring> ReportsPageHost::Table() {
  SQLServerLink link;
  std::vector<std::wstring> rows;
  EXPECT_TRUE(link.Connect(qvtest::TestDatabase::Dsn(), L"", L""));
  SQLStatement* st = qvtest::Prepare(link, L"select ReportName,StrategyName,ProduceTime,StrategyVersion,"
                                           L"DetailContent,StrategyVersion is null from ReportCenterTable");
  while (st && st->Fetch()) {
    std::wstring row;
    for (int c = 0; c < 5; ++c)
      row += (c == 3 ? (st->GetInt(5) ? L"(null)" : std::to_wstring(st->GetInt(3))) : qvtest::Str(st->GetString(c))) + L"|";
    rows.push_back(row);
  }
  return rows;
}
