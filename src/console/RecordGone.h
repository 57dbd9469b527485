#pragma once
// A command on a record that is no longer in the database (another console deleted it
// while this one still showed it) changes nothing and sends nothing. The statement that
// should change the record finds no row to change: the write stops there and its
// transaction is rolled back, nothing goes to the service, the user is told so and the
// page reads its list again. A later change of a record that still exists simply wins.
//
// Whether the change found its record is known from the database, never assumed: the
// record is read with the change's own condition first, in the same transaction, and
// the change's count of rows decides where the driver gives one. Where it does not (SQL
// Server under NOCOUNT), the read decides: a record it did not find was not changed,
// and one it found is the one changed, as SQLite keeps what a transaction read until it
// ends. SQL Server keeps nothing a read saw (read committed), so the console's
// connections to it always count (ODBCDatabase::Connect).
#include <functional>
#include <string>

class SQLServerLink;
class SQLStatement;

// A statement's text and the binding of its parameters (false when a bind failed).
struct RecordStatement {
  const wchar_t* sql;
  std::function<bool(SQLStatement&)> bind;
};

// Runs change, an update or delete of one record, after check, a select of that record
// with the change's condition (its key, and the state the change expects): 1 when the
// change changed the record, 0 when there was none to change (the change is not run
// when check finds none), -1 when either failed (the link holds the diagnostic). Both
// run in the link's transaction, or in one of their own when it has none.
int ExecuteOnRecord(SQLServerLink& link, const RecordStatement& check, const RecordStatement& change);

// Tells that the record is gone ("该记录已被删除，列表将重新读取。"), then runs reread, the
// page's own reading of its list.
void TellRecordGone(const std::function<void()>& reread);
// The same, told in the page's own words (naming what is gone).
void TellRecordGone(const std::wstring& text, const std::function<void()>& reread);
