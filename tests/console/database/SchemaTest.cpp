// The monitoring database as the schema files define it: both editions list
// the same columns with the same types and widths, wide enough for what the
// console writes; every table reads back through SQLServerLink in the file's
// order; ids are not reused; a new database holds only the administrator.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "support/TestDatabase.h"

using namespace qvtest;

namespace {

enum class Kind { Integer, Text, DateTime };
const int kUnbounded = 1 << 30;

struct Column {
  std::wstring name;
  Kind kind;
  int width;  // characters of a text column; kUnbounded for NTEXT and NVARCHAR(MAX)
};

struct Table {
  std::wstring name;
  std::vector<Column> columns;
};

// The CREATE TABLE statements of a schema file, one column per line.
std::vector<Table> ParseSchema(const wchar_t* relativePath) {
  static const std::wregex create(L"CREATE TABLE (\\w+) \\(([^;]*)\\);");
  static const std::wregex column(L"\\n\\s*(\\w+) (\\w+)(?:\\((\\w+)\\))?");
  std::wstring script;
  EXPECT_TRUE(TestDatabase::ReadUtf8File(TestDatabase::SourceFile(relativePath), &script)) << relativePath;
  std::vector<Table> tables;
  for (std::wsregex_iterator t(script.begin(), script.end(), create), end; t != end; ++t) {
    tables.push_back({(*t)[1].str(), {}});
    const std::wstring body = (*t)[2].str();
    for (std::wsregex_iterator c(body.begin(), body.end(), column); c != end; ++c) {
      const std::wstring type = (*c)[2].str(), size = (*c)[3].str();
      Kind kind = type.find(L"INT") == 0 ? Kind::Integer : type == L"DATETIME" ? Kind::DateTime : Kind::Text;
      int width = kind != Kind::Text ? 0 : size.empty() || size == L"MAX" ? kUnbounded : std::stoi(size);
      tables.back().columns.push_back({(*c)[1].str(), kind, width});
    }
  }
  return tables;
}

const Column* Find(const std::vector<Table>& tables, const std::wstring& table, size_t index) {
  for (const Table& t : tables)
    if (t.name == table && index < t.columns.size()) return &t.columns[index];
  return nullptr;
}

TEST(SchemaFiles, BothEditionsAgreeAndHoldWhatTheConsoleWrites) {
  std::vector<Table> sqlite = ParseSchema(L"db/sqlite/schema.sql");
  std::vector<Table> sqlServer = ParseSchema(L"db/sqlserver/schema.sql");
  ASSERT_EQ(24u, sqlite.size());
  ASSERT_EQ(sqlite.size(), sqlServer.size());
  for (size_t t = 0; t < sqlite.size(); ++t) {
    SCOPED_TRACE(testing::Message() << sqlite[t].name);
    EXPECT_EQ(sqlite[t].name, sqlServer[t].name);
    ASSERT_EQ(sqlite[t].columns.size(), sqlServer[t].columns.size());
    for (size_t c = 0; c < sqlite[t].columns.size(); ++c) {
      const Column &a = sqlite[t].columns[c], &b = sqlServer[t].columns[c];
      EXPECT_TRUE(a.name == b.name && a.kind == b.kind && a.width == b.width) << a.name << " / " << b.name;
    }
  }

  // Pages read "select *" rows by position and store texts of these lengths:
  // free-length patterns, contents, rule strings and policy names, the
  // wizard's 259-character places and 17-digit row id, 19-character times.
  const struct {
    const wchar_t* table;
    size_t index;
    const wchar_t* column;
    int atLeast;
  } columns[] = {
      {L"Filter", 3, L"RegExp", kUnbounded},      {L"Trust", 3, L"Content", kUnbounded},
      {L"Rules", 7, L"UnicodeName", kUnbounded},  {L"reinforcingPolicy", 0, L"policyName", kUnbounded},
      {L"reinforcingPolicy", 1, L"policyDoc", kUnbounded}, {L"netSecurity", 0, L"policyName", kUnbounded},
      {L"StrategyTable", 0, L"StrategyName", 63}, {L"StrategyTable", 10, L"SelectedFolder", 259},
      {L"StrategyTable", 36, L"SavePlace", 259},  {L"StrategyTable", 37, L"ReportPlace", 259},
      {L"StrategyTable", 40, L"id", 17},          {L"StrategyTable", 41, L"IgnoreFolder", 2047},
      {L"StrategyTable", 42, L"RunStatus", 0},    {L"AuditLog", 5, L"Strategyid", 17},
      {L"IpAddressTable", 2, L"IpCreateTime", 19}, {L"AppStrategyTable", 6, L"AppFilePath", 259},
      {L"Client", 1, L"IP", 15},                  {L"Client", 3, L"Name", 20},
      {L"Client", 5, L"Status", 0},               {L"Users", 1, L"name", 64},
  };
  for (const auto& c : columns) {
    const Column* found = Find(sqlServer, c.table, c.index);
    ASSERT_NE(nullptr, found) << c.table << " " << c.index;
    EXPECT_EQ(c.column, found->name) << c.table << " " << c.index;
    EXPECT_GE(found->width, c.atLeast) << c.table << "." << c.column;
  }
}

class SchemaTest : public ConnectedDatabaseTest {};

TEST_F(SchemaTest, EveryTableReadsBackByPositionWithItsTypes) {
  for (const Table& table : ParseSchema(L"db/sqlite/schema.sql")) {
    SCOPED_TRACE(testing::Message() << table.name);
    EXPECT_EQ(table.name == L"Users" ? 1 : 0, Int(link, (L"select count(*) from " + table.name).c_str()));
    // A value per column that tells the columns apart.
    std::wstring names, markers;
    std::vector<std::wstring> texts;
    for (const Column& c : table.columns) {
      names += (names.empty() ? L"" : L",") + c.name;
      markers += markers.empty() ? L"?" : L",?";
      texts.push_back(c.kind == Kind::DateTime ? L"2024-03-05 07:08:09" : L"值" + c.name);
    }
    auto bind = [&](SQLStatement* st, int i) {
      return table.columns[i].kind == Kind::Integer ? st->BindInt(i, 1000 + i) : st->BindString(i, texts[i].c_str());
    };
    const int count = static_cast<int>(table.columns.size());
    SQLStatement* st =
        link.CreateStatement((L"insert into " + table.name + L" (" + names + L") values (" + markers + L")").c_str());
    ASSERT_NE(nullptr, st) << link.GetLastErrorText();
    for (int i = 0; i < count; ++i) EXPECT_EQ(1, bind(st, i));
    ASSERT_EQ(1, st->Execute()) << link.GetLastErrorText();
    st = link.CreateStatement((L"select * from " + table.name + L" where " + table.columns[0].name + L" = ?").c_str());
    ASSERT_NE(nullptr, st);
    bind(st, 0);
    ASSERT_EQ(1, st->Fetch()) << link.GetLastErrorText();
    for (int i = 0; i < count; ++i) {
      // A text column comes back as text: as a number it is what its leading digits say.
      const Kind kind = table.columns[i].kind;
      EXPECT_EQ(kind == Kind::Integer ? 1000 + i : kind == Kind::DateTime ? 2024 : 0, st->GetInt(i))
          << table.columns[i].name;
      EXPECT_EQ(kind == Kind::Integer ? L"(null)" : texts[i], Str(st->GetString(i))) << table.columns[i].name;
    }
  }
}

TEST_F(SchemaTest, IdsTheDatabaseAssignsAreNeverReused) {
  // A reused filter id would adopt the rules left behind by a deleted filter.
  const struct {
    const wchar_t* table;
    const wchar_t* insert;
  } cases[] = {
      {L"Users", L"insert into Users (name) values (?)"},
      {L"Client", L"insert into Client (Name) values (?)"},
      {L"Filter", L"insert into Filter (FilterName) values (?)"},
      {L"Rules", L"insert into Rules (FilterName) values (?)"},
      {L"Copy", L"insert into Copy (StrategyName) values (?)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.table);
    const std::wstring maxId = std::wstring(L"select max(id) from ") + c.table;
    ASSERT_EQ(1, Exec(link, c.insert, {L"一"}));
    int first = Int(link, maxId.c_str());
    ASSERT_EQ(1, Exec(link, (std::wstring(L"delete from ") + c.table + L" where id = ?").c_str(), {first}));
    ASSERT_EQ(1, Exec(link, c.insert, {L"二"}));
    EXPECT_LT(first, Int(link, maxId.c_str()));
  }
  // The console chooses trust ids itself; the database gives none.
  EXPECT_EQ(0, link.ExecDirect(L"insert into Trust (type, ClientIP, Content) values (0, '10.0.0.1', 'C:\\a')"));
}

}  // namespace
