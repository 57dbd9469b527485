// Report generation against a real database and real folders: which log rows become
// entries, how values survive the data files, the template copy, and the output
// settings and progress dialogs driven as a user drives them.
#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>
#include <tinyxml.h>


#include "console/LocalClock.h"
#include "console/SysServerPortConfig.h"
#include "controls/CUIResource.h"
#include "platform/TextConv.h"
#include "reports/CRCReportGenerateState.h"
#include "reports/ReportDataWriter.h"
#include "reports/ReportFolders.h"
#include "reports/ReportGenerator.h"
#include "support/ElementLoad.h"
#include "support/ModalScript.h"
#include "support/SmallDisk.h"
#include "support/TestDatabase.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"

namespace {

std::wstring Child(const TiXmlElement* parent, const char* name) {
  const TiXmlElement* child = parent->FirstChildElement(name);
  return child && child->GetText() ? qv::Utf8ToWide(child->GetText()) : L"";
}

// Report.xml parsed as UTF-8: the four header values, then the entries as "host|ip|style|content|time".
std::vector<std::wstring> ReadReport(const std::wstring& folder) {
  TiXmlBase::SetCondenseWhiteSpace(false);
  TiXmlDocument doc;
  doc.Parse(testfiles::ReadBytes(ReportGenerator::XmlPath(folder)).c_str(), nullptr, TIXML_ENCODING_UTF8);
  const TiXmlElement* root = doc.RootElement();
  if (!root || root->ValueStr() != "StrategyReportInfo") return {L"(no report)"};
  std::vector<std::wstring> values;
  for (const char* name : {"ReportName", "Author", "CreateTime", "StrategyName"}) values.push_back(Child(root, name));
  for (const TiXmlElement* e = root->FirstChildElement("Logentry"); e; e = e->NextSiblingElement("Logentry"))
    values.push_back(Child(e, "HostName") + L"|" + Child(e, "IP") + L"|" + Child(e, "LogStyle") + L"|" +
                     Child(e, "LogContent") + L"|" + Child(e, "LogTime"));
  return values;
}

// Report.js's one string as JavaScript reads it; "(bad)" for what would break the script.
std::string JsString(const std::string& js) {
  const std::string begin = "var ReportXml = \"", end = "\";\r\n";
  if (js.find(begin) || js.size() < begin.size() + end.size() || js.compare(js.size() - end.size(), 4, end))
    return "(bad)";
  std::string out;
  for (size_t i = begin.size(); i < js.size() - end.size(); ++i) {
    if (strchr("\"'\r\n", js[i]) || !js.compare(i, 2, "</") || !js.compare(i, 3, "\xE2\x80\xA8")) return "(bad)";
    if (js[i] != '\\') {
      out += js[i];
    } else if (js[++i] == 'u') {
      out += js.substr(i + 1, 4) == "2028" ? "\xE2\x80\xA8" : "\xE2\x80\xA9";
      i += 4;
    } else {
      out += js[i] == 'n' ? '\n' : js[i] == 'r' ? '\r' : js[i];
    }
  }
  return out;
}

std::wstring MakeFolder(const std::wstring& path) {
  ::CreateDirectoryW(path.c_str(), nullptr);
  return path;
}

// A template as installed: a page and an empty data folder.
std::wstring MakeTemplate(const std::wstring& parent) {
  const std::wstring folder = MakeFolder(parent + L"\\ReportTemplate");
  testfiles::WriteBytes(folder + L"\\index.html", "<html></html>");
  MakeFolder(folder + L"\\data");
  return folder;
}

// Hosts, two type-0 strategies with targets on one host and one of another type, their
// logs, and a report of version 1 of the first.
class ReportGeneration : public qvtest::ConnectedDatabaseTest {
 protected:
  void SetUp() override {
    ConnectedDatabaseTest::SetUp();
    wcscpy(g_dsnName, qvtest::TestDatabase::Dsn());
    const wchar_t* statements[] = {
        L"insert into Client (Name, IP) values ('甲', '10.0.0.1'), ('乙', '10.0.0.2'), ('丙', '10.0.0.3')",
        L"insert into StrategyTable (StrategyName, StrategyType, Ip, id) values ('策略A', 0, '10.0.0.1', 'S1'), "
        L"('策略A', 0, '10.0.0.2', 'S1'), ('策略B', 0, '10.0.0.1', 'S2'), ('O''策略', 1, '10.0.0.3', 'S3')",
        L"insert into AuditLog (LogHostIp, LogStyle, LogTime, LogDetail, Strategyid, StrategyVersion) values "
        L"('10.0.0.1', '文件修改', '2024-03-01 08:00:00', '大小变化', 'S1', 2), ('10.0.0.2', '文件删除', '2024-03-02 08:00:00', '', 'S1', 2), "
        L"('10.0.0.1', '文件新建', '2024-01-01 08:00:00', '旧', 'S1', 1), ('10.0.0.1', '文件修改', '2024-03-01 09:00:00', '别', 'S2', 2), "
        L"('10.0.0.3', '注册表修改', '2024-04-01 09:00:00', '引号', 'S3', 0), ('10.0.0.9', '文件修改', '2024-03-01', '无主机', 'S1', 2)",
        L"insert into HIPSLog (LogHostIp, LogTime, StrategyName) values ('10.0.0.1', '2024-01-15 00:00:00', '策略A'), "
        L"('10.0.0.1', '2024-03-05 00:00:00', '策略A'), ('10.0.0.1', '2024-07-01 00:00:00', '策略A'), "
        L"('10.0.0.1', '2024-03-06 00:00:00', '策略B'), ('10.0.0.3', '2024-04-02 00:00:00', 'O''策略')",
        L"update AuditLog set LogContent = 'C:\\a.txt'", L"update HIPSLog set LogStyle = '进程启动', LogContent = 'x.exe'",
        L"insert into ReportCenterTable (ReportName, StrategyName, ProduceTime, StrategyVersion) "
        L"values ('一', '策略A', '2024-02-01 00:00:00', 1)"};
    for (const wchar_t* sql : statements) ASSERT_TRUE(qvtest::Exec(link, sql)) << link.GetLastErrorText();
    link.Disconnect();
    elemload::LoadShippedLook();
    CUIResource::Init();
  }
  void TearDown() override { CUIResource::Uninit(); }

  testenv::TempDir temp;
  LocalClock::Fix clock{SYSTEMTIME{2024, 6, 0, 30, 12, 0, 0, 0}};
  ModalScript script;
};

TEST_F(ReportGeneration, AuditEntriesOfTheVersionThenHipsEntriesSinceTheReportBefore) {
  const std::wstring audit2a = L"甲|10.0.0.1|文件修改 -- 大小变化|C:\\a.txt|2024-03-01 08:00:00";
  const std::wstring audit2b = L"乙|10.0.0.2|文件删除 -- |C:\\a.txt|2024-03-02 08:00:00";
  const std::wstring hipsOld = L"甲|10.0.0.1|进程启动|x.exe|2024-01-15 00:00:00";
  const std::wstring hipsNew = L"甲|10.0.0.1|进程启动|x.exe|2024-03-05 00:00:00";
  const struct { const wchar_t* strategy; int version; std::vector<std::wstring> entries; } rows[] = {
      {L"策略A", 2, {audit2a, audit2b, hipsNew}},  // the report of version 1 bounds the HIPS entries
      {L"策略A", 3, {hipsOld, hipsNew}},           // no report of version 2: from the start
      {L"策略A", 1, {L"甲|10.0.0.1|文件新建 -- 旧|C:\\a.txt|2024-01-01 08:00:00", hipsOld, hipsNew}},
      {L"策略A", 0, {hipsOld, hipsNew}},
      {L"O'策略", 0, {L"丙|10.0.0.3|注册表修改 -- 引号|C:\\a.txt|2024-04-01 09:00:00"}},  // no type-0 target
  };
  const std::wstring templateFolder = MakeTemplate(temp.Path()), folder = temp.File(L"报告");
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << qv::WideToUtf8(row.strategy) << " " << row.version);
    ReportGenerator generator;
    ASSERT_EQ(ReportGenerator::kGenerated,
              generator.Generate(templateFolder, folder, {L"报告", L"作者", row.strategy, row.version}));
    std::vector<std::wstring> expected{L"报告", L"作者", L"2024-06-30 12:00:00", row.strategy};
    expected.insert(expected.end(), row.entries.begin(), row.entries.end());
    EXPECT_EQ(expected, ReadReport(folder));
    EXPECT_EQ(static_cast<long long>(row.entries.size()), generator.Entries());
  }
  // Laid out as the XML library prints: one element a line, four blanks a level.
  const std::string xml = testfiles::ReadBytes(ReportGenerator::XmlPath(folder));
  EXPECT_EQ(0u, xml.find("<StrategyReportInfo>\r\n    <ReportName>\xE6\x8A\xA5\xE5\x91\x8A</ReportName>\r\n"));
  const std::string end = "        <LogTime>2024-04-01 09:00:00</LogTime>\r\n    </Logentry>\r\n</StrategyReportInfo>\r\n";
  EXPECT_EQ(xml.size() - end.size(), xml.find(end));
}

// Values that break a careless writer come back from both files as they went in, or
// as U+FFFD where XML cannot carry them.
TEST_F(ReportGeneration, HostileValuesComeBackFromBothFiles) {
  std::wstring chinese;
  while (chinese.size() < 267) chinese += L"完整性监测日志";  // over 800 UTF-8 bytes
  const struct { std::wstring in, out; } rows[] = {
      {L"& < > \" '", L"& < > \" '"},
      {L"&#x41;&amp;", L"&#x41;&amp;"},
      {L"a\x01" L"b\x1F" L"c\x7F", L"a\xFFFD" L"b\xFFFD" L"c\xFFFD"},
      {L"x\xD800y\xDC00z\xD800", L"x\xFFFDy\xFFFDz\xFFFD"},
      {L"\xD840\xDC0B 😀", L"\xD840\xDC0B 😀"},
      {L"一\r\n二\n三\r\t四", L"一\r\n二\n三\r\t四"},
      {L"</script><!-- \\ \x2028\x2029", L"</script><!-- \\ \x2028\x2029"},
      {chinese, chinese},
  };
  ReportDataWriter writer;
  const std::wstring folder = MakeFolder(temp.File(L"r"));
  MakeFolder(folder + L"\\data");
  ASSERT_TRUE(writer.Open(ReportGenerator::XmlPath(folder), ReportGenerator::JsPath(folder), rows[0].in.c_str(),
                          rows[3].in.c_str(), L"", nullptr));
  for (const auto& row : rows) {
    const wchar_t* v = row.in.c_str();
    writer.AddAuditEntry(v, v, v, v, v, v);
  }
  ASSERT_TRUE(writer.Finish());
  const std::vector<std::wstring> values = ReadReport(folder);
  ASSERT_EQ(4 + std::size(rows), values.size());
  EXPECT_EQ(rows[0].out + L"|" + rows[3].out, values[0] + L"|" + values[1]);
  for (size_t i = 0; i < std::size(rows); ++i) {
    const std::wstring& v = rows[i].out;
    EXPECT_EQ(v + L"|" + v + L"|" + v + L" -- " + v + L"|" + v + L"|" + v, values[4 + i]) << i;
  }
  EXPECT_EQ(testfiles::ReadBytes(ReportGenerator::XmlPath(folder)), JsString(testfiles::ReadBytes(ReportGenerator::JsPath(folder))));
}

// A report is made beside its place and takes it only when whole: a generation the
// disk cannot hold leaves an earlier report of the name as it was and nothing of its
// own; the next one that fits replaces it, keeping what the user put beside its files.
TEST_F(ReportGeneration, AGenerationTheDiskCannotHoldLeavesTheEarlierReportAndNothingHalfMade) {
  testenv::SmallDisk disk;
  ASSERT_TRUE(disk.Mounted());
  const std::wstring templateFolder = MakeTemplate(temp.Path()), folder = disk.File(L"报告");
  const ReportGenerator::Report report{L"报告", L"作者", L"策略A", 2};
  ReportGenerator generator;
  ASSERT_EQ(ReportGenerator::kGenerated, generator.Generate(templateFolder, folder, report));
  ASSERT_TRUE(testfiles::WriteBytes(folder + L"\\笔记.txt", "mine"));
  auto files = [&] {
    return testfiles::ReadBytes(ReportGenerator::XmlPath(folder)) + "|" + testfiles::ReadBytes(ReportGenerator::JsPath(folder)) +
           "|" + testfiles::ReadBytes(ReportGenerator::IndexPath(folder));
  };
  const std::string earlier = files();
  {
    SQLServerLink more;
    ASSERT_TRUE(more.Connect(qvtest::TestDatabase::Dsn(), L"", L""));
    ASSERT_TRUE(qvtest::Exec(more, L"insert into AuditLog (LogHostIp, LogStyle, LogTime, LogDetail, LogContent, Strategyid, "
                                   L"StrategyVersion) with recursive n(i) as (select 1 union all select i + 1 from n "
                                   L"where i < 300) select '10.0.0.1', '文件修改', '2024-03-01 08:00:00', '', "
                                   L"replace(hex(zeroblob(200)), '0', '长'), 'S1', 2 from n"));
  }
  const struct { const wchar_t* name; DWORD room; ReportGenerator::Result result; } rows[] = {
      {L"报告", 16 * 1024, ReportGenerator::kWriteFailed},
      {L"新报告", 16 * 1024, ReportGenerator::kWriteFailed},
      {L"报告", 1024 * 1024, ReportGenerator::kGenerated},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(qv::WideToUtf8(row.name));
    ASSERT_TRUE(disk.LeaveRoom(row.room));
    const std::wstring into = disk.File(row.name);
    EXPECT_EQ(row.result, generator.Generate(templateFolder, into, {row.name, L"作者", L"策略A", 2}));
    EXPECT_EQ(std::vector<std::wstring>{L"报告"}, testenv::SmallDisk::Names(disk.Path()));
    EXPECT_EQ((std::vector<std::wstring>{L"data", L"index.html", L"笔记.txt"}), testenv::SmallDisk::Names(folder));
    EXPECT_EQ((std::vector<std::wstring>{L"Report.js", L"Report.xml"}), testenv::SmallDisk::Names(folder + L"\\data"));
    if (row.result == ReportGenerator::kGenerated) break;
    EXPECT_EQ(DWORD(ERROR_DISK_FULL), generator.Error());
    EXPECT_EQ(0u, generator.FailedPath().find(into + L"\\data\\Report.")) << qv::WideToUtf8(generator.FailedPath());
    EXPECT_EQ(earlier, files());
  }
  EXPECT_EQ(303u, ReadReport(folder).size() - 4);  // two audit entries and a HIPS one before, 300 more
  EXPECT_EQ("mine", testfiles::ReadBytes(folder + L"\\笔记.txt"));
}

// "path:reason ..." of the entries that stayed, in their order.
std::wstring Named(const std::vector<StayedEntry>& entries) {
  std::wstring text;
  for (const StayedEntry& entry : entries)
    text += (text.empty() ? L"" : L" ") + entry.path + L":" + std::to_wstring(entry.error);
  return text;
}

// A regeneration moves every entry the user put into the earlier report over into the
// new one, past one that cannot move (a file another program holds without letting it
// be deleted) and past one the new report holds under its name as the other kind (a
// folder in place of its style sheet, a file in place of its picture folder): those
// stay whole in a folder beside, which the caller is told with their names. The earlier
// report's own files go; a copy of one that another program holds stays there too,
// but is none of the user's.
TEST_F(ReportGeneration, ARegenerationMovesEveryEntryThatCanMoveAndNamesWhereTheRestStayed) {
  using testenv::SmallDisk;
  const std::wstring templateFolder = MakeTemplate(temp.Path()), parent = MakeFolder(temp.File(L"输出"));
  ASSERT_TRUE(testfiles::WriteBytes(templateFolder + L"\\report.css", "css"));
  ASSERT_TRUE(testfiles::WriteBytes(MakeFolder(templateFolder + L"\\img") + L"\\logo.png", "png"));
  const std::wstring folder = parent + L"\\rep1";
  const ReportGenerator::Report report{L"rep1", L"作者", L"策略A", 2};
  ReportGenerator generator;
  ASSERT_EQ(ReportGenerator::kGenerated, generator.Generate(templateFolder, folder, report));
  EXPECT_EQ(L"", generator.LeftIn());
  MakeFolder(folder + L"\\我的");
  for (const wchar_t* file : {L"\\a.txt", L"\\开着的.txt", L"\\z.txt", L"\\我的\\b.txt", L"\\data\\mine.txt"})
    ASSERT_TRUE(testfiles::WriteBytes(folder + file, "mine"));
  ASSERT_TRUE(::DeleteFileW((folder + L"\\report.css").c_str()) && RemoveFolder((folder + L"\\img").c_str()));
  ASSERT_TRUE(testfiles::WriteBytes(MakeFolder(folder + L"\\report.css") + L"\\important.txt", "important"));
  ASSERT_TRUE(testfiles::WriteBytes(folder + L"\\img", "mine"));
  auto hold = [&](const wchar_t* name) {
    return ::CreateFileW((folder + name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  };
  HANDLE open = hold(L"\\开着的.txt"), page = hold(L"\\index.html");
  ASSERT_NE(INVALID_HANDLE_VALUE, open);
  ASSERT_NE(INVALID_HANDLE_VALUE, page);
  EXPECT_EQ(ReportGenerator::kGenerated, generator.Generate(templateFolder, folder, report));
  ::CloseHandle(open);
  ::CloseHandle(page);
  EXPECT_EQ((std::vector<std::wstring>{L"a.txt", L"data", L"img", L"index.html", L"report.css", L"z.txt", L"我的"}),
            SmallDisk::Names(folder));
  EXPECT_EQ((std::vector<std::wstring>{L"Report.js", L"Report.xml", L"mine.txt"}), SmallDisk::Names(folder + L"\\data"));
  EXPECT_EQ("mine", testfiles::ReadBytes(folder + L"\\我的\\b.txt"));
  EXPECT_EQ("css|png", testfiles::ReadBytes(folder + L"\\report.css") + "|" + testfiles::ReadBytes(folder + L"\\img\\logo.png"));
  const std::vector<std::wstring> beside = SmallDisk::Names(parent);
  ASSERT_EQ(2u, beside.size());
  const std::wstring left = generator.LeftIn();
  EXPECT_EQ(parent + L"\\" + beside[beside[0] == L"rep1"], left);
  EXPECT_EQ((std::vector<std::wstring>{L"img", L"index.html", L"report.css", L"开着的.txt"}), SmallDisk::Names(left));
  EXPECT_EQ("important|mine|mine", testfiles::ReadBytes(left + L"\\report.css\\important.txt") + "|" +
                                       testfiles::ReadBytes(left + L"\\img") + "|" + testfiles::ReadBytes(left + L"\\开着的.txt"));
  // Named in order, each with its own reason; the report's own page apart.
  EXPECT_EQ(L"img:183 report.css:183 开着的.txt:32", Named(generator.Left()));
  EXPECT_EQ(L"index.html:32", Named(generator.Undeleted()));

  // Only a held copy of the report's own page stays behind: the folder it is in is
  // named, nothing of the user's is.
  ASSERT_TRUE(RemoveFolder(left.c_str()));
  page = hold(L"\\index.html");
  EXPECT_EQ(ReportGenerator::kGenerated, generator.Generate(templateFolder, folder, report));
  ::CloseHandle(page);
  const std::vector<std::wstring> after = SmallDisk::Names(parent);
  ASSERT_EQ(2u, after.size());
  EXPECT_EQ(parent + L"\\" + after[after[0] == L"rep1"], generator.LeftIn());
  EXPECT_EQ(L"", Named(generator.Left()));
  EXPECT_EQ(L"index.html:32", Named(generator.Undeleted()));
  // Once nothing holds it, the next regeneration leaves nothing beside.
  ASSERT_TRUE(RemoveFolder(generator.LeftIn().c_str()));
  EXPECT_EQ(ReportGenerator::kGenerated, generator.Generate(templateFolder, folder, report));
  EXPECT_EQ(L"", generator.LeftIn());
  EXPECT_EQ(std::vector<std::wstring>{L"rep1"}, SmallDisk::Names(parent));
}

// The folder a report is made in cannot be made: the reason told is the system's for
// that, not one of a clean-up after it.
TEST_F(ReportGeneration, AReportFolderThatCannotBeMadeTellsTheSystemsReason) {
  testenv::SmallDisk disk;
  ASSERT_TRUE(disk.Mounted());
  const std::wstring templateFolder = MakeTemplate(temp.Path()), closed = MakeFolder(disk.File(L"只读"));
  ASSERT_TRUE(disk.Freeze(closed, true));
  ReportGenerator generator;
  EXPECT_EQ(ReportGenerator::kCopyFailed,
            generator.Generate(templateFolder, closed + L"\\报告", {L"报告", L"作者", L"策略A", 2}));
  EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED), generator.Error());
  EXPECT_TRUE(MakeFolderBeside(closed + L"\\报告").empty());
  EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED), ::GetLastError());
  EXPECT_TRUE(disk.Freeze(closed, false));
  EXPECT_EQ(std::vector<std::wstring>{}, testenv::SmallDisk::Names(closed));
}

TEST_F(ReportGeneration, CopyFolderCopiesTreesOnceAndRefusesToFeedOnItself) {
  const std::wstring source = MakeFolder(temp.File(L"模板")), deep = source + L"\\a\\b\\deep.txt";
  MakeFolder(MakeFolder(source + L"\\a") + L"\\b");
  testfiles::WriteBytes(source + L"\\top.txt", "1");
  testfiles::WriteBytes(deep, "22");
  ::SetFileAttributesW(deep.c_str(), FILE_ATTRIBUTE_READONLY);
  std::wstring upper = source;
  ::CharUpperW(&upper[0]);
  const struct { std::wstring from, to; BOOL result; const wchar_t* made; } rows[] = {
      {source, temp.File(L"副本"), TRUE, L"副本\\a\\b\\deep.txt"},
      {source + L"\\", temp.File(L"副本\\"), TRUE, L"副本\\a\\b\\deep.txt"},  // again, over the copies
      {source, upper + L"\\", TRUE, nullptr},
      {source + L"\\", temp.File(L"模板\\.\\a\\..\\"), TRUE, nullptr},
      {source, source + L"\\a\\新", FALSE, L"模板\\a\\新"},
      {temp.File(L"没有"), temp.File(L"另一个"), FALSE, L"另一个"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(qv::WideToUtf8(row.to));
    EXPECT_EQ(row.result, CopyFolder(row.from.c_str(), row.to.c_str()));
    const DWORD attributes = row.made ? ::GetFileAttributesW(temp.File(row.made).c_str()) : 0;
    EXPECT_EQ(row.result ? 0u : INVALID_FILE_ATTRIBUTES, attributes & (row.result ? FILE_ATTRIBUTE_READONLY : ~0u));
  }
  EXPECT_EQ("22", testfiles::ReadBytes(temp.File(L"副本\\a\\b\\deep.txt")));
  EXPECT_FALSE(FolderExists(temp.File(L"模板\\模板").c_str()));
  ::SetFileAttributesW(deep.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ReportGeneration, ProgressDialogTellsTheStagesAndHowTheGenerationEnded) {
  const std::wstring stages = L"正在生成 周报...\r\n简报生成成功......\r\n正在存储简报......\r\n";
  for (BOOL failed : {FALSE, TRUE}) {
    script.ExpectDialog([&](UiDialogDriver& d) {
      HWND log = d.As<CRCReportGenerateState>()->LogBox();
      wchar_t text[512] = L"";
      ::GetWindowTextW(log, text, 512);
      EXPECT_EQ(stages + (failed ? L"简报生成失败......\r\n简报生成失败,请关闭对话框以便退出......\r\n"
                                 : L"简报存储成功......\r\n简报生成完毕,请关闭对话框以便继续......\r\n"),
                text);
      auto colour = [log](LRESULT at) {  // of the character there
        CHARRANGE range{static_cast<LONG>(at), static_cast<LONG>(at + 1)};
        CHARFORMAT2W format{};
        format.cbSize = sizeof format;
        ::SendMessageW(log, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        ::SendMessageW(log, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        return format.crTextColor;
      };
      EXPECT_EQ(0x0000FFu, colour(5));  // the name
      EXPECT_EQ(failed ? 0x0000FFu : 0u, colour(::SendMessageW(log, EM_LINEINDEX, 4, 0)));
      EXPECT_TRUE(d.Click(CRCReportGenerateState::kItemClose));
    });
    CRCReportGenerateState dlg(L"周报", failed);
    EXPECT_EQ(1u, dlg.DoModal());
  }
}

}  // namespace
