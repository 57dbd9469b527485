// Objects that go before their windows or elements, commands of hosted controls, the
// modal owner and anonymous window classes.
#include <gtest/gtest.h>

#include "support/TestDialog.h"
#include "support/DebugReportCapture.h"

struct Probe : CWindowImpl<Probe> {  // WM_USER deletes the object
  BOOL ProcessWindowMessage(HWND, UINT m, WPARAM, LPARAM, LRESULT&, DWORD) override { return m == WM_USER && (delete this, 1); }
};

struct Doomed : CUiDialog {  // its first handler deletes it; the second must not run
  ~Doomed() override { SetMsgHandled(FALSE); }  // what a freed flag may well read
  UI_BEGIN_MSG_MAP()
    UI_MESSAGE_HANDLER(WM_USER, Go)
    UI_MESSAGE_HANDLER(WM_USER, Go)
  UI_END_MSG_MAP()
  LRESULT Go(UINT, WPARAM, LPARAM) { return ++runs == 1 ? (delete this, 5) : 0; }
  static inline int runs = 0;
};

static HWND Wnd(const wchar_t* cls, DWORD style, HWND parent = nullptr, INT_PTR id = 0) {
  return ::CreateWindowExW(0, cls, L"", style, 0, 0, 60, 20, parent, reinterpret_cast<HMENU>(id), nullptr, nullptr);
}

TEST(Lifetime, ObjectsMayGoBeforeTheirWindowsAndOnlyClicksEndADialog) {
  for (int row = 0; row < 4; ++row) {  // own class or subclassed edit; deleted outside or by itself
    SCOPED_TRACE(row);
    DebugReportCapture reports;
    auto* p = new Probe;
    HWND h = row < 2 ? p->Create(nullptr) : p->SubclassWindow(Wnd(L"EDIT", WS_POPUP)) ? p->m_hWnd : nullptr;
    if (row % 2) ::SendMessageW(h, WM_USER, 0, 0); else delete p;
    // later messages reach the window's own procedure, not the freed object
    EXPECT_TRUE(reports.Reports().size() == 1 && ::SetWindowTextW(h, L"abc") && ::DestroyWindow(h));
  }
  EXPECT_TRUE((new Doomed)->UiSendMessage(WM_USER) == 5 && Doomed::runs == 1);
  static CWndClassInfo anonymous[70];
  for (CWndClassInfo& info : anonymous) EXPECT_NE(0, CWindowImplCore::RegisterClassInfo(info));
  // A dialog disables its owner's top-level window; only clicks of items 1 and 2 end it.
  HWND top = Wnd(L"STATIC", WS_POPUP), child = Wnd(L"STATIC", WS_CHILD, top);
  TestDialog d(558);
  d.onInit = [](TestDialog& t) { t.context = ::IsWindowEnabled(::GetWindow(t, GW_OWNER)) ? &t : nullptr, t.EndDialog(1); };
  EXPECT_TRUE(d.DoModal(child) == 1 && !d.context && ::IsWindowEnabled(top) && ::IsWindowEnabled(child));
  ASSERT_TRUE(d.Create(top));
  for (INT_PTR id : {1, 2})  // the edit tells of a change, the button of a click
    for (HWND c : {Wnd(L"EDIT", WS_CHILD, d.GetViewHWnd(), id), Wnd(L"BUTTON", WS_CHILD, d.GetViewHWnd(), id)})
      ::SetWindowTextW(c, L"z"), ::SendMessageW(c, BM_CLICK, 0, 0);
  EXPECT_TRUE(d.CountCommands(1) == 1 && d.CountCommands(2) == 1);
  ::DestroyWindow(top);
}
