// "生成简报" on the report list through the output settings: the dialog filled from the
// settings, what it refuses or fails at (staying open), then a report generated, its page
// opened, the settings stored and two lines in the list's log.
#include "console/CurrentDirectoryKeeper.h"
#include "console/LocalClock.h"
#include "reports/CRCReportManageOutPutSetDlg.h"
#include "support/ReportsPageHost.h"

namespace {

using ReportGenerate = ReportsPageHost;
using Dlg = CRCReportManageOutPutSetDlg;

TEST_F(ReportGenerate, DialogRefusesWhatCannotBeAReportThenGeneratesOpensAndLogsIt) {
  AddReport(L"月报", L"", 1, L"策略A");
  const std::wstring here = temp.File(L"当前"), output = temp.File(L"输出"), templ = here + L"\\ReportTemplate";
  for (const std::wstring& folder : {here, output}) ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
  CurrentDirectoryKeeper keeper;
  ::SetCurrentDirectoryW(here.c_str());
  LocalClock::Fix clock(SYSTEMTIME{2024, 6, 0, 30, 12, 0, 0, 0});
  g_reportBriefName = L"周报", g_reportBriefAuthor = L"张三", g_reportOutputFolder = L"D:\\报告\\", g_reportFormatIndex = 0;
  FakeShellServices shell;
  shell.Choose(ShellServices::kFolder, output);
  const wchar_t kBadName[] = L"简报名称不能用作文件夹名称";
  // Each attempt's refusal or failure, and the part of the template made after it.
  const struct { const wchar_t* name; const wchar_t* box; const wchar_t* made; } attempts[] = {
      {L"六月", L"找不到报告模板文件夹", L""}, {L"六月", L"写入报告数据文件", L"\\data"}, {L"a/b", kBadName, nullptr},
      {L"..", kBadName, nullptr}, {L"a:b", kBadName, nullptr}, {L"六月", nullptr, nullptr}};
  Run(0, [&](UiDialogDriver& d, CReportCenterUIHandler& area) {
    ClickCell(*area.ReportList(), 0, 0);
    script.ExpectDialog([&](UiDialogDriver& dlg) {
      const std::vector<std::wstring> filled{L"周报", L"张三", L"HTML 格式", L"D:\\报告\\"};
      for (UINT id : {Dlg::kNameEdit, Dlg::kAuthorEdit, Dlg::kFormatCombo, Dlg::kFolderEdit})
        EXPECT_EQ(filled[id - Dlg::kNameEdit], dlg.ControlText(id));
      for (UINT control : {Dlg::kNameEdit, Dlg::kAuthorEdit, Dlg::kFolderEdit}) ::SetWindowTextW(dlg.Control(control), L"");
      ::SendMessageW(dlg.Control(Dlg::kFormatCombo), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
      for (const wchar_t* box : {L"请输入简报名称", L"请输入简报作者", L"请选择简报格式", L"请选择简报存储路径"})
        script.ExpectBox(box);
      EXPECT_TRUE(dlg.Click(Dlg::kItemGenerate) && dlg.IsOpenAndShown());
      dlg.Type(Dlg::kNameEdit, L"名");
      EXPECT_TRUE(dlg.Click(Dlg::kItemGenerate) && dlg.IsOpenAndShown());
      dlg.Type(Dlg::kAuthorEdit, L"王五");
      EXPECT_TRUE(dlg.Click(Dlg::kItemGenerate) && dlg.IsOpenAndShown());
      ::SendMessageW(dlg.Control(Dlg::kFormatCombo), CB_SETCURSEL, 0, 0);
      EXPECT_TRUE(dlg.Click(Dlg::kItemGenerate) && dlg.IsOpenAndShown());
      EXPECT_TRUE(dlg.Click(Dlg::kItemBrowse));
      for (const auto& attempt : attempts) {
        if (attempt.box) script.ExpectBox(attempt.box);
        dlg.Type(Dlg::kNameEdit, attempt.name);
        EXPECT_TRUE(dlg.Click(Dlg::kItemGenerate));
        if (!attempt.box) break;
        EXPECT_TRUE(dlg.IsOpenAndShown());
        EXPECT_EQ(attempt.box == kBadName ? L"提示" : L"错误", script.Boxes().back().caption);
        if (attempt.made) ::CreateDirectoryW((templ + attempt.made).c_str(), nullptr);
      }
    });
    EXPECT_TRUE(d.Click(CRCReportManagementUIHandler::kItemGenerate));
    wchar_t text[256] = L"";
    ::GetWindowTextW(area.ReportList()->LogBox(), text, 256);
    EXPECT_STREQ(L"2024-06-30 12:00:00 报告名称:月报 开始存储......\r\n"
                 L"2024-06-30 12:00:00 报告名称:月报 存储成功......\r\n",
                 text);
  });
  EXPECT_EQ(L"六月|王五|" + output + L"\\|0", g_reportBriefName + L"|" + g_reportBriefAuthor + L"|" +
                                           g_reportOutputFolder + L"|" + std::to_wstring(g_reportFormatIndex));
  ASSERT_EQ(2u, shell.Calls().size());
  EXPECT_EQ(output + L"\\六月\\index.html", shell.Calls()[1].path);
}

}  // namespace
