#include "logcenter/CLCQueryBuilder.h"

#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"

CLCQueryBuilder::CLCQueryBuilder(const wchar_t* select) : m_text(select) {}

CLCQueryBuilder& CLCQueryBuilder::Condition(const wchar_t* condition) {
  m_text += m_hasCondition ? L" and " : L" where ";
  m_text += condition;
  m_hasCondition = true;
  return *this;
}

CLCQueryBuilder& CLCQueryBuilder::Where(const wchar_t* column, const wchar_t* op, const std::wstring& value) {
  Condition((std::wstring(column) + op + L"?").c_str());
  m_values.push_back(value);
  return *this;
}

CLCQueryBuilder& CLCQueryBuilder::Contains(const wchar_t* column, const std::wstring& keyword) {
  Condition((std::wstring(column) + L" like ? escape '\\'").c_str());
  m_values.push_back(LikePattern(keyword));
  return *this;
}

CLCQueryBuilder& CLCQueryBuilder::Then(const wchar_t* tail) {
  m_text += tail;
  return *this;
}

SQLStatement* CLCQueryBuilder::Prepare(SQLServerLink& link) const {
  SQLStatement* statement = link.CreateStatement(m_text.c_str());
  if (!statement) return nullptr;
  for (size_t i = 0; i < m_values.size(); ++i) {
    if (!statement->BindString(static_cast<int>(i), m_values[i].c_str())) {
      link.ReleaseStatement(statement);
      return nullptr;
    }
  }
  return statement;
}

std::wstring CLCQueryBuilder::LikePattern(const std::wstring& keyword) {
  std::wstring pattern = L"%";
  for (wchar_t c : keyword) {
    // "[" opens a character set on SQL Server; SQLite takes an escaped one as itself.
    if (c == L'%' || c == L'_' || c == L'[' || c == L'\\') pattern += L'\\';
    pattern += c;
  }
  pattern += L'%';
  return pattern;
}
