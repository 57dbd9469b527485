#include "uiwin/UiModalRun.h"

namespace {
thread_local UiModalRun* t_innermost = nullptr;

struct SystemWindow {
  HWND owner;
  HWND found;
};

// The system's box or chooser: a shown window of the thread that the owner has.
BOOL CALLBACK FindSystemWindow(HWND wnd, LPARAM param) {
  auto* look = reinterpret_cast<SystemWindow*>(param);
  if (::GetWindow(wnd, GW_OWNER) != look->owner || !::IsWindowVisible(wnd)) return TRUE;
  look->found = wnd;
  return FALSE;
}
}  // namespace

UiModalRun::UiModalRun(HWND frame) : m_frame(frame), m_outer(t_innermost) { t_innermost = this; }

UiModalRun::UiModalRun(System, HWND owner)
    : m_systemOwner(owner ? ::GetAncestor(owner, GA_ROOT) : nullptr), m_outer(t_innermost) {
  t_innermost = this;
}

UiModalRun::~UiModalRun() { t_innermost = m_outer; }

HWND UiModalRun::Window() const {
  if (!m_systemOwner) return m_frame;
  // Windows enumerates them topmost first.
  SystemWindow look{m_systemOwner, nullptr};
  ::EnumThreadWindows(::GetCurrentThreadId(), &FindSystemWindow, reinterpret_cast<LPARAM>(&look));
  return look.found;
}

HWND UiModalRun::OwnerFor(HWND parent) {
  HWND hint = parent ? parent : ::GetActiveWindow();
  HWND top = hint ? ::GetAncestor(hint, GA_ROOT) : nullptr;
  if (top && ::IsWindowEnabled(top)) return hint;
  for (const UiModalRun* run = t_innermost; run; run = run->m_outer) {
    HWND window = run->Window();
    if (window && ::IsWindow(window) && ::IsWindowEnabled(window)) return window;
  }
  return hint;  // held by a run not known here
}
