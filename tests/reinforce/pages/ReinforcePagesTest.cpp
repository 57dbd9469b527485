// The reinforcement area in the real main window: the policy list on the test database,
// the vulnerability page with its target picker, and the area host in the window's chain.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/SQLStatement.h"
#include "reinforce/target.h"
#include "support/DebugReportCapture.h"
#include "support/ReinforcePageHost.h"

namespace {

const wchar_t kAll[] = L"甲'基线 加固|乙策略|丙策略|丁策略";

class ReinforcePages : public ReinforcePageHost {
 protected:
  void AddPolicies(const wchar_t* then = nullptr) {
    SQLServerLink link;
    link.Connect(qvtest::TestDatabase::Dsn(), L"", L"");
    for (const wchar_t* name : {L"甲'基线 加固", L"乙策略", L"丙策略", L"丁策略"})
      qvtest::Exec(link, L"insert into reinforcingPolicy (policyName,policyDoc,policyObjective,policyTemplate) "
                         L"values (?,'','文件服务器',1)", {name});
    if (then) {
      EXPECT_EQ(1, qvtest::Exec(link, then));
    }
  }
  // A row's check toggled as a user does it; the buttons then.
  static std::string Toggle(CMainDlg& main, Grid& grid, int row, bool space) {
    ToggleCheck(grid, row, space);
    return Buttons(main);
  }
  static std::string Buttons(CMainDlg& main) {  // "修改策略" and "删除策略" enabled
    return {main.IsItemEnabled(309) ? '1' : '0', main.IsItemEnabled(310) ? '1' : '0'};
  }
};

// Policies in table order; edit wants one checked row, delete any.
TEST_F(ReinforcePages, CheckedPoliciesEnableTheButtonsAndGoTogetherOrNotAtAll) {
  // refusal: a trigger refusing the second checked name; buttons: after the command.
  const struct { int answer; const wchar_t* refusal; const wchar_t* left; const char* buttons; } rows[] = {
      {IDNO, nullptr, kAll, "01"},
      {IDYES, nullptr, L"甲'基线 加固", "00"},
      {IDYES,
       L"create trigger refuse before delete on reinforcingPolicy when old.policyName='丙策略' "
       L"begin select raise(abort, 'refused'); end",
       kAll, "01"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.answer);
    DatabaseTest::SetUp();
    AddPolicies(row.refusal);
    Run([&](UiDialogDriver& d, CMainDlg& main, CSecurityReinforceUIHandler& area) {
      Grid& grid = area.StrategyPage()->GetGrid();
      EXPECT_EQ(L"文件服务器|文件服务器|文件服务器|文件服务器 and |||", Column(grid, 2) + L" and " + Column(grid, 3));
      std::string buttons = Buttons(main);
      for (int r = 1; r <= 3; ++r) buttons += Toggle(main, grid, r, r == 2);
      EXPECT_EQ("00110101", buttons);
      script.ExpectBox(L"您确认删除么？", row.answer);
      if (row.refusal) script.ExpectBox(L"错误信息：", IDOK);
      EXPECT_TRUE(d.Click(CSRReinforceStrategyUIHandler::kDeletePolicy));
      EXPECT_EQ(row.left, Column(grid, 0));
      EXPECT_EQ(row.buttons, Buttons(main));
    });
    EXPECT_EQ(row.left, Text(L"select group_concat(policyName,'|') from reinforcingPolicy"));
  }
}

// A policy another console deleted meanwhile: the delete says that it no longer exists,
// the other checked one goes, and the list is read again; so too where the database does
// not count the rows a delete found.
TEST_F(ReinforcePages, DeletingAPolicyAnotherConsoleDeletedSaysSoAndReadsTheListAgain) {
  for (bool counted : {true, false}) {
    SCOPED_TRACE(counted ? "counted" : "uncounted");
    SQLStatement::DriverStandIn uncounting;
    uncounting.countsWithheld = !counted;
    DatabaseTest::SetUp();
    AddPolicies();
    Run([&](UiDialogDriver& d, CMainDlg&, CSecurityReinforceUIHandler& area) {
      Grid& grid = area.StrategyPage()->GetGrid();
      ToggleCheck(grid, 1);
      ToggleCheck(grid, 2);
      SQLServerLink other;  // another console's
      ASSERT_TRUE(other.Connect(qvtest::TestDatabase::Dsn(), L"", L""));
      ASSERT_TRUE(qvtest::Exec(other, L"delete from reinforcingPolicy where policyName = '乙策略'"));
      other.Disconnect();
      script.ExpectBox(L"您确认删除么？", IDYES).ExpectBox(L"该记录已被删除，列表将重新读取。");
      EXPECT_TRUE(d.Click(CSRReinforceStrategyUIHandler::kDeletePolicy));
      EXPECT_EQ(0u, script.Remaining());
      EXPECT_EQ(L"甲'基线 加固|丁策略", Column(grid, 0));
    });
    EXPECT_EQ(L"甲'基线 加固|丁策略", Text(L"select group_concat(policyName,'|') from reinforcingPolicy"));
  }
}

// Import, export and the reinforcement buttons are the list's own and touch nothing.
TEST_F(ReinforcePages, ButtonsWithoutAnActionAreTakenAndChangeNothing) {
  AddPolicies();
  Run([&](UiDialogDriver& d, CMainDlg& main, CSecurityReinforceUIHandler& area) {
    Grid& grid = area.StrategyPage()->GetGrid();
    ToggleCheck(grid, 1);
    for (UINT item = CSRReinforceStrategyUIHandler::kImportPolicy; item <= CSRReinforceStrategyUIHandler::kEndReinforce;
         ++item) {
      SCOPED_TRACE(item);
      UINMCOMMAND command{{d.View().m_hWnd, IDC_UIVIEW, UINM_COMMAND}, item, "button"};
      LRESULT result = 0;
      EXPECT_TRUE(area.ProcessWindowMessage(d.Frame(), WM_NOTIFY, IDC_UIVIEW, reinterpret_cast<LPARAM>(&command), result));
      EXPECT_EQ(kAll, Column(grid, 0));
      EXPECT_EQ("11", Buttons(main));
    }
  });
  EXPECT_EQ(kAll, Text(L"select group_concat(policyName,'|') from reinforcingPolicy"));
}

TEST_F(ReinforcePages, PolicyListWithoutItsTableStartsEmptyAndSilent) {
  AddPolicies(L"drop table reinforcingPolicy");
  DebugReportCapture reports;
  Run([&](UiDialogDriver&, CMainDlg&, CSecurityReinforceUIHandler& area) {
    EXPECT_EQ(0, area.StrategyPage()->GetGrid().GetItemCount());
  });
  EXPECT_TRUE(reports.Contains("policy list"));
}

// The policies read before a failing one would pass for all of them; the failure is
// told as the list's other failures are (the test above).
TEST_F(ReinforcePages, PolicyListThatFailsPartWayShowsNoPolicy) {
  AddPolicies();
  {
    SQLServerLink link;
    std::wstring error;
    ASSERT_EQ(1, link.Connect(qvtest::TestDatabase::Dsn(), L"", L""));
    ASSERT_TRUE(qvtest::FailRowsWhen(link, L"reinforcingPolicy", L"policyDoc", L"policyName = '丙策略'", &error));
  }
  DebugReportCapture reports;
  Run([&](UiDialogDriver&, CMainDlg&, CSecurityReinforceUIHandler& area) {
    EXPECT_EQ(0, area.StrategyPage()->GetGrid().GetItemCount());
  });
  EXPECT_TRUE(reports.Contains("policy list: query failed"));
  EXPECT_TRUE(reports.Contains("integer overflow"));
}

TEST_F(ReinforcePages, PatchRowsResizingAndWhatTheAreaHostLetsThrough) {
  Run([&](UiDialogDriver& d, CMainDlg&, CSecurityReinforceUIHandler& area) {
    const Grid& patches = area.BugFixesPage()->GetGrid();
    std::vector<DWORD> tags;  // the group row's
    EXPECT_TRUE(patches.GetItemTags(0, tags) && tags == std::vector<DWORD>{1});
    EXPECT_EQ(UINT(ITEM_FORMAT_GROUP), patches.GetItemFormat(0, 0));
    EXPECT_EQ(L"重要安全补丁|Windows更新程序", Column(patches, 0));
    const struct { UINT grid; int width, column, expected; } sizes[] = {
        {300, 1000, 1, 520}, {300, 400, 1, 0}, {316, 1000, 0, 700}, {316, 250, 0, 0}};
    for (const auto& size : sizes) {
      UINMREALWNDRESIZED nm{{d.View().m_hWnd, IDC_UIVIEW, UINM_REALWND_RESIZED}, size.grid, {10, 10, 10 + size.width, 300}};
      ::SendMessageW(d.Frame(), WM_NOTIFY, IDC_UIVIEW, reinterpret_cast<LPARAM>(&nm));
      EXPECT_EQ(size.expected, (size.grid == 300 ? area.StrategyPage()->GetGrid() : patches).GetColumnWidth(size.column));
    }
    LRESULT result = 0;
    for (UINT message = 1553; message <= 1559; ++message)
      EXPECT_TRUE(area.ProcessWindowMessage(d.Frame(), message, 0, 0, result)) << message;
    UINMCOMMAND other{{d.View().m_hWnd, IDC_UIVIEW, UINM_COMMAND}, 112, "button"};  // another area's
    EXPECT_FALSE(area.ProcessWindowMessage(d.Frame(), WM_NOTIFY, IDC_UIVIEW, reinterpret_cast<LPARAM>(&other), result));
    ::SetWindowTextW(area.BugFixesPage()->GetTargetEdit(), L"10.0.0.1");
    script.ExpectDialog([](UiDialogDriver& p) { EXPECT_TRUE(p.Click(target::kCancel)); });
    UINMCOMMAND choose{{d.View().m_hWnd, IDC_UIVIEW, UINM_COMMAND}, CSRBugFixesUIHandler::kChooseTarget, "imgbtn"};
    ::SendMessageW(d.Frame(), WM_NOTIFY, IDC_UIVIEW, reinterpret_cast<LPARAM>(&choose));
    EXPECT_EQ(L"10.0.0.1", d.ControlText(CSRBugFixesUIHandler::kTarget));
  });
}

TEST_F(ReinforcePages, TargetPickerKeepsOneKindAndEndsWithTwo) {
  for (UINT button : {target::kOk, target::kCancel}) {
    target picker;
    script.ExpectDialog([&](UiDialogDriver& p) {
      CMulStatusTree& tree = picker.GetTree();
      std::vector<HTREEITEM> kinds;
      for (HTREEITEM k = tree.GetChildItem(tree.GetRootItem()); k; k = tree.GetNextSiblingItem(k)) kinds.push_back(k);
      ASSERT_EQ(8u, kinds.size());
      script.ExpectBox(L"没有选择!!!");  // OK wants a choice
      EXPECT_TRUE(p.Click(target::kOk));
      EXPECT_TRUE(p.IsOpenAndShown());
      const int steps[][2] = {{0, 0}, {4, 4}, {4, -1}, {2, 2}};  // the kind toggled, the one checked after
      for (const auto& step : steps) {
        tree.SelectItem(kinds[step[0]]);
        ::SendMessageW(tree, WM_KEYDOWN, VK_SPACE, 0);
        for (int k = 0; k < 8; ++k) EXPECT_EQ(k == step[1] ? EM_TVIS_CHECK : EM_TVIS_UNCHECK, tree.GetCheck(kinds[k]));
        EXPECT_EQ(step[1] < 0 ? nullptr : kinds[step[1]], picker.GetCheckedItem());
      }
      EXPECT_TRUE(p.Click(button));
      p.EndWith(0);
    });
    EXPECT_EQ(2u, picker.DoModal()) << button;
  }
}

}  // namespace
