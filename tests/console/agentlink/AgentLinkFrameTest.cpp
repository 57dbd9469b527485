// Frame layout and reassembly, without sockets; and the replay of the fuzz
// corpus and of every input that ever made the fuzzer fail.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
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

// A header alone costs no more than the first heap step, however much it announces; the
// buffer grows as the bytes come and the frame is whole and exact at the end.
TEST(AgentLinkFrameAssembler, LargePayloadBufferGrowsAsTheBytesArrive) {
  for (uint32_t length : {4097u, 65536u, 65537u, 300000u}) {
    SCOPED_TRACE(length);
    AgentLinkFrameAssembler a;
    AgentLinkFrameAssembler::Frame f;
    AgentLinkFrameHeader{length, 1, 0, 1537}.Write(a.Space());
    ASSERT_EQ(AgentLinkFrameAssembler::NeedMore, a.Commit(AgentLinkFrameHeader::kSize, f));
    EXPECT_EQ(std::min<size_t>(length, AgentLinkFrameAssembler::kFirstHeapCapacity), a.SpaceSize());
    AgentLinkFrameAssembler::Status status = AgentLinkFrameAssembler::NeedMore;
    for (uint32_t sent = 0; status == AgentLinkFrameAssembler::NeedMore;) {
      const size_t n = std::min<size_t>(a.SpaceSize(), 7000);
      ASSERT_GT(n, 0u);
      for (size_t i = 0; i < n; ++i) a.Space()[i] = static_cast<unsigned char>((sent + i) * 7);
      sent += static_cast<uint32_t>(n);
      status = a.Commit(n, f);
    }
    ASSERT_EQ(AgentLinkFrameAssembler::FrameReady, status);
    ASSERT_EQ(length, f.Length());
    size_t wrong = 0;
    for (uint32_t i = 0; i < length; ++i) wrong += f.Payload()[i] != static_cast<unsigned char>(i * 7);
    EXPECT_EQ(0u, wrong);
    EXPECT_EQ(0, f.Payload()[length]);
    a.Release(f);
  }
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
