// The data source written by scripts/mkdb, as the console connects to it, with the
// data of scripts/gen-db. Runs only from mkdb_check.sh (ctest test
// test_console_database_mkdb), which sets QV_MKDB_DSN.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cwchar>
#include <string>

#include "support/TestDatabase.h"
#include "platform/TextConv.h"

using qvtest::Int;
using qvtest::Row;

namespace {

TEST(MkdbDataSource, ConnectsWithTheSettingsAndReadsTheGeneratedData) {
  const char* dsn = std::getenv("QV_MKDB_DSN");
  ASSERT_TRUE(dsn && *dsn) << "QV_MKDB_DSN is set by test_console_database_mkdb";
  std::wstring name = qv::Utf8ToWide(dsn);

  SQLServerLink link;
  // The SQLite driver ignores the SQL login; the console passes it all the same.
  ASSERT_EQ(1, link.Connect(name.c_str(), L"sa", L"secret")) << link.GetLastErrorText();
  SQLStatement* st = Row(link, L"select password, comment, id, type, permission from Users where name=?", {L"tamuk"});
  ASSERT_NE(nullptr, st);
  EXPECT_STREQ(L"tamuk", st->GetString(0));
  EXPECT_EQ(1, st->GetInt(3));
  EXPECT_EQ(31, st->GetInt(4));
  EXPECT_EQ(1, link.ExecDirect(L"insert into Client (IP, Name) values ('10.9.9.9', '检查')"));

  EXPECT_LT(1000, Int(link, L"select count(*) from AuditLog"));
  // Texts with characters outside the BMP, and 2,000-character ones, read back whole.
  st = Row(link, L"select LogContent from AuditLog where LogContent like ?", {L"%😀%"});
  ASSERT_NE(nullptr, st);
  EXPECT_NE(nullptr, std::wcsstr(st->GetString(0), L"𠀋𡈽𤭢 😀 超出基本平面"));
  st = Row(link, L"select LogDetail from AuditLog order by length(LogDetail) desc");
  ASSERT_NE(nullptr, st);
  EXPECT_LT(2000u, std::wcslen(st->GetString(0)));
}

}  // namespace
