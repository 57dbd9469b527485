// The tri-state tree: checking the parent of N hosts and listing the checked hosts,
// for 10,000 hosts against 1,000. Wine's tree view finds an item by a linear search of
// all items, so every call on an item costs more in a larger tree; each time is
// therefore measured against one pass over the hosts with the same two calls a host
// (read its state, step to the next) in the same tree. Work linear in the hosts keeps
// that ratio at 10,000 hosts near its value at 1,000 (growth about 1); a walk over the
// siblings for every host would multiply it by about 10.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>

#include "BenchSupport.h"
#include "controls/CMulStatusTree.h"

namespace {

using qvbench::Now;

const int kRounds = 5;

struct Times {
  double insert, work, pass;
  int listed;
};

// A group without a box holding a checkable parent of `hosts` unchecked hosts. A round
// checks the parent, unchecks its first host (the parent becomes partly checked) and
// lists the checked hosts.
Times Measure(HWND parent, int hosts) {
  Times t{};
  CMulStatusTree tree(nullptr, 0);
  tree.Create(parent, RECT{0, 0, 300, 400}, nullptr, WS_CHILD | TVS_HASBUTTONS, 0, 1);
  HTREEITEM group = tree.InsertTextItem(L"服务器组", TVI_ROOT, TVI_LAST, EM_TVIS_NONE);
  HTREEITEM top = tree.InsertTextItem(L"全部主机", group, TVI_LAST, EM_TVIS_UNCHECK);
  double t0 = Now();
  for (int i = 0; i < hosts; ++i) tree.InsertTextItem(L"192.168.1.1", top, TVI_LAST, EM_TVIS_UNCHECK);
  t.insert = Now() - t0;
  HTREEITEM first = tree.GetChildItem(top);
  t.work = t.pass = 1e300;
  for (int round = 0; round < kRounds; ++round) {
    tree.SetCheck(top, EM_TVIS_UNCHECK, TRUE);
    t0 = Now();
    tree.SetCheck(top, EM_TVIS_CHECK, TRUE);
    tree.SetCheck(first, EM_TVIS_UNCHECK, TRUE);
    int n = 0;
    for (HTREEITEM i = tree.GetFirstCheckedItem(); i; i = tree.GetNextCheckedItem(i)) ++n;
    const double t1 = Now();
    for (HTREEITEM i = first; i;) {
      TVITEMW tvi{};
      tvi.mask = TVIF_HANDLE | TVIF_STATE;
      tvi.hItem = i;
      tvi.stateMask = TVIS_STATEIMAGEMASK;
      ::CallWindowProcW(tree.m_pfnSuperWindowProc, tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvi));
      i = reinterpret_cast<HTREEITEM>(::CallWindowProcW(tree.m_pfnSuperWindowProc, tree, TVM_GETNEXTITEM,
                                                        TVGN_NEXT, reinterpret_cast<LPARAM>(i)));
    }
    t.work = std::min(t.work, t1 - t0);
    t.pass = std::min(t.pass, Now() - t1);
    t.listed = n;
  }
  return t;
}

}  // namespace

int main() {
  HWND window = ::CreateWindowExW(0, L"STATIC", L"bench", WS_POPUP, 0, 0, 400, 400, nullptr,
                                  nullptr, ::GetModuleHandleW(nullptr), nullptr);
  const Times small = Measure(window, 1000);
  const Times large = Measure(window, 10000);
  ::DestroyWindow(window);
  if (small.listed != 999 || large.listed != 9999) {
    std::fprintf(stderr, "listed %d and %d hosts, expected 999 and 9999\n", small.listed, large.listed);
    return 1;
  }
  const double rSmall = small.work / small.pass, rLarge = large.work / large.pass;
  std::printf("check and list, best of %d: 1,000 hosts %.2f ms (%.2f passes), 10,000 hosts %.2f ms "
              "(%.2f passes); growth %.2f (target 1.50)\n",
              kRounds, small.work, rSmall, large.work, rLarge, rLarge / rSmall);
  std::printf("inserting one by one: 1,000 hosts %.1f ms, 10,000 hosts %.1f ms\n", small.insert,
              large.insert);
  return 0;
}
