#include "uiwin/UiModalRun.h"

namespace {
thread_local UiModalRun* t_innermost = nullptr;
}  // namespace

UiModalRun::UiModalRun(HWND frame) : m_frame(frame), m_outer(t_innermost) { t_innermost = this; }

UiModalRun::~UiModalRun() { t_innermost = m_outer; }

HWND UiModalRun::OwnerFor(HWND parent) {
  HWND hint = parent ? parent : ::GetActiveWindow();
  HWND top = hint ? ::GetAncestor(hint, GA_ROOT) : nullptr;
  if (top && ::IsWindowEnabled(top)) return hint;
  for (const UiModalRun* run = t_innermost; run; run = run->m_outer)
    if (::IsWindow(run->m_frame) && ::IsWindowEnabled(run->m_frame)) return run->m_frame;
  return hint;  // held by a run not of ours (the system's box or chooser)
}
