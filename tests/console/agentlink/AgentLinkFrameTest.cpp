// Frame layout and reassembly, without sockets; and the replay of the fuzz
// corpus and of every input that ever made the fuzzer fail.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "AgentLinkFrameCheck.h"
#include "console/AgentLinkFrameAssembler.h"
#include "console/AgentLinkFrameHeader.h"
#include "platform/TextConv.h"
#include "support/TestEnv.h"

// Split points, held frames, the inline buffer and the length limit are all
// checked by the replay below; a careless count is not.
TEST(AgentLinkFrameAssembler, CommitNeverStepsPastTheMissingBytes) {
  AgentLinkFrameAssembler a;
  AgentLinkFrameAssembler::Frame f;
  AgentLinkFrameHeader{8, 2, 0, 1526}.Write(a.Space());
  EXPECT_EQ(AgentLinkFrameAssembler::NeedMore, a.Commit(1000, f));  // cut to the 16 missing
  EXPECT_TRUE(a.InPayload());
  EXPECT_EQ(8u, a.SpaceSize());
}

TEST(AgentLinkFrameFuzzReplay, CorpusAndPastCrashesPass) {
  size_t files = 0;
  for (const wchar_t* folder :
       {L"fuzz\\corpus\\agentlink_frame", L"fuzz\\crashes\\agentlink_frame"}) {
    std::wstring dir = testenv::SourcePath(folder);
    WIN32_FIND_DATAW fd;
    HANDLE find = ::FindFirstFileW((dir + L"\\*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) continue;
    do {
      if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
          std::wcsncmp(fd.cFileName, L"README", 6) == 0)
        continue;
      std::wstring path = dir + L"\\" + fd.cFileName;
      FILE* f = ::_wfopen(path.c_str(), L"rb");
      ASSERT_NE(nullptr, f);
      std::vector<unsigned char> data;
      for (int c; (c = std::fgetc(f)) != EOF;) data.push_back(static_cast<unsigned char>(c));
      std::fclose(f);
      const char* problem = agentlink_check::CheckStream(data.data(), data.size());
      EXPECT_EQ(nullptr, problem) << "input " << qv::WideToUtf8(path) << ": "
                                  << (problem ? problem : "");
      ++files;
    } while (::FindNextFileW(find, &fd));
    ::FindClose(find);
  }
  EXPECT_GE(files, 8u);
}
