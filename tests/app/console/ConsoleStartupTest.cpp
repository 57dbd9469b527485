// The console's whole run in-process: the single-instance claim, the settings file, the
// data source added before the login and removed on every way out, the login and the
// main window as the real dialogs, and the exit code.
#include <gtest/gtest.h>

#include "app/CMainDlg.h"
#include "app/ConsoleStartup.h"
#include "console/CLoginDlg.h"
#include "console/OdbcInstaller.h"
#include "console/SingleInstance.h"
#include "console/SysServerPortConfig.h"
#include "platform/CAppModule.h"
#include "platform/TextConv.h"
#include "support/LoopbackPeer.h"
#include "support/ModalScript.h"
#include "support/TestDatabase.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"

namespace {

// Takes the data-source requests instead of the system's installer; NULs shown as "|".
class RecordingInstaller : public OdbcInstaller {
 public:
  BOOL ConfigDataSource(WORD request, LPCWSTR driver, const std::wstring& attributes) override {
    calls.push_back(std::to_wstring(request) + L" " + driver + L" " + attributes);
    for (auto& c : calls.back()) c = c ? c : L'|';
    return FALSE;  // as under Wine: the console goes on regardless
  }
  std::vector<std::wstring> calls;

 private:
  Scope scope_{*this};
};

class ConsoleRun : public qvtest::DatabaseTest {
 protected:
  void TearDown() override {
    g_module.Init(::GetModuleHandleW(nullptr));  // the run terminated it
    g_sharedInstanceFlag = 0;
  }
  std::string File(const std::string& name, const std::string& xml) {
    const std::wstring path = dir.File(qv::Utf8ToWide(name));
    EXPECT_TRUE(xml.empty() || testfiles::WriteBytes(path, xml));
    return qv::WideToAnsi(path);
  }
  testenv::TempDir dir;
  testenv::LoopbackPeer silent;  // the link's peer, never answering
  RecordingInstaller installer;
  ModalScript script;
};

TEST_F(ConsoleRun, SettingsAreTakenByTheirExactNamesFromTheFirstPortElement) {
  const std::string v259(259, 'x'), port = "<config><port ", refused = "配置文件SysServerPort.xml中";
  const char kBadUrl[] = "UpdateUrl须是以http://或https://开头、以“/”结尾的地址，数据库连接设置未读入。";
  const struct {
    std::string xml;
    int result;
    std::wstring values;  // DSN|Database|Description|IP|SqlName|SqlPass
    std::string refusal;
  } rows[] = {
      {port + "DSN='q' Database='db' Description='d' IP='h' SqlName='sa' SqlPass='p!'/></config>", 1, L"q|db|d|h|sa|p!", ""},
      {port + "dsn='q' Database='db' SQLNAME='sa' Server='s'/></config>", 1, L"|db||||", ""},
      {"<r><port DSN='a'/><port DSN='b'/></r>", 1, L"a|||||", ""},
      {"<r><a><port DSN='q'/></a></r>", 0, L"|||||", ""},
      {"<r><port DSN='q'></r>", 0, L"|||||", ""},
      {"", 0, L"|||||", ""},  // no file
      {port + "SqlPass='" + v259 + "'/></config>", 1, L"|||||" + std::wstring(259, L'x'), ""},
      {port + "DSN='q' SqlPass='" + v259 + "x'/></config>", 0, L"|||||",
       refused + "SqlPass的值过长（最多259个字符），数据库连接设置未读入。"},
      {port + "DSN='q' Description='a!b'/></config>", 0, L"|||||",
       refused + "Description的值不能包含“!”，数据库连接设置未读入。"},
      {"\xEF\xBB\xBF" + port + "Description='\xE7\x9B\x91\xE6\xB5\x8B'/></config>", 1, L"||监测|||", ""},
      {port + "Description='\xBC\xE0\xB2\xE2'/></config>", 1, L"||监测|||", ""},  // code page 936
      {port + "DSN='q' UpdateUrl='HTTPS://h/up/'/></config>", 1, L"q|||||", ""},
      {port + "DSN='q' UpdateUrl='ftp://h/'/></config>", 0, L"|||||", refused + kBadUrl},
      {port + "DSN='q' UpdateUrl='http://h/up'/></config>", 0, L"|||||", refused + kBadUrl},
  };
  for (size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
    std::wstring refusal = L"unchanged";
    EXPECT_EQ(rows[i].result, LoadSysServerPortConfig(File(std::to_string(i), rows[i].xml).c_str(), &refusal)) << i;
    EXPECT_EQ(rows[i].values, std::wstring(g_dsnName) + L"|" + g_databaseName + L"|" + g_dsnDescription +
                                  L"|" + g_serverAddress + L"|" + g_sqlUserName + L"|" + g_sqlPassword) << i;
    EXPECT_EQ(qv::Utf8ToWide(rows[i].refusal), refusal) << i;
  }
}

TEST_F(ConsoleRun, DataSourceIsAddedBeforeTheLoginAndRemovedOnEveryWayOut) {
  const std::string good = "<c><port DSN='" + qv::WideToUtf8(qvtest::TestDatabase::Dsn()) + "' IP='h'/></c>";
  const std::wstring goodList = std::wstring(L"SQL Server DSN=") + qvtest::TestDatabase::Dsn() +
                                L"|Description=|server=h|Database=||";
  const struct {
    std::string xml;
    const wchar_t* box;  // shown before the login
    bool login;          // as the administrator, then close the main window
    int result;
    std::wstring list;
  } rows[] = {
      {good, nullptr, false, 0, goodList},
      {good, nullptr, true, 2, goodList},
      {"<c><port IP='" + std::string(300, '1') + "'/></c>", L"配置文件SysServerPort.xml中IP的值过长", false, 0,
       L"SQL Server DSN=|Description=|server=|Database=||"},
  };
  for (const auto& row : rows) {
    installer.calls.clear();
    g_sharedInstanceFlag = 0;
    if (row.box) script.ExpectBox(row.box);
    script.ExpectDialog([&](UiDialogDriver& d) {
      EXPECT_EQ(std::vector<std::wstring>{L"1 " + row.list}, installer.calls);
      EXPECT_EQ(d.Frame(), g_sharedInstanceWindow);
      if (row.login) script.ExpectDialog([&](UiDialogDriver& main) {
        EXPECT_EQ(main.Frame(), g_sharedInstanceWindow);  // a second start raises the console
        script.ExpectBox(L"您确定关闭么？", IDYES);
        EXPECT_TRUE(main.Click(CMainDlg::kItemClose));
      }, kStillOpen);
      EXPECT_TRUE(d.Click(row.login ? CLoginDlg::kItemLogin : CLoginDlg::kItemExit));
    }, kStillOpen);
    EXPECT_EQ(row.result, RunConsole(::GetModuleHandleW(nullptr), File("SysServerPort.xml", row.xml), silent.Port()));
    EXPECT_EQ((std::vector<std::wstring>{L"1 " + row.list, L"3 " + row.list}), installer.calls);
  }
}

// Settings that could not be read leave every connection to fail: the login's failure
// then says why and names the file; with the settings read it says only that it failed.
TEST_F(ConsoleRun, ALoginThatCannotConnectNamesASettingsFileThatWasNotRead) {
  const std::string missing = File("missing.xml", ""), broken = File("broken.xml", "<c>\n<port DSN='q'></c>"),
                    portless = File("portless.xml", "<c><ports DSN='q'/></c>"),
                    refused = File("refused.xml", "<c><port IP='" + std::string(300, '1') + "'/></c>"),
                    unknown = File("unknown.xml", "<c><port DSN='QuorvaneNoSuchSource'/></c>"),
                    references = File("references.xml", "<c><port DSN='&#" + std::string(200 * 1024, '9') + ";'/></c>");
  auto named = [](const std::string& path, const wchar_t* what) {
    return L"连接数据库出错\n配置文件" + qv::AnsiToWide(path) + what + L"，未能读入数据库连接设置。";
  };
  const struct { std::string path; std::wstring box; const wchar_t* atStart; } rows[] = {
      {missing, named(missing, L"不存在"), nullptr},
      {broken, named(broken, L"格式不正确（第2行）"), nullptr},
      {portless, named(portless, L"中没有port元素"), nullptr},
      {references, named(references, L"格式不正确（第1行）"), nullptr},  // once read as an empty data source
      {refused, L"连接数据库出错\n配置文件SysServerPort.xml中IP的值过长（最多259个字符），数据库连接设置未读入。",
       L"配置文件SysServerPort.xml中IP的值过长"},
      {unknown, L"连接数据库出错", nullptr},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    g_sharedInstanceFlag = 0;
    if (row.atStart) script.ExpectBox(row.atStart);
    script.ExpectDialog([&](UiDialogDriver& d) {
      script.ExpectBox(row.box);
      EXPECT_TRUE(d.Click(CLoginDlg::kItemLogin));  // the default administrator's name and password
      EXPECT_EQ(row.box, script.Boxes().back().text);
      EXPECT_TRUE(d.IsOpenAndShown());
      EXPECT_TRUE(d.Click(CLoginDlg::kItemExit));
    });
    EXPECT_EQ(0, RunConsole(::GetModuleHandleW(nullptr), row.path, silent.Port()));
  }
}

}  // namespace
