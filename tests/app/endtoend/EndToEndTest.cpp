// The console as a user meets it: Quorvane.exe started as a process with the service
// stand-in and a generated database, driven only through its windows (typed keys and
// clicks where its views say the elements are): the login, each area that the main
// window's buttons open, the tray, and the way out, after which nothing of it remains.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include "platform/TextConv.h"
#include "support/ChildProcess.h"
#include "support/TestDatabase.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"
#include "uiwin/UiDialogDriver.h"
#include "uiwin/UiNotify.h"

namespace {

const DWORD kLimitMs = 60000;  // Wine can be slow to start a process

struct Search {
  DWORD process;
  UINT id;  // a control id, or 0 for any window
  std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND w, LPARAM lParam) {
  auto* s = reinterpret_cast<Search*>(lParam);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(w, &owner);
  if (owner == s->process && ::IsWindowVisible(w) && (!s->id || UINT(::GetDlgCtrlID(w)) == s->id))
    s->found.push_back(w);
  return TRUE;
}

// The visible top-level windows of the process.
size_t WindowCount(DWORD process) {
  Search s{process, 0, {}};
  ::EnumWindows(Collect, reinterpret_cast<LPARAM>(&s));
  return s.found.size();
}

// The frame's real control with the id, shown; the innermost of a skinned one (its
// scroll frame takes the same id).
HWND Shown(HWND frame, UINT id) {
  DWORD process = 0;
  ::GetWindowThreadProcessId(frame, &process);
  Search s{process, id, {}};
  ::EnumChildWindows(frame, Collect, reinterpret_cast<LPARAM>(&s));
  return s.found.empty() ? nullptr : s.found.back();
}

class EndToEnd : public qvtest::DatabaseTest {
 protected:
  HWND Wait(const wchar_t* title) {
    HWND found = nullptr;
    testenv::PollUntil([&] { return (found = console.FindWindow(title)) != nullptr; }, kLimitMs);
    return found;
  }
  testenv::ChildProcess service, console;
};

TEST_F(EndToEnd, LogsInOpensEveryAreaWithAButtonAndLeavesNothingRunning) {
  ASSERT_TRUE(::CopyFileW(testenv::WindowsPath(QV_GENERATED_DB).c_str(), qvtest::TestDatabase::File().c_str(), FALSE));
  testenv::TempDir dir;  // its own copy: the single-instance area belongs to the executable file
  const std::wstring exe = dir.File(L"Quorvane.exe");
  ASSERT_TRUE(::CopyFileW(testenv::WindowsPath(QV_CONSOLE_EXE).c_str(), exe.c_str(), FALSE));
  ASSERT_TRUE(testfiles::WriteBytes(dir.File(L"SysServerPort.xml"),
                                    "<c><port DSN='" + qv::WideToUtf8(qvtest::TestDatabase::Dsn()) + "'/></c>"));
  ASSERT_TRUE(service.Start(L"\"" + testenv::WindowsPath(QV_SERVICE_EXE) + L"\" --data \"" +
                            testenv::SourcePath(L"src\\qvservice\\QvServiceDemo.txt") + L"\"", CREATE_NO_WINDOW));
  ASSERT_TRUE(console.Start(L"\"" + exe + L"\""));

  HWND login = Wait(L"登录");
  ASSERT_TRUE(login);
  for (UINT box : {103u, 104u}) {
    HWND edit = ::GetDlgItem(::GetDlgItem(login, IDC_UIVIEW), box);
    ASSERT_TRUE(edit && ::SendMessageW(edit, EM_SETSEL, 0, -1) >= 0);
    for (wchar_t c : std::wstring(L"tamuk")) ::PostMessageW(edit, WM_CHAR, c, 1);
  }
  ASSERT_TRUE(UiDialogDriver::ClickInOtherProcess(login, 101));
  HWND main = Wait(L"完整性安全监测系统");
  ASSERT_TRUE(main);

  // The client tree holds the generated hosts under its two groups.
  HWND tree = nullptr;
  ASSERT_TRUE(testenv::PollUntil([&] { return (tree = Shown(main, 181)) != nullptr; }, kLimitMs));
  EXPECT_GT(::SendMessageW(tree, TVM_GETCOUNT, 0, 0), 2);
  const struct {
    UINT button, control;  // a control of the page the button opens; 0: none
  } areas[] = {{106, 0}, {108, 1108}, {109, 1101}, {105, 181}};
  UINT shown = 181;
  for (const auto& area : areas) {
    SCOPED_TRACE(area.button);
    ASSERT_TRUE(UiDialogDriver::ClickInOtherProcess(main, area.button));
    EXPECT_TRUE(testenv::PollUntil([&] { return !Shown(main, shown) && (!area.control || Shown(main, area.control)); },
                                   kLimitMs));
    EXPECT_EQ(1u, WindowCount(console.Id()));  // no message box came up
    shown = area.control ? area.control : shown;
  }

  // Minimised to the tray, back with a double click on the tray icon.
  ASSERT_TRUE(UiDialogDriver::ClickInOtherProcess(main, 103));
  EXPECT_TRUE(testenv::PollUntil([&] { return !::IsWindowVisible(main); }, kLimitMs));
  ::PostMessageW(main, 2025, 1, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(testenv::PollUntil([&] { return ::IsWindowVisible(main) != FALSE; }, kLimitMs));

  ASSERT_TRUE(UiDialogDriver::ClickInOtherProcess(main, 101));
  HWND confirm = Wait(L"确定");
  ASSERT_TRUE(confirm);
  ASSERT_TRUE(UiDialogDriver::ClickInOtherProcess(confirm, IDYES));
  DWORD code = 0;
  ASSERT_TRUE(console.WaitExit(kLimitMs, &code));
  EXPECT_EQ(2u, code);
}

}  // namespace
