// "生成简报" on the report list through the output settings: the dialog filled from the
// settings, what it refuses or fails at (staying open), then a report generated, its page
// opened, the settings stored and two lines in the list's log.
#include "console/CurrentDirectoryKeeper.h"
#include "console/LocalClock.h"
#include "console/SystemErrorText.h"
#include "reports/CRCReportManageOutPutSetDlg.h"
#include "reports/ReportFolders.h"
#include "support/ChildProcess.h"
#include "support/ReportsPageHost.h"
#include "support/SmallDisk.h"
#include "support/TestFiles.h"

namespace {

using ReportGenerate = ReportsPageHost;
using Dlg = CRCReportManageOutPutSetDlg;
using testenv::SmallDisk;

// The current directory holds a template (a page and a data folder) while it lives; the
// report settings name output as the folder and 六月 as the report.
struct TemplateHere {
  TemplateHere(const std::wstring& here, const std::wstring& output) {
    for (const std::wstring& folder : {here, output, here + L"\\ReportTemplate", here + L"\\ReportTemplate\\data"})
      ::CreateDirectoryW(folder.c_str(), nullptr);
    testfiles::WriteBytes(here + L"\\ReportTemplate\\index.html", "<html></html>");
    ::SetCurrentDirectoryW(here.c_str());
    g_reportBriefName = L"六月", g_reportBriefAuthor = L"张三", g_reportOutputFolder = output + L"\\", g_reportFormatIndex = 0;
  }
  CurrentDirectoryKeeper keeper;
};

std::wstring LogText(CReportCenterUIHandler& area) {
  wchar_t text[1024] = L"";
  ::GetWindowTextW(area.ReportList()->LogBox(), text, 1024);
  return text;
}

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

// A report another console deleted, before "生成简报" or while its output settings are
// open, is not generated: nothing is written or opened, the user is told and the list
// is read again.
TEST_F(ReportGenerate, AReportAnotherConsoleDeletedIsNotGeneratedAndTheListIsReadAgain) {
  const std::wstring output = temp.File(L"输出");
  TemplateHere here(temp.File(L"当前"), output);
  const wchar_t kGone[] = L"该记录已被删除，列表将重新读取。";
  FakeShellServices shell;
  for (bool whileOpen : {false, true}) {
    SCOPED_TRACE(whileOpen);
    AddReport(L"月报", L"", 1, L"策略A");
    Run(0, [&](UiDialogDriver& d, CReportCenterUIHandler& area) {
      ClickCell(*area.ReportList(), 0, 0);
      if (whileOpen) {
        script.ExpectDialog([&](UiDialogDriver& dlg) {
          Sql(L"delete from ReportCenterTable");
          script.ExpectBox(kGone);
          EXPECT_TRUE(dlg.Click(Dlg::kItemGenerate));
        });
      } else {
        Sql(L"delete from ReportCenterTable");
        script.ExpectBox(kGone);
      }
      EXPECT_TRUE(d.Click(CRCReportManagementUIHandler::kItemGenerate));
      EXPECT_EQ(0, area.ReportList()->Grid().GetItemCount());
      EXPECT_EQ(L"", LogText(area));
    });
    EXPECT_EQ(std::vector<std::wstring>{}, SmallDisk::Names(output));
    EXPECT_TRUE(shell.Calls().empty());
  }
}

// A regeneration past entries that stay out of the new report (files another program
// holds, a folder in place of the report's page, a held copy of the report's own page):
// the report is made and opened, but the user is told where they stayed, which they are
// (the first few, each with its own reason, and how many) and the log does not say the
// plain success.
TEST_F(ReportGenerate, WhatCouldNotMoveIntoTheNewReportIsNamedInTheBoxAndTheLog) {
  AddReport(L"月报", L"", 1, L"策略A");
  const std::wstring output = temp.File(L"输出"), folder = output + L"\\六月";
  TemplateHere here(temp.File(L"当前"), output);
  LocalClock::Fix clock(SYSTEMTIME{2024, 6, 0, 30, 12, 0, 0, 0});
  const std::wstring started = L"2024-06-30 12:00:00 报告名称:月报 开始存储......\r\n";
  const std::wstring held = SystemErrorLine(ERROR_SHARING_VIOLATION), there = SystemErrorLine(ERROR_ALREADY_EXISTS);
  const std::wstring moved = L"未能移入新报告", removed = L"未能删除";
  const struct { std::vector<std::wstring> held; bool pageFolder; std::wstring failed, named; } rows[] = {
      {{L"笔记.txt"}, false, moved, L"\r\n未能移入的有 1 项：\r\n“笔记.txt”：" + held},
      {{L"笔记.txt"}, true, moved, L"\r\n未能移入的有 2 项：\r\n“index.html”：" + there + L"\r\n“笔记.txt”：" + held},
      {{L"a1.txt", L"a2.txt", L"a3.txt", L"a4.txt", L"a5.txt", L"a6.txt"}, true, moved,
       L"\r\n未能移入的有 7 项：\r\n“a1.txt”：" + held + L"\r\n“a2.txt”：" + held + L"\r\n“a3.txt”：" + held +
           L"\r\n“a4.txt”：" + held + L"\r\n“a5.txt”：" + held + L"\r\n等。"},
      {{L"index.html"}, false, removed, L"\r\n原报告的旧文件未能删除的有 1 项：\r\n“index.html”：" + held},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(qv::WideToUtf8(row.named));
    for (const std::wstring& name : SmallDisk::Names(output)) ASSERT_TRUE(RemoveFolder((output + L"\\" + name).c_str()));
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    if (row.pageFolder) {
      ASSERT_TRUE(::CreateDirectoryW((folder + L"\\index.html").c_str(), nullptr));
      ASSERT_TRUE(testfiles::WriteBytes(folder + L"\\index.html\\mine.txt", "mine"));
    }
    std::vector<HANDLE> held;
    for (const std::wstring& name : row.held) {
      ASSERT_TRUE(testfiles::WriteBytes(folder + L"\\" + name, "mine"));
      held.push_back(::CreateFileW((folder + L"\\" + name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, 0, nullptr));
      ASSERT_NE(INVALID_HANDLE_VALUE, held.back());
    }
    const size_t boxes = script.Boxes().size();
    FakeShellServices shell;
    std::wstring log;
    Run(0, [&](UiDialogDriver& d, CReportCenterUIHandler& area) {
      ClickCell(*area.ReportList(), 0, 0);
      script.ExpectDialog([&](UiDialogDriver& dlg) {
        script.ExpectBox(L"仍留在文件夹“" + output + L"\\qvr");
        EXPECT_TRUE(dlg.Click(Dlg::kItemGenerate));
      });
      EXPECT_TRUE(d.Click(CRCReportManagementUIHandler::kItemGenerate));
      log = LogText(area);
    });
    for (HANDLE h : held) ::CloseHandle(h);
    const std::vector<std::wstring> beside = SmallDisk::Names(output);
    ASSERT_EQ(2u, beside.size());
    const std::wstring left = output + L"\\" + beside[beside[0] == L"六月"];
    ASSERT_EQ(1u, shell.Calls().size());
    EXPECT_EQ(folder + L"\\index.html", shell.Calls()[0].path);
    ASSERT_EQ(boxes + 1, script.Boxes().size());
    EXPECT_EQ(L"报告已生成，但原报告文件夹中有内容" + row.failed + L"，仍留在文件夹“" + left + L"”中。" + row.named,
              script.Boxes().back().text);
    EXPECT_EQ(L"警告", script.Boxes().back().caption);
    EXPECT_EQ(started + L"2024-06-30 12:00:00 报告名称:月报 已存储，但有原有内容未能移入或删除，留在“" + left +
                  L"”......\r\n",
              log);
    if (row.pageFolder) {
      EXPECT_EQ("mine", testfiles::ReadBytes(left + L"\\index.html\\mine.txt"));
    }
  }
}

// A generation that fails says that the earlier report of the name is as it was only
// when there is one, and where it is when it could not come back to its place (a
// folder of the name in other letter case, which a Unix program can make beside it,
// takes the place as soon as the earlier report steps aside).
TEST_F(ReportGenerate, AFailedGenerationTellsOfTheEarlierReportOnlyWhereThereIsOne) {
  AddReport(L"月报", L"", 1, L"策略A");
  const std::wstring output = temp.File(L"输出"), folder = output + L"\\June", templ = temp.File(L"当前\\ReportTemplate");
  TemplateHere here(temp.File(L"当前"), output);
  g_reportBriefName = L"June";
  const std::wstring replace = L"无法以新报告替换文件夹“" + folder + L"”：" + SystemErrorLine(ERROR_ALREADY_EXISTS);
  auto earlierFolder = [&] {
    return ::CreateDirectoryW(folder.c_str(), nullptr) && testfiles::WriteBytes(folder + L"\\旧.txt", "old");
  };
  auto otherCase = [&] {
    testenv::ChildProcess mkdir;
    DWORD code = 1;
    return mkdir.StartUnix(L"/bin/mkdir \"" + qv::Utf8ToWide(testenv::UnixPath(output)) + L"/JUNE\"") &&
           mkdir.WaitExit(60000, &code) && code == 0;
  };
  enum Earlier { kNoWord, kUnchanged, kAside };
  const struct { const char* what; std::function<bool()> setUp; std::wstring box; Earlier earlier; } rows[] = {
      {"a new report that cannot be written", [&] { return ::RemoveDirectoryW((templ + L"\\data").c_str()) != 0; },
       L"写入报告数据文件时出错。", kNoWord},
      {"an earlier report and one that cannot be written", earlierFolder, L"写入报告数据文件时出错。", kUnchanged},
      {"a file in the report's place",
       [&] {
         return RemoveFolder(folder.c_str()) && ::CreateDirectoryW((templ + L"\\data").c_str(), nullptr) &&
                testfiles::WriteBytes(folder, "file");
       },
       replace, kNoWord},
      {"an earlier report that cannot come back",
       [&] { return ::DeleteFileW(folder.c_str()) && earlierFolder() && otherCase(); }, replace, kAside},
  };
  auto endsWith = [](const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
  };
  FakeShellServices shell;
  Run(0, [&](UiDialogDriver& d, CReportCenterUIHandler& area) {
    ClickCell(*area.ReportList(), 0, 0);
    script.ExpectDialog([&](UiDialogDriver& dlg) {
      for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(row.setUp());
        script.ExpectBox(row.box);
        EXPECT_TRUE(dlg.Click(Dlg::kItemGenerate) && dlg.IsOpenAndShown());
        const std::wstring text = script.Boxes().back().text;
        SCOPED_TRACE(qv::WideToUtf8(text));
        EXPECT_EQ(0u, text.find(row.box));
        if (row.earlier == kNoWord) {
          EXPECT_EQ(std::wstring::npos, text.find(L"原有的报告"));
        } else if (row.earlier == kUnchanged) {
          EXPECT_TRUE(endsWith(text, L"\r\n原有的报告未被改动。"));
        }
        if (row.earlier != kAside) continue;
        // Named where it is: the folder it stepped aside to, beside the one that took its place.
        const std::vector<std::wstring> beside = SmallDisk::Names(output);
        ASSERT_EQ(2u, beside.size());
        const std::wstring aside = output + L"\\" + beside[beside[0] == L"JUNE"];
        EXPECT_TRUE(endsWith(text, L"\r\n原有的报告未能移回原处，现在文件夹“" + aside + L"”中。"));
        EXPECT_EQ("old", testfiles::ReadBytes(aside + L"\\旧.txt"));
      }
    }, Dlg::kLeft);
    EXPECT_TRUE(d.Click(CRCReportManagementUIHandler::kItemGenerate));
  });
  EXPECT_TRUE(shell.Calls().empty());
}

// The report is written whole in a folder beside its place, under a name longer than a
// short report's: a path that only the final folder keeps under the limit is refused.
TEST_F(ReportGenerate, ThePathCheckCountsTheFolderTheReportIsMadeIn) {
  AddReport(L"月报", L"", 1, L"策略A");
  // "\\a\\data\\Report.xml" fits with nothing to spare; "\\qvrXXXX.tmp\\data\\Report.xml" does not.
  const size_t length = MAX_PATH - 1 - 18;
  std::wstring output = temp.Path();
  while (output.size() < length) {
    output += L"\\" + std::wstring(std::min<size_t>(100, std::max<size_t>(length - output.size() - 1, 1)), L'd');
    ASSERT_TRUE(::CreateDirectoryW(output.c_str(), nullptr));
  }
  ASSERT_EQ(length, output.size());
  TemplateHere here(temp.File(L"当前"), output);
  g_reportBriefName = L"a";
  Run(0, [&](UiDialogDriver& d, CReportCenterUIHandler& area) {
    ClickCell(*area.ReportList(), 0, 0);
    script.ExpectDialog([&](UiDialogDriver& dlg) {
      script.ExpectBox(L"简报存储路径过长，请选择较短的路径或名称");
      EXPECT_TRUE(dlg.Click(Dlg::kItemGenerate) && dlg.IsOpenAndShown());
    });
    EXPECT_TRUE(d.Click(CRCReportManagementUIHandler::kItemGenerate));
  });
  EXPECT_EQ(std::vector<std::wstring>{}, SmallDisk::Names(output));
}

}  // namespace
