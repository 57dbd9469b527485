// Connections, statements, errors, row limits and transactions of
// SQLServerLink over real SQLite through unixODBC.
#include <gtest/gtest.h>

#include <cwchar>
#include <functional>
#include <string>

#include "console/ConnectOrTell.h"
#include "console/ListReadFailure.h"
#include "console/ODBCDatabase.h"
#include "console/RecordGone.h"
#include "console/RunInTransaction.h"
#include "console/StoreAndTell.h"
#include "console/SysServerPortConfig.h"
#include "platform/TextConv.h"
#include "support/ConnectionWatch.h"
#include "support/DatabaseLock.h"
#include "support/TestDatabase.h"

using namespace qvtest;

namespace {

const wchar_t* const kDsn = TestDatabase::Dsn();

class LinkTest : public DatabaseTest {};
class ConnectedLinkTest : public ConnectedDatabaseTest {};

TEST_F(LinkTest, EnvironmentIsSharedAndFreedWithTheLastDatabase) {
  {
    SQLServerLink first, second;
    EXPECT_EQ(1, g_odbcEnvRefCount);
    EXPECT_EQ(1, first.Connect(kDsn, L"", L""));
    EXPECT_EQ(1, second.Connect(kDsn, L"", L""));
  }
  EXPECT_EQ(-1, g_odbcEnvRefCount);
  EXPECT_EQ(nullptr, g_odbcEnvironment);
}

TEST_F(LinkTest, ConnectKeepsItsFirstResultUntilDisconnect) {
  SQLServerLink link;
  EXPECT_EQ(0, link.Connect(L"QuorvaneNoSuchSource", L"", L""));
  EXPECT_STREQ("IM002", g_odbcSqlState);
  EXPECT_EQ(0, link.Connect(kDsn, L"", L""));
  EXPECT_EQ(nullptr, link.CreateStatement(L"select 1"));
  link.Disconnect();
  EXPECT_EQ(nullptr, link.Database()->ConnectionHandle());
  EXPECT_EQ(1, link.Connect(kDsn, L"", L""));
  EXPECT_EQ(1, link.Connect(L"QuorvaneNoSuchSource", L"", L""));
  link.Disconnect();
  link.Disconnect();
  EXPECT_EQ(0, link.ConnectCount());

  // A missing database file fails the connect instead of being created empty.
  ASSERT_TRUE(DeleteFileW(TestDatabase::File().c_str()));
  EXPECT_EQ(0, link.Connect(kDsn, L"", L""));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(TestDatabase::File().c_str()));
}

TEST_F(ConnectedLinkTest, ValuesAreCopiedAtBindTimeAndRowsOutliveTheirHandle) {
  SQLStatement* st = nullptr;
  {
    std::wstring ip = L"10.0.0.7", name = L"主机七";
    st = Prepare(link, L"insert into Client (IP, Name) values (?, ?)", {ip.c_str(), name.c_str()});
    ip.assign(ip.size(), L'x');
    name.assign(name.size(), L'y');
  }
  ASSERT_EQ(1, st->Execute());
  SQLStatement* first = Row(link, L"select IP, Name from Client");
  ASSERT_NE(nullptr, first);
  // A new statement takes the link's one handle: the old one must not run
  // or read the new one's.
  SQLStatement* second = link.CreateStatement(L"select max(IP), max(Name) from Client");
  ASSERT_NE(nullptr, second);
  EXPECT_EQ(nullptr, first->GetString(0));
  EXPECT_EQ(0, first->Fetch());
  EXPECT_EQ(1, first->Failed());
  ASSERT_EQ(1, second->Fetch());
  second->Close();
  EXPECT_EQ(nullptr, link.Database()->StatementHandle());
  EXPECT_STREQ(L"10.0.0.7", second->GetString(0));
  EXPECT_STREQ(L"主机七", second->GetString(1));
  EXPECT_EQ(0, second->Fetch());
  EXPECT_EQ(1, second->Failed());
}

TEST_F(ConnectedLinkTest, FailureIsToldApartFromNoRowAndItsMessageIsCut) {
  // Fails while running, not while being prepared.
  SQLStatement* st = link.CreateStatement(L"select abs(-9223372036854775807 - 1) from Users");
  ASSERT_NE(nullptr, st);
  EXPECT_EQ(0, st->Fetch());
  EXPECT_EQ(1, st->Failed());
  std::wstring message = g_odbcErrorText;
  EXPECT_NE(std::wstring::npos, message.find(L"overflow")) << message;
  link.ReleaseStatement(st);
  g_odbcErrorText[0] = L'\0';
  EXPECT_EQ(message, link.GetLastErrorText());

  st = Prepare(link, L"select id from Users where name = ?", {L"nobody"});
  EXPECT_EQ(0, st->Fetch());
  EXPECT_EQ(0, st->Failed());
  EXPECT_EQ(1, Exec(link, L"update Client set Status = 0 where IP = ?", {L"192.0.2.1"}));

  std::wstring longName = L"select " + std::wstring(300, L'q') + L" from Users";
  EXPECT_EQ(nullptr, link.CreateStatement(longName.c_str()));
  EXPECT_EQ(254u, std::wcslen(link.GetLastErrorText()));
  EXPECT_NE(nullptr, std::wcsstr(g_odbcErrorText, L"no such column"));
}

// A statement whose bind or row limit failed does not run: it would run without that
// value or read every row, and its "no row" would pass for an answer.
TEST_F(ConnectedLinkTest, AStatementWhoseBindOrRowLimitFailedFailsInsteadOfRunning) {
  const struct {
    const char* what;
    std::function<int(SQLStatement&)> setUp;
  } cases[] = {
      {"a parameter index below the first", [](SQLStatement& st) { return st.BindInt(-1, 1); }},
      {"a parameter index beyond any", [](SQLStatement& st) { return st.BindString(40000, L"x"); }},
      {"a negative row limit", [](SQLStatement& st) { return st.SetMaxRows(-1); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    for (bool query : {false, true}) {
      SQLStatement* st = Prepare(link, query ? L"select IP from Client where Name = ?"
                                             : L"insert into Client (IP, Name) values ('10.0.0.9', ?)",
                                 {L"甲"});
      ASSERT_NE(nullptr, st);
      EXPECT_EQ(0, c.setUp(*st));
      EXPECT_EQ(0, query ? st->Fetch() : st->Execute());
      EXPECT_EQ(1, st->Failed());
      link.ReleaseStatement(st);
    }
    EXPECT_EQ(0, Int(link, L"select count(*) from Client where Name = ?", {L"甲"}));
  }
}

// A change of a record another connection deleted is told by the rows it changed: the
// count is the driver's, per execution, for bound and pasted statements alike.
TEST_F(ConnectedLinkTest, AnUpdateOrDeleteTellsHowManyRowsItChanged) {
  ASSERT_TRUE(Exec(link, L"insert into Client (IP, Name) values ('10.0.0.1','a'), ('10.0.0.2','a'), ('10.0.0.3','b')"));
  const struct {
    const wchar_t* sql;
    const wchar_t* name;
    long rows;
  } cases[] = {
      {L"update Client set Status = 1 where Name = ?", L"a", 2},
      {L"update Client set Status = 1 where Name = ?", L"b", 1},
      {L"update Client set Status = 1 where Name = ?", L"gone", 0},
      {L"delete from Client where Name = ?", L"a", 2},
      {L"delete from Client where Name = ?", L"a", 0},
      {L"insert into Client (IP, Name) values ('10.0.0.4', ?)", L"c", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(qv::WideToUtf8(std::wstring(c.sql) + L" " + c.name));
    SQLStatement* st = Prepare(link, c.sql, {c.name});
    ASSERT_TRUE(st && st->Execute());
    EXPECT_EQ(c.rows, st->RowCount());
    link.ReleaseStatement(st);
  }
  SQLStatement* st = Prepare(link, L"update Client set Status = 1 where Name = ?", {L"b"});
  ASSERT_TRUE(st && st->Execute() && st->RowCount() == 1);
  ASSERT_TRUE(Exec(link, L"delete from Client where Name = 'b'"));
  EXPECT_EQ(-1, st->RowCount()) << "a statement whose handle went to another counts nothing";
  st = link.CreateStatement(L"update Client set Status = abs(-9223372036854775807 - 1)");
  ASSERT_TRUE(st);
  EXPECT_EQ(0, st->Execute());
  EXPECT_EQ(-1, st->RowCount());
}

// Whether a change found its record is the database's answer, never an assumption: a
// driver that does not count the rows (SQL Server under NOCOUNT) gives -1, which must
// not pass for a change of a record another console deleted or changed.
TEST_F(ConnectedLinkTest, AChangeOfOneRecordSaysWhetherItFoundItCountedOrNot) {
  const wchar_t kFind[] = L"select id from Client where Name = ?";
  const wchar_t kFindScheduled[] = L"select id from Client where Name = ? and Status = 1";
  const wchar_t kPause[] = L"update Client set Status = 2 where Name = ? and Status = 1";
  const wchar_t kDelete[] = L"delete from Client where Name = ?";
  const struct {
    const char* what;
    const wchar_t* name;
    int statusBefore;  // of 甲; -1: not there
    const wchar_t* check;
    const wchar_t* change;
    int result, statusAfter;
    bool countedOnly;  // the check is looser than the change: only a count tells
  } cases[] = {
      {"an update of a record present", L"甲", 1, kFind, L"update Client set Status = 2 where Name = ?", 1, 2},
      {"an update of a record gone", L"甲", -1, kFind, L"update Client set Status = 2 where Name = ?", 0, -1},
      {"a conditional update that holds", L"甲", 1, kFindScheduled, kPause, 1, 2},
      {"a conditional update another console made", L"甲", 2, kFindScheduled, kPause, 0, 2},
      {"a delete of a record present", L"甲", 1, kFind, kDelete, 1, -1},
      {"a delete of a record gone", L"甲", -1, kFind, kDelete, 0, -1},
      {"a conditional update after a looser check", L"甲", 2, kFind, kPause, 0, 2, true},
  };
  for (const auto& c : cases) {
    for (bool counted : {true, false}) {
      if (c.countedOnly && !counted) continue;
      SCOPED_TRACE(std::string(c.what) + (counted ? ", counted" : ", uncounted"));
      ASSERT_TRUE(Exec(link, L"delete from Client") && Exec(link, L"insert into Client (IP, Name) values ('10.0.0.2','乙')"));
      if (c.statusBefore >= 0)
        ASSERT_TRUE(Exec(link, L"insert into Client (IP, Name, Status) values ('10.0.0.1','甲',?)", {c.statusBefore}));
      SQLStatement::DriverStandIn uncounting;
      uncounting.countsWithheld = !counted;
      auto bindName = [&](SQLStatement& st) { return st.BindString(0, c.name) != 0; };
      EXPECT_EQ(c.result, ExecuteOnRecord(link, {c.check, bindName}, {c.change, bindName}));
      EXPECT_FALSE(link.Database()->InTransaction());
      EXPECT_EQ(c.statusAfter, Int(link, L"select coalesce(max(Status), -1) from Client where Name = ?", {L"甲"}));
      EXPECT_EQ(1, Int(link, L"select count(*) from Client where Name = ?", {L"乙"}));
    }
  }
}

// What the pages' part-way failure tests stand on: a statement without parameters
// gives the rows before the one that fails, one with parameters fails at its first.
TEST_F(ConnectedLinkTest, AStatementWithoutParametersFailsAtTheRowThatFails) {
  for (const wchar_t* name : {L"a", L"b", L"c", L"d"})
    ASSERT_EQ(1, Exec(link, L"insert into Users (name, comment, type) values (?, ?, 7)", {name, name}));
  std::wstring error;
  ASSERT_TRUE(FailRowsWhen(link, L"Users", L"comment", L"name = 'b'", &error)) << qv::WideToUtf8(error);

  SQLStatement* st = Prepare(link, L"select name, comment, type from Users order by id");
  ASSERT_EQ(1, st->Fetch()) << link.GetLastErrorText();
  EXPECT_STREQ(L"tamuk", st->GetString(0));
  ASSERT_EQ(1, st->Fetch()) << link.GetLastErrorText();
  EXPECT_STREQ(L"a", st->GetString(1));
  EXPECT_EQ(7, st->GetInt(2));
  EXPECT_EQ(0, st->Fetch());
  EXPECT_EQ(1, st->Failed());
  EXPECT_NE(nullptr, std::wcsstr(link.GetLastErrorText(), L"overflow")) << link.GetLastErrorText();
  link.ReleaseStatement(st);

  st = Prepare(link, L"select name, comment from Users where type >= ? order by id", {0});
  EXPECT_EQ(0, st->Fetch());
  EXPECT_EQ(1, st->Failed());
}

TEST_F(ConnectedLinkTest, RowLimitEndsTheQueryAndRunningItAgainStartsOver) {
  ASSERT_EQ(1, link.ExecDirect(L"insert into SystemLog (LogContent) with recursive n(i) as "
                               L"(select 1 union all select i + 1 from n where i < 50) select i from n"));
  SQLStatement* st = Prepare(link, L"select LogContent from SystemLog where LogContent + 0 > ? order by LogContent + 0", {1});
  ASSERT_EQ(1, st->SetMaxRows(3));
  ASSERT_EQ(1, st->Fetch());
  EXPECT_STREQ(L"2", st->GetString(0));
  // Run again while its cursor is open: the rows start over, still limited.
  ASSERT_EQ(1, st->Execute()) << link.GetLastErrorText();
  std::wstring seen;
  while (st->Fetch()) seen += st->GetString(0);
  EXPECT_EQ(0, st->Failed());
  EXPECT_EQ(L"234", seen);
}

TEST_F(LinkTest, RollbackUndoesCommitKeepsAndAClosedLinkGivesUp) {
  for (int end : {0, 1, 2}) {  // rolled back, committed, link destroyed
    SQLServerLink link;
    ASSERT_EQ(1, link.Connect(kDsn, L"", L""));
    ASSERT_EQ(1, link.BeginTransaction());
    EXPECT_EQ(1, link.ExecDirect(end == 1 ? L"insert into Users (name) values ('a')" : L"delete from Users"));
    if (end < 2) {
      EXPECT_EQ(1, end ? link.Commit() : link.Rollback());
      // Autocommit is back on after the transaction.
      EXPECT_EQ(1, Exec(link, L"insert into Users (name) values (?)", {end ? L"b" : L"c"}));
    }
  }
  SQLServerLink link;
  ASSERT_EQ(1, link.Connect(kDsn, L"", L""));
  EXPECT_EQ(4, Int(link, L"select count(*) from Users"));
}

// Statements that hold only together: committed whole, or nothing of them left, on the
// link that ran them as for everyone else, with the link back in autocommit and the
// failing statement's diagnostic given.
TEST_F(ConnectedLinkTest, RunInTransactionLeavesAllOrNothingOfTheWrite) {
  const struct {
    const char* what;
    std::function<bool()> write;
    bool committed;
    const wchar_t* error;
  } cases[] = {
      {"every statement succeeds", [&] { return Exec(link, L"insert into Users (name) values ('a')") == 1; }, true, L""},
      {"a later statement fails",
       [&] {
         return Exec(link, L"insert into Users (name) values ('c')") == 1 &&
                link.ExecDirect(L"update NoSuchTable set a=1") == 1;
       },
       false, L"NoSuchTable"},
      {"the write gives up after a statement",
       [&] {
         Exec(link, L"delete from Users");
         return false;
       },
       false, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const int before = Int(link, L"select count(*) from Users");
    std::wstring error = L"untouched";
    EXPECT_EQ(c.committed, RunInTransaction(link, c.write, &error));
    EXPECT_FALSE(link.Database()->InTransaction());
    if (c.error) {
      EXPECT_NE(std::wstring::npos, error.find(c.error)) << qv::WideToUtf8(error);
    }
    // Seen so on this link, and by another, which writes at once: no lock is left.
    EXPECT_EQ(before + (c.committed ? 1 : 0), Int(link, L"select count(*) from Users"));
    SQLServerLink other;
    ASSERT_EQ(1, other.Connect(kDsn, L"", L""));
    EXPECT_EQ(before + (c.committed ? 1 : 0), Int(other, L"select count(*) from Users"));
    EXPECT_EQ(1, Exec(other, L"insert into Users (name) values ('b')"));
    EXPECT_EQ(1, Exec(link, L"delete from Users where name='b'"));  // autocommit: gone for all
    EXPECT_EQ(before + (c.committed ? 1 : 0), Int(other, L"select count(*) from Users"));
  }
}

// What the shared tellers say of a failure comes with the link closed: a connection held
// while the user reads would hold the database. A caller that goes on opens it again.
TEST_F(LinkTest, AFailureIsToldOnceItsLinkIsClosedAndTheLinkOpensAgain) {
  lstrcpynW(g_dsnName, kDsn, kSettingChars);
  ModalScript script;
  ConnectionWatch watch(script);
  auto fail = [](SQLServerLink& link) { EXPECT_EQ(nullptr, link.CreateStatement(L"select a from NoSuchTable")); };
  const struct {
    const char* what;
    const wchar_t* box;
    std::function<void(SQLServerLink&)> tell;
  } rows[] = {
      {"the diagnostic", L"NoSuchTable", [&](SQLServerLink& link) {
         fail(link);
         TellError(link);
       }},
      {"a list unread", L"NoSuchTable", [&](SQLServerLink& link) {
         fail(link);
         TellListUnread(kReadUsersFailed, link);
       }},
      {"a write that failed", L"错误信息：",
       [](SQLServerLink& link) {
         EXPECT_FALSE(StoreAndTell(link, [&] { return link.ExecDirect(L"update NoSuchTable set a=1") != 0; },
                                   [] { return true; }));
       }},
      {"a send the service link did not take", L"与监测服务的连接已断开，命令未发送！",
       [](SQLServerLink& link) {
         EXPECT_FALSE(StoreAndTell(link, [&] { return link.ExecDirect(L"update Client set Status=1") != 0; },
                                   [] { return false; }));
       }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    SQLServerLink link;
    ASSERT_TRUE(ConnectOrTell(link));
    script.ExpectBox(row.box);
    const int looks = watch.Looks();
    row.tell(link);
    EXPECT_EQ(looks + 1, watch.Looks());
    EXPECT_EQ(0u, script.Remaining());
    EXPECT_TRUE(ConnectOrTell(link));
    EXPECT_EQ(1, Int(link, L"select 1"));
  }
  g_dsnName[0] = L'\0';
}

// The change of the tests below: 甲's status raised by one, after the check that finds 甲.
const RecordStatement kFindJia = {L"select id from Client where Name = ?",
                                  [](SQLStatement& st) { return st.BindString(0, L"甲") != 0; }};
const RecordStatement kRaiseJia = {L"update Client set Status = Status + 1 where Name = ?", kFindJia.bind};

// Another console's save holds the database for writing a few seconds: a change made
// meanwhile waits for it, as a single statement does, and then succeeds, and the other
// commits when it wants to, not once this one gives up (a transaction that read first
// would hold its read lock, which the other's commit must wait for, and could not wait).
TEST_F(ConnectedLinkTest, AChangeWaitsForAnotherWritersShortLockWithoutHoldingItUp) {
  const struct {
    const char* what;
    std::function<int()> change;
  } cases[] = {
      {"a change of one record", [&] { return ExecuteOnRecord(link, kFindJia, kRaiseJia); }},
      {"a write that reads first",
       [&] {
         return RunInTransaction(link, [&] {
           return Int(link, L"select max(Status) from Client") >= 0 && Exec(link, kRaiseJia.sql, {L"甲"}) == 1;
         }) ? 1 : 0;
       }},
      {"a change told to the service",
       [&] {
         return StoreAndTellRecord(
             link, [&] { return ExecuteOnRecord(link, kFindJia, kRaiseJia); }, [] { return true; });
       }},
  };
  ASSERT_TRUE(Exec(link, L"insert into Client (IP, Name, Status) values ('10.0.0.1','甲',0)"));
  ModalScript script;  // no box comes
  int status = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DatabaseLock other(DatabaseLock::kWrite);
    ASSERT_TRUE(other.HoldFor(3000));
    EXPECT_EQ(1, c.change()) << qv::WideToUtf8(link.GetLastErrorText());
    DWORD held = 0, commit = 0;
    ASSERT_TRUE(other.WaitCommitted(&held, &commit));
    EXPECT_LT(commit * 3, held) << "the other's commit waited " << commit << " ms after holding " << held << " ms";
    EXPECT_EQ(++status, Int(link, L"select Status from Client where Name = ?", {L"甲"}));
  }
}

// A lock held longer than the data source's wait, by another console's save or by a
// program that keeps others from reading too: the user's command waits once, as long as
// a single statement does, and is refused saying that another program holds the
// database, the driver's text after; nothing of it is left.
TEST_F(ConnectedLinkTest, ALockHeldLongerThanTheWaitIsWaitedForOnceAndToldAsHeld) {
  ASSERT_TRUE(Exec(link, L"insert into Client (IP, Name, Status) values ('10.0.0.1','甲',0)"));
  const struct {
    const char* what;
    std::function<void()> command;
  } commands[] = {
      {"a change of one record",
       [&] {
         EXPECT_EQ(-1, ExecuteOnRecord(link, kFindJia, kRaiseJia));
         TellError(link);
       }},
      {"a change told to the service",
       [&] {
         EXPECT_EQ(-1, StoreAndTellRecord(
                           link, [&] { return ExecuteOnRecord(link, kFindJia, kRaiseJia); },
                           [] { return true; }));
       }},
  };
  // One wait: what a plain read, which the driver steps through, takes to give up.
  DWORD wait = 0;
  {
    SQLServerLink single;
    ASSERT_EQ(1, single.Connect(kDsn, L"", L""));
    SQLStatement* read = single.CreateStatement(L"select count(*) from Client");
    ASSERT_NE(nullptr, read);
    DatabaseLock other(DatabaseLock::kExclusive);
    ASSERT_TRUE(other.Hold());
    const DWORD start = ::GetTickCount();
    ASSERT_EQ(0, read->Fetch());
    wait = ::GetTickCount() - start;
    ASSERT_TRUE(other.Release());
  }
  ModalScript script;
  for (DatabaseLock::Kind kind : {DatabaseLock::kWrite, DatabaseLock::kExclusive}) {
    SCOPED_TRACE(kind == DatabaseLock::kWrite ? "held for writing" : "held for reading too");
    for (const auto& c : commands) {
      SCOPED_TRACE(c.what);
      // Connected before: the driver's connect reads, and waits for a lock that keeps reads out.
      ASSERT_TRUE(link.Connect(kDsn, L"", L""));
      DatabaseLock other(kind);
      ASSERT_TRUE(other.Hold());
      script.ExpectBox(std::wstring(L"错误信息：") + kDatabaseHeldText + L"[SQLite]database is locked");
      const DWORD start = ::GetTickCount();
      c.command();
      const DWORD took = ::GetTickCount() - start;
      EXPECT_EQ(0u, script.Remaining());
      EXPECT_LT(took, wait * 3 / 2) << "a read waits " << wait << " ms";
      ASSERT_TRUE(other.Release());
    }
  }
  ASSERT_TRUE(link.Connect(kDsn, L"", L""));
  EXPECT_EQ(0, Int(link, L"select Status from Client where Name = ?", {L"甲"}));
}

}  // namespace
