// The look-at tools that open the pages the shipped layouts leave unreachable, run as a
// user runs them by hand and driven only through their windows: their boxes are the
// console's own, shown to be answered, and the pickers open.
#include <gtest/gtest.h>

#include "platform/TextConv.h"
#include "support/ChildProcess.h"
#include "support/TestDatabase.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"
#include "uiwin/UiDialogDriver.h"

namespace {

const DWORD kLimitMs = 60000;  // Wine can be slow to start a process

class LookAtTools : public qvtest::DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    ::SetEnvironmentVariableW(L"QV_TOOL_ANSWERS", nullptr);  // nobody scripts the boxes
    ASSERT_TRUE(testfiles::WriteBytes(config, "<c><port DSN='" + qv::WideToUtf8(qvtest::TestDatabase::Dsn()) + "'/></c>"));
  }
  // The tool's window with this title once it shows, else null; the tool still runs.
  HWND Wait(const wchar_t* title) {
    HWND found = nullptr;
    testenv::PollUntil([&] { return (found = tool.FindWindow(title)) != nullptr || tool.WaitExit(0); }, kLimitMs);
    return tool.WaitExit(0) ? nullptr : found;
  }
  // A click on the element once it can be clicked (a page opens after its window shows);
  // false at once when the tool has ended.
  bool Click(HWND frame, UINT item) {
    bool clicked = false;
    testenv::PollUntil(
        [&] { return (clicked = UiDialogDriver::ClickInOtherProcess(frame, item) != FALSE) || tool.WaitExit(0); },
        kLimitMs);
    return clicked;
  }
  // The box with this caption is shown; it is answered with button.
  void Answer(const wchar_t* caption, UINT button) {
    HWND box = Wait(caption);
    ASSERT_TRUE(box) << qv::WideToUtf8(caption);
    ASSERT_TRUE(Click(box, button));
    EXPECT_TRUE(testenv::PollUntil([&] { return !::IsWindow(box); }, kLimitMs));
  }

  testenv::TempDir dir;
  const std::wstring config = dir.File(L"SysServerPort.xml");
  testenv::ChildProcess tool;
};

TEST_F(LookAtTools, TheFilterPageShowsItsRefusalsAndOpensTheHostPicker) {
  ASSERT_TRUE(tool.Start(L"\"" + testenv::WindowsPath(QV_HIPSVIEW_EXE) + L"\" \"" + config + L"\" page"));
  HWND main = Wait(L"完整性安全监测系统");
  ASSERT_TRUE(main);
  ASSERT_TRUE(Click(main, 156));  // "新增策略"
  HWND editor = Wait(L"新建策略");
  ASSERT_TRUE(editor);
  ASSERT_TRUE(Click(editor, 138));  // "增加" without a name
  Answer(L"注意", IDOK);
  ASSERT_TRUE(Click(editor, 112));  // the target's "浏览"
  HWND picker = Wait(L"请选择策略目标");
  ASSERT_TRUE(picker) << "the picker opens and the tool runs on";
  ASSERT_TRUE(Click(picker, 101));  // "取消"
  EXPECT_TRUE(testenv::PollUntil([&] { return !::IsWindow(picker); }, kLimitMs));
  EXPECT_FALSE(tool.WaitExit(0));
}

TEST_F(LookAtTools, TheReinforcementWizardShowsItsRefusals) {
  ASSERT_TRUE(tool.Start(L"\"" + testenv::WindowsPath(QV_REINFORCEVIEW_EXE) + L"\" 3 20000 " +
                         qvtest::TestDatabase::Dsn()));
  HWND main = Wait(L"完整性安全监测系统");
  ASSERT_TRUE(main);
  HWND wizard = nullptr;
  testenv::PollUntil([&] { return ((wizard = tool.FindWindow(nullptr)) != main && wizard) || tool.WaitExit(0); },
                     kLimitMs);
  ASSERT_TRUE(wizard && wizard != main && !tool.WaitExit(0));
  ASSERT_TRUE(Click(wizard, 10000));  // "下一步" without a name
  Answer(L"警告", IDOK);
  EXPECT_TRUE(::IsWindowVisible(wizard));
  EXPECT_FALSE(tool.WaitExit(0));
}

}  // namespace
