#include "console/SQLStatement.h"

#include "console/ODBCDatabase.h"

SQLStatement::SQLStatement(ODBCDatabase* database, unsigned serial)
    : m_database(database), m_serial(serial) {}

SQLStatement::~SQLStatement() { Close(); }

bool SQLStatement::IsCurrent() const {
  return m_database && m_database->StatementSerial() == m_serial &&
         m_database->StatementHandle() != SQL_NULL_HSTMT;
}

int SQLStatement::BindString(int index, const wchar_t* text) {
  return IsCurrent() ? m_database->BindText(index, text) : 0;
}

int SQLStatement::BindInt(int index, int value) {
  return IsCurrent() ? m_database->BindInt(index, value) : 0;
}

int SQLStatement::BindDouble(int index, double value) {
  return IsCurrent() ? m_database->BindDouble(index, value) : 0;
}

int SQLStatement::BindEmptyString(int index) { return IsCurrent() ? m_database->BindEmptyText(index) : 0; }

int SQLStatement::BindNull(int index) { return IsCurrent() ? m_database->BindNull(index) : 0; }

int SQLStatement::SetMaxRows(int rows) { return IsCurrent() ? m_database->SetMaxRows(rows) : 0; }

int SQLStatement::Execute() {
  if (!IsCurrent()) {
    m_failed = true;
    return 0;
  }
  int result = m_database->Execute();
  m_failed = result == 0;
  return result;
}

long SQLStatement::RowCount() { return IsCurrent() && !m_failed ? m_database->RowCount() : -1; }

int SQLStatement::Fetch() {
  if (!IsCurrent()) {
    m_failed = true;
    return 0;
  }
  if (!m_executed) {
    if (!m_database->Execute()) {
      m_failed = true;
      return 0;
    }
    m_executed = 1;
  }
  int result = m_database->Fetch();
  m_failed = m_database->LastCallFailed() != 0;
  return result;
}

int SQLStatement::Failed() const { return m_failed ? 1 : 0; }

int SQLStatement::GetInt(int column) const {
  return m_database && m_database->StatementSerial() == m_serial ? m_database->GetInt(column) : 0;
}

const wchar_t* SQLStatement::GetString(int column) const {
  return m_database && m_database->StatementSerial() == m_serial ? m_database->GetText(column) : nullptr;
}

std::wstring SQLStatement::GetAsText(int column) const {
  return m_database && m_database->StatementSerial() == m_serial ? m_database->GetAsText(column) : std::wstring();
}

void SQLStatement::Close() {
  // The row already read stays readable; any further statement call fails.
  if (IsCurrent()) m_database->FreeStatement();
}
