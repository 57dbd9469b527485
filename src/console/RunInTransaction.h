#pragma once
// The one way the console writes statements that hold only together (a table replaced
// by a file, a set of rows deleted at once, an object written with its numbers): write
// runs them on a connected link with autocommit off; they are committed when it returns
// true and rolled back otherwise, a failed commit too. The statement that failed gives
// the diagnostic, taken before the rollback (which could replace it). StoreAndTell is
// the same with the service told between the write and the commit.
#include <functional>
#include <string>

class SQLServerLink;

// True once committed. On any failure false, nothing of write's left in the database,
// and the database's diagnostic in *error when error is given.
bool RunInTransaction(SQLServerLink& link, const std::function<bool()>& write, std::wstring* error = nullptr);
