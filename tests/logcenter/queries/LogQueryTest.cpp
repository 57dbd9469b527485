// The log center's statements: the text each filter makes and the values it binds, what
// a keyword or a type finds in a real database, and the index the range queries use.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "logcenter/LCLogQueries.h"
#include "support/TestDatabase.h"

using namespace qvtest;

namespace {

using Texts = std::vector<std::wstring>;

// One column of every row, sorted.
Texts Column(SQLServerLink& link, const CLCQueryBuilder& query, int column) {
  Texts found;
  SQLStatement* st = query.Prepare(link);
  EXPECT_NE(nullptr, st) << link.GetLastErrorText();
  while (st && st->Fetch()) found.push_back(Str(st->GetString(column)));
  std::sort(found.begin(), found.end());
  EXPECT_FALSE(st && st->Failed()) << link.GetLastErrorText();
  link.ReleaseStatement(st);
  return found;
}

TEST(LogQueryText, ConditionsFollowTheFilterAndEveryValueIsBound) {
  const LCLogFilter all{L"10.0.0.1", L"2024-03-01 00:00:00", L"2024-03-02 00:00:00", L"", L""};
  const LCLogFilter narrow{L"10.0.0.1", L"2024-03-01 00:00:00", L"2024-03-02 00:00:00", L"文件审计", L"50%_[a]\\'"};
  const struct {
    CLCQueryBuilder query;
    const wchar_t* text;
    Texts values;
  } rows[] = {
      {LCLogQuery(kHipsLogStatement, all),
       L"select LogTime,LogStyle,LogContent,HIPSAction from HIPSLog where LogHostIp=? and LogTime>=? and LogTime<?",
       {all.host, all.start, all.end}},
      {LCLogQuery(kSystemLogStatement, narrow),
       L"select LogTime,LogStyle,LogContent from SystemLog where LogHostIp=? and LogTime>=? and LogTime<? and "
       L"LogStyle=? and LogContent like ? escape '\\'",
       {all.host, all.start, all.end, L"文件审计", L"%50\\%\\_\\[a]\\\\'%"}},
      {LCLogQuery(kAuditLogStatement, narrow),
       L"select DISTINCT b.StrategyName,a.LogStyle,a.LogContent from AuditLog as a,StrategyTable as b where "
       L"a.Strategyid=b.id and a.LogHostIp=? and a.LogTime>=? and a.LogTime<? and a.LogStyle=? and "
       L"a.LogContent like ? escape '\\'",
       {all.host, all.start, all.end, L"文件审计", L"%50\\%\\_\\[a]\\\\'%"}},
      {LCAuditDetailQuery(all, L"文件审计", L"C:\\a'b"),
       L"select LogTime,LogDetail from AuditLog where LogHostIp=? and LogTime>=? and LogTime<? and LogStyle=? and "
       L"LogContent=? order by LogTime",
       {all.host, all.start, all.end, L"文件审计", L"C:\\a'b"}},
      {LCClientQuery(L"10.0.0.1' or '1'='1"), L"select name,MAC from Client where IP=?", {L"10.0.0.1' or '1'='1"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.query.Text());
    EXPECT_EQ(row.text, row.query.Text());
    EXPECT_EQ(row.values, row.query.Values());
  }
}

class LogQuery : public ConnectedDatabaseTest {};

TEST_F(LogQuery, KeywordsMatchAsWrittenAndTypesMatchExactly) {
  const wchar_t* contents[] = {L"O'Brien 的文件", L"100% 完成", L"100 个完成", L"a_b", L"axb", L"[x] 括号",
                               L"x 括号",        L"C:\\数据",   L"C:数据",     L"审计对象：注册表"};
  for (const wchar_t* content : contents)
    ASSERT_EQ(1, Exec(link, L"insert into SystemLog (LogTime, LogStyle, LogContent, LogHostIp) values "
                            L"('2024-03-05 10:00:00', ?, ?, '10.0.0.1')",
                      {content[0] == L'a' ? L"系统启动" : L"服务停止", content}));
  const struct {
    const wchar_t* keyword;
    const wchar_t* type;
    Texts found;
  } rows[] = {
      {L"'", L"", {L"O'Brien 的文件"}},
      {L"0%", L"", {L"100% 完成"}},
      {L"a_", L"", {L"a_b"}},
      {L"[x]", L"", {L"[x] 括号"}},
      {L"\\", L"", {L"C:\\数据"}},
      {L"注册表", L"", {L"审计对象：注册表"}},
      {L"%", L"", {L"100% 完成"}},
      {L"", L"系统启动", {L"a_b", L"axb"}},
      {L"b", L"系统启动", {L"a_b", L"axb"}},
      {L"_", L"系统启动", {L"a_b"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.keyword);
    const LCLogFilter filter{L"10.0.0.1", L"2024-03-05 00:00:00", L"2024-03-06 00:00:00", row.type, row.keyword};
    Texts expected = row.found;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, Column(link, LCLogQuery(kSystemLogStatement, filter), 2));
  }
}

TEST_F(LogQuery, OneDayQueriesUseTheHostAndTimeIndex) {
  const LCLogFilter day{L"10.0.0.1", L"2024-03-05 00:00:00", L"2024-03-06 00:00:00", L"", L"a"};
  const struct {
    const LCLogStatement* statement;
    const wchar_t* index;
  } rows[] = {{&kAuditLogStatement, L"IX_AuditLog_Host_Time"},
              {&kHipsLogStatement, L"IX_HIPSLog_Host_Time"},
              {&kSystemLogStatement, L"IX_SystemLog_Host_Time"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.index);
    const CLCQueryBuilder query = LCLogQuery(*row.statement, day);
    CLCQueryBuilder plan((L"explain query plan " + query.Text()).c_str());
    SQLStatement* st = plan.Prepare(link);
    ASSERT_NE(nullptr, st) << link.GetLastErrorText();
    for (size_t i = 0; i < query.Values().size(); ++i) st->BindString(static_cast<int>(i), query.Values()[i].c_str());
    std::wstring steps;
    while (st->Fetch()) steps += Str(st->GetString(3)) + L"\n";
    link.ReleaseStatement(st);
    const std::wstring use = std::wstring(L"USING INDEX ") + row.index + L" (LogHostIp=? AND LogTime>? AND LogTime<?)";
    EXPECT_NE(std::wstring::npos, steps.find(use)) << testing::PrintToString(steps);
  }
}

}  // namespace
