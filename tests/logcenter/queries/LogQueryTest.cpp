// The log center's statements: the text each filter makes and the values it binds, what
// a keyword or a type finds in a real database, and the index the range queries use.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

#include "logcenter/LCLogQueries.h"
#include "support/TestDatabase.h"

using namespace qvtest;

namespace {

using Texts = std::vector<std::wstring>;
const LCLogFilter kDay{L"10.0.0.1", L"2024-03-05 00:00:00", L"2024-03-06 00:00:00", L"", L""};

// The statement's conditions, each marker replaced by the value bound to it, with
// blanks dropped and ASCII in lower case: what the statement selects, not its wording.
Texts Conditions(const CLCQueryBuilder& query) {
  std::wstring text = query.Text();
  for (wchar_t& c : text) c = c < 128 ? static_cast<wchar_t>(std::towlower(c)) : c;
  const size_t where = text.find(L" where ");
  if (where == std::wstring::npos) return {L"no where clause"};
  Texts conditions;
  size_t value = 0;
  for (size_t at = where + 7, end; at <= text.size(); at = end + 5) {
    end = std::min(text.find(L" and ", at), text.size());
    std::wstring condition;
    for (wchar_t c : text.substr(at, end - at))
      if (c == L'?')
        condition += L"<" + (value < query.Values().size() ? query.Values()[value++] : L"unbound") + L">";
      else if (c != L' ')
        condition += c;
    conditions.push_back(condition);
  }
  if (value != query.Values().size()) conditions.push_back(L"values without a marker");
  std::sort(conditions.begin(), conditions.end());
  return conditions;
}

TEST(LogQueryText, ConditionsFollowTheFilterAndEveryValueIsBound) {
  LCLogFilter narrow = kDay;
  narrow.type = L"文件审计";
  narrow.keyword = L"50%_[a]\\'";
  const struct {
    CLCQueryBuilder query;
    Texts conditions;
  } rows[] = {
      {LCLogQuery(kAuditLogStatement, narrow),
       {L"a.logcontentlike<%50\\%\\_\\[a]\\\\'%>escape'\\'", L"a.loghostip=<10.0.0.1>",
        L"a.logstyle=<文件审计>", L"a.logtime<<2024-03-06 00:00:00>", L"a.logtime>=<2024-03-05 00:00:00>",
        L"a.strategyid=b.id"}},
      {LCLogQuery(kSystemLogStatement, kDay),  // no type, no keyword: no condition on them
       {L"loghostip=<10.0.0.1>", L"logtime<<2024-03-06 00:00:00>", L"logtime>=<2024-03-05 00:00:00>"}},
      {LCAuditDetailQuery(kDay, L"O'Brien策略", L"文件审计", L"C:\\a'.txt"),  // the entry's own strategy
       {L"a.logcontent=<C:\\a'.txt>orderbya.logtime", L"a.loghostip=<10.0.0.1>", L"a.logstyle=<文件审计>",
        L"a.logtime<<2024-03-06 00:00:00>", L"a.logtime>=<2024-03-05 00:00:00>", L"a.strategyid=b.id",
        L"b.strategyname=<O'Brien策略>"}},
      {LCClientQuery(L"1' or '1'='1"), {L"ip=<1' or '1'='1>"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.query.Text());
    EXPECT_EQ(row.conditions, Conditions(row.query));
  }
}

using LogQuery = ConnectedDatabaseTest;

TEST_F(LogQuery, KeywordsMatchAsWrittenAndTypesMatchExactly) {
  for (const wchar_t* content : {L"O'Brien 的文件", L"100% 完成", L"100 个完成", L"a_b", L"axb", L"[x] 括号", L"x 括号",
                                 L"C:\\数据", L"C:数据"})
    ASSERT_EQ(1, Exec(link, L"insert into SystemLog (LogTime, LogStyle, LogContent, LogHostIp) values "
                            L"('2024-03-05 10:00:00', ?, ?, '10.0.0.1')",
                      {content[0] == L'a' ? L"系统启动" : L"服务停止", content}));
  const struct {
    const wchar_t *keyword, *type;
    Texts found;
  } rows[] = {
      {L"'", L"", {L"O'Brien 的文件"}}, {L"0%", L"", {L"100% 完成"}},   {L"a_", L"", {L"a_b"}},
      {L"[x]", L"", {L"[x] 括号"}},     {L"\\", L"", {L"C:\\数据"}},     {L"的文件", L"", {L"O'Brien 的文件"}},
      {L"", L"系统启动", {L"a_b", L"axb"}}, {L"_", L"系统启动", {L"a_b"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.keyword);
    Texts found;
    SQLStatement* st = LCLogQuery(kSystemLogStatement, {kDay.host, kDay.start, kDay.end, row.type, row.keyword})
                           .Prepare(link);
    while (st && st->Fetch()) found.push_back(Str(st->GetString(2)));
    ASSERT_TRUE(st && !st->Failed()) << link.GetLastErrorText();
    link.ReleaseStatement(st);
    std::sort(found.begin(), found.end());
    EXPECT_EQ(row.found, found);
  }
}

TEST_F(LogQuery, OneDayQueriesUseTheHostAndTimeIndex) {
  for (const auto& row : {std::make_pair(&kAuditLogStatement, L"AuditLog"), std::make_pair(&kHipsLogStatement, L"HIPSLog"),
                          std::make_pair(&kSystemLogStatement, L"SystemLog")}) {
    SCOPED_TRACE(testing::Message() << row.second);
    const CLCQueryBuilder query = LCLogQuery(*row.first, {kDay.host, kDay.start, kDay.end, L"", L"a"});
    SQLStatement* st = CLCQueryBuilder((L"explain query plan " + query.Text()).c_str()).Prepare(link);
    for (size_t i = 0; st && i < query.Values().size(); ++i) st->BindString(static_cast<int>(i), query.Values()[i].c_str());
    std::wstring steps;
    while (st && st->Fetch()) steps += Str(st->GetString(3)) + L"\n";
    link.ReleaseStatement(st);
    const std::wstring use = L"USING INDEX IX_" + std::wstring(row.second) + L"_Host_Time (LogHostIp=? AND LogTime>?";
    EXPECT_NE(std::wstring::npos, steps.find(use)) << testing::PrintToString(steps);
  }
}

}  // namespace
