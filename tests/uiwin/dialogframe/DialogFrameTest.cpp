// The dialog frame: creation from a layout, the modal loop (nesting, quitting, end
// codes, owner disabling), the frame map (keys and close as items 1 and 2, no
// non-client area) and the rounded window region.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "support/DibCanvas.h"
#include "support/TestDialog.h"
#include "support/ElementLoad.h"
#include "support/TestEnv.h"
#include "uiwin/UiMessageBox.h"
#include "uiwin/UiSystemModalRun.h"

namespace {

using elemload::Str;

const char kLayout[] = R"(<layer title="框架" width="240" height="160">
  <header height="24" crbg="203040"><button id="5" pos="200,0,230,20">x</button></header>
  <body crbg="FFFFFF"><button id="1" pos="10,10,80,40">确定</button></body>
  <footer height="20"></footer>
</layer>)";

// Takes a quit request (and any posted one) out of the queue, returning its code.
int DrainQuit() {
  MSG msg;
  int code = -1;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    if (msg.message == WM_QUIT) code = static_cast<int>(msg.wParam);
  return code;
}

// A visible top-level window to own the dialogs of a test.
struct Owner {
  HWND wnd = ::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300,
                               nullptr, nullptr, nullptr, nullptr);
  ~Owner() { ::DestroyWindow(wnd); }
};

TEST(DialogFrame, ARunDisablesTheOwnerMeanwhileAndFailuresGiveItBack) {
  Owner owner;
  static BOOL ownerEnabledInside;
  TestDialog dlg;
  ASSERT_TRUE(dlg.SetXml(kLayout));
  dlg.onInit = [](TestDialog& d) {
    ownerEnabledInside = ::IsWindowEnabled(::GetWindow(d.m_hWnd, GW_OWNER));
    d.EndDialog(6);
  };
  EXPECT_EQ(6u, dlg.DoModal(owner.wnd));
  EXPECT_FALSE(ownerEnabledInside);
  EXPECT_TRUE(::IsWindowEnabled(owner.wnd));
  EXPECT_FALSE(::IsWindow(dlg.m_hWnd));
  EXPECT_TRUE(dlg.viewCoveredAtInit);
  // A second run reuses the layout; an owner that was already disabled stays so.
  ::EnableWindow(owner.wnd, FALSE);
  dlg.onInit = [](TestDialog& d) { d.EndDialog(2); };
  EXPECT_EQ(2u, dlg.DoModal(owner.wnd));
  EXPECT_FALSE(::IsWindowEnabled(owner.wnd));
  EXPECT_EQ(2, dlg.initCount);
  ::EnableWindow(owner.wnd, TRUE);
  // A missing or malformed layout, an initialisation that destroys its own
  // window: the run returns 0 and the owner is enabled again.
  TestDialog missing(60999), malformed, suicide;
  EXPECT_FALSE(malformed.SetXml("<layer><body>"));
  ASSERT_TRUE(suicide.SetXml(kLayout));
  suicide.onInit = [](TestDialog& d) { ::DestroyWindow(d.m_hWnd); };
  for (TestDialog* d : {&missing, &malformed, &suicide}) {
    EXPECT_EQ(0u, d->DoModal(owner.wnd));
    EXPECT_TRUE(::IsWindowEnabled(owner.wnd));
  }
}

// Dialog A opens B from a timer in its loop; B's initialisation makes a quit, posted
// at once or from another thread while B waits in GetMessage (which takes it out of
// the queue). Both runs end, and the quit is still queued for the program's own loop.
TestDialog* g_outer = nullptr;
UINT g_innerResult = 99;
int g_quitCode = 0;
DWORD g_uiThread = 0;

DWORD WINAPI QuitLater(LPVOID) {
  ::Sleep(200);  // let the inner loop block in GetMessage
  ::PostThreadMessageW(g_uiThread, WM_QUIT, 9, 0);
  return 0;
}

void CALLBACK OpenInner(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  TestDialog b;
  b.SetXml(kLayout);
  b.onInit = [](TestDialog&) {
    if (g_quitCode == 7)
      ::PostQuitMessage(7);
    else
      ::CloseHandle(::CreateThread(nullptr, 0, &QuitLater, nullptr, 0, nullptr));
  };
  g_innerResult = b.DoModal(g_outer->m_hWnd);
}

void CALLBACK EndOuter(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  g_outer->EndDialog(55);  // fail-safe: without the quit, A would wait for ever
}

TEST(DialogFrame, AQuitInANestedDialogEndsEveryLoopAndStaysQueued) {
  for (int code : {7, 9}) {
    SCOPED_TRACE(code);
    DrainQuit();
    TestDialog a;
    ASSERT_TRUE(a.SetXml(kLayout));
    a.EndDialog(1);  // an earlier run's code must not come back
    g_uiThread = ::GetCurrentThreadId();
    g_outer = &a;
    g_innerResult = 99;
    g_quitCode = code;
    a.onInit = [](TestDialog&) { ::SetTimer(nullptr, 0, 10, &OpenInner); };
    const UINT_PTR failSafe = ::SetTimer(nullptr, 0, 5000, &EndOuter);
    EXPECT_EQ(0u, a.DoModal());
    ::KillTimer(nullptr, failSafe);
    EXPECT_EQ(0u, g_innerResult);
    EXPECT_FALSE(::IsWindow(a.m_hWnd));
    EXPECT_EQ(code, DrainQuit());
  }
}

// A window with an edit box focused opens a dialog over itself (as the wizard opens its
// login test): a dialog given as the owner or as the active window, or a window that is
// no frame of ours given as the owner. The dialog takes the activation and ends; the
// focus is back in the edit box, as in the system's dialogs, not on the window.
enum class FocusOwner { kDialogGiven, kDialogActive, kPlainWindow };
struct FocusBack {
  FocusOwner owner;
  TestDialog outer, inner;
  HWND edit = nullptr;
  BOOL innerActive = FALSE;
  HWND focusAfter = nullptr;
};
FocusBack* g_focusBack = nullptr;

HWND CreateEdit(HWND parent) {
  return ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 60, 120, 22, parent, nullptr,
                           nullptr, nullptr);
}

void CALLBACK EndInner(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  g_focusBack->innerActive = ::GetActiveWindow() == g_focusBack->inner.m_hWnd;
  g_focusBack->inner.EndDialog(IDOK);
}

// The inner dialog over `owner`, the edit box focused first; the focus after it.
void RunInnerOverEdit(HWND owner) {
  FocusBack& c = *g_focusBack;
  ::SetFocus(c.edit);
  c.inner.onInit = [](TestDialog&) { ::SetTimer(nullptr, 0, 20, &EndInner); };
  c.inner.DoModal(owner);
  c.focusAfter = ::GetFocus();
}

void CALLBACK OpenInnerOverOuter(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  FocusBack& c = *g_focusBack;
  RunInnerOverEdit(c.owner == FocusOwner::kDialogGiven ? c.outer.m_hWnd : nullptr);
  c.outer.EndDialog(IDOK);
}

TEST(DialogFrame, ANestedRunGivesTheFocusBackToTheControlThatHadIt) {
  for (FocusOwner owner : {FocusOwner::kDialogGiven, FocusOwner::kDialogActive, FocusOwner::kPlainWindow}) {
    SCOPED_TRACE(static_cast<int>(owner));
    FocusBack c;
    c.owner = owner;
    g_focusBack = &c;
    ASSERT_TRUE(c.outer.SetXml(kLayout) && c.inner.SetXml(kLayout));
    if (owner == FocusOwner::kPlainWindow) {
      Owner plain;
      c.edit = CreateEdit(plain.wnd);
      RunInnerOverEdit(plain.wnd);
    } else {
      c.outer.onInit = [](TestDialog& d) {
        g_focusBack->edit = CreateEdit(d.GetViewHWnd());
        ::SetTimer(nullptr, 0, 20, &OpenInnerOverOuter);
      };
      EXPECT_EQ(UINT(IDOK), c.outer.DoModal());
    }
    EXPECT_TRUE(c.innerActive);
    EXPECT_EQ(c.edit, c.focusAfter);
  }
}

// A run shown while another program had the input (from the tray), its owner a window
// of ours. When the window manager handed it the focus, its end leaves a window of no
// size that hands the focus on when the window manager offers it: it declines the
// activation, as often as it is offered (the window manager offers it again when the
// frame goes), and goes at the user's first key. Offered nothing (no window manager), or
// only clicked, it leaves none.
LPARAM g_offer = 0;

BOOL CALLBACK FindHandOff(HWND wnd, LPARAM found) {
  wchar_t name[32] = L"";
  ::GetClassNameW(wnd, name, 32);
  if (!::IsWindowVisible(wnd) || ::lstrcmpW(name, L"QuorvaneFocusHandOff")) return TRUE;
  *reinterpret_cast<HWND*>(found) = wnd;
  return FALSE;
}

HWND HandOff() {
  HWND found = nullptr;
  ::EnumThreadWindows(::GetCurrentThreadId(), &FindHandOff, reinterpret_cast<LPARAM>(&found));
  return found;
}

TEST(DialogFrame, ARunTheWindowManagerFocusedFromElsewhereHandsTheFocusBackToItsOwner) {
  const LPARAM offered = MAKELPARAM(HTMENU, WM_LBUTTONDOWN);
  for (LPARAM offer : {offered, LPARAM(MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)), LPARAM(0)}) {
    SCOPED_TRACE(LOWORD(offer));
    Owner owner;
    TestDialog dlg;
    ASSERT_TRUE(dlg.SetXml(kLayout));
    dlg.SetShowUnowned(TRUE);
    g_offer = offer;
    dlg.onInit = [](TestDialog& d) {
      if (g_offer) ::SendMessageW(d.m_hWnd, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(d.m_hWnd), g_offer);
      d.EndDialog(IDOK);
    };
    EXPECT_EQ(UINT(IDOK), dlg.DoModal(owner.wnd));
    HWND hand = HandOff();
    if (offer != offered) {
      EXPECT_EQ(nullptr, hand);
      continue;
    }
    ASSERT_NE(nullptr, hand);
    EXPECT_EQ(owner.wnd, ::GetWindow(hand, GW_OWNER));
    for (int again = 0; again < 2; ++again) {
      EXPECT_EQ(MA_NOACTIVATE, ::SendMessageW(hand, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(hand), offered));
      // Until a message posted after the offer has gone through: the thread went on.
      const UINT sentinel = WM_APP + 9;
      ::PostMessageW(owner.wnd, sentinel, 0, 0);
      ASSERT_TRUE(testenv::PumpUntil([&] {
        MSG msg;
        return !::PeekMessageW(&msg, owner.wnd, sentinel, sentinel, PM_NOREMOVE);
      }, 5000));
      EXPECT_TRUE(::IsWindow(hand)) << "the hand-off window went at offer " << again;
    }
    ::PostMessageW(owner.wnd, WM_KEYDOWN, 'A', 0);
    EXPECT_TRUE(testenv::PumpUntil([&] { return !::IsWindow(hand); }, 5000)) << "the hand-off window stayed";
  }
}

// The loop hands its messages to PreTranslateMessage, which ends the run here.
TEST(DialogFrame, ARunIsCentredOnItsOwnerAndShown) {
  struct Probe : TestDialog {
    BOOL PreTranslateMessage(MSG* pMsg) override {
      if (pMsg->message != WM_APP + 3) return FALSE;
      ::GetWindowRect(m_hWnd, &seen);
      visible = ::IsWindowVisible(m_hWnd);
      EndDialog(1);
      return TRUE;
    }
    RECT seen{};
    BOOL visible = FALSE;
  };
  Owner owner;
  Probe dlg;
  ASSERT_TRUE(dlg.SetXml(kLayout));
  dlg.onInit = [](TestDialog& d) { ::PostMessageW(d.m_hWnd, WM_APP + 3, 0, 0); };
  EXPECT_EQ(1u, dlg.DoModal(owner.wnd));
  EXPECT_TRUE(dlg.visible);
  EXPECT_EQ("180,170,420,330", Str(dlg.seen));
}

TEST(DialogFrame, KeysAndCloseBecomeItemCommands) {
  TestDialog dlg;
  ASSERT_TRUE(dlg.SetXml(kLayout));
  ASSERT_NE(nullptr, dlg.Create(nullptr));
  HWND frame = dlg.m_hWnd;
  auto key = [&](WPARAM vk) { ::SendMessageW(frame, WM_KEYDOWN, vk, 0); };
  key(VK_RETURN);
  key(VK_ESCAPE);
  key('A');
  ::SendMessageW(frame, WM_CLOSE, 0, 0);
  EXPECT_TRUE(::IsWindow(frame));  // closing is the dialog's decision
  std::string items;  // commands without an element class
  for (const ViewEvent& e : dlg.events) items += e.itemClass + std::to_string(e.item) + " ";
  EXPECT_EQ("1 2 2 ", items);
  // A disabled frame (behind a nested dialog) swallows its keys.
  ::EnableWindow(frame, FALSE);
  key(VK_RETURN);
  EXPECT_EQ(3u, dlg.events.size());
}

// A dialog that handles neither item 1 nor 2 ignores Enter, Esc and close.
class Plain : public CUiDialogImpl<Plain>, public CWHRoundRectFrameHelper<Plain> {
 public:
  BEGIN_MSG_MAP_EX(Plain)
    CHAIN_MSG_MAP(CUiDialogImpl<Plain>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<Plain>)
  END_MSG_MAP()
};

TEST(DialogFrame, ADialogWithoutItemHandlersIgnoresKeysAndCloseAndDiesWithItsObject) {
  HWND frame = nullptr;
  {
    Plain dlg;
    ASSERT_TRUE(dlg.SetXml(kLayout));
    frame = dlg.Create(nullptr);
    ::SendMessageW(frame, WM_KEYDOWN, VK_RETURN, 0);
    ::SendMessageW(frame, WM_KEYDOWN, VK_ESCAPE, 0);
    ::SendMessageW(frame, WM_CLOSE, 0, 0);
    ::PostMessageW(frame, WM_CLOSE, 0, 0);
    testenv::PumpFor(0);
    EXPECT_TRUE(::IsWindow(frame));
  }
  EXPECT_FALSE(::IsWindow(frame));
}

// A page handler that derives from the template for its item operations only: never
// created, no layout, its own map without the frame's; its owner holds it by the base.
class PageHandlerOnTemplate : public CUiDialogImpl<PageHandlerOnTemplate> {
 public:
  BEGIN_MSG_MAP_EX(PageHandlerOnTemplate)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_COMMAND, OnUiCommand)
  END_MSG_MAP()
  LRESULT OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
    bHandled = reinterpret_cast<UINMCOMMAND*>(pnmh)->uItemID == 1506;
    if (bHandled) switched = !SetItemVisible(1505, FALSE) && !SetItemVisible(1506, TRUE);
    return 0;
  }
  bool switched = false;
};

TEST(DialogFrame, AHandlerThatIsNeverCreatedFindsNoElements) {
  std::unique_ptr<CMessageMap> handler(new PageHandlerOnTemplate);
  UINMCOMMAND cmd{};
  cmd.hdr = NMHDR{nullptr, IDC_UIVIEW, UINM_COMMAND};
  cmd.uItemID = 1506;
  LRESULT result = 0;
  auto send = [&](UINT msg) {
    return handler->ProcessWindowMessage(nullptr, msg, IDC_UIVIEW, reinterpret_cast<LPARAM>(&cmd), result);
  };
  EXPECT_TRUE(send(WM_NOTIFY));
  EXPECT_TRUE(static_cast<PageHandlerOnTemplate*>(handler.get())->switched);
  cmd.uItemID = 7;
  EXPECT_FALSE(send(WM_NOTIFY));
  EXPECT_FALSE(send(WM_CLOSE));
}

TEST(DialogFrame, ALayoutWithoutSizeKeepsTheGivenRectangleAndTheViewCoversIt) {
  TestDialog dlg;
  ASSERT_TRUE(dlg.SetXml(R"(<layer width="0"><body><button id="9" pos="0,0,-0,-0">all</button></body></layer>)"));
  RECT rc{20, 20, 150, 110};
  ASSERT_NE(nullptr, dlg.Create(nullptr, &rc));
  RECT client, view;
  ::GetClientRect(dlg.m_hWnd, &client);
  ::GetClientRect(dlg.GetViewHWnd(), &view);
  EXPECT_EQ("0,0,130,90", Str(client));
  EXPECT_EQ(Str(client), Str(view));
  EXPECT_TRUE(dlg.viewCoveredAtInit);
  EXPECT_EQ(Str(client), Str(dlg.FindChildByCmdID(9)->GetRect()));
}

TEST(DialogFrame, NoNonClientAreaAndARoundedRegionThatFollowsTheSize) {
  TestDialog dlg;
  ASSERT_TRUE(dlg.SetXml(kLayout));
  ASSERT_NE(nullptr, dlg.Create(nullptr));
  RECT window, client;
  ::GetWindowRect(dlg.m_hWnd, &window);
  ::GetClientRect(dlg.m_hWnd, &client);
  EXPECT_EQ("0,0,240,160", Str(client));
  EXPECT_EQ("0,0,240,160", Str(RECT{0, 0, window.right - window.left, window.bottom - window.top}));
  HRGN rgn = ::CreateRectRgn(0, 0, 0, 0);
  // Three pixels cut at each corner; a minimize keeps the region, a new size reshapes it.
  auto in = [&](int x, int y) {
    ::GetWindowRgn(dlg.m_hWnd, rgn);
    return ::PtInRegion(rgn, x, y) != FALSE;
  };
  EXPECT_FALSE(in(0, 0) || in(1, 0) || in(0, 1) || in(239, 159) || in(238, 159) || in(239, 158));
  EXPECT_TRUE(in(2, 0) && in(1, 1) && in(0, 2) && in(237, 159) && in(238, 158));
  ::SendMessageW(dlg.m_hWnd, WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(10, 10));
  EXPECT_TRUE(in(237, 159));
  ASSERT_TRUE(dlg.ResizeClient(100, 50, FALSE));
  EXPECT_FALSE(in(99, 49) || in(150, 40));
  EXPECT_TRUE(in(97, 49));
  ::DeleteObject(rgn);
  ::GetClientRect(dlg.GetViewHWnd(), &client);
  EXPECT_EQ("0,0,100,50", Str(client));
}

}  // namespace

// Under openbox, Wine may report a just-shown frame at the top-left corner of the
// screen (where openbox builds its own frame before placing it) while the frame stands
// where it was put; clicks on the frame then go to the disabled owner, and it can no
// longer be clicked. That report is put back, also when a busy machine handles it late,
// and with it a size the report gives (the window's before it took its layout's); a
// starved machine's report of that size alone, with the frame where it stands, too.
// Every move a user makes is kept: by the window manager (no size-move loop), by the
// frame's own header (a size-move loop), into the corner once the frame has stood a
// while or after another move.
TEST(DialogFrame, OnlyTheTakeOverReportOfTheScreenCornerIsPutBack) {
  const POINT kWhereItStands{-1, -1};  // a report of a size alone: Wine reads the place when it handles it
  const SIZE kCreated{-1, -1};  // the size the frame had when it was created
  struct Case {
    const char* what;
    POINT to;
    bool byHeader;
    DWORD stoodMs;  // how long the frame had stood when it moved
    const char* after;
    POINT via{0, 0};  // a move before, where not (0,0)
    SIZE size{0, 0};  // the size it reports, where not 0
    SIZE sizedBefore{0, 0};  // a size the program gave it before, where not 0
  };
  const Case cases[] = {
      {"the take-over's report", {0, 0}, false, 0, "180,170,420,330"},
      {"a window-manager move", {30, 40}, false, 0, "30,40,270,200"},
      {"the take-over's report on a starved machine", {0, 0}, false, 3000, "180,170,420,330"},
      {"a window-manager move into the corner later", {0, 0}, false, 60000, "0,0,240,160"},
      {"a window-manager move, then one into the corner", {0, 0}, false, 0, "0,0,240,160", {30, 40}},
      {"a drag by the header into the corner", {0, 0}, true, 0, "0,0,240,160"},
      {"the take-over's report of a dot", {0, 0}, false, 0, "180,170,420,330", {0, 0}, {10, 10}},
      {"a window-manager move with a new size", {30, 40}, false, 0, "30,40,330,240", {0, 0}, {300, 200}},
      {"a size from the program, then the take-over's report of a dot", {0, 0}, false, 0, "180,170,480,370",
       {0, 0}, {10, 10}, {300, 200}},
      {"the take-over's report of its size at creation where the frame stands", kWhereItStands, false, 0,
       "180,170,420,330", {0, 0}, kCreated},
      {"the same on a starved machine", kWhereItStands, false, 3000, "180,170,420,330", {0, 0}, kCreated},
      {"a window-manager size where the frame stands", kWhereItStands, false, 0, "180,170,480,370", {0, 0},
       {300, 200}},
  };
  struct Probe : TestDialog {
    BOOL PreTranslateMessage(MSG* pMsg) override {
      switch (pMsg->message) {
        case WM_APP + 3:  // the window system's report, as Wine makes it
          m_place.shownAt -= move.stoodMs;
          if (move.via.x || move.via.y)
            ::SetWindowPos(m_hWnd, nullptr, move.via.x, move.via.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
          if (move.sizedBefore.cx)
            ::SetWindowPos(m_hWnd, nullptr, 0, 0, move.sizedBefore.cx, move.sizedBefore.cy,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
          if (move.byHeader) ::SendMessageW(m_hWnd, WM_ENTERSIZEMOVE, 0, 0);
          if (move.size.cx < 0) move.size = created;
          ::SetWindowPos(m_hWnd, nullptr, move.to.x, move.to.y, move.size.cx, move.size.cy,
                         (move.size.cx ? 0 : SWP_NOSIZE) | (move.to.x < 0 ? SWP_NOMOVE : 0) | SWP_NOZORDER |
                             SWP_NOACTIVATE);
          if (move.byHeader) ::SendMessageW(m_hWnd, WM_EXITSIZEMOVE, 0, 0);
          ::PostMessageW(m_hWnd, WM_APP + 4, 0, 0);
          return TRUE;
        case WM_APP + 4:
          ::GetWindowRect(m_hWnd, &after);
          EndDialog(1);
          return TRUE;
      }
      return FALSE;
    }
    Case move{};
    RECT after{};
    SIZE created{};
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Owner owner;
    Probe dlg;
    dlg.move = c;
    ASSERT_TRUE(dlg.SetXml(kLayout));
    dlg.onInit = [](TestDialog& d) {
      RECT rc;  // before the layout's size
      ::GetWindowRect(d.m_hWnd, &rc);
      // reported as the window system has it: at least a pixel each way
      static_cast<Probe&>(d).created = SIZE{std::max(1L, rc.right - rc.left), std::max(1L, rc.bottom - rc.top)};
      ::PostMessageW(d.m_hWnd, WM_APP + 3, 0, 0);
    };
    EXPECT_EQ(1u, dlg.DoModal(owner.wnd));
    EXPECT_EQ(c.after, Str(dlg.after));
  }
}

// An ended run takes its frame off the screen without a hide (under Wine a hide can
// stop the thread for two seconds with the frame still shown, so that the click seems
// ignored and the next one lands on the owner); the owner is enabled again.
HHOOK g_hideHook = nullptr;
HWND g_hideFrame = nullptr;
int g_hides = 0;
LRESULT CALLBACK CountHides(int code, WPARAM wParam, LPARAM lParam) {
  const CWPSTRUCT* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && cwp->message == WM_WINDOWPOSCHANGING &&
      (reinterpret_cast<const WINDOWPOS*>(cwp->lParam)->flags & SWP_HIDEWINDOW) && cwp->hwnd == g_hideFrame)
    ++g_hides;
  return ::CallNextHookEx(g_hideHook, code, wParam, lParam);
}

TEST(DialogFrame, AnEndedRunLeavesTheScreenWithoutAHide) {
  struct Ends : TestDialog {
    BOOL PreTranslateMessage(MSG* pMsg) override {
      if (pMsg->message != WM_APP + 3) return FALSE;
      EndDialog(2);
      return TRUE;
    }
  };
  Owner owner;
  Ends dlg;
  ASSERT_TRUE(dlg.SetXml(kLayout));
  dlg.onInit = [](TestDialog& d) {
    g_hideFrame = d.m_hWnd;
    ::PostMessageW(d.m_hWnd, WM_APP + 3, 0, 0);
  };
  g_hides = 0;
  g_hideHook = ::SetWindowsHookExW(WH_CALLWNDPROC, &CountHides, nullptr, ::GetCurrentThreadId());
  ASSERT_NE(nullptr, g_hideHook);
  EXPECT_EQ(2u, dlg.DoModal(owner.wnd));
  ::UnhookWindowsHookEx(g_hideHook);
  EXPECT_EQ(0, g_hides);
  EXPECT_FALSE(::IsWindow(dlg.m_hWnd));
  EXPECT_TRUE(::IsWindowEnabled(owner.wnd));
}

// A mouse event as the user makes it, at a screen point, with its time (0: now). Each
// event carries its place: other tests of the run move the shared cursor.
INPUT MouseAt(POINT at, DWORD flags, DWORD time) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = at.x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = at.y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  input.mi.time = time;
  return input;
}

// Where the view paints the colour, on the screen: the rectangle of its pixels.
RECT PaintedRect(HWND view, COLORREF colour) {
  RECT client;
  ::GetClientRect(view, &client);
  DibCanvas picture(client.right, client.bottom);
  ::SendMessageW(view, WM_PRINT, reinterpret_cast<WPARAM>(picture.Dc()), PRF_CLIENT);
  RECT found{client.right, client.bottom, -1, -1};
  for (int y = 0; y < client.bottom; ++y)
    for (int x = 0; x < client.right; ++x)
      if (picture.At(x, y) == colour) {
        found.left = std::min<LONG>(found.left, x);
        found.top = std::min<LONG>(found.top, y);
        found.right = std::max<LONG>(found.right, x);
        found.bottom = std::max<LONG>(found.bottom, y);
      }
  ++found.right;
  ++found.bottom;
  ::MapWindowPoints(view, nullptr, reinterpret_cast<POINT*>(&found), 2);
  return found;
}

POINT Centre(const RECT& rc) { return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2}; }
POINT Moved(POINT at, POINT by) { return POINT{at.x + by.x, at.y + by.y}; }

// The layout of kLayout with its 确定 painted green, to be found from the drawing.
const char kGreenOkLayout[] = R"(<layer title="框架" width="240" height="160">
  <header height="24" crbg="203040"/>
  <body crbg="FFFFFF"><button id="1" pos="10,10,80,40" crbg="40C040">确定</button></body>
</layer>)";
const COLORREF kGreen = RGB(0x40, 0xC0, 0x40);
// The same with its ✕ in the header, painted green, which ends it as 确定 does.
const char kGreenCloseLayout[] = R"(<layer title="框架" width="240" height="160">
  <header height="24" crbg="203040"><button id="1" pos="200,2,230,22" crbg="40C040">✕</button></header>
  <body crbg="FFFFFF"/>
</layer>)";

// A run that ends on a click of its 确定; the user's clicks (`clicks` of them, made at
// once from inside the run) are real input, the second `drift` from the first. It notes
// where 确定 is and when the first press was.
class EndsOnItem1 : public CUiDialogImpl<EndsOnItem1>, public CWHRoundRectFrameHelper<EndsOnItem1> {
 public:
  explicit EndsOnItem1(int clicks) : clicks(clicks) {}
  BEGIN_MSG_MAP_EX(EndsOnItem1)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_COMMAND, OnUiCommand)
    CHAIN_MSG_MAP(CUiDialogImpl<EndsOnItem1>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<EndsOnItem1>)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  END_MSG_MAP()
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    ::PostMessageW(m_hWnd, WM_APP + 3, 0, 0);
    return TRUE;
  }
  LRESULT OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
    bHandled = reinterpret_cast<UINMCOMMAND*>(pnmh)->uItemID == 1;
    if (bHandled) EndDialog(1);
    return 0;
  }
  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (pMsg->message == WM_LBUTTONDOWN && !pressedAt) pressedAt = pMsg->time;
    if (pMsg->message == WM_TIMER && pMsg->hwnd == m_hWnd) {
      EndDialog(0);
      return TRUE;
    }
    if (pMsg->message != WM_APP + 3) return FALSE;
    button = PaintedRect(GetViewHWnd(), kGreen);
    ok = Centre(button);
    // With a spread, the first click was made that long before the second, which comes
    // now: both are queued when the first ends the run.
    const DWORD second = spread ? ::GetTickCount() : 0, first = spread ? second - spread : 0;
    INPUT input[4] = {MouseAt(ok, MOUSEEVENTF_LEFTDOWN, first), MouseAt(ok, MOUSEEVENTF_LEFTUP, first),
                      MouseAt(Moved(ok, drift), MOUSEEVENTF_LEFTDOWN, second),
                      MouseAt(Moved(ok, drift), MOUSEEVENTF_LEFTUP, second)};
    sent = ::SendInput(2 * clicks, input, sizeof(INPUT));
    ::SetTimer(m_hWnd, 1, 5000, nullptr);  // clicks lost elsewhere end the run with 0
    return TRUE;
  }
  int clicks;
  DWORD spread = 0;  // ms between the two clicks
  POINT drift{0, 0};
  UINT sent = 0;
  RECT button{};
  POINT ok{};
  DWORD pressedAt = 0;
};

// A page whose 删除 (7) covers it, shown at (x, y), away from where the other tests'
// windows stand.
const char kDeletePageLayout[] = R"(<layer title="页" width="240" height="160"><body><button id="7" pos="0,0,-0,-0">删除</button></body></layer>)";
bool ShowDeletePage(TestDialog& page, int x, int y) {
  return page.SetXml(kDeletePageLayout) && page.Create(nullptr) &&
         ::SetWindowPos(page.m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
}

TEST(DialogFrame, ClicksMadeOnAFrameWhileItEndsGoWithIt) {
  // The owner's button lies where the dialog's 确定 stands, as 删除 lies under the
  // object editor's 取消.
  TestDialog page;
  ASSERT_TRUE(ShowDeletePage(page, 731, 541));
  // Two clicks on 确定: the second as a user makes it who thinks the first was lost.
  EndsOnItem1 dlg(2);
  ASSERT_TRUE(dlg.SetXml(kGreenOkLayout));
  EXPECT_EQ(1u, dlg.DoModal(page.m_hWnd));
  EXPECT_EQ(4u, dlg.sent);
  testenv::PumpFor(200);
  EXPECT_EQ(0, page.CountCommands(7));
}

// A dialog that takes its time to let go of what it held (a wizard's trees of a whole
// site): it ends at once, and while it goes, off the screen, the user clicks the page.
class SlowToGo : public CUiDialogImpl<SlowToGo>, public CWHRoundRectFrameHelper<SlowToGo> {
 public:
  BEGIN_MSG_MAP_EX(SlowToGo)
    CHAIN_MSG_MAP(CUiDialogImpl<SlowToGo>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<SlowToGo>)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  END_MSG_MAP()
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    EndDialog(1);
    return TRUE;
  }
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    // The click comes a tick after the frame left the screen.
    const DWORD going = ::GetTickCount();
    while (::GetTickCount() == going) ::Sleep(1);
    INPUT input[2] = {MouseAt(at, MOUSEEVENTF_LEFTDOWN, 0), MouseAt(at, MOUSEEVENTF_LEFTUP, 0)};
    sent = ::SendInput(2, input, sizeof(INPUT));
    return 0;
  }
  POINT at{};
  UINT sent = 0;
};

TEST(DialogFrame, AClickMadeOnThePageWhileAFrameGoesActs) {
  TestDialog page;
  ASSERT_TRUE(ShowDeletePage(page, 611, 401));
  RECT rc;
  ::GetWindowRect(page.m_hWnd, &rc);
  SlowToGo dlg;
  dlg.at = Centre(rc);
  ASSERT_TRUE(dlg.SetXml(kGreenOkLayout));
  EXPECT_EQ(1u, dlg.DoModal(page.m_hWnd));
  EXPECT_EQ(2u, dlg.sent);
  EXPECT_TRUE(testenv::PumpUntil([&] { return page.CountCommands(7) == 1; }, 5000));
}

// What the first click of a double click ends.
enum class FirstEnds { kDialog, kSystemBox, kSystemMenu };

// The later clicks of a burst whose first ends a dialog.
struct SecondClick {
  const char* what;
  std::vector<DWORD> gaps;    // ms from each press to the next, from the one that ended the run
  std::vector<POINT> drift;  // pixels from the first press, of each later one (none: on it)
  bool realControl;          // they land on a real control rather than on 删除
  int acts;                  // clicks of the page they make
  FirstEnds ends = FirstEnds::kDialog;
  DWORD whileEnding = 0;  // a second click made on the dialog this long after the first,
                          // queued when the first ends it; the gaps count from it
  bool beside = false;    // the last press lands just beyond the button and the double-click
                          // slack around it, to its right
  bool close = false;     // the dialog ends on its header's ✕ rather than on 确定

  // Where the `index`th press after the first lands, the first at `first` on `button`.
  POINT At(size_t index, POINT first, const RECT& button, bool last) const {
    if (last && beside) return POINT{button.right + ::GetSystemMetrics(SM_CXDOUBLECLK) / 2, first.y};
    return index < drift.size() ? Moved(first, drift[index]) : first;
  }
};

// A page as the main window is one: it runs modally, with a windowless 删除 (7) over its
// body and a real push button (77) over the place of the dialog's 确定 when the case
// asks for one. It opens the dialog over itself, and once the dialog's run is over
// makes the case's second click; the pointer then moves to a corner, which ends the run.
class PageBelow : public TestDialog {
 public:
  explicit PageBelow(const SecondClick& c) : m_case(c) {}
  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (pMsg->message == WM_MOUSEMOVE && pMsg->pt.x == m_corner.x && pMsg->pt.y == m_corner.y) {
      EndDialog(1);
      return TRUE;
    }
    if (pMsg->message == WM_TIMER && pMsg->hwnd == m_hWnd) {
      EndDialog(0);
      return TRUE;
    }
    if (pMsg->message != WM_APP + 4) return FALSE;
    ::SetTimer(m_hWnd, 1, 10000, nullptr);
    if (m_case.realControl)
      ::CreateWindowExW(0, L"BUTTON", L"实", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 120, 100, GetViewHWnd(),
                        reinterpret_cast<HMENU>(77), nullptr, nullptr);
    if (m_case.ends == FirstEnds::kDialog) {
      EndsOnItem1 dlg(m_case.whileEnding ? 2 : 1);
      dlg.spread = m_case.whileEnding;
      if (m_case.whileEnding) dlg.drift = m_case.At(0, POINT{0, 0}, RECT{}, false);
      if (!dlg.SetXml(m_case.close ? kGreenCloseLayout : kGreenOkLayout) || dlg.DoModal(m_hWnd) != 1)
        return TRUE;  // no first click: the run ends on the timer
      m_first = dlg.ok;
      m_button = dlg.button;
      m_pressedAt = dlg.pressedAt + m_case.whileEnding;
    } else if (!EndSystemRun()) {
      return TRUE;
    }
    RECT rc;
    ::GetWindowRect(m_hWnd, &rc);
    m_corner = POINT{rc.right - 5, rc.bottom - 5};
    std::vector<INPUT> input;
    DWORD time = m_pressedAt;
    const size_t skip = m_case.whileEnding ? 1 : 0;  // the press made while the dialog ended
    for (size_t i = 0; i < m_case.gaps.size(); ++i) {
      const POINT at = m_case.At(i + skip, m_first, m_button, i + 1 == m_case.gaps.size());
      time += m_case.gaps[i];
      input.push_back(MouseAt(at, MOUSEEVENTF_LEFTDOWN, time));
      input.push_back(MouseAt(at, MOUSEEVENTF_LEFTUP, time + 10));
    }
    input.push_back(MouseAt(m_corner, 0, time + 20));
    ::SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
    return TRUE;
  }
  int RealClicks() const {
    int n = 0;
    for (const auto& c : commands) n += c.first == MAKEWPARAM(77, BN_CLICKED);
    return n;
  }

 private:
  // The system's message box (or a menu) over the page, its 确定 (its item) clicked once
  // by the user, with the page moved under that place.
  BOOL EndSystemRun() {
    s_page = this;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, &ClickSystemWindow);
    BOOL ended = FALSE;
    if (m_case.ends == FirstEnds::kSystemBox) {
      ended = UiSystemMessageBox(L"请选择", L"警告", MB_OK, m_hWnd) == IDOK;
    } else {
      m_menu = ::CreatePopupMenu();
      ::AppendMenuW(m_menu, MF_STRING, 9, L"关于");
      UiSystemModalRun run;
      ended = ::TrackPopupMenu(m_menu, TPM_RETURNCMD, 300, 300, 0, m_hWnd, nullptr) == 9;
      ::DestroyMenu(m_menu);
    }
    ::KillTimer(nullptr, timer);
    return ended && m_pressedAt;
  }
  static BOOL CALLBACK FindShown(HWND wnd, LPARAM found) {
    wchar_t name[16] = L"";
    ::GetClassNameW(wnd, name, 16);
    const bool box = s_page->m_case.ends == FirstEnds::kSystemBox;
    if (!::IsWindowVisible(wnd) || ::lstrcmpW(name, box ? L"#32770" : L"#32768")) return TRUE;
    *reinterpret_cast<HWND*>(found) = wnd;
    return FALSE;
  }
  static void CALLBACK ClickSystemWindow(HWND, UINT, UINT_PTR, DWORD) {
    PageBelow& page = *s_page;
    HWND shown = nullptr;
    if (page.m_pressedAt || (::EnumThreadWindows(::GetCurrentThreadId(), &FindShown, reinterpret_cast<LPARAM>(&shown)), !shown))
      return;
    RECT place{};
    if (page.m_case.ends == FirstEnds::kSystemBox)
      ::GetWindowRect(::GetDlgItem(shown, IDOK), &place);
    else
      ::GetMenuItemRect(nullptr, page.m_menu, 0, &place);
    page.m_first = Centre(place);
    // A menu's item is no button: its press's pixel stands for it.
    page.m_button = page.m_case.ends == FirstEnds::kSystemBox
                        ? place
                        : RECT{page.m_first.x, page.m_first.y, page.m_first.x + 1, page.m_first.y + 1};
    RECT rc;
    ::GetWindowRect(page.m_hWnd, &rc);
    ::SetWindowPos(page.m_hWnd, nullptr, page.m_first.x - (rc.right - rc.left) / 2,
                   page.m_first.y - (rc.bottom - rc.top) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    page.m_pressedAt = ::GetTickCount();
    INPUT input[2] = {MouseAt(page.m_first, MOUSEEVENTF_LEFTDOWN, page.m_pressedAt),
                      MouseAt(page.m_first, MOUSEEVENTF_LEFTUP, page.m_pressedAt + 10)};
    ::SendInput(2, input, sizeof(INPUT));
  }

  static PageBelow* s_page;  // the one whose system run the timer clicks
  SecondClick m_case;
  POINT m_corner{-1, -1};
  POINT m_first{};  // the first press: where and when, and the button it was on
  DWORD m_pressedAt = 0;
  RECT m_button{};
  HMENU m_menu = nullptr;
};
PageBelow* PageBelow::s_page = nullptr;

// The first click of a double click on a dialog's 确定 ends the dialog; the second press
// comes when the frame is gone, on what was below it (删除 under the object editor's 取消,
// a grid or an edit box of the page): it goes nowhere, and so does every further press of
// the burst, each within the double-click time of the one before, wherever the hand
// drifts on 确定 or within the double-click slack around it. So they do when the first
// ends the system's message box (on its 确定) or a menu (whose item is no button: the
// slack is around the first press). A press beyond the button's slack, or made after a
// rest of the double-click time, is a click of its own.
TEST(DialogFrame, TheSecondPressOfADoubleClickThatEndedADialogGoesNowhere) {
  const DWORD late = ::GetDoubleClickTime() + 100;
  const DWORD soon = ::GetDoubleClickTime() * 4 / 5;
  const std::vector<POINT> drifting = {{1, 1}, {3, 1}, {3, 2}};  // a hand that drifts a pixel a click
  const SecondClick cases[] = {
      {"30 ms later, on the windowless 删除", {30}, {}, false, 0},
      {"300 ms later, on the windowless 删除", {300}, {}, false, 0},
      {"80 ms later, on a real control", {80}, {}, true, 0},
      {"beside the button", {30}, {}, false, 1, FirstEnds::kDialog, 0, true},
      {"after the double-click time", {late}, {}, false, 1},
      {"after the double-click time, on a real control", {late}, {}, true, 1},
      {"three clicks, 80 and 150 ms apart", {80, 150}, {}, false, 0},
      {"three clicks, 150 and 80 ms apart, on a real control", {150, 80}, {}, true, 0},
      {"four clicks, 150, 80 and 120 ms apart", {150, 80, 120}, {}, false, 0},
      {"four clicks, 100, 150 and 80 ms apart, on a real control", {100, 150, 80}, {}, true, 0},
      {"four clicks, each near the double-click time after the one before", {soon, soon, soon}, {}, false, 0},
      {"four clicks, then one after a rest", {120, 80, 150, late}, {}, false, 1},
      {"four clicks, then one after a rest, on a real control", {120, 80, 150, late}, {}, true, 1},
      {"the fourth click beside the button", {80, 150, 100}, {}, false, 1, FirstEnds::kDialog, 0, true},
      {"a click made while the dialog ended counts for the next", {soon}, {}, true, 0, FirstEnds::kDialog, soon},
      // The hand drifts on the button.
      {"four clicks 110 ms apart, drifting", {110, 110, 110}, drifting, false, 0},
      {"four clicks 110 ms apart, drifting, on a real control", {110, 110, 110}, drifting, true, 0},
      {"two clicks 6 px apart", {80}, {{6, 0}}, false, 0},
      {"four clicks drifting, then one after a rest", {110, 110, 110, late}, {{1, 1}, {3, 1}, {3, 2}, {3, 2}}, false, 1},
      {"three clicks drifting, then one beside the button", {110, 110, 110}, drifting, false, 1,
       FirstEnds::kDialog, 0, true},
      {"four clicks 110 ms apart, drifting, on the header's ✕", {110, 110, 110}, drifting, false, 0,
       FirstEnds::kDialog, 0, false, true},
      {"three clicks drifting on the header's ✕, then one beside it", {110, 110, 110}, drifting, false, 1,
       FirstEnds::kDialog, 0, true, true},
      {"a drifting click made while the dialog ended, then more", {soon, 110}, drifting, true, 0,
       FirstEnds::kDialog, soon},
      // The system's own loops: its message box and a menu.
      {"80 ms after the system's box ended", {80}, {}, false, 0, FirstEnds::kSystemBox},
      {"after the double-click time, after the system's box", {late}, {}, false, 1, FirstEnds::kSystemBox},
      {"80 ms after a menu ended", {80}, {}, false, 0, FirstEnds::kSystemMenu},
      {"three more clicks after the system's box", {150, 80, 120}, {}, false, 0, FirstEnds::kSystemBox},
      {"three more clicks after a menu", {80, 150, 100}, {}, false, 0, FirstEnds::kSystemMenu},
      {"three more clicks and a late one after the system's box", {100, 100, 100, late}, {}, false, 1,
       FirstEnds::kSystemBox},
      {"the system's box's 确定 double clicked, the second press 3 px off", {80}, {{3, 0}}, false, 0,
       FirstEnds::kSystemBox},
      {"beside the system's box's 确定", {80}, {}, false, 1, FirstEnds::kSystemBox, 0, true},
      {"a menu's item clicked again 3 px off: no button, a click of its own", {80}, {{3, 0}}, false, 1,
       FirstEnds::kSystemMenu},
  };
  for (const SecondClick& c : cases) {
    SCOPED_TRACE(c.what);
    PageBelow page(c);
    ASSERT_TRUE(page.SetXml(kDeletePageLayout));
    page.onInit = [](TestDialog& d) { ::PostMessageW(d.m_hWnd, WM_APP + 4, 0, 0); };
    // The page is centred on it, away from where the other tests' windows stand.
    Owner owner;
    ::SetWindowPos(owner.wnd, nullptr, 651, 471, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_EQ(1u, page.DoModal(owner.wnd)) << "the pointer never reached the corner";
    EXPECT_EQ(c.acts, page.CountCommands(7) + page.RealClicks());
    // A burst the page's run handed on when it ended is not the next case's: its
    // clicks were timed ahead of the clock.
    MSG left;
    while (::PeekMessageW(&left, reinterpret_cast<HWND>(-1), UiEndingClick::HandOnMessage(),
                          UiEndingClick::HandOnMessage(), PM_REMOVE)) {
    }
  }
}
