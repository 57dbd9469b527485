// The monitoring database as the schema files define it: both editions list
// the same columns, every table reads back through SQLServerLink with the
// types the console expects, and a new database holds only the built-in
// administrator.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "ConnectedTest.h"

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

// Tables and columns of the CREATE TABLE statements of a schema file, one
// definition per line.
std::vector<Table> ParseSchema(const wchar_t* relativePath) {
  const auto icase = std::regex::ECMAScript | std::regex::icase;
  static const std::wregex create(L"^\\s*CREATE\\s+TABLE\\s+(\\w+)", icase);
  static const std::wregex definition(L"^\\s*(\\w+)\\s+(\\w+)");
  static const std::wregex constraint(L"PRIMARY|UNIQUE|CONSTRAINT|FOREIGN|CHECK", icase);
  static const std::wregex integer(L"INT|INTEGER", icase), dateTime(L"DATETIME", icase);
  std::vector<Table> tables;
  std::wstring script;
  EXPECT_TRUE(TestDatabase::ReadUtf8File(TestDatabase::SourceFile(relativePath), &script)) << relativePath;
  for (const std::wstring& statement : TestDatabase::SplitSql(script)) {
    std::wsmatch m;
    if (!std::regex_search(statement, m, create)) continue;
    Table table{m[1].str(), {}};
    size_t open = statement.find(L'(', m.length(0)), close = statement.rfind(L')');
    std::wistringstream body(statement.substr(open + 1, close - open - 1));
    for (std::wstring line; std::getline(body, line);) {
      std::wsmatch d;
      if (!std::regex_search(line, d, definition) || std::regex_match(d[1].str(), constraint)) continue;
      const std::wstring type = d[2].str();
      table.columns.push_back({d[1].str(), std::regex_match(type, integer)    ? Kind::Integer
                                           : std::regex_match(type, dateTime) ? Kind::DateTime
                                                                              : Kind::Text});
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

TEST(SchemaFiles, ColumnsSitWhereTheConsoleReadsThemByPosition) {
  // Pages read rows with "select *" by position (the strategy wizard's 43
  // columns, the client list); EveryTableReadsBackByPosition holds the
  // database to the file's order.
  const struct {
    const wchar_t* table;
    size_t index;
    const wchar_t* column;
  } cases[] = {
      {L"StrategyTable", 0, L"StrategyName"}, {L"StrategyTable", 10, L"SelectedFolder"},
      {L"StrategyTable", 27, L"NumOfMunites"}, {L"StrategyTable", 38, L"Ip"},
      {L"StrategyTable", 40, L"id"},           {L"StrategyTable", 42, L"RunStatus"},
      {L"Client", 0, L"id"},                   {L"Client", 1, L"IP"},
      {L"Client", 3, L"Name"},                 {L"Client", 5, L"Status"},
  };
  std::vector<Table> tables = ParseSchema(L"db/sqlite/schema.sql");
  auto find = [&](const wchar_t* name) -> const Table* {
    for (const Table& t : tables)
      if (t.name == name) return &t;
    return nullptr;
  };
  ASSERT_NE(nullptr, find(L"StrategyTable"));
  EXPECT_EQ(43u, find(L"StrategyTable")->columns.size());
  for (const auto& c : cases) {
    const Table* t = find(c.table);
    ASSERT_NE(nullptr, t) << Narrow(c.table);
    ASSERT_LT(c.index, t->columns.size()) << Narrow(c.table);
    EXPECT_EQ(c.column, t->columns[c.index].name) << Narrow(c.table) << " " << c.index;
  }
}

class SchemaTest : public ConnectedTest {};

// A value of the column's kind that tells the columns apart.
void BindColumn(SQLStatement* st, int index, const Column& c) {
  if (c.kind == Kind::Integer)
    EXPECT_EQ(1, st->BindInt(index, 1000 + index));
  else if (c.kind == Kind::DateTime)
    EXPECT_EQ(1, st->BindString(index, L"2024-03-05 07:08:09"));
  else
    EXPECT_EQ(1, st->BindString(index, (L"值" + c.name).c_str()));
}

TEST_F(SchemaTest, EveryTableReadsBackByPositionWithItsTypes) {
  std::vector<Table> tables = ParseSchema(L"db/sqlite/schema.sql");
  ASSERT_FALSE(tables.empty());
  for (const Table& table : tables) {
    SCOPED_TRACE(Narrow(table.name));
    std::wstring markers;
    for (size_t i = 0; i < table.columns.size(); ++i) markers += i ? L",?" : L"?";
    std::wstring insertSql =
        L"insert into " + table.name + L" (" + ColumnList(table) + L") values (" + markers + L")";
    SQLStatement* insert = link.CreateStatement(insertSql.c_str());
    ASSERT_NE(nullptr, insert) << link.GetLastErrorText();
    for (size_t i = 0; i < table.columns.size(); ++i) BindColumn(insert, static_cast<int>(i), table.columns[i]);
    ASSERT_EQ(1, insert->Execute()) << link.GetLastErrorText();
    link.ReleaseStatement(insert);

    std::wstring selectSql = L"select * from " + table.name + L" where " + table.columns[0].name + L" = ?";
    SQLStatement* select = link.CreateStatement(selectSql.c_str());
    ASSERT_NE(nullptr, select);
    BindColumn(select, 0, table.columns[0]);
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

TEST_F(SchemaTest, TheHostsOfOneStrategyShareItsNameAndId) {
  // Three target hosts are three rows sharing name and id; one delete by
  // name removes them all.
  for (const wchar_t* ip : {L"10.0.0.1", L"10.0.0.2", L"10.0.0.3"})
    ASSERT_EQ(1, Exec(link, L"insert into StrategyTable (StrategyName, StrategyType, Ip, id) values (?, ?, ?, ?)",
                      {L"核心服务器", 2, ip, L"20240305070809123"}));
  SQLStatement* st =
      Row(link, L"select count(distinct id), count(*) from StrategyTable where StrategyName = ?", {L"核心服务器"});
  ASSERT_NE(nullptr, st);
  EXPECT_EQ(1, st->GetInt(0));
  EXPECT_EQ(3, st->GetInt(1));
  EXPECT_EQ(1, link.ExecDirect(L"delete from StrategyTable where StrategyName = '核心服务器'"));
  EXPECT_EQ(0, Int(link, L"select count(*) from StrategyTable"));
}

TEST_F(SchemaTest, NewDatabaseHoldsOnlyTheBuiltInAdministrator) {
  SQLStatement* st = Row(link, L"select id, name, password, comment, type, permission from Users");
  ASSERT_NE(nullptr, st);
  EXPECT_STREQ(L"tamuk", st->GetString(1));
  EXPECT_STREQ(L"tamuk", st->GetString(2));
  EXPECT_EQ(1, st->GetInt(4));
  EXPECT_EQ(31, st->GetInt(5));
  EXPECT_EQ(0, st->Fetch());

  // The users page predicts the next id and inserts naming its columns.
  int next = Int(link, L"select max(id)+1 from Users");
  ASSERT_EQ(1, Exec(link, L"insert into Users (name, password, comment, type, permission) values (?, ?, ?, ?, ?)",
                    {L"操作员", L"", L"日志查看", 0, 5}));
  EXPECT_EQ(next, Int(link, L"select id from Users where name = ?", {L"操作员"}));

  for (const Table& table : ParseSchema(L"db/sqlite/schema.sql")) {
    if (table.name == L"Users") continue;
    EXPECT_EQ(0, Int(link, (L"select count(*) from " + table.name).c_str())) << Narrow(table.name);
  }
}

}  // namespace
