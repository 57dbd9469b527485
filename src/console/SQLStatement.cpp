#include "console/SQLStatement.h"

#include "console/ODBCDatabase.h"

SQLStatement::SQLStatement(ODBCDatabase* database, unsigned serial)
    : m_database(database), m_serial(serial) {}

SQLStatement::~SQLStatement() { Close(); }

bool SQLStatement::IsCurrent() const {
  return m_database && m_database->StatementSerial() == m_serial &&
         m_database->StatementHandle() != SQL_NULL_HSTMT;
}

int SQLStatement::UsableAfter(bool done) {
  if (!done) m_unusable = true;
  return done ? 1 : 0;
}

bool SQLStatement::StandInRefuses(DriverStandIn::Refused what) {
  DriverStandIn* standIn = qv::ProcessSeam<DriverStandIn>::Installed();
  if (!standIn || standIn->refused != what || !IsCurrent()) return false;
  if (standIn->refusedIn && m_database->PreparedText().find(standIn->refusedIn) == std::wstring::npos) return false;
  if (standIn->m_last != m_database || standIn->m_lastSerial != m_serial) {
    standIn->m_last = m_database;
    standIn->m_lastSerial = m_serial;
    ++standIn->m_met;
  }
  if (standIn->m_met <= standIn->passes) return false;
  ++standIn->m_refusals;
  return true;
}

int SQLStatement::BindString(int index, const wchar_t* text) {
  return UsableAfter(IsCurrent() && !StandInRefuses(DriverStandIn::kBinds) && m_database->BindText(index, text));
}

int SQLStatement::BindInt(int index, int value) {
  return UsableAfter(IsCurrent() && !StandInRefuses(DriverStandIn::kBinds) && m_database->BindInt(index, value));
}

int SQLStatement::BindDouble(int index, double value) {
  return UsableAfter(IsCurrent() && !StandInRefuses(DriverStandIn::kBinds) && m_database->BindDouble(index, value));
}

int SQLStatement::BindEmptyString(int index) {
  return UsableAfter(IsCurrent() && !StandInRefuses(DriverStandIn::kBinds) && m_database->BindEmptyText(index));
}

int SQLStatement::BindNull(int index) {
  return UsableAfter(IsCurrent() && !StandInRefuses(DriverStandIn::kBinds) && m_database->BindNull(index));
}

int SQLStatement::SetMaxRows(int rows) {
  return UsableAfter(IsCurrent() && !StandInRefuses(DriverStandIn::kRowLimits) && m_database->SetMaxRows(rows));
}

int SQLStatement::Execute() {
  if (!IsCurrent() || m_unusable) {
    m_failed = true;
    return 0;
  }
  int result = m_database->Execute();
  m_failed = result == 0;
  return result;
}

long SQLStatement::RowCount() {
  if (!IsCurrent() || m_failed) return -1;
  const DriverStandIn* standIn = qv::ProcessSeam<DriverStandIn>::Installed();
  return standIn && standIn->countsWithheld ? -1 : m_database->RowCount();
}

int SQLStatement::Fetch() {
  if (!IsCurrent() || m_unusable) {
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
