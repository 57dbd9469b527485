// The report list page: what it lists, which report is checked, generation's logging
// and deletion.
#include <gtest/gtest.h>

#include <string>

#include "app/CMainDlg.h"
#include "console/LocalClock.h"
#include "support/ReportsPageHost.h"

namespace {

using ReportListPage = ReportsPageHost;

std::vector<std::wstring> Names(CRCReportManagementUIHandler& list) {
  std::vector<std::wstring> names;
  for (int row = 0; row < list.Grid().GetItemCount(); ++row) names.push_back(list.Grid().GetItemText(row, 0));
  return names;
}

std::vector<int> CheckedRows(CRCReportManagementUIHandler& list) {
  std::vector<int> rows;
  for (int row = 0; row < list.Grid().GetItemCount(); ++row)
    if (list.Grid().GetItemCheck(row, 0) > 0) rows.push_back(row);
  return rows;
}

TEST_F(ReportListPage, ListsTheTableInItsOrderWithVersionTextAndColouredTimes) {
  AddReport(L"乙报告", L"策略一", L"2024-06-02 08:30:00", 12);
  AddReport(L"甲报告", L"策略二", L"2024-06-01 23:59:59", -3);
  Run(0, [&](UiDialogDriver&, CReportCenterUIHandler& area) {
    auto& grid = area.ReportList()->Grid();
    ASSERT_EQ(2, grid.GetItemCount());
    const wchar_t* cells[2][4] = {{L"乙报告", L"策略一", L"12", L"2024-06-02 08:30:00"},
                                  {L"甲报告", L"策略二", L"-3", L"2024-06-01 23:59:59"}};
    for (int row = 0; row < 2; ++row) {
      for (int column = 0; column < 4; ++column) EXPECT_EQ(cells[row][column], grid.GetItemText(row, column));
      EXPECT_EQ(0, grid.GetItemCheck(row, 0));
      COLORREF background = 0, text = 0;
      ASSERT_TRUE(grid.GetItemColours(row, 3, background, text));
      EXPECT_EQ(0xFFFFFFu, background);
      EXPECT_EQ(0xD0E040u, text);
    }
  });
}

TEST_F(ReportListPage, AtMostOneRowIsCheckedAndOnlyNameClicksCount) {
  for (int i = 0; i < 6; ++i) AddReport(std::to_wstring(i).c_str());
  const struct {
    int row, column, checked;
  } clicks[] = {{2, 0, 2}, {5, 0, 5}, {5, 0, -1}, {3, 1, -1}, {1, 0, 1}, {4, 2, 1}, {4, 3, 1}};
  Run(0, [&](UiDialogDriver& d, CReportCenterUIHandler& area) {
    CRCReportManagementUIHandler& list = *area.ReportList();
    for (const auto& click : clicks) {
      SCOPED_TRACE(testing::Message() << click.row << "," << click.column);
      ClickCell(d, list, click.row, click.column);
      EXPECT_EQ(click.checked < 0 ? std::vector<int>{} : std::vector<int>{click.checked}, CheckedRows(list));
    }
    // Opening the area again reads the list again, nothing checked.
    UINMCOMMAND nm{{d.Frame(), IDC_UIVIEW, UINM_COMMAND}, CMainDlg::kItemReportCenter, "imgbtn"};
    ::SendMessageW(d.Frame(), WM_NOTIFY, IDC_UIVIEW, reinterpret_cast<LPARAM>(&nm));
    EXPECT_TRUE(CheckedRows(list).empty());
    script.ExpectBox(L"请选择要生成简报的项", IDOK).ExpectBox(L"请选中要删除的报告", IDOK);
    EXPECT_TRUE(d.Click(CRCReportManagementUIHandler::kItemGenerate));
    EXPECT_TRUE(d.Click(CRCReportManagementUIHandler::kItemDelete));
  });
}

TEST_F(ReportListPage, GenerationLogsTwoLinesWithOneTimeOnlyWhenAFolderWasWritten) {
  AddReport(L"周报");
  SYSTEMTIME at{2024, 6, 0, 29, 9, 5, 7, 0};
  LocalClock::Fix fix(at);
  Run(0, [&](UiDialogDriver& d, CReportCenterUIHandler& area) {
    CRCReportManagementUIHandler& list = *area.ReportList();
    ClickCell(d, list, 0, 0);
    EXPECT_TRUE(d.Click(CRCReportManagementUIHandler::kItemGenerate));  // left without generating
    EXPECT_EQ(0, ::GetWindowTextLengthW(list.LogBox()));
    list.LogStoreResult(L"周报");
    std::wstring text(::GetWindowTextLengthW(list.LogBox()) + 1, L'\0');
    text.resize(::GetWindowTextW(list.LogBox(), &text[0], static_cast<int>(text.size())));
    EXPECT_EQ(L"2024-06-29 09:05:07 报告名称:周报 开始存储......\r\n"
              L"2024-06-29 09:05:07 报告名称:周报 存储成功......\r\n",
              text);
  });
}

TEST_F(ReportListPage, DeleteRemovesEveryReportOfTheCheckedNameOrNothing) {
  const struct {
    const wchar_t* trigger;
    const wchar_t* box;
    std::vector<std::wstring> left;
  } rows[] = {
      {nullptr, nullptr, {L"其他"}},
      {L"create trigger refuse before delete on ReportCenterTable begin select raise(abort, 'kept'); end",
       L"错误信息：", {L"报告'一", L"其他", L"报告'一"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.box ? "refused" : "deleted");
    DatabaseTest::SetUp();
    for (const wchar_t* name : {L"报告'一", L"其他", L"报告'一"}) AddReport(name);
    if (row.trigger) Sql(row.trigger);
    Run(0, [&](UiDialogDriver& d, CReportCenterUIHandler& area) {
      CRCReportManagementUIHandler& list = *area.ReportList();
      ClickCell(d, list, 2, 0);
      if (row.box) script.ExpectBox(row.box, IDOK);
      EXPECT_TRUE(d.Click(CRCReportManagementUIHandler::kItemDelete));
      EXPECT_EQ(row.left, Names(list));
    });
    std::vector<std::wstring> table;
    for (const std::wstring& r : Table()) table.push_back(r.substr(0, r.find(L'|')));
    EXPECT_EQ(row.left, table);
  }
}

}  // namespace
