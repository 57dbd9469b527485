// The grid in a host window: rows and cells, the selection across deletes, cell words
// against their column's, check states, and what it paints into a memory DC.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "controls/CListCtrlDataEx.h"
#include "controls/CUIFontPair.h"
#include "support/DibCanvas.h"
#include "support/ElementHost.h"
#include "support/MakeBitmap.h"
#include "support/TestEnv.h"

namespace {

using Grid = CListCtrlDataEx<unsigned long>;
// The background picture is a setting no page uses.
struct BackdropGrid : Grid {
  using Grid::Grid;
  using Grid::m_hBackground, Grid::m_bTileBackground;
};
const int kWidth = 400, kHeight = 240;
const COLORREF kGridLine = 0xDBB590, kSelected = 0xCDFAFF, kHeaderBottom = 0xF5C2A9;

class GridTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { CUIFontPair::Create(); }
  static void TearDownTestSuite() { CUIFontPair::Destroy(); }
  void SetUp() override {
    const RECT rc{0, 0, kWidth, kHeight};
    ASSERT_TRUE(grid.Create(host.View(), &rc, nullptr, 0, 0, 1234));
  }
  // Columns "a", "b", "c" of 80 pixels; rows "r<i>" with the data word 100 + i.
  void Fill(int rows) {
    for (const wchar_t* name : {L"a", L"b", L"c"}) grid.AddColumn(name, 80);
    for (int i = 0; i < rows; ++i) {
      const int row = grid.AddItem((L"r" + std::to_wstring(i)).c_str());
      grid.SetItemData(row, 100 + i);
    }
  }
  std::set<unsigned long> SelectedRecords() {
    std::set<unsigned long> records;
    unsigned long data = 0;
    for (int i = 0; i < grid.GetItemCount(); ++i)
      if (grid.IsItemSelected(i) && grid.GetItemData(i, data)) records.insert(data);
    return records;
  }
  std::unique_ptr<DibCanvas> Paint() {
    RECT client;
    ::GetClientRect(grid, &client);
    auto canvas = std::make_unique<DibCanvas>(client.right, client.bottom, RGB(1, 2, 3));
    ::SendMessageW(grid, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas->Dc()), PRF_CLIENT);
    return canvas;
  }
  CRect Cell(int row, int column) {
    CRect rc;
    EXPECT_TRUE(grid.GetItemRect(row, column, rc)) << row << "," << column;
    return rc;
  }

  ElementHost host;
  BackdropGrid grid{nullptr, 0, 0xCFBBA2, kSelected, kHeaderBottom};
};

int CountColour(const DibCanvas& canvas, const RECT& rc, COLORREF colour) {
  int count = 0;
  for (int y = rc.top; y < rc.bottom; ++y)
    for (int x = rc.left; x < rc.right; ++x) count += canvas.At(x, y) == colour;
  return count;
}

// The longest horizontal run of one colour inside rc.
int LongestRun(const DibCanvas& canvas, const RECT& rc, COLORREF colour) {
  int best = 0;
  for (int y = rc.top; y < rc.bottom; ++y)
    for (int x = rc.left, run = 0; x < rc.right; ++x) {
      run = canvas.At(x, y) == colour ? run + 1 : 0;
      best = std::max(best, run);
    }
  return best;
}

bool SamePixels(const DibCanvas& canvas, const RECT& a, const RECT& b) {
  for (int y = 0; y < a.bottom - a.top; ++y)
    for (int x = 0; x < a.right - a.left; ++x)
      if (canvas.At(a.left + x, a.top + y) != canvas.At(b.left + x, b.top + y)) return false;
  return true;
}

TEST_F(GridTest, CallsOutOfRangeReportAndStoreNothing) {
  Fill(2);
  grid.AddColumn(L"late", 40);  // the two rows have no cell in it
  unsigned long data = 0;
  const std::vector<std::wstring> list{L"x"};
  struct Case {
    const char* call;
    std::function<long()> run;
    long expected;
  };
  const Case cases[] = {
      {"GetItemCheck past the rows", [&] { return grid.GetItemCheck(2, 0); }, -2},
      {"GetItemCheck on a short row", [&] { return grid.GetItemCheck(0, 3); }, -2},
      {"GetItemCheck negative column", [&] { return grid.GetItemCheck(0, -1); }, -2},
      {"SetItemText past the rows", [&] { return grid.SetItemText(2, 0, L"x"); }, 0},
      {"SetItemText on a short row", [&] { return grid.SetItemText(1, 3, L"x"); }, 0},
      {"SetItemCheck negative row", [&] { return grid.SetItemCheck(-1, 0, 1); }, 0},
      {"SetItemData past the rows", [&] { return grid.SetItemData(2, 7); }, 0},
      {"GetItemData past the rows", [&] { return grid.GetItemData(2, data); }, 0},
      {"SetItemImage on a short row", [&] { return grid.SetItemImage(0, 3, 1); }, 0},
      {"SetItemFormat on a short row", [&] { return grid.SetItemFormat(0, 3, 1, 8); }, 0},
      {"SetItemFlags on a short row", [&] { return grid.SetItemFlags(0, 3, 8); }, 0},
      {"SetItemColours past the rows", [&] { return grid.SetItemColours(2, 0, 0, 0); }, 0},
      {"SetItemCombo on a short row", [&] { return grid.SetItemCombo(1, 3, 3, 0, list); }, 0},
      {"SetItemComboIndex past the rows", [&] { return grid.SetItemComboIndex(2, 0, 0); }, 0},
      {"AddItemTag past the rows", [&] { return grid.AddItemTag(2, 1); }, 0},
      {"GetItemFormat on a short row", [&] { return grid.GetItemFormat(0, 3); }, 0},
      {"GetCheckedCount past the columns", [&] { return grid.GetCheckedCount(4); }, -1},
      {"GetCheckedCount negative column", [&] { return grid.GetCheckedCount(-1); }, -1},
      {"DeleteItem past the rows", [&] { return grid.DeleteItem(2); }, 0},
      {"DeleteItem negative row", [&] { return grid.DeleteItem(-1); }, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.call);
    EXPECT_EQ(c.expected, c.run());
  }
  EXPECT_EQ(2, grid.GetItemCount());
  EXPECT_EQ(L"", grid.GetItemText(1, 3));
  EXPECT_EQ(L"", grid.GetItemText(2, 0));
  EXPECT_EQ(L"r1", grid.GetItemText(1, 0));
  ASSERT_TRUE(grid.GetItemData(1, data));
  EXPECT_EQ(101u, data);
  EXPECT_EQ(0, grid.GetItemCheck(1, 0));
}

TEST_F(GridTest, RowsAndCellsKeepWhatIsSetAndMoveUpOnDelete) {
  Fill(4);
  EXPECT_TRUE(grid.SetItemText(2, 1, L"改过"));
  EXPECT_TRUE(grid.SetItemCombo(3, 2, ITEM_FORMAT_COMBO, 0, {L"甲", L"乙"}));
  for (int index : {1, 2, -1, 0}) {
    SCOPED_TRACE(index);
    EXPECT_TRUE(grid.SetItemComboIndex(3, 2, index));
    EXPECT_EQ(index == 1 ? L"乙" : index == 0 ? L"甲" : L"", grid.GetItemText(3, 2));
  }
  EXPECT_TRUE(grid.DeleteItem(1));
  ASSERT_EQ(3, grid.GetItemCount());
  const wchar_t* texts[] = {L"r0", L"r2", L"r3"};
  const unsigned long records[] = {100, 102, 103};
  for (int i = 0; i < 3; ++i) {
    unsigned long data = 0;
    EXPECT_EQ(texts[i], grid.GetItemText(i, 0));
    EXPECT_TRUE(grid.GetItemData(i, data));
    EXPECT_EQ(records[i], data);
  }
  EXPECT_EQ(L"改过", grid.GetItemText(1, 1));
  EXPECT_EQ(L"甲", grid.GetItemText(2, 2));
  grid.DeleteAllItems();
  EXPECT_EQ(0, grid.GetItemCount());
  EXPECT_EQ(grid.GetHeaderHeight(), grid.GetContentHeight());
}

TEST_F(GridTest, DeletingARowKeepsTheOtherRecordsSelected) {
  Fill(6);
  grid.SetItemFormat(0, 0, ITEM_FORMAT_GROUP, 0);
  for (DWORD member : {1, 3, 4}) grid.AddItemTag(0, member);
  grid.SelectItem(2, 0, 0);
  grid.SelectItem(4, 0, MK_CONTROL);
  grid.SelectItem(5, 0, MK_CONTROL);
  ASSERT_EQ((std::set<unsigned long>{102, 104, 105}), SelectedRecords());

  ASSERT_TRUE(grid.DeleteItem(4));
  EXPECT_EQ((std::set<unsigned long>{102, 105}), SelectedRecords());
  ASSERT_TRUE(grid.DeleteItem(1));
  EXPECT_EQ((std::set<unsigned long>{102, 105}), SelectedRecords());
  EXPECT_EQ(2, grid.GetSelectedCount());
  // The group keeps naming its remaining member, record 103, now row 2.
  std::vector<DWORD> tags;
  ASSERT_TRUE(grid.GetItemTags(0, tags));
  EXPECT_EQ(std::vector<DWORD>{2}, tags);
  // A Shift range still starts from the anchor's record (105).
  grid.SelectItem(1, 0, MK_SHIFT);
  EXPECT_EQ((std::set<unsigned long>{102, 103, 105}), SelectedRecords());
}

TEST_F(GridTest, CellWordsFollowTheirColumnUntilSet) {
  grid.AddColumn(L"check", 80, -1, FALSE, FALSE, ITEM_FORMAT_CHECKBOX,
                 ITEM_FLAGS_LEFT | ITEM_FLAGS_RIGHT);
  grid.AddColumn(L"", 10, 12);  // an image column: as wide as the image + 5, centred
  grid.AddColumn(L"fixed", 60, -1, TRUE);
  EXPECT_EQ(21, grid.GetColumnWidth(1));
  EXPECT_EQ(ITEM_FLAGS_CENTRE, grid.GetColumn(1)->m_nFlags);
  EXPECT_TRUE(grid.SetColumnWidth(2, 90));
  EXPECT_EQ(60, grid.GetColumnWidth(2));

  grid.AddItem(L"a");
  EXPECT_EQ(ITEM_FORMAT_CHECKBOX, grid.GetItemFormat(0, 0));
  EXPECT_EQ(ITEM_FLAGS_RIGHT, grid.GetItemFlags(0, 0));
  grid.SetItemFormat(0, 0, ITEM_FORMAT_EDIT, 0x18);
  EXPECT_EQ(ITEM_FORMAT_EDIT, grid.GetItemFormat(0, 0));
  EXPECT_EQ(0x18u, grid.GetItemFlags(0, 0));
  grid.SetItemFormat(0, 0, 0, 0);
  EXPECT_EQ(ITEM_FORMAT_CHECKBOX, grid.GetItemFormat(0, 0));
  EXPECT_EQ(ITEM_FLAGS_RIGHT, grid.GetItemFlags(0, 0));
  grid.AddItem(L"b", -1, 0, 0x6);
  for (int column = 0; column < 3; ++column) EXPECT_EQ(0x4u, grid.GetItemFlags(1, column));

  const UINT words[][2] = {{0x6, 0x4},   {0x3, 0x2},    {0xC00, 0x400}, {0x2F0, 0x2E0},
                           {0xB0, 0xA0}, {0x190, 0x10}, {0x1E90, 0x210}};
  for (const auto& w : words) {
    SCOPED_TRACE(w[0]);
    EXPECT_EQ(w[1], Grid::NormaliseFlags(w[0]));
  }
}

TEST_F(GridTest, CheckedCountCountsCheckedOnly) {
  grid.AddColumn(L"c", 60, -1, FALSE, FALSE, ITEM_FORMAT_CHECKBOX_3STATE, ITEM_FLAGS_LEFT);
  grid.AddColumn(L"t", 60);
  for (int state : {1, 0, -1, 1, 7}) grid.SetItemCheck(grid.AddItem(L"x"), 0, state);
  grid.AddColumn(L"late", 40);
  grid.AddItem(L"short rows count as unchecked");
  EXPECT_EQ(3, grid.GetCheckedCount(0));
  EXPECT_EQ(0, grid.GetCheckedCount(2));
  EXPECT_EQ(-1, grid.GetItemCheck(2, 0));
  EXPECT_EQ(0, grid.GetItemCheck(5, 0));
}

TEST_F(GridTest, AChangeAfterAPaintAsksForAnotherPaint) {
  Fill(3);
  ASSERT_TRUE(::IsWindowVisible(grid));  // in its scroll-bar frame
  for (int row = 0; row < 3; ++row) {
    ASSERT_TRUE(testenv::PumpUntil([&] { return !::GetUpdateRect(grid, nullptr, FALSE); }, 5000));
    grid.SetItemText(row, 1, L"新");
    EXPECT_TRUE(::GetUpdateRect(grid, nullptr, FALSE)) << row;
  }
}

TEST_F(GridTest, WithRedrawOffRowsWaitForRedrawOnToSetTheBarsAndPaint) {
  Fill(0);
  ASSERT_TRUE(testenv::PumpUntil([&] { return !::GetUpdateRect(grid, nullptr, FALSE); }, 5000));
  grid.SendMessage(WM_SETREDRAW, FALSE);
  for (int i = 0; i < 40; ++i) grid.SetItemText(grid.AddItem(L"r"), 1, L"x");
  SCROLLINFO bar{sizeof bar, SIF_RANGE, 0, 0, 0, 0, 0};
  ::GetScrollInfo(grid, SB_VERT, &bar);
  EXPECT_EQ(0, bar.nMax);
  EXPECT_FALSE(::GetUpdateRect(grid, nullptr, FALSE));
  EXPECT_TRUE(::IsWindowVisible(grid));
  grid.SendMessage(WM_SETREDRAW, TRUE);
  ::GetScrollInfo(grid, SB_VERT, &bar);
  EXPECT_EQ(40 * grid.GetItemHeight() - 1, bar.nMax);
  EXPECT_TRUE(::GetUpdateRect(grid, nullptr, FALSE));
}

TEST_F(GridTest, PaintsHeaderRowColoursAndSelection) {
  Fill(4);
  const COLORREF band = RGB(0xE0, 0xE8, 0xF8);
  for (int row : {0, 2})
    for (int column = 0; column < 3; ++column) grid.SetItemColours(row, column, band, CLR_INVALID);
  grid.SelectItem(1, 0, 0);
  const auto canvas = Paint();
  const int header = grid.GetHeaderHeight(), beyond = kWidth - 20;
  // The header's gradient: from about white at the top to the third colour at the bottom.
  const COLORREF top = canvas->At(beyond, 0), bottom = canvas->At(beyond, header - 1);
  for (int shift : {0, 8, 16}) {
    EXPECT_NEAR(255, (top >> shift) & 0xFF, 8) << shift;
    EXPECT_NEAR((kHeaderBottom >> shift) & 0xFF, (bottom >> shift) & 0xFF, 1) << shift;
  }
  EXPECT_EQ(kGridLine, canvas->At(beyond, header));

  const COLORREF window = ::GetSysColor(COLOR_WINDOW);
  const COLORREF rowColours[] = {band, kSelected, band, window};
  for (int row = 0; row < 4; ++row) {
    SCOPED_TRACE(row);
    const CRect rc = Cell(row, 1);
    const int middle = (rc.top + rc.bottom) / 2;
    EXPECT_EQ(rowColours[row], canvas->At(rc.CenterPoint().x, middle));
    // The selection runs past the last column; cell colours stay in their cells.
    EXPECT_EQ(row == 1 ? kSelected : window, canvas->At(beyond, middle));
    EXPECT_EQ(kGridLine, canvas->At(beyond, rc.bottom));
  }
}

// Under the header: repeated from the client origin, or drawn once, centred across and a
// little above the middle of the area below the header when it fits there.
TEST_F(GridTest, ABackgroundPictureIsTiledOrDrawnOnceNearTheMiddle) {
  Fill(0);
  RECT client;
  ::GetClientRect(grid, &client);
  const int header = grid.GetHeaderHeight(), below = client.bottom - header;
  auto pattern = [](int x, int y) -> DWORD { return ((x * 7) & 0xFF) << 16 | ((y * 11) & 0xFF) << 8 | 0x40; };
  const struct { BOOL tile; int cx, cy; POINT at; } cases[] = {
      {TRUE, 30, 20, {0, 0}},
      {FALSE, 30, 20, {client.right / 2 - 15, below / 2 - 18}},
      {FALSE, client.right + 100, below, {0, header}},  // as wide as the area or more: its top left
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cx);
    HBITMAP picture = MakeBitmap(c.cx, c.cy, pattern);
    grid.m_hBackground = picture;
    grid.m_bTileBackground = c.tile;
    const auto canvas = Paint();
    int wrong = 0;
    for (int y = header + 1; y < client.bottom; y += 3)
      for (int x = 0; x < client.right; x += 3) {
        const int px = c.tile ? x % c.cx : x - c.at.x, py = c.tile ? y % c.cy : y - c.at.y;
        const DWORD p = pattern(px, py);
        const bool inside = px >= 0 && px < c.cx && py >= 0 && py < c.cy;
        wrong += canvas->At(x, y) != (inside ? RGB(p >> 16, (p >> 8) & 0xFF, p & 0xFF) : ::GetSysColor(COLOR_WINDOW));
      }
    EXPECT_EQ(0, wrong);
    grid.m_hBackground = nullptr;
    ::DeleteObject(picture);
  }
}

TEST_F(GridTest, CheckBoxesShowTheirStateWhereTheirFlagsPutThem) {
  grid.AddColumn(L"check", 100);
  struct Case {
    UINT format, flags;
    int check;
    COLORREF mark;  // the tick or cross colour in the box; 0 for an empty box
    bool centred;
  };
  const Case cases[] = {
      {ITEM_FORMAT_CHECKBOX, ITEM_FLAGS_LEFT, 0, 0, false},
      {ITEM_FORMAT_CHECKBOX, 0, 1, RGB(0x1E, 0x5C, 0xC8), false},
      {ITEM_FORMAT_CHECKBOX_3STATE, ITEM_FLAGS_CENTRE, 1, RGB(0x22, 0x9A, 0x2E), true},
      {ITEM_FORMAT_CHECKBOX_3STATE, ITEM_FLAGS_RIGHT, -1, RGB(0xD0, 0x20, 0x20), false},
      {ITEM_FORMAT_CHECKBOX_3STATE, ITEM_FLAGS_LEFT, 0, 0, false},
  };
  for (const Case& c : cases)
    grid.SetItemCheck(grid.AddItem(L"", -1, c.format, c.flags), 0, c.check);
  const auto canvas = Paint();
  const COLORREF edge = RGB(0x4E, 0x74, 0x9C);
  for (int row = 0; row < 5; ++row) {
    SCOPED_TRACE(row);
    const Case& c = cases[row];
    const CRect cell = Cell(row, 0);
    const int boxLeft = c.centred ? cell.left + (cell.Width() - 1 - 16) / 2 : cell.left + 8;
    const int y = cell.top + (cell.Height() - 16) / 2;
    const CRect box(boxLeft, y, boxLeft + 16, y + 16);
    EXPECT_EQ(13, LongestRun(*canvas, box, edge));  // the box's frame, where it belongs
    for (COLORREF mark : {RGB(0x1E, 0x5C, 0xC8), RGB(0x22, 0x9A, 0x2E), RGB(0xD0, 0x20, 0x20)})
      EXPECT_EQ(mark == c.mark, CountColour(*canvas, box, mark) > 4) << std::hex << mark;
  }
}

TEST_F(GridTest, PaintsLinksCombosAndDatesAsTheirFormatsSay) {
  grid.AddColumn(L"a", 200);
  // A date cell shows the user's short date and time, as Windows formats them.
  const SYSTEMTIME when{2024, 3, 5, 15, 10, 30, 0, 0};
  wchar_t date[32] = L"", time[32] = L"";
  ASSERT_TRUE(::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &when, nullptr, date, 32));
  ASSERT_TRUE(::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &when, nullptr, time, 32));
  const std::wstring shown = std::wstring(date) + L" " + time;
  grid.AddItem(L"可点击的文字", -1, ITEM_FORMAT_HYPERLINK);
  grid.AddItem(L"甲", -1, ITEM_FORMAT_COMBO);
  grid.AddItem(L"甲");
  grid.AddItem(L"20240315103000", -1, ITEM_FORMAT_DATETIME);
  grid.AddItem(shown.c_str());
  grid.AddItem(L"2024031", -1, ITEM_FORMAT_DATETIME);  // too short to be a date
  grid.AddItem(L"");
  const auto canvas = Paint();

  HDC dc = ::GetDC(grid);
  HGDIOBJ old = ::SelectObject(dc, grid.GetItemFont(0, 0));
  SIZE text{};
  ::GetTextExtentPoint32W(dc, L"可点击的文字", 6, &text);
  ::SelectObject(dc, old);
  ::ReleaseDC(grid, dc);
  EXPECT_GE(LongestRun(*canvas, Cell(0, 0), RGB(0, 0, 200)), text.cx - 2);  // underlined
  EXPECT_TRUE(SamePixels(*canvas, Cell(1, 0), Cell(2, 0)));  // a closed combo is its text
  EXPECT_TRUE(SamePixels(*canvas, Cell(3, 0), Cell(4, 0)));
  EXPECT_FALSE(SamePixels(*canvas, Cell(3, 0), Cell(6, 0)));
  EXPECT_TRUE(SamePixels(*canvas, Cell(5, 0), Cell(6, 0)));
}

TEST_F(GridTest, ScrolledToTheEndTheLastRowEndsThePageWhole) {
  Fill(40);
  // A page of whole rows: a range that also counted the header would overshoot a row.
  ::MoveWindow(grid, 0, 0, kWidth, 10 * grid.GetItemHeight(), FALSE);
  ::SetScrollPos(grid, SB_VERT, 1 << 20, FALSE);
  RECT client;
  ::GetClientRect(grid, &client);
  const CRect last = Cell(39, -1);
  EXPECT_LE(last.bottom, client.bottom);
  EXPECT_LT(client.bottom - last.bottom, grid.GetItemHeight());
}

}  // namespace
