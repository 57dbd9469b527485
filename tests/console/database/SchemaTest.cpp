// The monitoring database as the schema files define it: both editions list
// the same columns, every table reads back through SQLServerLink with the
// types the console expects, and a new database holds only the built-in
// administrator.
#include <gtest/gtest.h>

#include <cwctype>
#include <string>
#include <vector>

#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"
#include "support/TestDatabase.h"

using qvtest::DatabaseTest;
using qvtest::TestDatabase;

namespace {

enum class Kind { Integer, Text, DateTime };

struct Column {
  std::wstring name;
  Kind kind;
};

struct Table {
  std::wstring name;
  std::vector<Column> columns;
};

std::wstring Upper(std::wstring s) {
  for (wchar_t& c : s) c = static_cast<wchar_t>(std::towupper(c));
  return s;
}

std::wstring Word(const std::wstring& s, size_t* pos) {
  while (*pos < s.size() && std::iswspace(s[*pos])) ++*pos;
  size_t start = *pos;
  while (*pos < s.size() && (std::iswalnum(s[*pos]) || s[*pos] == L'_')) ++*pos;
  return s.substr(start, *pos - start);
}

// Tables and columns of the CREATE TABLE statements of a schema file.
std::vector<Table> ParseSchema(const wchar_t* relativePath) {
  std::vector<Table> tables;
  std::wstring script;
  EXPECT_TRUE(TestDatabase::ReadUtf8File(TestDatabase::SourceFile(relativePath), &script)) << relativePath;
  for (const std::wstring& statement : TestDatabase::SplitSql(script)) {
    size_t pos = 0;
    if (Upper(Word(statement, &pos)) != L"CREATE" || Upper(Word(statement, &pos)) != L"TABLE") continue;
    Table table;
    table.name = Word(statement, &pos);
    size_t open = statement.find(L'(', pos);
    size_t close = statement.rfind(L')');
    std::wstring body = statement.substr(open + 1, close - open - 1);
    // One definition per line; parentheses inside a line (sizes) hold no commas at depth 0.
    size_t lineStart = 0;
    while (lineStart < body.size()) {
      size_t lineEnd = body.find(L'\n', lineStart);
      if (lineEnd == std::wstring::npos) lineEnd = body.size();
      std::wstring line = body.substr(lineStart, lineEnd - lineStart);
      lineStart = lineEnd + 1;
      size_t p = 0;
      std::wstring name = Word(line, &p);
      if (name.empty()) continue;
      std::wstring upperName = Upper(name);
      if (upperName == L"PRIMARY" || upperName == L"UNIQUE" || upperName == L"CONSTRAINT" ||
          upperName == L"FOREIGN" || upperName == L"CHECK")
        continue;
      std::wstring type = Upper(Word(line, &p));
      Column column;
      column.name = name;
      if (type == L"INT" || type == L"INTEGER")
        column.kind = Kind::Integer;
      else if (type == L"DATETIME")
        column.kind = Kind::DateTime;
      else
        column.kind = Kind::Text;
      table.columns.push_back(column);
    }
    tables.push_back(table);
  }
  return tables;
}

std::wstring ColumnList(const Table& table) {
  std::wstring list;
  for (const Column& c : table.columns) list += (list.empty() ? L"" : L",") + c.name;
  return list;
}

std::string Narrow(const std::wstring& s) {
  std::string out;
  for (wchar_t c : s) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

TEST(SchemaFiles, BothEditionsListTheSameColumnsInTheSameOrder) {
  std::vector<Table> sqlite = ParseSchema(L"db/sqlite/schema.sql");
  std::vector<Table> sqlServer = ParseSchema(L"db/sqlserver/schema.sql");
  ASSERT_EQ(24u, sqlite.size());
  ASSERT_EQ(sqlite.size(), sqlServer.size());
  for (size_t t = 0; t < sqlite.size(); ++t) {
    EXPECT_EQ(sqlite[t].name, sqlServer[t].name);
    EXPECT_EQ(ColumnList(sqlite[t]), ColumnList(sqlServer[t])) << Narrow(sqlite[t].name);
    for (size_t c = 0; c < sqlite[t].columns.size() && c < sqlServer[t].columns.size(); ++c)
      EXPECT_EQ(sqlite[t].columns[c].kind, sqlServer[t].columns[c].kind)
          << Narrow(sqlite[t].name + L"." + sqlite[t].columns[c].name);
  }
}

class SchemaTest : public DatabaseTest {};

TEST_F(SchemaTest, EveryTableReadsBackByPositionWithItsTypes) {
  std::vector<Table> tables = ParseSchema(L"db/sqlite/schema.sql");
  ASSERT_FALSE(tables.empty());
  SQLServerLink link;
  ASSERT_EQ(1, link.Connect(TestDatabase::Dsn(), L"", L""));
  for (const Table& table : tables) {
    SCOPED_TRACE(Narrow(table.name));
    std::wstring markers;
    for (size_t i = 0; i < table.columns.size(); ++i) markers += i ? L",?" : L"?";
    std::wstring insertSql =
        L"insert into " + table.name + L" (" + ColumnList(table) + L") values (" + markers + L")";
    SQLStatement* insert = link.CreateStatement(insertSql.c_str());
    ASSERT_NE(nullptr, insert) << link.GetLastErrorText();
    for (size_t i = 0; i < table.columns.size(); ++i) {
      const Column& c = table.columns[i];
      int index = static_cast<int>(i);
      if (c.kind == Kind::Integer)
        EXPECT_EQ(1, insert->BindInt(index, 1000 + index));
      else if (c.kind == Kind::DateTime)
        EXPECT_EQ(1, insert->BindString(index, L"2024-03-05 07:08:09"));
      else
        EXPECT_EQ(1, insert->BindString(index, (L"值" + c.name).c_str()));
    }
    ASSERT_EQ(1, insert->Execute()) << link.GetLastErrorText();
    link.ReleaseStatement(insert);

    std::wstring selectSql = L"select * from " + table.name + L" where " + table.columns[0].name + L" = ?";
    SQLStatement* select = link.CreateStatement(selectSql.c_str());
    ASSERT_NE(nullptr, select);
    if (table.columns[0].kind == Kind::Integer)
      select->BindInt(0, 1000);
    else if (table.columns[0].kind == Kind::DateTime)
      select->BindString(0, L"2024-03-05 07:08:09");
    else
      select->BindString(0, (L"值" + table.columns[0].name).c_str());
    ASSERT_EQ(1, select->Fetch()) << link.GetLastErrorText();
    for (size_t i = 0; i < table.columns.size(); ++i) {
      const Column& c = table.columns[i];
      int index = static_cast<int>(i);
      SCOPED_TRACE(Narrow(c.name));
      if (c.kind == Kind::Integer) {
        EXPECT_EQ(1000 + index, select->GetInt(index));
        EXPECT_EQ(nullptr, select->GetString(index));
      } else if (c.kind == Kind::DateTime) {
        EXPECT_STREQ(L"2024-03-05 07:08:09", select->GetString(index));
      } else {
        EXPECT_STREQ((L"值" + c.name).c_str(), select->GetString(index));
      }
    }
    EXPECT_EQ(0, select->Fetch());
    link.ReleaseStatement(select);
  }
}

TEST_F(SchemaTest, StrategyTableHoldsItsFortyThreeColumnsInOrder) {
  std::vector<Table> tables = ParseSchema(L"db/sqlite/schema.sql");
  const Table* strategy = nullptr;
  for (const Table& t : tables)
    if (t.name == L"StrategyTable") strategy = &t;
  ASSERT_NE(nullptr, strategy);
  ASSERT_EQ(43u, strategy->columns.size());
  EXPECT_EQ(L"StrategyName", strategy->columns[0].name);
  EXPECT_EQ(L"SelectedFolder", strategy->columns[10].name);
  EXPECT_EQ(L"NumOfMunites", strategy->columns[27].name);
  EXPECT_EQ(L"Ip", strategy->columns[38].name);
  EXPECT_EQ(L"id", strategy->columns[40].name);
  EXPECT_EQ(L"RunStatus", strategy->columns[42].name);

  // Three target hosts are three rows sharing name and id; one delete by
  // name removes them all.
  SQLServerLink link;
  ASSERT_EQ(1, link.Connect(TestDatabase::Dsn(), L"", L""));
  for (int host = 1; host <= 3; ++host) {
    SQLStatement* st = link.CreateStatement(
        L"insert into StrategyTable (StrategyName, StrategyType, Ip, id) values (?, ?, ?, ?)");
    ASSERT_NE(nullptr, st);
    st->BindString(0, L"核心服务器");
    st->BindInt(1, 2);
    st->BindString(2, (L"10.0.0." + std::to_wstring(host)).c_str());
    st->BindString(3, L"20240305070809123");
    ASSERT_EQ(1, st->Execute());
    link.ReleaseStatement(st);
  }
  SQLStatement* st =
      link.CreateStatement(L"select count(distinct id), count(*) from StrategyTable where StrategyName = ?");
  ASSERT_NE(nullptr, st);
  st->BindString(0, L"核心服务器");
  ASSERT_EQ(1, st->Fetch());
  EXPECT_EQ(1, st->GetInt(0));
  EXPECT_EQ(3, st->GetInt(1));
  link.ReleaseStatement(st);
  EXPECT_EQ(1, link.ExecDirect(L"delete from StrategyTable where StrategyName = '核心服务器'"));
  st = link.CreateStatement(L"select count(*) from StrategyTable");
  ASSERT_NE(nullptr, st);
  ASSERT_EQ(1, st->Fetch());
  EXPECT_EQ(0, st->GetInt(0));
}

TEST_F(SchemaTest, NewDatabaseHoldsOnlyTheBuiltInAdministrator) {
  SQLServerLink link;
  ASSERT_EQ(1, link.Connect(TestDatabase::Dsn(), L"", L""));
  SQLStatement* st = link.CreateStatement(L"select id, name, password, comment, type, permission from Users");
  ASSERT_NE(nullptr, st);
  ASSERT_EQ(1, st->Fetch());
  EXPECT_STREQ(L"tamuk", st->GetString(1));
  EXPECT_STREQ(L"tamuk", st->GetString(2));
  EXPECT_EQ(1, st->GetInt(4));
  EXPECT_EQ(31, st->GetInt(5));
  EXPECT_EQ(0, st->Fetch());
  link.ReleaseStatement(st);

  // The users page predicts the next id and inserts naming its columns.
  st = link.CreateStatement(L"select max(id)+1 from Users");
  ASSERT_NE(nullptr, st);
  ASSERT_EQ(1, st->Fetch());
  int next = st->GetInt(0);
  link.ReleaseStatement(st);
  st = link.CreateStatement(
      L"insert into Users (name, password, comment, type, permission) values (?, ?, ?, ?, ?)");
  ASSERT_NE(nullptr, st);
  st->BindString(0, L"操作员");
  st->BindString(1, L"");
  st->BindString(2, L"日志查看");
  st->BindInt(3, 0);
  st->BindInt(4, 5);
  ASSERT_EQ(1, st->Execute());
  link.ReleaseStatement(st);
  st = link.CreateStatement(L"select id from Users where name = ?");
  ASSERT_NE(nullptr, st);
  st->BindString(0, L"操作员");
  ASSERT_EQ(1, st->Fetch());
  EXPECT_EQ(next, st->GetInt(0));
  link.ReleaseStatement(st);

  // Names are unique without regard to case.
  EXPECT_EQ(
      0, link.ExecDirect(L"insert into Users (name, password, type, permission) values ('TAMUK', '', 0, 0)"));

  for (const wchar_t* table : {L"Client", L"StrategyTable", L"AuditLog", L"HIPSLog", L"SystemLog", L"Copy",
                               L"ReportCenterTable", L"Filter", L"Rules", L"Trust"}) {
    std::wstring sql = std::wstring(L"select count(*) from ") + table;
    st = link.CreateStatement(sql.c_str());
    ASSERT_NE(nullptr, st);
    ASSERT_EQ(1, st->Fetch());
    EXPECT_EQ(0, st->GetInt(0)) << Narrow(table);
    link.ReleaseStatement(st);
  }
}

TEST_F(SchemaTest, ClientColumnsSitWhereTheWizardReadsThem) {
  SQLServerLink link;
  ASSERT_EQ(1, link.Connect(TestDatabase::Dsn(), L"", L""));
  ASSERT_EQ(1, link.ExecDirect(L"insert into Client (id, IP, NoteName, Name, MAC, Status, Type, Stopped) "
                               L"values (4, '10.0.0.4', '备注', '数据库服务器', '001122AABBCC', 1, 0, 0)"));
  SQLStatement* st = link.CreateStatement(L"select * from Client");
  ASSERT_NE(nullptr, st);
  ASSERT_EQ(1, st->Fetch());
  EXPECT_EQ(4, st->GetInt(0));
  EXPECT_STREQ(L"10.0.0.4", st->GetString(1));
  EXPECT_STREQ(L"数据库服务器", st->GetString(3));
  EXPECT_EQ(1, st->GetInt(5));
}

}  // namespace
