// The dialog frame: creation from a layout, the modal loop (nesting, quitting, end
// codes, owner disabling), the frame map (keys and close as items 1 and 2, no
// non-client area, maximized size) and the rounded window region.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "../dialogview/TestDialog.h"
#include "support/TestEnv.h"

namespace {

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

TEST(DialogFrame, EndDialogFromInitEndsTheRunAndDisablesTheOwnerMeanwhile) {
  HWND owner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                 nullptr, nullptr, nullptr, nullptr);
  static BOOL ownerEnabledInside;
  ownerEnabledInside = TRUE;
  TestDialog dlg;
  ASSERT_TRUE(dlg.SetXml(kLayout));
  dlg.onInit = [](TestDialog& d) {
    ownerEnabledInside = ::IsWindowEnabled(::GetWindow(d.m_hWnd, GW_OWNER));
    d.EndDialog(6);
  };
  EXPECT_EQ(6u, dlg.DoModal(owner));
  EXPECT_FALSE(ownerEnabledInside);
  EXPECT_TRUE(::IsWindowEnabled(owner));
  EXPECT_FALSE(::IsWindow(dlg.m_hWnd));
  EXPECT_EQ(1, dlg.initCount);
  EXPECT_TRUE(dlg.viewCoveredAtInit);

  // A second run reuses the layout; an owner that was already disabled stays so.
  ::EnableWindow(owner, FALSE);
  dlg.onInit = [](TestDialog& d) { d.EndDialog(2); };
  EXPECT_EQ(2u, dlg.DoModal(owner));
  EXPECT_FALSE(::IsWindowEnabled(owner));
  EXPECT_EQ(2, dlg.initCount);
  ::DestroyWindow(owner);
}

TEST(DialogFrame, CreationFailuresReturnZeroAndGiveTheOwnerBack) {
  HWND owner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                 nullptr, nullptr, nullptr, nullptr);
  TestDialog noLayout;
  EXPECT_EQ(0u, noLayout.DoModal(owner));
  EXPECT_TRUE(::IsWindowEnabled(owner));
  TestDialog missing(60999);  // no such resource
  EXPECT_EQ(0u, missing.DoModal(owner));
  TestDialog malformed;
  EXPECT_FALSE(malformed.SetXml("<layer><body>"));
  EXPECT_EQ(0u, malformed.DoModal(owner));
  EXPECT_TRUE(::IsWindowEnabled(owner));
  // An initialisation that destroys its own window fails the run.
  TestDialog suicide;
  ASSERT_TRUE(suicide.SetXml(kLayout));
  suicide.onInit = [](TestDialog& d) { ::DestroyWindow(d.m_hWnd); };
  EXPECT_EQ(0u, suicide.DoModal(owner));
  EXPECT_TRUE(::IsWindowEnabled(owner));
  ::DestroyWindow(owner);
}

// Dialog A opens B from a posted message; B posts a quit. Both runs end, and the
// quit is still queued for the program's own loop.
TestDialog* g_outer = nullptr;
UINT g_innerResult = 99;

TEST(DialogFrame, AQuitInANestedDialogEndsEveryLoopAndStaysQueued) {
  DrainQuit();
  TestDialog a;
  ASSERT_TRUE(a.SetXml(kLayout));
  a.EndDialog(1);  // an earlier run's code must not come back
  g_outer = &a;
  g_innerResult = 99;
  // B is opened from A's loop by a timer.
  struct Opener {
    static void CALLBACK Open(HWND, UINT, UINT_PTR id, DWORD) {
      ::KillTimer(nullptr, id);
      TestDialog b;
      b.SetXml(kLayout);
      b.onInit = [](TestDialog&) { ::PostQuitMessage(7); };
      g_innerResult = b.DoModal(g_outer->m_hWnd);
    }
  };
  a.onInit = [](TestDialog&) { ::SetTimer(nullptr, 0, 10, &Opener::Open); };
  UINT outer = a.DoModal();
  EXPECT_EQ(0u, g_innerResult);
  EXPECT_EQ(0u, outer);
  EXPECT_FALSE(::IsWindow(a.m_hWnd));
  EXPECT_EQ(7, DrainQuit());
}

// The quit comes from another thread while the inner loop waits in GetMessage, which
// takes it out of the queue: the loop must queue it again for the outer ones.
TEST(DialogFrame, AQuitTakenByGetMessageIsQueuedAgain) {
  DrainQuit();
  static DWORD uiThread;
  uiThread = ::GetCurrentThreadId();
  struct Opener {
    static DWORD WINAPI Quitter(LPVOID) {
      ::Sleep(200);
      ::PostThreadMessageW(uiThread, WM_QUIT, 9, 0);
      return 0;
    }
    static void CALLBACK Open(HWND, UINT, UINT_PTR id, DWORD) {
      ::KillTimer(nullptr, id);
      TestDialog b;
      b.SetXml(kLayout);
      b.onInit = [](TestDialog&) { ::CloseHandle(::CreateThread(nullptr, 0, &Quitter, nullptr, 0, nullptr)); };
      g_innerResult = b.DoModal(g_outer->m_hWnd);
    }
  };
  TestDialog a;
  ASSERT_TRUE(a.SetXml(kLayout));
  g_outer = &a;
  g_innerResult = 99;
  a.onInit = [](TestDialog&) { ::SetTimer(nullptr, 0, 10, &Opener::Open); };
  // Fail-safe: without the quit, A would wait for ever.
  struct FailSafe {
    static void CALLBACK End(HWND, UINT, UINT_PTR id, DWORD) {
      ::KillTimer(nullptr, id);
      g_outer->EndDialog(55);
    }
  };
  UINT_PTR failSafe = ::SetTimer(nullptr, 0, 5000, &FailSafe::End);
  EXPECT_EQ(0u, a.DoModal());
  ::KillTimer(nullptr, failSafe);
  EXPECT_EQ(0u, g_innerResult);
  EXPECT_EQ(9, DrainQuit());
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
  HWND owner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300,
                                 nullptr, nullptr, nullptr, nullptr);
  Probe dlg;
  ASSERT_TRUE(dlg.SetXml(kLayout));
  dlg.onInit = [](TestDialog& d) { ::PostMessageW(d.m_hWnd, WM_APP + 3, 0, 0); };
  EXPECT_EQ(1u, dlg.DoModal(owner));
  EXPECT_TRUE(dlg.visible);
  EXPECT_EQ(300 - 120, dlg.seen.left);
  EXPECT_EQ(250 - 80, dlg.seen.top);
  EXPECT_EQ(240, dlg.seen.right - dlg.seen.left);
  // With a rectangle the run stays where it was put; the layout still sets the size.
  RECT rc{10, 20, 30, 40};
  EXPECT_EQ(1u, dlg.DoModal(owner, &rc));
  EXPECT_EQ(10, dlg.seen.left);
  EXPECT_EQ(20, dlg.seen.top);
  EXPECT_EQ(240, dlg.seen.right - dlg.seen.left);
  ::DestroyWindow(owner);
}

TEST(DialogFrame, KeysAndCloseBecomeItemCommands) {
  TestDialog dlg;
  ASSERT_TRUE(dlg.SetXml(kLayout));
  ASSERT_NE(nullptr, dlg.Create(nullptr));
  HWND frame = dlg.m_hWnd;
  ::SendMessageW(frame, WM_KEYDOWN, VK_RETURN, 0);
  ::SendMessageW(frame, WM_KEYDOWN, VK_ESCAPE, 0);
  ::SendMessageW(frame, WM_KEYDOWN, 'A', 0);
  ::SendMessageW(frame, WM_CLOSE, 0, 0);
  EXPECT_TRUE(::IsWindow(frame));  // closing is the dialog's decision
  ASSERT_EQ(3u, dlg.events.size());
  EXPECT_EQ(1u, dlg.events[0].item);
  EXPECT_EQ("", dlg.events[0].itemClass);
  EXPECT_EQ(2u, dlg.events[1].item);
  EXPECT_EQ(2u, dlg.events[2].item);

  // With Control held, neither key counts.
  BYTE keys[256];
  ::GetKeyboardState(keys);
  BYTE saved = keys[VK_CONTROL];
  keys[VK_CONTROL] = 0x80;
  ::SetKeyboardState(keys);
  ::SendMessageW(frame, WM_KEYDOWN, VK_RETURN, 0);
  ::SendMessageW(frame, WM_KEYDOWN, VK_ESCAPE, 0);
  keys[VK_CONTROL] = saved;
  ::SetKeyboardState(keys);
  EXPECT_EQ(3u, dlg.events.size());

  // A disabled frame (behind a nested dialog) swallows its keys.
  ::EnableWindow(frame, FALSE);
  ::SendMessageW(frame, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(3u, dlg.events.size());
  ::EnableWindow(frame, TRUE);
}

// A dialog that handles neither item 1 nor 2 ignores Enter, Esc and close.
class Plain : public CUiDialogImpl<Plain>, public CWHRoundRectFrameHelper<Plain> {
 public:
  BEGIN_MSG_MAP_EX(Plain)
    CHAIN_MSG_MAP(CUiDialogImpl<Plain>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<Plain>)
  END_MSG_MAP()
};

TEST(DialogFrame, ADialogWithoutItemHandlersIgnoresKeysAndClose) {
  Plain dlg;
  ASSERT_TRUE(dlg.SetXml(kLayout));
  ASSERT_NE(nullptr, dlg.Create(nullptr));
  ::SendMessageW(dlg.m_hWnd, WM_KEYDOWN, VK_RETURN, 0);
  ::SendMessageW(dlg.m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
  ::SendMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
  ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
  testenv::PumpFor(20);
  EXPECT_TRUE(::IsWindow(dlg.m_hWnd));
  // Destroying the object takes its window with it.
  HWND frame = dlg.m_hWnd;
  {
    Plain scoped;
    scoped.SetXml(kLayout);
    frame = scoped.Create(nullptr);
    ASSERT_TRUE(::IsWindow(frame));
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
    UINT item = reinterpret_cast<UINMCOMMAND*>(pnmh)->uItemID;
    if (item != 1506) {
      bHandled = FALSE;
      return 0;
    }
    switched = !SetItemVisible(1505, FALSE) && !SetItemVisible(1506, TRUE);
    return 0;
  }
  bool switched = false;
};

TEST(DialogFrame, AHandlerThatIsNeverCreatedFindsNoElements) {
  CMessageMap* handler = new PageHandlerOnTemplate;
  UINMCOMMAND cmd{};
  cmd.hdr = NMHDR{nullptr, IDC_UIVIEW, UINM_COMMAND};
  cmd.uItemID = 1506;
  cmd.szItemClass = "button";
  LRESULT result = 0;
  EXPECT_TRUE(handler->ProcessWindowMessage(nullptr, WM_NOTIFY, IDC_UIVIEW,
                                            reinterpret_cast<LPARAM>(&cmd), result));
  EXPECT_TRUE(static_cast<PageHandlerOnTemplate*>(handler)->switched);
  cmd.uItemID = 7;
  EXPECT_FALSE(handler->ProcessWindowMessage(nullptr, WM_NOTIFY, IDC_UIVIEW,
                                             reinterpret_cast<LPARAM>(&cmd), result));
  EXPECT_FALSE(handler->ProcessWindowMessage(nullptr, WM_CLOSE, 0, 0, result));
  delete handler;
}

TEST(DialogFrame, NoNonClientAreaAndTheLayoutsSize) {
  TestDialog dlg;
  ASSERT_TRUE(dlg.SetXml(kLayout));
  ASSERT_NE(nullptr, dlg.Create(nullptr));
  RECT window, client;
  ::GetWindowRect(dlg.m_hWnd, &window);
  ::GetClientRect(dlg.m_hWnd, &client);
  EXPECT_EQ(240, client.right);
  EXPECT_EQ(160, client.bottom);
  EXPECT_EQ(window.right - window.left, client.right);
  EXPECT_EQ(window.bottom - window.top, client.bottom);
  DWORD style = static_cast<DWORD>(::GetWindowLongW(dlg.m_hWnd, GWL_STYLE));
  DWORD ex = static_cast<DWORD>(::GetWindowLongW(dlg.m_hWnd, GWL_EXSTYLE));
  EXPECT_EQ(static_cast<DWORD>(WS_POPUP | WS_SYSMENU), style & (WS_POPUP | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX));
  // The system drops WS_EX_WINDOWEDGE from a frame without caption; the layout asked for both.
  EXPECT_EQ(static_cast<DWORD>(WS_EX_CLIENTEDGE), ex & WS_EX_CLIENTEDGE);
  EXPECT_EQ(static_cast<DWORD>(WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE), dlg.GetView().GetDlgExStyle());
  wchar_t caption[16] = L"";
  ::GetWindowTextW(dlg.m_hWnd, caption, 16);
  EXPECT_STREQ(L"框架", caption);
  EXPECT_FALSE(dlg.GetView().IsMaximizable());
}

TEST(DialogFrame, ALayoutWithoutSizeKeepsTheGivenRectangleAndTheViewCoversIt) {
  TestDialog dlg;
  ASSERT_TRUE(dlg.SetXml(R"(<layer width="0"><body crbg="FFFFFF"><button id="9" pos="0,0,-0,-0">all</button></body></layer>)"));
  RECT rc{20, 20, 150, 110};
  ASSERT_NE(nullptr, dlg.Create(nullptr, &rc));
  RECT client, view;
  ::GetClientRect(dlg.m_hWnd, &client);
  ::GetClientRect(dlg.GetViewHWnd(), &view);
  EXPECT_EQ(130, client.right);
  EXPECT_EQ(90, client.bottom);
  EXPECT_TRUE(::EqualRect(&client, &view));
  EXPECT_TRUE(dlg.viewCoveredAtInit);
  RECT all = dlg.FindChildByCmdID(9)->GetRect();
  EXPECT_TRUE(::EqualRect(&client, &all));
}

TEST(DialogFrame, LayoutRootAttributes) {
  TestDialog dlg;
  ASSERT_TRUE(dlg.SetXml(R"(<layer width=" 12x" height="abc" appwin="1" resize="1" noborder="1"/>)"));
  CUiDialogView& v = dlg.GetView();
  EXPECT_EQ(12, v.GetDlgSize().cx);
  EXPECT_EQ(0, v.GetDlgSize().cy);
  EXPECT_EQ(0x80080000u | 0x00070000u, v.GetDlgStyle());
  EXPECT_EQ(static_cast<DWORD>(WS_EX_APPWINDOW | WS_EX_TOPMOST | WS_EX_TOOLWINDOW), v.GetDlgExStyle());
  EXPECT_TRUE(v.IsMaximizable());
  EXPECT_FALSE(v.HasHeader());

  ASSERT_TRUE(dlg.SetXml(R"(<layer resize="1" nomaxsize="1"><body/></layer>)"));
  EXPECT_EQ(0x80080000u | 0x00060000u, v.GetDlgStyle());
  EXPECT_FALSE(v.IsMaximizable());
  EXPECT_TRUE(v.HasBody());
  ASSERT_TRUE(dlg.SetXml(R"(<layer nomaxsize="1"/>)"));
  EXPECT_EQ(0x80080000u, v.GetDlgStyle());
  ASSERT_TRUE(dlg.SetXml(R"(<layer child="1"/>)"));
  EXPECT_EQ(static_cast<DWORD>(WS_CHILD | WS_SYSMENU), v.GetDlgStyle());
  EXPECT_EQ(static_cast<DWORD>(WS_EX_WINDOWEDGE), v.GetDlgExStyle());
  EXPECT_FALSE(dlg.SetXml("<Layer/>"));
  EXPECT_FALSE(v.XmlLoaded());
}

TEST(DialogFrame, MaximizedSizeIsTheWorkAreaPlusOnePixelEachSide) {
  TestDialog dlg;
  ASSERT_TRUE(dlg.SetXml(R"(<layer width="200" height="100" resize="1"><body/></layer>)"));
  ASSERT_NE(nullptr, dlg.Create(nullptr));
  HMONITOR monitor = ::MonitorFromWindow(dlg.m_hWnd, MONITOR_DEFAULTTONULL);
  ASSERT_NE(nullptr, monitor);
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  ASSERT_TRUE(::GetMonitorInfoW(monitor, &mi));
  MINMAXINFO mmi{};
  mmi.ptMinTrackSize = POINT{11, 12};
  ::SendMessageW(dlg.m_hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  EXPECT_EQ(mi.rcWork.left - mi.rcMonitor.left - 1, mmi.ptMaxPosition.x);
  EXPECT_EQ(mi.rcWork.top - mi.rcMonitor.top - 1, mmi.ptMaxPosition.y);
  EXPECT_EQ(mi.rcWork.right - mi.rcWork.left + 2, mmi.ptMaxSize.x);
  EXPECT_EQ(mi.rcWork.bottom - mi.rcWork.top + 2, mmi.ptMaxSize.y);
  EXPECT_EQ(mmi.ptMaxSize.x, mmi.ptMaxTrackSize.x);
  EXPECT_EQ(11, mmi.ptMinTrackSize.x);
}

TEST(DialogFrame, RoundedRegionCutsThreePixelsAtEachCorner) {
  TestDialog dlg;
  ASSERT_TRUE(dlg.SetXml(kLayout));
  ASSERT_NE(nullptr, dlg.Create(nullptr));
  HRGN rgn = ::CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(ERROR, ::GetWindowRgn(dlg.m_hWnd, rgn));
  const int w = 240, h = 160;
  struct Probe {
    int x, y;
    bool in;
  } probes[] = {
      {0, 0, false},         {1, 0, false},         {0, 1, false},         {2, 0, true},
      {1, 1, true},          {0, 2, true},          {w - 1, 0, false},     {w - 2, 0, false},
      {w - 1, 1, false},     {w - 3, 0, true},      {w - 2, 1, true},      {w - 1, 2, true},
      {0, h - 1, false},     {1, h - 1, false},     {0, h - 2, false},     {2, h - 1, true},
      {1, h - 2, true},      {w - 1, h - 1, false}, {w - 2, h - 1, false}, {w - 1, h - 2, false},
      {w - 3, h - 1, true},  {w - 2, h - 2, true},  {w / 2, h / 2, true},  {w, h / 2, false},
  };
  for (const Probe& p : probes)
    EXPECT_EQ(p.in, ::PtInRegion(rgn, p.x, p.y) != FALSE) << p.x << "," << p.y;

  // A minimize keeps the region; a new size reshapes it.
  ::SendMessageW(dlg.m_hWnd, WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(10, 10));
  ::GetWindowRgn(dlg.m_hWnd, rgn);
  EXPECT_TRUE(::PtInRegion(rgn, w - 3, h - 1));
  ASSERT_TRUE(dlg.ResizeClient(100, 50, FALSE));
  ::GetWindowRgn(dlg.m_hWnd, rgn);
  EXPECT_FALSE(::PtInRegion(rgn, 99, 49));
  EXPECT_TRUE(::PtInRegion(rgn, 97, 49));
  EXPECT_FALSE(::PtInRegion(rgn, 150, 40));
  ::DeleteObject(rgn);

  RECT view;
  ::GetClientRect(dlg.GetViewHWnd(), &view);
  EXPECT_EQ(100, view.right);
  EXPECT_EQ(50, view.bottom);
}

}  // namespace
