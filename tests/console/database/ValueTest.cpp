// How values of each column type reach the caller: numbers, NULL and empty
// texts, date-times, Chinese and long texts.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "support/TestDatabase.h"

using namespace qvtest;

namespace {

class ValueTest : public ConnectedDatabaseTest {};

TEST_F(ValueTest, EachColumnTypeReadsAsTheConsoleExpects) {
  // The SQLite driver reports columns by their declared type.
  const struct {
    const wchar_t* type;
    const wchar_t* value;
    int asInt;
    const wchar_t* asText;  // null: no text
  } cases[] = {
      {L"INT", L"-42", -42, nullptr},
      {L"SMALLINT", L"7", 7, nullptr},
      {L"BIT", L"1", 1, nullptr},
      {L"BIGINT", L"9000000001", static_cast<int>(9000000001LL), nullptr},
      {L"INT", L"NULL", 0, nullptr},
      {L"NVARCHAR(10)", L"' 123'", 123, L" 123"},
      {L"NVARCHAR(10)", L"''", 0, nullptr},
      {L"NVARCHAR(10)", L"NULL", 0, nullptr},
      {L"NTEXT", L"'监测到文件被修改：C:\\数据'", 0, L"监测到文件被修改：C:\\数据"},
      {L"FLOAT", L"2.75", 2, nullptr},
      {L"FLOAT", L"1e12", INT_MAX, nullptr},
      {L"FLOAT", L"-1e300", INT_MIN, nullptr},
      {L"DATETIME", L"'2024-03-05 07:08:09'", 2024, L"2024-03-05 07:08:09"},
      {L"DATETIME", L"NULL", 0, nullptr},
      {L"DATE", L"'2024-03-05'", 2024, L"2024-03-05"},
      {L"TIME", L"'07:08:09'", 7, L"07:08:09"},
  };
  const int count = static_cast<int>(sizeof cases / sizeof cases[0]);
  std::wstring columns, values;
  for (int i = 0; i < count; ++i) {
    columns += (i ? L", c" : L"c") + std::to_wstring(i) + L" " + cases[i].type;
    values += (i ? L", " : L"") + std::wstring(cases[i].value);
  }
  ASSERT_EQ(1, link.ExecDirect((L"create table Kinds (" + columns + L")").c_str()));
  ASSERT_EQ(1, link.ExecDirect((L"insert into Kinds values (" + values + L")").c_str()));
  SQLStatement* st = Row(link, L"select * from Kinds");
  ASSERT_NE(nullptr, st);
  for (int i = 0; i < count; ++i) {
    SCOPED_TRACE(testing::Message() << cases[i].type << " " << cases[i].value);
    EXPECT_EQ(cases[i].asInt, st->GetInt(i));
    EXPECT_EQ(Str(cases[i].asText), Str(st->GetString(i)));
  }
  // Columns outside the row read as nothing.
  EXPECT_EQ(nullptr, st->GetString(-1));
  EXPECT_EQ(0, st->GetInt(count));
}

TEST_F(ValueTest, TextsAroundTheChunkSizesAndLongTextsAreReadWhole) {
  // The first read takes 511 characters; longer texts continue in chunks, and
  // texts over 4,000 characters bind as long text. Characters outside the
  // BMP take two units.
  for (size_t length : {1u, 511u, 512u, 1023u, 1024u, 4000u, 4001u, 20000u}) {
    SCOPED_TRACE(length);
    std::wstring text;
    for (size_t i = 0; i < length; ++i) text += static_cast<wchar_t>(i % 3 ? L'测' + i % 50 : L'a' + i % 26);
    if (length > 2) text.replace(length / 2, 2, L"𠀋");
    ASSERT_EQ(1, link.ExecDirect(L"delete from AuditLog"));
    ASSERT_EQ(1, Exec(link, L"insert into AuditLog (LogContent, LogDetail) values (?, ?)",
                      {text.substr(0, 511).c_str(), text.c_str()}));
    SQLStatement* st = Row(link, L"select LogContent, LogDetail from AuditLog where LogDetail like ?",
                           {(L"%" + text.substr(0, 1) + L"%").c_str()});
    ASSERT_NE(nullptr, st);
    EXPECT_EQ(text.substr(0, 511), st->GetString(0));
    EXPECT_EQ(text, Str(st->GetString(1)));
  }
}

TEST_F(ValueTest, NamesCompareWithoutLetterCaseAndPasswordsWithIt) {
  EXPECT_EQ(1, Int(link, L"select type from Users where name = ?", {L"TAMUK"}));
  EXPECT_EQ(0, link.ExecDirect(L"insert into Users (name) values ('TAMUK')"));
  EXPECT_EQ(0, Int(link, L"select count(*) from Users where password = ?", {L"TAMUK"}));
  // An empty text is stored as such, not as NULL.
  ASSERT_EQ(1, Exec(link, L"insert into Users (name, password) values (?, ?)", {L"空白", L""}));
  EXPECT_EQ(1, Int(link, L"select count(*) from Users where password = '' and comment is null"));
}

}  // namespace
