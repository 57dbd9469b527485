#include "uiwin/UiEndingClick.h"

#include "platform/OwnDelivery.h"

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

bool IsPushButton(HWND wnd) {
  wchar_t name[8] = L"";
  if (!::GetClassNameW(wnd, name, 8) || ::lstrcmpiW(name, L"Button")) return false;
  const LONG type = ::GetWindowLongW(wnd, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

// Where a left press's burst belongs, on the screen: the button it lands on, or the
// pixel it lands on when that is no button.
RECT PlaceOf(const MSG& msg) {
  const RECT pixel{msg.pt.x, msg.pt.y, msg.pt.x + 1, msg.pt.y + 1};
  if (!msg.hwnd || (msg.message != WM_LBUTTONDOWN && msg.message != WM_LBUTTONDBLCLK)) return pixel;
  RECT button{0, 0, 0, 0};
  const WPARAM at = MAKEWPARAM(static_cast<WORD>(msg.pt.x), static_cast<WORD>(msg.pt.y));
  const bool found = OwnDelivery::Send(msg.hwnd, UiEndingClick::PlaceMessage(), at, reinterpret_cast<LPARAM>(&button)) ||
                     (IsPushButton(msg.hwnd) && ::GetWindowRect(msg.hwnd, &button));
  return found && ::PtInRect(&button, msg.pt) ? button : pixel;
}

// A handed-on press waits here until its message comes; the message carries its key.
// Few wait at once: a run's own and the one its frame took with it.
struct Handed {
  LPARAM key;
  DWORD time;
  POINT at;
  RECT place;
};
constexpr int kHandedSlots = 8;
thread_local Handed t_handed[kHandedSlots];
thread_local LPARAM t_lastKey = 0;
}  // namespace

UINT UiEndingClick::HandOnMessage() {
  static const UINT message = ::RegisterWindowMessageW(L"QuorvaneRunEndingPress");
  return message;
}

UINT UiEndingClick::PlaceMessage() {
  static const UINT message = ::RegisterWindowMessageW(L"QuorvanePressedButtonPlace");
  return message;
}

BOOL UiEndingClick::Swallow(const MSG& msg) {
  if (msg.message == HandOnMessage() && !msg.hwnd) {
    const Handed& handed = t_handed[static_cast<DWORD>(msg.lParam) % kHandedSlots];
    // One not handed on by this thread, or long gone, says nothing.
    if (msg.lParam <= 0 || handed.key != msg.lParam || handed.time != static_cast<DWORD>(msg.wParam)) {
      m_lastWasClick = FALSE;
      return TRUE;
    }
    // A press older than the one waiting (an outer run that ended on a click of long
    // ago, in the same handler as an inner one) changes nothing; a later one of the same
    // burst carries the burst on from its own time, at the burst's place.
    if (!m_armed || static_cast<LONG>(handed.time - m_time) > 0) {
      if (!m_armed || !InBurst(handed.time, handed.at)) m_place = handed.place;
      m_time = handed.time;
      m_at = handed.at;
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
  m_at = msg.pt;
  if (dropped) return TRUE;
  m_armed = FALSE;
  m_place = PlaceOf(msg);
  m_pressed = TRUE;
  return FALSE;
}

void UiEndingClick::HandOn() const {
  if (m_pressed && (m_lastWasClick || m_armed)) HandOn(m_time, m_at, m_place);
}

void UiEndingClick::HandOn(DWORD time, POINT at) { HandOn(time, at, RECT{at.x, at.y, at.x + 1, at.y + 1}); }

void UiEndingClick::HandOn(DWORD time, POINT at, const RECT& place) {
  // Keys count up from 1 and stay positive.
  t_lastKey = t_lastKey >= 0x7FFFFFFF || t_lastKey < 1 ? 1 : t_lastKey + 1;
  t_handed[t_lastKey % kHandedSlots] = Handed{t_lastKey, time, at, place};
  ::PostThreadMessageW(::GetCurrentThreadId(), HandOnMessage(), time, t_lastKey);
}

BOOL UiEndingClick::InBurst(DWORD time, POINT at) const {
  if (time - m_time >= ::GetDoubleClickTime()) return FALSE;
  // The place's pixels with half the double-click rectangle around them: the slack the
  // system gives a double click around its first press, here around the whole button.
  const int slackX = ::GetSystemMetrics(SM_CXDOUBLECLK) / 2;
  const int slackY = ::GetSystemMetrics(SM_CYDOUBLECLK) / 2;
  return at.x >= m_place.left - slackX && at.x < m_place.right + slackX && at.y >= m_place.top - slackY &&
         at.y < m_place.bottom + slackY;
}
