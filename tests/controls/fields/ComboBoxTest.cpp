// The skinned combo box: its face in each button state, its items and a long item.
#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>

#include "ControlHost.h"
#include "controls/CComboBoxCtrlEx.h"
#include "controls/CSkinScrollWnd.h"
#include "support/DibCanvas.h"
#include "support/PaintedThumb.h"
#include "support/TestEnv.h"

namespace {

const COLORREF kCream = RGB(0xF2, 0xF0, 0xD4);

// The pixels in [x0, x1) x [y0, y1) for which is holds.
int Count(const std::function<bool(int, int)>& is, int x0, int x1, int y0, int y1) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += is(x, y);
  return n;
}

class ComboBox : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    ASSERT_NE(nullptr, combo_.Create(host_, RECT{10, 10, 250, 200}, nullptr,
                                     CComboBoxCtrlEx::kPageStyle | WS_VISIBLE, 0, 55));
    combo_.GetClientRect(&rc_);
    for (const wchar_t* text : {L"全部", L"文件", L"注册表"}) combo_.AddString(text);
  }
  // The face's text place, as the window shows it.
  int FaceInk(int x0, int x1) {
    return Count([&](int x, int y) { return Shown(combo_, x, y) != kCream; }, x0, x1, 3, rc_.bottom - 1);
  }
  // The button cell shown: 0 normal, 1 hovered, 2 pressed.
  int Cell() { return ShownCell(combo_, rc_.right - 16, 4, CComboBoxCtrlEx::kDefaultButtonBitmap, 3, 3); }

  CComboBoxCtrlEx combo_;
  CRect rc_;
};

// A box of a site's devices is emptied before it goes without a word to its host per
// entry (an owner-drawn box tells of each one it deletes), and takes entries again.
int g_hostHeardDeletes = 0;
HWND g_listeningHost = nullptr;
LRESULT CALLBACK CountHostDeletes(int code, WPARAM wParam, LPARAM lParam) {
  const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && sent->message == WM_DELETEITEM && sent->hwnd == g_listeningHost) ++g_hostHeardDeletes;
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(ComboBox, EmptiedUnheardItsHostHearsOfNoEntry) {
  for (int i = 0; i < 500; ++i) combo_.AddString(L"设备");
  g_hostHeardDeletes = 0;
  g_listeningHost = host_;
  HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, &CountHostDeletes, nullptr, ::GetCurrentThreadId());
  combo_.ResetContentUnheard();
  ::UnhookWindowsHookEx(hook);
  EXPECT_EQ(0, combo_.GetCount());
  EXPECT_EQ(0, g_hostHeardDeletes);
  combo_.AddString(L"全部");
  combo_.SetCurSel(0);
  EXPECT_EQ(1, combo_.GetCount());
  EXPECT_LT(0, FaceInk(1, rc_.right - 19));
}

TEST_F(ComboBox, FaceShowsFrameFillSelectionAndTheButtonLookOfTheMoment) {
  EXPECT_EQ(RGB(0, 0, 0), Shown(combo_, 0, 0));
  EXPECT_EQ(kCream, Shown(combo_, 2, 2));
  EXPECT_EQ(0, FaceInk(1, rc_.right - 19)) << "no selection, no text";
  combo_.SetCurSel(2);
  EXPECT_LT(0, FaceInk(1, rc_.right - 19));
  const struct { const char* what; UINT msg; int x, cell; } steps[] = {
      {"press left of the button", WM_LBUTTONDOWN, 10, 0},
      {"release", WM_LBUTTONUP, 10, 0},
      {"hover the button strip", WM_MOUSEMOVE, rc_.right - 30, 1},
      {"leave", WM_MOUSELEAVE, 0, 0},
      {"press the button", WM_LBUTTONDOWN, rc_.right - 5, 2},
      {"release", WM_LBUTTONUP, rc_.right - 5, 0},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.what);
    ::SendMessageW(combo_, step.msg, step.msg == WM_LBUTTONDOWN, MAKELPARAM(step.x, 5));
    EXPECT_EQ(step.cell, Cell());
    if (step.msg == WM_LBUTTONUP) combo_.SendMessage(CB_SHOWDROPDOWN, FALSE);
  }
}

// Disabled (as the filter editor's modify mode leaves its combos), the face shows its
// text grey and its button in greys, as the disabled fields beside it; enabled again,
// black text and the normal cell.
TEST_F(ComboBox, ADisabledFaceIsGreyedAndEnablingBringsTheNormalLookBack) {
  combo_.SetCurSel(2);
  const COLORREF grey = ::GetSysColor(COLOR_GRAYTEXT);
  auto ink = [&](COLORREF colour) {
    return Count([&](int x, int y) { return Shown(combo_, x, y) == colour; }, 1, rc_.right - 19, 3, rc_.bottom - 1);
  };
  for (bool enabled : {false, true}) {
    SCOPED_TRACE(enabled);
    combo_.EnableWindow(enabled);
    EXPECT_EQ(enabled, ink(RGB(0, 0, 0)) > 0);
    EXPECT_EQ(!enabled, ink(grey) > 0);
    EXPECT_EQ(enabled ? 0 : -1, Cell());
    const COLORREF arrow = Shown(combo_, rc_.right - 11, rc_.Height() / 2);
    EXPECT_EQ(!enabled, GetRValue(arrow) == GetGValue(arrow) && GetGValue(arrow) == GetBValue(arrow));
  }
}

// Selected items on orange, others on cream. A 300-character item is read whole and cut
// at its end, so its start stays in view: both halves of its place show the wide
// letters of its first half, not the dots of its second. The face draws it the same way.
TEST_F(ComboBox, ItemsInTheirColoursAndALongItemFromItsStart) {
  const int longItem = combo_.AddString((std::wstring(150, L'W') + std::wstring(150, L'.')).c_str());
  const int w = rc_.Width();
  DibCanvas canvas(w, 16);
  auto text = [&](int x, int y) { return canvas.At(x, y) != canvas.At(0, 0); };
  for (UINT state : {0u, static_cast<UINT>(ODS_SELECTED)}) {
    DRAWITEMSTRUCT item{ODT_COMBOBOX, 55, static_cast<UINT>(longItem), ODA_DRAWENTIRE, state, combo_,
                        canvas.Dc(), {0, 0, w, 16}, 0};
    combo_.DrawItem(&item);
    EXPECT_EQ(state ? RGB(0xFF, 0x8C, 0x00) : kCream, canvas.At(0, 0));
    EXPECT_LT(Count(text, 0, w / 2, 0, 16) / 2, Count(text, w / 2, w - 20, 0, 16)) << state;
  }
}

// A device named with "&" shows it, in the list and on the face, not as a mnemonic that
// hides it and underlines the next letter: "a&b" is painted wider than "ab".
TEST_F(ComboBox, AnAmpersandInAnItemIsShownAsItIs) {
  const int amp = combo_.AddString(L"a&b"), bare = combo_.AddString(L"ab");
  const int w = rc_.Width();
  // The columns from the leftmost to the rightmost painted one.
  auto span = [](const std::function<bool(int, int)>& painted, int x0, int x1, int y0, int y1) {
    int left = x1, right = x0 - 1;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x)
        if (painted(x, y)) left = std::min(left, x), right = std::max(right, x);
    return right - left + 1;
  };
  auto listed = [&](int index) {
    DibCanvas canvas(w, 16);
    DRAWITEMSTRUCT item{ODT_COMBOBOX, 55, static_cast<UINT>(index), ODA_DRAWENTIRE, 0, combo_,
                        canvas.Dc(), {0, 0, w, 16}, 0};
    combo_.DrawItem(&item);
    return span([&](int x, int y) { return canvas.At(x, y) != canvas.At(0, 0); }, 0, w, 0, 16);
  };
  EXPECT_GE(listed(amp) - listed(bare), 4);
  auto face = [&](int index) {
    combo_.SetCurSel(index);
    combo_.Invalidate(FALSE);
    return span([&](int x, int y) { return Shown(combo_, x, y) != kCream; }, 1, rc_.right - 19, 3, rc_.bottom - 1);
  };
  EXPECT_GE(face(amp) - face(bare), 4);
}

// Through a window that hands the combo's messages to its map 1, the open list gets
// skinned scroll bars; their frame lies below the box while the list is open, as high
// as the items need up to six dropped-rectangle heights, and is hidden when it closes.
TEST_F(ComboBox, OpenListWearsTheSkinnedScrollFrameBelowTheBox) {
  host_.forward = &combo_;
  combo_.SetScrollSkin(UiBmpPool::GetBitmap(124), 3000);
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(::GetComboBoxInfo(combo_, &info));
  CSkinScrollWnd* frame = CSkinScrollWnd::FromTarget(info.hwndList);
  ASSERT_NE(nullptr, frame);
  EXPECT_FALSE(::IsWindowVisible(*frame));
  CRect box, dropped;
  combo_.GetWindowRect(&box);
  combo_.SendMessage(CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
  const int itemHeight = static_cast<int>(combo_.SendMessage(CB_GETITEMHEIGHT, 0));
  const struct { int items, height; } rows[] = {
      {3, 3 * itemHeight + 2},
      {400, 6 * dropped.Height() - 2},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.items);
    while (combo_.GetCount() < row.items) combo_.AddString(L"项");
    combo_.ShowDropDown(TRUE);
    CRect placed;
    ::GetWindowRect(*frame, &placed);
    EXPECT_TRUE(::IsWindowVisible(*frame));
    EXPECT_EQ(CRect(box.left, box.bottom, box.left + dropped.Width(), box.bottom + row.height), placed);
    combo_.ShowDropDown(FALSE);
    EXPECT_FALSE(::IsWindowVisible(*frame));
  }
  EXPECT_EQ(frame, CSkinScrollWnd::FromTarget(info.hwndList)) << "skinned once";
}

// An open list of more items than 16 bits hold: its thumb dragged, where it is painted,
// to the bottom of the bar shows the last items.
TEST_F(ComboBox, OpenListThumbPastSixteenBitsOfItemsShowsTheLastItems) {
  host_.forward = &combo_;
  const HBITMAP skin = UiBmpPool::GetBitmap(124);
  combo_.SetScrollSkin(skin, 3000);
  const int kItems = 70000;
  combo_.SendMessage(WM_SETREDRAW, FALSE);
  while (combo_.GetCount() < kItems) combo_.AddString(L"项");
  combo_.SendMessage(WM_SETREDRAW, TRUE);
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(::GetComboBoxInfo(combo_, &info));
  CSkinScrollWnd* frame = CSkinScrollWnd::FromTarget(info.hwndList);
  ASSERT_NE(nullptr, frame);
  combo_.ShowDropDown(TRUE);
  HWND bar = ::GetDlgItem(*frame, 3000 + 2);
  auto barInfo = [bar] {
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    ::GetScrollInfo(bar, SB_CTL, &si);
    return si;
  };
  ASSERT_TRUE(testenv::PumpUntil([&] { return barInfo().nMax == kItems - 1; }, 3000));
  RECT length{};
  ::GetClientRect(bar, &length);
  ASSERT_TRUE(qvtest::DragPaintedThumb(bar, skin, length.bottom + 40));
  EXPECT_EQ(kItems - static_cast<int>(barInfo().nPage), ::SendMessageW(info.hwndList, LB_GETTOPINDEX, 0, 0));
  combo_.ShowDropDown(FALSE);
}

}  // namespace
