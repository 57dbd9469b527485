#include "platform/OwnDelivery.h"

namespace {
// The innermost delivery of this thread; each links to the one it runs inside.
thread_local const OwnDelivery* t_innermost = nullptr;
}  // namespace

OwnDelivery::OwnDelivery(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    : m_window(window), m_message(message), m_wParam(wParam), m_lParam(lParam), m_outer(t_innermost) {
  t_innermost = this;
}

OwnDelivery::~OwnDelivery() { t_innermost = m_outer; }

LRESULT OwnDelivery::Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  OwnDelivery mark(window, message, wParam, lParam);
  return ::SendMessageW(window, message, wParam, lParam);
}

bool OwnDelivery::IsDelivering(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  for (const OwnDelivery* d = t_innermost; d; d = d->m_outer)
    if (d->m_window == window && d->Is(message, wParam, lParam)) return true;
  return false;
}

bool OwnDelivery::IsDelivering(UINT message, WPARAM wParam, LPARAM lParam) {
  for (const OwnDelivery* d = t_innermost; d; d = d->m_outer)
    if (d->Is(message, wParam, lParam)) return true;
  return false;
}
