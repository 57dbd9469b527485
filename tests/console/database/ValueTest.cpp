// How values of each column type reach the caller: Chinese text, NULL and
// empty text, date-times, integers, long texts.
#include <gtest/gtest.h>

#include <string>

#include "ConnectedTest.h"

namespace {

class ValueTest : public ConnectedTest {};

TEST_F(ValueTest, ChineseTextSurvivesLiteralsParametersAndLike) {
  ASSERT_EQ(1, link.ExecDirect(L"insert into AuditLog (LogHostIp, LogStyle, LogContent, LogTime) "
                               L"values ('10.0.0.1', '文件修改', '监测到文件被修改：C:\\数据\\报表.xls', "
                               L"'2024-03-05 07:08:09')"));
  ASSERT_EQ(1, Exec(link, L"insert into AuditLog (LogHostIp, LogStyle, LogContent, LogTime) values (?, ?, ?, ?)",
                    {L"10.0.0.2", L"注册表变化", L"键值 HKLM\\软件\\测试 被删除 — 𠀋", L"2024-03-06 10:00:00"}));

  SQLStatement* st = Row(
      link, L"select LogHostIp, LogStyle, LogContent from AuditLog where LogContent like ? order by LogHostIp",
      {L"%文件%"});
  ASSERT_NE(nullptr, st);
  EXPECT_STREQ(L"10.0.0.1", st->GetString(0));
  EXPECT_STREQ(L"文件修改", st->GetString(1));
  EXPECT_STREQ(L"监测到文件被修改：C:\\数据\\报表.xls", st->GetString(2));
  EXPECT_EQ(0, st->Fetch());

  st = Row(link, L"select LogContent from AuditLog where LogStyle = '注册表变化'");
  ASSERT_NE(nullptr, st);
  EXPECT_STREQ(L"键值 HKLM\\软件\\测试 被删除 — 𠀋", st->GetString(0));
}

TEST_F(ValueTest, NullAndEmptyTextReadAsNull) {
  ASSERT_EQ(1, Exec(link, L"insert into Users (name, password, comment, type, permission) values (?, ?, NULL, 0, 0)",
                    {L"空白", L""}));
  SQLStatement* st = Row(link, L"select password, comment, name from Users where name = '空白'");
  ASSERT_NE(nullptr, st);
  EXPECT_EQ(nullptr, st->GetString(0));
  EXPECT_EQ(nullptr, st->GetString(1));
  EXPECT_STREQ(L"空白", st->GetString(2));
  // Stored as an empty text, not as NULL.
  EXPECT_EQ(1, Int(link, L"select count(*) from Users where password = '' and comment is null"));
}

TEST_F(ValueTest, DateTimeReadsAsText) {
  ASSERT_EQ(1, link.ExecDirect(L"insert into SystemLog (LogTime, LogStyle, LogContent, LogHostIp) "
                               L"values ('2024-03-05 07:08:09', '启动', '', '10.0.0.1')"));
  ASSERT_EQ(1, link.ExecDirect(L"insert into SystemLog (LogTime, LogStyle) values (NULL, '空')"));
  SQLStatement* st = Row(link, L"select LogTime, LogStyle from SystemLog where LogTime >= '2024-03-05 00:00:00'");
  ASSERT_NE(nullptr, st);
  EXPECT_STREQ(L"2024-03-05 07:08:09", st->GetString(0));
  EXPECT_STREQ(L"启动", st->GetString(1));

  st = Row(link, L"select LogTime from SystemLog where LogStyle = '空'");
  ASSERT_NE(nullptr, st);
  EXPECT_EQ(nullptr, st->GetString(0));
}

TEST_F(ValueTest, IntegersBitsAndBigIntegers) {
  ASSERT_EQ(1, link.ExecDirect(L"create table Kinds (i INT, s SMALLINT, b BIT, g BIGINT, t NVARCHAR(10), "
                               L"f FLOAT, d DATE, h TIME, n INT)"));
  ASSERT_EQ(1, link.ExecDirect(L"insert into Kinds values (-42, 7, 1, 9000000001, ' 123', 2.75, "
                               L"'2024-03-05', '07:08:09', NULL)"));
  SQLStatement* st = Row(link, L"select i, s, b, g, t, f, d, h, n from Kinds");
  ASSERT_NE(nullptr, st);
  EXPECT_EQ(-42, st->GetInt(0));
  EXPECT_EQ(7, st->GetInt(1));
  EXPECT_EQ(1, st->GetInt(2));
  EXPECT_EQ(static_cast<int>(9000000001LL), st->GetInt(3));
  EXPECT_EQ(123, st->GetInt(4));
  EXPECT_STREQ(L" 123", st->GetString(4));
  EXPECT_EQ(2, st->GetInt(5));
  EXPECT_STREQ(L"2024-03-05", st->GetString(6));
  EXPECT_STREQ(L"07:08:09", st->GetString(7));
  EXPECT_EQ(0, st->GetInt(8));
  // Integers are not text; out-of-range columns read as nothing.
  EXPECT_EQ(nullptr, st->GetString(0));
  EXPECT_EQ(nullptr, st->GetString(9));
  EXPECT_EQ(nullptr, st->GetString(-1));
  EXPECT_EQ(0, st->GetInt(9));
}

TEST_F(ValueTest, TextsAroundTheChunkSizesAndLongTextsAreReadWhole) {
  // The first read takes 511 characters; longer texts continue in chunks, and
  // texts over 4,000 characters bind as long text.
  for (size_t length : {1u, 510u, 511u, 512u, 513u, 1022u, 1023u, 1024u, 1025u, 4000u, 4001u, 20000u}) {
    SCOPED_TRACE(length);
    std::wstring text;
    for (size_t i = 0; i < length; ++i) text += static_cast<wchar_t>(i % 3 ? L'测' + i % 50 : L'a' + i % 26);
    ASSERT_EQ(1, link.ExecDirect(L"delete from AuditLog"));
    ASSERT_EQ(1, Exec(link, L"insert into AuditLog (LogHostIp, LogContent, LogDetail, LogTime) values (?, ?, ?, ?)",
                      {L"10.0.0.3", text.substr(0, 511).c_str(), text.c_str(), L"2024-03-05 07:08:09"}));
    SQLStatement* st = Row(link, L"select LogContent, LogDetail, length(LogDetail) from AuditLog");
    ASSERT_NE(nullptr, st);
    EXPECT_EQ(text.substr(0, 511), st->GetString(0));
    ASSERT_NE(nullptr, st->GetString(1));
    EXPECT_EQ(text, st->GetString(1));
    EXPECT_EQ(static_cast<int>(length), st->GetInt(2));
  }
}

TEST_F(ValueTest, NamesCompareWithoutLetterCase) {
  SQLStatement* st = Row(link, L"select password, comment, id, type, permission from Users where name=?", {L"TAMUK"});
  ASSERT_NE(nullptr, st);
  EXPECT_STREQ(L"tamuk", st->GetString(0));
  // Names are unique without regard to case.
  EXPECT_EQ(0, link.ExecDirect(L"insert into Users (name, password, type, permission) values ('TAMUK', '', 0, 0)"));
  // Passwords are compared by the console; the column itself keeps case.
  EXPECT_EQ(0, Int(link, L"select count(*) from Users where password = ?", {L"TAMUK"}));
}

}  // namespace
