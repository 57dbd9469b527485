// Rows of a comparison: the edge cases, the options, and random pairs against a plain
// longest-common-subsequence table.
#include <algorithm>
#include <random>

#include "FileDiffFixture.h"
#include "logcenter/SequenceDiff.h"

TEST_F(FileDiffTest, RowsPairChangesAndRealignAfterBlocks) {
  const struct {
    std::string a, b;
    Lines options, rows;
  } cases[] = {
      {"a\nb\n", "a\r\nb", {}, {L"a=a", L"b=b"}},
      {"", "x\ny\n", {}, {L"+x", L"+y"}},
      {"x\ny\n", "", {}, {L"x-", L"y-"}},
      {"a\nb\nc\n", "a\nX\nc\n", {}, {L"a=a", L"b~X", L"c=c"}},
      {"a\nb\nc\n", "a\nn1\nn2\nb\nc\n", {}, {L"a=a", L"+n1", L"+n2", L"b=b", L"c=c"}},
      {"a\nb\nc\nd\n", "a\nX\nd\n", {}, {L"a=a", L"b~X", L"c-", L"d=d"}},
      {"\t  if\n  \nx\n", "if\n\nx\n", {L"indent;yes"}, {L"\t  if=if", L"  ~", L"x=x"}},
      {"Hello\n", "hELLO\n", {L"case;no"}, {L"Hello=hELLO"}},
      {"Hello\n", "hello\n", {L"case;yes"}, {L"Hello~hello"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.a + " | " + c.b);
    CFilePartition a, b, outA, outB;
    ASSERT_EQ(1, Load(a, c.a, c.options));
    ASSERT_EQ(1, Load(b, c.b, c.options));
    EXPECT_EQ(1, CFileDiff().Compare(a, b, outA, outB));
    EXPECT_EQ(c.rows, Rows(outA, outB));
    EXPECT_EQ(a.GetName(), outA.GetName());
    EXPECT_EQ(b.GetName(), outB.GetName());
  }
}

namespace {

// Checks the rows against the two inputs; the number of deleted plus added lines.
int CheckRows(const Lines& a, const Lines& b, const CFilePartition& outA, const CFilePartition& outB) {
  Lines leftA, rightB, applied;
  int edits = 0;
  size_t ia = 0;
  for (int k = 0; k < outA.GetLineCount(); ++k) {
    const int sa = outA.GetLineState(k), sb = outB.GetLineState(k);
    const std::wstring &ta = outA.GetStoredText(k), &tb = outB.GetStoredText(k);
    if (sb != 2) leftA.push_back(ta);
    if (sa != 3) rightB.push_back(tb);
    if (sa == 0 && sb == 0) {
      EXPECT_EQ(ta, tb) << k;
      if (ia < a.size()) applied.push_back(a[ia]);
    }
    if (sa == 1 || sb == 2) applied.push_back(tb);
    if (sb != 2) ++ia;
    if ((sb == 2 && !ta.empty()) || (sa == 3 && !tb.empty())) ADD_FAILURE() << "text opposite " << k;
    edits += (sa == 1) * 2 + (sa == 3) + (sb == 2);
  }
  EXPECT_EQ(a, leftA);
  EXPECT_EQ(b, rightB);
  EXPECT_EQ(b, applied);
  return edits;
}

int PlainLcs(const Lines& a, const Lines& b) {
  std::vector<std::vector<int>> t(a.size() + 1, std::vector<int>(b.size() + 1, 0));
  for (size_t i = a.size(); i-- > 0;)
    for (size_t j = b.size(); j-- > 0;)
      t[i][j] = a[i] == b[j] ? t[i + 1][j + 1] + 1 : std::max(t[i + 1][j], t[i][j + 1]);
  return t[0][0];
}

}  // namespace

TEST(FileDiffProperty, RandomPairsRebuildBothFilesWithTheFewestEdits) {
  std::mt19937 random(33);
  for (int run = 0; run < 3000; ++run) {
    const int letters = 2 + run % 4;
    Lines a(random() % 40), b(random() % 40);
    for (auto& line : a) line = std::wstring(1, L'a' + random() % letters);
    for (auto& line : b) line = std::wstring(1, L'a' + random() % letters);
    if (run % 3 == 0) b.insert(b.begin() + b.size() / 2, a.begin(), a.end());
    CFilePartition pa, pb, outA, outB;
    Fill(pa, a);
    Fill(pb, b);
    CFileDiff().Compare(pa, pb, outA, outB);
    SCOPED_TRACE(run);
    ASSERT_EQ(int(a.size() + b.size()) - 2 * PlainLcs(a, b), CheckRows(a, b, outA, outB));
  }
}

TEST(FileDiffProperty, LargeFilesThatShareNoLineOrAreShuffledStayBounded) {
  const int n = 100000;
  Lines a(n), b(n), shuffled;
  for (int i = 0; i < n; ++i) a[i] = L"old line " + std::to_wstring(i), b[i] = L"new " + std::to_wstring(i);
  std::mt19937 random(7);
  shuffled = a;
  std::shuffle(shuffled.begin(), shuffled.end(), random);
  for (const Lines* other : {&b, &shuffled}) {
    CFilePartition pa, pb, outA, outB;
    Fill(pa, a);
    Fill(pb, *other);
    CFileDiff().Compare(pa, pb, outA, outB);
    CheckRows(a, *other, outA, outB);
  }
  std::vector<int> order(n), mixed(n);
  for (int i = 0; i < n; ++i) order[i] = i;
  mixed = order;
  std::shuffle(mixed.begin(), mixed.end(), random);
  SequenceDiff diff;
  diff.Run(order, mixed, n);
  const double total = 2.0 * n;
  EXPECT_LT(double(diff.Work()), 4 * total * std::sqrt(total));
  std::printf("work %.0f, bound %.0f\n", double(diff.Work()), total * std::sqrt(total));
}
