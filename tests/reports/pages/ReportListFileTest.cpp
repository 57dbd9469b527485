// The report list exported to a file and the table replaced from one: what comes back,
// what is refused with the table left as it was, and the current directory kept.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "support/FakeShellServices.h"
#include "support/ReportsPageHost.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"

namespace {

const UINT kImport = CRCReportManagementUIHandler::kItemImport;
const UINT kExport = CRCReportManagementUIHandler::kItemExport;
const wchar_t kUnreadable[] = L"导入文件无法读取或格式不正确";

// File dialogs move the current directory, as the real ones do.
class MovingShell : public FakeShellServices {
 public:
  explicit MovingShell(const std::wstring& dir) : m_dir(dir) {}

 protected:
  BOOL Perform(Request& request) override {
    ::SetCurrentDirectoryW(m_dir.c_str());
    return FakeShellServices::Perform(request);
  }

 private:
  std::wstring m_dir;
};

std::wstring CurrentDirectory() {
  wchar_t dir[MAX_PATH] = L"";
  ::GetCurrentDirectoryW(MAX_PATH, dir);
  return dir;
}

std::string ReadBytes(const std::wstring& path) {
  std::ifstream file(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class ReportListFile : public ReportsPageHost {
 protected:
  // The import or export with path chosen (a null box: the chooser cancelled), ending
  // with the box; the current directory is as it was before, whatever happened.
  void Transfer(UiDialogDriver& d, UINT item, const std::wstring& path, const wchar_t* box) {
    const std::wstring before = CurrentDirectory();
    MovingShell shell(temp.Path());
    shell.Choose(item == kImport ? ShellServices::kOpenFile : ShellServices::kSaveFile, path, box != nullptr);
    if (box) script.ExpectBox(box, IDOK);
    EXPECT_TRUE(d.Click(item));
    EXPECT_EQ(before, CurrentDirectory());
    ASSERT_EQ(1u, shell.Calls().size());
    EXPECT_EQ(item == kImport, (shell.Calls()[0].file.flags & OFN_FILEMUSTEXIST) != 0);
  }
  static int GridRows(CReportCenterUIHandler& area) { return area.ReportList()->Grid().GetItemCount(); }

  testenv::TempDir temp;
};

TEST_F(ReportListFile, ExportThenImportGivesTheTableBackRowForRow) {
  AddReport(L"周报", L"策略'一", L"2024-06-01 10:00:00", 3, L"第一行\r\n第二行\t");
  AddReport(L"' & < > \"", L"&#x41;", L"2024-06-01 10:00:00", 0, L"&amp;#x41;");
  AddReport(std::wstring(260, L'长').c_str(), L"策略", L"2024-06-02 00:00:00", 2147483647, L"");
  Sql(L"insert into ReportCenterTable (ReportName) values ('空版本')");
  const std::vector<std::wstring> before = Table();
  const std::wstring file = temp.File(L"报告列表.xml");
  Run(0, [&](UiDialogDriver& d, CReportCenterUIHandler& area) {
    Transfer(d, kExport, file, L"导出成功！");
    Sql(L"delete from ReportCenterTable");
    AddReport(L"将被替换");
    Transfer(d, kImport, file, L"导入成功！");
    EXPECT_EQ(4, GridRows(area));
  });
  EXPECT_EQ(before, Table());
}

TEST_F(ReportListFile, EmptyTableGivesTheGoldenBytesWhoseImportEmptiesTheTable) {
  const std::wstring file = temp.File(L"empty.xml");
  Run(0, [&](UiDialogDriver& d, CReportCenterUIHandler& area) {
    Transfer(d, kExport, file, L"导出成功！");
    EXPECT_EQ("<reports />\r\n", ReadBytes(file));
    AddReport(L"甲");
    AddReport(L"乙");
    Transfer(d, kImport, file, L"导入成功！");
    EXPECT_EQ(0, GridRows(area));
  });
  EXPECT_TRUE(Table().empty());
}

TEST_F(ReportListFile, Utf8WithByteOrderMarkIsReadAsUtf8) {
  const std::wstring file = temp.File(L"utf8.xml");
  ASSERT_TRUE(testfiles::WriteBytes(file, "\xEF\xBB\xBF<list><r a=\"\xE5\x91\xA8\xE6\x8A\xA5\" b=\"s\" c=\"\" d=\"7\" "
                                          "e=\"&amp;#x41;\" f=\"more\"/></list>"));
  Run(0, [&](UiDialogDriver& d, CReportCenterUIHandler&) { Transfer(d, kImport, file, L"导入成功！"); });
  EXPECT_EQ(std::vector<std::wstring>{L"周报|s|(null)|7|&#x41;|"}, Table());
}

TEST_F(ReportListFile, RefusedImportsLeaveTheTableAsItWas) {
  const std::string row = "<report a=\"x\" b=\"y\" c=\"2024-06-01 10:00:00\" d=\"1\" e=\"z\"/>";
  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "<a>";
  const struct {
    std::string bytes;
    const wchar_t* box;
  } rows[] = {
      {"", nullptr},  // chooser cancelled
      {"not xml", kUnreadable},
      {"<?xml version=\"1.0\"?>\r\n<!-- no root -->", kUnreadable},
      {"<reports><report a=\"x\" b=\"y\" c=\"\" d=\"1\"/></reports>", kUnreadable},
      {"<reports>" + row + "<report a=\"x\" b=\"y\" c=\"\" d=\"abc\" e=\"\"/></reports>", kUnreadable},
      {"<reports><report a=\"x\" b=\"y\" c=\"2024-13-01 00:00:00\" d=\"1\" e=\"\"/></reports>", kUnreadable},
      {"<reports><report a=\"" + std::string(261, 'n') + "\" b=\"y\" c=\"\" d=\"1\" e=\"\"/></reports>", kUnreadable},
      {deep, kUnreadable},
      {"<reports>" + row + row + row + "</reports>", L"错误信息："},  // the third insert aborts
  };
  AddReport(L"留下");
  AddReport(L"也留下");
  Sql(L"create trigger third before insert on ReportCenterTable when (select count(*) from ReportCenterTable) >= 2 "
      L"begin select raise(abort, 'third'); end");
  const std::vector<std::wstring> before = Table();
  Run(0, [&](UiDialogDriver& d, CReportCenterUIHandler& area) {
    for (size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
      SCOPED_TRACE(i);
      const std::wstring file = temp.File(std::to_wstring(i) + L".xml");
      ASSERT_TRUE(testfiles::WriteBytes(file, rows[i].bytes));
      Transfer(d, kImport, file, rows[i].box);
      EXPECT_EQ(2, GridRows(area));
      EXPECT_EQ(before, Table());
    }
  });
}

TEST_F(ReportListFile, ExportThatCannotBeWrittenWholeSaysSoAndLeavesNoFile) {
  const struct {
    const wchar_t *name, *file, *box;
  } rows[] = {
      {L"报告ก", L"thai.xml", L"报告“报告ก”含有"},  // no form in code page 936
      {L"周报", L"无此目录\\r.xml", L"无法写入文件"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(row.box)));
    DatabaseTest::SetUp();
    AddReport(row.name);
    const std::wstring file = temp.File(row.file);
    Run(0, [&](UiDialogDriver& d, CReportCenterUIHandler&) { Transfer(d, kExport, file, row.box); });
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(file.c_str()));
  }
}

}  // namespace
