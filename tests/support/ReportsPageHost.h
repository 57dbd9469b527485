#pragma once
// The report center as the console runs it, for the report pages' tests: a fresh test
// database behind the connection settings, a user with the report-center permission,
// and the main window run modally and opened on the report area's list (page 0) or
// settings (page 1); the test's act runs inside the window's modal loop, its boxes and
// dialogs answered by the script. Grid clicks go to the page as the grid sends them.
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "reports/CReportCenterUIHandler.h"
#include "support/LoopbackPeer.h"
#include "support/ModalScript.h"
#include "support/TestDatabase.h"

class ReportsPageHost : public qvtest::DatabaseTest {
 protected:
  using Act = std::function<void(UiDialogDriver&, CReportCenterUIHandler&)>;
  void SetUp() override;
  void TearDown() override;
  void Run(int page, const Act& act);

  // A click on a grid cell: a box in column 0 toggles first, then the page hears it.
  static void ClickCell(UiDialogDriver& d, CRCReportManagementUIHandler& list, int row, int column);
  // Runs a statement on the test database over a link of its own.
  static void Sql(const wchar_t* sql, std::initializer_list<qvtest::SqlParam> params = {});
  // A report row as the page finds it in the table.
  static void AddReport(const wchar_t* name, const wchar_t* strategy = L"策略", const wchar_t* time = L"2024-06-01 10:00:00",
                        int version = 1, const wchar_t* detail = L"");
  // Every row of the table, in the order it gives them, its columns joined by "|".
  static std::vector<std::wstring> Table();

  testenv::LoopbackPeer peer;  // the service link's; never answers
  ModalScript script;
};
