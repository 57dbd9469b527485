#pragma once
// Another program holding the test database, as a long transaction or a backup of
// another process does: the sqlite3 shell, a Unix process of its own, in a transaction
// begun with BEGIN EXCLUSIVE, so that every other connection's read or write waits for
// it. It holds until Release() or its end (the shell ends with it). Through flag files
// beside the database, as the shell takes no orders once started.
#include <windows.h>

#include <string>

#include "support/ChildProcess.h"

namespace qvtest {

class DatabaseLock {
 public:
  DatabaseLock();
  ~DatabaseLock();
  DatabaseLock(const DatabaseLock&) = delete;
  DatabaseLock& operator=(const DatabaseLock&) = delete;

  // Starts the shell and waits until its transaction holds the database.
  bool Hold(DWORD timeoutMs = 20000);
  // Ends the transaction and waits until the shell has committed it.
  bool Release(DWORD timeoutMs = 20000);

 private:
  std::string m_unixDir;  // the test's ODBC directory, where the database lies
  std::wstring m_held, m_keep;
  testenv::ChildProcess m_shell;
  bool m_started = false;
};

}  // namespace qvtest
