#include "console/HostStateWrites.h"

#include <algorithm>
#include <map>

#include "console/RunInTransaction.h"
#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"
#include "platform/TextConv.h"
#include "uiwin/UiMessageBox.h"
#include "uiwin/UiString.h"

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

// When the next write of any of the window's pages may go, after one met the database
// held by another or found no server to connect to: the tick count, made odd so that it
// is never 0 (a millisecond late at most). The pages wait for it together, so that their
// waits do not follow one another.
const wchar_t kNextTry[] = L"QuorvaneHostStateNextTry";

// Milliseconds until then: 0 when a write may go now.
DWORD WaitLeft(HWND window) {
  const UINT_PTR due = reinterpret_cast<UINT_PTR>(::GetPropW(window, kNextTry));
  const LONG left = static_cast<LONG>(static_cast<DWORD>(due) - ::GetTickCount());
  return due && left > 0 ? static_cast<DWORD>(left) : 0;
}

void NoteNextTry(HWND window, DWORD afterMs) {
  if (afterMs)
    ::SetPropW(window, kNextTry, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>((::GetTickCount() + afterMs) | 1)));
  else
    ::RemovePropW(window, kNextTry);
}

// How long the writes leave the database alone after a result.
DWORD PauseAfter(KeptLink::Result result) {
  if (result == KeptLink::kBusy) return HostStateWrites::kRetryMs;
  if (result == KeptLink::kNoConnection) return HostStateWrites::kReconnectMs;
  return 0;
}

const UINT kStrDatabaseBusy = 280;  // the database is held: the states wait for it

// Addresses per statement: under the parameter limits of both databases (SQL Server
// takes 2,100, older SQLite 999).
const size_t kAddressesPerWrite = 500;

// Every host of the addresses takes its state, a statement for many addresses of one
// state: Client.IP has no index, so each statement reads every host once, and a
// statement per address made a site of 20,000 hosts read 20,000 hosts for each.
bool WriteStates(SQLServerLink& link, const HostStateWrites::States& states) {
  std::map<int, std::vector<const std::wstring*>> byState;
  for (const auto& state : states) byState[state.second].push_back(&state.first);
  for (const auto& group : byState) {
    const std::vector<const std::wstring*>& addresses = group.second;
    for (size_t from = 0; from < addresses.size(); from += kAddressesPerWrite) {
      const size_t count = std::min(kAddressesPerWrite, addresses.size() - from);
      std::wstring sql = L"update Client set status=? where IP in (?";
      for (size_t i = 1; i < count; ++i) sql += L",?";
      sql += L")";
      SQLStatement* write = link.CreateStatement(sql.c_str());
      if (!write || !write->BindInt(0, group.first)) return false;
      for (size_t i = 0; i < count; ++i)
        if (!write->BindString(static_cast<int>(i + 1), addresses[from + i]->c_str())) return false;
      if (!write->Execute()) return false;
      link.ReleaseStatement(write);
    }
  }
  return true;
}

}  // namespace

HostStateWrites::HostStateWrites() : m_link(kLockWaitMs) {}

HostStateWrites::~HostStateWrites() {
  if (m_retrying && ::IsWindow(m_window)) ::KillTimer(m_window, m_flushMessage);
}

void HostStateWrites::Add(HWND window, UINT flushMessage, const std::wstring& address, int state) {
  m_window = window;
  m_flushMessage = flushMessage;
  Queue(address, state);
  if (!m_flushPosted) m_flushPosted = ::PostMessageW(window, flushMessage, 0, 0) != FALSE;
}

void HostStateWrites::Queue(const std::wstring& address, int state) {
  const auto at = m_pendingAt.find(address);
  if (at != m_pendingAt.end()) {
    m_pending[at->second].second = state;
    return;
  }
  m_pendingAt.emplace(address, m_pending.size());
  m_pending.emplace_back(address, state);
}

void HostStateWrites::Keep(States unwritten) {
  States since;
  since.swap(m_pending);
  m_pendingAt.clear();
  for (const auto& state : unwritten) Queue(state.first, state.second);
  for (const auto& state : since) Queue(state.first, state.second);
}

// The timer's id is the page's flush message: it asks for the flush as a notice does.
void CALLBACK HostStateWrites::TryAgain(HWND window, UINT, UINT_PTR flushMessage, DWORD) {
  ::KillTimer(window, flushMessage);
  ::PostMessageW(window, static_cast<UINT>(flushMessage), 0, 0);
}

HostStateWrites::States HostStateWrites::Flush(const wchar_t* caption) {
  m_flushPosted = false;
  if (m_pending.empty()) return States();
  if (const DWORD wait = WaitLeft(m_window)) {
    // The database was held a moment ago, or its server did not answer: one try a period
    // at most, so that the waits leave the window free in between however fast the
    // notices come.
    m_retrying = true;
    ::SetTimer(m_window, m_flushMessage, wait, &HostStateWrites::TryAgain);
    return States();
  }
  States states;
  states.swap(m_pending);
  m_pendingAt.clear();
  const KeptLink::Result result = m_link.Run([&](SQLServerLink& link) {
    return RunInTransaction(link, [&] { return WriteStates(link, states); }) ? 1 : 0;
  });
  const HWND window = m_window;  // the box below runs a message loop: the page may go
  const UINT_PTR outage = OutageOf(window);
  const DWORD pause = PauseAfter(result);
  NoteNextTry(window, pause);
  // A write that failed otherwise costs the thread little, so the notices keep trying at
  // once; the timer still tries again, as the states it kept may see no other notice.
  const DWORD retry = result == KeptLink::kDone ? 0 : pause ? pause : kRetryMs;
  const bool wasRetrying = m_retrying;
  m_retrying = retry != 0;
  if (m_retrying)
    ::SetTimer(window, m_flushMessage, retry, &HostStateWrites::TryAgain);
  else if (wasRetrying)
    ::KillTimer(window, m_flushMessage);
  if (result == KeptLink::kDone) {
    SetOutage(window, outage & ~kTold);  // the database is back
    return states;
  }
  // Nothing is lost: a state not written goes in with a later write.
  Keep(std::move(states));
  if (outage & (kTold | kShowing)) {  // told already, or being told by the box that is up
    SetOutage(window, outage | kTold);
    return States();
  }
  SetOutage(window, kTold | kShowing);
  if (result == KeptLink::kBusy) {
    UiMessageBox(qv::OrEmpty(UiString::Get(kStrDatabaseBusy)), caption, MB_ICONEXCLAMATION);
  } else {
    m_link.Tell(result, caption);
  }
  if (::IsWindow(window)) SetOutage(window, OutageOf(window) & ~kShowing);
  return States();
}
