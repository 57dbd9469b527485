#include "console/HostStateWrites.h"

#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"

void HostStateWrites::Add(HWND window, UINT flushMessage, const std::wstring& address, int state) {
  m_pending.emplace_back(address, state);
  if (!m_flushPosted) m_flushPosted = ::PostMessageW(window, flushMessage, 0, 0) != FALSE;
}

HostStateWrites::States HostStateWrites::Flush(const wchar_t* caption) {
  m_flushPosted = false;
  States states;
  states.swap(m_pending);
  if (states.empty()) return states;
  const KeptLink::Result result = m_link.Run([&](SQLServerLink& link) {
    const bool together = link.BeginTransaction() != 0;
    SQLStatement* write = link.CreateStatement(L"update Client set status=? where IP=?");
    for (const auto& state : states)
      if (!write || !write->BindInt(0, state.second) || !write->BindString(1, state.first.c_str()) ||
          !write->Execute())
        return 0;
    return together ? link.Commit() : 1;
  });
  if (result == KeptLink::kDone) return states;
  m_link.Tell(result, caption);
  return States();
}
