// Skinned scroll bars over real targets in a host window that reflects like the view.
#include <windows.h>

#include <map>
#include <vector>

#include <gtest/gtest.h>

#include "controls/CSkinScrollWnd.h"
#include "controls/CUIResource.h"
#include "platform/CBitmapDC.h"
#include "platform/CRect.h"
#include "platform/CWindowImpl.h"
#include "support/DibCanvas.h"
#include "support/ReflectingHost.h"
#include "support/TestEnv.h"

namespace {

const UINT kTargetId = 500, kSkinId = 2000;
const int kCell = 13;

CSkinScrollBar* BarOf(HWND bar) { return static_cast<CSkinScrollBar*>(CWindowImplCore::FromHandle(bar)); }

SCROLLINFO InfoOf(HWND wnd, int axis) {
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  ::GetScrollInfo(wnd, axis, &si);
  return si;
}

void SetInfo(HWND bar, int min, int max, UINT page, int pos) {
  SCROLLINFO si{sizeof si, SIF_ALL, min, max, page, pos, 0};
  ::SendMessageW(bar, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&si));
}

void Mouse(HWND bar, UINT msg, int x, int y) { ::SendMessageW(bar, msg, MK_LBUTTON, MAKELPARAM(x, y)); }

// A point of the bar on the part, scanning along it.
POINT PointOn(HWND bar, int part) {
  const bool vertical = BarOf(bar)->IsVertical();
  for (int along = 0; along < 2000; ++along) {
    const POINT pt = vertical ? POINT{6, along} : POINT{along, 6};
    if (BarOf(bar)->HitTest(pt) == part) return pt;
  }
  return POINT{-1, -1};
}

void Click(HWND bar, int part) {
  const POINT pt = PointOn(bar, part);
  Mouse(bar, WM_LBUTTONDOWN, pt.x, pt.y);
  Mouse(bar, WM_LBUTTONUP, pt.x, pt.y);
}

// WM_DESTROY deliveries per window while a test counts them.
std::map<HWND, int> g_destroyed;
LRESULT CALLBACK CountDestroys(int code, WPARAM wParam, LPARAM lParam) {
  const CWPSTRUCT* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && m->message == WM_DESTROY) ++g_destroyed[m->hwnd];
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

int TopIndex(HWND list) { return static_cast<int>(::SendMessageW(list, LB_GETTOPINDEX, 0, 0)); }

// A target scrolling over 200,000 positions that takes thumb positions from the bar
// named in the message, and tells its parent of every scroll.
class BigTarget : public CWindowImpl<BigTarget> {
 public:
  std::vector<int> positions;
  int reflected = 0;

  BEGIN_MSG_MAP(BigTarget)
    MESSAGE_HANDLER(WM_VSCROLL, OnVScroll)
    MESSAGE_HANDLER(OCM_NOTIFY, OnReflected)
  END_MSG_MAP()

  LRESULT OnVScroll(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
    SCROLLINFO si = InfoOf(m_hWnd, SB_VERT);
    int pos = si.nPos;
    if (LOWORD(wParam) == SB_THUMBTRACK || LOWORD(wParam) == SB_THUMBPOSITION) {
      SCROLLINFO bar{};
      bar.cbSize = sizeof bar;
      bar.fMask = SIF_TRACKPOS;
      ::GetScrollInfo(reinterpret_cast<HWND>(lParam), SB_CTL, &bar);
      pos = bar.nTrackPos;
    }
    ::SetScrollPos(m_hWnd, SB_VERT, pos, TRUE);
    positions.push_back(pos);
    NMHDR nm{m_hWnd, kTargetId, 1};
    ::SendMessageW(GetParent(), WM_NOTIFY, kTargetId, reinterpret_cast<LPARAM>(&nm));
    return 0;
  }
  LRESULT OnReflected(UINT, WPARAM, LPARAM, BOOL&) { return ++reflected; }
};

class SkinScrollTest : public ::testing::Test {
 protected:
  void SetUp() override { CUIResource::Init(); }
  void TearDown() override {
    host_.Destroy();
    CUIResource::Uninit();
  }

  HWND MakeList(int lines, DWORD style = 0, HWND view = nullptr) {
    HWND list = ::CreateWindowExW(
        0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | style, 10, 10,
        200, 150, view ? view : host_.View(), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kTargetId)),
        ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);  // Wine's list box repaints on every line
    for (int i = 0; i < lines; ++i) ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"line"));
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    SkinWndScroll(list, CUIResource::GetSkinBitmap(), kSkinId);
    return list;
  }
  HWND Frame() const { return ::GetDlgItem(host_.View(), kTargetId); }
  HWND VBar() const { return ::GetDlgItem(Frame(), kSkinId + 2); }
  CSkinScrollBar* StandaloneBar(CSkinScrollBar& bar, DWORD axis, int length) {
    const CRect rc = axis == SBS_VERT ? CRect(0, 0, kCell, length) : CRect(0, 0, length, kCell);
    bar.Create(host_.View(), rc, nullptr, WS_CHILD | WS_VISIBLE | axis);
    bar.SetBitmap(CUIResource::GetSkinBitmap());
    return &bar;
  }

  ReflectingHost host_;
};

}  // namespace

TEST_F(SkinScrollTest, FrameTakesTheListsPlaceAndTheThumbReachesTheLastLine) {
  HWND list = MakeList(5000, WS_BORDER);
  const WNDPROC ownProc = reinterpret_cast<WNDPROC>(::GetClassLongPtrW(list, GCLP_WNDPROC));
  HWND frame = Frame(), limit = ::GetParent(list);
  wchar_t name[64] = {};
  ::GetClassNameW(frame, name, 64);
  EXPECT_STREQ(L"SkinScrollBarFrame", name);
  EXPECT_EQ(frame, ::GetParent(limit));
  EXPECT_EQ(static_cast<int>(kSkinId), ::GetDlgCtrlID(limit));
  EXPECT_TRUE(::GetWindowLongW(frame, GWL_STYLE) & WS_BORDER);
  EXPECT_FALSE(::GetWindowLongW(list, GWL_STYLE) & WS_BORDER);
  EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(frame, kSkinId + 1)));

  // The clipping child leaves the bar's width to the bar, which shows the list's state.
  CRect client;
  ::GetClientRect(frame, &client);
  ASSERT_TRUE(testenv::PumpUntil([&] {
    CRect rc;
    ::GetClientRect(limit, &rc);
    return rc.Width() == client.Width() - kCell;
  }, 2000));
  CRect bar;
  ::GetWindowRect(VBar(), &bar);
  ::MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&bar), 2);
  EXPECT_EQ(CRect(client.right - kCell, 0, client.right, client.bottom), bar);
  EXPECT_EQ(4999, InfoOf(VBar(), SB_CTL).nMax);
  EXPECT_EQ(InfoOf(list, SB_VERT).nPage, InfoOf(VBar(), SB_CTL).nPage);

  const POINT thumb = PointOn(VBar(), CSkinScrollBar::kThumb);
  Mouse(VBar(), WM_LBUTTONDOWN, thumb.x, thumb.y);
  Mouse(VBar(), WM_MOUSEMOVE, thumb.x, thumb.y + 1000);
  Mouse(VBar(), WM_LBUTTONUP, thumb.x, thumb.y + 1000);
  RECT last{}, shown{};
  ::SendMessageW(list, LB_GETITEMRECT, 4999, reinterpret_cast<LPARAM>(&last));
  ::GetClientRect(list, &shown);
  EXPECT_GE(last.top, 0);
  EXPECT_LE(last.bottom, shown.bottom);
  EXPECT_EQ(InfoOf(list, SB_VERT).nPos, InfoOf(VBar(), SB_CTL).nPos);

  EXPECT_EQ(1, UnskinWndScroll(list));
  EXPECT_FALSE(::IsWindow(frame));
  EXPECT_EQ(list, Frame());
  EXPECT_EQ(ownProc, reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(list, GWLP_WNDPROC)));
  CRect placed;
  ::GetWindowRect(list, &placed);
  ::MapWindowPoints(nullptr, host_.View(), reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_EQ(CRect(10, 10, 210, 160), placed);
  EXPECT_EQ(1, UnskinWndScroll(list));
}

TEST_F(SkinScrollTest, LinePageTopAndBottomActionsMoveListAndThumbTogether) {
  HWND list = MakeList(5000);
  const int page = static_cast<int>(InfoOf(list, SB_VERT).nPage);
  ASSERT_GT(page, 1);
  const struct {
    const char* name;
    int part;  // clicked on the bar, or -1: the code is sent to the frame
    int code;
    int top;
  } steps[] = {{"line down", CSkinScrollBar::kLineDown, 0, 1},
               {"line up", CSkinScrollBar::kLineUp, 0, 0},
               {"page down", CSkinScrollBar::kPageDown, 0, page},
               {"bottom", -1, SB_BOTTOM, 5000 - page},
               {"page up", CSkinScrollBar::kPageUp, 0, 5000 - 2 * page},
               {"top", -1, SB_TOP, 0}};
  for (const auto& s : steps) {
    SCOPED_TRACE(s.name);
    if (s.part >= 0)
      Click(VBar(), s.part);
    else
      ::SendMessageW(Frame(), WM_VSCROLL, s.code, 0);
    EXPECT_EQ(s.top, TopIndex(list));
    EXPECT_EQ(s.top, InfoOf(VBar(), SB_CTL).nPos);
  }
}

TEST_F(SkinScrollTest, AutoRepeatRunsWhileHeldAndEndsOnReleaseOrLostCapture) {
  HWND list = MakeList(5000);
  for (bool loseCapture : {true, false}) {
    SCOPED_TRACE(loseCapture ? "capture lost" : "released");
    ::SendMessageW(list, LB_SETTOPINDEX, 0, 0);
    const POINT down = PointOn(VBar(), CSkinScrollBar::kLineDown);
    Mouse(VBar(), WM_LBUTTONDOWN, down.x, down.y);
    EXPECT_EQ(1, TopIndex(list));
    ASSERT_TRUE(testenv::PumpUntil([&] { return TopIndex(list) >= 3; }, 3000));
    if (loseCapture) {
      ::SetCapture(host_.Dialog());
      ::ReleaseCapture();
    } else {
      Mouse(VBar(), WM_LBUTTONUP, down.x, down.y);
    }
    EXPECT_FALSE(::KillTimer(VBar(), 100));
    EXPECT_FALSE(::KillTimer(VBar(), 200));
  }
}

TEST_F(SkinScrollTest, RangeChangesOfTheListReachTheBar) {
  HWND list = MakeList(50, LBS_DISABLENOSCROLL);
  ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  for (int i = 0; i < 1000; ++i) ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"more"));
  ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  EXPECT_TRUE(testenv::PumpUntil([&] { return InfoOf(VBar(), SB_CTL).nMax == 1049; }, 3000));
  EXPECT_TRUE(::IsWindowEnabled(VBar()));
  // A page that covers what is left disables the bar.
  ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
  ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"one"));
  EXPECT_TRUE(testenv::PumpUntil([&] { return !::IsWindowEnabled(VBar()); }, 3000));
}

TEST_F(SkinScrollTest, DestroyingTheDialogOrTheTargetDestroysEachWindowOnce) {
  g_destroyed.clear();
  HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, CountDestroys, nullptr, ::GetCurrentThreadId());
  ASSERT_NE(nullptr, hook);
  for (int i = 0; i < 100; ++i) {
    ReflectingHost host;
    HWND list = MakeList(40, WS_BORDER, host.View());
    HWND frame = ::GetDlgItem(host.View(), kTargetId);
    ASSERT_NE(list, frame);
    if (i % 2) {
      ::DestroyWindow(list);
      EXPECT_FALSE(::IsWindow(frame));
      EXPECT_EQ(nullptr, ::GetDlgItem(host.View(), kTargetId));
    }
    host.Destroy();
    EXPECT_FALSE(::IsWindow(list));
    testenv::PumpFor(0);
  }
  ::UnhookWindowsHookEx(hook);
  EXPECT_GT(g_destroyed.size(), 500u);
  for (const auto& w : g_destroyed) EXPECT_EQ(1, w.second) << w.first;
}

// Thumb drags report positions beyond 16 bits through the bar, and what the target
// sends its parent still reaches the host, which reflects it back.
TEST_F(SkinScrollTest, ThumbDragCarries32BitPositionsAndNotificationsReachTheHost) {
  BigTarget target;
  target.Create(host_.View(), CRect(0, 0, 150, 200), nullptr, WS_CHILD | WS_VISIBLE | WS_VSCROLL, 0, kTargetId);
  SCROLLINFO si{sizeof si, SIF_ALL, 0, 199999, 100, 0, 0};
  ::SetScrollInfo(target, SB_VERT, &si, TRUE);
  SkinWndScroll(target, CUIResource::GetSkinBitmap(), kSkinId);
  const POINT thumb = PointOn(VBar(), CSkinScrollBar::kThumb);
  Mouse(VBar(), WM_LBUTTONDOWN, thumb.x, thumb.y);
  Mouse(VBar(), WM_MOUSEMOVE, thumb.x, thumb.y + 500);
  Mouse(VBar(), WM_LBUTTONUP, thumb.x, thumb.y + 500);
  ASSERT_FALSE(target.positions.empty());
  EXPECT_EQ(199900, target.positions.back());
  EXPECT_EQ(199900, InfoOf(VBar(), SB_CTL).nPos);
  EXPECT_EQ(static_cast<int>(target.positions.size()), target.reflected);
}

TEST_F(SkinScrollTest, HitTestFindsArrowsThumbAndTrack) {
  const struct {
    int length, min, max, page, pos, x, y, part;
  } cases[] = {
      // 200 long: track 174, thumb 17, free 157
      {200, 0, 99, 10, 0, 6, 0, 0}, {200, 0, 99, 10, 0, 6, 12, 0}, {200, 0, 99, 10, 0, 6, 13, 5},
      {200, 0, 99, 10, 0, 6, 29, 5}, {200, 0, 99, 10, 0, 6, 30, 3}, {200, 0, 99, 10, 0, 6, 187, 1},
      {200, 0, 99, 10, 0, 6, 199, 1}, {200, 0, 99, 10, 0, 6, 200, -1}, {200, 0, 99, 10, 0, 6, -1, -1},
      {200, 0, 99, 10, 0, 13, 50, -1}, {200, 0, 99, 10, 45, 6, 50, 2}, {200, 0, 99, 10, 45, 6, 91, 5},
      {200, 0, 99, 10, 45, 6, 108, 3}, {200, 0, 99, 10, 90, 6, 186, 5}, {200, 0, 99, 10, 90, 6, 169, 2},
      // the page covers the range, or there is no range: no thumb
      {200, 0, 9, 10, 0, 6, 99, 2}, {200, 0, 9, 10, 0, 6, 100, 3}, {200, 0, -1, 0, 0, 6, 100, 3},
      // a track under 6 pixels has no thumb; a bar under two cells is two arrows
      {30, 0, 99, 10, 0, 6, 14, 3}, {30, 0, 99, 10, 0, 6, 17, 1}, {20, 0, 99, 10, 0, 6, 9, 0},
      {20, 0, 99, 10, 0, 6, 10, 1},
      // a huge range keeps the 6-pixel thumb in the middle
      {200, 0, 2000000000, 100, 1000000000, 6, 100, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.length << " " << c.max << " " << c.pos << " y " << c.y);
    CSkinScrollBar bar;
    StandaloneBar(bar, SBS_VERT, c.length);
    SetInfo(bar, c.min, c.max, c.page, c.pos);
    EXPECT_EQ(c.part, bar.HitTest(POINT{c.x, c.y}));
    bar.DestroyWindow();
  }
}

TEST_F(SkinScrollTest, PaintsEachPartFromItsCellInItsState) {
  DibCanvas skin(9 * kCell, 3 * kCell);
  {
    CBitmapDC bitmap(CUIResource::GetSkinBitmap());
    ::BitBlt(skin.Dc(), 0, 0, 9 * kCell, 3 * kCell, bitmap, 0, 0, SRCCOPY);
  }
  // 100 long, range 0..99, page 50: thumb [13, 50) with caps [13, 16) and [47, 50).
  const struct {
    const char* name;
    DWORD axis;
    UINT msg;  // put the bar in its state at (6, at)
    int at;
    int along;  // probe along the bar, 6 across
    int column, row, cellAlong;
  } cases[] = {
      {"up arrow", SBS_VERT, 0, 0, 6, 0, 0, 6},
      {"down arrow", SBS_VERT, 0, 0, 93, 1, 0, 6},
      {"thumb cap", SBS_VERT, 0, 0, 14, 2, 0, 1},
      {"thumb middle", SBS_VERT, 0, 0, 30, 2, 0, 3},
      {"thumb tail", SBS_VERT, 0, 0, 48, 2, 0, 11},
      {"track", SBS_VERT, 0, 0, 60, 3, 0, 10},
      {"hovered down arrow", SBS_VERT, WM_MOUSEMOVE, 93, 93, 1, 1, 6},
      {"hovered thumb", SBS_VERT, WM_MOUSEMOVE, 20, 14, 2, 1, 1},
      {"pressed up arrow", SBS_VERT, WM_LBUTTONDOWN, 6, 6, 0, 2, 6},
      {"dragged thumb", SBS_VERT, WM_LBUTTONDOWN, 20, 14, 2, 2, 1},
      {"left arrow", SBS_HORZ, 0, 0, 6, 4, 0, 6},
      {"horizontal thumb", SBS_HORZ, 0, 0, 30, 6, 0, 3},
      {"pressed right arrow", SBS_HORZ, WM_LBUTTONDOWN, 93, 93, 5, 2, 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CSkinScrollBar bar;
    StandaloneBar(bar, c.axis, 100);
    SetInfo(bar, 0, 99, 50, 0);
    const bool vertical = c.axis == SBS_VERT;
    if (c.msg) Mouse(bar, c.msg, vertical ? 6 : c.at, vertical ? c.at : 6);
    DibCanvas canvas(100, 100, RGB(1, 2, 3));
    ::SendMessageW(bar, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    const COLORREF cell = vertical ? skin.At(c.column * kCell + 6, c.row * kCell + c.cellAlong)
                                   : skin.At(c.column * kCell + c.cellAlong, c.row * kCell + 6);
    EXPECT_EQ(cell, vertical ? canvas.At(6, c.along) : canvas.At(c.along, 6));
    if (c.msg == WM_LBUTTONDOWN) Mouse(bar, WM_LBUTTONUP, -1, -1);
    bar.DestroyWindow();
  }
  // With the page covering the range there is no thumb: the track runs through.
  CSkinScrollBar bar;
  StandaloneBar(bar, SBS_VERT, 100);
  SetInfo(bar, 0, 9, 10, 0);
  DibCanvas canvas(100, 100);
  ::SendMessageW(bar, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
  EXPECT_EQ(skin.At(3 * kCell + 6, 1), canvas.At(6, 14));
}
