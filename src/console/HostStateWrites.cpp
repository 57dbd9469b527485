#include "console/HostStateWrites.h"

#include "console/RunInTransaction.h"
#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"

namespace {

// The outage as the window's property notes it. The value is a plain set of bits, so
// the property needs nothing freed and goes with the window.
const wchar_t kOutage[] = L"QuorvaneHostStateOutage";
enum : UINT_PTR {
  kTold = 1,     // the outage has been told, or is being told
  kShowing = 2,  // a box about it is up
};

UINT_PTR OutageOf(HWND window) { return reinterpret_cast<UINT_PTR>(::GetPropW(window, kOutage)); }

void SetOutage(HWND window, UINT_PTR bits) {
  if (bits)
    ::SetPropW(window, kOutage, reinterpret_cast<HANDLE>(bits));
  else
    ::RemovePropW(window, kOutage);
}

}  // namespace

void HostStateWrites::Add(HWND window, UINT flushMessage, const std::wstring& address, int state) {
  m_window = window;
  m_pending.emplace_back(address, state);
  if (!m_flushPosted) m_flushPosted = ::PostMessageW(window, flushMessage, 0, 0) != FALSE;
}

HostStateWrites::States HostStateWrites::Flush(const wchar_t* caption) {
  m_flushPosted = false;
  States states;
  states.swap(m_pending);
  if (states.empty()) return states;
  const KeptLink::Result result = m_link.Run([&](SQLServerLink& link) {
    return RunInTransaction(link, [&] {
      SQLStatement* write = link.CreateStatement(L"update Client set status=? where IP=?");
      for (const auto& state : states)
        if (!write || !write->BindInt(0, state.second) || !write->BindString(1, state.first.c_str()) ||
            !write->Execute())
          return false;
      return true;
    }) ? 1 : 0;
  });
  const HWND window = m_window;  // the box below runs a message loop: the page may go
  const UINT_PTR outage = OutageOf(window);
  if (result == KeptLink::kDone) {
    SetOutage(window, outage & ~kTold);  // the database is back
    return states;
  }
  if (outage & (kTold | kShowing)) {  // told already, or being told by the box that is up
    SetOutage(window, outage | kTold);
    return States();
  }
  SetOutage(window, kTold | kShowing);
  m_link.Tell(result, caption);
  if (::IsWindow(window)) SetOutage(window, OutageOf(window) & ~kShowing);
  return States();
}
