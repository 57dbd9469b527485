#pragma once
// The hosts' online states that the service reports, as a page stores them in
// Client.status. They come in bursts (an answer per host after a load, thousands an
// hour of notices): each is queued, one posted message asks the page to write them
// all, and they go in one transaction on the page's kept connection. UI thread only.
//
// A database that fails these writes is told once per outage, in one box for all the
// pages of the window, however many bursts meet it: the outage is noted on the window
// the flushes are posted to, from the first failed write until one goes in again.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "console/KeptLink.h"

class HostStateWrites {
 public:
  using States = std::vector<std::pair<std::wstring, int>>;  // address, state

  // Queues a state; the first of a burst posts `flushMessage` to `window`.
  void Add(HWND window, UINT flushMessage, const std::wstring& address, int state);
  // Writes what was queued; the states written, or none when they could not be. The
  // first failure of an outage is told in a box with `caption`; later ones, and any
  // while that box is up, are not.
  States Flush(const wchar_t* caption);

  const KeptLink& Link() const { return m_link; }

 private:
  States m_pending;
  bool m_flushPosted = false;
  HWND m_window = nullptr;  // where the flushes go, and the outage is noted
  KeptLink m_link;
};
