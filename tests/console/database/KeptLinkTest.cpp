// The connection a page keeps for the writes without a user, over real SQLite: one
// connection for many uses, a dead one replaced without a word, a failed use that
// leaves nothing open behind it, and a database held by another program that a use
// waits for only briefly.
#include <gtest/gtest.h>

#include <functional>

#include "console/KeptLink.h"
#include "console/ODBCDatabase.h"
#include "console/SysServerPortConfig.h"
#include "support/DatabaseLock.h"
#include "support/ModalScript.h"
#include "support/TestDatabase.h"

using namespace qvtest;

namespace {

class KeptLinkTest : public ConnectedDatabaseTest {
 protected:
  void SetUp() override {
    ConnectedDatabaseTest::SetUp();
    lstrcpynW(g_dsnName, TestDatabase::Dsn(), kSettingChars);
    Exec(link, L"insert into Client (IP, Status) values ('10.0.0.1', 0)");
  }
  void TearDown() override { g_dsnName[0] = L'\0'; }
  // Sets the host's status in a transaction of its own, as the pages write a burst.
  static int SetStatus(SQLServerLink& on, int status, const wchar_t* extra = nullptr) {
    if (!on.BeginTransaction()) return 0;
    SQLStatement* update = on.CreateStatement(L"update Client set Status=? where IP='10.0.0.1'");
    if (!update || !update->BindInt(0, status) || !update->Execute()) return 0;
    if (extra && !on.ExecDirect(extra)) return 0;
    return on.Commit();
  }
  int Status() { return Int(link, L"select Status from Client"); }
};

TEST_F(KeptLinkTest, ManyUsesShareOneConnectionAndADeadOneIsReplacedUnseen) {
  KeptLink kept;
  for (int status = 1; status <= 5; ++status) {
    SCOPED_TRACE(status);
    ASSERT_EQ(KeptLink::kDone, kept.Run([&](SQLServerLink& on) { return SetStatus(on, status); }));
    EXPECT_EQ(status, Status());
    ASSERT_TRUE(kept.IsOpen());
    // Nothing stays open on it between uses.
    EXPECT_EQ(nullptr, kept.Link()->Database()->StatementHandle());
    EXPECT_FALSE(kept.Link()->Database()->InTransaction());
  }
  EXPECT_EQ(1, kept.OpenCount());

  // The server went away under the kept connection: the use goes to a new one.
  ASSERT_TRUE(SQL_SUCCEEDED(SQLDisconnect(kept.Link()->Database()->ConnectionHandle())));
  EXPECT_EQ(KeptLink::kDone, kept.Run([&](SQLServerLink& on) { return SetStatus(on, 7); }));
  EXPECT_EQ(7, Status());
  EXPECT_EQ(2, kept.OpenCount());
}

TEST_F(KeptLinkTest, AFailedUseRollsBackClosesAndIsToldWithTheDiagnostic) {
  ModalScript script;
  KeptLink kept;
  ASSERT_EQ(KeptLink::kDone, kept.Run([&](SQLServerLink& on) { return SetStatus(on, 1); }));
  // Fails on the kept connection and again on a new one: told once.
  int tries = 0;
  const KeptLink::Result failed = kept.Run([&](SQLServerLink& on) {
    ++tries;
    return SetStatus(on, 2, L"update NoSuchTable set a=1");
  });
  EXPECT_EQ(KeptLink::kFailed, failed);
  EXPECT_EQ(2, tries);
  EXPECT_FALSE(kept.IsOpen());
  EXPECT_NE(std::wstring::npos, kept.ErrorText().find(L"NoSuchTable"));
  EXPECT_EQ(1, Status());  // rolled back, and no lock left: others write at once
  EXPECT_EQ(1, Exec(link, L"update Client set Status=3"));
  script.ExpectBox(L"错误信息：" + kept.ErrorText(), IDOK);
  kept.Tell(failed, L"错误");

  // No data source: nothing ran; the next use with one opens a connection.
  lstrcpynW(g_dsnName, L"QuorvaneNoSuchSource", kSettingChars);
  tries = 0;
  const KeptLink::Result none = kept.Run([&](SQLServerLink&) { return ++tries; });
  EXPECT_EQ(KeptLink::kNoConnection, none);
  EXPECT_EQ(0, tries);
  script.ExpectBox(L"连接数据库出错", IDOK);
  kept.Tell(none, L"错误");
  kept.Tell(KeptLink::kDone, L"错误");  // nothing to tell
  lstrcpynW(g_dsnName, TestDatabase::Dsn(), kSettingChars);
  EXPECT_EQ(KeptLink::kDone, kept.Run([&](SQLServerLink& on) { return SetStatus(on, 4); }));
  EXPECT_EQ(4, Status());
  EXPECT_EQ(3, kept.OpenCount());
  for (const auto& box : script.Boxes()) {
    EXPECT_EQ(L"错误", box.caption);
    EXPECT_EQ(UINT(MB_ICONHAND), box.style);
  }
}

// Another program holds the database: with a lock wait, a read or a write gives up
// after about that long (the data source's own wait is 5 s here, 100 s by default),
// says busy, and leaves the connection kept with nothing open; once the database is
// free the same connection writes.
TEST_F(KeptLinkTest, ADatabaseHeldByAnotherProgramIsWaitedForBrieflyOnTheKeptConnection) {
  KeptLink kept(250);
  ASSERT_EQ(KeptLink::kDone, kept.Run([&](SQLServerLink& on) { return SetStatus(on, 1); }));
  DatabaseLock lock;
  ASSERT_TRUE(lock.Hold());
  const struct {
    const char* what;
    std::function<int(SQLServerLink&)> work;
  } uses[] = {
      {"a write in a transaction", [](SQLServerLink& on) { return SetStatus(on, 2); }},
      {"a read", [](SQLServerLink& on) {
         SQLStatement* read = on.CreateStatement(L"select Status from Client");
         return read && read->Fetch() ? 1 : 0;
       }},
  };
  for (const auto& use : uses) {
    SCOPED_TRACE(use.what);
    const DWORD start = ::GetTickCount();
    EXPECT_EQ(KeptLink::kBusy, kept.Run(use.work));
    EXPECT_LT(::GetTickCount() - start, 3000u);  // 250 ms once; far from the source's 5 s
    ASSERT_TRUE(kept.IsOpen());
    EXPECT_EQ(nullptr, kept.Link()->Database()->StatementHandle());
    EXPECT_FALSE(kept.Link()->Database()->InTransaction());
  }
  ASSERT_TRUE(lock.Release());
  EXPECT_EQ(KeptLink::kDone, kept.Run([&](SQLServerLink& on) { return SetStatus(on, 3); }));
  EXPECT_EQ(3, Status());
  EXPECT_EQ(1, kept.OpenCount());
}

}  // namespace
