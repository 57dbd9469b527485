// Export and import of StrategyTable as the XML file, with the file choosers answered
// by the test and real files in a temporary folder.
#include <gtest/gtest.h>

#include "console/SQLStatement.h"
#include "console/SystemErrorText.h"
#include "integrity/StrategyTableRow.h"
#include "platform/TextConv.h"
#include "support/ConnectionWatch.h"
#include "support/FakeShellServices.h"
#include "support/IntegrityPageHost.h"
#include "support/SmallDisk.h"
#include "support/TestFiles.h"

namespace {

// An element as an earlier console wrote it: 42 attributes of any names, texts in CP936
// (the descriptor "描述").
std::string Element(const std::string& name, int attributes = 42) {
  std::string e = "<strategy strategyname=\"" + name + "\"";
  for (int i = 1; i < attributes; ++i) e += " a" + std::to_string(i) + "=\"" + (i == 1 ? "\xC3\xE8\xCA\xF6" : "1") + "\"";
  return e + " />";
}

class StrategyFile : public IntegrityPageHost {
 protected:
  // Every row of the table, its values but RunStatus joined by "|".
  std::wstring Dump() {
    std::wstring text;
    StrategyTableRow row;
    for (SQLStatement* statement = StrategyTableRow::SelectAll(link); statement && statement->Fetch();) {
      row.Read(*statement);
      for (int i = 0; i < StrategyTableRow::kRunStatus; ++i)
        text += (StrategyTableRow::ColumnAt(i).text ? row.Text(i) : std::to_wstring(row.Int(i))) + L"|";
      text += L"\n";
    }
    return text;
  }
  // Runs the file command with the chooser answered by path and the box it should end with.
  void FileCommand(bool import, const std::wstring& path, const wchar_t* box) {
    shell.Choose(import ? ShellServices::kOpenFile : ShellServices::kSaveFile, path);
    script.ExpectBox(box);
    Command(import ? Page::kItemImport : Page::kItemExport);
  }
  testenv::TempDir dir;
  FakeShellServices shell;
};

TEST_F(StrategyFile, RowsAnEmptyTableAndAFileOfAnEarlierConsoleTravelWholeButTheRunState) {
  const std::wstring empty = dir.File(L"empty.xml"), path = dir.File(L"策略.xml"), old = dir.File(L"old.xml"),
                     references = dir.File(L"references.xml");
  // "测试" in CP936, indented as an earlier console saved it; and as character references.
  ASSERT_TRUE(testfiles::WriteBytes(old, "<strategys>\n    " + Element("\xB2\xE2\xCA\xD4") + "\n</strategys>\n"));
  ASSERT_TRUE(testfiles::WriteBytes(references, "<?xml version=\"1.0\" encoding=\"GBK\"?><strategys>" +
                                                    Element("&#x6D4B;&#35797;") + "</strategys>"));
  Run([&] {
    FileCommand(false, empty, L"导出成功！");
    for (const wchar_t* name : {L"O'Brien的策略", L"O'Brien的策略", L"第二"}) {
      StrategyTableRow row;  // every column set: texts with markup, integers by position
      for (int i = 0; i < StrategyTableRow::kColumnCount; ++i) {
        row.SetText(i, i == 0 ? name : i == 41 ? std::wstring(2000, L'目') : L"值\"&<x>&#x41;" + std::to_wstring(i));
        row.SetInt(i, i == StrategyTableRow::kRunStatus ? 1 : i * 3 - 20);
      }
      ASSERT_EQ(1, row.Insert(link));
    }
    const std::wstring before = Dump();
    FileCommand(false, path, L"导出成功！");
    ASSERT_EQ(1, qvtest::Exec(link, L"delete from StrategyTable"));
    FileCommand(true, path, L"导入成功！");
    EXPECT_EQ(before, Dump());
    EXPECT_EQ(2, Grid().GetItemCount());
    EXPECT_EQ(0, qvtest::Int(link, L"select count(*) from StrategyTable where RunStatus <> 0"));
    FileCommand(true, empty, L"导入成功！");
    EXPECT_EQ(0, Grid().GetItemCount() + Table());
    FileCommand(true, references, L"导入成功！");
    EXPECT_EQ(L"描述", Cell(L"测试", Page::kColDescriptor));
    FileCommand(true, old, L"导入成功！");
    EXPECT_EQ(L"描述", Cell(L"测试", Page::kColDescriptor));
  });
  EXPECT_EQ(std::wstring(L"测试|描述|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|\n"), Dump());
  std::wstring text;  // the ANSI code page, not UTF-8
  EXPECT_TRUE(qvtest::TestDatabase::ReadUtf8File(path, &text) && text.find(L"的策略") == std::wstring::npos);
  EXPECT_TRUE(qvtest::TestDatabase::ReadUtf8File(empty, &text) && text == L"<strategys />\n");
  EXPECT_TRUE(shell.Calls()[0].file.filterPattern == L"*.xml" && shell.Calls()[0].file.defaultName == L"integrity");
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
      // Well-formed, so only its size refuses it.
      {"a file over 64 MiB", "<strategys>" + Element("big") + std::string(64u << 20, ' ') + "</strategys>", true,
       L"导入文件超过 64 MB"},
      {"a refused row", "<strategys>" + Element("a") + Element("boom") + "</strategys>", true, L"错误信息："},
      {"a malformed reference", "<strategys>" + Element("&#x;") + "</strategys>", true, L"无效的导入文件"},
      {"a reference the code page cannot hold", "<strategys>" + Element("&#x1F600;") + "</strategys>", true,
       L"中有当前代码页无法表示的字符（&#x1F600;），策略未改变。"},
      {"a reference past U+10FFFF", "<strategys>" + Element("&#" + std::string(100000, '9') + ";") + "</strategys>",
       true, L"无效的导入文件"},
      {"an unwritable path", "", false, L"导出失败！"},
      {"a value outside the code page", "", false, L"导出失败！"},
  };
  AddTarget(L"原有");
  Run([&] {
    qvtest::ConnectionWatch watch(script);  // each told with nothing held
    for (const auto& row : rows) {
      SCOPED_TRACE(row.what);
      const std::string what = row.what;
      std::wstring path = dir.File(qv::Utf8ToWide(what) + L".xml");
      ASSERT_TRUE(row.file.empty() || testfiles::WriteBytes(path, row.file));
      if (what == "an unwritable path") path = dir.File(L"missing\\out.xml");
      if (what == "a value outside the code page") AddTarget(L"表情\U0001F600");
      const int count = Table();
      FileCommand(row.import, path, row.box);
      if (what == "a reference the code page cannot hold") {
        EXPECT_NE(std::wstring::npos, script.Boxes().back().text.find(path));
      }
      EXPECT_TRUE(count == Table() && Table(L"原有") == 1 && Grid().GetItemCount() == 1);
      EXPECT_TRUE(row.import || ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES);
    }
  });
}

// An export that does not reach the disk whole says so and leaves the file it was to
// replace as it was, with nothing of its own beside it.
TEST_F(StrategyFile, AnExportTheDiskCannotHoldSaysSoAndKeepsTheEarlierFile) {
  testenv::SmallDisk disk;
  ASSERT_TRUE(disk.Mounted());
  const std::wstring path = disk.File(L"策略.xml");
  AddTarget(L"原有");
  Run([&] {
    FileCommand(false, path, L"导出成功！");
    const std::string earlier = testfiles::ReadBytes(path);
    ASSERT_NE(std::string::npos, earlier.find("<strategy "));
    for (int i = 0; i < 100; ++i) AddTarget((L"策略" + std::to_wstring(i)).c_str());
    ASSERT_TRUE(disk.LeaveRoom(16 * 1024));
    FileCommand(false, path, L"导出失败！写入文件“");
    EXPECT_NE(std::wstring::npos, script.Boxes().back().text.find(path + L"”时出错："));
    EXPECT_EQ(earlier, testfiles::ReadBytes(path));
    EXPECT_EQ(std::vector<std::wstring>{L"策略.xml"}, testenv::SmallDisk::Names(disk.Path()));
  });
}

// A file marked read-only is not replaced, as Windows would not replace it; the box
// names the file and the reason, and speaks of an earlier file only when there was one.
TEST_F(StrategyFile, AFailedExportNamesTheFileAndTheReason) {
  AddTarget(L"原有");
  const std::wstring readOnly = dir.File(L"只读.xml"), missing = dir.File(L"没有\\策略.xml");
  ASSERT_TRUE(testfiles::WriteBytes(readOnly, "earlier"));
  ASSERT_TRUE(::SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
  const struct { std::wstring path; DWORD error; const wchar_t* tail; } rows[] = {
      {readOnly, ERROR_ACCESS_DENIED, L"\r\n原有的文件未被改动。"},
      {missing, ERROR_PATH_NOT_FOUND, L""},
  };
  Run([&] {
    for (const auto& row : rows) {
      SCOPED_TRACE(qv::WideToUtf8(row.path));
      FileCommand(false, row.path, L"导出失败！");
      EXPECT_EQ(L"导出失败！" + WriteFailureText(row.path, row.error) + row.tail, script.Boxes().back().text);
    }
  });
  EXPECT_EQ("earlier", testfiles::ReadBytes(readOnly));
  EXPECT_NE(0u, ::GetFileAttributesW(readOnly.c_str()) & FILE_ATTRIBUTE_READONLY);
  ::SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
