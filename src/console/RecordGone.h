#pragma once
// A command on a record that is no longer in the database (another console deleted it
// while this one still showed it) changes nothing and sends nothing. The statement that
// should change the record finds no row to change: the write stops there and its
// transaction is rolled back, nothing goes to the service, the user is told so and the
// page reads its list again. A later change of a record that still exists simply wins.
#include <functional>
#include <string>

class SQLStatement;

// Executes an update or delete of one record: 1 when it changed a row (or the driver
// cannot count them), 0 when there was no row left to change, -1 when it failed (the
// link holds the diagnostic).
int ExecuteOnRecord(SQLStatement* statement);

// Tells that the record is gone ("该记录已被删除，列表将重新读取。"), then runs reread, the
// page's own reading of its list.
void TellRecordGone(const std::function<void()>& reread);
// The same, told in the page's own words (naming what is gone).
void TellRecordGone(const std::wstring& text, const std::function<void()>& reread);
