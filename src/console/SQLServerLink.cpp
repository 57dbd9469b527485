#include "console/SQLServerLink.h"

#include <algorithm>

#include "console/ODBCDatabase.h"
#include "console/SQLStatement.h"

const wchar_t kDatabaseHeldText[] = L"数据库正被其他程序占用，请稍后再试。";

SQLServerLink::SQLServerLink() : m_database(new ODBCDatabase) {}

SQLServerLink::~SQLServerLink() {
  m_statements.clear();
  m_database->Disconnect();
}

int SQLServerLink::Connect(const wchar_t* dsn, const wchar_t* user, const wchar_t* password) {
  if (m_connectCount != 0) return m_connectResult;
  m_connectResult = m_database->Connect(dsn, user, password, m_loginTimeoutSeconds, m_lockWaitMs);
  ++m_connectCount;
  return m_connectResult;
}

void SQLServerLink::Disconnect() {
  if (m_connectCount != 1) return;
  m_database->Disconnect();
  m_connectCount = 0;
  m_connectResult = 0;
}

SQLStatement* SQLServerLink::CreateStatement(const wchar_t* sql) {
  if (!m_database->AllocStatement()) return nullptr;
  if (!m_database->Prepare(sql)) {
    m_database->FreeStatement();
    return nullptr;
  }
  m_statements.emplace_back(new SQLStatement(m_database.get(), m_database->StatementSerial()));
  return m_statements.back().get();
}

void SQLServerLink::ReleaseStatement(SQLStatement* statement) {
  if (!statement) return;
  auto it =
      std::find_if(m_statements.begin(), m_statements.end(),
                   [statement](const std::unique_ptr<SQLStatement>& s) { return s.get() == statement; });
  if (it != m_statements.end()) m_statements.erase(it);
}

void SQLServerLink::ReleaseStatements() {
  m_statements.clear();
  m_database->FreeStatement();
}

int SQLServerLink::ExecDirect(const wchar_t* sql) {
  int result = m_database->ExecDirect(sql);
  m_database->FreeStatement();
  return result;
}

int SQLServerLink::BeginTransaction() { return m_database->BeginTransaction(); }

int SQLServerLink::Commit() { return m_database->EndTransaction(true); }

int SQLServerLink::Rollback() { return m_database->EndTransaction(false); }

const wchar_t* SQLServerLink::GetLastErrorText() {
  const wchar_t* text = m_database->GetLastErrorText();
  if (!m_database->LastFailureWasBusy()) return text;
  // The driver's text alone ("database is locked") does not say that it will pass.
  m_errorText = std::wstring(kDatabaseHeldText) + text;
  return m_errorText.c_str();
}

bool SQLServerLink::LastFailureWasBusy() const { return m_database->LastFailureWasBusy(); }
