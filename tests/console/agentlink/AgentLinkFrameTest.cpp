// Frame layout and reassembly, without sockets; and the replay of the fuzz
// corpus and of every input that ever made the fuzzer fail.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "AgentLinkFrameCheck.h"
#include "console/AgentLinkFrameAssembler.h"
#include "console/AgentLinkFrameHeader.h"
#include "platform/TextConv.h"
#include "support/LoopbackPeer.h"
#include "support/TestEnv.h"

namespace {

std::vector<unsigned char> MakeFrame(uint32_t type, uint32_t wParam, uint32_t id,
                                     const std::vector<unsigned char>& payload) {
  return testenv::LoopbackPeer::Frame(type, wParam, id, payload.data(), uint32_t(payload.size()));
}

std::vector<unsigned char> Pattern(size_t n, unsigned seed) {
  std::vector<unsigned char> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<unsigned char>(i * 31 + seed);
  return v;
}

struct Seen {
  AgentLinkFrameHeader header;
  std::vector<unsigned char> payload;
  bool inlineBuffer;
  bool padded;
};

std::vector<Seen> FeedInChunks(AgentLinkFrameAssembler& a, const std::vector<unsigned char>& bytes,
                               size_t chunk, AgentLinkFrameAssembler::Status* last = nullptr) {
  std::vector<Seen> seen;
  AgentLinkFrameAssembler::Status s = AgentLinkFrameAssembler::NeedMore;
  for (size_t off = 0; off < bytes.size() && s == AgentLinkFrameAssembler::NeedMore; off += chunk) {
    size_t n = std::min(chunk, bytes.size() - off);
    s = a.Feed(bytes.data() + off, n, [&](AgentLinkFrameAssembler::Frame& f) {
      Seen x{f.Header(), {}, f.IsInline(), true};
      if (f.Payload()) {
        x.payload.assign(f.Payload(), f.Payload() + f.Length());
        for (uint32_t i = 0; i < AgentLinkFrameAssembler::kPadding; ++i)
          x.padded &= f.Payload()[f.Length() + i] == 0;
      }
      seen.push_back(x);
    });
  }
  if (last) *last = s;
  return seen;
}

}  // namespace

TEST(AgentLinkFrameAssembler, SplitAtEveryChunkSizeGivesTheSameFrames) {
  std::vector<unsigned char> stream;
  auto add = [&](const std::vector<unsigned char>& f) {
    stream.insert(stream.end(), f.begin(), f.end());
  };
  add(MakeFrame(0, 0x0A01A8C0u, 1529, {}));
  add(MakeFrame(2, 0, 1525, Pattern(52, 1)));
  add(MakeFrame(1, 7, 1536, Pattern(4096, 2)));
  add(MakeFrame(0, 0, 1532, Pattern(5000, 3)));
  for (size_t chunk : {size_t(1), size_t(2), size_t(3), size_t(15), size_t(16), size_t(17),
                       size_t(4111), size_t(100000)}) {
    AgentLinkFrameAssembler a;
    std::vector<Seen> seen = FeedInChunks(a, stream, chunk);
    ASSERT_EQ(4u, seen.size()) << "chunk " << chunk;
    EXPECT_EQ(1529u, seen[0].header.lParam);
    EXPECT_EQ(0x0A01A8C0u, seen[0].header.wParam);
    EXPECT_TRUE(seen[0].payload.empty());
    EXPECT_EQ(Pattern(52, 1), seen[1].payload);
    EXPECT_EQ(Pattern(4096, 2), seen[2].payload);
    EXPECT_TRUE(seen[2].inlineBuffer);
    EXPECT_EQ(Pattern(5000, 3), seen[3].payload);
    EXPECT_FALSE(seen[3].inlineBuffer);
    for (const Seen& s : seen) EXPECT_TRUE(s.padded);
    EXPECT_FALSE(a.InPayload());
    EXPECT_EQ(0u, a.Received());
  }
}

TEST(AgentLinkFrameAssembler, LengthAboveSixteenMiBIsAProtocolErrorUntilReset) {
  AgentLinkFrameAssembler a;
  AgentLinkFrameAssembler::Status last;
  // Exactly 16 MiB is taken.
  std::vector<unsigned char> header = MakeFrame(0, 0, 1532, {});
  AgentLinkFrameHeader{AgentLinkFrameAssembler::kMaxPayload, 0, 0, 1532}.Write(header.data());
  EXPECT_TRUE(FeedInChunks(a, header, 16, &last).empty());
  EXPECT_EQ(AgentLinkFrameAssembler::NeedMore, last);
  EXPECT_TRUE(a.InPayload());
  EXPECT_EQ(AgentLinkFrameAssembler::kMaxPayload, a.SpaceSize());

  a.Reset();
  AgentLinkFrameHeader{AgentLinkFrameAssembler::kMaxPayload + 1, 2, 0, 1525}.Write(header.data());
  EXPECT_TRUE(FeedInChunks(a, header, 16, &last).empty());
  EXPECT_EQ(AgentLinkFrameAssembler::TooLong, last);
  EXPECT_TRUE(a.Failed());
  EXPECT_EQ(0u, a.SpaceSize());
  EXPECT_EQ(nullptr, a.Space());

  a.Reset();
  std::vector<Seen> seen = FeedInChunks(a, MakeFrame(3, 0, 1527, Pattern(8, 9)), 5, &last);
  ASSERT_EQ(1u, seen.size());
  EXPECT_EQ(Pattern(8, 9), seen[0].payload);
}

TEST(AgentLinkFrameAssembler, AFrameStillInUseKeepsItsBytesWhileTheNextOneArrives) {
  // A receiver that runs a nested loop holds its frame while later frames are
  // read: the small frame behind it must not land in the same inline buffer.
  AgentLinkFrameAssembler a;
  std::vector<unsigned char> first = MakeFrame(0, 0, 1546, Pattern(100, 4));
  std::vector<unsigned char> second = MakeFrame(0, 0, 1532, Pattern(100, 5));
  AgentLinkFrameAssembler::Frame held, next;
  auto push = [&](const std::vector<unsigned char>& bytes, AgentLinkFrameAssembler::Frame& out) {
    AgentLinkFrameAssembler::Status s = AgentLinkFrameAssembler::NeedMore;
    for (size_t off = 0; off < bytes.size();) {
      size_t n = std::min(a.SpaceSize(), bytes.size() - off);
      std::memcpy(a.Space(), bytes.data() + off, n);
      off += n;
      s = a.Commit(n, out);
    }
    return s;
  };
  ASSERT_EQ(AgentLinkFrameAssembler::FrameReady, push(first, held));
  EXPECT_TRUE(held.IsInline());
  ASSERT_EQ(AgentLinkFrameAssembler::FrameReady, push(second, next));
  EXPECT_FALSE(next.IsInline());
  EXPECT_EQ(0, std::memcmp(held.Payload(), Pattern(100, 4).data(), 100));
  EXPECT_EQ(0, std::memcmp(next.Payload(), Pattern(100, 5).data(), 100));
  a.Release(next);
  a.Release(held);
  EXPECT_FALSE(a.InlineLent());
  AgentLinkFrameAssembler::Frame third;
  ASSERT_EQ(AgentLinkFrameAssembler::FrameReady, push(first, third));
  EXPECT_TRUE(third.IsInline());
  a.Release(third);
}

TEST(AgentLinkFrameAssembler, CommitNeverStepsPastTheMissingBytes) {
  AgentLinkFrameAssembler a;
  AgentLinkFrameAssembler::Frame f;
  EXPECT_EQ(16u, a.SpaceSize());
  std::vector<unsigned char> frame = MakeFrame(2, 0, 1526, Pattern(8, 6));
  std::memcpy(a.Space(), frame.data(), 16);
  EXPECT_EQ(AgentLinkFrameAssembler::NeedMore, a.Commit(1000, f));  // a careless count is cut to 16
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
