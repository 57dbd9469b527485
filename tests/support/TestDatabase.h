// A fresh SQLite monitoring database per test, reached through unixODBC with
// ini files of the test's own (never the user's data sources).
//
// unixODBC runs on the Unix side of Wine and reads ODBCSYSINI/ODBCINI from
// the Unix environment, which a Windows process cannot change: ctest sets
// both to a directory of this test executable's own. The first use writes
// the ini files there (before any ODBC call), builds a template database from
// db/sqlite/schema.sql and db/initial-data.sql, and every Reset copies the
// template over the test database.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qvtest {

class TestDatabase {
 public:
  static const wchar_t* Dsn();

  // Replaces the test database by a copy of the template. All links must be
  // closed. False with a message in *error when the setup is not usable.
  static bool Reset(std::wstring* error);

  // A file of the source tree, as a Windows path.
  static std::wstring SourceFile(const wchar_t* relativePath);
  static bool ReadUtf8File(const std::wstring& path, std::wstring* text);

  // The statements of an SQL script: split at semicolons outside quotes,
  // with "--" comments removed.
  static std::vector<std::wstring> SplitSql(const std::wstring& script);

  // Runs a script file through ODBC on the data source, in one transaction.
  static bool RunScript(const wchar_t* dsn, const std::wstring& path, std::wstring* error);
};

// Base fixture: SetUp gives each test a fresh database.
class DatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override;
};

}  // namespace qvtest
