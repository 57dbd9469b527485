#include "uiwin/CUiDialogImplCore.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "uiwin/UiEndingClick.h"
#include "uiwin/UiModalHook.h"
#include "uiwin/UiWinThemeFunc.h"

UINT CUiDialogImplCore::FrameClassStyle() {
  UINT style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  OSVERSIONINFOW vi{};
  vi.dwOSVersionInfoSize = sizeof vi;
  if (::GetVersionExW(&vi) &&
      (vi.dwMajorVersion > 5 || (vi.dwMajorVersion == 5 && vi.dwMinorVersion > 0)))
    style |= CS_DROPSHADOW;
  return style;
}

LRESULT CUiDialogImplCore::CalcFullClientArea(HWND hWnd, BOOL bCalcValidRects, LPARAM lParam) {
  if (!bCalcValidRects || !lParam) return 0;
  NCCALCSIZE_PARAMS* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam);
  const WINDOWPOS* pos = params->lppos;
  if (!pos || (pos->flags & SWP_NOSIZE)) return 0;
  RECT rc;
  ::GetWindowRect(hWnd, &rc);
  if (!(pos->flags & SWP_NOMOVE)) {
    rc.left = pos->x;
    rc.top = pos->y;
  }
  rc.right = rc.left + pos->cx;
  rc.bottom = rc.top + pos->cy;
  params->rgrc[0] = rc;
  params->rgrc[1] = rc;
  return 0;
}

void CUiDialogImplCore::FillMinMaxInfo(HWND hWnd, MINMAXINFO* pInfo) {
  if (!pInfo) return;
  HMONITOR monitor = ::MonitorFromWindow(hWnd, MONITOR_DEFAULTTONULL);
  if (!monitor) return;
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  if (!::GetMonitorInfoW(monitor, &mi)) return;
  const RECT& work = mi.rcWork;
  const RECT& mon = mi.rcMonitor;
  pInfo->ptMaxPosition.x = std::abs(work.left - mon.left) - 1;
  pInfo->ptMaxPosition.y = std::abs(work.top - mon.top) - 1;
  pInfo->ptMaxSize.x = std::abs(work.right - work.left) + 2;
  pInfo->ptMaxSize.y = std::abs(work.bottom - work.top) + 2;
  pInfo->ptMaxTrackSize = pInfo->ptMaxSize;
}

const char* CUiDialogImplCore::MaxButtonSkin(HWND hWnd, WPARAM command) {
  switch (command & 0xFFF0) {
    case SC_MAXIMIZE:
      return "restorebtn";
    case SC_RESTORE:
      return ::IsZoomed(hWnd) ? "maxbtn" : nullptr;
    default:
      return nullptr;
  }
}

void CUiDialogImplCore::HideWithOwners(HWND hFrame) {
  for (HWND w = hFrame; w; w = ::GetWindow(w, GW_OWNER))
    if (::IsWindowVisible(w)) ::ShowWindow(w, SW_HIDE);
}

BOOL CUiDialogImplCore::InTray(HWND hFrame) { return ::IsIconic(hFrame) || !::IsWindowVisible(hFrame); }

void CUiDialogImplCore::ShowWithOwners(HWND hFrame) {
  std::vector<HWND> owners;
  for (HWND w = ::GetWindow(hFrame, GW_OWNER); w; w = ::GetWindow(w, GW_OWNER)) owners.push_back(w);
  for (auto w = owners.rbegin(); w != owners.rend(); ++w)
    if (InTray(*w)) ::ShowWindow(*w, ::IsIconic(*w) ? SW_SHOWNOACTIVATE : SW_SHOWNA);
  // Shown as a modal run shows it, which puts it on top of the owners also without a
  // window manager (a restore from iconic leaves it beneath them there).
  if (::IsIconic(hFrame)) ::ShowWindow(hFrame, SW_SHOWNOACTIVATE);
  ::SetWindowPos(hFrame, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
}

void CUiDialogImplCore::DisableTheme(HWND hWnd) {
  UiWinThemeFunc::Get().SetWindowTheme(hWnd, L"", L"");
}

BOOL CUiDialogImplCore::HoldsFocus(HWND hFrame) {
  HWND focus = ::GetFocus();
  HWND root = focus ? ::GetAncestor(focus, GA_ROOT) : nullptr;
  if (!root || focus == hFrame) return FALSE;
  // A pop-up of one of its controls; not a dialog opened over it, which disables it.
  return root == hFrame || (::GetWindow(root, GW_OWNER) == hFrame && ::IsWindowEnabled(hFrame));
}

namespace {
bool CanTakeFocus(HWND hWnd) { return ::IsWindowVisible(hWnd) && ::IsWindowEnabled(hWnd); }
}  // namespace

HWND CUiDialogImplCore::FocusWithin(HWND hFrame) {
  HWND focus = ::GetFocus();
  return focus && ::IsChild(hFrame, focus) ? focus : nullptr;
}

BOOL CUiDialogImplCore::RestoreFocus(HWND hFrame, HWND hFocus) {
  if (!hFocus || !::IsWindow(hFocus) || !::IsChild(hFrame, hFocus) || !CanTakeFocus(hFocus)) return FALSE;
  ::SetFocus(hFocus);
  return TRUE;
}

void CUiDialogImplCore::GiveFocusBack(HWND hOwnerTop, HWND hFocus) {
  if (!hOwnerTop || !hFocus || !::IsWindow(hFocus) || ::GetActiveWindow() != hOwnerTop) return;
  if (::GetAncestor(hFocus, GA_ROOT) != hOwnerTop || !CanTakeFocus(hFocus)) return;
  if (::GetFocus() != hFocus) ::SetFocus(hFocus);
}

namespace {
// The hand-off window standing on this thread, and the hook that sees the user's input.
struct HandOff {
  HWND window = nullptr;
  HHOOK hook = nullptr;
};
thread_local HandOff t_handOff;

bool IsUserInput(UINT msg) {
  return (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) || msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN ||
         msg == WM_MBUTTONDOWN || msg == WM_XBUTTONDOWN || msg == WM_NCLBUTTONDOWN;
}

// The user's first key or click: the focus is somewhere, the hand-off is no longer needed.
LRESULT CALLBACK HandOffInputHook(int code, WPARAM wParam, LPARAM lParam) {
  const MSG* msg = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && msg && IsUserInput(msg->message) && t_handOff.window)
    ::PostMessageW(t_handOff.window, WM_CLOSE, 0, 0);
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// The window manager offers the focus: declined, so that the system hands it on. The
// window stays for the offers that follow: openbox offers it again when the frame it
// stood under goes, and a window gone by then would leave the focus to the program that
// had it before (the tray).
LRESULT CALLBACK HandOffProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
  if (msg == WM_DESTROY && t_handOff.window == hWnd) {
    if (t_handOff.hook) ::UnhookWindowsHookEx(t_handOff.hook);
    t_handOff = HandOff{};
  }
  return ::DefWindowProcW(hWnd, msg, wParam, lParam);
}

ATOM HandOffClass() {
  static const ATOM atom = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &HandOffProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QuorvaneFocusHandOff";
    return ::RegisterClassW(&wc);
  }();
  return atom;
}
}  // namespace

void CUiDialogImplCore::HandFocusBack(HWND hOwnerTop, HWND hFrame) {
  RECT rc;
  if (!hOwnerTop || !HandOffClass() || !::GetWindowRect(hFrame, &rc)) return;
  // Under the frame while it stands; a system menu makes the window manager take it.
  HWND hand = ::CreateWindowExW(0, reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(HandOffClass())), L"",
                                WS_POPUP | WS_SYSMENU, (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2, 1, 1,
                                hOwnerTop, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  if (!hand) return;
  if (t_handOff.window) ::DestroyWindow(t_handOff.window);  // an older one's owner took input since
  t_handOff.window = hand;
  t_handOff.hook = ::SetWindowsHookExW(WH_GETMESSAGE, &HandOffInputHook, nullptr, ::GetCurrentThreadId());
  ::SetWindowPos(hand, hFrame, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CUiDialogImplCore::HideForDestroy(HWND hFrame) {
  if (!::IsWindow(hFrame)) return;
  LONG style = ::GetWindowLongW(hFrame, GWL_STYLE);
  if (style & WS_VISIBLE) ::SetWindowLongW(hFrame, GWL_STYLE, style & ~WS_VISIBLE);
}

void CUiDialogImplCore::DropClicksBefore(DWORD endTime) {
  // Input messages only: what a test or the program posts is not the user's.
  const UINT input = PM_QS_INPUT;
  const UINT ranges[][2] = {{WM_LBUTTONDOWN, WM_MBUTTONDBLCLK}, {WM_XBUTTONDOWN, WM_XBUTTONDBLCLK}};
  MSG press{};  // the last left press that went
  for (const auto& range : ranges) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, range[0], range[1], PM_NOREMOVE | input)) {
      if (static_cast<LONG>(msg.time - endTime) > 0) break;  // made after the end: the user's next
      ::PeekMessageW(&msg, nullptr, range[0], range[1], PM_REMOVE | input);
      if (msg.message == WM_LBUTTONDOWN || msg.message == WM_LBUTTONDBLCLK) press = msg;
    }
  }
  // It was one of the burst that ended the run: the next press counts from it.
  if (press.message) UiEndingClick::HandOn(press.time, press.pt);
}

void CUiDialogImplCore::NoteCreated(HWND hFrame, Placement& place) {
  RECT rc;
  // As the window system reports it: a window there is at least a pixel each way.
  if (::GetWindowRect(hFrame, &rc))
    place.created = SIZE{std::max(1L, rc.right - rc.left), std::max(1L, rc.bottom - rc.top)};
}

void CUiDialogImplCore::KeepPlace(HWND hFrame, Placement& place) {
  RECT rc;
  if (!::GetWindowRect(hFrame, &rc)) return;
  place.at = POINT{rc.left, rc.top};
  place.size = SIZE{rc.right - rc.left, rc.bottom - rc.top};
  place.keep = TRUE;
  place.fixes = 0;
  place.shownAt = ::GetTickCount();
  place.moved = FALSE;
}

namespace {
bool PlaceLost(HWND hFrame, const CUiDialogImplCore::Placement& place) {
  if (!place.keep || place.fixes >= 3 || ::IsZoomed(hFrame) || ::IsIconic(hFrame)) return false;
  RECT rc;
  return ::GetWindowRect(hFrame, &rc) && (rc.left != place.at.x || rc.top != place.at.y ||
                                          rc.right - rc.left != place.size.cx || rc.bottom - rc.top != place.size.cy);
}

// The take-over's report: soon after the show and before any other move, the frame at
// the screen's top-left corner, or with the size it was created with (which it never has
// once shown). The take-over lasts milliseconds, but a starved machine handles its
// report late, so "soon" is generous; nobody sees a window and moves it into the corner
// within seconds of its show, and a move there after another is the user's.
bool TakeOverReport(const CUiDialogImplCore::Placement& place, const WINDOWPOS& pos) {
  const DWORD kTakeOverMs = 5000;
  if (!place.keep || place.moved || ::GetTickCount() - place.shownAt >= kTakeOverMs) return false;
  const bool corner = !(pos.flags & SWP_NOMOVE) && pos.x == ::GetSystemMetrics(SM_XVIRTUALSCREEN) &&
                      pos.y == ::GetSystemMetrics(SM_YVIRTUALSCREEN);
  const bool created = !(pos.flags & SWP_NOSIZE) && pos.cx == place.created.cx && pos.cy == place.created.cy &&
                       (place.size.cx != pos.cx || place.size.cy != pos.cy);
  return corner || created;
}
}  // namespace

void CUiDialogImplCore::CheckPlace(HWND hFrame, Placement& place, const WINDOWPOS* pos) {
  if (!pos) return;
  if (!TakeOverReport(place, *pos)) {
    // Sized by the program or the user: that size is kept from now on.
    if (!(pos->flags & SWP_NOSIZE) && !::IsZoomed(hFrame) && !::IsIconic(hFrame)) place.size = SIZE{pos->cx, pos->cy};
    if (!(pos->flags & SWP_NOMOVE) && (pos->x != place.at.x || pos->y != place.at.y)) place.moved = TRUE;
    return;
  }
  if (PlaceLost(hFrame, place)) ::PostMessageW(hFrame, KeepPlaceMessage(), 0, 0);
}

UINT CUiDialogImplCore::KeepPlaceMessage() {
  static const UINT message = ::RegisterWindowMessageW(L"QuorvaneKeepFramePlace");
  return message;
}

void CUiDialogImplCore::RestorePlace(HWND hFrame, Placement& place) {
  if (!PlaceLost(hFrame, place)) return;
  ++place.fixes;
  ::SetWindowPos(hFrame, nullptr, place.at.x, place.at.y, place.size.cx, place.size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

UINT CUiDialogImplCore::ModalHookMessage() {
  static const UINT message = ::RegisterWindowMessageW(L"QuorvaneModalHookReady");
  return message;
}

void CUiDialogImplCore::TellOwner(HWND hFrame) {
  const LONG style = ::GetWindowLongW(hFrame, GWL_STYLE);
  ::SetWindowLongW(hFrame, GWL_STYLE, style ^ WS_DISABLED);
  ::SetWindowLongW(hFrame, GWL_STYLE, style);
}

void CUiDialogImplCore::PostModalHook(HWND hFrame) {
  if (UiModalHook::Current()) ::PostMessageW(hFrame, ModalHookMessage(), 0, 0);
}

BOOL CUiDialogImplCore::RunModalHook(HWND hFrame, CUiDialogView& view, UINT* pEndCode) {
  UiModalHook* hook = UiModalHook::Current();
  return hook && hook->OnDialogReady(hFrame, view, pEndCode);
}
