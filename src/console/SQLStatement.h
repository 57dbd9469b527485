// One prepared statement on an SQLServerLink. It works on the link's single
// statement handle; once the link has moved on to another statement, every
// call on this one fails instead of touching the other statement. A statement whose
// bind or row limit failed does not run: it would run without the value, or read every
// row, and its rows would pass for the ones asked for.
#pragma once
#include <string>

#include "platform/ProcessSeam.h"

class ODBCDatabase;

class SQLStatement {
 public:
  // For tests only (nothing is installed otherwise), while it lives: what a driver other
  // than the test's gives. Counts withheld: RowCount is -1 after every change, as SQL
  // Server gives under NOCOUNT. Binds or row limits refused: they fail on the statements
  // whose text holds refusedIn (every statement when it is null), from the one after
  // the first `passes` of them on.
  class DriverStandIn {
   public:
    enum Refused { kNothing, kBinds, kRowLimits };

    DriverStandIn() : m_scope(*this) {}
    // The binds and row limits refused so far.
    int Refusals() const { return m_refusals; }

    bool countsWithheld = false;
    Refused refused = kNothing;
    const wchar_t* refusedIn = nullptr;
    int passes = 0;

   private:
    friend class SQLStatement;
    const void* m_last = nullptr;  // the statement last met, by database and serial
    unsigned m_lastSerial = 0;
    int m_met = 0;
    int m_refusals = 0;
    qv::ProcessSeam<DriverStandIn>::Scope m_scope;
  };

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
  // change (the record is gone), -1 when it failed or the driver cannot tell (SQL Server
  // under NOCOUNT: the console's connections set it off, see ODBCDatabase::Connect).
  long RowCount();
  // Executes on the first call, then reads the next row. 0 means no further
  // row or a failure (a failed bind or row limit too); Failed() tells the two apart.
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
  // Marks the statement unusable when a bind or row limit failed; the result as 1 or 0.
  int UsableAfter(bool done);
  bool StandInRefuses(DriverStandIn::Refused what);

  ODBCDatabase* m_database;
  unsigned m_serial;
  int m_executed = 0;
  bool m_failed = false;
  bool m_unusable = false;  // a bind or row limit failed
};
