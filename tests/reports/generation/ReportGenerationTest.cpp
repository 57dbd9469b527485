// Report generation against a real database and real folders: which log rows become
// entries, how values survive the data files, the template copy, and the output
// settings dialog and the progress dialog driven as a user drives them.
#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <fstream>
#include <sstream>

#include "console/LocalClock.h"
#include "console/SysServerPortConfig.h"
#include "controls/CUIResource.h"
#include "platform/TextConv.h"
#include "reports/CRCReportGenerateState.h"
#include "reports/CRCReportManageOutPutSetDlg.h"
#include "reports/ReportDataWriter.h"
#include "reports/ReportFolders.h"
#include "reports/ReportGenerator.h"
#include "reports/ReportSettings.h"
#include "support/ElementLoad.h"
#include "support/FakeShellServices.h"
#include "support/ModalScript.h"
#include "support/TestDatabase.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"

namespace {

using Dlg = CRCReportManageOutPutSetDlg;
const wchar_t kNow[] = L"2024-06-30 12:00:00";

std::string ReadBytes(const std::wstring& path) {
  std::ifstream in(qv::WideToAnsi(path), std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The text of the element's child, parsed from UTF-8.
std::wstring Child(const TiXmlElement* parent, const char* name) {
  const TiXmlElement* child = parent ? parent->FirstChildElement(name) : nullptr;
  return child && child->GetText() ? qv::Utf8ToWide(child->GetText()) : L"";
}

// A report's data file: its four header values, then its entries as "host|ip|style|content|time".
std::vector<std::wstring> ReadReport(const std::wstring& folder) {
  TiXmlBase::SetCondenseWhiteSpace(false);
  TiXmlDocument doc;
  doc.Parse(ReadBytes(ReportGenerator::XmlPath(folder)).c_str(), nullptr, TIXML_ENCODING_UTF8);
  const TiXmlElement* root = doc.RootElement();
  if (!root || root->ValueStr() != "StrategyReportInfo") return {L"(no report)"};
  std::vector<std::wstring> values;
  for (const char* name : {"ReportName", "Author", "CreateTime", "StrategyName"}) values.push_back(Child(root, name));
  for (const TiXmlElement* e = root->FirstChildElement("Logentry"); e; e = e->NextSiblingElement("Logentry"))
    values.push_back(Child(e, "HostName") + L"|" + Child(e, "IP") + L"|" + Child(e, "LogStyle") + L"|" +
                     Child(e, "LogContent") + L"|" + Child(e, "LogTime"));
  return values;
}

// Report.js read back as JavaScript reads its one string; "(bad)" when it is not that.
std::string JsString(const std::string& js) {
  const std::string begin = "var ReportXml = \"", end = "\";\r\n";
  if (js.compare(0, begin.size(), begin) || js.size() < begin.size() + end.size() ||
      js.compare(js.size() - end.size(), end.size(), end))
    return "(bad)";
  std::string out;
  for (size_t i = begin.size(); i < js.size() - end.size(); ++i) {
    const char c = js[i];
    if (c == '"' || c == '\'' || c == '\n' || c == '\r') return "(bad)";
    if (!js.compare(i, 2, "</") || !js.compare(i, 3, "\xE2\x80\xA8")) return "(bad)";
    if (c != '\\') {
      out += c;
      continue;
    }
    const char e = js[++i];
    if (e == 'n' || e == 'r') {
      out += e == 'n' ? '\n' : '\r';
    } else if (e == 'u') {
      out += js.substr(i + 1, 4) == "2028" ? "\xE2\x80\xA8" : "\xE2\x80\xA9";
      i += 4;
    } else {
      out += e;
    }
  }
  return out;
}

std::wstring MakeFolder(const std::wstring& path) {
  ::CreateDirectoryW(path.c_str(), nullptr);
  return path;
}

// A template as it is installed: a page and an empty data folder (or none).
std::wstring MakeTemplate(const std::wstring& parent, bool withData = true) {
  const std::wstring folder = MakeFolder(parent + L"\\ReportTemplate");
  testfiles::WriteBytes(folder + L"\\index.html", "<html></html>");
  if (withData) MakeFolder(folder + L"\\data");
  return folder;
}

class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::wstring& path) {
    ::GetCurrentDirectoryW(MAX_PATH, m_previous);
    ::SetCurrentDirectoryW(path.c_str());
  }
  ~CurrentDirectory() { ::SetCurrentDirectoryW(m_previous); }

 private:
  wchar_t m_previous[MAX_PATH];
};

// Two type-0 strategies with a target on the same host, their logs, and a report of
// version 1 of the first.
class ReportGeneration : public qvtest::ConnectedDatabaseTest {
 protected:
  void SetUp() override {
    ConnectedDatabaseTest::SetUp();
    wcscpy(g_dsnName, qvtest::TestDatabase::Dsn());
    for (const auto& c : {std::make_pair(L"甲", L"10.0.0.1"), std::make_pair(L"乙", L"10.0.0.2"),
                          std::make_pair(L"丙", L"10.0.0.3")})
      ASSERT_TRUE(qvtest::Exec(link, L"insert into Client (Name, IP) values (?, ?)", {c.first, c.second}));
    const struct { const wchar_t* name; int type; const wchar_t* ip; const wchar_t* id; } strategies[] = {
        {L"策略A", 0, L"10.0.0.1", L"S1"}, {L"策略A", 0, L"10.0.0.2", L"S1"},
        {L"策略B", 0, L"10.0.0.1", L"S2"}, {L"O'策略", 1, L"10.0.0.3", L"S3"}};
    for (const auto& s : strategies)
      ASSERT_TRUE(qvtest::Exec(link, L"insert into StrategyTable (StrategyName, StrategyType, Ip, id) values (?, ?, ?, ?)",
                               {s.name, s.type, s.ip, s.id}));
    const struct { const wchar_t* ip; const wchar_t* style; const wchar_t* time; const wchar_t* detail; const wchar_t* id; int version; } audits[] = {
        {L"10.0.0.1", L"文件修改", L"2024-03-01 08:00:00", L"大小变化", L"S1", 2},
        {L"10.0.0.2", L"文件删除", L"2024-03-02 08:00:00", L"", L"S1", 2},
        {L"10.0.0.1", L"文件新建", L"2024-01-01 08:00:00", L"旧", L"S1", 1},
        {L"10.0.0.1", L"文件修改", L"2024-03-01 09:00:00", L"别的策略", L"S2", 2},
        {L"10.0.0.3", L"注册表修改", L"2024-04-01 09:00:00", L"引号", L"S3", 0},
        {L"10.0.0.9", L"文件修改", L"2024-03-01 10:00:00", L"无主机", L"S1", 2}};
    for (const auto& a : audits)
      ASSERT_TRUE(qvtest::Exec(link, L"insert into AuditLog (LogHostIp, LogStyle, LogContent, LogTime, LogDetail, "
                                     L"Strategyid, StrategyVersion) values (?, ?, ?, ?, ?, ?, ?)",
                               {a.ip, a.style, L"C:\\a.txt", a.time, a.detail, a.id, a.version}));
    const struct { const wchar_t* ip; const wchar_t* time; const wchar_t* strategy; } hips[] = {
        {L"10.0.0.1", L"2024-01-15 00:00:00", L"策略A"}, {L"10.0.0.1", L"2024-03-05 00:00:00", L"策略A"},
        {L"10.0.0.1", L"2024-07-01 00:00:00", L"策略A"}, {L"10.0.0.1", L"2024-03-06 00:00:00", L"策略B"},
        {L"10.0.0.3", L"2024-04-02 00:00:00", L"O'策略"}};
    for (const auto& h : hips)
      ASSERT_TRUE(qvtest::Exec(link, L"insert into HIPSLog (LogHostIp, LogStyle, LogContent, LogTime, StrategyName) "
                                     L"values (?, '进程启动', 'x.exe', ?, ?)",
                               {h.ip, h.time, h.strategy}));
    ASSERT_TRUE(qvtest::Exec(link, L"insert into ReportCenterTable (ReportName, StrategyName, ProduceTime, "
                                   L"StrategyVersion) values ('一', '策略A', '2024-02-01 00:00:00', 1)"));
    link.Disconnect();
    elemload::LoadShippedLook();
    CUIResource::Init();
  }
  void TearDown() override {
    CUIResource::Uninit();
    g_reportBriefName = g_reportBriefAuthor = g_reportOutputFolder = L"", g_reportFormatIndex = -1;
  }

  testenv::TempDir temp;
  LocalClock::Fix clock{SYSTEMTIME{2024, 6, 0, 30, 12, 0, 0, 0}};
  ModalScript script;
};

TEST_F(ReportGeneration, AuditEntriesOfTheVersionThenHipsEntriesSinceTheReportBefore) {
  const std::wstring audit2a = L"甲|10.0.0.1|文件修改 -- 大小变化|C:\\a.txt|2024-03-01 08:00:00";
  const std::wstring audit2b = L"乙|10.0.0.2|文件删除 -- |C:\\a.txt|2024-03-02 08:00:00";
  const std::wstring hipsOld = L"甲|10.0.0.1|进程启动|x.exe|2024-01-15 00:00:00";
  const std::wstring hipsNew = L"甲|10.0.0.1|进程启动|x.exe|2024-03-05 00:00:00";
  const struct {
    const wchar_t* strategy;
    int version;
    std::vector<std::wstring> entries;
  } rows[] = {
      {L"策略A", 2, {audit2a, audit2b, hipsNew}},  // the report of version 1 bounds the HIPS entries
      {L"策略A", 3, {hipsOld, hipsNew}},           // no report of version 2: from the start
      {L"策略A", 1, {L"甲|10.0.0.1|文件新建 -- 旧|C:\\a.txt|2024-01-01 08:00:00", hipsOld, hipsNew}},
      {L"策略A", 0, {hipsOld, hipsNew}},
      {L"O'策略", 0, {L"丙|10.0.0.3|注册表修改 -- 引号|C:\\a.txt|2024-04-01 09:00:00"}},  // its host has no type-0 strategy
  };
  const std::wstring templateFolder = MakeTemplate(temp.Path());
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << qv::WideToUtf8(row.strategy) << " " << row.version);
    const std::wstring folder = temp.File(L"报告");
    ReportGenerator generator;
    ASSERT_EQ(ReportGenerator::kGenerated,
              generator.Generate(templateFolder, folder, {L"报告", L"作者", row.strategy, row.version}));
    std::vector<std::wstring> expected{L"报告", L"作者", kNow, row.strategy};
    expected.insert(expected.end(), row.entries.begin(), row.entries.end());
    EXPECT_EQ(expected, ReadReport(folder));
    EXPECT_EQ(static_cast<long long>(row.entries.size()), generator.Entries());
    EXPECT_EQ("<html></html>", ReadBytes(ReportGenerator::IndexPath(folder)));
  }
}

TEST_F(ReportGeneration, DataFileIsPrintedAsTheXmlLibraryPrintsIt) {
  ReportGenerator generator;
  const std::wstring folder = temp.File(L"r");
  ASSERT_EQ(ReportGenerator::kGenerated,
            generator.Generate(MakeTemplate(temp.Path()), folder, {L"r", L"a", L"O'策略", 0}));
  EXPECT_EQ(
      "<StrategyReportInfo>\r\n    <ReportName>r</ReportName>\r\n    <Author>a</Author>\r\n"
      "    <CreateTime>2024-06-30 12:00:00</CreateTime>\r\n    <StrategyName>O&apos;\xE7\xAD\x96\xE7\x95\xA5</StrategyName>\r\n"
      "    <Logentry>\r\n        <HostName>\xE4\xB8\x99</HostName>\r\n        <IP>10.0.0.3</IP>\r\n"
      "        <LogStyle>\xE6\xB3\xA8\xE5\x86\x8C\xE8\xA1\xA8\xE4\xBF\xAE\xE6\x94\xB9 -- \xE5\xBC\x95\xE5\x8F\xB7</LogStyle>\r\n"
      "        <LogContent>C:\\a.txt</LogContent>\r\n        <LogTime>2024-04-01 09:00:00</LogTime>\r\n"
      "    </Logentry>\r\n</StrategyReportInfo>\r\n",
      ReadBytes(ReportGenerator::XmlPath(folder)));
}

// Values that break a careless writer come back from both files as they went in, or
// as U+FFFD where XML cannot carry them.
TEST_F(ReportGeneration, HostileValuesComeBackFromBothFiles) {
  std::wstring chinese;
  while (chinese.size() < 267) chinese += L"完整性监测日志";  // 800 and more UTF-8 bytes
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
  for (const auto& row : rows)
    writer.AddAuditEntry(row.in.c_str(), row.in.c_str(), row.in.c_str(), row.in.c_str(), row.in.c_str(), row.in.c_str());
  ASSERT_TRUE(writer.Finish());
  const std::vector<std::wstring> values = ReadReport(folder);
  ASSERT_EQ(4 + std::size(rows), values.size());
  EXPECT_EQ(rows[0].out, values[0]);
  EXPECT_EQ(rows[3].out, values[1]);
  for (size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(i);
    const std::wstring& v = rows[i].out;
    EXPECT_EQ(v + L"|" + v + L"|" + v + L" -- " + v + L"|" + v + L"|" + v, values[4 + i]);
  }
  EXPECT_EQ(ReadBytes(ReportGenerator::XmlPath(folder)), JsString(ReadBytes(ReportGenerator::JsPath(folder))));
}

TEST_F(ReportGeneration, CopyFolderCopiesTreesOnceAndRefusesToFeedOnItself) {
  const std::wstring source = MakeFolder(temp.File(L"模板"));
  MakeFolder(source + L"\\a");
  MakeFolder(source + L"\\a\\b");
  testfiles::WriteBytes(source + L"\\top.txt", "1");
  testfiles::WriteBytes(source + L"\\a\\b\\deep.txt", "22");
  ::SetFileAttributesW((source + L"\\a\\b\\deep.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  std::wstring upper = source;
  ::CharUpperW(&upper[0]);
  const struct {
    std::wstring from, to;
    BOOL result;
    const wchar_t* made;  // a file there afterwards, or a folder that must not be
  } rows[] = {
      {source, temp.File(L"副本"), TRUE, L"副本\\a\\b\\deep.txt"},
      {source + L"\\", temp.File(L"副本\\"), TRUE, L"副本\\top.txt"},  // again, over read-only copies
      {source, upper + L"\\", TRUE, nullptr},
      {source + L"\\", temp.File(L"模板\\.\\a\\..\\"), TRUE, nullptr},
      {source, source + L"\\a\\新", FALSE, L"模板\\a\\新"},
      {temp.File(L"没有"), temp.File(L"另一个"), FALSE, L"另一个"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(qv::WideToUtf8(row.to));
    EXPECT_EQ(row.result, CopyFolder(row.from.c_str(), row.to.c_str()));
    if (!row.made) continue;
    const DWORD attributes = ::GetFileAttributesW(temp.File(row.made).c_str());
    EXPECT_EQ(row.result != FALSE, attributes != INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(0u, row.result ? attributes & FILE_ATTRIBUTE_READONLY : 0);
  }
  EXPECT_EQ("22", ReadBytes(temp.File(L"副本\\a\\b\\deep.txt")));
  EXPECT_FALSE(FolderExists(temp.File(L"模板\\模板").c_str()));
  ::SetFileAttributesW((source + L"\\a\\b\\deep.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ReportGeneration, DialogIsFilledFromTheSettingsAndAsksForWhatIsMissing) {
  g_reportBriefName = L"周报";
  g_reportBriefAuthor = L"张三";
  g_reportOutputFolder = L"D:\\报告\\";
  g_reportFormatIndex = 0;
  FakeShellServices shell;
  shell.Choose(ShellServices::kFolder, L"", true);
  script.ExpectDialog([&](UiDialogDriver& d) {
    EXPECT_EQ(L"周报", d.ControlText(Dlg::kNameEdit));
    EXPECT_EQ(L"张三", d.ControlText(Dlg::kAuthorEdit));
    EXPECT_EQ(L"HTML 格式", d.ControlText(Dlg::kFormatCombo));
    EXPECT_EQ(L"D:\\报告\\", d.ControlText(Dlg::kFolderEdit));
    script.ExpectBox(L"请选择存储路径");
    EXPECT_TRUE(d.Click(Dlg::kItemBrowse));  // confirmed without a path: nothing changes
    EXPECT_EQ(L"D:\\报告\\", d.ControlText(Dlg::kFolderEdit));
    for (UINT control : {Dlg::kNameEdit, Dlg::kAuthorEdit, Dlg::kFolderEdit}) ::SetWindowTextW(d.Control(control), L"");
    ::SendMessageW(d.Control(Dlg::kFormatCombo), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    for (const wchar_t* box : {L"请输入简报名称", L"请输入简报作者", L"请选择简报格式", L"请选择简报存储路径"})
      script.ExpectBox(box);
    EXPECT_TRUE(d.Click(Dlg::kItemGenerate));
    d.Type(Dlg::kNameEdit, L"名");
    EXPECT_TRUE(d.Click(Dlg::kItemGenerate));
    d.Type(Dlg::kAuthorEdit, L"人");
    EXPECT_TRUE(d.Click(Dlg::kItemGenerate));
    ::SendMessageW(d.Control(Dlg::kFormatCombo), CB_SETCURSEL, 0, 0);
    EXPECT_TRUE(d.Click(Dlg::kItemGenerate));
    EXPECT_TRUE(d.Click(Dlg::kItemBack));
  });
  Dlg dlg(1, L"策略A");
  EXPECT_EQ(Dlg::kLeft, dlg.DoModal());
  EXPECT_EQ(L"请选择存储路径", script.Boxes().at(0).text);
  for (const auto& box : script.Boxes()) EXPECT_EQ(L"提示", box.caption);
  EXPECT_EQ(L"周报", g_reportBriefName);  // nothing stored by refused runs
}

TEST_F(ReportGeneration, DialogGeneratesOpensTheReportAndStoresTheSettings) {
  const std::wstring output = MakeFolder(temp.File(L"输出"));
  CurrentDirectory here(MakeFolder(temp.File(L"当前")));
  const wchar_t kBadName[] = L"简报名称不能用作文件夹名称";
  const struct {
    const wchar_t* name;
    bool withTemplate, withData;
    const wchar_t* box;  // the refusal or failure told, or none
    const wchar_t* caption;
  } rows[] = {
      {L"简报", false, false, L"找不到报告模板文件夹", L"错误"}, {L"简报", true, false, L"写入报告数据文件", L"错误"},
      {L"a/b", true, true, kBadName, L"提示"}, {L"..", true, true, kBadName, L"提示"},
      {L"a:b", true, true, kBadName, L"提示"}, {L"a|b", true, true, kBadName, L"提示"},
      {L"O'简报", true, true, nullptr, nullptr},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(qv::WideToUtf8(row.name));
    if (row.withTemplate) MakeTemplate(temp.File(L"当前"), row.withData);
    FakeShellServices shell;
    shell.Choose(ShellServices::kFolder, output);
    script.ExpectDialog([&](UiDialogDriver& d) {
      d.Type(Dlg::kNameEdit, row.name);
      d.Type(Dlg::kAuthorEdit, L"李四");
      ::SendMessageW(d.Control(Dlg::kFormatCombo), CB_SETCURSEL, 0, 0);
      EXPECT_TRUE(d.Click(Dlg::kItemBrowse));
      EXPECT_EQ(output + L"\\", d.ControlText(Dlg::kFolderEdit));
      if (row.box) script.ExpectBox(row.box);
      EXPECT_TRUE(d.Click(Dlg::kItemGenerate));
      if (row.box) d.Click(Dlg::kItemExit);
    });
    Dlg dlg(2, L"策略A");
    EXPECT_EQ(row.box ? Dlg::kLeft : Dlg::kGenerated, dlg.DoModal());
    if (row.box) {
      EXPECT_EQ(row.caption, script.Boxes().back().caption);
      continue;
    }
    const std::wstring folder = output + L"\\O'简报";
    ASSERT_EQ(2u, shell.Calls().size());
    EXPECT_EQ(ShellServices::kOpenPath, shell.Calls()[1].kind);
    EXPECT_EQ(folder + L"\\index.html", shell.Calls()[1].path);
    EXPECT_EQ(7u, ReadReport(folder).size());  // the header and three entries
    EXPECT_EQ(L"O'简报", g_reportBriefName);
    EXPECT_EQ(L"李四", g_reportBriefAuthor);
    EXPECT_EQ(output + L"\\", g_reportOutputFolder);
    EXPECT_EQ(0, g_reportFormatIndex);
  }
}

TEST_F(ReportGeneration, ProgressDialogTellsTheStagesAndHowTheGenerationEnded) {
  const struct { BOOL failed; const wchar_t* text; } rows[] = {
      {FALSE, L"正在生成 周报...\r\n简报生成成功......\r\n正在存储简报......\r\n简报存储成功......\r\n"
              L"简报生成完毕,请关闭对话框以便继续......\r\n"},
      {TRUE, L"正在生成 周报...\r\n简报生成成功......\r\n正在存储简报......\r\n简报生成失败......\r\n"
             L"简报生成失败,请关闭对话框以便退出......\r\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.failed);
    script.ExpectDialog([&](UiDialogDriver& d) {
      HWND log = d.As<CRCReportGenerateState>()->LogBox();
      wchar_t text[512] = L"";
      ::GetWindowTextW(log, text, 512);
      EXPECT_STREQ(row.text, text);
      const int line3 = static_cast<int>(::SendMessageW(log, EM_LINEINDEX, 3, 0));
      const int line4 = static_cast<int>(::SendMessageW(log, EM_LINEINDEX, 4, 0));
      for (const auto& run : {std::make_pair(0, false), std::make_pair(6, true), std::make_pair(8, false),
                              std::make_pair(line3, row.failed != FALSE), std::make_pair(line4, row.failed != FALSE)}) {
        CHARRANGE range{run.first, run.first + 1};
        ::SendMessageW(log, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        CHARFORMAT2W format{};
        format.cbSize = sizeof format;
        ::SendMessageW(log, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        EXPECT_EQ(run.second ? 0x0000FFu : 0u, format.crTextColor) << run.first;
      }
      EXPECT_TRUE(d.Click(CRCReportGenerateState::kItemClose));
    });
    CRCReportGenerateState dlg(L"周报", row.failed);
    EXPECT_EQ(1u, dlg.DoModal());
  }
}

}  // namespace
