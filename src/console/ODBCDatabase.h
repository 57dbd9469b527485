// ODBC 3 connection with one statement handle: binding, execution and
// fetching of rows into cells. SQLServerLink is the interface the pages use.
#pragma once

#include <windows.h>
// sql.h needs the Windows types first.
#include <sql.h>
#include <sqlext.h>

#include <memory>
#include <string>
#include <vector>

// The one ODBC environment shared by every ODBCDatabase; the count is -1
// while no ODBCDatabase exists.
extern SQLHENV g_odbcEnvironment;
extern volatile LONG g_odbcEnvRefCount;
// The connections open now, over every ODBCDatabase: what holds the database (locks,
// server sessions) whatever the objects that are merely constructed.
extern volatile LONG g_odbcConnectionCount;

// Diagnosis of the last failure, overwritten by every diagnosis.
extern char g_odbcSqlState[100];
extern wchar_t g_odbcErrorText[255];

class ODBCDatabase {
 public:
  // One value of the current row. flag 1: the value is UTF-16 text;
  // flag 0: anything else, or nothing (NULL and empty texts, unread types).
  // Cells are reused from row to row, so reading a list allocates only when
  // a text is longer than any before it in the same column.
  struct CellElement {
    enum Kind : short { None, WideText, Int32, Int64, Double, Float };

    LONG flag = 0;
    Kind kind = None;
    std::wstring text;
    union {
      SQLINTEGER int32;
      SQLBIGINT int64;
      double real64;
      float real32;
    } number = {};

    void Clear();
    const void* Value() const;
    const wchar_t* Text() const;
    int AsInt() const;
    // Any value as text: integers in decimal, date-times as read; empty for nothing.
    std::wstring AsText() const;
  };

  ODBCDatabase();
  virtual ~ODBCDatabase();

  ODBCDatabase(const ODBCDatabase&) = delete;
  ODBCDatabase& operator=(const ODBCDatabase&) = delete;

  // lockWaitMs > 0: a statement that meets rows another connection holds waits about
  // that long and fails as busy (LastFailureWasBusy) instead of waiting the data source's
  // own time, which is seconds to minutes. On SQL Server the connection counts the rows
  // each statement changes (SET NOCOUNT OFF, whatever the server's user options say); a
  // connection that cannot is not kept.
  int Connect(const wchar_t* dsn, const wchar_t* user, const wchar_t* password, int timeoutSeconds,
              int lockWaitMs = 0);
  void Disconnect();

  // Replaces the statement handle; the previous one is freed at once, so a
  // connection never holds more than one open statement.
  int AllocStatement();
  void FreeStatement();
  int Prepare(const wchar_t* sql);
  // At most this many rows come back from the next executions (0: all);
  // the driver stops reading there, so later rows are never fetched.
  int SetMaxRows(int rows);
  int Execute();
  int ExecDirect(const wchar_t* sql);
  int Fetch();
  // The rows the last update, insert or delete changed (SQLRowCount); -1 when the driver
  // cannot tell or nothing ran.
  long RowCount();

  int GetInt(int column) const;
  const wchar_t* GetText(int column) const;
  std::wstring GetAsText(int column) const;
  int ColumnCount() const { return static_cast<int>(m_row.size()); }
  // The text of the prepared statement.
  const std::wstring& PreparedText() const { return m_sql; }

  // Whether the product name a driver gives for its DBMS (SQL_DBMS_NAME) is SQL Server's:
  // "Microsoft SQL Server" from Microsoft's drivers and FreeTDS, in any letter case.
  static bool IsSqlServer(const std::wstring& dbmsName);

  // Parameters are 0-based; every bound value is copied into a buffer that
  // lives as long as the statement handle.
  int BindText(int index, const wchar_t* text);
  int BindInt(int index, int value);
  int BindDouble(int index, double value);
  int BindEmptyText(int index);
  int BindNull(int index);

  // A transaction that holds the database for writing from its start: on SQLite the write
  // lock is taken first (BEGIN IMMEDIATE), waiting for another writer as a single
  // statement does; one that took only a read lock could neither wait for a writer nor
  // let that writer commit. Elsewhere autocommit goes off. 0 when it could not begin.
  int BeginTransaction();
  int SetAutoCommit(bool on);
  int EndTransaction(bool commit);
  bool InTransaction() const { return m_inTransaction; }
  // Whether the product name a driver gives for its DBMS is SQLite's ("SQLite").
  static bool IsSqlite(const std::wstring& dbmsName);

  // The diagnosis of this object's most recent failure, copied into the
  // process-wide buffers; diagnoses the current handles when none failed.
  const wchar_t* GetLastErrorText();

  // Whether the most recent failure was a wait for another connection's lock that ran out.
  bool LastFailureWasBusy() const;

  SQLRETURN LastReturnCode() const { return m_ret; }
  SQLHDBC ConnectionHandle() const { return m_hdbc; }
  SQLHSTMT StatementHandle() const { return m_hstmt; }
  // Changes with every AllocStatement, so a statement object can tell
  // whether the handle is still its own.
  unsigned StatementSerial() const { return m_statementSerial; }
  // 1 when the last Execute or Fetch failed (as opposed to finding no row).
  int LastCallFailed() const { return m_failed ? 1 : 0; }

  static bool Succeeded(SQLRETURN ret) { return ret == SQL_SUCCESS || ret == SQL_SUCCESS_WITH_INFO; }

 private:
  struct BoundParameter {
    SQLLEN indicator = 0;
    std::wstring text;
    SQLINTEGER intValue = 0;
    double doubleValue = 0;
  };

  int LoadColumnTypes();
  int BindParameter(int index, std::unique_ptr<BoundParameter> param, SQLSMALLINT cType, SQLSMALLINT sqlType,
                    SQLULEN columnSize, SQLPOINTER data);
  SQLRETURN ReadCell(SQLUSMALLINT column, SQLSMALLINT sqlType, CellElement& cell);
  SQLRETURN ReadText(SQLUSMALLINT column, CellElement& cell);
  void SetTextCell(CellElement& cell, const wchar_t* text, size_t length);
  // Runs sql on a statement handle of its own: the current statement and row stay. A
  // failure is the diagnostic when diagnose.
  int ExecAside(const wchar_t* sql, bool diagnose = true);
  // Gives SQLite's wait for a lock back after a transaction.
  void RestoreLockWait();
  void RecordFailure(SQLSMALLINT handleType, SQLHANDLE handle);
  static SQLINTEGER Diagnose(SQLSMALLINT handleType, SQLHANDLE handle);

  SQLHDBC m_hdbc = SQL_NULL_HDBC;
  SQLHSTMT m_hstmt = SQL_NULL_HSTMT;
  SQLRETURN m_ret = SQL_SUCCESS;
  bool m_connected = false;
  bool m_inTransaction = false;
  bool m_sqlite = false;  // transactions are begun and ended by statements
  int m_lockWaitMs = 0;   // how long the SQLite driver waits for a lock
  bool m_failed = false;
  unsigned m_statementSerial = 0;
  SQLULEN m_queryTimeoutSeconds = 0;  // set on every statement; 0: none
  std::wstring m_sql;          // text of the prepared statement
  bool m_cursorOpened = false;  // its last execution gave a result set

  std::vector<std::unique_ptr<BoundParameter>> m_params;
  std::vector<CellElement> m_row;

  // Result-set shape, read once per execution.
  bool m_columnsKnown = false;
  std::vector<SQLSMALLINT> m_columnTypes;
  std::vector<wchar_t> m_scratch;

  bool m_hasError = false;
  char m_errorState[100] = {};
  SQLINTEGER m_errorNative = 0;
  wchar_t m_errorText[255] = {};
};
