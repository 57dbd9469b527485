#pragma once
// Work that a window does in slices from its idle time: a slice runs for a few
// milliseconds, then a timer is set for the next, and a timer's message comes only when
// nothing else waits (input, posted messages, painting), so the window paints and
// answers the user between slices. The console's one thread does it all: no worker
// threads. The timer posts a message of the window's own, which the owner's message map
// hands back (CHAIN_MSG_MAP_MEMBER). UI thread only.
#include <windows.h>

#include <functional>

class IdleSlices {
 public:
  // How long one slice runs, and how long the window has before the next.
  enum : DWORD { kSliceMs = 20, kGapMs = 10 };
  // The most entries of a list a slice puts in, however fast they go: a list of 20,000
  // that a fast machine fills in one slice is still filled between the window's
  // messages, and the same on every machine.
  enum : size_t { kSliceEntries = 2000 };
  // Does a part of the work while Within(until) holds; true while some remains.
  using Slice = std::function<bool(DWORD until)>;

  // name: the window message of its own, registered by that name; one name per kind of
  // work of a window.
  explicit IdleSlices(const wchar_t* name);
  ~IdleSlices();
  IdleSlices(const IdleSlices&) = delete;
  IdleSlices& operator=(const IdleSlices&) = delete;

  // In place of any work still waiting; the first slice comes with the next idle time.
  void Start(HWND window, Slice slice);
  // What remains, at once: the user needs all of it now.
  void Finish();
  void Stop();
  bool Pending() const { return static_cast<bool>(m_slice); }

  // The owner's map: its own message runs one slice, and schedules the next while work
  // remains.
  BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  // Whether a slice that ends at `until` (a tick count; 0: never) may go on.
  static bool Within(DWORD until) { return until == 0 || static_cast<LONG>(until - ::GetTickCount()) > 0; }

 private:
  void Schedule();
  // One slice of the work waiting, which goes on waiting while some remains.
  void RunSlice(DWORD until);
  static void CALLBACK Tick(HWND window, UINT, UINT_PTR message, DWORD);

  const UINT m_message;
  Slice m_slice;
  HWND m_window = nullptr;
  bool m_scheduled = false;  // a timer or its message is on its way
};
