// The shell as pages reach it (choosers answered by the fake, real files behind the
// chosen paths) and the local clock a test fixes.
#include <windows.h>

#include <gtest/gtest.h>

#include "console/LocalClock.h"
#include "support/FakeShellServices.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"

namespace {

using Fake = FakeShellServices;

// An export as a page writes it: the save dialog names the file, the page writes it
// and opens it in Notepad.
BOOL ExportReports() {
  ShellServices::FileRequest request{L"report", L"xml", L"XML 文件(*.xml)", L"*.xml",
                                     OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT};
  std::wstring path;
  if (!ShellServices::Current().ChooseSaveFile(request, path)) return FALSE;
  if (!testfiles::WriteBytes(path, "<reports/>")) return FALSE;
  return ShellServices::Current().StartProgram(L"notepad.exe", path);
}

TEST(ShellServices, AChosenChinesePathReachesThePageAndTheFile) {
  testenv::TempDir dir;
  const std::wstring chosen = dir.File(L"二月 报告.xml");
  for (bool confirm : {true, false}) {
    SCOPED_TRACE(confirm);
    Fake fake;
    confirm ? fake.Choose(Fake::kSaveFile, chosen) : fake.Cancel(Fake::kSaveFile);
    EXPECT_EQ(confirm, !!ExportReports());
    EXPECT_EQ(confirm, ::GetFileAttributesW(chosen.c_str()) != INVALID_FILE_ATTRIBUTES);
    ASSERT_EQ(confirm ? 2u : 1u, fake.Calls().size());
    EXPECT_EQ(L"report", fake.Calls()[0].request.defaultName);
    if (confirm) {
      EXPECT_EQ(Fake::kStartProgram, fake.Calls()[1].kind);
      EXPECT_EQ(L"notepad.exe", fake.Calls()[1].program);
      EXPECT_EQ(chosen, fake.Calls()[1].path);
      ::DeleteFileW(chosen.c_str());
    }
  }
}

TEST(LocalClock, AFixedTimeIsWhatRowIdsAndTimeTextsSayUntilItEnds) {
  LocalClock::Fix fix(SYSTEMTIME{2024, 3, 2, 5, 7, 8, 9, 7});
  EXPECT_EQ(L"20240305070809007", LocalClock::RowId());
  EXPECT_EQ(L"2024-03-05 07:08:09", LocalClock::TimeText());
  {
    LocalClock::Fix inner(SYSTEMTIME{1999, 12, 5, 31, 23, 59, 59, 999});
    EXPECT_EQ(L"19991231235959999", LocalClock::RowId());
  }
  EXPECT_EQ(L"20240305070809007", LocalClock::RowId());
}

}  // namespace
