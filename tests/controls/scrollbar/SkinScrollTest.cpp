// Skinned scroll bars over real targets in a host window that reflects like the view.
#include <windows.h>

#include <map>

#include <gtest/gtest.h>

#include "controls/CListBoxEx.h"
#include "controls/CSkinScrollWnd.h"
#include "controls/CUIResource.h"
#include "platform/CBitmapDC.h"
#include "support/DibCanvas.h"
#include "support/PaintedThumb.h"
#include "support/ReflectingHost.h"
#include "support/TestEnv.h"

namespace {

const UINT kTargetId = 500, kSkinId = 2000, kPress = WM_LBUTTONDOWN, kHover = WM_MOUSEMOVE;
const int kCell = 13;
enum { kUp = CSkinScrollBar::kLineUp, kDown = CSkinScrollBar::kLineDown, kPageUp = CSkinScrollBar::kPageUp,
       kPageDown = CSkinScrollBar::kPageDown, kThumb = CSkinScrollBar::kThumb };

CSkinScrollBar* BarOf(HWND bar) { return static_cast<CSkinScrollBar*>(CWindowImplCore::FromHandle(bar)); }

SCROLLINFO InfoOf(HWND wnd, int axis) {
  SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
  ::GetScrollInfo(wnd, axis, &si);
  return si;
}

void Mouse(HWND bar, UINT msg, POINT pt) { ::SendMessageW(bar, msg, MK_LBUTTON, MAKELPARAM(pt.x, pt.y)); }

// A point on the part, found by walking along the bar.
POINT PointOn(HWND bar, int part) {
  for (int along = 0; along < 2000; ++along) {
    const POINT pt = BarOf(bar)->IsVertical() ? POINT{6, along} : POINT{along, 6};
    if (BarOf(bar)->HitTest(pt) == part) return pt;
  }
  return POINT{-1, -1};
}

void DragThumb(HWND bar, int by) {
  const POINT from = PointOn(bar, kThumb), to = {from.x, from.y + by};
  for (UINT msg : {kPress, kHover, UINT{WM_LBUTTONUP}}) Mouse(bar, msg, msg == kPress ? from : to);
}

int TopIndex(HWND list) { return static_cast<int>(::SendMessageW(list, LB_GETTOPINDEX, 0, 0)); }

std::map<HWND, int> g_destroyed;  // WM_DESTROY deliveries per window
LRESULT CALLBACK CountDestroys(int code, WPARAM wParam, LPARAM lParam) {
  const CWPSTRUCT* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && m->message == WM_DESTROY) ++g_destroyed[m->hwnd];
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// Scrolls to the thumb positions it reads from the bar named in the message, and
// tells its parent of every scroll; counts the notices reflected back to it.
class BigTarget : public CWindowImpl<BigTarget> {
 public:
  int scrolls = 0, reflected = 0;
  BEGIN_MSG_MAP(BigTarget)
    MESSAGE_HANDLER(WM_VSCROLL, OnVScroll)
    MESSAGE_HANDLER(OCM_NOTIFY, OnReflected)
  END_MSG_MAP()
  LRESULT OnVScroll(UINT, WPARAM, LPARAM lParam, BOOL&) {
    ::SetScrollPos(m_hWnd, SB_VERT, InfoOf(reinterpret_cast<HWND>(lParam), SB_CTL).nTrackPos, TRUE);
    NMHDR nm{m_hWnd, kTargetId, 1};
    ::SendMessageW(GetParent(), WM_NOTIFY, kTargetId, reinterpret_cast<LPARAM>(&nm));
    return ++scrolls;
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
    HWND list = ::CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | style,
                                  10, 10, 200, 150, view ? view : host_.View(), reinterpret_cast<HMENU>(kTargetId),
                                  nullptr, nullptr);
    AddLines(list, lines);
    SkinWndScroll(list, CUIResource::GetSkinBitmap(), kSkinId);
    return list;
  }
  static void AddLines(HWND list, int lines) {
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);  // Wine's list box repaints on every line
    for (int i = 0; i < lines; ++i) ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"line"));
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  }
  HWND Frame() const { return ::GetDlgItem(host_.View(), kTargetId); }
  HWND VBar() const { return ::GetDlgItem(Frame(), kSkinId + 2); }
  void Loose(CSkinScrollBar& bar, DWORD axis, int length, int max, UINT page, int pos) {
    bar.Create(host_.View(), axis == SBS_VERT ? RECT{0, 0, kCell, length} : RECT{0, 0, length, kCell}, nullptr,
               WS_CHILD | WS_VISIBLE | axis);
    bar.SetBitmap(CUIResource::GetSkinBitmap());
    SCROLLINFO si{sizeof si, SIF_ALL, 0, max, page, pos, 0};
    bar.SendMessage(SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&si));
  }
  ReflectingHost host_;
};

}  // namespace

TEST_F(SkinScrollTest, FrameTakesTheListsPlaceAndMovesListAndThumbTogether) {
  HWND list = MakeList(5000, WS_BORDER);
  const WNDPROC ownProc = reinterpret_cast<WNDPROC>(::GetClassLongPtrW(list, GCLP_WNDPROC));
  HWND frame = Frame(), limit = ::GetParent(list);
  EXPECT_EQ(frame, ::FindWindowExW(host_.View(), nullptr, L"SkinScrollBarFrame", L"SkinScrollBarFrame"));
  EXPECT_EQ(static_cast<int>(kSkinId), ::GetDlgCtrlID(limit));
  EXPECT_TRUE((::GetWindowLongW(frame, GWL_STYLE) & WS_BORDER) && !(::GetWindowLongW(list, GWL_STYLE) & WS_BORDER));
  EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(frame, kSkinId + 1)));
  // The clipping child leaves the bar's width to the bar.
  RECT client, rc;
  ::GetClientRect(frame, &client);
  ASSERT_TRUE(testenv::PumpUntil([&] { return ::GetClientRect(limit, &rc) && rc.right == client.right - kCell; }, 2000));
  ::GetWindowRect(VBar(), &rc);
  ::MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&rc), 2);
  EXPECT_TRUE(rc.left == client.right - kCell && rc.right == client.right && rc.bottom == client.bottom);

  const int page = static_cast<int>(InfoOf(list, SB_VERT).nPage);
  // part: clicked on the bar; or -1: the code goes to the frame, or -2: thumb to the end
  const struct { const char* name; int part, code, top; } steps[] = {
      {"line down", kDown, 0, 1}, {"line up", kUp, 0, 0}, {"page down", kPageDown, 0, page},
      {"bottom", -1, SB_BOTTOM, 5000 - page}, {"page up", kPageUp, 0, 5000 - 2 * page}, {"top", -1, SB_TOP, 0},
      {"thumb to the end", -2, 0, 5000 - page}};
  for (const auto& s : steps) {
    SCOPED_TRACE(s.name);
    if (s.part >= 0) {
      Mouse(VBar(), WM_LBUTTONDOWN, PointOn(VBar(), s.part));
      Mouse(VBar(), WM_LBUTTONUP, PointOn(VBar(), s.part));
    } else if (s.part == -1) {
      ::SendMessageW(frame, WM_VSCROLL, s.code, 0);
    } else {
      DragThumb(VBar(), 1000);
    }
    EXPECT_EQ(s.top, TopIndex(list));
    EXPECT_EQ(s.top, InfoOf(VBar(), SB_CTL).nPos);
    EXPECT_FALSE(::KillTimer(VBar(), 200));  // the release ended any repeat
  }
  // Held, the down arrow repeats (the first after 500 ms, then every 100 ms) until the
  // capture goes elsewhere. The timers are driven here: tests beside may take the capture.
  ::SendMessageW(frame, WM_VSCROLL, SB_TOP, 0);
  Mouse(VBar(), WM_LBUTTONDOWN, PointOn(VBar(), kDown));
  for (WPARAM timer : {200, 100}) ::SendMessageW(VBar(), WM_TIMER, timer, 0);
  EXPECT_EQ(3, TopIndex(list));
  ::SetCapture(host_.View());
  EXPECT_FALSE(::KillTimer(VBar(), 100) || ::KillTimer(VBar(), 200));
  ::ReleaseCapture();
  AddLines(list, 1000);  // the new range reaches the bar by itself
  EXPECT_TRUE(testenv::PumpUntil([&] { return InfoOf(VBar(), SB_CTL).nMax == 5999; }, 3000));

  EXPECT_EQ(1, UnskinWndScroll(list));
  EXPECT_TRUE(!::IsWindow(frame) && Frame() == list);
  EXPECT_EQ(ownProc, reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(list, GWLP_WNDPROC)));
  ::GetWindowRect(list, &rc);
  ::MapWindowPoints(nullptr, host_.View(), reinterpret_cast<POINT*>(&rc), 2);
  EXPECT_TRUE(rc.left == 10 && rc.top == 10 && rc.right == 210 && rc.bottom == 160);
}

TEST_F(SkinScrollTest, DestroyingTheDialogOrTheTargetDestroysEachWindowOnce) {
  g_destroyed.clear();
  HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, CountDestroys, nullptr, ::GetCurrentThreadId());
  for (int i = 0; i < 100; ++i) {
    ReflectingHost host;
    HWND list = MakeList(40, WS_BORDER, host.View());
    HWND frame = ::GetDlgItem(host.View(), kTargetId);
    EXPECT_TRUE(i % 2 == 0 || (::DestroyWindow(list) && !::IsWindow(frame)));  // odd rounds: the list goes first
    host.Destroy();
    testenv::PumpFor(0);
  }
  ::UnhookWindowsHookEx(hook);
  EXPECT_GT(g_destroyed.size(), 500u);
  for (const auto& w : g_destroyed) EXPECT_EQ(1, w.second) << w.first;
}

// Thumb positions beyond 16 bits come from the bar, and what the target sends its
// parent reaches the host, which reflects it back.
TEST_F(SkinScrollTest, ThumbDragCarries32BitPositionsAndNotificationsReachTheHost) {
  BigTarget target;
  target.Create(host_.View(), RECT{0, 0, 150, 200}, nullptr, WS_CHILD | WS_VISIBLE | WS_VSCROLL, 0, kTargetId);
  SCROLLINFO si{sizeof si, SIF_ALL, 0, 199999, 100, 0, 0};
  ::SetScrollInfo(target, SB_VERT, &si, TRUE);
  SkinWndScroll(target, CUIResource::GetSkinBitmap(), kSkinId);
  DragThumb(VBar(), 500);
  EXPECT_TRUE(InfoOf(target, SB_VERT).nPos == 199900 && InfoOf(VBar(), SB_CTL).nPos == 199900);
  EXPECT_EQ(target.scrolls, target.reflected);
  si.nPage = 200000;  // the page now covers the range; the target keeps its bar
  si.fMask |= SIF_DISABLENOSCROLL;
  ::SetScrollInfo(target, SB_VERT, &si, TRUE);
  EXPECT_TRUE(testenv::PumpUntil([&] { return !::IsWindowEnabled(VBar()); }, 3000));
  target.DestroyWindow();
}

TEST_F(SkinScrollTest, HitTestFindsArrowsThumbAndTrack) {
  const struct { int length, max, page, pos, x, y, part; } cases[] = {
      // 200 long, range 100, page 10: arrows of 13, thumb of 17, 157 to move in
      {200, 99, 10, 0, 6, 12, kUp}, {200, 99, 10, 0, 6, 13, kThumb}, {200, 99, 10, 0, 6, 30, kPageDown},
      {200, 99, 10, 0, 6, 187, kDown}, {200, 99, 10, 0, 6, -1, -1}, {200, 99, 10, 0, 13, 50, -1},
      {200, 99, 10, 45, 6, 90, kPageUp}, {200, 99, 10, 45, 6, 91, kThumb}, {200, 99, 10, 90, 6, 186, kThumb},
      // no thumb when the page covers the range or the range is empty, nor on a track
      // under 6 pixels; a bar under two cells is two arrows; a huge range keeps its thumb
      {200, 9, 10, 0, 6, 99, kPageUp}, {200, 9, 10, 0, 6, 100, kPageDown}, {200, -1, 0, 0, 6, 100, kPageDown},
      {30, 99, 10, 0, 6, 14, kPageDown}, {20, 99, 10, 0, 6, 9, kUp}, {20, 99, 10, 0, 6, 10, kDown},
      {200, 2000000000, 100, 1000000000, 6, 100, kThumb}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.length << " " << c.max << " " << c.pos << " y " << c.y);
    CSkinScrollBar bar;
    Loose(bar, SBS_VERT, c.length, c.max, c.page, c.pos);
    EXPECT_EQ(c.part, bar.HitTest(POINT{c.x, c.y}));
    bar.DestroyWindow();
  }
}

TEST_F(SkinScrollTest, PaintsEachPartFromItsCellInItsState) {
  DibCanvas skin(9 * kCell, 3 * kCell);
  ::BitBlt(skin.Dc(), 0, 0, 9 * kCell, 3 * kCell, CBitmapDC(CUIResource::GetSkinBitmap()), 0, 0, SRCCOPY);
  // 100 long, range 100, page 50 (or 10 for "no thumb"): thumb [13, 50), caps of 3
  // msg puts the bar in its state at `at`; the pixel at `probe` comes from the cell
  const struct { const char* name; DWORD axis; UINT page, msg; int at, probe, column, row, cellAlong; } cases[] = {
      {"up arrow", SBS_VERT, 50, 0, 0, 6, 0, 0, 6}, {"thumb cap", SBS_VERT, 50, 0, 0, 14, 2, 0, 1},
      {"thumb middle", SBS_VERT, 50, 0, 0, 30, 2, 0, 3}, {"track", SBS_VERT, 50, 0, 0, 60, 3, 0, 10},
      {"no thumb", SBS_VERT, 100, 0, 0, 14, 3, 0, 1}, {"horizontal thumb", SBS_HORZ, 50, 0, 0, 30, 6, 0, 3},
      {"hovered", SBS_VERT, 50, kHover, 93, 93, 1, 1, 6}, {"pressed", SBS_VERT, 50, kPress, 6, 6, 0, 2, 6},
      {"dragged", SBS_VERT, 50, kPress, 20, 14, 2, 2, 1}, {"pressed right", SBS_HORZ, 50, kPress, 93, 93, 5, 2, 6}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const bool vertical = c.axis == SBS_VERT;
    auto along = [vertical](int a, int b) { return vertical ? POINT{b, a} : POINT{a, b}; };
    CSkinScrollBar bar;
    Loose(bar, c.axis, 100, 99, c.page, 0);
    if (c.msg) Mouse(bar, c.msg, along(c.at, 6));
    DibCanvas canvas(100, 100);
    ::SendMessageW(bar, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    const POINT cell = vertical ? POINT{c.column * kCell + 6, c.row * kCell + c.cellAlong}
                                : POINT{c.column * kCell + c.cellAlong, c.row * kCell + 6};
    const POINT at = along(c.probe, 6);
    EXPECT_EQ(skin.At(cell.x, cell.y), canvas.At(at.x, at.y));
    bar.DestroyWindow();
  }
}

// A list of more lines than 16 bits hold: its thumb, dragged where it is painted, shows
// the lines of its place while it moves, and at the bottom of the bar the last lines,
// with the thumb painted there.
TEST_F(SkinScrollTest, ListThumbPastSixteenBitsOfLinesShowsTheLinesOfItsPlace) {
  const int kLines = 70000;
  const HBITMAP skin = CUIResource::GetSkinBitmap();
  CListBoxEx list(skin, kSkinId);
  ASSERT_TRUE(list.Create(host_.View(), RECT{10, 10, 210, 160}, nullptr,
                          WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 0, kTargetId));
  AddLines(list, kLines);
  ASSERT_TRUE(testenv::PumpUntil([&] { return InfoOf(VBar(), SB_CTL).nMax == kLines - 1; }, 3000));
  const int page = static_cast<int>(InfoOf(VBar(), SB_CTL).nPage);
  RECT bar{};
  ::GetClientRect(VBar(), &bar);
  const std::pair<int, int> thumb = qvtest::PaintedThumb(VBar(), skin);
  ASSERT_EQ(kCell, thumb.first);
  Mouse(VBar(), WM_LBUTTONDOWN, POINT{kCell / 2, (thumb.first + thumb.second) / 2});
  Mouse(VBar(), WM_MOUSEMOVE, POINT{kCell / 2, bar.bottom * 3 / 4});
  const int moving = TopIndex(list);
  EXPECT_GT(moving, 32767);
  EXPECT_EQ(InfoOf(VBar(), SB_CTL).nTrackPos, moving);
  Mouse(VBar(), WM_LBUTTONUP, POINT{kCell / 2, bar.bottom * 3 / 4});
  EXPECT_EQ(moving, TopIndex(list));

  ASSERT_TRUE(qvtest::DragPaintedThumb(VBar(), skin, bar.bottom + 40));
  EXPECT_EQ(kLines - page, TopIndex(list));
  EXPECT_EQ(bar.bottom - kCell, qvtest::PaintedThumb(VBar(), skin).second);
  list.DestroyWindow();
}
