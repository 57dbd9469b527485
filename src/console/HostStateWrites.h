#pragma once
// The hosts' online states that the service reports, as a page stores them in
// Client.status. They come in bursts (an answer per host after a load, thousands an
// hour of notices): each is queued, one posted message asks the page to write them
// all, and they go in one transaction on the page's kept connection. UI thread only.
//
// A write waits only a short while for a database that another program holds: the UI
// thread is not held for the length of someone else's transaction. States not written
// stay queued, the latest per host, and go in once the database answers or stops
// failing: tried again a second later on a timer of the window and with the next notice
// after that, one try a second for all the window's pages. A server that does not answer a connect holds the
// thread for the kept link's short login timeout, once a reconnect period for all the
// window's pages, and the states wait the same way.
//
// A database that fails these writes is told once per outage, in one box for all the
// pages of the window, however many bursts meet it: the outage is noted on the window
// the flushes are posted to, from the first failed write until one goes in again.
#include <windows.h>

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "console/KeptLink.h"

class HostStateWrites {
 public:
  using States = std::vector<std::pair<std::wstring, int>>;  // address, state

  // How long a write waits for a database held by another (SQLite's driver waits
  // twice that), how long after one of any page met it or failed the next is tried, and
  // how long after a connect found no server.
  enum : int { kLockWaitMs = 100, kRetryMs = 1000, kReconnectMs = 15000 };

  HostStateWrites();
  ~HostStateWrites();
  HostStateWrites(const HostStateWrites&) = delete;
  HostStateWrites& operator=(const HostStateWrites&) = delete;

  // Queues a state; the first of a burst posts `flushMessage` to `window`.
  void Add(HWND window, UINT flushMessage, const std::wstring& address, int state);
  // Writes what was queued; the states written, or none when they could not be (they
  // stay queued). The first failure of an outage is told in a box with `caption`;
  // later ones, and any while that box is up, are not.
  States Flush(const wchar_t* caption);

  const KeptLink& Link() const { return m_link; }
  // States waiting to be written.
  size_t Waiting() const { return m_pending.size(); }

 private:
  // Puts back states that were not written, before those queued since; a host queued
  // since keeps its newer state.
  void Keep(States unwritten);
  void Queue(const std::wstring& address, int state);
  static void CALLBACK TryAgain(HWND window, UINT, UINT_PTR flushMessage, DWORD);

  States m_pending;
  std::unordered_map<std::wstring, size_t> m_pendingAt;  // address -> index in m_pending
  bool m_flushPosted = false;
  bool m_retrying = false;  // waiting for a held database or its server: a timer is set
  HWND m_window = nullptr;  // where the flushes go, and the outage is noted
  UINT m_flushMessage = 0;
  KeptLink m_link;
};
