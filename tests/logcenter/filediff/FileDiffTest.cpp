// Reading files, finding lines, and the rows of a comparison: the edge cases, the
// options, and random pairs against a plain longest-common-subsequence table.
#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>

#include "FileDiffFixture.h"
#include "logcenter/SequenceDiff.h"

TEST_F(FileDiffTest, LoadReadsLinesOfAnyLengthFromTheAnsiCodePage) {
  const struct {
    std::string bytes;
    Lines lines;
  } cases[] = {
      {"a\r\nb\n", {L"a", L"b"}},
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
  ASSERT_TRUE(Load(a, "X\nq\n", L"case", L"no") && Load(b, "a\nx\nb\nx\n", L"case", L"no"));
  EXPECT_EQ(a.GetName() + L" : 2 lines\r\n\r\nNormal Normal ", a.DebugText());
  // line, from, found, position afterwards
  const int cases[][4] = {{0, 0, 1, 1}, {0, 2, 1, 3}, {0, 4, 0, 4}, {1, 0, 0, 0}, {5, 0, 0, 0}};
  for (const auto& c : cases) {
    int position = c[1];
    EXPECT_EQ(c[2] != 0, a.FindLine(c[0], b, position)) << c[0] << " from " << c[1];
    EXPECT_EQ(c[3], position) << c[0] << " from " << c[1];
  }
}

TEST_F(FileDiffTest, RowsPairChangesAndRealignAfterBlocks) {
  const struct {
    std::string a, b;
    Lines rows;
    std::wstring option = L"", value = L"";
  } cases[] = {
      {"a\nb\n", "a\r\nb", {L"a00a", L"b00b"}},
      {"", "x\ny\n", {L"02x", L"02y"}},
      {"a\nb\nc\n", "a\nX\nc\n", {L"a00a", L"b11X", L"c00c"}},
      {"a\nb\nc\n", "a\nn1\nn2\nb\nc\n", {L"a00a", L"02n1", L"02n2", L"b00b", L"c00c"}},
      {"a\nb\nc\nd\n", "a\nX\nd\n", {L"a00a", L"b11X", L"c30", L"d00d"}},
      {"\t  if\n  \nx\n", "if\n\nx\n", {L"\t  if00if", L"  11", L"x00x"}, L"indent", L"yes"},
      {"Hello\n", "hELLO\n", {L"Hello00hELLO"}, L"case", L"no"},
      {"Hello\n", "hello\n", {L"Hello11hello"}, L"case", L"yes"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.a + " | " + c.b);
    CFilePartition outA, outB;
    {
      CFilePartition a, b;
      ASSERT_TRUE(Load(a, c.a, c.option, c.value) && Load(b, c.b, c.option, c.value));
      EXPECT_EQ(1, CFileDiff().Compare(a, b, outA, outB));
    }  // the result sides keep the files' text
    EXPECT_EQ(c.rows, Rows(outA, outB));
  }
}

namespace {

// Checks the rows against the two inputs; the number of deleted plus added lines.
int CheckRows(const Lines& a, const Lines& b, const CFilePartition& outA,
              const CFilePartition& outB) {
  Lines left, right, applied;  // applied: the edit script carried out on `a`
  int edits = 0;
  for (int k = 0; k < outA.GetLineCount(); ++k) {
    const int sa = outA.GetLineState(k), sb = outB.GetLineState(k);
    const std::wstring ta(outA.GetStoredText(k)), tb(outB.GetStoredText(k));
    const bool kept = sa == 0 && sb == 0;
    if (sb != 2) left.push_back(ta);
    if (sa != 3) right.push_back(tb);
    if (kept ? ta != tb : (sb == 2 && !ta.empty()) || (sa == 3 && !tb.empty())) ADD_FAILURE() << k;
    if (kept && left.size() <= a.size()) applied.push_back(a[left.size() - 1]);
    if (sa == 1 || sb == 2) applied.push_back(tb);
    edits += (sa == 1) * 2 + (sa == 3) + (sb == 2);
  }
  EXPECT_TRUE(a == left && b == right && b == applied);
  return edits;
}

int PlainLcs(const Lines& a, const Lines& b) {
  std::vector<std::vector<int>> t(a.size() + 1, std::vector<int>(b.size() + 1, 0));
  for (size_t i = a.size(); i-- > 0;)
    for (size_t j = b.size(); j-- > 0;)
      t[i][j] = a[i] == b[j] ? t[i + 1][j + 1] + 1 : std::max(t[i + 1][j], t[i][j + 1]);
  return t[0][0];
}

int Compare(const Lines& a, const Lines& b) {
  CFilePartition pa, pb, outA, outB;
  Fill(pa, a);
  Fill(pb, b);
  CFileDiff().Compare(pa, pb, outA, outB);
  return CheckRows(a, b, outA, outB);
}

}  // namespace

TEST(FileDiffProperty, RandomPairsRebuildBothFilesWithTheFewestEdits) {
  std::mt19937 random(33);
  for (int run = 0; run < 3000; ++run) {
    Lines a(random() % 40), b(random() % 40);
    for (Lines* side : {&a, &b})
      for (auto& line : *side) line = std::wstring(1, L'a' + random() % (2 + run % 4));
    if (run % 3 == 0) b.insert(b.begin() + b.size() / 2, a.begin(), a.end());
    SCOPED_TRACE(run);
    ASSERT_EQ(int(a.size() + b.size()) - 2 * PlainLcs(a, b), Compare(a, b));
  }
}

TEST(FileDiffProperty, LargeFilesThatShareNoLineOrAreShuffledStayBounded) {
  const int n = 100000;
  std::vector<int> order(n), mixed;
  std::iota(order.begin(), order.end(), 0);
  mixed = order;
  std::shuffle(mixed.begin(), mixed.end(), std::mt19937(7));
  Lines a(n), b(n), shuffled(n);
  for (int i = 0; i < n; ++i)
    a[i] = L"old " + std::to_wstring(i), b[i] = L"new " + std::to_wstring(i),
    shuffled[i] = L"old " + std::to_wstring(mixed[i]);
  Compare(a, b);
  Compare(a, shuffled);
  SequenceDiff diff;
  diff.Run(order, mixed, n);
  const double total = 2.0 * n;
  EXPECT_LT(double(diff.Work()), 2 * total * std::sqrt(total));
}
