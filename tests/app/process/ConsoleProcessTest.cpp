// Quorvane.exe as a process, started from its own copy (the single-instance area is
// shared by the processes of one executable file) beside settings that name a fresh
// database, with the service stand-in, and driven only through its windows: one
// instance at a time, and a user's whole run from the login through each area that
// the main window's buttons open to the way out, after which nothing of it runs.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>

#include "platform/TextConv.h"
#include "support/ChildProcess.h"
#include "support/TestDatabase.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"
#include "uiwin/CUiDialogView.h"
#include "uiwin/UiDialogDriver.h"
#include "uiwin/UiEndingClick.h"

namespace {

const DWORD kLimitMs = 60000;  // Wine can be slow to start a process

// The program's window with this title once it shows; null at once when the program
// has ended.
HWND WaitForWindow(testenv::ChildProcess& process, const wchar_t* title) {
  HWND found = nullptr;
  testenv::PollUntil([&] { return (found = process.FindWindow(title)) != nullptr || process.WaitExit(0); }, kLimitMs);
  return process.WaitExit(0) ? nullptr : found;
}

class ConsoleProcess : public qvtest::DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    ASSERT_TRUE(::CopyFileW(testenv::WindowsPath(QV_CONSOLE_EXE).c_str(), exe.c_str(), FALSE));
    ASSERT_TRUE(testfiles::WriteBytes(dir.File(L"SysServerPort.xml"),
                                      "<c><port DSN='" + qv::WideToUtf8(qvtest::TestDatabase::Dsn()) + "'/></c>"));
    // The console's port is fixed; a service already listening there serves as well.
    ASSERT_TRUE(service.Start(L"\"" + testenv::WindowsPath(QV_SERVICE_EXE) + L"\" --data \"" +
                              testenv::SourcePath(L"src\\qvservice\\QvServiceDemo.txt") + L"\"", CREATE_NO_WINDOW));
  }
  // Whether cond comes to hold while the console runs: its end ends the wait.
  bool WhileRunning(const std::function<bool()>& cond) {
    testenv::PollUntil([&] { return cond() || console.WaitExit(0); }, kLimitMs);
    return cond() && !console.WaitExit(0);
  }

  testenv::TempDir dir;
  const std::wstring exe = dir.File(L"Quorvane.exe");
  testenv::ChildProcess service, console, second;
};

// A 32-bit program sees addresses above 2 GB only when its header says it can take them.
TEST(ConsoleExecutable, MayUseTheAddressesAbove2GB) {
  const std::string image = testfiles::ReadBytes(testenv::WindowsPath(QV_CONSOLE_EXE));
  ASSERT_GT(image.size(), 0x40u);
  uint32_t at = 0;
  std::memcpy(&at, image.data() + 0x3C, sizeof at);
  ASSERT_LE(size_t(at) + 4 + sizeof(IMAGE_FILE_HEADER), image.size());
  ASSERT_EQ(0, image.compare(at, 4, std::string("PE\0\0", 4)));
  IMAGE_FILE_HEADER header;
  std::memcpy(&header, image.data() + at + 4, sizeof header);
  EXPECT_EQ(IMAGE_FILE_MACHINE_I386, header.Machine);
  EXPECT_TRUE(header.Characteristics & IMAGE_FILE_LARGE_ADDRESS_AWARE);
}

TEST_F(ConsoleProcess, SecondStartEndsAndRaisesTheFirstWhichLogsInToTheMainWindow) {
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

// Any program can post or send the login's view the question of the pressed button's
// place, with an address of its choosing: nothing is written there, and the console
// goes on to the main window.
TEST_F(ConsoleProcess, AQuestionFromAnotherProgramWritesNothingThroughItsAddress) {
  ASSERT_TRUE(console.Start(L"\"" + exe + L"\""));
  HWND login = WaitForWindow(console, L"登录");
  ASSERT_TRUE(login);
  HWND view = ::GetDlgItem(login, 1000);
  const LRESULT point = ::SendMessageW(view, CUiDialogView::ClickPointMessage(), 101, 0);  // 登录
  ASSERT_NE(-1, point);
  POINT at{static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
  ASSERT_TRUE(::ClientToScreen(view, &at));
  const WPARAM onButton = MAKEWPARAM(static_cast<WORD>(at.x), static_cast<WORD>(at.y));
  // Page zero, and the program's own code, which cannot be written.
  for (LPARAM to : {LPARAM(0x10), LPARAM(0x00401000)}) {
    ASSERT_TRUE(::PostMessageW(view, UiEndingClick::PlaceMessage(), onButton, to)) << to;
    DWORD_PTR answer = 1;
    EXPECT_TRUE(::SendMessageTimeoutW(view, UiEndingClick::PlaceMessage(), onButton, to, SMTO_NORMAL, kLimitMs, &answer));
    EXPECT_EQ(0u, answer) << to;
  }
  HWND password = ::GetDlgItem(view, 104);  // pre-filled: tamuk / tamuk
  ASSERT_TRUE(password && ::PostMessageW(password, WM_KEYDOWN, VK_RETURN, 0));
  EXPECT_TRUE(WaitForWindow(console, L"完整性安全监测系统"));
}

TEST_F(ConsoleProcess, OverAGeneratedDatabaseOpensEachAreaByItsButtonAndLeavesByTheCloseButton) {
  ASSERT_TRUE(::CopyFileW(testenv::WindowsPath(QV_GENERATED_DB).c_str(), qvtest::TestDatabase::File().c_str(), FALSE));
  ASSERT_TRUE(console.Start(L"\"" + exe + L"\""));
  ASSERT_TRUE(UiDialogDriver::ClickInOtherProcess(WaitForWindow(console, L"登录"), 101));  // as tamuk / tamuk, offered
  HWND main = WaitForWindow(console, L"完整性安全监测系统");
  ASSERT_TRUE(main);
  // Each page by a control only it has (the integrity area's first page has none: the
  // client tree of the page before it goes), with no box come up over it.
  auto shown = [&](UINT id) { return ::IsWindowVisible(UiDialogDriver::ControlOf(main, id)) != FALSE; };
  auto alone = [&] { return console.FindWindow(nullptr) == main; };
  const struct { UINT button, control; bool shown; } areas[] = {{106, 181, false}, {108, 1108, true},
                                                                {109, 1101, true}, {105, 181, true}};
  for (const auto& a : areas) {
    ASSERT_TRUE(UiDialogDriver::ClickInOtherProcess(main, a.button));
    EXPECT_TRUE(WhileRunning([&] { return shown(a.control) == a.shown; })) << a.button;
    EXPECT_TRUE(alone()) << a.button;
  }

  // Into the tray and back with a double click on its icon, then out.
  ASSERT_TRUE(UiDialogDriver::ClickInOtherProcess(main, 103));
  EXPECT_TRUE(WhileRunning([&] { return !::IsWindowVisible(main); }));
  ::PostMessageW(main, 2025, 1, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(WhileRunning([&] { return alone(); }));
  ASSERT_TRUE(UiDialogDriver::ClickInOtherProcess(main, 101));
  ASSERT_TRUE(UiDialogDriver::ClickInOtherProcess(WaitForWindow(console, L"确定"), IDYES));
  DWORD code = 0;
  ASSERT_TRUE(console.WaitExit(kLimitMs, &code));
  EXPECT_EQ(2u, code);
}

}  // namespace
