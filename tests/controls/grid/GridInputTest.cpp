// The grid under the mouse and the keys, as its page sees it: the notifications it
// receives (code, row, column), the selection, checks and edits they leave, sorting,
// scrolling and column sizing. Notices are written S (-1501 selection), C (-1502 click),
// R (-1503 right click), D (-1504 double click), X (-1506 cell changed), L (-1507 link
// clicked), each with row.column.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "controls/CListCtrlDataEx.h"
#include "controls/CSkinScrollBar.h"
#include "controls/CUIResource.h"
#include "platform/CEdit.h"
#include "support/ElementHost.h"
#include "support/GdiObjectCount.h"
#include "support/TestEnv.h"

namespace {

using Grid = CListCtrlDataEx<unsigned long>;
enum { kCheck, kName, kState, kLink, kValue };  // the columns
const UINT kSkinId = 2000;

// Stands in for the cell editors: it opens over the cell with the focus and, losing it,
// reports its text and exit key to the grid.
class FakeEditor : public CWindowImpl<FakeEditor, CEdit> {
 public:
  DECLARE_WND_SUPERCLASS(nullptr, L"EDIT")
  BEGIN_MSG_MAP(FakeEditor)
    MESSAGE_HANDLER(WM_KILLFOCUS, OnKillFocus)
  END_MSG_MAP()
  LRESULT OnKillFocus(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    wchar_t text[64] = L"";
    ::GetWindowTextW(m_hWnd, text, 64);
    CListNotify end{{m_hWnd, 1, static_cast<UINT>(LIST_NOTIFY_ENDEDIT)}, row, column, exitKey, text, nullptr};
    ShowWindow(SW_HIDE);
    ::SendMessageW(GetParent(), WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&end));
    bHandled = FALSE;
    return 0;
  }
  int row = -1, column = -1;
  WORD exitKey = 0;
};

class TestGrid : public Grid {
 public:
  TestGrid() : Grid(CUIResource::GetSkinBitmap(), kSkinId, 0xCFBBA2, 0xCDFAFF, 0xF5C2A9) {}
  HWND ShowEditor(int nItem, int nSubItem, UINT, UINT, const CRect& rcCell,
                  const std::vector<std::wstring>&) override {
    if (!editor.m_hWnd) editor.Create(m_hWnd, rcCell, nullptr, WS_CHILD);
    editor.row = nItem;
    editor.column = nSubItem;
    editor.SetWindowText(GetItemText(nItem, nSubItem).c_str());
    editor.ShowWindow(SW_SHOW);
    ::SetFocus(editor);
    return editor;
  }
  using Grid::m_bMultiSelect;
  using Grid::m_bmpSmooth;
  using Grid::m_dwTypeAheadTime;
  using Grid::m_nWheelLines;
  FakeEditor editor;
};

const wchar_t* const kNames[] = {L"apple", L"Banana", L"cherry", L"blue", L"Bob", L"date"};

class GridInputTest : public ::testing::Test {
 public:
  static void SetUpTestSuite() { CUIResource::Init(); }
  static void TearDownTestSuite() { CUIResource::Uninit(); }
  void SetUp() override {
    host.onDialogNotify = [this](const NMHDR* h) {
      const auto* n = reinterpret_cast<const CListNotify*>(h);
      if (!grid || h->hwndFrom != grid->m_hWnd) return;
      const char* letters = "SCRD?XL";
      log += (log.empty() ? "" : " ") + std::string(1, letters[-1501 - static_cast<int>(h->code)]) +
             std::to_string(n->m_nItem) + "." + std::to_string(n->m_nSubItem);
      if (onNotice) onNotice(static_cast<int>(h->code));
    };
  }
  // Six rows (data words 100..105) with a check box and a name, a text, a three-state
  // check box, a link and an editable value; `shown` rows fit, and half a row more.
  void Make(int rows = 6, double shown = 8.5) {
    grid.reset();
    grid = std::make_unique<TestGrid>();
    const RECT rc{0, 0, 400, 200};
    ASSERT_TRUE(grid->Create(host.Dialog(), &rc, nullptr, 0, 0, 1234));
    grid->AddColumn(L"选择", 80, -1, FALSE, TRUE, ITEM_FORMAT_CHECKBOX, ITEM_FLAGS_CENTRE);
    grid->AddColumn(L"名称", 60, -1, FALSE, TRUE);
    grid->AddColumn(L"状态", 60, -1, TRUE, FALSE, ITEM_FORMAT_CHECKBOX_3STATE, ITEM_FLAGS_CENTRE);
    grid->AddColumn(L"操作", 80, -1, FALSE, FALSE, ITEM_FORMAT_HYPERLINK);
    grid->AddColumn(L"值", 80, -1, FALSE, FALSE, ITEM_FORMAT_EDIT);
    for (int i = 0; i < rows; ++i) {
      const int row = grid->AddItem(kNames[i % 6]);
      grid->SetItemData(row, 100 + i);
      grid->SetItemText(row, kName, (L"k" + std::to_wstring((i * 5) % 6)).c_str());
      grid->SetItemText(row, kLink, L"查看详细");
    }
    const int height = static_cast<int>(grid->GetHeaderHeight() + shown * grid->GetItemHeight());
    ::MoveWindow(Frame(), 0, 0, 400, height, TRUE);
    log.clear();
  }
  HWND Frame() const { return ::GetParent(::GetParent(*grid)); }
  POINT At(int row, int column, int dx = 0) {
    CRect rc;
    EXPECT_TRUE(grid->GetItemRect(row, column, rc)) << row << "." << column;
    return POINT{dx ? rc.left + dx : rc.CenterPoint().x, rc.CenterPoint().y};
  }
  POINT Below() {
    RECT rc;
    ::GetClientRect(*grid, &rc);
    return POINT{50, rc.bottom - 2};
  }
  POINT Divider(int column) {
    CRect rc;
    grid->GetColumnRect(column, rc);
    return POINT{rc.right, rc.Height() / 2};
  }
  void Mouse(UINT msg, POINT pt, WPARAM flags = 0) {
    ::SendMessageW(*grid, msg, flags, MAKELPARAM(pt.x, pt.y));
  }
  void Click(POINT pt, WPARAM mods = 0) {
    Mouse(WM_LBUTTONDOWN, pt, MK_LBUTTON | mods);
    Mouse(WM_LBUTTONUP, pt, mods);
  }
  void Key(UINT vk, bool control = false, bool shift = false) {
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = control ? 0x80 : 0;
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    ::SetKeyboardState(keys);
    ::SendMessageW(*grid, WM_KEYDOWN, vk, 0);
    keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
    ::SetKeyboardState(keys);
  }
  std::set<int> Selected() {
    std::set<int> rows;
    for (int i = 0; i < grid->GetItemCount(); ++i)
      if (grid->IsItemSelected(i)) rows.insert(i);
    return rows;
  }
  std::vector<unsigned long> Records() {
    std::vector<unsigned long> records;
    unsigned long data = 0;
    for (int i = 0; grid->GetItemData(i, data); ++i) records.push_back(data);
    return records;
  }

  ElementHost host;
  std::unique_ptr<TestGrid> grid;
  std::string log;
  std::function<void(int)> onNotice;
};

TEST_F(GridInputTest, PagesReceiveTheNotificationsOfEachGesture) {
  struct Case {
    const char* gesture;
    std::function<void(GridInputTest&)> act;
    const char* notices;
    std::set<int> selected;
  };
  const Case cases[] = {
      {"click", [](GridInputTest& t) { t.Click(t.At(2, kName)); }, "S2.1 C2.1", {2}},
      {"click again", [](GridInputTest& t) { t.Click(t.At(2, kName)); t.Click(t.At(2, kName)); },
       "S2.1 C2.1 C2.1", {2}},
      {"ctrl-click, single selection",
       [](GridInputTest& t) { t.Click(t.At(1, kName)); t.Click(t.At(3, kName), MK_CONTROL); },
       "S1.1 C1.1 S3.1 C3.1", {3}},
      {"shift-click, single selection",
       [](GridInputTest& t) { t.Click(t.At(1, kName)); t.Click(t.At(3, kName), MK_SHIFT); },
       "S1.1 C1.1 S3.1 C3.1", {3}},
      {"ctrl-click adds and removes, multiple selection",
       [](GridInputTest& t) {
         t.grid->m_bMultiSelect = TRUE;
         t.Click(t.At(1, kName));
         t.Click(t.At(3, kName), MK_CONTROL);
         t.Click(t.At(5, kName), MK_CONTROL);
         t.Click(t.At(1, kName), MK_CONTROL);
       },
       "S1.1 C1.1 S3.0 C3.1 S5.0 C5.1 C1.1", {3, 5}},
      {"shift-click, multiple selection",
       [](GridInputTest& t) {
         t.grid->m_bMultiSelect = TRUE;
         t.Click(t.At(1, kName));
         t.Click(t.At(4, kName), MK_SHIFT);
       },
       "S1.1 C1.1 S4.0 C4.1", {1, 2, 3, 4}},
      {"check box", [](GridInputTest& t) { t.Click(t.At(2, kCheck)); }, "S2.0 X2.0 C2.0", {2}},
      {"check box beside its box", [](GridInputTest& t) { t.Click(t.At(2, kCheck, 2)); },
       "S2.0 C2.0", {2}},
      {"read-only check box",
       [](GridInputTest& t) {
         t.grid->SetItemFlags(2, kState, ITEM_FLAGS_READ_ONLY | ITEM_FLAGS_CENTRE);
         t.Click(t.At(2, kState));
       },
       "S2.2 C2.2", {2}},
      {"link text", [](GridInputTest& t) { t.Click(t.At(2, kLink, 10)); }, "S2.3 L2.3 C2.3", {2}},
      {"link cell off its text", [](GridInputTest& t) { t.Click(t.At(2, kLink, 78)); },
       "S2.3 C2.3", {2}},
      {"below the rows", [](GridInputTest& t) { t.Click(t.At(5, kName)); t.Click(t.Below()); },
       "S5.1 C5.1 C-1.0", {5}},
      {"right click", [](GridInputTest& t) {
         t.Mouse(WM_RBUTTONDOWN, t.At(2, kName), MK_RBUTTON);
         t.Mouse(WM_RBUTTONUP, t.At(2, kName));
         t.Mouse(WM_RBUTTONUP, t.Below());
       },
       "S2.1 R2.1 R-1.0", {}},
      {"double click", [](GridInputTest& t) {
         for (UINT msg : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
           t.Mouse(msg, t.At(2, kName), msg == WM_LBUTTONUP ? 0 : MK_LBUTTON);
       },
       "S2.1 C2.1 D2.1 C2.1", {2}},
      {"space toggles the first column",
       [](GridInputTest& t) { t.Click(t.At(2, kName)); t.Key(VK_SPACE); t.Key(VK_SPACE); },
       "S2.1 C2.1 X2.0 X2.0", {2}},
      {"space on a read-only first column",
       [](GridInputTest& t) {
         t.grid->SetItemFlags(2, kCheck, ITEM_FLAGS_READ_ONLY);
         t.Click(t.At(2, kName));
         t.Key(VK_SPACE);
       },
       "S2.1 C2.1", {2}},
      {"ctrl+a, single selection", [](GridInputTest& t) { t.Click(t.At(2, kName)); t.Key('A', true); },
       "S2.1 C2.1", {2}},
      {"ctrl+a, multiple selection",
       [](GridInputTest& t) { t.grid->m_bMultiSelect = TRUE; t.Key('A', true); }, "", {0, 1, 2, 3, 4, 5}},
      {"arrows and shift", [](GridInputTest& t) {
         t.Click(t.At(1, kName));
         t.Key(VK_DOWN);
         t.Key(VK_DOWN, false, true);
         t.Key(VK_UP, true);  // ctrl moves the focus only
       },
       "S1.1 C1.1 S2.0 S3.0", {2, 3}},
      {"home, end, paging", [](GridInputTest& t) {
         t.Key(VK_END);
         t.Key(VK_HOME);
         t.Key(VK_NEXT);
         t.Key(VK_PRIOR);
       },
       "S5.0 S0.0 S5.0 S0.0", {0}},
      {"type-ahead", [](GridInputTest& t) {
         for (UINT key : {'B', 'B', 'B', 'B', '7'}) t.Key(key);
         t.grid->m_dwTypeAheadTime -= 1000;
         t.Key('B');  // after a pause the same letter goes on
         t.Key('O');  // a second letter narrows the word
         t.grid->m_dwTypeAheadTime -= 1000;
         t.Key('C');  // a new letter after a pause starts at the top
       },
       "S1.0 S3.0 S4.0 S1.0 S3.0 S4.0 S2.0", {2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.gesture);
    Make(6, 6.5);
    c.act(*this);
    EXPECT_EQ(c.notices, log);
    EXPECT_EQ(c.selected, Selected());
  }
}


TEST_F(GridInputTest, ChecksStepAsClickedAndGroupsFoldOnRelease) {
  Make();
  grid->SetItemCheck(1, kState, -1);
  const int expected[][2] = {{1, 0}, {0, 1}, {1, -1}};  // two states 0 1 0 1; three -1 0 1 -1
  for (const auto& e : expected) {
    Click(At(1, kCheck));
    Click(At(1, kState));
    EXPECT_EQ(e[0], grid->GetItemCheck(1, kCheck));
    EXPECT_EQ(e[1], grid->GetItemCheck(1, kState));
  }
  grid->SetItemFormat(0, 0, ITEM_FORMAT_GROUP, 0);
  for (DWORD member : {2, 4}) grid->AddItemTag(0, member);
  for (UINT flags : {UINT{ITEM_FLAGS_HIDDEN}, 0u, UINT{ITEM_FLAGS_HIDDEN}}) {
    Click(At(0, kName));
    EXPECT_EQ(flags, grid->GetItemFlags(2, 0) & ITEM_FLAGS_HIDDEN);
    EXPECT_EQ(flags, grid->GetItemFlags(4, 0) & ITEM_FLAGS_HIDDEN);
  }
  log.clear();
  Click(At(2, kName));  // a folded row is not there for the mouse
  EXPECT_EQ("C-1.0", log);
}

TEST_F(GridInputTest, HeaderClicksSortRowsWithTheirDataAndGroups) {
  Make();
  grid->SetItemFormat(0, kName, ITEM_FORMAT_GROUP, 0);
  for (DWORD member : {1, 3}) grid->AddItemTag(0, member);
  auto header = [&](int column, int dx = 0) {
    CRect rc;
    grid->GetColumnRect(column, rc);
    return POINT{rc.CenterPoint().x + dx, rc.CenterPoint().y};
  };
  struct Step {
    const char* what;
    std::function<void()> act;
    std::vector<unsigned long> records;
  };
  const Step steps[] = {
      {"by name", [&] { Click(header(kName)); }, {100, 105, 104, 103, 102, 101}},
      {"again: reversed", [&] { Click(header(kName)); }, {101, 102, 103, 104, 105, 100}},
      {"not sortable", [&] { Click(header(kState)); }, {101, 102, 103, 104, 105, 100}},
      {"a press dragged away",
       [&] {
         Mouse(WM_LBUTTONDOWN, header(kCheck), MK_LBUTTON);
         Mouse(WM_MOUSEMOVE, header(kCheck, 5), MK_LBUTTON);
         Mouse(WM_LBUTTONUP, header(kCheck, 5));
       },
       {101, 102, 103, 104, 105, 100}},
      {"by the first column, case counts", [&] { Click(header(kCheck)); },
       {101, 104, 100, 103, 102, 105}},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    Click(At(2, kName));
    log.clear();
    step.act();
    EXPECT_EQ(step.records, Records());
    EXPECT_EQ("C-1.0", log);
  }
  EXPECT_TRUE(Selected().empty());
  std::vector<DWORD> members;
  ASSERT_TRUE(grid->GetItemTags(2, members));  // record 100, the group
  unsigned long a = 0, b = 0;
  ASSERT_TRUE(members.size() == 2 && grid->GetItemData(members[0], a) && grid->GetItemData(members[1], b));
  EXPECT_EQ((std::set<unsigned long>{101, 103}), (std::set<unsigned long>{a, b}));
}

TEST_F(GridInputTest, RowsRemovedDuringANotificationAreNotTouchedAfterwards) {
  struct Case {
    const char* what;
    int code;                     // the notice whose handler removes rows
    bool all;                     // all rows, else row 0
    std::function<void(GridInputTest&)> act;
    const char* notices;
  };
  const Case cases[] = {
      {"check box of a moved row", LIST_NOTIFY_SELCHANGED, false,
       [](GridInputTest& t) { t.Click(t.At(4, kCheck)); }, "S4.0 C4.0"},
      {"link of a moved row", LIST_NOTIFY_SELCHANGED, false,
       [](GridInputTest& t) { t.Click(t.At(4, kLink, 10)); }, "S4.3 C4.3"},
      {"editable cell of a removed row", LIST_NOTIFY_SELCHANGED, true,
       [](GridInputTest& t) { t.Click(t.At(4, kValue)); }, "S4.4 C-1.0"},
      {"end key", LIST_NOTIFY_SELCHANGED, true,
       [](GridInputTest& t) { t.Key(VK_END); t.Key(VK_SPACE); t.Key('B'); }, "S5.0"},
      {"space", LIST_NOTIFY_CELLCHANGED, false,
       [](GridInputTest& t) { t.Click(t.At(2, kName)); t.Key(VK_SPACE); t.Key(VK_SPACE); },
       "S2.1 C2.1 X2.0 X1.0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Make();
    onNotice = [&](int code) {
      if (code != c.code) return;
      if (c.all)
        grid->DeleteAllItems();
      else
        grid->DeleteItem(0);
    };
    c.act(*this);
    onNotice = nullptr;
    EXPECT_EQ(c.notices, log);
    EXPECT_FALSE(grid->IsEditing());
    for (int i = 0; i < grid->GetItemCount(); ++i) EXPECT_EQ(0, grid->GetItemCheck(i, kCheck)) << i;
  }
}

TEST_F(GridInputTest, EditsOpenOnTheClickedCellAndEndBeforeThePageReads) {
  Make(12, 6.5);
  FakeEditor& editor = grid->editor;
  Click(At(1, kValue));
  ASSERT_TRUE(grid->IsEditing());
  EXPECT_EQ(kValue, editor.column);
  ::SetWindowTextW(editor, L"新值");
  EXPECT_TRUE(grid->EndEdit());
  EXPECT_EQ(L"新值", grid->GetItemText(1, kValue));
  EXPECT_EQ("S1.4 C1.4 X1.4", log);

  Click(At(2, kValue));
  ::SetWindowTextW(editor, L"丢弃");
  editor.exitKey = VK_ESCAPE;
  // A report that is not the open editor's is not read.
  CListNotify forged{{host.View(), 1, static_cast<UINT>(LIST_NOTIFY_ENDEDIT)}, 2, kValue, 0, const_cast<wchar_t*>(L"x"), nullptr};
  ::SendMessageW(*grid, WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&forged));
  EXPECT_TRUE(grid->IsEditing());
  EXPECT_TRUE(grid->EndEdit());
  editor.exitKey = 0;
  EXPECT_EQ(L"", grid->GetItemText(2, kValue));

  log.clear();
  grid->SetItemFlags(3, kValue, ITEM_FLAGS_READ_ONLY);
  Click(At(3, kValue));
  EXPECT_FALSE(grid->IsEditing());
  // Half shown, the row scrolls in a moment later; then the clicked cell opens, not the
  // first one. The timer is driven: windows of tests beside may take the focus meanwhile.
  Click(At(6, kValue));
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
  EXPECT_EQ("S3.4 C3.4 S6.4 C6.4 X6.4", log);
}

// A point on the skinned bar's part, walking along it.
POINT PointOn(HWND bar, int part) {
  auto* skinned = static_cast<CSkinScrollBar*>(CWindowImplCore::FromHandle(bar));
  for (int y = 0; y < 2000; ++y)
    if (skinned->HitTest(POINT{6, y}) == part) return POINT{6, y};
  return POINT{-1, -1};
}

TEST_F(GridInputTest, FiveThousandRowsScrollByThumbWheelAndSmoothSteps) {
  Make(5000, 10.5);
  HWND bar = ::GetDlgItem(Frame(), kSkinId + 2);
  POINT thumb;
  ASSERT_TRUE(testenv::PumpUntil([&] { return (thumb = PointOn(bar, CSkinScrollBar::kThumb)).y >= 0; }, 3000));
  for (UINT msg : {WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP})
    ::SendMessageW(bar, msg, MK_LBUTTON, MAKELPARAM(thumb.x, msg == WM_LBUTTONDOWN ? thumb.y : 4000));
  EXPECT_EQ(4990, grid->GetTopIndex());
  EXPECT_TRUE(grid->IsItemVisible(4999, -1, FALSE));

  auto scroll = [&](UINT msg, WPARAM wParam) { ::SendMessageW(*grid, msg, wParam, 0); };
  scroll(WM_VSCROLL, SB_TOP);
  grid->m_nWheelLines = 3;
  const int wheel[][2] = {{-360, 9}, {120, 6}, {1200, 0}};
  for (const auto& w : wheel) {
    scroll(WM_MOUSEWHEEL, MAKEWPARAM(0, w[0]));
    EXPECT_EQ(w[1], grid->GetTopIndex()) << w[0];
  }
  grid->m_nWheelLines = WHEEL_PAGESCROLL;
  scroll(WM_MOUSEWHEEL, MAKEWPARAM(0, -120));
  EXPECT_EQ(10, grid->GetTopIndex());
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
  const POINT divider = Divider(kName);
  const int drags[][2] = {{-30, 0}, {15, 35}};
  Mouse(WM_LBUTTONDOWN, divider, MK_LBUTTON);
  for (const auto& d : drags) {
    Mouse(WM_MOUSEMOVE, {divider.x + d[0], divider.y}, MK_LBUTTON);
    EXPECT_EQ(d[1], grid->GetColumnWidth(kName)) << d[0];
  }
  Mouse(WM_LBUTTONUP, {divider.x + 15, divider.y});
  EXPECT_EQ((std::vector<unsigned long>{100, 101, 102, 103, 104, 105}), Records());  // no sort
  const POINT fixed = Divider(kState);
  Mouse(WM_LBUTTONDOWN, fixed, MK_LBUTTON);
  Mouse(WM_MOUSEMOVE, {fixed.x - 20, fixed.y}, MK_LBUTTON);
  Mouse(WM_LBUTTONUP, {fixed.x - 20, fixed.y});
  EXPECT_EQ(60, grid->GetColumnWidth(kState));

  int widest = 0;
  HDC dc = ::GetDC(*grid);
  HGDIOBJ old = ::SelectObject(dc, grid->GetItemFont(0, kName));
  for (const wchar_t* text : {L"名称", L"k0", L"k1", L"k2", L"k3", L"k4", L"k5"}) {
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
    widest = std::max<int>(widest, size.cx);
  }
  ::SelectObject(dc, old);
  ::ReleaseDC(*grid, dc);
  for (int column : {kName, kState}) {
    log.clear();
    Mouse(WM_LBUTTONDBLCLK, Divider(column), MK_LBUTTON);
    Mouse(WM_LBUTTONUP, Divider(column));
    EXPECT_EQ(column == kName ? widest + 20 : 60, grid->GetColumnWidth(column));
    EXPECT_EQ("D-1.0 C-1.0", log);
  }

  // Wider than the view: the right end shows the last column's right edge, by bar or keys.
  grid->SetColumnWidth(kValue, 900);
  RECT client;
  CRect last;
  ::GetClientRect(*grid, &client);
  ::SendMessageW(*grid, WM_HSCROLL, SB_RIGHT, 0);
  EXPECT_TRUE(grid->GetColumnRect(kValue, last) && last.right == client.right);
  ::SendMessageW(*grid, WM_HSCROLL, SB_LEFT, 0);
  for (int i = 0; i < 30; ++i) Key(VK_RIGHT, true);
  EXPECT_TRUE(grid->GetColumnRect(kValue, last) && last.right == client.right);
}

}  // namespace
