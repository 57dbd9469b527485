// The report list page: what it lists, which report is checked, deletion.
#include <functional>
#include <memory>

#include "console/SQLStatement.h"
#include "reports/CRCReportManageOutPutSetDlg.h"
#include "support/RefusedAllocations.h"
#include "support/ReportsPageHost.h"
#include "support/TestFiles.h"

namespace {

using ReportListPage = ReportsPageHost;

std::vector<std::wstring> Column(CRCReportManagementUIHandler& list, int column, bool checkedOnly = false) {
  std::vector<std::wstring> cells;
  for (int row = 0; row < list.Grid().GetItemCount(); ++row)
    if (!checkedOnly || list.Grid().GetItemCheck(row, 0) > 0) cells.push_back(list.Grid().GetItemText(row, column));
  return cells;
}

TEST_F(ReportListPage, ListsTheTableInItsOrderWithVersionTextAndColouredTimes) {
  AddReport(L"乙报告", L"", 12, L"策略一", L"2024-06-02 08:30:00");
  AddReport(L"甲报告", L"", -3, L"策略二", L"2024-06-01 23:59:59");
  Run(0, [&](UiDialogDriver&, CReportCenterUIHandler& area) {
    CRCReportManagementUIHandler& list = *area.ReportList();
    const std::vector<std::wstring> cells[] = {{L"乙报告", L"甲报告"}, {L"策略一", L"策略二"}, {L"12", L"-3"},
                                               {L"2024-06-02 08:30:00", L"2024-06-01 23:59:59"}};
    for (int column = 0; column < 4; ++column) EXPECT_EQ(cells[column], Column(list, column));
    COLORREF background = 0, text = 0;
    EXPECT_TRUE(list.Grid().GetItemColours(1, 3, background, text) && background == 0xFFFFFF && text == 0xD0E040);
  });
}

TEST_F(ReportListPage, AtMostOneRowIsCheckedAndOnlyNameClicksCount) {
  for (const wchar_t* name : {L"0", L"1", L"2", L"3", L"4", L"5"}) AddReport(name);
  const struct { int row, column; std::vector<std::wstring> checked; } clicks[] = {
      {2, 0, {L"2"}}, {5, 0, {L"5"}}, {5, 0, {}}, {3, 1, {}}, {1, 0, {L"1"}}, {4, 2, {L"1"}}};
  Run(0, [&](UiDialogDriver& d, CReportCenterUIHandler& area) {
    CRCReportManagementUIHandler& list = *area.ReportList();
    for (const auto& click : clicks) {
      SCOPED_TRACE(testing::Message() << click.row << "," << click.column);
      ClickCell(list, click.row, click.column);
      EXPECT_EQ(click.checked, Column(list, 0, true));
    }
    area.Refresh();  // as opening the area does
    EXPECT_TRUE(Column(list, 0, true).empty());
    script.ExpectBox(L"请选择要生成简报的项", IDOK).ExpectBox(L"请选中要删除的报告", IDOK);
    EXPECT_TRUE(d.Click(CRCReportManagementUIHandler::kItemGenerate));
    EXPECT_TRUE(d.Click(CRCReportManagementUIHandler::kItemDelete));
  });
}

TEST_F(ReportListPage, DeleteAfterASortRemovesEveryReportOfTheCheckedNameOrNothing) {
  AddReport(L"报告'一", L"", 1, L"策略B");
  AddReport(L"其他", L"", 1, L"策略A");
  AddReport(L"报告'一", L"", 1, L"策略C");
  Sql(L"create trigger no before delete on ReportCenterTable begin select raise(abort, 'no'); end");
  Run(0, [&](UiDialogDriver& d, CReportCenterUIHandler& area) {
    CRCReportManagementUIHandler& list = *area.ReportList();
    ClickCell(list, 0, 0);
    ClickCell(list, -1, 1);  // by strategy: the checked report moves to row 1
    script.ExpectBox(L"错误信息：", IDOK);
    EXPECT_TRUE(d.Click(list.kItemDelete));
    EXPECT_EQ((std::vector<std::wstring>{L"其他", L"报告'一", L"报告'一"}), Column(list, 0));
    Sql(L"drop trigger no");
    EXPECT_TRUE(d.Click(list.kItemDelete));
    EXPECT_EQ(std::vector<std::wstring>{L"其他"}, Column(list, 0));
  });
  EXPECT_EQ(std::vector<std::wstring>{L"其他|策略A|2024-06-01 10:00:00|1|"}, Table());
}

// A report another console deleted meanwhile: its deletion says that it no longer
// exists and the list is read again, whether or not the database counts the rows a
// delete found.
TEST_F(ReportListPage, DeletingAReportAnotherConsoleDeletedSaysSoAndReadsTheListAgain) {
  for (bool counted : {true, false}) {
    SCOPED_TRACE(counted ? "counted" : "uncounted");
    SQLStatement::DriverStandIn uncounting;
    uncounting.countsWithheld = !counted;
    DatabaseTest::SetUp();
    AddReport(L"甲报告");
    AddReport(L"乙报告");
    Run(0, [&](UiDialogDriver& d, CReportCenterUIHandler& area) {
      CRCReportManagementUIHandler& list = *area.ReportList();
      ClickCell(list, 0, 0);
      Sql(L"delete from ReportCenterTable where ReportName = '甲报告'");
      script.ExpectBox(L"该记录已被删除，列表将重新读取。");
      EXPECT_TRUE(d.Click(list.kItemDelete));
      EXPECT_EQ(0u, script.Remaining());
      EXPECT_EQ(std::vector<std::wstring>{L"乙报告"}, Column(list, 0));
    });
  }
}

// A grid that cannot take another report shows none rather than some, and says so; the
// next opening lists them all.
TEST_F(ReportListPage, AGridThatCannotTakeAnotherReportShowsNoneAndSaysSo) {
  for (const wchar_t* name : {L"0", L"1", L"2"}) AddReport(name);
  Run(0, [&](UiDialogDriver&, CReportCenterUIHandler& area) {
    CRCReportManagementUIHandler& list = *area.ReportList();
    ASSERT_EQ(3, list.Grid().GetItemCount());
    auto refuse = std::make_unique<qvtest::RefuseAllocations>(qvtest::GridRowBytes(4), 1);
    script.ExpectBox(L"读取报表列表失败：内存不足", IDOK);
    area.Refresh();  // as opening the area does
    EXPECT_EQ(1, refuse->Refused());
    refuse.reset();
    EXPECT_EQ(0, list.Grid().GetItemCount());
    area.Refresh();
    EXPECT_EQ((std::vector<std::wstring>{L"0", L"1", L"2"}), Column(list, 0));
  });
}

// The shell's choosers, with a look at the console as each comes up.
class LookingShell : public FakeShellServices {
 public:
  explicit LookingShell(qvtest::ConnectionWatch& watch) : m_watch(watch) {}

 protected:
  BOOL Perform(Request& request) override {
    m_watch.Look();
    return FakeShellServices::Perform(request);
  }

 private:
  qvtest::ConnectionWatch& m_watch;
};

// Every operation of the page closes its database connection before it asks or tells
// the user anything: no box, chooser or dialog comes up while the page holds a link.
TEST_F(ReportListPage, NoBoxChooserOrDialogComesUpWhileTheListHoldsADatabaseLink) {
  AddReport(L"月报");
  const std::wstring bad = temp.File(L"坏.xml");
  ASSERT_TRUE(testfiles::WriteBytes(bad, "not a list"));
  using List = CRCReportManagementUIHandler;
  // act, with the reports' table out of reach meanwhile, tells box.
  auto Unread = [&](const wchar_t* box, const std::function<void()>& act) {
    Sql(L"alter table ReportCenterTable rename to Kept");
    script.ExpectBox(box);
    act();
    Sql(L"alter table Kept rename to ReportCenterTable");
  };
  Run(0, [&](UiDialogDriver& d, CReportCenterUIHandler& area) {
    List& list = *area.ReportList();
    LookingShell shell(*watch);
    const struct { const char* what; std::function<void()> act; } rows[] = {
        {"generate, nothing checked", [&] { script.ExpectBox(L"请选择要生成简报的项"); d.Click(List::kItemGenerate); }},
        {"delete, nothing checked", [&] { script.ExpectBox(L"请选中要删除的报告"); d.Click(List::kItemDelete); }},
        {"import cancelled", [&] { shell.Choose(ShellServices::kOpenFile, L"", false); d.Click(List::kItemImport); }},
        {"import of a bad file",
         [&] {
           shell.Choose(ShellServices::kOpenFile, bad);
           script.ExpectBox(L"导入文件无法读取或格式不正确");
           d.Click(List::kItemImport);
         }},
        {"export cancelled", [&] { shell.Choose(ShellServices::kSaveFile, L"", false); d.Click(List::kItemExport); }},
        {"delete that fails",
         [&] {
           ClickCell(list, 0, 0);
           Sql(L"create trigger no before delete on ReportCenterTable begin select raise(abort, 'no'); end");
           script.ExpectBox(L"错误信息：");
           d.Click(List::kItemDelete);
           Sql(L"drop trigger no");
         }},
        {"list that cannot be read", [&] { Unread(L"读取报表列表失败", [&] { area.Refresh(); }); }},
        {"export of a list that cannot be read",
         [&] {
           shell.Choose(ShellServices::kSaveFile, temp.File(L"出.xml"));
           Unread(L"错误信息：", [&] { d.Click(List::kItemExport); });
         }},
        {"generate of a report that cannot be looked up",
         [&] {
           ASSERT_EQ(0, list.SelectedRow());
           Unread(L"错误信息：", [&] { d.Click(List::kItemGenerate); });
         }},
        {"generate",
         [&] {
           ASSERT_EQ(0, list.SelectedRow());
           script.ExpectDialog([&](UiDialogDriver&) {}, CRCReportManageOutPutSetDlg::kLeft);
           d.Click(List::kItemGenerate);
         }},
    };
    watch->RunRows(rows);
  });
}

}  // namespace
