// The console's whole run in-process: the single-instance claim, the settings, the
// data source added before the login and removed on every way out, the login and the
// main window as the real dialogs, and the exit code.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CMainDlg.h"
#include "app/ConsoleStartup.h"
#include "console/CLoginDlg.h"
#include "console/CurrentUser.h"
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

// Takes the data-source requests instead of the system's installer.
class RecordingInstaller : public OdbcInstaller {
 public:
  struct Call {
    WORD request;
    std::wstring driver, attributes;
  };
  BOOL ConfigDataSource(WORD request, LPCWSTR driver, const std::wstring& attributes) override {
    calls.push_back({request, driver, attributes});
    return FALSE;  // as under Wine: the console goes on regardless
  }
  std::vector<Call> calls;

 private:
  Scope scope_{*this};
};

std::string Settings(const testenv::TempDir& dir, const std::string& xml) {
  EXPECT_TRUE(testfiles::WriteBytes(dir.File(L"SysServerPort.xml"), xml));
  return qv::WideToAnsi(dir.File(L"SysServerPort.xml"));
}

class ConsoleRun : public qvtest::DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    g_sharedInstanceFlag = 0;
    g_sharedInstanceWindow = nullptr;
  }
  void TearDown() override {
    g_module.Init(::GetModuleHandleW(nullptr));  // the run terminated it
    g_sharedInstanceFlag = 0;
    g_sharedInstanceWindow = nullptr;
    g_currentUserType = g_currentUserPermission = 0;
  }
  testenv::TempDir dir;
  testenv::LoopbackPeer silent;  // the link's peer, never answering
  RecordingInstaller installer;
  ModalScript script;
};

TEST_F(ConsoleRun, DataSourceIsAddedBeforeTheLoginAndRemovedOnEveryWayOut) {
  const std::wstring dsn = qvtest::TestDatabase::Dsn();
  const std::string good = "<?xml version=\"1.0\" encoding=\"utf-8\"?><c><port DSN=\"" +
                           qv::WideToUtf8(dsn) + "\" Database=\"qv\" Description=\"监测库\" IP=\"127.0.0.1\"/></c>";
  const std::wstring goodList = L"DSN=" + dsn + L"|Description=监测库|server=127.0.0.1|Database=qv||";
  const std::wstring emptyList = L"DSN=|Description=|server=|Database=||";
  const struct {
    const char* name;
    std::string xml;
    const wchar_t* box;  // shown before the login
    bool login;          // as the administrator, then close the main window
    int result;
    std::wstring list;  // the attribute list, NULs as "|"
  } rows[] = {
      {"cancelled login", good, nullptr, false, 0, goodList},
      {"main window closed", good, nullptr, true, 2, goodList},
      {"refused settings", "<c><port IP=\"" + std::string(300, '1') + "\"/></c>", L"IP的值过长", false, 0, emptyList},
      {"no file", "", nullptr, false, 0, emptyList},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    installer.calls.clear();
    g_sharedInstanceFlag = 0;
    std::string path = row.xml.empty() ? qv::WideToAnsi(dir.File(L"missing.xml")) : Settings(dir, row.xml);
    if (row.box) script.ExpectBox(row.box);
    script.ExpectDialog([&](UiDialogDriver& d) {
      ASSERT_EQ(1u, installer.calls.size());
      EXPECT_EQ(d.Frame(), g_sharedInstanceWindow);
      if (!row.login) {
        EXPECT_TRUE(d.Click(CLoginDlg::kItemExit));
        return;
      }
      script.ExpectDialog([&](UiDialogDriver& main) {
        EXPECT_EQ(main.Frame(), g_sharedInstanceWindow);  // a second start raises the console
        EXPECT_EQ(1u, installer.calls.size());
        script.ExpectBox(L"您确定关闭么？", IDYES);
        EXPECT_TRUE(main.Click(CMainDlg::kItemClose));
      });
      EXPECT_TRUE(d.Click(CLoginDlg::kItemLogin));
    });
    EXPECT_EQ(row.result, RunConsole(::GetModuleHandleW(nullptr), path, silent.Port()));
    ASSERT_EQ(2u, installer.calls.size());
    const WORD requests[] = {OdbcInstaller::kAddDsn, OdbcInstaller::kRemoveDsn};
    for (int i = 0; i < 2; ++i) {
      std::wstring list = installer.calls[i].attributes;
      for (auto& c : list)
        if (c == L'\0') c = L'|';
      EXPECT_EQ(requests[i], installer.calls[i].request);
      EXPECT_EQ(L"SQL Server", installer.calls[i].driver);
      EXPECT_EQ(row.list, list);
    }
    EXPECT_EQ(0u, script.Remaining());
  }
}

TEST_F(ConsoleRun, SecondStartRaisesTheRunningConsoleAndTouchesNothing) {
  HWND running = ::CreateWindowExW(0, L"STATIC", L"running", WS_POPUP, 0, 0, 50, 50, nullptr,
                                   nullptr, nullptr, nullptr);
  ASSERT_TRUE(ClaimSingleInstance());
  g_sharedInstanceWindow = running;
  EXPECT_EQ(0, RunConsole(::GetModuleHandleW(nullptr), "Z:\\nowhere\\SysServerPort.xml"));
  EXPECT_TRUE(::IsWindowVisible(running));
  EXPECT_TRUE(installer.calls.empty());
  ::DestroyWindow(running);
}

}  // namespace
