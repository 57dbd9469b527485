// One prepared statement on an SQLServerLink. It works on the link's single
// statement handle; once the link has moved on to another statement, every
// call on this one fails instead of touching the other statement.
#pragma once
#include <string>

class ODBCDatabase;

class SQLStatement {
 public:
  SQLStatement(ODBCDatabase* database, unsigned serial);
  ~SQLStatement();

  SQLStatement(const SQLStatement&) = delete;
  SQLStatement& operator=(const SQLStatement&) = delete;

  // Parameters are 0-based. Values are copied: the caller's buffers may go
  // away before the statement runs.
  int BindString(int index, const wchar_t* text);
  int BindInt(int index, int value);
  int BindDouble(int index, double value);
  int BindEmptyString(int index);
  int BindNull(int index);

  // Row limit of a query, set before it runs (0: no limit). Statements
  // limit their rows here, never with TOP or LIMIT in the text, so that
  // they run on both databases.
  int SetMaxRows(int rows);

  // For statements without a result set; an update that touched no row
  // counts as success. Running a query again closes its open cursor first.
  int Execute();
  // The rows the last Execute changed: 0 for an update or delete that found no row to
  // change (the record is gone), -1 when it failed or the driver cannot tell.
  long RowCount();
  // Executes on the first call, then reads the next row. 0 means no further
  // row or a failure; Failed() tells the two apart.
  int Fetch();
  int Failed() const;

  // Columns are 0-based. GetString is null for NULL and empty texts and for
  // cells that hold no text; it stays valid until the next Fetch.
  int GetInt(int column) const;
  const wchar_t* GetString(int column) const;
  // The cell whatever its type, as text: integers in decimal, date-times and texts as
  // GetString gives them; empty for NULL.
  std::wstring GetAsText(int column) const;

  // Frees the link's statement handle if it is still this statement's.
  void Close();

 private:
  bool IsCurrent() const;

  ODBCDatabase* m_database;
  unsigned m_serial;
  int m_executed = 0;
  bool m_failed = false;
};
