// Every seed and every input that ever made a fuzz target fail, replayed through the
// target's check in the console's own build: the readers of files and answers must take
// them here as they did natively (scripts/fuzz replays them there under the sanitizers),
// each within the time limit of a fuzz run: the seeds hold texts of a few hundred
// kilobytes in the shapes that once took the readers minutes.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "FileDiffCheck.h"
#include "LinkRecordsCheck.h"
#include "RemoteListingCheck.h"
#include "ReportListCheck.h"
#include "StrategyXmlCheck.h"
#include "SysServerPortCheck.h"
#include "UpdateVersionCheck.h"
#include "platform/TextConv.h"
#include "support/TestEnv.h"

namespace {

using Check = const char* (*)(const uint8_t* data, size_t size);

const DWORD kInputSeconds = 10;  // as scripts/fuzz gives each input

struct CheckRun {
  Check check;
  std::vector<unsigned char> data;
  const char* problem = nullptr;
};

DWORD WINAPI RunCheck(void* run) {
  CheckRun* r = static_cast<CheckRun*>(run);
  r->problem = r->check(r->data.data(), r->data.size());
  return 0;
}

// The check over one input on a thread of its own, so that a slow input fails when its
// time is up instead of holding the suite to its timeout. False when it took longer: the
// check is left running (with its input) until the program ends.
bool RunInTime(CheckRun* run) {
  HANDLE thread = ::CreateThread(nullptr, 0, RunCheck, run, 0, nullptr);
  if (!thread) {
    RunCheck(run);
    return true;
  }
  const bool done = ::WaitForSingleObject(thread, kInputSeconds * 1000) == WAIT_OBJECT_0;
  ::CloseHandle(thread);
  return done;
}

std::vector<unsigned char> ReadAll(const std::wstring& path) {
  std::vector<unsigned char> data;
  if (FILE* f = ::_wfopen(path.c_str(), L"rb")) {
    for (int c; (c = std::fgetc(f)) != EOF;) data.push_back(static_cast<unsigned char>(c));
    std::fclose(f);
  }
  return data;
}

TEST(FuzzReplay, SeedsAndPastFailuresPass) {
  const struct {
    const wchar_t* target;
    Check check;
    size_t minSeeds;
  } kTargets[] = {
      {L"link_records", fuzzcheck::CheckLinkRecords, 4},
      {L"remote_listing", fuzzcheck::CheckRemoteListing, 4},
      {L"strategy_xml", fuzzcheck::CheckStrategyXml, 3},
      {L"report_list", fuzzcheck::CheckReportList, 3},
      {L"sysserver_config", fuzzcheck::CheckSysServerPort, 3},
      {L"update_version", fuzzcheck::CheckUpdateVersion, 3},
      {L"file_diff", fuzzcheck::CheckFileDiff, 3},
  };
  for (const auto& t : kTargets) {
    size_t seeds = 0;
    for (const wchar_t* folder : {L"corpus", L"crashes"}) {
      const std::wstring dir = testenv::SourcePath(std::wstring(L"fuzz\\") + folder + L"\\" + t.target);
      WIN32_FIND_DATAW fd;
      HANDLE find = ::FindFirstFileW((dir + L"\\*").c_str(), &fd);
      if (find == INVALID_HANDLE_VALUE) continue;
      do {
        if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || std::wcsncmp(fd.cFileName, L"README", 6) == 0)
          continue;
        const std::wstring path = dir + L"\\" + fd.cFileName;
        SCOPED_TRACE(qv::WideToUtf8(path));
        std::unique_ptr<CheckRun> run(new CheckRun{t.check, ReadAll(path)});
        if (!RunInTime(run.get())) {
          static_cast<void>(run.release());  // still read by the check
          ::FindClose(find);
          FAIL() << "took longer than " << kInputSeconds << " s";
        }
        EXPECT_EQ(nullptr, run->problem) << (run->problem ? run->problem : "");
        if (folder[1] == L'o') ++seeds;
      } while (::FindNextFileW(find, &fd));
      ::FindClose(find);
    }
    EXPECT_GE(seeds, t.minSeeds) << qv::WideToUtf8(t.target);
  }
}

}  // namespace
