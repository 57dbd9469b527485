// Frame layout and reassembly, without sockets; and the replay of the fuzz
// corpus and of every input that ever made the fuzzer fail.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "AgentLinkFrameCheck.h"
#include "console/AgentLinkFrameAssembler.h"
#include "console/AgentLinkFrameHeader.h"
#include "platform/TextConv.h"
#include "support/TestEnv.h"

namespace {

std::vector<unsigned char> MakeFrame(uint32_t type, uint32_t wParam, uint32_t id,
                                     const std::vector<unsigned char>& payload) {
  std::vector<unsigned char> out(16 + payload.size());
  AgentLinkFrameHeader h = {uint32_t(payload.size()), type, wParam, id};
  h.Write(out.data());
  if (!payload.empty()) std::memcpy(&out[16], payload.data(), payload.size());
  return out;
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

TEST(AgentLinkFrameHeader, WritesSixteenLittleEndianBytes) {
  AgentLinkFrameHeader h = {0x01020304u, 1, 0x0A01A8C0u, 1538};
  unsigned char bytes[16];
  h.Write(bytes);
  const unsigned char expected[16] = {0x04, 0x03, 0x02, 0x01, 1,    0,    0, 0,
                                      0xC0, 0xA8, 0x01, 0x0A, 0x02, 0x06, 0, 0};
  EXPECT_EQ(0, std::memcmp(bytes, expected, 16));
  AgentLinkFrameHeader back = AgentLinkFrameHeader::Read(bytes);
  EXPECT_EQ(h.length, back.length);
  EXPECT_EQ(h.type, back.type);
  EXPECT_EQ(h.wParam, back.wParam);
  EXPECT_EQ(h.lParam, back.lParam);
}

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
  std::vector<unsigned char> bytes(16);
  AgentLinkFrameHeader h = {AgentLinkFrameAssembler::kMaxPayload + 1, 2, 0, 1525};
  h.Write(bytes.data());
  EXPECT_TRUE(FeedInChunks(a, bytes, 16, &last).empty());
  EXPECT_EQ(AgentLinkFrameAssembler::TooLong, last);
  EXPECT_TRUE(a.Failed());
  EXPECT_EQ(0u, a.SpaceSize());
  EXPECT_EQ(nullptr, a.Space());

  a.Reset();
  std::vector<unsigned char> ok = MakeFrame(3, 0, 1527, Pattern(8, 9));
  std::vector<Seen> seen = FeedInChunks(a, ok, 5, &last);
  ASSERT_EQ(1u, seen.size());
  EXPECT_EQ(Pattern(8, 9), seen[0].payload);
}

TEST(AgentLinkFrameAssembler, ExactlySixteenMiBIsAccepted) {
  AgentLinkFrameAssembler a;
  unsigned char header[16];
  AgentLinkFrameHeader h = {AgentLinkFrameAssembler::kMaxPayload, 0, 0, 1532};
  h.Write(header);
  AgentLinkFrameAssembler::Status s = a.Feed(header, 16, [](AgentLinkFrameAssembler::Frame&) {});
  EXPECT_EQ(AgentLinkFrameAssembler::NeedMore, s);
  EXPECT_TRUE(a.InPayload());
  EXPECT_EQ(AgentLinkFrameAssembler::kMaxPayload, a.SpaceSize());
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
      HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               0, nullptr);
      ASSERT_NE(INVALID_HANDLE_VALUE, h);
      std::vector<unsigned char> data(::GetFileSize(h, nullptr));
      DWORD got = 0;
      BOOL ok = data.empty() || ::ReadFile(h, data.data(), DWORD(data.size()), &got, nullptr);
      ::CloseHandle(h);
      ASSERT_TRUE(ok && got == data.size());
      const char* problem = agentlink_check::CheckStream(data.data(), data.size());
      EXPECT_EQ(nullptr, problem) << "input " << qv::WideToUtf8(path) << ": "
                                  << (problem ? problem : "");
      ++files;
    } while (::FindNextFileW(find, &fd));
    ::FindClose(find);
  }
  EXPECT_GE(files, 8u);
}
