// A fresh SQLite monitoring database per test, reached through unixODBC with
// ini files of the test's own (never the user's data sources), and short
// forms for running a statement and reading its first row.
//
// unixODBC runs on the Unix side of Wine and reads ODBCSYSINI/ODBCINI from
// the Unix environment, which a Windows process cannot change: ctest sets
// both to a directory of this test executable's own. The first use writes
// the ini files there (before any ODBC call), builds a template database from
// db/sqlite/schema.sql and db/initial-data.sql, and every Reset copies the
// template over the test database.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"

namespace qvtest {

class TestDatabase {
 public:
  static const wchar_t* Dsn();
  // The database file behind Dsn(), as a Windows path.
  static std::wstring File();

  // Replaces the test database by a copy of the template. All links must be
  // closed. False with a message in *error when the setup is not usable.
  static bool Reset(std::wstring* error);

  // Adds the data source `dsn` of the SQL Server driver (FreeTDS) for a server at
  // 127.0.0.1:port, in place of any added before. False with a message in *error when
  // the setup or the driver is missing.
  static bool AddSqlServerSource(const wchar_t* dsn, unsigned short port, std::wstring* error);

  // A file of the source tree, as a Windows path.
  static std::wstring SourceFile(const wchar_t* relativePath);
  static bool ReadUtf8File(const std::wstring& path, std::wstring* text);

  // Runs a file of SQL statements on the data source, in one transaction.
  static bool RunScript(const wchar_t* dsn, const std::wstring& path, std::wstring* error);
};

// One bound parameter: an integer or a text.
struct SqlParam {
  SqlParam(int v) : isInt(true), i(v) {}
  SqlParam(const wchar_t* v) : s(v) {}
  bool isInt = false;
  int i = 0;
  const wchar_t* s = nullptr;
};

// The prepared statement with its parameters bound in order; every step must succeed.
SQLStatement* Prepare(SQLServerLink& link, const wchar_t* sql, std::initializer_list<SqlParam> params = {});
// Prepares, binds and executes a statement, then releases it; Execute's result.
int Exec(SQLServerLink& link, const wchar_t* sql, std::initializer_list<SqlParam> params = {});
// The statement on its first row; null (and a test failure) without one.
SQLStatement* Row(SQLServerLink& link, const wchar_t* sql, std::initializer_list<SqlParam> params = {});
// The first column of the first row as an integer; -1 without a row.
int Int(SQLServerLink& link, const wchar_t* sql, std::initializer_list<SqlParam> params = {});

// Turns the table into a view of the same name and columns whose column `column`
// raises "integer overflow" on every row that matches `when` (an expression over the
// table's columns); the rows stay in the table renamed <table>Rows. A statement
// without parameters (which the driver steps through as it fetches) then gives the
// rows before that one and fails at its fetch; one with parameters fails at its first.
bool FailRowsWhen(SQLServerLink& link, const wchar_t* table, const wchar_t* column, const wchar_t* when,
                  std::wstring* error);

// A text as the link returns it, "(null)" for none.
inline std::wstring Str(const wchar_t* text) { return text ? text : L"(null)"; }

// Base fixture: SetUp gives each test a fresh database.
class DatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override;
};

// The same with a link connected to it.
class ConnectedDatabaseTest : public DatabaseTest {
 protected:
  void SetUp() override;
  SQLServerLink link;
};

}  // namespace qvtest
