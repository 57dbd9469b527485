#pragma once
// The user data source through which every database connection is made: added at
// start-up for the driver "SQL Server" from the connection settings and removed at
// exit, through the ODBC installer's SQLConfigDataSourceW, bound on first use. A test
// installs its own installer for a Scope's lifetime and sees the requests instead.
#include <windows.h>

#include <string>

#include "platform/ProcessSeam.h"

class OdbcInstaller {
 public:
  enum Request : WORD { kAddDsn = 1, kRemoveDsn = 3 };

  using Scope = qv::ProcessSeam<OdbcInstaller>::Scope;

  virtual ~OdbcInstaller() = default;

  // SQLConfigDataSourceW without a parent window; attributes is the NUL-separated,
  // double-NUL-terminated list. FALSE also when the installer or its entry is missing.
  virtual BOOL ConfigDataSource(WORD request, LPCWSTR driver, const std::wstring& attributes);

  // The installed installer, else the system's.
  static OdbcInstaller& Current();
};

// "DSN=…", "Description=…", "server=…", "Database=…", each ended by a NUL, then the
// closing NUL. Built to the values' length, so no value can overrun it.
std::wstring OdbcDataSourceAttributes(LPCWSTR dsn, LPCWSTR database, LPCWSTR description,
                                      LPCWSTR server);

// 0 on success, 1 on failure; user is not used.
int CreateOdbcDataSource(LPCWSTR dsn, LPCWSTR database, LPCWSTR description, LPCWSTR server,
                         LPCWSTR user);
int RemoveOdbcDataSource(LPCWSTR dsn, LPCWSTR database, LPCWSTR description, LPCWSTR server,
                         LPCWSTR user);
