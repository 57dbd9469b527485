// The online updater and the update page against a real HTTP server on 127.0.0.1, with
// copies of executables of known versions standing in for the running console.
#include <gtest/gtest.h>

#include <shlwapi.h>

#include <wininet.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <vector>

#include "console/SystemErrorText.h"
#include "platform/FileHandle.h"
#include "platform/TextConv.h"
#include "platform/WideFormat.h"
#include "support/ChildProcess.h"
#include "support/SmallDisk.h"
#include "support/SysMgmtPageHost.h"
#include "support/TestFiles.h"
#include "sysmgmt/CAutoUpdater.h"
#include "sysmgmt/CSMUPMUpdateDlg.h"
#include "sysmgmt/CSMUpdateDataPathDlg.h"
#include "sysmgmt/CSystemManagementUIHandler.h"
#include "sysmgmt/ExecutableLayout.h"

namespace {

std::wstring Fixture(const char* version) {
  return testenv::WindowsPath(std::string(std::getenv("QV_BINARY_DIR")) + "/updfix/updfix_" + version + ".exe");
}
// The item reached by taking the n-th child at each step down from item.
HTREEITEM Nth(CMulStatusTree& tree, HTREEITEM item, const std::vector<int>& steps) {
  for (int n : steps)
    for (item = tree.GetChildItem(item); n-- > 0;) item = tree.GetNextSiblingItem(item);
  return item;
}

// An update endpoint (tests/support/update_server.py on 127.0.0.1, a free port) serving
// the folder `site`; the running executable is a copy in `app`; downloads go to `temp`;
// the consent question is answered with `answer`.
struct UpdateWorld : CAutoUpdater::Seam {
  UpdateWorld() {
    auto arg = [](const std::wstring& path) { return L" \"" + qv::Utf8ToWide(testenv::UnixPath(path)) + L"\""; };
    if (server.StartUnix(L"/usr/bin/python3" + arg(testenv::SourcePath(L"tests\\support\\update_server.py")) +
                         arg(site.Path()) + arg(state.File(L"port")) + arg(state.File(L"log"))))
      testenv::PollUntil(
          [&] { return !!(std::ifstream(qv::WideToUtf8(state.File(L"port"))) >> port) || server.WaitExit(0); }, 60000);
    wchar_t tmp[MAX_PATH];
    ::GetEnvironmentVariableW(L"TMP", tmp, MAX_PATH);
    savedTmp = tmp;
    ::SetEnvironmentVariableW(L"TMP", temp.Path().c_str());
    Reset();
  }
  ~UpdateWorld() override { ::SetEnvironmentVariableW(L"TMP", savedTmp.c_str()); }
  std::wstring ExecutablePath() override {
    if (atRun) atRun();
    return exe;
  }
  int Ask(const std::wstring&, const std::wstring&) override { return answer; }
  // "http://127.0.0.1:port/<modes>/": how update.txt and the rest are answered (see the server).
  std::wstring Base(const std::wstring& modes = L"ok-ok") const {
    return qv::FormatW(L"http://127.0.0.1:%u/%ls", port, modes.c_str()) + (modes.empty() ? L"" : L"/");
  }
  size_t Requests() const {
    std::ifstream log(qv::WideToUtf8(state.File(L"log")));
    size_t count = 0;
    for (std::string line; std::getline(log, line);) ++count;
    return count;
  }
  void Reset() {
    ::DeleteFileW(backup.c_str());
    ::DeleteFileW(state.File(L"log").c_str());
    ::CopyFileW(Fixture("1_0_0_2").c_str(), exe.c_str(), FALSE);
  }
  void Offer(const std::string& version, const char* executable) {
    testfiles::WriteBytes(site.File(L"update.txt"), version);
    ::CopyFileW(Fixture(executable).c_str(), site.File(L"Quorvane.exe").c_str(), FALSE);
  }
  testenv::TempDir site, state, app, temp;
  testenv::ChildProcess server;  // ends before the folders it serves go
  unsigned port = 0;
  std::wstring savedTmp, exe = app.File(L"Quorvane.exe"), backup = app.File(L"OldExecutable.bak");
  int answer = IDYES;  // 0: the question comes up (to the test's script)
  std::function<void()> atRun;  // as the updater looks for the running executable
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
  ASSERT_TRUE(world.port);
  const struct { const char *name, *offered; const wchar_t* modes; const char* served; int answer, code; } rows[] = {
      {"newer", "1.0.0.3", L"ok-ok", "1_0_0_3", IDYES, 0},   {"same", "1.0.0.2", L"ok-ok", "1_0_0_3", IDYES, 6},
      {"older", "1.0", L"ok-ok", "1_0_0_3", IDYES, 6},       {"line break", "1.0.0.3\n", L"ok-ok", "1_0_0_3", IDYES, 6},
      {"404", "1.0.0.3", L"404-ok", "1_0_0_3", IDYES, 2},    {"500", "1.0.0.3", L"ok-500", "1_0_0_3", IDYES, 2},
      {"cut", "1.0.0.3", L"ok-cut", "1_0_0_3", IDYES, 4},    {"chunked", "1.0.0.3", L"ok-chunked", "1_0_0_3", IDYES, 0},
      {"wrong", "1.0.0.3", L"ok-ok", "1_0_0_4", IDYES, 4},   {"chunked wrong", "1.0.0.3", L"ok-chunked", "1_0_0_4", IDYES, 4},   {"declined", "1.0.0.3", L"ok-ok", "1_0_0_3", IDNO, 7},
      // A chunked answer cut short, before and after the version resource (at 67 %), in the
      // debugging sections and in the symbols at the end.
      {"chunked cut 30 %", "1.0.0.3", L"ok-chunkcut30", "1_0_0_3", IDYES, 4},
      {"chunked cut 62 %", "1.0.0.3", L"ok-chunkcut62", "1_0_0_3", IDYES, 4},
      {"chunked cut 70 %", "1.0.0.3", L"ok-chunkcut70", "1_0_0_3", IDYES, 4},
      {"chunked cut 90 %", "1.0.0.3", L"ok-chunkcut90", "1_0_0_3", IDYES, 4},
      {"chunked cut 99 %", "1.0.0.3", L"ok-chunkcut99", "1_0_0_3", IDYES, 4}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    world.Reset();
    world.Offer(row.offered, row.served);
    world.answer = row.answer;
    CAutoUpdater updater;
    EXPECT_EQ(row.code, updater.CheckForUpdate(world.Base(row.modes)));
    EXPECT_EQ(row.code ? L"1.0.0.2" : L"1.0.0.3", CAutoUpdater::GetFileVersion(world.exe));
    EXPECT_EQ(row.code ? L"" : L"1.0.0.2", CAutoUpdater::GetFileVersion(world.backup));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW((world.exe + L".new").c_str()));
    EXPECT_TRUE(::PathIsDirectoryEmptyW(world.temp.Path().c_str()));
    const bool asksForExecutable = row.code != 6 && std::wstring(row.modes).rfind(L"404", 0) != 0;
    EXPECT_EQ(asksForExecutable ? 2u : 1u, world.Requests());
  }
}

// A file cut anywhere short of its end misses a part that its headers describe; a
// stripped one has no symbols after its sections, so only the sections tell.
TEST(AutoUpdater, AnExecutableIsWholeOnlyWithEveryPartItsHeadersDescribe) {
  for (const char* fixture : {"1_0_0_3", "stripped"}) {
    SCOPED_TRACE(fixture);
    const std::string file = testfiles::ReadBytes(Fixture(fixture));
    ASSERT_GT(file.size(), 20000u);
    if (std::string(fixture) == "stripped") {
      uint32_t pe = 0, symbols = 0;
      std::memcpy(&pe, file.data() + 0x3C, 4);
      ASSERT_LT(pe + 16u, file.size());
      std::memcpy(&symbols, file.data() + pe + 12, 4);
      ASSERT_EQ(0u, symbols) << "the fixture has a symbol table";
    }
    auto check = [](const std::string& bytes, size_t size) {
      return ExecutableLayout::Check(
          [&](uint64_t offset, void* out, size_t length) {
            if (offset > size || length > size - offset) return false;
            std::memcpy(out, bytes.data() + offset, length);
            return true;
          },
          size);
    };
    EXPECT_EQ(ExecutableLayout::kWhole, check(file, file.size()));
    for (size_t cut : {size_t(0), size_t(1), size_t(64), size_t(1024), file.size() * 30 / 100,
                       file.size() * 62 / 100, file.size() * 70 / 100, file.size() * 99 / 100, file.size() - 1}) {
      SCOPED_TRACE(cut);
      EXPECT_EQ(ExecutableLayout::kCutShort, check(file, cut));
    }
    // Another kind of file, whole or not, is told as such: a page, a DOS program.
    std::string dos = file;
    dos[0x3C] = dos[0x3D] = dos[0x3E] = dos[0x3F] = 0;
    for (const std::string& other : {std::string("<html>error</html>"), std::string("M"), dos}) {
      SCOPED_TRACE(other.substr(0, 8));
      EXPECT_EQ(other.size() < 2 ? ExecutableLayout::kCutShort : ExecutableLayout::kNotExecutable,
                check(other, other.size()));
    }
    // A read that fails inside the file is no verdict on the file.
    EXPECT_EQ(ExecutableLayout::kUnreadable,
              ExecutableLayout::Check([](uint64_t, void*, size_t) { return false; }, file.size()));
  }
}

// A chunked answer names no length: the limit is kept while reading.
TEST(AutoUpdater, AnAnswerWithoutLengthIsTakenWholeUpToTheLimit) {
  UpdateWorld world;
  ASSERT_TRUE(world.port);
  world.Offer("1.0.0.3", "1_0_0_3");
  const std::string served = testfiles::ReadBytes(Fixture("1_0_0_3"));
  ASSERT_FALSE(served.empty());
  const DWORD size = static_cast<DWORD>(served.size());
  const struct { const char* name; const wchar_t* modes; DWORD expected, limit; bool ok; } rows[] = {
      {"chunked, room for all", L"ok-chunked", CAutoUpdater::kLengthUnknown, size, true},
      {"chunked, one byte over", L"ok-chunked", CAutoUpdater::kLengthUnknown, size - 1, false},
      {"length over the limit", L"ok-ok", size, size - 1, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    CAutoUpdater updater;
    HINTERNET handle = updater.OpenUrl(world.Base(row.modes) + L"Quorvane.exe");
    ASSERT_TRUE(handle);
    const std::wstring path = world.state.File(L"download.exe");
    EXPECT_EQ(row.ok, updater.DownloadToFile(handle, path, row.expected, row.limit));
    ::InternetCloseHandle(handle);
    EXPECT_TRUE(!row.ok || testfiles::ReadBytes(path) == served);
  }
}

// A read that breaks is told in WinINet's own words, not as a bare number.
TEST(AutoUpdater, AWinINetErrorReadsAsTheSystemsWords) {
  std::wstring text;
  EXPECT_LT(0, GetSystemErrorText(ERROR_INTERNET_CONNECTION_ABORTED, text));
  EXPECT_EQ(text.substr(0, text.find_last_not_of(L"\r\n ") + 1), SystemErrorLine(ERROR_INTERNET_CONNECTION_ABORTED));
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

// A new executable the disk cannot hold beside the running one leaves it as it was and
// nothing half copied.
TEST(AutoUpdater, ASwitchTheDiskCannotHoldLeavesTheRunningExecutable) {
  testenv::SmallDisk disk;
  ASSERT_TRUE(disk.Mounted());
  const std::wstring exe = disk.File(L"Quorvane.exe");
  ASSERT_TRUE(::CopyFileW(Fixture("1_0_0_2").c_str(), exe.c_str(), FALSE));
  ASSERT_TRUE(disk.LeaveRoom(4 * 1024));
  EXPECT_FALSE(CAutoUpdater::SwitchExecutables(exe, Fixture("1_0_0_3"), false));
  EXPECT_EQ(L"1.0.0.2", CAutoUpdater::GetFileVersion(exe));
  EXPECT_EQ(std::vector<std::wstring>{L"Quorvane.exe"}, testenv::SmallDisk::Names(disk.Path()));
}

using UpdatePageTest = qvtest::SysMgmtPageTest;

TEST_F(UpdatePageTest, StartsOnlyOnlineUpdatesAndTakesTheCheckedPackagePath) {
  UpdateWorld world;
  world.Offer("1.0.0.3", "1_0_0_3");
  Run([&](UiDialogDriver& d, CMainDlg& main) {
    CSMUpdateManagementUIHandler& page = *main.SystemManagement()->UpdatePage();
    ASSERT_TRUE(d.ClickTab(CSystemManagementUIHandler::kTabCtrl, 3));  // the page's own head
    EXPECT_TRUE(d.Click(CSMUpdateManagementUIHandler::kStart));  // offline is checked: nothing
    EXPECT_TRUE(0u == world.Requests());
    EXPECT_TRUE(d.Click(CSMUpdateManagementUIHandler::kOnline));
    script.ExpectBox(L"未配置升级地址");
    EXPECT_TRUE(d.Click(CSMUpdateManagementUIHandler::kStart));
    wcscpy(g_updateUrl, world.Base().c_str());
    script.ExpectBox(L"程序将在下次启动时自动更新");
    EXPECT_TRUE(d.Click(CSMUpdateManagementUIHandler::kStart));
    g_updateUrl[0] = L'\0';
    ASSERT_FALSE(page.LastStatus().empty());
    WIN32_FILE_ATTRIBUTE_DATA served{};
    ::GetFileAttributesExW(world.site.File(L"Quorvane.exe").c_str(), GetFileExInfoStandard, &served);
    const unsigned long kb = served.nFileSizeLow / 1024;
    EXPECT_EQ(qv::FormatW(L"已下载 %lu / %lu KB", kb, kb), page.LastStatus().back());

    // Steps below the root: drives C, D, E; D's only folder WebSite holds Main, Upload, Data.
    const struct { std::vector<std::vector<int>> checked; const wchar_t* path; } walks[] = {
        {{}, L""}, {{{1, 0, 2}}, L"D:\\WebSite\\Data"}, {{{1, 0}}, L"D:"},
        {{{1, 0, 0}, {1, 0, 2}}, L"D:\\WebSite\\Main"}, {{{2}, {0}}, L"C:"}};
    for (const auto& walk : walks) {
      SCOPED_TRACE(qv::WideToUtf8(walk.path));
      script.ExpectDialog([&](UiDialogDriver& picker) {
        CSMUpdateDataPathDlg& dlg = *picker.As<CSMUpdateDataPathDlg>();
        for (const auto& steps : walk.checked)
          dlg.Tree().SetCheck(Nth(dlg.Tree(), dlg.Root(), steps), EM_TVIS_CHECK, TRUE);
        EXPECT_TRUE(picker.Click(CSMUpdateDataPathDlg::kItemOk));
      });
      EXPECT_TRUE(d.Click(CSMUpdateManagementUIHandler::kBrowse));
      wchar_t shown[MAX_PATH] = L"";
      ::GetDlgItemTextW(main.GetViewHWnd(), CSMUpdateManagementUIHandler::kPackagePath, shown, MAX_PATH);
      EXPECT_STREQ(walk.path, shown);
    }
  });
}

// A failed update keeps its code and says in words what failed, naming the file or
// folder and the reason; declining says nothing.
TEST_F(UpdatePageTest, FailuresKeepTheirCodeAndSayWhatFailed) {
  UpdateWorld world;
  ASSERT_TRUE(world.port);
  testenv::SmallDisk disk;
  ASSERT_TRUE(disk.Mounted());
  testenv::LoopbackPeer closed(0, false);  // a port nobody answers on
  const unsigned long size = static_cast<unsigned long>(testfiles::ReadBytes(Fixture("1_0_0_3")).size());
  const std::wstring swap = L"自动更新失败（7）：无法用新版本替换本程序文件。";
  const std::wstring onDisk = disk.File(L"Quorvane.exe"), tempOnDisk = disk.Path() + L"\\qvu";
  // Served in place of the executable, with its length or chunked: an error page, and a
  // program of which the server holds only the first 70 %.
  const std::string page = "<html><body>File not found</body></html>";
  const unsigned long part = size * 70 / 100;
  const std::wstring notProgram = qv::FormatW(L"自动更新失败（4）：从升级服务器下载的“Quorvane.exe”（%lu 字节）不是程序文件",
                                              static_cast<unsigned long>(page.size()));
  enum Setup { kPlain, kNoServer, kNoVersion, kHeldSwap, kFullTemp, kFullFolder, kReadOnlyBackup, kServedPage,
               kServedPart };
  const struct { const char *offered, *served; const wchar_t* modes; Setup setup; int answer; std::wstring box; } rows[] = {
      {"1.0.0.3", "1_0_0_3", L"ok-ok", kNoServer, IDYES, L"自动更新失败（2）：无法连接升级服务器"},
      {"1.0.0.3", "1_0_0_3", L"404-ok", kPlain, IDYES, L"自动更新失败（2）：升级服务器上找不到文件 update.txt（HTTP 404）"},
      {"1.0.0.3", "1_0_0_3", L"ok-410", kPlain, IDYES, L"自动更新失败（2）：升级服务器上找不到文件 Quorvane.exe（HTTP 410）"},
      {"1.0.0.3", "1_0_0_3", L"ok-chunkcut70", kPlain, IDYES,
       qv::FormatW(L"自动更新失败（4）：新版本未能完整下载。从升级服务器下载“Quorvane.exe”时连接中断：只收到 %lu 字节，文件不完整",
                   size * 70 / 100)},
      {"1.0.0.3", "1_0_0_3", L"ok-500", kPlain, IDYES,
       L"自动更新失败（2）：升级服务器未能提供文件 Quorvane.exe（HTTP 500）"},
      {"", "1_0_0_3", L"ok-ok", kPlain, IDYES, L"自动更新失败（3）：未能从升级服务器读到版本号（update.txt 为空或读取中断）"},
      // A connection cut and a full disk: the file that did not come, the file that could not be written.
      {"1.0.0.3", "1_0_0_3", L"ok-cut", kPlain, IDYES,
       qv::FormatW(L"自动更新失败（4）：新版本未能完整下载。从升级服务器下载“Quorvane.exe”时连接中断：只收到 %lu 字节，应为 %lu 字节",
                   size / 2, size)},
      {"1.0.0.3", "1_0_0_3", L"ok-ok", kFullTemp, IDYES,
       L"自动更新失败（4）：新版本未能写入临时文件。写入文件“" + tempOnDisk},
      {"1.0.0.3", "1_0_0_4", L"ok-ok", kPlain, IDYES, L"自动更新失败（4）：下载的程序版本（1.0.0.4）与升级服务器公布的版本不符"},
      {"1.0.0.3", "1_0_0_3", L"ok-ok", kNoVersion, IDYES, L"自动更新失败（5）：无法读取本程序的版本号"},
      {"1.0.0.3", "1_0_0_3", L"ok-ok", kHeldSwap, IDYES,
       swap + WriteFailureText(world.exe + L".new", ERROR_ACCESS_DENIED)},
      {"1.0.0.3", "1_0_0_3", L"ok-ok", kFullFolder, IDYES, swap + WriteFailureText(onDisk + L".new", ERROR_DISK_FULL)},
      {"1.0.0.3", "1_0_0_3", L"ok-ok", kReadOnlyBackup, IDYES,
       swap + qv::FormatW(L"无法删除旧的备份文件“%ls”：%ls", world.backup, SystemErrorLine(ERROR_ACCESS_DENIED))},
      {"1.0.0.3", "1_0_0_3", L"ok-ok", kPlain, IDNO, L""},
      // All that was announced came, yet it is no whole program.
      {"1.0.0.3", "1_0_0_3", L"ok-ok", kServedPage, IDYES, notProgram},
      {"1.0.0.3", "1_0_0_3", L"ok-chunked", kServedPage, IDYES, notProgram},
      {"1.0.0.3", "1_0_0_3", L"ok-ok", kServedPart, IDYES,
       qv::FormatW(L"自动更新失败（4）：升级服务器上的“Quorvane.exe”不是完整的程序文件：已收到服务器公布的全部 %lu 字节，"
                   L"但其中缺少程序文件头所述的部分", part)},
  };
  const std::wstring exe = world.exe;
  Run([&](UiDialogDriver& d, CMainDlg& main) {
    ASSERT_TRUE(main.SystemManagement()->ShowUpdatePage());
    main.SetItemCheck(CSMUpdateManagementUIHandler::kOnline, TRUE);
    for (const auto& row : rows) {
      SCOPED_TRACE(qv::WideToUtf8(row.box.empty() ? L"declined" : row.box));
      ::SetFileAttributesW(world.backup.c_str(), FILE_ATTRIBUTE_NORMAL);
      world.exe = row.setup == kFullFolder ? onDisk : exe;
      world.Reset();
      world.Offer(row.offered, row.served);
      if (row.setup == kServedPage) ASSERT_TRUE(testfiles::WriteBytes(world.site.File(L"Quorvane.exe"), page));
      if (row.setup == kServedPart)
        ASSERT_TRUE(testfiles::WriteBytes(world.site.File(L"Quorvane.exe"),
                                          testfiles::ReadBytes(Fixture("1_0_0_3")).substr(0, part)));
      world.answer = row.answer;
      if (row.setup == kNoVersion) ::CopyFileW(Fixture("none").c_str(), world.exe.c_str(), FALSE);
      if (row.setup == kReadOnlyBackup) {
        ASSERT_TRUE(testfiles::WriteBytes(world.backup, "an older backup"));
        ASSERT_TRUE(::SetFileAttributesW(world.backup.c_str(), FILE_ATTRIBUTE_READONLY));
      }
      if (row.setup == kFullTemp) ::SetEnvironmentVariableW(L"TMP", disk.Path().c_str());
      if (row.setup == kFullTemp || row.setup == kFullFolder) {
        ASSERT_TRUE(disk.LeaveRoom(16 * 1024));
      }
      FileHandle held(row.setup == kHeldSwap ? ::CreateFileW((world.exe + L".new").c_str(), GENERIC_READ | GENERIC_WRITE,
                                                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS, 0, nullptr)
                                             : INVALID_HANDLE_VALUE);
      const std::wstring base = row.setup == kNoServer ? qv::FormatW(L"http://127.0.0.1:%u/ok-ok/", unsigned(closed.Port()))
                                                       : world.Base(row.modes);
      wcscpy(g_updateUrl, base.c_str());
      const size_t boxes = script.Boxes().size();
      if (!row.box.empty()) script.ExpectBox(row.box);
      EXPECT_TRUE(d.Click(CSMUpdateManagementUIHandler::kStart));
      ASSERT_EQ(boxes + (row.box.empty() ? 0 : 1), script.Boxes().size());
      if (row.setup == kFullTemp) {
        // The temporary file's name is its own; the rest is fixed.
        const std::wstring text = script.Boxes().back().text, tail = L".tmp”时出错：" + SystemErrorLine(ERROR_DISK_FULL);
        EXPECT_EQ(0u, text.find(row.box)) << qv::WideToUtf8(text);
        EXPECT_TRUE(text.size() > tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0)
            << qv::WideToUtf8(text);
        ::SetEnvironmentVariableW(L"TMP", world.temp.Path().c_str());
      } else if (!row.box.empty()) {
        EXPECT_EQ(row.box, script.Boxes().back().text);
      }
      EXPECT_EQ(row.setup == kNoVersion ? L"" : L"1.0.0.2", CAutoUpdater::GetFileVersion(world.exe));
      EXPECT_EQ(row.setup == kReadOnlyBackup, ::GetFileAttributesW(world.backup.c_str()) != INVALID_FILE_ATTRIBUTES);
      EXPECT_TRUE(::PathIsDirectoryEmptyW(world.temp.Path().c_str()));
      if (row.setup == kFullTemp || row.setup == kFullFolder) {
        EXPECT_EQ(std::vector<std::wstring>(row.setup == kFullFolder ? 1 : 0, L"Quorvane.exe"),
                  testenv::SmallDisk::Names(disk.Path()));
        ASSERT_TRUE(disk.LeaveRoom(1024 * 1024));  // room again
      }
    }
    world.exe = exe;
    ::SetFileAttributesW(world.backup.c_str(), FILE_ATTRIBUTE_NORMAL);
    g_updateUrl[0] = L'\0';
  });
}

// The consent question is owned by the update's status window, which holds the main
// window while the update runs, also when the user has gone to another program meanwhile:
// a box owned by nobody would leave the status window open to clicks under it.
TEST_F(UpdatePageTest, TheQuestionIsOwnedByTheStatusWindowThatHoldsTheConsole) {
  UpdateWorld world;
  ASSERT_TRUE(world.port);
  world.Offer("1.0.0.3", "1_0_0_3");
  world.answer = 0;
  Run([&](UiDialogDriver& d, CMainDlg& main) {
    ASSERT_TRUE(main.SystemManagement()->ShowUpdatePage());
    EXPECT_TRUE(d.Click(CSMUpdateManagementUIHandler::kOnline));
    wcscpy(g_updateUrl, world.Base().c_str());
    for (bool elsewhere : {false, true}) {
      SCOPED_TRACE(elsewhere ? "nothing of the console active" : "the status window active");
      world.Reset();
      world.atRun = [&] {
        if (elsewhere) ::SetActiveWindow(nullptr);
      };
      HWND owner = nullptr, status = nullptr;
      BOOL ownerEnabled = FALSE, mainEnabled = TRUE;
      script.atBox = [&](const UiModalHook::Box& box) {
        owner = box.owner;
        status = ::FindWindowW(nullptr, L"自动更新");  // the box itself is answered unshown
        ownerEnabled = ::IsWindowEnabled(owner);
        mainEnabled = ::IsWindowEnabled(main.m_hWnd);
      };
      script.ExpectBox(L"Quorvane.exe发现新版本, 是否更新?", IDNO);
      EXPECT_TRUE(d.Click(CSMUpdateManagementUIHandler::kStart));
      script.atBox = nullptr;
      EXPECT_EQ(0u, script.Remaining());
      ASSERT_TRUE(status);
      EXPECT_EQ(status, owner) << (owner ? "owned by another window" : "owned by nobody");
      EXPECT_TRUE(ownerEnabled);
      EXPECT_FALSE(mainEnabled);
    }
    g_updateUrl[0] = L'\0';
    EXPECT_EQ(L"1.0.0.2", CAutoUpdater::GetFileVersion(world.exe));
  });
}

// Once the new version is in place the running program is the backup: the page shows
// the version the next start runs, and another start of the update asks the server
// nothing and moves no file.
TEST_F(UpdatePageTest, AnUpdateInPlaceIsShownAndNotStartedAgain) {
  UpdateWorld world;
  ASSERT_TRUE(world.port);
  world.Offer("1.2", "1_2_0_0");
  Run([&](UiDialogDriver& d, CMainDlg& main) {
    ASSERT_TRUE(main.SystemManagement()->ShowUpdatePage());
    EXPECT_TRUE(d.Click(CSMUpdateManagementUIHandler::kOnline));
    CUiWindow* version = d.View().FindChildByCmdID(CSMUpdateManagementUIHandler::kVersionText);
    ASSERT_TRUE(version);
    EXPECT_EQ(L"v1.0.0", version->GetInnerText());
    wcscpy(g_updateUrl, world.Base().c_str());
    script.ExpectBox(L"程序将在下次启动时自动更新");
    EXPECT_TRUE(d.Click(CSMUpdateManagementUIHandler::kStart));
    EXPECT_EQ(L"v1.2（程序将在下次启动时自动更新）", version->GetInnerText());
    const size_t requests = world.Requests();
    EXPECT_EQ(2u, requests);

    script.ExpectBox(L"已升级到 v1.2，无需再次升级。程序将在下次启动时自动更新");
    EXPECT_TRUE(d.Click(CSMUpdateManagementUIHandler::kStart));
    g_updateUrl[0] = L'\0';
    EXPECT_EQ(requests, world.Requests());
    EXPECT_EQ(L"1.2", CAutoUpdater::GetFileVersion(world.exe));
    EXPECT_EQ(L"1.0.0.2", CAutoUpdater::GetFileVersion(world.backup));
    EXPECT_EQ((std::vector<std::wstring>{L"OldExecutable.bak", L"Quorvane.exe"}),
              testenv::SmallDisk::Names(world.app.Path()));
    EXPECT_TRUE(::PathIsDirectoryEmptyW(world.temp.Path().c_str()));
    EXPECT_EQ(L"v1.2（程序将在下次启动时自动更新）", version->GetInnerText());
  });
}

// The update blocks the UI thread: the status window's log box must be in place and
// uncovered as soon as it shows, not after a message loop the update never returns to.
TEST_F(UpdatePageTest, StatusWindowShowsItsLogWithoutAMessageLoop) {
  Run([&](UiDialogDriver&, CMainDlg& main) {
    CSMUPMUpdateDlg status;
    ASSERT_TRUE(status.Show(main.m_hWnd));
    status.AddLine(L"正在检查新版本……");
    RECT box{}, clip{};
    ::GetWindowRect(status.Log(), &box);
    ::GetWindowRect(::GetParent(status.Log()), &clip);
    RECT shown{};
    EXPECT_TRUE(::IntersectRect(&shown, &box, &clip) && shown.right - shown.left > 100 && shown.bottom - shown.top > 50);
  });
}

}  // namespace
