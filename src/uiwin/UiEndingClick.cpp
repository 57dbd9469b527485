#include "uiwin/UiEndingClick.h"

#include <windowsx.h>

#include <cstdlib>

namespace {
// What a mouse button message is: a button's at all, the left one's, a press (down or
// double click) rather than a release.
struct Button {
  bool is, left, press;
};

Button ButtonOf(UINT message) {
  UINT first = 0;
  if (message >= WM_LBUTTONDOWN && message <= WM_MBUTTONDBLCLK)
    first = WM_LBUTTONDOWN;
  else if (message >= WM_NCLBUTTONDOWN && message <= WM_NCMBUTTONDBLCLK)
    first = WM_NCLBUTTONDOWN;
  else if (message >= WM_XBUTTONDOWN && message <= WM_XBUTTONDBLCLK)
    return {true, false, message != WM_XBUTTONUP};
  else if (message >= WM_NCXBUTTONDOWN && message <= WM_NCXBUTTONDBLCLK)
    return {true, false, message != WM_NCXBUTTONUP};
  else
    return {false, false, false};
  const UINT i = message - first;  // down, up and double click of left, right, middle
  return {true, i < 3, i % 3 != 1};
}

// Whether the message the thread got last came from an input device, the user's or a
// test's SendInput, rather than from PostMessage: what a test or the program posts is
// not the user's. Windows before 8 cannot tell, and counts everything.
bool FromInput() {
  struct Source {
    int device;  // 0: not from a device
    int origin;
  };
  using GetSource = BOOL(WINAPI*)(Source*);
  static const GetSource get = reinterpret_cast<GetSource>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetCurrentInputMessageSource")));
  Source source{0, 0};
  return !get || (get(&source) && source.device != 0);
}
}  // namespace

UINT UiEndingClick::HandOnMessage() {
  static const UINT message = ::RegisterWindowMessageW(L"QuorvaneRunEndingPress");
  return message;
}

BOOL UiEndingClick::Swallow(const MSG& msg) {
  if (msg.message == HandOnMessage() && !msg.hwnd) {
    const DWORD time = static_cast<DWORD>(msg.wParam);
    const POINT at{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    // A press older than the one waiting (an outer run that ended on a click of long
    // ago, in the same handler as an inner one) changes nothing; a later one of the same
    // burst carries the burst on from its own time, at the burst's place.
    if (!m_armed || static_cast<LONG>(time - m_time) > 0) {
      if (!m_armed || !InBurst(time, at)) m_at = at;
      m_time = time;
      m_pressed = TRUE;
      m_armed = TRUE;
      m_dropRelease = TRUE;
    }
    m_lastWasClick = FALSE;
    return TRUE;
  }
  const Button button = ButtonOf(msg.message);
  if (button.is && !FromInput()) return FALSE;  // posted: it passes, and counts for nothing
  if (!button.is || !button.left) {
    if (button.press) {  // another button: no double click with the left one
      m_armed = FALSE;
      m_dropRelease = FALSE;
    }
    m_lastWasClick = FALSE;
    return FALSE;
  }
  if (!button.press) {
    const BOOL drop = m_dropRelease;
    m_dropRelease = FALSE;
    m_lastWasClick = !drop;
    return drop;
  }
  const BOOL dropped = m_armed && InBurst(msg.time, msg.pt);
  m_dropRelease = dropped;
  m_lastWasClick = !dropped;
  m_time = msg.time;  // the next press of a burst counts from this one
  if (dropped) return TRUE;
  m_armed = FALSE;
  m_at = msg.pt;
  m_pressed = TRUE;
  return FALSE;
}

void UiEndingClick::HandOn() const {
  if (m_pressed && (m_lastWasClick || m_armed)) HandOn(m_time, m_at);
}

void UiEndingClick::HandOn(DWORD time, POINT at) {
  ::PostThreadMessageW(::GetCurrentThreadId(), HandOnMessage(), time,
                       MAKELPARAM(static_cast<WORD>(at.x), static_cast<WORD>(at.y)));
}

BOOL UiEndingClick::InBurst(DWORD time, POINT at) const {
  if (time - m_time >= ::GetDoubleClickTime()) return FALSE;
  // The double-click rectangle is centred on the burst's first press.
  return 2 * std::abs(at.x - m_at.x) <= ::GetSystemMetrics(SM_CXDOUBLECLK) &&
         2 * std::abs(at.y - m_at.y) <= ::GetSystemMetrics(SM_CYDOUBLECLK);
}
