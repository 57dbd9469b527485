// The grid under the mouse and the keys, as its page sees it: the notifications it
// receives, the selection, checks and edits they leave, sorting, scrolling and column
// sizing. Gestures are scripts (see Do); notices are written S (-1501 selection),
// C (-1502 click), R (-1503 right click), D (-1504 double click), X (-1506 cell changed,
// with the new check state of a check box), L (-1507 link clicked), each with row.column.
#include <cwchar>

#include "GridInputFixture.h"
#include "support/DibCanvas.h"
#include "support/GridClicks.h"
#include "support/MakeBitmap.h"

namespace {

TEST_F(GridInputTest, PagesReceiveTheNotificationsOfEachGesture) {
  struct Case { const char* gestures; const char* notices; std::set<int> selected; };
  const Case cases[] = {
      {"L2.1 L2.1", "S2.1 C2.1 C2.1", {2}},
      {"L1.1 ^L3.1 +L4.1", "S1.1 C1.1 S3.1 C3.1 S4.1 C4.1", {4}},  // one row at a time
      {"M L1.1 ^L3.1 ^L5.1 ^L1.1", "S1.1 C1.1 S3.0 C3.1 S5.0 C5.1 C1.1", {3, 5}},
      {"M L1.1 +L4.1", "S1.1 C1.1 S4.0 C4.1", {1, 2, 3, 4}},
      {"L2.0 L2.0@2 L5.2", "S2.0 X2.0=1 C2.0 C2.0 S5.2 C5.2", {5}},  // box, beside it, read-only
      {"L1.0 L1.0 L1.2 L1.2 L1.2", "S1.0 X1.0=1 C1.0 X1.0=0 C1.0 X1.2=1 C1.2 X1.2=-1 C1.2 X1.2=0 C1.2", {1}},
      {"L2.3@10 L2.3@78", "S2.3 L2.3 C2.3 C2.3", {2}},               // on the link, after it
      {"L5.1 L-", "S5.1 C5.1 C-1.0", {5}},
      {"R2.1 R-", "S2.1 R2.1 R-1.0", {}},
      {"D2.1", "S2.1 C2.1 D2.1 C2.1", {2}},
      {"L2.1 Kspace Kspace L5.1 Kspace", "S2.1 C2.1 X2.0=1 X2.0=0 S5.1 C5.1", {5}},
      {"L2.1 ^KA", "S2.1 C2.1", {2}},
      {"M ^KA", "", {0, 1, 2, 3, 4, 5}},
      {"L1.1 Kdown +Kdown ^Kup", "S1.1 C1.1 S2.0 S3.0", {2, 3}},
      {"Kend Khome Knext Kprior", "S5.0 S0.0 S5.0 S0.0", {0}},
      {"KB KB KB KB K7 P KB KO P KC", "S1.0 S3.0 S4.0 S1.0 S3.0 S4.0 S2.0", {2}},
      // With multiple selection on, a drag of more than 3 pixels selects every row from the
      // one under its band's top to the one under its bottom, announcing neither.
      {"M B1.1@5:3.1@40", "S1.1", {1, 2, 3}},
      {"M B4.3@5:0.1@9", "S4.3", {0, 1, 2, 3, 4}},        // up and left
      {"M B-:4.1@5", "", {4, 5}},                           // from below the rows
      {"M B4.1@5:-", "S4.1", {4, 5}},                       // down past the last row
      {"M L1.1 B2>5:4>20", "S1.1 C1.1", {}},                // right of the columns
      {"M B1.1@5:1.1@8", "S1.1 C1.1", {1}},                 // 3 pixels: a click
      {"B1.1@5:3.1@40", "S1.1 C3.1", {1}},                  // multiple selection off
      {"M B1.1@5:3.1@40 +L5.1", "S1.1 S5.0 C5.1", {1, 2, 3, 4, 5}},  // the band's top anchors
      {"M Bh1:3.1@40", "C3.1", {}},                        // a header press is no band
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.gestures);
    Make();
    Do(c.gestures);
    EXPECT_EQ(c.notices, log);
    EXPECT_EQ(c.selected, Selected());
    EXPECT_EQ(c.selected.size(), static_cast<size_t>(grid->GetSelectedCount()));  // no row past the end
    EXPECT_FALSE(grid->m_bSelecting);
  }
}

// A link answers where it is painted, found from the printed pixels (GridClicks), not
// from the grid's hit test: an image alone (centred, as the audit log's magnifier), a
// text centred in a wide cell, a text at the left. The cell's blank margins are no link.
TEST_F(GridInputTest, ALinkAnswersWhereItIsPaintedAndNowhereElseInItsCell) {
  HBITMAP picture = MakeBitmap(16, 24, [](int x, int y) { return x < 2 || y < 2 ? 0x000000u : 0x2040A0u; });
  HIMAGELIST images = ::ImageList_Create(16, 24, ILC_COLOR24, 1, 0);
  ::ImageList_Add(images, picture, nullptr);
  ::DeleteObject(picture);
  const struct { const char* name; const wchar_t* text; int image; UINT flags; int width; } cases[] = {
      {"image alone", L"", 0, 0, 50},
      {"text centred", L"查看", -1, ITEM_FLAGS_CENTRE, 160},
      {"text at the left", L"查看", -1, 0, 160},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Make();
    grid->SetImageList(images);
    grid->SetColumnWidth(kLink, c.width);
    grid->SetItemText(2, kLink, c.text);
    grid->SetItemImage(2, kLink, c.image);
    grid->SetItemFlags(2, kLink, c.flags);
    Do("L2.3@3");  // the row and the cell with the focus, drawn filled
    log.clear();
    for (int beside : {3, c.width - 4}) Do("L2.3@" + std::to_string(beside));
    EXPECT_EQ("C2.3 C2.3", log);
    log.clear();
    EXPECT_TRUE(qvtest::ClickGridCell(*grid, 2, kLink));
    EXPECT_EQ("L2.3 C2.3", log);
  }
  grid.reset();
  ::ImageList_Destroy(images);
}

// Outside the rows the band goes on by itself (timer 1003, from where the pointer is),
// scrolling a row at a time, until the button is let go. It is drawn tinted and framed.
TEST_F(GridInputTest, ABandOutsideTheRowsScrollsThemInUntilTheRelease) {
  Make(12);
  Do("M");
  const POINT from = Point("1.1@2"), to = Point("3.1@40");
  Mouse(WM_LBUTTONDOWN, from, MK_LBUTTON);
  Mouse(WM_MOUSEMOVE, to, MK_LBUTTON);
  ASSERT_TRUE(grid->m_bSelecting);
  RECT client;
  ::GetClientRect(*grid, &client);
  {
    DibCanvas canvas(client.right, client.bottom, RGB(1, 2, 3));
    ::SendMessageW(*grid, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    EXPECT_EQ(::GetSysColor(COLOR_WINDOWTEXT), canvas.At(from.x, Point("2.1").y));  // frame
    // The plain look's tint, RGB(180,190,210) at 180/255, over a selected row's colour.
    const COLORREF tint = RGB(180, 190, 210), row = 0xCDFAFF, seen = canvas.At(from.x + 2, Point("2.1").y);
    for (int shift : {0, 8, 16})
      EXPECT_NEAR((((tint >> shift) & 0xFF) * 180 + ((row >> shift) & 0xFF) * 75) / 255, (seen >> shift) & 0xFF, 2)
          << shift;
  }
  // Still below the rows, then still over the header: the view scrolls to its end and back.
  const struct { POINT at; int top; std::set<int> selected; } stops[] = {
      {{to.x, client.bottom + 20}, 6, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
      {{to.x, 2}, 0, {0, 1}},
  };
  for (const auto& stop : stops) {
    SCOPED_TRACE(stop.top);
    POINT screen = stop.at;
    ::ClientToScreen(*grid, &screen);
    ::SetCursorPos(screen.x, screen.y);
    Mouse(WM_MOUSEMOVE, stop.at, MK_LBUTTON);
    EXPECT_TRUE(testenv::PumpUntil([&] { return grid->GetTopIndex() == stop.top && Selected() == stop.selected; }, 3000));
    EXPECT_EQ(stop.selected.size(), static_cast<size_t>(grid->GetSelectedCount()));
  }
  Mouse(WM_LBUTTONUP, stops[1].at);
  EXPECT_FALSE(grid->m_bSelecting);
  EXPECT_FALSE(::KillTimer(*grid, 1003));  // gone with the band
  EXPECT_EQ("S1.1", log);
}

// A row with a tip text has tool 1000 over its rectangle while the pointer is on it; the
// tip control sees the grid's mouse messages, so the tip comes up where the pointer rests.
TEST_F(GridInputTest, ARowsTipStandsOverTheRowUnderThePointer) {
  Make();
  grid->SetItemToolTip(2, L"第三行的提示");
  grid->SetItemToolTip(5, std::wstring(40000, L'长').c_str());
  grid->SetItemFormat(4, 0, ITEM_FORMAT_GROUP, 0);
  grid->SetItemToolTip(4, L"分组行");
  const HWND tips = grid->m_wndToolTip;
  std::vector<wchar_t> text(40001);
  const struct { const char* at; int row; size_t length; } hovers[] = {
      {"2.1", 2, 6}, {"2.4", 2, 6}, {"3.1", -1, 0}, {"5.2", 5, 32767}, {"-", -1, 0}, {"2.3", 2, 6},
      {"4.0", 2, 6},  // a group row shows none of its own, and leaves what was there
  };
  for (const auto& hover : hovers) {
    SCOPED_TRACE(hover.at);
    Mouse(WM_MOUSEMOVE, Point(hover.at));
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.lpszText = text.data();
    const LRESULT count = ::SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0);
    ASSERT_EQ(hover.row < 0 ? 0 : 1, count);
    if (!count) continue;
    ASSERT_TRUE(::SendMessageW(tips, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool)));
    CRect row;
    grid->GetItemRect(hover.row, -1, row);
    EXPECT_TRUE(tool.hwnd == *grid && tool.uId == 1000 && CRect(tool.rect) == row);
    EXPECT_EQ(hover.length, std::wcslen(text.data()));
  }
  // The pointer resting on row 2: the control, shown the moves, brings the tip up. It asks
  // which window is under the pointer: the grid, in front of the host's view and of any
  // other program's windows.
  ::SetWindowPos(host.Dialog(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ::SetWindowPos(::GetParent(::GetParent(*grid)), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  const POINT at = Point("2.1");
  POINT screen = at;
  ::ClientToScreen(*grid, &screen);
  ::SetCursorPos(screen.x, screen.y);
  Mouse(WM_MOUSEMOVE, at);
  EXPECT_TRUE(testenv::PumpUntil([&] { return ::IsWindowVisible(tips) != FALSE; }, 5000));
  TTTOOLINFOW current{};
  current.cbSize = sizeof current;
  current.lpszText = text.data();
  EXPECT_TRUE(::SendMessageW(tips, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&current)) &&
              std::wstring(text.data()) == L"第三行的提示");
  Mouse(WM_LBUTTONDOWN, at, MK_LBUTTON);  // a press puts it away
  Mouse(WM_LBUTTONUP, at);
  EXPECT_FALSE(::IsWindowVisible(tips));
}

TEST_F(GridInputTest, HeaderClicksSortRowsWithTheirDataAndGroups) {
  Make();
  grid->SetItemFormat(0, 0, ITEM_FORMAT_GROUP, 0);
  for (DWORD member : {1, 3}) grid->AddItemTag(0, member);  // record 100 groups 101 and 103
  const std::pair<const char*, std::vector<unsigned long>> steps[] = {
      {"Lh1", {100, 105, 104, 103, 102, 101}},  // by the text
      {"Lh1", {101, 102, 103, 104, 105, 100}},  // again: reversed
      {"Lh2", {101, 102, 103, 104, 105, 100}},  // not sortable
      {"Hh0", {101, 102, 103, 104, 105, 100}},  // dragged away before the release
      {"Lh0", {101, 104, 100, 103, 102, 105}},  // case counts
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.first);
    Do("L2.1");
    log.clear();
    Do(step.first);
    EXPECT_EQ(step.second, Records());
    EXPECT_EQ("C-1.0", log);
  }
  EXPECT_TRUE(Selected().empty());
  Do("L2.1");  // the group folds its members (rows 0 and 3 now): the mouse passes them by
  log.clear();
  Do("L0.1 L3.1 L1.1 L2.1 L0.1");
  EXPECT_EQ("C-1.0 C-1.0 S1.1 C1.1 S2.1 C2.1 S0.1 C0.1", log);
}

TEST_F(GridInputTest, RowsRemovedDuringANotificationAreNotTouchedAfterwards) {
  struct Case { int code; bool all; const char* gestures; const char* notices; };  // code's handler
  // removes all rows, or row 0
  const Case cases[] = {
      {LIST_NOTIFY_SELCHANGED, false, "L4.0", "S4.0 C4.0"},
      {LIST_NOTIFY_SELCHANGED, false, "L4.3@10", "S4.3 C4.3"},
      {LIST_NOTIFY_SELCHANGED, true, "L4.4", "S4.4 C-1.0"},
      {LIST_NOTIFY_SELCHANGED, true, "Kend Kspace KB", "S5.0"},
      {LIST_NOTIFY_CELLCHANGED, false, "L2.1 Kspace Kspace", "S2.1 C2.1 X2.0=1 X1.0=0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.gestures);
    Make();
    onNotice = [&](int code) {
      if (code == c.code && c.all) grid->DeleteAllItems();
      if (code == c.code && !c.all) grid->DeleteItem(0);
    };
    Do(c.gestures);
    onNotice = nullptr;
    EXPECT_EQ(c.notices, log);
    EXPECT_FALSE(grid->IsEditing());
    for (int i = 0; i < grid->GetItemCount(); ++i) EXPECT_EQ(0, grid->GetItemCheck(i, kCheck)) << i;
  }
}

TEST_F(GridInputTest, EditsOpenOnTheClickedCellAndEndBeforeThePageReads) {
  Make(12);
  FakeEditor& editor = grid->editor;
  Do("L1.4");
  ASSERT_TRUE(grid->IsEditing());
  ::SetWindowTextW(editor, L"新值");
  EXPECT_TRUE(grid->EndEdit());
  EXPECT_EQ(L"新值", grid->GetItemText(1, kValue));
  EXPECT_EQ("S1.4 C1.4 X1.4", log);

  Do("L2.4");
  ::SetWindowTextW(editor, L"丢弃");
  editor.exitKey = VK_ESCAPE;
  // A report that is not the open editor's is not read.
  CListNotify forged{{host.View(), 1, static_cast<UINT>(LIST_NOTIFY_ENDEDIT)}, 2, kValue, 0, nullptr, nullptr};
  ::SendMessageW(*grid, WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&forged));
  EXPECT_TRUE(grid->IsEditing() && grid->EndEdit());
  editor.exitKey = 0;
  EXPECT_EQ(L"", grid->GetItemText(2, kValue));

  log.clear();
  // Half shown, the row scrolls in a moment later; then the clicked cell opens, not the
  // first one. The timer is driven: windows of tests beside may take the focus meanwhile.
  Do("L6.4");
  EXPECT_FALSE(grid->IsEditing());
  ASSERT_TRUE(::KillTimer(*grid, 1002));
  ::SetFocus(*grid);
  ::SendMessageW(*grid, WM_TIMER, 1002, 0);
  ASSERT_TRUE(grid->IsEditing());
  EXPECT_TRUE(editor.row == 6 && editor.column == kValue && grid->IsItemVisible(6, -1, FALSE));
  ::SetWindowTextW(editor, L"排序前");
  grid->SortColumn(kName);  // the edit ends before the rows move
  unsigned long data = 0;
  for (int i = 0; grid->GetItemData(i, data); ++i)
    EXPECT_EQ(data == 106 ? L"排序前" : data == 101 ? L"新值" : L"", grid->GetItemText(i, kValue)) << data;
  EXPECT_EQ("S6.4 C6.4 X6.4", log);
}

TEST_F(GridInputTest, FiveThousandRowsScrollByThumbWheelAndSmoothSteps) {
  Make(5000, 10.5);
  HWND bar = ::GetDlgItem(::GetParent(::GetParent(*grid)), kSkinId + 2);
  auto* skinned = static_cast<CSkinScrollBar*>(CWindowImplCore::FromHandle(bar));
  int thumb = 0;  // found once the bar has taken the grid's range
  ASSERT_TRUE(testenv::PumpUntil([&] {
    for (thumb = 0; thumb < 1000 && skinned->HitTest(POINT{6, thumb}) != CSkinScrollBar::kThumb;) ++thumb;
    return thumb < 1000;
  }, 3000));
  for (UINT msg : {WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP})
    ::SendMessageW(bar, msg, MK_LBUTTON, MAKELPARAM(6, msg == WM_LBUTTONDOWN ? thumb : 4000));
  EXPECT_TRUE(grid->GetTopIndex() == 4990 && grid->IsItemVisible(4999, -1, FALSE));

  auto scroll = [&](UINT msg, WPARAM wParam) { ::SendMessageW(*grid, msg, wParam, 0); };
  scroll(WM_VSCROLL, SB_TOP);
  grid->m_nWheelLines = 3;
  const int notches[][2] = {{-360, 9}, {120, 6}, {1200, 0}};
  for (const auto& n : notches) {
    scroll(WM_MOUSEWHEEL, MAKEWPARAM(0, n[0]));
    EXPECT_EQ(n[1], grid->GetTopIndex()) << n[0];
  }
  grid->m_nWheelLines = WHEEL_PAGESCROLL;
  scroll(WM_MOUSEWHEEL, MAKEWPARAM(0, -120));
  EXPECT_EQ(10, grid->GetTopIndex());  // a page
  EXPECT_TRUE(grid->m_bmpSmooth.IsNull());  // the wheel never animates

  const DWORD objects = GdiObjectCount();
  for (WPARAM step : {SB_LINEDOWN, SB_PAGEDOWN, SB_LINEUP}) {
    const int top = grid->GetTopIndex();
    scroll(WM_VSCROLL, step);
    EXPECT_FALSE(grid->m_bmpSmooth.IsNull()) << step;
    EXPECT_TRUE(testenv::PumpUntil([&] { return grid->m_bmpSmooth.IsNull(); }, 3000)) << step;
    EXPECT_EQ(top + (step == SB_LINEUP ? -1 : step == SB_LINEDOWN ? 1 : 10), grid->GetTopIndex());
  }
  scroll(WM_VSCROLL, SB_LINEDOWN);
  scroll(WM_VSCROLL, SB_ENDSCROLL);  // stops it at once
  EXPECT_TRUE(grid->m_bmpSmooth.IsNull());
  EXPECT_EQ(objects, GdiObjectCount());
}

TEST_F(GridInputTest, DividersDragAndDoubleClickFitTheText) {
  Make();
  grid->SetColumnWidth(kName, 20);
  const POINT v = Point("v1");
  Mouse(WM_LBUTTONDOWN, v, MK_LBUTTON);
  Mouse(WM_MOUSEMOVE, {v.x - 30, v.y}, MK_LBUTTON);
  EXPECT_EQ(0, grid->GetColumnWidth(kName));  // never below 0
  Mouse(WM_MOUSEMOVE, {v.x + 15, v.y}, MK_LBUTTON);
  Mouse(WM_LBUTTONUP, {v.x + 15, v.y});
  EXPECT_EQ(35, grid->GetColumnWidth(kName));
  EXPECT_EQ((std::vector<unsigned long>{100, 101, 102, 103, 104, 105}), Records());  // no sort

  grid->SetItemText(3, kName, L"最长的名称");
  SIZE widest{};
  HDC dc = ::GetDC(*grid);
  HGDIOBJ old = ::SelectObject(dc, grid->GetItemFont(3, kName));
  ::GetTextExtentPoint32W(dc, L"最长的名称", 5, &widest);
  ::ReleaseDC(*grid, (::SelectObject(dc, old), dc));
  log.clear();
  Do("Dv1 Dv2");
  EXPECT_TRUE(grid->GetColumnWidth(kName) == widest.cx + 20 && grid->GetColumnWidth(kState) == 60);
  EXPECT_EQ("C-1.0 D-1.0 C-1.0 C-1.0 D-1.0 C-1.0", log);

  // Wider than the view: the right end shows the last column's right edge, by bar or keys,
  // also when the horizontal bar leaves too little room and brings a vertical bar.
  grid->SetColumnWidth(kValue, 900);
  RECT client;
  CRect last;
  ::GetClientRect(*grid, &client);
  ::SendMessageW(*grid, WM_HSCROLL, SB_RIGHT, 0);
  EXPECT_TRUE(grid->GetColumnRect(kValue, last) && last.right == client.right);
  ::SendMessageW(*grid, WM_HSCROLL, SB_LEFT, 0);
  for (int i = 0; i < 30; ++i) Do("^Kright");
  EXPECT_TRUE(grid->GetColumnRect(kValue, last) && last.right == client.right);
}

}  // namespace
