// Export and import of StrategyTable as the XML file, with the file choosers answered
// by the test and real files in a temporary folder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"
#include "integrity/StrategyTableRow.h"
#include "platform/TextConv.h"
#include "support/FakeShellServices.h"
#include "support/IntegrityPageHost.h"
#include "support/LoopbackPeer.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"

namespace {

using Page = CQvStrategyGuardUIHandler;

std::vector<StrategyTableRow> TableRows(SQLServerLink& link) {
  std::vector<StrategyTableRow> rows;
  SQLStatement* statement = StrategyTableRow::SelectAll(link);
  while (statement && statement->Fetch()) {
    rows.emplace_back();
    rows.back().Read(*statement);
  }
  link.ReleaseStatement(statement);
  return rows;
}

// A row with every column set: texts by column, integers from the column's position.
StrategyTableRow FullRow(const std::wstring& name, const std::wstring& ip, int runStatus) {
  StrategyTableRow row;
  for (int i = 0; i < StrategyTableRow::kColumnCount; ++i) {
    if (StrategyTableRow::ColumnAt(i).text)
      row.SetText(i, L"值" + std::to_wstring(i) + L" \"引号\" & <x>");
    else
      row.SetInt(i, i * 3 - 20);
  }
  row.SetText(0, name);
  row.SetText(38, ip);
  row.SetText(41, std::wstring(2000, L'目'));
  row.SetInt(StrategyTableRow::kRunStatus, runStatus);
  return row;
}

std::string FileBytes(const std::wstring& path) {
  std::string bytes;
  HANDLE f = ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  char buffer[4096];
  DWORD n = 0;
  while (f != INVALID_HANDLE_VALUE && ::ReadFile(f, buffer, sizeof buffer, &n, nullptr) && n) bytes.append(buffer, n);
  if (f != INVALID_HANDLE_VALUE) ::CloseHandle(f);
  return bytes;
}

bool SameExceptRunStatus(const StrategyTableRow& a, const StrategyTableRow& b) {
  for (int i = 0; i < StrategyTableRow::kRunStatus; ++i)
    if (a.Text(i) != b.Text(i) || a.Int(i) != b.Int(i)) return false;
  return b.Int(StrategyTableRow::kRunStatus) == 0;
}

// An element of 42 attributes as an earlier console wrote it, name and text in CP936.
std::string Element(const std::string& name, int attributes = 42) {
  std::string e = "<strategy strategyname=\"" + name + "\"";
  for (int i = 1; i < attributes; ++i) e += " a" + std::to_string(i) + "=\"" + (i == 1 ? "\xC3\xE8\xCA\xF6" : "1") + "\"";
  return e + " />";
}

class StrategyFile : public IntegrityPageHost {
 protected:
  testenv::TempDir dir;
  FakeShellServices shell;
  testenv::LoopbackPeer peer;
};

TEST_F(StrategyFile, ExportThenImportGivesBackEveryValueButTheRunState) {
  for (const auto& row : {FullRow(L"O'Brien的策略", L"10.0.0.1", 1), FullRow(L"O'Brien的策略", L"10.0.0.2", 0),
                          FullRow(L"第二", L"10.0.0.3", 1)})
    ASSERT_EQ(1, row.Insert(link));
  const std::vector<StrategyTableRow> before = TableRows(link);
  const std::wstring path = dir.File(L"策略.xml");
  Run(peer.Port(), [&] {
    shell.Choose(ShellServices::kSaveFile, path);
    script.ExpectBox(L"导出成功！");
    Command(Page::kItemExport);
    ASSERT_EQ(1, qvtest::Exec(link, L"delete from StrategyTable"));
    shell.Choose(ShellServices::kOpenFile, path);
    script.ExpectBox(L"导入成功！");
    Command(Page::kItemImport);
    EXPECT_EQ(2, Grid().GetItemCount());
  });
  const std::vector<StrategyTableRow> after = TableRows(link);
  ASSERT_EQ(before.size(), after.size());
  for (size_t i = 0; i < before.size(); ++i) EXPECT_TRUE(SameExceptRunStatus(before[i], after[i])) << i;
  EXPECT_NE(std::string::npos, FileBytes(path).find(qv::WideToAnsi(L"的策略")));
  EXPECT_EQ(L"*.xml", shell.Calls()[0].file.filterPattern);
  EXPECT_EQ(L"integrity", shell.Calls()[0].file.defaultName);
}

TEST_F(StrategyFile, AnEmptyTableAndAnEmptyRootTravelBothWays) {
  const std::wstring path = dir.File(L"empty.xml");
  Run(peer.Port(), [&] {
    shell.Choose(ShellServices::kSaveFile, path);
    script.ExpectBox(L"导出成功！");
    Command(Page::kItemExport);
    AddTarget(L"将被清空");
    shell.Choose(ShellServices::kOpenFile, path);
    script.ExpectBox(L"导入成功！");
    Command(Page::kItemImport);
    EXPECT_EQ(0, Grid().GetItemCount());
  });
  EXPECT_EQ(0, qvtest::Int(link, L"select count(*) from StrategyTable"));
  EXPECT_EQ("<strategys />\n", FileBytes(path));
}

TEST_F(StrategyFile, AFileOfAnEarlierConsoleImportsByPosition) {
  // "测试" and "描述" in CP936, attributes of other names, indented as it saved them.
  const std::string file = "<strategys>\n    " + Element("\xB2\xE2\xCA\xD4") + "\n</strategys>\n";
  ASSERT_TRUE(testfiles::WriteBytes(dir.File(L"old.xml"), file));
  Run(peer.Port(), [&] {
    shell.Choose(ShellServices::kOpenFile, dir.File(L"old.xml"));
    script.ExpectBox(L"导入成功！");
    Command(Page::kItemImport);
    EXPECT_EQ(L"描述", Cell(L"测试", Page::kColDescriptor));
  });
  const std::vector<StrategyTableRow> rows = TableRows(link);
  ASSERT_EQ(1u, rows.size());
  EXPECT_EQ(1, rows[0].Int(2));
  EXPECT_EQ(L"1", rows[0].Text(40));
  EXPECT_EQ(0, rows[0].Int(StrategyTableRow::kRunStatus));
}

TEST_F(StrategyFile, AnythingWrongChangesNeitherTableNorFile) {
  // A trigger stands for a database that refuses one of the rows.
  ASSERT_EQ(1, qvtest::Exec(link, L"create trigger refuse before insert on StrategyTable "
                                  L"when new.StrategyName = 'boom' begin select raise(abort, 'refused'); end"));
  const struct {
    const char* what;
    std::string file;  // written unless empty
    bool import;
    const wchar_t* box;
  } rows[] = {
      {"41 attributes", "<strategys>" + Element("a") + Element("b", 41) + "</strategys>", true, L"无效的导入文件"},
      {"a name of 64", "<strategys>" + Element(std::string(64, 'n')) + "</strategys>", true, L"无效的导入文件"},
      {"no XML", "strategys", true, L"无效的导入文件"},
      {"no file", "", true, L"无效的导入文件"},
      {"a refused row", "<strategys>" + Element("a") + Element("boom") + "</strategys>", true, L"错误信息："},
      {"an unwritable path", "", false, L"导出失败！"},
      {"a value outside the code page", "", false, L"导出失败！"},
  };
  AddTarget(L"原有");
  Run(peer.Port(), [&] {
    for (const auto& row : rows) {
      SCOPED_TRACE(row.what);
      const std::string what = row.what;
      std::wstring path = dir.File(qv::Utf8ToWide(what) + L".xml");
      if (!row.file.empty()) {
        ASSERT_TRUE(testfiles::WriteBytes(path, row.file));
      }
      if (what == "an unwritable path") path = dir.File(L"missing\\out.xml");
      if (what == "a value outside the code page") AddTarget(L"表情\U0001F600");
      const int count = qvtest::Int(link, L"select count(*) from StrategyTable");
      shell.Choose(row.import ? ShellServices::kOpenFile : ShellServices::kSaveFile, path);
      script.ExpectBox(row.box);
      Command(row.import ? Page::kItemImport : Page::kItemExport);
      EXPECT_EQ(count, qvtest::Int(link, L"select count(*) from StrategyTable"));
      EXPECT_EQ(1, Targets(L"原有"));
      EXPECT_EQ(1, Grid().GetItemCount());
      EXPECT_TRUE(row.import || ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES);
    }
  });
}

}  // namespace
