#pragma once
// The questions for the hosts' online states (1526, one per host) that a page asks once
// it has shown its hosts, or when the link comes back. Thousands of hosts are thousands
// of sends: they go out in slices from the window's idle time (IdleSlices), after the
// window has painted and between the user's clicks. UI thread only.
#include <windows.h>

#include <string>
#include <vector>

#include "console/IdleSlices.h"

class HostStateQuestions {
 public:
  // name: the window message of its own by which the slices come (IdleSlices).
  explicit HostStateQuestions(const wchar_t* name) : m_slices(name) {}

  // Asks for each address once, in order, in place of whatever still waits, from the
  // window's idle time.
  void Ask(HWND window, std::vector<std::wstring> addresses);
  // For the owner's message map (CHAIN_MSG_MAP_MEMBER).
  BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return m_slices.ProcessWindowMessage(window, message, wParam, lParam, result);
  }
  // Questions not yet sent.
  size_t Waiting() const { return m_addresses.size() - m_next; }

 private:
  // Sends while the slice lasts. A question that cannot go out ends the round: the link
  // is down, and its return asks again.
  bool AskSome(DWORD until);

  std::vector<std::wstring> m_addresses;
  size_t m_next = 0;
  IdleSlices m_slices;
};
