// Quorvane.exe as a process: one instance at a time, and a whole start against the
// service stand-in and a fresh database, logged in through the real login window.
// Each test runs its own copy of the executable: the single-instance area is shared by
// the processes of one executable file only.
#include <gtest/gtest.h>

#include <string>

#include "platform/TextConv.h"
#include "support/ChildProcess.h"
#include "support/TestDatabase.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"

namespace {

const DWORD kStartLimitMs = 60000;  // Wine can be slow to start a process
const wchar_t kLoginTitle[] = L"登录";
const wchar_t kMainTitle[] = L"完整性安全监测系统";

class ConsoleProcess : public qvtest::DatabaseTest {
 protected:
  // The console beside its settings, naming the test's database.
  std::wstring Install() {
    const std::string xml = "<config><port DSN=\"" + qv::WideToUtf8(qvtest::TestDatabase::Dsn()) +
                            "\" Database=\"qv\" Description=\"test\" IP=\"127.0.0.1\"/></config>";
    EXPECT_TRUE(testfiles::WriteBytes(dir.File(L"SysServerPort.xml"), xml));
    const std::wstring exe = dir.File(L"Quorvane.exe");
    EXPECT_TRUE(::CopyFileW(testenv::WindowsPath(QV_CONSOLE_EXE).c_str(), exe.c_str(), FALSE));
    return L"\"" + exe + L"\"";
  }
  static HWND WaitForWindow(const testenv::ChildProcess& process, const wchar_t* title) {
    HWND found = nullptr;
    testenv::PollUntil([&] { return (found = testenv::FindProcessWindow(process.Id(), title)) != nullptr; },
                       kStartLimitMs);
    return found;
  }
  testenv::TempDir dir;
};

TEST_F(ConsoleProcess, SecondStartExitsAndBringsTheRunningConsoleForward) {
  const std::wstring command = Install();
  testenv::ChildProcess first, second;
  ASSERT_TRUE(first.Start(command));
  HWND login = WaitForWindow(first, kLoginTitle);
  ASSERT_TRUE(login);
  ::ShowWindow(login, SW_HIDE);
  ASSERT_FALSE(::IsWindowVisible(login));

  ASSERT_TRUE(second.Start(command));
  DWORD code = 99;
  ASSERT_TRUE(second.WaitExit(kStartLimitMs, &code));
  EXPECT_EQ(0u, code);
  EXPECT_TRUE(::IsWindowVisible(login));
  EXPECT_FALSE(first.WaitExit(0));
}

TEST_F(ConsoleProcess, LogsInThroughTheLoginWindowAndOpensTheMainWindow) {
  const std::wstring command = Install();
  // The console's port is fixed; a service already listening there serves as well.
  testenv::ChildProcess service, console;
  const std::wstring demo = testenv::SourcePath(L"src\\qvservice\\QvServiceDemo.txt");
  ASSERT_TRUE(service.Start(L"\"" + testenv::WindowsPath(QV_SERVICE_EXE) + L"\" --data \"" + demo + L"\"",
                            CREATE_NO_WINDOW));
  ASSERT_TRUE(console.Start(command));
  HWND login = WaitForWindow(console, kLoginTitle);
  ASSERT_TRUE(login);

  HWND view = ::GetDlgItem(login, 1000);
  HWND password = ::GetDlgItem(view, 104);
  ASSERT_TRUE(password);
  ::SendMessageW(::GetDlgItem(view, 103), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"tamuk"));
  ::SendMessageW(password, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"tamuk"));
  ::PostMessageW(password, WM_KEYDOWN, VK_RETURN, 0);

  EXPECT_TRUE(WaitForWindow(console, kMainTitle));
  EXPECT_FALSE(testenv::FindProcessWindow(console.Id(), kLoginTitle));
  EXPECT_FALSE(console.WaitExit(0));
}

}  // namespace
