#include "console/IdleSlices.h"

#include <utility>

IdleSlices::IdleSlices(const wchar_t* name) : m_message(::RegisterWindowMessageW(name)) {}

IdleSlices::~IdleSlices() { Stop(); }

void IdleSlices::Start(HWND window, Slice slice) {
  Stop();
  m_window = window;
  m_slice = std::move(slice);
  Schedule();
}

void IdleSlices::Schedule() {
  if (m_scheduled || !m_slice) return;
  m_scheduled = ::SetTimer(m_window, m_message, kGapMs, &IdleSlices::Tick) != 0;
}

// The timer's id is the window's message.
void CALLBACK IdleSlices::Tick(HWND window, UINT, UINT_PTR message, DWORD) {
  ::KillTimer(window, message);
  ::PostMessageW(window, static_cast<UINT>(message), 0, 0);
}

BOOL IdleSlices::ProcessWindowMessage(HWND window, UINT message, WPARAM, LPARAM, LRESULT& result) {
  if (message != m_message || window != m_window) return FALSE;
  result = 0;
  m_scheduled = false;
  if (!m_slice) return TRUE;
  RunSlice(::GetTickCount() + kSliceMs);
  Schedule();
  return TRUE;
}

void IdleSlices::Finish() {
  while (m_slice) RunSlice(0);
  Stop();
}

// The slice may start other work in place of its own.
void IdleSlices::RunSlice(DWORD until) {
  Slice slice = std::move(m_slice);
  m_slice = nullptr;
  if (slice(until) && !m_slice) m_slice = std::move(slice);
}

void IdleSlices::Stop() {
  m_slice = nullptr;
  if (m_scheduled && ::IsWindow(m_window)) ::KillTimer(m_window, m_message);
  m_scheduled = false;
}
