#include "console/ODBCDatabase.h"

#include "platform/TextConv.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <cwctype>

SQLHENV g_odbcEnvironment = SQL_NULL_HENV;
volatile LONG g_odbcEnvRefCount = -1;
volatile LONG g_odbcConnectionCount = 0;
char g_odbcSqlState[100] = {};
wchar_t g_odbcErrorText[255] = {};

namespace {

// The driver may hand back ODBC 2 codes for date-times and the signed C code
// for big integers; both are treated like their ODBC 3 counterparts.
const SQLSMALLINT kOdbc2Timestamp = 11;
const SQLSMALLINT kDriverSignedBigInt = SQL_BIGINT + SQL_SIGNED_OFFSET;

const size_t kMessageChars = 254;
const size_t kInitialScratchChars = 512;
// Texts longer than this do not fit SQL Server's nvarchar(n) and go as long text.
const size_t kLongTextChars = 4000;

bool IsTextType(SQLSMALLINT type) {
  switch (type) {
    case SQL_WCHAR:
    case SQL_WVARCHAR:
    case SQL_WLONGVARCHAR:
    // Debian's SQLite driver reports every text column with the narrow types.
    case SQL_CHAR:
    case SQL_VARCHAR:
    case SQL_LONGVARCHAR:
    // Exact numbers keep their digits as text.
    case SQL_NUMERIC:
    case SQL_DECIMAL:
      return true;
    default:
      return false;
  }
}

// A value of a connection string, braced when it holds what would end or open one.
std::wstring ConnectionValue(const wchar_t* text) {
  const std::wstring value = qv::OrEmpty(text);
  const bool plain = value.find_first_of(L";{}=") == std::wstring::npos &&
                     (value.empty() || (value.front() != L' ' && value.back() != L' '));
  if (plain) return value;
  std::wstring braced = L"{";
  for (wchar_t c : value) {
    braced += c;
    if (c == L'}') braced += L'}';
  }
  return braced + L"}";
}

// The "Timeout" of SQLite's completed connection string, the driver's default without one.
int LockWaitOf(const wchar_t* completed) {
  const wchar_t kKey[] = L";timeout=";
  std::wstring text = L";" + std::wstring(completed);
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  const size_t at = text.find(kKey);
  const long wait = at == std::wstring::npos ? 0 : std::wcstol(text.c_str() + at + wcslen(kKey), nullptr, 10);
  return wait > 0 && wait <= 1000000 ? static_cast<int>(wait) : 100000;
}

// Out-of-range values give the nearest int rather than undefined behaviour.
int ClampToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
  if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
  return static_cast<int>(value);
}

}  // namespace

void ODBCDatabase::CellElement::Clear() {
  flag = 0;
  kind = None;
  text.clear();
  number.int64 = 0;
}

const void* ODBCDatabase::CellElement::Value() const {
  if (kind == None) return nullptr;
  if (kind == WideText) return text.c_str();
  return &number;
}

const wchar_t* ODBCDatabase::CellElement::Text() const { return flag == 1 ? text.c_str() : nullptr; }

int ODBCDatabase::CellElement::AsInt() const {
  switch (kind) {
    case Int32:
      return number.int32;
    case Int64:
      return static_cast<int>(number.int64);
    case Double:
      return ClampToInt(number.real64);
    case Float:
      return ClampToInt(number.real32);
    case WideText:
      return static_cast<int>(std::wcstol(text.c_str(), nullptr, 10));
    default:
      return 0;
  }
}

std::wstring ODBCDatabase::CellElement::AsText() const {
  wchar_t digits[40] = L"";
  switch (kind) {
    case WideText:
      return text;
    case Int32:
      return std::to_wstring(number.int32);
    case Int64:
      return std::to_wstring(number.int64);
    case Double:
      _snwprintf(digits, 39, L"%.15g", number.real64);
      return digits;
    case Float:
      _snwprintf(digits, 39, L"%.7g", static_cast<double>(number.real32));
      return digits;
    default:
      return std::wstring();
  }
}

ODBCDatabase::ODBCDatabase() {
  if (InterlockedIncrement(&g_odbcEnvRefCount) == 0) {
    SQLHENV env = SQL_NULL_HENV;
    if (Succeeded(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env))) {
      if (!Succeeded(
              SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0))) {
        SQLFreeHandle(SQL_HANDLE_ENV, env);
        env = SQL_NULL_HENV;
      }
    } else {
      env = SQL_NULL_HENV;
    }
    g_odbcEnvironment = env;
  }
}

ODBCDatabase::~ODBCDatabase() {
  m_row.clear();
  Disconnect();
  if (InterlockedDecrement(&g_odbcEnvRefCount) == -1) {
    if (g_odbcEnvironment != SQL_NULL_HENV) SQLFreeHandle(SQL_HANDLE_ENV, g_odbcEnvironment);
    g_odbcEnvironment = SQL_NULL_HENV;
  }
}

int ODBCDatabase::Connect(const wchar_t* dsn, const wchar_t* user, const wchar_t* password,
                          int timeoutSeconds, int lockWaitMs) {
  if (m_hdbc != SQL_NULL_HDBC) Disconnect();

  m_ret = SQLAllocHandle(SQL_HANDLE_DBC, g_odbcEnvironment, &m_hdbc);
  if (!Succeeded(m_ret)) {
    m_hdbc = SQL_NULL_HDBC;
    RecordFailure(SQL_HANDLE_ENV, g_odbcEnvironment);
    return 0;
  }
  m_ret = SQLSetConnectAttrW(m_hdbc, SQL_ATTR_LOGIN_TIMEOUT,
                             reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(timeoutSeconds)), 0);
  if (!Succeeded(m_ret)) {
    RecordFailure(SQL_HANDLE_DBC, m_hdbc);
    return 0;
  }
  // SQLite's driver waits for a lock as long as its "Timeout" (milliseconds) says, taken
  // from the connection string before the data source's; it ignores the query timeout.
  // SQL Server's drivers wait as long as the query timeout (whole seconds); "Timeout" is
  // no keyword of Microsoft's, and FreeTDS reads it as a query timeout in seconds, which
  // the statement's own replaces. The key comes before the user and password, as the
  // SQLite driver takes the first match without reading braces. The driver's completed
  // connection string tells the wait it took.
  const std::wstring connection = L"DSN=" + ConnectionValue(dsn) +
                                  (lockWaitMs > 0 ? L";Timeout=" + std::to_wstring(lockWaitMs) : std::wstring()) +
                                  L";UID=" + ConnectionValue(user) + L";PWD=" + ConnectionValue(password) + L";";
  wchar_t completed[1024] = {};
  SQLSMALLINT outLength = 0;
  if (dsn && *dsn) {
    m_ret = SQLDriverConnectW(m_hdbc, nullptr,
                              const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(connection.c_str())), SQL_NTS,
                              reinterpret_cast<SQLWCHAR*>(completed), sizeof completed / sizeof completed[0] - 1,
                              &outLength, SQL_DRIVER_NOPROMPT);
  } else {
    // Settings that name no source: in a connection string an empty name would open the
    // driver manager's default source, some other database; a plain connect refuses it.
    m_ret = SQLConnectW(m_hdbc, const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(L"")), SQL_NTS,
                        const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(qv::OrEmpty(user))), SQL_NTS,
                        const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(qv::OrEmpty(password))), SQL_NTS);
  }
  m_queryTimeoutSeconds = lockWaitMs > 0 ? static_cast<SQLULEN>((lockWaitMs + 999) / 1000) : 0;
  m_lockWaitMs = LockWaitOf(completed);
  if (!Succeeded(m_ret)) {
    RecordFailure(SQL_HANDLE_DBC, m_hdbc);
    return 0;
  }
  m_connected = true;
  // Under NOCOUNT, which a site may set for every login, SQL Server does not say how
  // many rows a change found, and a record another console deleted would pass for one
  // changed. The statement is SQL Server's own: SQLite is not sent it.
  wchar_t dbms[128] = {};
  SQLSMALLINT length = 0;
  const bool named = Succeeded(SQLGetInfoW(m_hdbc, SQL_DBMS_NAME, dbms, sizeof dbms - sizeof dbms[0], &length));
  m_sqlite = named && IsSqlite(dbms);
  if (named && IsSqlServer(dbms)) {
    const int counted = ExecDirect(L"set nocount off");
    FreeStatement();
    if (!counted) {
      SQLDisconnect(m_hdbc);
      m_connected = false;
      return 0;
    }
  }
  InterlockedIncrement(&g_odbcConnectionCount);
  return 1;
}

namespace {

// Whether text begins with name (lower case), in any letter case.
bool NamedAs(const std::wstring& text, const wchar_t* name) {
  const size_t length = std::wcslen(name);
  if (text.size() < length) return false;
  for (size_t i = 0; i < length; ++i)
    if (static_cast<wchar_t>(std::towlower(text[i])) != name[i]) return false;
  return true;
}

}  // namespace

bool ODBCDatabase::IsSqlServer(const std::wstring& dbmsName) { return NamedAs(dbmsName, L"microsoft sql server"); }

bool ODBCDatabase::IsSqlite(const std::wstring& dbmsName) { return NamedAs(dbmsName, L"sqlite"); }

void ODBCDatabase::Disconnect() {
  FreeStatement();
  if (m_hdbc == SQL_NULL_HDBC) return;
  if (m_connected) {
    // An open transaction would make the disconnect fail; what was not
    // committed is given up.
    if (m_inTransaction) EndTransaction(false);
    SQLDisconnect(m_hdbc);
    m_connected = false;
    InterlockedDecrement(&g_odbcConnectionCount);
  }
  SQLFreeHandle(SQL_HANDLE_DBC, m_hdbc);
  m_hdbc = SQL_NULL_HDBC;
  m_inTransaction = false;
}

int ODBCDatabase::AllocStatement() {
  FreeStatement();
  // A new statement starts without a row: nothing of the previous result
  // may pass for its own.
  m_row.clear();
  ++m_statementSerial;
  m_failed = false;
  if (!m_connected) {
    m_failed = true;
    return 0;
  }
  m_ret = SQLAllocHandle(SQL_HANDLE_STMT, m_hdbc, &m_hstmt);
  if (!Succeeded(m_ret)) {
    m_hstmt = SQL_NULL_HSTMT;
    m_failed = true;
    RecordFailure(SQL_HANDLE_DBC, m_hdbc);
    return 0;
  }
  // Drivers that know no query timeout take it without complaint.
  if (m_queryTimeoutSeconds)
    SQLSetStmtAttrW(m_hstmt, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(m_queryTimeoutSeconds), 0);
  return 1;
}

void ODBCDatabase::FreeStatement() {
  if (m_hstmt != SQL_NULL_HSTMT) {
    SQLFreeHandle(SQL_HANDLE_STMT, m_hstmt);
    m_hstmt = SQL_NULL_HSTMT;
  }
  // The buffers were bound to the freed handle only.
  m_params.clear();
  m_columnsKnown = false;
  m_columnTypes.clear();
  m_sql.clear();
  m_cursorOpened = false;
}

int ODBCDatabase::Prepare(const wchar_t* sql) {
  if (m_hstmt == SQL_NULL_HSTMT || !sql) {
    m_failed = true;
    return 0;
  }
  m_ret = SQLPrepareW(m_hstmt, const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(sql)), SQL_NTS);
  if (!Succeeded(m_ret)) {
    m_failed = true;
    RecordFailure(SQL_HANDLE_STMT, m_hstmt);
    return 0;
  }
  m_sql = sql;
  return 1;
}

int ODBCDatabase::Execute() {
  m_failed = false;
  if (m_hstmt == SQL_NULL_HSTMT) {
    m_failed = true;
    return 0;
  }
  m_columnsKnown = false;
  m_columnTypes.clear();
  if (m_cursorOpened) {
    // A query run again starts from its first row: its cursor is closed, and
    // the text prepared anew, as the SQLite driver stepping through results
    // would otherwise go on where the last run stopped. Bindings stay.
    SQLFreeStmt(m_hstmt, SQL_CLOSE);
    m_ret = SQLPrepareW(m_hstmt, const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(m_sql.c_str())), SQL_NTS);
    if (!Succeeded(m_ret)) {
      m_failed = true;
      RecordFailure(SQL_HANDLE_STMT, m_hstmt);
      return 0;
    }
  }
  m_ret = SQLExecute(m_hstmt);
  if (Succeeded(m_ret) || m_ret == SQL_NO_DATA) {
    SQLSMALLINT columns = 0;
    m_cursorOpened = Succeeded(SQLNumResultCols(m_hstmt, &columns)) && columns > 0;
    return 1;
  }
  m_failed = true;
  RecordFailure(SQL_HANDLE_STMT, m_hstmt);
  return 0;
}

long ODBCDatabase::RowCount() {
  if (m_hstmt == SQL_NULL_HSTMT) return -1;
  SQLLEN rows = -1;
  m_ret = SQLRowCount(m_hstmt, &rows);
  if (!Succeeded(m_ret)) {
    RecordFailure(SQL_HANDLE_STMT, m_hstmt);
    return -1;
  }
  return rows < 0 ? -1 : static_cast<long>(rows);
}

int ODBCDatabase::SetMaxRows(int rows) {
  if (m_hstmt == SQL_NULL_HSTMT || rows < 0) return 0;
  m_ret = SQLSetStmtAttrW(m_hstmt, SQL_ATTR_MAX_ROWS, reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(rows)), 0);
  if (!Succeeded(m_ret)) {
    RecordFailure(SQL_HANDLE_STMT, m_hstmt);
    return 0;
  }
  return 1;
}

int ODBCDatabase::ExecDirect(const wchar_t* sql) {
  if (!AllocStatement()) return 0;
  if (!sql) {
    m_failed = true;
    return 0;
  }
  m_ret = SQLExecDirectW(m_hstmt, const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(sql)), SQL_NTS);
  if (Succeeded(m_ret) || m_ret == SQL_NO_DATA) return 1;
  m_failed = true;
  RecordFailure(SQL_HANDLE_STMT, m_hstmt);
  return 0;
}

int ODBCDatabase::LoadColumnTypes() {
  m_columnTypes.clear();
  SQLSMALLINT count = 0;
  m_ret = SQLNumResultCols(m_hstmt, &count);
  if (!Succeeded(m_ret)) {
    RecordFailure(SQL_HANDLE_STMT, m_hstmt);
    return 0;
  }
  m_columnTypes.reserve(count > 0 ? count : 0);
  for (SQLSMALLINT column = 1; column <= count; ++column) {
    SQLLEN type = 0;
    m_ret = SQLColAttributeW(m_hstmt, column, SQL_DESC_CONCISE_TYPE, nullptr, 0, nullptr, &type);
    if (m_ret == SQL_ERROR || m_ret == SQL_INVALID_HANDLE) {
      RecordFailure(SQL_HANDLE_STMT, m_hstmt);
      m_columnTypes.clear();
      return 0;
    }
    m_columnTypes.push_back(static_cast<SQLSMALLINT>(type));
  }
  m_columnsKnown = true;
  return 1;
}

int ODBCDatabase::Fetch() {
  m_failed = false;
  if (m_hstmt == SQL_NULL_HSTMT) {
    m_failed = true;
    return 0;
  }
  m_ret = SQLFetchScroll(m_hstmt, SQL_FETCH_NEXT, 0);
  if (!Succeeded(m_ret)) {
    if (m_ret != SQL_NO_DATA) {
      m_failed = true;
      RecordFailure(SQL_HANDLE_STMT, m_hstmt);
    }
    return 0;
  }

  if (!m_columnsKnown && !LoadColumnTypes()) {
    m_row.clear();
    m_failed = true;
    return 0;
  }
  m_row.resize(m_columnTypes.size());
  for (size_t i = 0; i < m_columnTypes.size(); ++i) {
    CellElement& cell = m_row[i];
    cell.Clear();
    SQLRETURN ret = ReadCell(static_cast<SQLUSMALLINT>(i + 1), m_columnTypes[i], cell);
    if (!Succeeded(ret) && ret != SQL_NO_DATA) {
      // What could not be read shows as an empty text or a zero.
      RecordFailure(SQL_HANDLE_STMT, m_hstmt);
      if (IsTextType(m_columnTypes[i])) {
        SetTextCell(cell, L"", 0);
      } else {
        cell.number.int64 = 0;
      }
    }
  }
  return 1;
}

SQLRETURN ODBCDatabase::ReadCell(SQLUSMALLINT column, SQLSMALLINT sqlType, CellElement& cell) {
  SQLLEN indicator = 0;
  wchar_t text[64];

  if (IsTextType(sqlType)) return ReadText(column, cell);

  switch (sqlType) {
    case SQL_INTEGER:
    case SQL_SMALLINT:
    case SQL_TINYINT:
    case SQL_BIT:
      cell.kind = CellElement::Int32;
      m_ret = SQLGetData(m_hstmt, column, SQL_C_SLONG, &cell.number.int32, sizeof cell.number.int32, &indicator);
      break;
    case SQL_BIGINT:
    case kDriverSignedBigInt:
      cell.kind = CellElement::Int64;
      m_ret = SQLGetData(m_hstmt, column, SQL_C_SBIGINT, &cell.number.int64, sizeof cell.number.int64, &indicator);
      break;
    case SQL_FLOAT:
    case SQL_DOUBLE:
      cell.kind = CellElement::Double;
      m_ret = SQLGetData(m_hstmt, column, SQL_C_DOUBLE, &cell.number.real64, sizeof cell.number.real64, &indicator);
      break;
    case SQL_REAL:
      cell.kind = CellElement::Float;
      m_ret = SQLGetData(m_hstmt, column, SQL_C_FLOAT, &cell.number.real32, sizeof cell.number.real32, &indicator);
      break;
    case SQL_TYPE_TIMESTAMP:
    case SQL_DATETIME:
    case kOdbc2Timestamp: {
      SQL_TIMESTAMP_STRUCT ts = {};
      m_ret = SQLGetData(m_hstmt, column, SQL_C_TYPE_TIMESTAMP, &ts, sizeof ts, &indicator);
      if (!Succeeded(m_ret) || indicator == SQL_NULL_DATA) return m_ret;
      int n = _snwprintf(text, 63, L"%.4d-%.2d-%.2d %.2d:%.2d:%.2d", static_cast<int>(ts.year),
                         static_cast<int>(ts.month), static_cast<int>(ts.day), static_cast<int>(ts.hour),
                         static_cast<int>(ts.minute), static_cast<int>(ts.second));
      SetTextCell(cell, text, n > 0 ? static_cast<size_t>(n) : 0);
      return m_ret;
    }
    case SQL_TYPE_DATE: {
      SQL_DATE_STRUCT d = {};
      m_ret = SQLGetData(m_hstmt, column, SQL_C_TYPE_DATE, &d, sizeof d, &indicator);
      if (!Succeeded(m_ret) || indicator == SQL_NULL_DATA) return m_ret;
      int n = _snwprintf(text, 63, L"%.4d-%.2d-%.2d", static_cast<int>(d.year), static_cast<int>(d.month),
                         static_cast<int>(d.day));
      SetTextCell(cell, text, n > 0 ? static_cast<size_t>(n) : 0);
      return m_ret;
    }
    case SQL_TYPE_TIME: {
      SQL_TIME_STRUCT t = {};
      m_ret = SQLGetData(m_hstmt, column, SQL_C_TYPE_TIME, &t, sizeof t, &indicator);
      if (!Succeeded(m_ret) || indicator == SQL_NULL_DATA) return m_ret;
      int n = _snwprintf(text, 63, L"%.2d:%.2d:%.2d", static_cast<int>(t.hour), static_cast<int>(t.minute),
                         static_cast<int>(t.second));
      SetTextCell(cell, text, n > 0 ? static_cast<size_t>(n) : 0);
      return m_ret;
    }
    default:
      // Binary, GUID and other types are not read.
      return SQL_SUCCESS;
  }

  if (Succeeded(m_ret) && indicator == SQL_NULL_DATA) cell.Clear();
  return m_ret;
}

SQLRETURN ODBCDatabase::ReadText(SQLUSMALLINT column, CellElement& cell) {
  if (m_scratch.size() < kInitialScratchChars) m_scratch.resize(kInitialScratchChars);

  // The driver's length is a hint at most: the text is taken in chunks until
  // the driver says the rest fitted, and the buffer only grows with what
  // actually arrived.
  size_t used = 0;
  for (;;) {
    size_t room = m_scratch.size() - used;
    SQLLEN indicator = 0;
    m_ret = SQLGetData(m_hstmt, column, SQL_C_WCHAR, m_scratch.data() + used,
                       static_cast<SQLLEN>(room * sizeof(wchar_t)), &indicator);
    if (m_ret == SQL_NO_DATA) break;
    if (!Succeeded(m_ret)) return m_ret;
    if (indicator == SQL_NULL_DATA) return m_ret;

    bool lengthKnown = indicator != SQL_NO_TOTAL && indicator >= 0;
    size_t chars = lengthKnown ? static_cast<size_t>(indicator) / sizeof(wchar_t) : 0;
    if (m_ret == SQL_SUCCESS || (lengthKnown && chars < room)) {
      if (!lengthKnown || chars >= room) chars = wcsnlen(m_scratch.data() + used, room - 1);
      used += chars;
      break;
    }
    // Truncated: room - 1 characters and a terminator were written.
    used += room - 1;
    m_scratch.resize(m_scratch.size() * 2);
  }

  if (used > 0) SetTextCell(cell, m_scratch.data(), used);
  if (m_ret == SQL_NO_DATA) m_ret = SQL_SUCCESS;
  return m_ret;
}

void ODBCDatabase::SetTextCell(CellElement& cell, const wchar_t* text, size_t length) {
  cell.flag = 1;
  cell.kind = CellElement::WideText;
  cell.text.assign(text, length);
}

int ODBCDatabase::GetInt(int column) const {
  if (column < 0 || static_cast<size_t>(column) >= m_row.size()) return 0;
  return m_row[column].AsInt();
}

const wchar_t* ODBCDatabase::GetText(int column) const {
  if (column < 0 || static_cast<size_t>(column) >= m_row.size()) return nullptr;
  return m_row[column].Text();
}

std::wstring ODBCDatabase::GetAsText(int column) const {
  if (column < 0 || static_cast<size_t>(column) >= m_row.size()) return std::wstring();
  return m_row[column].AsText();
}

int ODBCDatabase::BindParameter(int index, std::unique_ptr<BoundParameter> param, SQLSMALLINT cType,
                                SQLSMALLINT sqlType, SQLULEN columnSize, SQLPOINTER data) {
  if (m_hstmt == SQL_NULL_HSTMT || index < 0 || index >= 32767) return 0;
  SQLLEN bufferLength =
      cType == SQL_C_WCHAR ? static_cast<SQLLEN>((param->text.size() + 1) * sizeof(wchar_t)) : 0;
  BoundParameter* bound = param.get();
  m_params.push_back(std::move(param));
  m_ret = SQLBindParameter(m_hstmt, static_cast<SQLUSMALLINT>(index + 1), SQL_PARAM_INPUT, cType, sqlType,
                           columnSize, 0, data, bufferLength, &bound->indicator);
  if (!Succeeded(m_ret)) {
    RecordFailure(SQL_HANDLE_STMT, m_hstmt);
    m_params.pop_back();
    return 0;
  }
  return 1;
}

int ODBCDatabase::BindText(int index, const wchar_t* text) {
  if (!text || !*text) return BindEmptyText(index);
  std::unique_ptr<BoundParameter> param(new BoundParameter);
  param->text = text;
  size_t length = param->text.size();
  param->indicator = static_cast<SQLLEN>(length * sizeof(wchar_t));
  SQLSMALLINT sqlType = length > kLongTextChars ? SQL_WLONGVARCHAR : SQL_WVARCHAR;
  SQLPOINTER data = &param->text[0];
  return BindParameter(index, std::move(param), SQL_C_WCHAR, sqlType, length, data);
}

int ODBCDatabase::BindEmptyText(int index) {
  std::unique_ptr<BoundParameter> param(new BoundParameter);
  param->indicator = 0;
  SQLPOINTER data = &param->text[0];
  return BindParameter(index, std::move(param), SQL_C_WCHAR, SQL_WVARCHAR, 2, data);
}

// A NULL that every column type takes, whatever the statement puts it in.
int ODBCDatabase::BindNull(int index) {
  std::unique_ptr<BoundParameter> param(new BoundParameter);
  param->indicator = SQL_NULL_DATA;
  SQLPOINTER data = &param->text[0];
  return BindParameter(index, std::move(param), SQL_C_WCHAR, SQL_WVARCHAR, 1, data);
}

int ODBCDatabase::BindInt(int index, int value) {
  std::unique_ptr<BoundParameter> param(new BoundParameter);
  param->intValue = value;
  param->indicator = 0;
  SQLPOINTER data = &param->intValue;
  return BindParameter(index, std::move(param), SQL_C_SLONG, SQL_INTEGER, 0, data);
}

int ODBCDatabase::BindDouble(int index, double value) {
  std::unique_ptr<BoundParameter> param(new BoundParameter);
  param->doubleValue = value;
  param->indicator = 0;
  SQLPOINTER data = &param->doubleValue;
  return BindParameter(index, std::move(param), SQL_C_DOUBLE, SQL_DOUBLE, 0, data);
}

int ODBCDatabase::SetAutoCommit(bool on) {
  if (!m_connected) return 0;
  m_ret = SQLSetConnectAttrW(m_hdbc, SQL_ATTR_AUTOCOMMIT,
                             reinterpret_cast<SQLPOINTER>(on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF),
                             SQL_IS_UINTEGER);
  if (!Succeeded(m_ret)) {
    RecordFailure(SQL_HANDLE_DBC, m_hdbc);
    return 0;
  }
  m_inTransaction = !on;
  return 1;
}

int ODBCDatabase::BeginTransaction() {
  if (!m_connected || m_inTransaction) return 0;
  if (!m_sqlite) return SetAutoCommit(false);
  // The driver's own transactions begin deferred: the connection stays in autocommit and
  // the transaction is SQLite's own. The driver tries a statement that met a lock again
  // as long as its wait, after SQLite has waited as long: with SQLite's wait off, the
  // user waits once. It stays off until the transaction ends, for the commit too.
  if (!ExecAside(L"pragma busy_timeout = 0")) return 0;
  if (!ExecAside(L"begin immediate")) {
    RestoreLockWait();
    return 0;
  }
  m_inTransaction = true;
  return 1;
}

void ODBCDatabase::RestoreLockWait() {
  // The driver's own handler is not to be had back: SQLite's, waiting as long. What
  // failed before stays the diagnostic the caller asks for.
  ExecAside((L"pragma busy_timeout = " + std::to_wstring(m_lockWaitMs)).c_str(), false);
}

int ODBCDatabase::ExecAside(const wchar_t* sql, bool diagnose) {
  SQLHSTMT statement = SQL_NULL_HSTMT;
  m_ret = SQLAllocHandle(SQL_HANDLE_STMT, m_hdbc, &statement);
  if (!Succeeded(m_ret)) {
    if (diagnose) RecordFailure(SQL_HANDLE_DBC, m_hdbc);
    return 0;
  }
  m_ret = SQLExecDirectW(statement, const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(sql)), SQL_NTS);
  bool done = Succeeded(m_ret) || m_ret == SQL_NO_DATA;
  // A pragma runs as the driver steps to its row.
  SQLSMALLINT columns = 0;
  if (done && Succeeded(SQLNumResultCols(statement, &columns)) && columns > 0) {
    m_ret = SQLFetch(statement);
    done = Succeeded(m_ret) || m_ret == SQL_NO_DATA;
  }
  if (!done && diagnose) RecordFailure(SQL_HANDLE_STMT, statement);
  SQLFreeHandle(SQL_HANDLE_STMT, statement);
  return done ? 1 : 0;
}

int ODBCDatabase::EndTransaction(bool commit) {
  if (!m_connected || !m_inTransaction) return 0;
  // An open cursor keeps SQLite from ending the transaction.
  if (m_hstmt != SQL_NULL_HSTMT) SQLFreeStmt(m_hstmt, SQL_CLOSE);
  if (m_sqlite) {
    const int ended = ExecAside(commit ? L"commit" : L"rollback");
    // A commit that failed leaves the transaction to be rolled back; a rollback ends it
    // whatever it says (SQLite may have rolled back already).
    if (!commit || ended) {
      m_inTransaction = false;
      RestoreLockWait();
    }
    return ended;
  }
  m_ret = SQLEndTran(SQL_HANDLE_DBC, m_hdbc, commit ? SQL_COMMIT : SQL_ROLLBACK);
  int result = 1;
  if (!Succeeded(m_ret)) {
    RecordFailure(SQL_HANDLE_DBC, m_hdbc);
    result = 0;
  }
  if (!commit || result) SetAutoCommit(true);
  return result;
}

SQLINTEGER ODBCDatabase::Diagnose(SQLSMALLINT handleType, SQLHANDLE handle) {
  std::memset(g_odbcSqlState, 0, sizeof g_odbcSqlState);
  std::memset(g_odbcErrorText, 0, sizeof g_odbcErrorText);
  if (handle == SQL_NULL_HANDLE) return 0;
  SQLWCHAR state[6] = {};
  SQLINTEGER nativeError = 0;
  SQLSMALLINT length = 0;
  SQLRETURN ret =
      SQLGetDiagRecW(handleType, handle, 1, state, &nativeError, reinterpret_cast<SQLWCHAR*>(g_odbcErrorText),
                     static_cast<SQLSMALLINT>(kMessageChars + 1), &length);
  if (!Succeeded(ret)) {
    std::memset(g_odbcErrorText, 0, sizeof g_odbcErrorText);
    return 0;
  }
  size_t end = length < 0 ? 0 : static_cast<size_t>(length);
  if (end > kMessageChars) end = kMessageChars;
  g_odbcErrorText[end] = L'\0';
  for (int i = 0; i < 5 && state[i]; ++i)
    g_odbcSqlState[i] = state[i] < 0x80 ? static_cast<char>(state[i]) : '?';
  return nativeError;
}

void ODBCDatabase::RecordFailure(SQLSMALLINT handleType, SQLHANDLE handle) {
  m_errorNative = Diagnose(handleType, handle);
  std::memcpy(m_errorState, g_odbcSqlState, sizeof m_errorState);
  std::memcpy(m_errorText, g_odbcErrorText, sizeof m_errorText);
  m_hasError = true;
}

const wchar_t* ODBCDatabase::GetLastErrorText() {
  if (m_hasError) {
    std::memcpy(g_odbcSqlState, m_errorState, sizeof g_odbcSqlState);
    std::memcpy(g_odbcErrorText, m_errorText, sizeof g_odbcErrorText);
  } else if (m_hstmt != SQL_NULL_HSTMT) {
    Diagnose(SQL_HANDLE_STMT, m_hstmt);
  } else if (m_hdbc != SQL_NULL_HDBC) {
    Diagnose(SQL_HANDLE_DBC, m_hdbc);
  } else {
    Diagnose(SQL_HANDLE_ENV, g_odbcEnvironment);
  }
  return g_odbcErrorText;
}

bool ODBCDatabase::LastFailureWasBusy() const {
  if (!m_hasError) return false;
  // SQL Server: the query timeout ran out (HYT00), or a lock time-out (1222). SQLite's
  // driver gives its own result code as the native error: 5 busy, 6 locked.
  if (std::strcmp(m_errorState, "HYT00") == 0 || m_errorNative == 1222) return true;
  return std::strcmp(m_errorState, "HY000") == 0 && (m_errorNative == 5 || m_errorNative == 6);
}
