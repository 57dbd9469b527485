#pragma once
// The statements of the log center, kept together: the three log lists, the audit
// entry's detail and the host look-up. Each comes as a CLCQueryBuilder with its values.
#include <string>

#include "logcenter/CLCQueryBuilder.h"

// What a log query asks for. Times are texts of the form "YYYY-MM-DD hh:mm:ss" as the
// date picker writes them; the range takes start and stops before end.
struct LCLogFilter {
  std::wstring host;
  std::wstring start;
  std::wstring end;      // midnight after the last day asked for
  std::wstring type;     // empty: every type
  std::wstring keyword;  // empty: any content
};

// A log list's statement: what it selects, from where, and the columns the filter
// narrows.
struct LCLogStatement {
  const wchar_t* select;
  const wchar_t* join;  // a fixed condition, or null
  const wchar_t* hostColumn;
  const wchar_t* timeColumn;
  const wchar_t* typeColumn;
  const wchar_t* contentColumn;
};

// Audit entries by strategy name, type and content (distinct); HIPS entries by time,
// type, content and action; system entries by time, type and content.
extern const LCLogStatement kAuditLogStatement;
extern const LCLogStatement kHipsLogStatement;
extern const LCLogStatement kSystemLogStatement;

CLCQueryBuilder LCLogQuery(const LCLogStatement& statement, const LCLogFilter& filter);
// Time and detail of the audit entries of one strategy, type and content in the
// filter's range, oldest first.
CLCQueryBuilder LCAuditDetailQuery(const LCLogFilter& filter, const std::wstring& strategy,
                                   const std::wstring& type, const std::wstring& content);
// The name and MAC of the host with this address.
CLCQueryBuilder LCClientQuery(const std::wstring& address);
