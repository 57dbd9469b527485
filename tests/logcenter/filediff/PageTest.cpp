// The comparison page, its file, and showing it through the shell.
#include "FileDiffFixture.h"
#include "logcenter/ShowFileComparison.h"
#include "platform/TextConv.h"
#include "support/FakeShellServices.h"
#include "support/SmallDisk.h"

namespace {

std::wstring Page(const Lines& a, const Lines& b) {
  CFilePartition pa, pb, outA, outB;
  Fill(pa, a);
  Fill(pb, b);
  pa.SetName(L"旧<1>.txt");
  pb.SetName(L"new&.txt");
  CFileDiff diff;
  diff.Compare(pa, pb, outA, outB);
  return diff.WriteHtml(outA, outB);
}

}  // namespace

TEST(FileDiffPage, ShowsRowsSideBySideEscapedAndCountsTheChanges) {
  const std::wstring page =
      Page({L"", L"same", L"\tif (a < b)", L"old", L" \t gone\t<x>", L"\t\t", L"tail"},
           {L"", L"same", L"\tif (a < b) {", L"new", L"tail", L"added & more"});
  EXPECT_EQ(ReadFile(testenv::SourcePath(L"tests\\logcenter\\filediff\\golden.html")),
            qv::WideToUtf8(page));
  EXPECT_EQ(L"    &lt;", CFileDiff::EscapeLine(L"\t<"));
  EXPECT_NE(std::wstring::npos,
            Page({L"a"}, {L"a"}).find(L"<b>Files are identical.</font><br><table"));
  const std::wstring empty = Page({}, {}), end = L"</table>\r\n\r\n<br>\r\n\r\n<br>empty files";
  EXPECT_EQ(end, empty.substr(empty.size() - end.size()));
}

TEST_F(FileDiffTest, ShowSavesTheUtf8PageInTheTempFolderAndOpensIt) {
  EXPECT_EQ(0, CFileDiff::SaveToFile(dir.File(L"no\\such\\page.html"), "x"));

  testfiles::WriteBytes(dir.File(L"old.txt"), "same\n\xd6\xd0\xce\xc4\n");
  testfiles::WriteBytes(dir.File(L"new.txt"), "same\n");
  FakeShellServices shell;
  EXPECT_EQ(0, ShowFileComparison(dir.File(L"old.txt"), dir.File(L"missing.txt")));
  ASSERT_EQ(1, ShowFileComparison(dir.File(L"old.txt"), dir.File(L"new.txt")));
  ASSERT_EQ(1u, shell.Calls().size());
  const std::wstring page = shell.Calls()[0].path;
  EXPECT_EQ(ShellServices::kOpenPath, shell.Calls()[0].kind);
  wchar_t temp[MAX_PATH];
  ::GetTempPathW(MAX_PATH, temp);
  EXPECT_EQ(0u, page.find(temp));
  EXPECT_EQ(L".html", page.substr(page.size() - 5));
  EXPECT_NE(std::string::npos, ReadFile(page).find(qv::WideToUtf8(L"<b>1</b> 中文</td>")));
  ::DeleteFileW(page.c_str());
}

namespace {

// A page the disk cannot hold is neither left half written nor shown, and a page file
// it was to replace stays as it was.
TEST_F(FileDiffTest, APageTheDiskCannotHoldIsNeitherLeftNorShown) {
  testenv::SmallDisk disk;
  ASSERT_TRUE(disk.Mounted());
  const std::wstring page = disk.EarlierFile(L"页.html", "earlier", 8 * 1024);
  ASSERT_FALSE(page.empty());
  EXPECT_EQ(0, CFileDiff::SaveToFile(page, std::string(64 * 1024, 'p')));
  EXPECT_EQ("earlier", testfiles::ReadBytes(page));

  std::string lines;
  for (int i = 0; i < 2000; ++i) lines += "line " + std::to_string(i) + "\n";
  testfiles::WriteBytes(dir.File(L"old.txt"), lines);
  testfiles::WriteBytes(dir.File(L"new.txt"), "other\n");
  wchar_t tmp[MAX_PATH] = L"";
  ::GetEnvironmentVariableW(L"TMP", tmp, MAX_PATH);
  ::SetEnvironmentVariableW(L"TMP", disk.Path().c_str());  // the page goes to the temporary folder
  FakeShellServices shell;
  EXPECT_EQ(0, ShowFileComparison(dir.File(L"old.txt"), dir.File(L"new.txt")));
  ::SetEnvironmentVariableW(L"TMP", *tmp ? tmp : nullptr);
  EXPECT_TRUE(shell.Calls().empty());
  EXPECT_EQ(std::vector<std::wstring>{L"页.html"}, testenv::SmallDisk::Names(disk.Path()));
}

}  // namespace
