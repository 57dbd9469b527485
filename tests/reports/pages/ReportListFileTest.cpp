// The report list exported to a file and the table replaced from one: what comes back,
// and what is refused with the table left as it was.
#include "console/SystemErrorText.h"
#include "platform/TextConv.h"
#include "support/CraftedXml.h"
#include "support/ReportsPageHost.h"
#include "support/SmallDisk.h"
#include "support/TestFiles.h"

namespace {

const UINT kImport = CRCReportManagementUIHandler::kItemImport, kExport = CRCReportManagementUIHandler::kItemExport;
const wchar_t kUnreadable[] = L"导入文件无法读取或格式不正确";

using ReportListFile = ReportsPageHost;

TEST_F(ReportListFile, ExportThenImportGivesTheTableBackRowForRow) {
  const std::wstring empty = temp.File(L"empty.xml"), file = temp.File(L"报告列表.xml");
  std::vector<std::wstring> before;
  Run(0, [&](UiDialogDriver& d, CReportCenterUIHandler& area) {
    Transfer(d, kExport, empty, L"导出成功！");
    std::wstring bytes;
    EXPECT_TRUE(qvtest::TestDatabase::ReadUtf8File(empty, &bytes) && bytes == L"<reports />\r\n");
    AddReport(L"周报", L"第一行\r\n第二行\t", 3, L"策略'一");
    AddReport(L"' & < > \"", L"&amp;#x41;", 0, L"&#x41;");
    AddReport(std::wstring(260, L'长').c_str(), L"", 2147483647);
    Sql(L"insert into ReportCenterTable (ReportName) values ('空版本')");
    before = Table();
    Transfer(d, kExport, file, L"导出成功！");
    Transfer(d, kImport, empty, L"导入成功！");
    EXPECT_TRUE(Table().empty() && area.ReportList()->Grid().GetItemCount() == 0);
    Transfer(d, kImport, file, L"导入成功！");
  });
  EXPECT_EQ(before, Table());
}

TEST_F(ReportListFile, RefusedImportsLeaveTheTableAsItWas) {
  const std::string row = "<report a=\"x\" b=\"y\" c=\"2024-06-01 10:00:00\" d=\"1\" e=\"z\"/>";
  std::string deep;  // deeper than the parser's stack would take
  for (int i = 0; i < 100000; ++i) deep += "<a>";
  struct Row { std::string bytes; const wchar_t* box; };
  std::vector<Row> rows = {
      {"", nullptr},  // chooser cancelled
      {"not xml", kUnreadable},
      {"<?xml version=\"1.0\"?>\r\n<!-- no root -->", kUnreadable},
      {"<reports><report a=\"x\" b=\"y\" c=\"\" d=\"1\"/></reports>", kUnreadable},
      {"<reports><report a=\"x\" b=\"y\" c=\"2024-13-01 00:00:00\" d=\"1\" e=\"\"/></reports>", kUnreadable},
      {"<reports><report a=\"" + std::string(261, 'n') + "\" b=\"y\" c=\"\" d=\"1\" e=\"\"/></reports>", kUnreadable},
      {deep, kUnreadable},
      // A malformed character reference, once read as an empty name.
      {"<reports><report a=\"&#;\" b=\"y\" c=\"\" d=\"1\" e=\"\"/></reports>", kUnreadable},
      {"<reports><report a=\"&#" + std::string(200 * 1024, '7') + ";\" b=\"y\" c=\"\" d=\"1\" e=\"\"/></reports>",
       kUnreadable},
      {"<reports>" + row + row + row + "</reports>", L"错误信息："},  // the third insert aborts
  };
  // Nested past the guard's count, once ran the parser out of stack and ended the console.
  for (const craftedxml::Text& text : craftedxml::All(true)) rows.push_back({text.bytes, kUnreadable});
  for (const wchar_t* name : {L"留下", L"也留下"}) AddReport(name);
  Sql(L"create trigger third before insert on ReportCenterTable when (select count(*) from ReportCenterTable) >= 2 "
      L"begin select raise(abort, 'third'); end");
  const std::vector<std::wstring> before = Table();
  Run(0, [&](UiDialogDriver& d, CReportCenterUIHandler& area) {
    for (size_t i = 0; i < rows.size(); ++i) {
      SCOPED_TRACE(i);
      const std::wstring file = temp.File(std::to_wstring(i) + L".xml");
      ASSERT_TRUE(testfiles::WriteBytes(file, rows[i].bytes));
      Transfer(d, kImport, file, rows[i].box);
      EXPECT_EQ(2, area.ReportList()->Grid().GetItemCount());
      EXPECT_EQ(before, Table());
    }
  });
  // A UTF-8 file with a byte-order mark: its elements and attributes named freely.
  const std::wstring file = temp.File(L"utf8.xml");
  ASSERT_TRUE(testfiles::WriteBytes(
      file, "\xEF\xBB\xBF<list><r a=\"\xE5\x91\xA8\xE6\x8A\xA5\" b=\"s\" c=\"\" d=\"7\" e=\"&amp;#x41;\" f=\"\"/></list>"));
  Run(0, [&](UiDialogDriver& d, CReportCenterUIHandler&) { Transfer(d, kImport, file, L"导入成功！"); });
  EXPECT_EQ(std::vector<std::wstring>{L"周报|s|-|7|&#x41;"}, Table());
}

// The console's own export with names written as character references, in a file read
// in the code page (no declaration, or one naming GBK or ISO-8859-1): the import gives
// the table back row for row. A reference the code page cannot hold refuses the file,
// named, and the table stays as it was.
TEST_F(ReportListFile, CharacterReferencesInACodePageFileImportAsTheirCharacters) {
  AddReport(L"张V0报告", L"详情", 1, L"策略");
  AddReport(L"CaféV1报告", L"", 2, L"策略");
  const std::vector<std::wstring> before = Table();
  const std::wstring exported = temp.File(L"exported.xml");
  Run(0, [&](UiDialogDriver& d, CReportCenterUIHandler&) { Transfer(d, kExport, exported, L"导出成功！"); });
  const std::string bytes = testfiles::ReadBytes(exported), zhang = qv::WideToAnsi(L"张V0"),
                    cafe = qv::WideToAnsi(L"CaféV1");
  ASSERT_TRUE(bytes.find(zhang) != std::string::npos && bytes.find(cafe) != std::string::npos) << bytes;
  auto written = [&](const std::string& head, const std::string& zhangAs, const std::string& eAs) {
    std::string text = head + bytes;
    text.replace(text.find(zhang), zhang.size(), zhangAs + "V0");
    text.replace(text.find(cafe), cafe.size(), "Caf" + eAs + "V1");
    return text;
  };
  const struct { std::string text; bool imports; } files[] = {
      {written("", "&#x5F20;", "&#233;"), true},
      {written("<?xml version=\"1.0\" encoding=\"GBK\"?>\r\n", "&#24352;", "&#xE9;"), true},
      {written("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n", "&#x5f20;", "&#00233;"), true},
      {written("", "&#x1F600;", "&#233;"), false},
  };
  for (const auto& f : files) {
    SCOPED_TRACE(f.text);
    Sql(L"delete from ReportCenterTable");
    AddReport(L"留下");
    const std::vector<std::wstring> earlier = Table();
    const std::wstring file = temp.File(L"导入.xml");
    ASSERT_TRUE(testfiles::WriteBytes(file, f.text));
    Run(0, [&](UiDialogDriver& d, CReportCenterUIHandler& area) {
      Transfer(d, kImport, file,
               f.imports ? L"导入成功！" : L"含有系统代码页无法表示的字符（&#x1F600;），未能导入，报告列表未被改动。");
      if (!f.imports) {
        EXPECT_NE(std::wstring::npos, script.Boxes().back().text.find(file));
      }
      EXPECT_EQ(static_cast<int>(Table().size()), area.ReportList()->Grid().GetItemCount());
    });
    EXPECT_EQ(f.imports ? before : earlier, Table());
  }
}

// An export that does not reach the disk whole says so and leaves the file it was to
// replace as it was, with nothing of its own beside it.
TEST_F(ReportListFile, AnExportTheDiskCannotHoldSaysSoAndKeepsTheEarlierFile) {
  testenv::SmallDisk disk;
  ASSERT_TRUE(disk.Mounted());
  const std::wstring file = disk.File(L"报告列表.xml");
  AddReport(L"周报");
  Run(0, [&](UiDialogDriver& d, CReportCenterUIHandler&) { Transfer(d, kExport, file, L"导出成功！"); });
  const std::string earlier = testfiles::ReadBytes(file);
  ASSERT_NE(std::string::npos, earlier.find("ReportName="));
  for (int i = 0; i < 400; ++i) AddReport(std::to_wstring(i).c_str(), std::wstring(200, L'详').c_str());
  ASSERT_TRUE(disk.LeaveRoom(16 * 1024));
  Run(0, [&](UiDialogDriver& d, CReportCenterUIHandler&) {
    Transfer(d, kExport, file, L"写入文件“");
    const std::wstring box = script.Boxes().back().text;
    EXPECT_NE(std::wstring::npos, box.find(file)) << qv::WideToUtf8(box);
    EXPECT_NE(std::wstring::npos, box.find(L"未能导出，原有的文件未被改动。")) << qv::WideToUtf8(box);
  });
  EXPECT_EQ(earlier, testfiles::ReadBytes(file));
  EXPECT_EQ(std::vector<std::wstring>{L"报告列表.xml"}, testenv::SmallDisk::Names(disk.Path()));
}

// A file marked read-only is not replaced, as Windows would not replace it; the box
// names the file and the reason, and speaks of an earlier file only when there was one.
TEST_F(ReportListFile, AFailedExportNamesTheFileAndTheReason) {
  AddReport(L"周报");
  const std::wstring readOnly = temp.File(L"只读.xml"), missing = temp.File(L"没有\\报告列表.xml");
  ASSERT_TRUE(testfiles::WriteBytes(readOnly, "earlier"));
  ASSERT_TRUE(::SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
  const struct { std::wstring path; DWORD error; const wchar_t* tail; } rows[] = {
      {readOnly, ERROR_ACCESS_DENIED, L"未能导出，原有的文件未被改动。"},
      {missing, ERROR_PATH_NOT_FOUND, L"未能导出。"},
  };
  Run(0, [&](UiDialogDriver& d, CReportCenterUIHandler&) {
    for (const auto& row : rows) {
      SCOPED_TRACE(qv::WideToUtf8(row.path));
      Transfer(d, kExport, row.path, L"写入文件“");
      EXPECT_EQ(WriteFailureText(row.path, row.error) + L"\r\n" + row.tail, script.Boxes().back().text);
    }
  });
  EXPECT_EQ("earlier", testfiles::ReadBytes(readOnly));
  EXPECT_NE(0u, ::GetFileAttributesW(readOnly.c_str()) & FILE_ATTRIBUTE_READONLY);
  ::SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The file moves the table's columns by position: a table whose last two columns are
// named otherwise, or hold a creator's name and then the version, goes out and comes
// back, and the list still finds its version by name.
TEST_F(ReportListFile, AnyFiveColumnsInTheTablesOrderGoOutAndComeBack) {
  const struct {
    const wchar_t* table;
    const wchar_t* read;  // the test's own look at the rows
    const char *fourth, *fifth;
    const wchar_t *stored, *listedVersion;
  } tables[] = {
      {L"create table ReportCenterTable (ReportName NVARCHAR(260), StrategyName NVARCHAR(64), ProduceTime DATETIME, "
       L"StrategyVersion INT, Remark NTEXT)",
       L"select ReportName||'|'||ProduceTime||'|'||StrategyVersion||'|'||ifnull(Remark,'-') from ReportCenterTable",
       "3", "", L"weekly|2024-06-01 10:00:00|3|-", L"3"},
      {L"create table ReportCenterTable (ReportName NVARCHAR(260), StrategyName NVARCHAR(64), ProduceTime DATETIME, "
       L"CreaterName NVARCHAR(64), StrategyVersion INT)",
       L"select ReportName||'|'||ProduceTime||'|'||CreaterName||'|'||StrategyVersion from ReportCenterTable",
       "tamuk", "7", L"weekly|2024-06-01 10:00:00|tamuk|7", L"7"},
  };
  for (const auto& t : tables) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(t.stored)));
    Sql(L"drop table ReportCenterTable");
    Sql(t.table);
    const std::string file = std::string("<reports>\r\n    <report ReportName=\"weekly\" StrategyName=\"s\" "
                             "ProduceTime=\"2024-06-01 10:00:00\" CreaterName=\"") + t.fourth +
                             "\" DetailContent=\"" + t.fifth + "\" />\r\n</reports>\r\n";
    const std::wstring in = temp.File(L"in.xml"), out = temp.File(L"out.xml");
    ASSERT_TRUE(testfiles::WriteBytes(in, file));
    Run(0, [&](UiDialogDriver& d, CReportCenterUIHandler& area) {
      Transfer(d, kImport, in, L"导入成功！");
      SQLServerLink link;
      ASSERT_TRUE(link.Connect(qvtest::TestDatabase::Dsn(), L"", L""));
      SQLStatement* st = qvtest::Prepare(link, t.read);
      EXPECT_TRUE(st && st->Fetch());
      EXPECT_EQ(t.stored, qvtest::Str(st ? st->GetString(0) : nullptr));
      link.Disconnect();
      auto& grid = area.ReportList()->Grid();
      ASSERT_EQ(1, grid.GetItemCount());
      EXPECT_EQ(t.listedVersion, grid.GetItemText(0, CRCReportManagementUIHandler::kColumnVersion));
      Transfer(d, kExport, out, L"导出成功！");
    });
    EXPECT_EQ(file, testfiles::ReadBytes(out));
  }
}

}  // namespace
