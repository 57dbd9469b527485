// Connections, statements, errors and transactions of SQLServerLink over
// real SQLite through unixODBC.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "ConnectedTest.h"
#include "console/ODBCDatabase.h"

using qvtest::DatabaseTest;
using qvtest::TestDatabase;

namespace {

int CountRows(const wchar_t* sql) {
  SQLServerLink link;
  if (!link.Connect(TestDatabase::Dsn(), L"", L"")) return -1;
  return Int(link, sql);
}

class LinkTest : public DatabaseTest {};

TEST_F(LinkTest, EnvironmentIsSharedAndFreedWithTheLastDatabase) {
  EXPECT_EQ(-1, g_odbcEnvRefCount);
  EXPECT_EQ(nullptr, g_odbcEnvironment);
  {
    SQLServerLink first;
    EXPECT_EQ(0, g_odbcEnvRefCount);
    EXPECT_NE(nullptr, g_odbcEnvironment);
    SQLHENV shared = g_odbcEnvironment;
    {
      SQLServerLink second;
      EXPECT_EQ(1, g_odbcEnvRefCount);
      EXPECT_EQ(shared, g_odbcEnvironment);
      EXPECT_EQ(1, second.Connect(TestDatabase::Dsn(), L"", L""));
    }
    EXPECT_EQ(0, g_odbcEnvRefCount);
    EXPECT_EQ(1, first.Connect(TestDatabase::Dsn(), L"", L""));
  }
  EXPECT_EQ(-1, g_odbcEnvRefCount);
  EXPECT_EQ(nullptr, g_odbcEnvironment);
}

TEST_F(LinkTest, SecondConnectReturnsTheFirstResultUntilDisconnect) {
  SQLServerLink link;
  EXPECT_EQ(0, link.Connect(L"QuorvaneNoSuchSource", L"", L""));
  EXPECT_NE(L'\0', link.GetLastErrorText()[0]);
  EXPECT_STREQ("IM002", g_odbcSqlState);
  // The failed attempt stays the answer: never reported as connected.
  EXPECT_EQ(0, link.Connect(TestDatabase::Dsn(), L"", L""));
  EXPECT_EQ(1, link.ConnectCount());
  EXPECT_NE(nullptr, link.Database()->ConnectionHandle());
  EXPECT_EQ(nullptr, link.CreateStatement(L"select 1"));

  link.Disconnect();
  EXPECT_EQ(nullptr, link.Database()->ConnectionHandle());
  EXPECT_EQ(0, link.ConnectCount());
  // After the disconnect the link may try again, and that success stays too.
  EXPECT_EQ(1, link.Connect(TestDatabase::Dsn(), L"", L""));
  EXPECT_EQ(1, link.Connect(L"QuorvaneNoSuchSource", L"", L""));
  EXPECT_EQ(1, link.ConnectCount());
  // Disconnect only acts on a count of exactly one; a second one is harmless.
  link.Disconnect();
  link.Disconnect();
  EXPECT_EQ(nullptr, link.Database()->ConnectionHandle());
}

class ConnectedLinkTest : public ConnectedTest {};

TEST_F(ConnectedLinkTest, StatementsRunOneAfterAnotherAndRowsOutliveTheirHandle) {
  EXPECT_EQ(1, Exec(link, L"insert into Client (id, IP, Name, Status) values (?, ?, ?, ?)",
                    {7, L"10.0.0.7", L"主机七", 1}));
  EXPECT_EQ(nullptr, link.Database()->StatementHandle());

  SQLStatement* first = Row(link, L"select IP, Name from Client where id = ?", {7});
  ASSERT_NE(nullptr, first);
  EXPECT_STREQ(L"10.0.0.7", first->GetString(0));
  EXPECT_STREQ(L"主机七", first->GetString(1));
  EXPECT_EQ(0, first->Fetch());
  EXPECT_EQ(0, first->Failed());

  // A new statement takes the link's one handle: the old one must not run
  // the new one's text.
  SQLStatement* second = link.CreateStatement(L"select count(*), max(Name) from Client");
  ASSERT_NE(nullptr, second);
  EXPECT_EQ(nullptr, second->GetString(0));
  EXPECT_EQ(nullptr, first->GetString(0));
  EXPECT_EQ(0, first->Fetch());
  EXPECT_EQ(1, first->Failed());
  ASSERT_EQ(1, second->Fetch());

  // The fetched row stays readable once the handle is closed.
  second->Close();
  EXPECT_EQ(nullptr, link.Database()->StatementHandle());
  EXPECT_EQ(1, second->GetInt(0));
  EXPECT_STREQ(L"主机七", second->GetString(1));
  EXPECT_EQ(0, second->Fetch());
  EXPECT_EQ(1, second->Failed());
  link.ReleaseStatement(first);
  link.ReleaseStatement(second);
  link.ReleaseStatement(nullptr);
  link.Disconnect();
}

TEST_F(ConnectedLinkTest, FailureIsToldApartFromNoRow) {
  // Fails while running, not while being prepared.
  SQLStatement* st = link.CreateStatement(L"select abs(-9223372036854775807 - 1) from Users");
  ASSERT_NE(nullptr, st);
  EXPECT_EQ(0, st->Fetch());
  EXPECT_EQ(1, st->Failed());
  EXPECT_NE(nullptr, std::wcsstr(g_odbcErrorText, L"overflow")) << g_odbcErrorText;
  std::wstring message = g_odbcErrorText;
  link.ReleaseStatement(st);
  // The link still answers with its own last failure after the release.
  g_odbcErrorText[0] = L'\0';
  EXPECT_EQ(message, link.GetLastErrorText());

  // No row, and updates or deletes matching no row, are not failures.
  SQLStatement* none = link.CreateStatement(L"select id from Users where name = ?");
  ASSERT_NE(nullptr, none);
  none->BindString(0, L"nobody");
  EXPECT_EQ(0, none->Fetch());
  EXPECT_EQ(0, none->Failed());
  SQLStatement* update = link.CreateStatement(L"update Client set Status = 0 where IP = ?");
  ASSERT_NE(nullptr, update);
  update->BindString(0, L"192.0.2.1");
  EXPECT_EQ(1, update->Execute());
  EXPECT_EQ(0, update->Failed());
  EXPECT_EQ(1, Exec(link, L"delete from StrategyTable where StrategyName = ?", {L"没有这个策略"}));
  EXPECT_EQ(1, link.ExecDirect(L"delete from Trust where id = -5"));
}

TEST_F(ConnectedLinkTest, UnpreparableTextGivesNullStatementAndAMessageCutTo254Characters) {
  std::wstring column(300, L'q');
  std::wstring sql = L"select " + column + L" from Users";
  EXPECT_EQ(nullptr, link.CreateStatement(sql.c_str()));
  EXPECT_EQ(254u, std::wcslen(g_odbcErrorText));
  EXPECT_EQ(L'\0', g_odbcErrorText[254]);
  EXPECT_NE(nullptr, std::wcsstr(g_odbcErrorText, L"no such column"));
  EXPECT_NE('\0', g_odbcSqlState[0]);
  EXPECT_EQ(254u, std::wcslen(link.GetLastErrorText()));

  // The driver may take a syntax error at prepare or at execution; either way it fails.
  SQLStatement* bad = link.CreateStatement(L"selec nothing");
  if (bad) {
    EXPECT_EQ(0, bad->Execute());
    EXPECT_EQ(1, bad->Failed());
  }
  EXPECT_EQ(0, link.ExecDirect(L"insert into NoSuchTable (a) values (1)"));
  EXPECT_NE(nullptr, std::wcsstr(link.GetLastErrorText(), L"NoSuchTable"));
}

TEST_F(ConnectedLinkTest, BoundTextIsCopiedAtBindTimeAndBindsOutsideTheListFail) {
  SQLStatement* st =
      link.CreateStatement(L"insert into Trust (id, type, ClientIP, Content) values (?, ?, ?, ?)");
  ASSERT_NE(nullptr, st);
  EXPECT_EQ(0, st->BindInt(-1, 1));
  EXPECT_EQ(0, st->BindString(40000, L"x"));
  {
    std::wstring ip = L"10.1.1.1";
    std::wstring content = L"C:\\Windows\\系统32\\trusted.exe";
    BindAll(st, {3, 2, ip.c_str(), content.c_str()});
    ip.assign(ip.size(), L'x');
    content.assign(content.size(), L'y');
  }
  EXPECT_EQ(1, st->Execute());
  link.ReleaseStatement(st);

  st = Row(link, L"select ClientIP, Content, type from Trust where id = 3");
  ASSERT_NE(nullptr, st);
  EXPECT_STREQ(L"10.1.1.1", st->GetString(0));
  EXPECT_STREQ(L"C:\\Windows\\系统32\\trusted.exe", st->GetString(1));
  EXPECT_EQ(2, st->GetInt(2));
}

TEST_F(LinkTest, RollbackUndoesAndCommitKeepsASequence) {
  const wchar_t* insertA = L"insert into Users (name, password, type, permission) values ('a', '', 0, 1)";
  {
    SQLServerLink link;
    ASSERT_EQ(1, link.Connect(TestDatabase::Dsn(), L"", L""));
    ASSERT_EQ(1, link.BeginTransaction());
    EXPECT_EQ(1, link.ExecDirect(L"delete from Users"));
    EXPECT_EQ(1, link.ExecDirect(insertA));
    EXPECT_EQ(1, link.Rollback());
  }
  EXPECT_EQ(1, CountRows(L"select count(*) from Users where name = 'tamuk'"));
  EXPECT_EQ(0, CountRows(L"select count(*) from Users where name = 'a'"));

  {
    SQLServerLink link;
    ASSERT_EQ(1, link.Connect(TestDatabase::Dsn(), L"", L""));
    ASSERT_EQ(1, link.BeginTransaction());
    EXPECT_EQ(0, link.BeginTransaction());
    EXPECT_EQ(1, Exec(link, L"insert into Users (name, password, type, permission) values (?, ?, 0, 5)",
                      {L"审计员", L""}));
    EXPECT_EQ(1, link.Commit());
    // Autocommit is back on after the commit.
    EXPECT_EQ(1, link.ExecDirect(insertA));
  }
  EXPECT_EQ(3, CountRows(L"select count(*) from Users"));

  {
    // A link that goes away inside a transaction gives it up.
    SQLServerLink link;
    ASSERT_EQ(1, link.Connect(TestDatabase::Dsn(), L"", L""));
    ASSERT_EQ(1, link.BeginTransaction());
    EXPECT_EQ(1, link.ExecDirect(L"delete from Users"));
  }
  EXPECT_EQ(3, CountRows(L"select count(*) from Users"));

  SQLServerLink idle;
  EXPECT_EQ(0, idle.Commit());
  EXPECT_EQ(0, idle.BeginTransaction());
}

}  // namespace
