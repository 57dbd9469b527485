#include "uiwin/UiSystemModalRun.h"

namespace {
// The hook procedure has no data of its own: the run it serves is the thread's innermost.
thread_local UiSystemModalRun* t_innermost = nullptr;
}  // namespace

UiSystemModalRun::UiSystemModalRun(HWND owner) : m_run(UiModalRun::kSystem, owner), m_outer(t_innermost) {
  if (!m_outer) m_hook = ::SetWindowsHookExW(WH_GETMESSAGE, &OnGetMessage, nullptr, ::GetCurrentThreadId());
  t_innermost = this;
}

UiSystemModalRun::~UiSystemModalRun() {
  t_innermost = m_outer;
  if (m_hook) ::UnhookWindowsHookEx(m_hook);
  m_clicks.HandOn();
}

LRESULT CALLBACK UiSystemModalRun::OnGetMessage(int code, WPARAM removed, LPARAM message) {
  // A look that leaves the message queued is seen again when it is taken.
  if (code == HC_ACTION && removed == PM_REMOVE && t_innermost) {
    MSG* msg = reinterpret_cast<MSG*>(message);
    if (t_innermost->m_clicks.Swallow(*msg)) msg->message = WM_NULL;
  }
  return ::CallNextHookEx(nullptr, code, removed, message);
}
