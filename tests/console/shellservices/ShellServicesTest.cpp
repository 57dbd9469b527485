// The shell as pages reach it (choosers answered by the fake, real files behind the
// chosen paths) and the local clock a test fixes.
#include <windows.h>

#include <gtest/gtest.h>

#include "console/LocalClock.h"
#include "support/FakeShellServices.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"

namespace {

// An export as a page writes it: the save dialog names the file, the page writes it
// and opens it in Notepad.
BOOL ExportReports() {
  std::wstring path;
  if (!ShellServices::Current().ChooseSaveFile({L"report", L"xml", L"XML 文件(*.xml)", L"*.xml", 0}, path))
    return FALSE;
  return testfiles::WriteBytes(path, "<reports/>") && ShellServices::Current().StartProgram(L"notepad.exe", path);
}

TEST(ShellServices, AChosenChinesePathReachesThePageAndTheFile) {
  testenv::TempDir dir;
  const std::wstring chosen = dir.File(L"二月 报告.xml");
  for (bool confirm : {true, false}) {
    SCOPED_TRACE(confirm);
    ::DeleteFileW(chosen.c_str());
    FakeShellServices fake;
    fake.Choose(ShellServices::kSaveFile, chosen, confirm);
    EXPECT_EQ(confirm, !!ExportReports());
    EXPECT_EQ(confirm, ::GetFileAttributesW(chosen.c_str()) != INVALID_FILE_ATTRIBUTES);
    ASSERT_EQ(confirm ? 2u : 1u, fake.Calls().size());
    EXPECT_EQ(L"report", fake.Calls()[0].file.defaultName);
    EXPECT_EQ(confirm ? chosen : L"", fake.Calls().back().path);
  }
}

TEST(LocalClock, AFixedTimeIsWhatRowIdsAndTimeTextsSay) {
  LocalClock::Fix fix(SYSTEMTIME{2024, 3, 2, 5, 7, 8, 9, 7});
  EXPECT_EQ(L"20240305070809007", LocalClock::RowId());
  EXPECT_EQ(L"2024-03-05 07:08:09", LocalClock::TimeText());
}

}  // namespace
