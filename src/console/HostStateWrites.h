#pragma once
// The hosts' online states that the service reports, as a page stores them in
// Client.status. They come in bursts (an answer per host after a load, thousands an
// hour of notices): each is queued, one posted message asks the page to write them
// all, and they go in one transaction on the page's kept connection. UI thread only.
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
  // Writes what was queued; the states written, or none after a box with `caption`
  // said why they were not.
  States Flush(const wchar_t* caption);

  const KeptLink& Link() const { return m_link; }

 private:
  States m_pending;
  bool m_flushPosted = false;
  KeptLink m_link;
};
