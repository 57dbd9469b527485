#pragma once
// Another program holding the test database: the sqlite3 shell, a Unix process of its
// own. BEGIN EXCLUSIVE, as a long transaction or a backup of another process, makes
// every other connection's read or write wait for it; BEGIN IMMEDIATE with a write, as
// another console's save, lets others read and makes their writes wait. It holds until
// Release() or its end (the shell ends with it), or for a time of its own after which it
// commits by itself. Through flag files beside the database, as the shell takes no
// orders once started.
#include <windows.h>

#include <string>

#include "support/ChildProcess.h"

namespace qvtest {

class DatabaseLock {
 public:
  enum Kind { kExclusive, kWrite };

  explicit DatabaseLock(Kind kind = kExclusive);
  ~DatabaseLock();
  DatabaseLock(const DatabaseLock&) = delete;
  DatabaseLock& operator=(const DatabaseLock&) = delete;

  // Starts the shell and waits until its transaction holds the database.
  bool Hold(DWORD timeoutMs = 20000);
  // The same, the shell committing by itself once it has held for holdMs.
  bool HoldFor(DWORD holdMs, DWORD timeoutMs = 20000);
  // Ends the transaction and waits until the shell has committed it.
  bool Release(DWORD timeoutMs = 20000);
  // After HoldFor: waits until the shell has committed; how long it held before it asked
  // to commit, and how long its COMMIT then waited for others, in milliseconds.
  bool WaitCommitted(DWORD* heldMs, DWORD* commitMs, DWORD timeoutMs = 20000);

 private:
  bool Start(const std::wstring& hold, DWORD timeoutMs);
  std::wstring Flag(const char* name) const;

  Kind m_kind;
  std::string m_unixDir;  // the test's ODBC directory, where the database lies
  testenv::ChildProcess m_shell;
  bool m_started = false;
  long long m_heldAt = 0;  // the shell's clock when it took the lock, in nanoseconds
};

}  // namespace qvtest
