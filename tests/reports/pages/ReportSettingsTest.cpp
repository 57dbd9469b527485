// The report settings page: what a save checks and stores, and the folder picker that
// the report generation shares.
#include "support/ReportsPageHost.h"

namespace {

using ReportSettingsPage = ReportsPageHost;

TEST_F(ReportSettingsPage, SaveNamesTheFirstMissingFieldAndStoresAllFourOrNothing) {
  const struct { const wchar_t *name, *author; int format; const wchar_t *folder, *box; } rows[] = {
      {L"", L"", -1, L"", L"请输入简报名称"},
      {L"周报", L"", 0, L"C:\\", L"请输入简报作者"},
      {L"周报", L"张三", -1, L"", L"请选择简报输出格式"},
      {L"周报", L"张三", 0, L"", L"请输入简报输出位置"},
      {L"周报", L"张三", 0, L"D:\\报告\\", L"输出设置保存成功"},
  };
  Run(1, [&](UiDialogDriver& d, CReportCenterUIHandler&) {
    for (const auto& row : rows) {
      SCOPED_TRACE(testing::PrintToString(std::wstring(row.box)));
      g_reportBriefName = g_reportBriefAuthor = g_reportOutputFolder = L"旧", g_reportFormatIndex = 7;
      for (UINT id : {1103u, 1104u, 1106u})
        ::SetWindowTextW(d.Control(id), id == 1103 ? row.name : id == 1104 ? row.author : row.folder);
      ::SendMessageW(d.Control(1105), CB_SETCURSEL, row.format, 0);
      script.ExpectBox(row.box, IDOK);
      EXPECT_TRUE(d.Click(1215));
      EXPECT_EQ(row.box == rows[4].box ? L"周报|张三|D:\\报告\\|0" : L"旧|旧|旧|7",
                g_reportBriefName + L"|" + g_reportBriefAuthor + L"|" + g_reportOutputFolder + L"|" +
                    std::to_wstring(g_reportFormatIndex));
    }
  });
}

TEST_F(ReportSettingsPage, PickedFolderEndsInOneBackslash) {
  const struct { bool confirm; const wchar_t *path, *shown; } rows[] = {
      {true, L"D:\\报告\\二〇二四", L"D:\\报告\\二〇二四\\"},
      {false, L"", L"D:\\报告\\二〇二四\\"},  // cancelled
      {true, L"", L"D:\\报告\\二〇二四\\"},   // a folder without a path: told
      {true, L"C:\\", L"C:\\"},
  };
  Run(1, [&](UiDialogDriver& d, CReportCenterUIHandler&) {
    for (const auto& row : rows) {
      SCOPED_TRACE(testing::PrintToString(std::wstring(row.path)));
      FakeShellServices shell;
      shell.Choose(ShellServices::kFolder, row.path, row.confirm);
      if (row.confirm && !*row.path) script.ExpectBox(L"请选择存储路径", IDOK);
      EXPECT_TRUE(d.Click(1214));
      EXPECT_EQ(row.shown, d.ControlText(1106));
    }
  });
}

}  // namespace
