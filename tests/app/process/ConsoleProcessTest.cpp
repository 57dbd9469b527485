// Quorvane.exe as a process, started from its own copy (the single-instance area is
// shared by the processes of one executable file) beside settings that name a fresh
// database, with the service stand-in: one instance at a time, and a login through
// the real login window that opens the main window.
#include <gtest/gtest.h>

#include "platform/TextConv.h"
#include "support/ChildProcess.h"
#include "support/TestDatabase.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"

namespace {

const DWORD kLimitMs = 60000;  // Wine can be slow to start a process

HWND WaitForWindow(const testenv::ChildProcess& process, const wchar_t* title) {
  HWND found = nullptr;
  testenv::PollUntil([&] { return (found = process.FindWindow(title)) != nullptr; }, kLimitMs);
  return found;
}

class ConsoleProcess : public qvtest::DatabaseTest {};

TEST_F(ConsoleProcess, SecondStartEndsAndRaisesTheFirstWhichLogsInToTheMainWindow) {
  testenv::TempDir dir;
  const std::wstring exe = dir.File(L"Quorvane.exe");
  ASSERT_TRUE(::CopyFileW(testenv::WindowsPath(QV_CONSOLE_EXE).c_str(), exe.c_str(), FALSE));
  ASSERT_TRUE(testfiles::WriteBytes(dir.File(L"SysServerPort.xml"),
                                    "<c><port DSN='" + qv::WideToUtf8(qvtest::TestDatabase::Dsn()) + "'/></c>"));
  // The console's port is fixed; a service already listening there serves as well.
  testenv::ChildProcess service, console, second;
  ASSERT_TRUE(service.Start(L"\"" + testenv::WindowsPath(QV_SERVICE_EXE) + L"\" --data \"" +
                            testenv::SourcePath(L"src\\qvservice\\QvServiceDemo.txt") + L"\"", CREATE_NO_WINDOW));
  ASSERT_TRUE(console.Start(L"\"" + exe + L"\""));
  HWND login = WaitForWindow(console, L"登录");
  ASSERT_TRUE(login);

  ::ShowWindow(login, SW_HIDE);
  ASSERT_TRUE(second.Start(L"\"" + exe + L"\""));
  DWORD code = 99;
  ASSERT_TRUE(second.WaitExit(kLimitMs, &code));
  EXPECT_EQ(0u, code);
  EXPECT_TRUE(::IsWindowVisible(login));

  HWND password = ::GetDlgItem(::GetDlgItem(login, 1000), 104);  // pre-filled: tamuk / tamuk
  ASSERT_TRUE(password && ::PostMessageW(password, WM_KEYDOWN, VK_RETURN, 0));
  EXPECT_TRUE(WaitForWindow(console, L"完整性安全监测系统"));
  EXPECT_FALSE(console.FindWindow(L"登录") || console.WaitExit(0));
}

}  // namespace
