#pragma once
// The one database connection a page keeps for the writes it makes without a user,
// such as the hosts' online and offline notices from the service, which come by the
// thousand an hour: under Wine every connect and disconnect leaves about 2 KiB with
// the ODBC stack that the process never gets back, so these writes reuse one.
//
// The connection is opened at the first use (with the console's connection settings)
// and kept between uses, with no statement left on it. A use that fails closes it,
// which rolls back what the use had begun, and the next use opens a new one; a use
// that fails on a connection kept from before is tried once more on a new one, as the
// old one may have died with the database server. A page's work runs only on the UI
// thread, one use at a time; the link never shows anything itself unless asked to.
//
// Given a lock wait, a use that meets the database held by another program (a long
// transaction, a backup) gives up after that short while instead of holding the UI
// thread: it is rolled back on the same connection, which is kept, and not tried again.
//
// Nobody asked for these writes, so a server that does not answer holds the UI thread
// only for a short login timeout, not the 100 s an operation of the user's waits.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

class SQLServerLink;

class KeptLink {
 public:
  enum Result { kDone, kNoConnection, kFailed, kBusy };
  enum : int { kLoginTimeoutSeconds = 2 };

  // lockWaitMs: see SQLServerLink::SetLockWait; 0 waits as long as the data source says.
  explicit KeptLink(int lockWaitMs = 0);
  ~KeptLink();
  KeptLink(const KeptLink&) = delete;
  KeptLink& operator=(const KeptLink&) = delete;

  // Runs the work's statements on the kept connection; the work returns 1 when every
  // one of them succeeded, and ends any transaction it begins.
  Result Run(const std::function<int(SQLServerLink&)>& work);

  // The box a failed use calls for: "连接数据库出错" / "错误", or "错误信息：<the
  // database's diagnostic>" under the caption. Nothing for kDone, nor for kBusy, where
  // only the caller knows what waits.
  void Tell(Result result, const wchar_t* caption) const;
  // The database's diagnostic of the last failed use.
  const std::wstring& ErrorText() const { return m_error; }

  bool IsOpen() const { return m_link != nullptr; }
  // Connections opened so far.
  int OpenCount() const { return m_opens; }
  // Uses so far, and the tick counts at which the last one began and ended: how often
  // the database was tried, whatever each try cost.
  int UseCount() const { return m_uses; }
  DWORD LastUseBegan() const { return m_lastBegan; }
  DWORD LastUseEnded() const { return m_lastEnded; }
  // The kept connection, or null.
  SQLServerLink* Link() const { return m_link.get(); }

 private:
  Result Use(const std::function<int(SQLServerLink&)>& work);

  std::unique_ptr<SQLServerLink> m_link;
  std::wstring m_error;
  int m_lockWaitMs;
  int m_opens = 0;
  int m_uses = 0;
  DWORD m_lastBegan = 0;
  DWORD m_lastEnded = 0;
};
