#include "logcenter/LCLogQueries.h"

const LCLogStatement kAuditLogStatement = {
    L"select DISTINCT b.StrategyName,a.LogStyle,a.LogContent from AuditLog as a,StrategyTable as b",
    L"a.Strategyid=b.id", L"a.LogHostIp", L"a.LogTime", L"a.LogStyle", L"a.LogContent"};

const LCLogStatement kHipsLogStatement = {L"select LogTime,LogStyle,LogContent,HIPSAction from HIPSLog",
                                          nullptr, L"LogHostIp", L"LogTime", L"LogStyle", L"LogContent"};

const LCLogStatement kSystemLogStatement = {L"select LogTime,LogStyle,LogContent from SystemLog", nullptr,
                                            L"LogHostIp", L"LogTime", L"LogStyle", L"LogContent"};

// Host first, then the time range: the order of the tables' (LogHostIp, LogTime) index.
CLCQueryBuilder LCLogQuery(const LCLogStatement& statement, const LCLogFilter& filter) {
  CLCQueryBuilder query(statement.select);
  if (statement.join) query.Condition(statement.join);
  query.Where(statement.hostColumn, L"=", filter.host)
      .Where(statement.timeColumn, L">=", filter.start)
      .Where(statement.timeColumn, L"<", filter.end);
  if (!filter.type.empty()) query.Where(statement.typeColumn, L"=", filter.type);
  if (!filter.keyword.empty()) query.Contains(statement.contentColumn, filter.keyword);
  return query;
}

// Through the strategy's rows, as the list found the entry: an entry of the same host,
// type and content under another strategy is another entry.
CLCQueryBuilder LCAuditDetailQuery(const LCLogFilter& filter, const std::wstring& strategy,
                                   const std::wstring& type, const std::wstring& content) {
  CLCQueryBuilder query(L"select a.LogTime,a.LogDetail from AuditLog as a,StrategyTable as b");
  query.Condition(L"a.Strategyid=b.id")
      .Where(L"a.LogHostIp", L"=", filter.host)
      .Where(L"a.LogTime", L">=", filter.start)
      .Where(L"a.LogTime", L"<", filter.end)
      .Where(L"b.StrategyName", L"=", strategy)
      .Where(L"a.LogStyle", L"=", type)
      .Where(L"a.LogContent", L"=", content)
      .Then(L" order by a.LogTime");
  return query;
}

CLCQueryBuilder LCClientQuery(const std::wstring& address) {
  CLCQueryBuilder query(L"select name,MAC from Client");
  query.Where(L"IP", L"=", address);
  return query;
}
