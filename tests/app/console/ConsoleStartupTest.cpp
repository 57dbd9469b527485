// The console's whole run in-process: the single-instance claim, the settings file, the
// data source added before the login and removed on every way out, the login and the
// main window as the real dialogs, and the exit code.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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
    std::wstring call = std::to_wstring(request) + L" " + driver + L" " + attributes;
    for (auto& c : call) c = c ? c : L'|';
    calls.push_back(call);
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
  const std::string v259(259, 'x'), port = "<config><port ";
  const struct {
    std::string xml;
    int result;
    std::wstring values;  // DSN|Database|Description|IP|SqlName|SqlPass
    const wchar_t* refusal;
  } rows[] = {
      {port + "DSN='qv' Database='db' Description='d' IP='1.2.3.4' SqlName='sa' SqlPass='p!'/></config>", 1, L"qv|db|d|1.2.3.4|sa|p!", L""},
      {port + "dsn='qv' Database='db' SQLNAME='sa' Server='s'/></config>", 1, L"|db||||", L""},
      {"<r><port DSN='a'/><port DSN='b'/></r>", 1, L"a|||||", L""},
      {"<r><a><port DSN='qv'/></a></r>", 0, L"|||||", L""},
      {"<r><port DSN='qv'></r>", 0, L"|||||", L""},
      {"", 0, L"|||||", L""},  // no file
      {port + "SqlPass='" + v259 + "'/></config>", 1, L"|||||" + std::wstring(259, L'x'), L""},
      {port + "DSN='qv' SqlPass='" + v259 + "x'/></config>", 0, L"|||||", L"配置文件SysServerPort.xml中SqlPass的值过长（最多259个字符），数据库连接设置未读入。"},
      {port + "DSN='qv' Description='a!b'/></config>", 0, L"|||||", L"配置文件SysServerPort.xml中Description的值不能包含“!”，数据库连接设置未读入。"},
      {"\xEF\xBB\xBF" + port + "Description='\xE7\x9B\x91\xE6\xB5\x8B'/></config>", 1, L"||监测|||", L""},
      {port + "Description='\xBC\xE0\xB2\xE2'/></config>", 1, L"||监测|||", L""},  // code page 936
  };
  for (size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
    SCOPED_TRACE(i);
    std::wstring refusal = L"unchanged";
    EXPECT_EQ(rows[i].result, LoadSysServerPortConfig(File(std::to_string(i), rows[i].xml).c_str(), &refusal));
    EXPECT_EQ(rows[i].values, std::wstring(g_dsnName) + L"|" + g_databaseName + L"|" + g_dsnDescription +
                                  L"|" + g_serverAddress + L"|" + g_sqlUserName + L"|" + g_sqlPassword);
    EXPECT_EQ(rows[i].refusal, refusal);
  }
}

TEST_F(ConsoleRun, DataSourceIsAddedBeforeTheLoginAndRemovedOnEveryWayOut) {
  const std::string dsn = qv::WideToUtf8(qvtest::TestDatabase::Dsn());
  const std::wstring good = std::wstring(L"SQL Server DSN=") + qvtest::TestDatabase::Dsn() + L"|Description=库|server=h|Database=qv||";
  const std::wstring empty = L"SQL Server DSN=|Description=|server=|Database=||";
  const struct {
    std::string xml;
    const wchar_t* box;  // shown before the login
    bool login;          // as the administrator, then close the main window
    int result;
    std::wstring list;
  } rows[] = {
      {"<c><port DSN='" + dsn + "' Database='qv' Description='库' IP='h'/></c>", nullptr, false, 0, good},
      {"<c><port DSN='" + dsn + "' Database='qv' Description='库' IP='h'/></c>", nullptr, true, 2, good},
      {"<c><port IP='" + std::string(300, '1') + "'/></c>", L"配置文件SysServerPort.xml中IP的值过长", false, 0, empty},
  };
  for (const auto& row : rows) {
    installer.calls.clear();
    g_sharedInstanceFlag = 0;
    if (row.box) script.ExpectBox(row.box);
    script.ExpectDialog([&](UiDialogDriver& d) {
      EXPECT_EQ(std::vector<std::wstring>{L"1 " + row.list}, installer.calls);
      EXPECT_EQ(d.Frame(), g_sharedInstanceWindow);
      if (!row.login) {
        EXPECT_TRUE(d.Click(CLoginDlg::kItemExit));
        return;
      }
      script.ExpectDialog([&](UiDialogDriver& main) {
        EXPECT_EQ(main.Frame(), g_sharedInstanceWindow);  // a second start raises the console
        script.ExpectBox(L"您确定关闭么？", IDYES);
        EXPECT_TRUE(main.Click(CMainDlg::kItemClose));
      });
      EXPECT_TRUE(d.Click(CLoginDlg::kItemLogin));
    });
    const std::string path = File("SysServerPort.xml", "<?xml version='1.0' encoding='utf-8'?>" + row.xml);
    EXPECT_EQ(row.result, RunConsole(::GetModuleHandleW(nullptr), path, silent.Port()));
    EXPECT_EQ((std::vector<std::wstring>{L"1 " + row.list, L"3 " + row.list}), installer.calls);
  }
}

TEST_F(ConsoleRun, SecondStartRaisesTheRunningConsoleAndTouchesNothing) {
  HWND running = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(ClaimSingleInstance());
  g_sharedInstanceWindow = running;
  EXPECT_EQ(0, RunConsole(::GetModuleHandleW(nullptr), "Z:\\nowhere\\SysServerPort.xml"));
  EXPECT_TRUE(::IsWindowVisible(running));
  EXPECT_TRUE(installer.calls.empty());
  ::DestroyWindow(running);
}

}  // namespace
