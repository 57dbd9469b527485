// "生成简报" on the report list through the output settings to the report's page, and the
// two lines it leaves in the list's log.
#include "console/LocalClock.h"
#include "reports/CRCReportManageOutPutSetDlg.h"
#include "support/ReportsPageHost.h"

namespace {

using ReportGenerate = ReportsPageHost;
using Dlg = CRCReportManageOutPutSetDlg;

TEST_F(ReportGenerate, GeneratedReportIsOpenedAndLoggedWithOneTime) {
  AddReport(L"月报", L"", 1, L"策略A");
  const std::wstring here = temp.File(L"当前"), output = temp.File(L"输出");
  for (const std::wstring& folder : {here, here + L"\\ReportTemplate", here + L"\\ReportTemplate\\data", output})
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
  wchar_t previous[MAX_PATH];
  ::GetCurrentDirectoryW(MAX_PATH, previous);
  ::SetCurrentDirectoryW(here.c_str());
  LocalClock::Fix clock(SYSTEMTIME{2024, 6, 0, 30, 12, 0, 0, 0});
  FakeShellServices shell;
  shell.Choose(ShellServices::kFolder, output);
  Run(0, [&](UiDialogDriver& d, CReportCenterUIHandler& area) {
    CRCReportManagementUIHandler& list = *area.ReportList();
    ClickCell(list, 0, 0);
    script.ExpectDialog([&](UiDialogDriver& dlg) {
      dlg.Type(Dlg::kNameEdit, L"六月");
      dlg.Type(Dlg::kAuthorEdit, L"王五");
      ::SendMessageW(dlg.Control(Dlg::kFormatCombo), CB_SETCURSEL, 0, 0);
      EXPECT_TRUE(dlg.Click(Dlg::kItemBrowse));
      EXPECT_TRUE(dlg.Click(Dlg::kItemGenerate));
    });
    EXPECT_TRUE(d.Click(CRCReportManagementUIHandler::kItemGenerate));
    wchar_t text[256] = L"";
    ::GetWindowTextW(list.LogBox(), text, 256);
    EXPECT_STREQ(L"2024-06-30 12:00:00 报告名称:月报 开始存储......\r\n"
                 L"2024-06-30 12:00:00 报告名称:月报 存储成功......\r\n",
                 text);
  });
  ::SetCurrentDirectoryW(previous);
  ASSERT_EQ(2u, shell.Calls().size());
  EXPECT_EQ(output + L"\\六月\\index.html", shell.Calls()[1].path);
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW((output + L"\\六月\\data\\Report.js").c_str()));
}

}  // namespace
