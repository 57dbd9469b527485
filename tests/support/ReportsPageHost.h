#pragma once
// The report center as the console runs it, for the report pages' tests: a fresh test
// database behind the connection settings, a user with the report-center permission,
// and the main window run modally and opened on the report area's list (page 0) or
// settings (page 1); the test's act runs inside the window's modal loop, its boxes and
// dialogs answered by the script, its file dialogs by a fake shell that moves the
// current directory as the real dialogs do.
#include <gtest/gtest.h>

#include <functional>

#include "app/CMainDlg.h"
#include "console/CurrentUser.h"
#include "console/SysServerPortConfig.h"
#include "controls/CUIResource.h"
#include "reports/CReportCenterUIHandler.h"
#include "reports/ReportSettings.h"
#include "support/ConnectionWatch.h"
#include "support/FakeShellServices.h"
#include "support/LoopbackPeer.h"
#include "support/ModalScript.h"
#include "support/TestDatabase.h"
#include "support/TestEnv.h"
#include "uiwin/CUiTab.h"
#include "uiwin/CUiTabCtrl.h"

class ReportsPageHost : public qvtest::DatabaseTest {
 protected:
  class MovingShell : public FakeShellServices {
   protected:
    BOOL Perform(Request& request) override {
      ::SetCurrentDirectoryW(testenv::SourceDir().c_str());
      return FakeShellServices::Perform(request);
    }
  };

  void SetUp() override {
    qvtest::DatabaseTest::SetUp();
    wcscpy(g_dsnName, qvtest::TestDatabase::Dsn());
    g_currentUserPermission = kPermissionReportCenter;
    CUIResource::Init();
  }
  void TearDown() override {
    CUIResource::Uninit();
    g_currentUserPermission = 0;
    g_reportBriefName = g_reportBriefAuthor = g_reportOutputFolder = L"", g_reportFormatIndex = -1;
  }

  // Every box and dialog of the area, from the window's start on, is watched for a
  // connection held (watch, while it runs; a chooser's stand-in looks through it too).
  void Run(int page, const std::function<void(UiDialogDriver&, CReportCenterUIHandler&)>& act) {
    qvtest::ConnectionWatch looking(script);
    watch = &looking;
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
    watch = nullptr;
  }

  // Item clicked with the file chooser answering path (cancelled without a box), then
  // the box; the current directory is the same before and after.
  void Transfer(UiDialogDriver& d, UINT item, const std::wstring& path, const wchar_t* box) {
    wchar_t before[MAX_PATH] = L"", after[MAX_PATH] = L"";
    ::GetCurrentDirectoryW(MAX_PATH, before);
    MovingShell shell;
    const bool import = item == CRCReportManagementUIHandler::kItemImport;
    shell.Choose(import ? ShellServices::kOpenFile : ShellServices::kSaveFile, path, box != nullptr);
    if (box) script.ExpectBox(box, IDOK);
    EXPECT_TRUE(d.Click(item));
    ::GetCurrentDirectoryW(MAX_PATH, after);
    EXPECT_STREQ(before, after);
    EXPECT_EQ(import, (shell.Calls().at(0).file.flags & OFN_FILEMUSTEXIST) != 0);
  }

  // A user's click on a grid cell (row -1: the column's head); in column 0 on the box.
  static void ClickCell(CRCReportManagementUIHandler& list, int row, int column) {
    auto& grid = list.Grid();
    CRect cell, text;
    ASSERT_TRUE(row < 0 ? grid.GetColumnRect(column, cell) : grid.GetItemRect(row, column, cell));
    CPoint at = row < 0 || column ? cell.CenterPoint() : grid.GetCheckRect(cell, ITEM_FLAGS_LEFT, text).CenterPoint();
    if (row < 0) at.y = grid.GetHeaderHeight() / 2;
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP}) grid.SendMessage(message, 0, MAKELPARAM(at.x, at.y));
  }

  static void Sql(const wchar_t* sql, std::initializer_list<qvtest::SqlParam> params = {}) {
    SQLServerLink link;
    ASSERT_TRUE(link.Connect(qvtest::TestDatabase::Dsn(), L"", L""));
    ASSERT_TRUE(qvtest::Exec(link, sql, params)) << link.GetLastErrorText();
  }
  static void AddReport(const wchar_t* name, const wchar_t* detail = L"", int version = 1,
                        const wchar_t* strategy = L"策略", const wchar_t* time = L"2024-06-01 10:00:00") {
    Sql(L"insert into ReportCenterTable (ReportName,StrategyName,ProduceTime,StrategyVersion,DetailContent) "
        L"values (?,?,?,?,?)", {name, strategy, time, version, detail});
  }
  // Every row of the table in the order it gives them, "|" between columns, "-" for no
  // time or version.
  static std::vector<std::wstring> Table() {
    SQLServerLink link;
    std::vector<std::wstring> rows;
    link.Connect(qvtest::TestDatabase::Dsn(), L"", L"");
    SQLStatement* st = qvtest::Prepare(link, L"select ReportName||'|'||ifnull(StrategyName,'')||'|'||"
                                             L"ifnull(ProduceTime,'-')||'|'||ifnull(StrategyVersion,'-')||'|'||"
                                             L"ifnull(DetailContent,'') from ReportCenterTable");
    while (st && st->Fetch()) rows.push_back(qvtest::Str(st->GetString(0)));
    return rows;
  }

  testenv::TempDir temp;
  testenv::LoopbackPeer peer;  // the service link's; never answers
  ModalScript script;
  qvtest::ConnectionWatch* watch = nullptr;
};
