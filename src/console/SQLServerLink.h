// The short-lived database connection every operation opens on its stack:
// connect, create a statement, bind, execute or fetch, release, disconnect.
#pragma once

#include <memory>
#include <string>
#include <vector>

class ODBCDatabase;
class SQLStatement;

// What a failure that met another program's lock says before the driver's text.
extern const wchar_t kDatabaseHeldText[];

class SQLServerLink {
 public:
  SQLServerLink();
  virtual ~SQLServerLink();

  SQLServerLink(const SQLServerLink&) = delete;
  SQLServerLink& operator=(const SQLServerLink&) = delete;

  // How long a connect waits for the server to answer, in seconds (the default is
  // what an operation the user starts waits: 100 s). Set before Connect.
  enum : int { kUserLoginTimeoutSeconds = 100 };
  void SetLoginTimeout(int seconds) { m_loginTimeoutSeconds = seconds; }
  // Only the first call connects; later calls return its result.
  int Connect(const wchar_t* dsn, const wchar_t* user, const wchar_t* password);
  // Set before Connect: a statement that meets a lock of another connection gives up
  // after about this many milliseconds (0, the default: as long as the data source
  // says), and LastFailureWasBusy() tells it from other failures.
  void SetLockWait(int milliseconds) { m_lockWaitMs = milliseconds; }
  bool LastFailureWasBusy() const;
  void Disconnect();

  // Prepares the text on a new statement handle (the previous statement's
  // handle is freed). Null on failure, with the diagnosis in g_odbcErrorText.
  // The link owns the statement; ReleaseStatement gives it back early.
  SQLStatement* CreateStatement(const wchar_t* sql);
  void ReleaseStatement(SQLStatement* statement);
  // Gives back every statement made so far and frees the statement handle: a link
  // kept from one operation to the next would gather them.
  void ReleaseStatements();

  int ExecDirect(const wchar_t* sql);

  // A short sequence of statements as one unit, from BeginTransaction until
  // Commit or Rollback; it holds the database for writing from its start
  // (ODBCDatabase::BeginTransaction). Disconnecting with the transaction open
  // rolls it back. Pages write through RunInTransaction (or StoreAndTell), not
  // through these.
  int BeginTransaction();
  int Commit();
  int Rollback();

  // The driver's diagnostic of the last failure; one that met another program's lock
  // after kDatabaseHeldText.
  const wchar_t* GetLastErrorText();

  ODBCDatabase* Database() const { return m_database.get(); }
  int ConnectCount() const { return m_connectCount; }

 private:
  std::unique_ptr<ODBCDatabase> m_database;
  int m_connectCount = 0;
  int m_connectResult = 0;
  int m_lockWaitMs = 0;
  int m_loginTimeoutSeconds = kUserLoginTimeoutSeconds;
  std::vector<std::unique_ptr<SQLStatement>> m_statements;
  std::wstring m_errorText;
};
