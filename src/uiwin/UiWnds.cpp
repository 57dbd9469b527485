#include "uiwin/UiWnds.h"

#include <map>
#include <unordered_map>

namespace {

struct Registry {
  CRITICAL_SECTION cs;
  std::unordered_map<HUIWND, CUiWindow*> windows;
  std::map<std::string, std::vector<HUIWND>> radioGroups;
  HUIWND counter = 0;

  Registry() { ::InitializeCriticalSection(&cs); }
};

Registry& Reg() {
  // Created on first use and never destroyed: elements may unregister
  // during static destruction.
  static Registry* r = new Registry;
  return *r;
}

struct Hold {
  CRITICAL_SECTION* cs;
  explicit Hold(CRITICAL_SECTION* c) : cs(c) { ::EnterCriticalSection(cs); }
  ~Hold() { ::LeaveCriticalSection(cs); }
};

}  // namespace

HUIWND UiWnds::RegisterWindow(CUiWindow* wnd) {
  if (!wnd) return 0;
  Registry& r = Reg();
  Hold hold(&r.cs);
  const HUIWND h = ++r.counter;
  r.windows[h] = wnd;
  return h;
}

BOOL UiWnds::UnregisterWindow(HUIWND handle) {
  Registry& r = Reg();
  Hold hold(&r.cs);
  return r.windows.erase(handle) ? TRUE : FALSE;
}

CUiWindow* UiWnds::GetWindow(HUIWND handle) {
  if (!handle) return NULL;
  Registry& r = Reg();
  Hold hold(&r.cs);
  auto it = r.windows.find(handle);
  return it == r.windows.end() ? NULL : it->second;
}

UiWnds::Lock::Lock() { ::EnterCriticalSection(&Reg().cs); }
UiWnds::Lock::~Lock() { ::LeaveCriticalSection(&Reg().cs); }

std::vector<HUIWND>& UiWnds::RadioGroup(const std::string& name) { return Reg().radioGroups[name]; }
