// The online updater and the update page against a real HTTP server on 127.0.0.1, with
// copies of executables of known versions standing in for the running console.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/FileHandle.h"
#include "platform/TextConv.h"
#include "platform/WideFormat.h"
#include "support/ChildProcess.h"
#include "support/SysMgmtPageHost.h"
#include "support/TestFiles.h"
#include "support/UpdateServer.h"
#include "sysmgmt/CAutoUpdater.h"
#include "sysmgmt/CSMUpdateDataPathDlg.h"
#include "sysmgmt/CSystemManagementUIHandler.h"

namespace {

std::wstring Fixture(const char* version) {
  return testenv::WindowsPath(std::string(std::getenv("QV_BINARY_DIR")) + "/updfix/updfix_" + version + ".exe");
}
int FileCount(const std::wstring& dir) {
  WIN32_FIND_DATAW found;
  HANDLE find = ::FindFirstFileW((dir + L"\\*").c_str(), &found);
  int count = 0;
  for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = ::FindNextFileW(find, &found))
    count += !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  if (find != INVALID_HANDLE_VALUE) ::FindClose(find);
  return count;
}

// The item at a "\\"-separated path of texts below item.
HTREEITEM FindItem(CMulStatusTree& tree, HTREEITEM item, const std::wstring& path) {
  for (size_t start = 0; item;) {
    const size_t end = path.find(L'\\', start);
    const std::wstring name = path.substr(start, end == std::wstring::npos ? end : end - start);
    for (item = tree.GetChildItem(item); item && tree.GetItemText(item) != name;) item = tree.GetNextSiblingItem(item);
    if (end == std::wstring::npos) return item;
    start = end + 1;
  }
  return nullptr;
}

// The running executable is a copy in a folder of its own; the consent question is answered.
struct UpdateWorld : CAutoUpdater::Seam {
  UpdateWorld() {
    wchar_t tmp[MAX_PATH];
    ::GetEnvironmentVariableW(L"TMP", tmp, MAX_PATH);
    savedTmp = tmp;
    ::SetEnvironmentVariableW(L"TMP", temp.Path().c_str());
    Reset();
  }
  ~UpdateWorld() override { ::SetEnvironmentVariableW(L"TMP", savedTmp.c_str()); }
  std::wstring ExecutablePath() override { return exe; }
  int Ask(const std::wstring&, const std::wstring&) override { return answer; }
  void Reset() {
    ::DeleteFileW(backup.c_str());
    ::CopyFileW(Fixture("1_0_0_2").c_str(), exe.c_str(), FALSE);
    server.ClearRequests();
  }
  void Offer(const std::string& version, const char* executable) {
    testfiles::WriteBytes(server.File(L"update.txt"), version);
    ::CopyFileW(Fixture(executable).c_str(), server.File(L"Quorvane.exe").c_str(), FALSE);
  }
  testenv::UpdateServer server;
  testenv::TempDir app, temp;
  std::wstring savedTmp, exe = app.File(L"Quorvane.exe"), backup = app.File(L"OldExecutable.bak");
  int answer = IDYES;
  Scope scope{*this};
};

TEST(AutoUpdater, ComparesVersionsPartByPartAndRefusesMalformedOnes) {
  const struct { const wchar_t *a, *b; int expected; } rows[] = {
      {L"1.0.0.3", L"1.0.0.2", 1}, {L"1.0.0.2", L"1.0.0.2", 0}, {L"1.0", L"1.0.0.2", -1}, {L"1", L"1.0.0.0", 0},
      {L"2", L"1.9.9.9", 1}, {L"4294967295", L"4294967294", 1}, {L"1.0.0.3\n", L"1.0.0.2", -21},
      {L"", L"1", -21}, {L"1.2.3.4.5", L"1", -21}, {L"1..2", L"1", -21}, {L"1.a", L"1", -21},
      {L"4294967296", L"1", -21}, {L"1", L"x", -22}, {L"1", L"1.", -22}};
  for (const auto& row : rows) {
    SCOPED_TRACE(qv::WideToUtf8(std::wstring(row.a) + L" vs " + row.b));
    EXPECT_EQ(row.expected, CAutoUpdater::CompareVersions(row.a, row.b));
  }
  const struct { const char* fixture; const wchar_t* version; } files[] = {
      {"1_0_0_2", L"1.0.0.2"}, {"1_2_0_0", L"1.2"}, {"none", L""}};
  for (const auto& file : files) EXPECT_EQ(file.version, CAutoUpdater::GetFileVersion(Fixture(file.fixture)));
}

TEST(AutoUpdater, SwapsOnlyAVerifiedDownloadAndLeavesEverythingElseAsItWas) {
  UpdateWorld world;
  ASSERT_TRUE(world.server.Started());
  const struct { const char *name, *offered; const wchar_t* modes; const char* served; int answer, code; } rows[] = {
      {"newer", "1.0.0.3", L"ok-ok", "1_0_0_3", IDYES, 0},   {"same", "1.0.0.2", L"ok-ok", "1_0_0_3", IDYES, 6},
      {"older", "1.0", L"ok-ok", "1_0_0_3", IDYES, 6},       {"line break", "1.0.0.3\n", L"ok-ok", "1_0_0_3", IDYES, 6},
      {"404", "1.0.0.3", L"404-ok", "1_0_0_3", IDYES, 2},    {"500", "1.0.0.3", L"ok-500", "1_0_0_3", IDYES, 2},
      {"cut", "1.0.0.3", L"ok-cut", "1_0_0_3", IDYES, 4},    {"chunked", "1.0.0.3", L"ok-chunked", "1_0_0_3", IDYES, 4},
      {"wrong", "1.0.0.3", L"ok-ok", "1_0_0_4", IDYES, 4},   {"declined", "1.0.0.3", L"ok-ok", "1_0_0_3", IDNO, 7}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    world.Reset();
    world.Offer(row.offered, row.served);
    world.answer = row.answer;
    CAutoUpdater updater;
    EXPECT_EQ(row.code, updater.CheckForUpdate(world.server.Base(row.modes)));
    EXPECT_EQ(row.code ? L"1.0.0.2" : L"1.0.0.3", CAutoUpdater::GetFileVersion(world.exe));
    EXPECT_EQ(row.code ? L"" : L"1.0.0.2", CAutoUpdater::GetFileVersion(world.backup));
    EXPECT_EQ(row.code ? 1 : 2, FileCount(world.app.Path()));
    EXPECT_EQ(0, FileCount(world.temp.Path()));
    const bool asksForExecutable = row.code != 6 && std::wstring(row.modes).rfind(L"404", 0) != 0;
    EXPECT_EQ(asksForExecutable ? 2u : 1u, world.server.Requests().size());
  }
}

TEST(AutoUpdater, SwitchReplacesAnOldBackupAndPutsTheOriginalBackWhenBlocked) {
  UpdateWorld world;
  const std::wstring download = world.temp.File(L"download.exe");
  ::CopyFileW(Fixture("1_0_0_3").c_str(), download.c_str(), FALSE);
  testfiles::WriteBytes(world.backup, "an older backup");
  EXPECT_TRUE(CAutoUpdater::SwitchExecutables(world.exe, download, false));
  EXPECT_EQ(L"1.0.0.3", CAutoUpdater::GetFileVersion(world.exe));
  EXPECT_EQ(L"1.0.0.2", CAutoUpdater::GetFileVersion(world.backup));

  world.Reset();
  FileHandle held(::CreateFileW((world.exe + L".new").c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS, 0, nullptr));
  EXPECT_FALSE(CAutoUpdater::SwitchExecutables(world.exe, download, false));
  EXPECT_EQ(L"1.0.0.2", CAutoUpdater::GetFileVersion(world.exe));
}

using UpdatePageTest = qvtest::SysMgmtPageTest;

TEST_F(UpdatePageTest, StartsOnlyOnlineUpdatesAndTakesTheCheckedPackagePath) {
  UpdateWorld world;
  world.Offer("1.0.0.3", "1_0_0_3");
  Run([&](UiDialogDriver&, CMainDlg& main) {
    CSMUpdateManagementUIHandler& page = *main.SystemManagement()->UpdatePage();
    Command(main, CSMUpdateManagementUIHandler::kStart);  // offline is checked: nothing
    EXPECT_TRUE(world.server.Requests().empty());
    main.SetItemCheck(CSMUpdateManagementUIHandler::kOnline, TRUE);
    script.ExpectBox(L"未配置升级地址");
    Command(main, CSMUpdateManagementUIHandler::kStart);
    wcscpy(g_updateUrl, world.server.Base().c_str());
    script.ExpectBox(L"程序将在下次启动时自动更新");
    Command(main, CSMUpdateManagementUIHandler::kStart);
    g_updateUrl[0] = L'\0';
    ASSERT_FALSE(page.LastStatus().empty());
    WIN32_FILE_ATTRIBUTE_DATA served{};
    ::GetFileAttributesExW(world.server.File(L"Quorvane.exe").c_str(), GetFileExInfoStandard, &served);
    const unsigned long kb = served.nFileSizeLow / 1024;
    EXPECT_EQ(qv::FormatW(L"已下载 %lu / %lu KB", kb, kb), page.LastStatus().back());

    const struct { std::vector<const wchar_t*> checked; const wchar_t* path; } walks[] = {
        {{}, L""},
        {{L"本地磁盘(D:)\\WebSite\\Data"}, L"D:\\WebSite\\Data"},
        {{L"本地磁盘(D:)\\WebSite"}, L"D:"},  // its only folder: the drive is checked
        {{L"本地磁盘(D:)\\WebSite\\Main", L"本地磁盘(D:)\\WebSite\\Data"}, L"D:\\WebSite\\Main"},
        {{L"本地磁盘(E:)", L"本地磁盘(C:)"}, L"C:"}};
    for (const auto& walk : walks) {
      SCOPED_TRACE(qv::WideToUtf8(walk.path));
      script.ExpectDialog([&](UiDialogDriver& d) {
        CSMUpdateDataPathDlg& dlg = *d.As<CSMUpdateDataPathDlg>();
        for (const wchar_t* path : walk.checked)
          dlg.Tree().SetCheck(FindItem(dlg.Tree(), dlg.Root(), path), EM_TVIS_CHECK, TRUE);
        d.Click(CSMUpdateDataPathDlg::kItemOk);
      });
      Command(main, CSMUpdateManagementUIHandler::kBrowse);
      wchar_t shown[MAX_PATH] = L"";
      ::GetDlgItemTextW(main.GetViewHWnd(), CSMUpdateManagementUIHandler::kPackagePath, shown, MAX_PATH);
      EXPECT_STREQ(walk.path, shown);
    }
  });
}

}  // namespace
