#pragma once
// One statement of the log center with its values: a select text, then conditions
// appended one by one ("where" before the first, "and" before the others), each value
// behind a "?" and kept, in order, to be bound as text. Nothing a user chose or a
// database returned is ever written into the text, so quotes and wildcards in a
// keyword, a host or a content are only data. A keyword is matched literally with
// "like ? escape '\'", the pattern made here, which means the same on SQLite and on
// SQL Server. Plain data, no window and no link of its own.
#include <string>
#include <vector>

class SQLServerLink;
class SQLStatement;

class CLCQueryBuilder {
 public:
  explicit CLCQueryBuilder(const wchar_t* select);

  // A condition without a value, e.g. a join.
  CLCQueryBuilder& Condition(const wchar_t* condition);
  // "<column> <op> ?" with the value bound as text.
  CLCQueryBuilder& Where(const wchar_t* column, const wchar_t* op, const std::wstring& value);
  // "<column> like ? escape '\'", matching the keyword anywhere in the column.
  CLCQueryBuilder& Contains(const wchar_t* column, const std::wstring& keyword);
  // Text after the conditions ("order by ...").
  CLCQueryBuilder& Then(const wchar_t* tail);

  const std::wstring& Text() const { return m_text; }
  const std::vector<std::wstring>& Values() const { return m_values; }

  // The statement prepared on the link with every value bound; null when the
  // statement cannot be prepared or a value cannot be bound (diagnosis on the link).
  SQLStatement* Prepare(SQLServerLink& link) const;

  // The "like" pattern that finds keyword as it is written: "%", "_", "[" and "\"
  // escaped with "\", "%" on both sides.
  static std::wstring LikePattern(const std::wstring& keyword);

 private:
  std::wstring m_text;
  std::vector<std::wstring> m_values;
  bool m_hasCondition = false;
};
