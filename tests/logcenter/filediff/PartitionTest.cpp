// Reading files into partitions, finding lines, counting states.
#include "FileDiffFixture.h"

TEST_F(FileDiffTest, LoadReadsLinesOfAnyLengthFromTheAnsiCodePage) {
  const struct {
    std::string bytes;
    Lines lines;
  } cases[] = {
      {"a\r\nb\n", {L"a", L"b"}},
      {"a\nb", {L"a", L"b"}},
      {"", {}},
      {"\n\r\n", {L"", L""}},
      {"x\ry\r\n", {L"x\ry"}},
      {std::string(5000, 'q') + "\nz", {std::wstring(5000, L'q'), L"z"}},
      {"\xd6\xd0\xce\xc4\r\n", {L"中文"}},  // code page 936
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes.substr(0, 20));
    CFilePartition p;
    ASSERT_EQ(1, Load(p, c.bytes));
    Lines read;
    for (int i = 0; i < p.GetLineCount(); ++i) read.push_back(p.GetLineText(i));
    EXPECT_EQ(c.lines, read);
  }
  CFilePartition p;
  EXPECT_EQ(0, p.Load(L"", CDiffOptions()));
  EXPECT_EQ(0, p.Load(dir.File(L"missing.txt"), CDiffOptions()));
  EXPECT_EQ(0, Load(p, std::string(CFilePartition::kMaxFileBytes + 1, 'a')));
  EXPECT_EQ(0, p.GetLineCount());
}

TEST_F(FileDiffTest, FindLineComparesLinesAsNormalisedFromThePosition) {
  CFilePartition a, b;
  ASSERT_EQ(1, Load(a, "X\nq\n", {L"case;no"}));
  ASSERT_EQ(1, Load(b, "a\nx\nb\nx\n", {L"case;no"}));
  EXPECT_EQ(L"x", a.GetLineText(0));
  EXPECT_EQ(L"X", a.GetStoredText(0));
  EXPECT_EQ(CFilePartition::Hash(L"x"), a.GetLineHash(0));
  EXPECT_EQ(3u * L'a' + L'b', CFilePartition::Hash(L"ab"));
  const struct {
    int line, from;
    bool found;
    int position;
  } cases[] = {{0, 0, true, 1}, {0, 2, true, 3}, {0, 4, false, 4}, {1, 0, false, 0}, {5, 0, false, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line * 10 + c.from);
    int position = c.from;
    EXPECT_EQ(c.found, a.FindLine(c.line, b, position));
    EXPECT_EQ(c.position, position);
  }
}

TEST(FilePartition, CountsStatesAndDumpsThem) {
  CFilePartition p;
  p.SetName(L"side");
  for (int state : {0, 1, 2, 3, 2}) p.AddLineWithState(L"t", state);
  p.AddBlankLine();
  int added, changed, deleted;
  p.CountStates(added, changed, deleted);
  EXPECT_EQ(2, added);
  EXPECT_EQ(1, changed);
  EXPECT_EQ(1, deleted);
  EXPECT_EQ(L"", p.GetStoredText(5));
  EXPECT_EQ(L"side : 6 lines\r\n\r\nNormal Changed Added Deleted Added Normal ", p.DebugText());
}
