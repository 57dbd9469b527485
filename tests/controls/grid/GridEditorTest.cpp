// The grid's in-place editors as a page sees them: the cell values and notices that
// each way of starting and ending an edit leaves (notices as in GridInputTest.cpp).
#include <cstring>
#include <cwchar>

#include "GridInputFixture.h"
#include "support/ModalScript.h"
#include "support/TestDialog.h"

namespace {

class GridEditorTest : public GridInputTest {
 public:
  // Row 1's value cell gets the format, flags, text and choices.
  void MakeCell(UINT format, UINT flags, const wchar_t* text, std::vector<std::wstring> choices = {}) {
    Make();
    grid->realEditors = true;
    grid->SetItemCombo(1, kValue, format, flags, choices);
    grid->SetItemText(1, kValue, text);
  }
  // Do's gestures, and to the focused window: 'text typed, "enter", "esc", "tab" as
  // characters, "kdown" a key; "blur" moves the focus off the grid.
  void Edit(const std::string& script) {
    std::istringstream in(script);
    for (std::string g; in >> g;) {
      const std::map<std::string, wchar_t> exits = {{"enter", L'\r'}, {"esc", 27}, {"tab", L'\t'}};
      HWND focus = ::GetFocus();
      if (g[0] == '\'') {
        for (wchar_t c : std::wstring(g.begin() + 1, g.end())) ::SendMessageW(::GetFocus(), WM_CHAR, c, 0);
      } else if (exits.count(g)) {
        ::SendMessageW(focus, WM_CHAR, exits.at(g), 0);
      } else if (g == "kdown") {
        ::SendMessageW(focus, WM_KEYDOWN, VK_DOWN, 0);
      } else if (g == "blur") {
        ::SetFocus(host.View());
      } else {
        Do(g);
      }
    }
  }
  // Nothing is pumped while an editor is open: windows of tests beside may take the
  // focus meanwhile.
  void Click(HWND wnd, int x, int y) {
    ::SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    ::SendMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }
  HWND Calendar() { return reinterpret_cast<HWND>(::SendMessageW(grid->m_wndItemDate, DTM_GETMONTHCAL, 0, 0)); }
  // The open date editor's drop button; TRUE when its calendar shows, with the focus.
  bool PressDropButton() {
    RECT rc;
    ::GetClientRect(grid->m_wndItemDate, &rc);
    Click(grid->m_wndItemDate, rc.right - 5, rc.bottom / 2);
    return Calendar() && ::IsWindowVisible(Calendar()) && ::GetFocus() == Calendar() && grid->IsEditing();
  }
  UINT dialogCell = ITEM_FORMAT_EDIT;
};

TEST_F(GridEditorTest, EachEditorRoundTripsItsCell) {
  const std::vector<std::wstring> kChoices = {L"gamma", L"alpha", L"beta"};
  struct Case {
    UINT format, flags;
    const wchar_t* before;
    const char* script;
    const wchar_t* after;
    const char* notices;
  };
  const Case cases[] = {
      {ITEM_FORMAT_EDIT, 0, L"old", "L1.4 'abc enter", L"abc", "S1.4 C1.4 X1.4"},
      {ITEM_FORMAT_EDIT, 0, L"old", "L1.4 'abc esc", L"old", "S1.4 C1.4"},
      {ITEM_FORMAT_EDIT, 0, L"old", "L1.4 esc Ktab 'xy blur", L"xy", "S1.4 C1.4 X1.4"},
      {ITEM_FORMAT_EDIT, 0, L"old", "L1.4 'q L2.1", L"q", "S1.4 C1.4 X1.4 S2.1 C2.1"},
      {ITEM_FORMAT_COMBO, 0, L"beta", "L1.4 kdown enter", L"gamma", "S1.4 C1.4 X1.4"},
      {ITEM_FORMAT_COMBO, 0, L"其他", "L1.4 enter", L"其他", "S1.4 C1.4 X1.4"},
      {ITEM_FORMAT_COMBO, 0, L"其他", "L1.4 kdown blur", L"alpha", "S1.4 C1.4 X1.4"},
      {ITEM_FORMAT_COMBO, 0, L"beta", "L1.4 esc Ktab kdown esc", L"beta", "S1.4 C1.4"},
      {ITEM_FORMAT_COMBO, ITEM_FLAGS_COMBO_EDIT, L"beta", "L1.4 'new enter", L"new", "S1.4 C1.4 X1.4"},
      {ITEM_FORMAT_DATETIME, ITEM_FLAGS_DATE_ONLY, L"20240629123456", "L1.4 enter", L"20240629000000",
       "S1.4 C1.4 X1.4"},
      {ITEM_FORMAT_DATETIME, ITEM_FLAGS_TIME_ONLY, L"20240629123456", "L1.4 blur", L"00000000123456",
       "S1.4 C1.4 X1.4"},
      {ITEM_FORMAT_DATETIME, ITEM_FLAGS_DATETIME_NONE, L"", "L1.4 esc Ktab enter", L"", "S1.4 C1.4 X1.4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    MakeCell(c.format, c.flags, c.before, kChoices);
    Edit(c.script);
    EXPECT_FALSE(grid->IsEditing());
    EXPECT_EQ(c.after, grid->GetItemText(1, kValue));
    EXPECT_EQ(c.notices, log);
  }
  // Tab ends the edit and, with the key it posts, opens the cell again.
  MakeCell(ITEM_FORMAT_EDIT, 0, L"old");
  Edit("L1.4 'one tab");
  MSG key;
  ASSERT_TRUE(::PeekMessageW(&key, *grid, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
  ::SetFocus(*grid);
  ::DispatchMessageW(&key);
  ASSERT_TRUE(grid->IsEditing());
  Edit("'two enter");
  EXPECT_EQ(L"two", grid->GetItemText(1, kValue));
  EXPECT_EQ("S1.4 C1.4 X1.4 X1.4", log);
}

TEST_F(GridEditorTest, TheDateEditorGoesOnInItsOwnCalendar) {
  MakeCell(ITEM_FORMAT_DATETIME, 0, L"20240629123456");
  Edit("L1.4");
  ASSERT_TRUE(PressDropButton());
  RECT days;
  ::GetClientRect(Calendar(), &days);
  Click(Calendar(), days.right / 2, days.bottom * 2 / 3);  // a day of the month shown
  EXPECT_TRUE(grid->IsEditing() && ::GetFocus() == grid->m_wndItemDate && !::IsWindowVisible(Calendar()));
  Edit("enter");
  const std::wstring picked = grid->GetItemText(1, kValue);
  EXPECT_TRUE(picked != L"20240629123456" && picked.substr(8) == L"123456") << picked;  // the time stays

  Edit("Ktab");
  ASSERT_TRUE(PressDropButton());
  EXPECT_FALSE(PressDropButton());  // closed again: the picker has the focus back
  EXPECT_TRUE(grid->IsEditing() && ::GetFocus() == grid->m_wndItemDate);
  Edit("esc Ktab");
  ASSERT_TRUE(PressDropButton());
  log.clear();
  EXPECT_TRUE(grid->EndEdit());  // the page reads the grid while the calendar is open
  EXPECT_TRUE(!grid->IsEditing() && ::GetFocus() == *grid);
  EXPECT_EQ(picked, grid->GetItemText(1, kValue));
  EXPECT_EQ("X1.4", log);
}

TEST_F(GridEditorTest, NumberCellsFilterTypingAndPasting) {
  const UINT kWhole = ITEM_FLAGS_EDIT_NUMBER, kDecimal = ITEM_FLAGS_EDIT_FLOAT,
             kSign = ITEM_FLAGS_EDIT_NEGATIVE, kCompare = ITEM_FLAGS_EDIT_OPERATOR;
  struct Case {
    UINT flags;
    const wchar_t* typed;
    const wchar_t* pasted;  // then, over the selection
    const wchar_t* after;
  };
  const Case cases[] = {
      {kWhole, L"1.5x", nullptr, L"15"},
      {kDecimal, L"1.5.2", nullptr, L"1.52"},
      {kWhole | kCompare, L">=12", nullptr, L">=12"},
      {kWhole | kCompare, L"=>1>", nullptr, L"=1"},
      {kWhole, L"<=>5", nullptr, L"5"},
      {kWhole, L"--5-", nullptr, L"-5"},  // one minus, before the digits
      {kWhole | kSign, L"12-3", nullptr, L"-123"},
      {kWhole | kSign, L"12--3", nullptr, L"123"},
      {kDecimal | kSign, L"2.5-", nullptr, L"-2.500000"},
      {kWhole | kSign | kCompare, L">12-", nullptr, L">-12"},
      {kWhole, L"12\b", nullptr, L"1"},
      {0, L"a.b-<", nullptr, L"a.b-<"},
      {kWhole, L"1", L"2\r\n3", L"123"},
      {kWhole, L"1", L"2a", L"1"},
      {kDecimal, L"1.", L".5", L"1."},
      {kWhole, L"-5", L"-1", L"-5"},
      {kWhole | ITEM_FLAGS_COMBO_EDIT, L"1x2", L"3", L"123"},  // a combo's text field
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.flags << " " << std::string(c.typed, c.typed + wcslen(c.typed)));
    const bool combo = (c.flags & ITEM_FLAGS_COMBO_EDIT) != 0;
    MakeCell(combo ? ITEM_FORMAT_COMBO : ITEM_FORMAT_EDIT, c.flags, L"");
    Edit("L1.4");
    for (const wchar_t* p = c.typed; *p; ++p) ::SendMessageW(::GetFocus(), WM_CHAR, *p, 0);
    if (c.pasted) {
      const size_t bytes = (wcslen(c.pasted) + 1) * sizeof(wchar_t);
      HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
      std::memcpy(::GlobalLock(block), c.pasted, bytes);
      ::GlobalUnlock(block);
      ASSERT_TRUE(::OpenClipboard(host.Dialog()) && ::EmptyClipboard() &&
                  ::SetClipboardData(CF_UNICODETEXT, block) && ::CloseClipboard());
      ::SendMessageW(::GetFocus(), WM_PASTE, 0, 0);
    }
    Edit("enter");
    EXPECT_EQ(c.after, grid->GetItemText(1, kValue));
  }
}

TEST_F(GridEditorTest, ClosingTheDialogEndsAnOpenEditOnceAndTellsThePageNothing) {
  for (UINT format : {ITEM_FORMAT_EDIT, ITEM_FORMAT_DATETIME}) {
    SCOPED_TRACE(format);
    TestDialog dialog;
    ASSERT_TRUE(dialog.SetXml(R"(<layer title="编辑" width="300" height="200"><body></body></layer>)"));
    dialogCell = format;
    dialog.context = this;
    dialog.onInit = [](TestDialog& d) {  // the page's grid on its view
      auto* self = static_cast<GridEditorTest*>(d.context);
      self->grid = std::make_unique<TestGrid>();
      self->grid->realEditors = true;
      const RECT rc{0, 0, 200, 150};
      self->grid->Create(d.GetViewHWnd(), &rc, nullptr, 0, 0, 1234);
      self->grid->AddColumn(L"值", 100, -1, FALSE, FALSE, self->dialogCell, ITEM_FLAGS_DATE_ONLY);
      self->grid->AddItem(L"20240629123456");
    };
    // Typed into, or its calendar open.
    const std::wstring after = format == ITEM_FORMAT_EDIT ? L"new" : L"20240629000000";
    ModalScript script;
    script.ExpectDialog([&](UiDialogDriver&) {
      Edit("L0.0 'new");
      ASSERT_TRUE(format == ITEM_FORMAT_EDIT || PressDropButton());
      dialog.EndDialog(IDCANCEL);
      EXPECT_FALSE(grid->IsEditing());
      EXPECT_EQ(after, grid->GetItemText(0, 0));
    });
    dialog.DoModal(host.Dialog());
    const std::vector<std::pair<UINT, UINT>> notices = {{1234, LIST_NOTIFY_SELCHANGED}, {1234, LIST_NOTIFY_CLICK}};
    EXPECT_EQ(notices, dialog.otherNotifies);
    EXPECT_EQ(after, grid->GetItemText(0, 0));
  }

  // A grid that goes with an edit open keeps the value and tells nobody.
  MakeCell(ITEM_FORMAT_EDIT, 0, L"old");
  Edit("L1.4 'gone");
  log.clear();
  ::DestroyWindow(*grid);
  EXPECT_EQ(L"gone", grid->GetItemText(1, kValue));
  EXPECT_EQ("", log);
}

TEST_F(GridEditorTest, ClippedTextShowsInATipThatPassesClicksOn) {
  Make();
  grid->SetItemText(2, kName, L"一个放不下的名称");
  const CTitleTipEx& tip = grid->m_wndTitleTip;
  auto hover = [&](const char* at) {
    Mouse(WM_MOUSEMOVE, Point(at));
    return tip.IsWindowVisible() != FALSE;
  };
  EXPECT_FALSE(hover("3.1"));  // fits
  EXPECT_TRUE(hover("2.1"));
  EXPECT_FALSE(hover("3.1"));
  EXPECT_TRUE(hover("2.1"));
  ::SendMessageW(tip, WM_MOUSEMOVE, 0, MAKELPARAM(-3, 2));  // off it
  EXPECT_FALSE(tip.IsWindowVisible());
  EXPECT_TRUE(hover("2.1"));
  RECT rc;
  ::GetClientRect(tip, &rc);
  for (UINT msg : {WM_LBUTTONDOWN, WM_LBUTTONUP}) ::SendMessageW(tip, msg, 0, MAKELPARAM(rc.right / 2, rc.bottom / 2));
  EXPECT_TRUE(testenv::PumpUntil([&] { return log == "S2.1 C2.1"; }, 3000)) << log;
}

// The tip stands over a cell: when the rows or columns move, by the wheel (which the tip,
// holding the mouse, passes on) or by a click on either bar's arrow, it goes.
TEST_F(GridEditorTest, TheClippedTextTipGoesWhenTheViewScrolls) {
  Make(12);
  grid->SetColumnWidth(kValue, 300);  // both bars
  grid->SetItemText(2, kName, L"一个放不下的名称");
  grid->m_nWheelLines = 3;
  const CTitleTipEx& tip = grid->m_wndTitleTip;
  const HWND frame = ::GetParent(::GetParent(*grid));
  auto arrow = [&](UINT barId, int part) {
    HWND bar = ::GetDlgItem(frame, barId);
    const auto* skinned = static_cast<CSkinScrollBar*>(CWindowImplCore::FromHandle(bar));
    RECT rc;
    ::GetClientRect(bar, &rc);
    for (int y = 0; y < rc.bottom; ++y)
      for (int x = 0; x < rc.right; ++x)
        if (skinned->HitTest(POINT{x, y}) == part) {
          for (UINT msg : {WM_LBUTTONDOWN, WM_LBUTTONUP}) ::SendMessageW(bar, msg, MK_LBUTTON, MAKELPARAM(x, y));
          return;
        }
    ADD_FAILURE() << "no part " << part << " on bar " << barId;
  };
  struct Way { const char* name; std::function<void()> scroll; int top, left; };
  const Way ways[] = {
      {"wheel", [&] { ::SendMessageW(tip, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0); }, 3, 0},
      {"vertical bar", [&] { arrow(kSkinId + 2, CSkinScrollBar::kLineDown); }, 1, 0},
      {"horizontal bar", [&] { arrow(kSkinId + 1, CSkinScrollBar::kLineDown); }, 0, 5},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    ::SendMessageW(*grid, WM_VSCROLL, SB_TOP, 0);
    ::SendMessageW(*grid, WM_HSCROLL, SB_LEFT, 0);
    Mouse(WM_MOUSEMOVE, Point("2.1"));
    ASSERT_TRUE(tip.IsWindowVisible());
    way.scroll();
    EXPECT_TRUE(testenv::PumpUntil([&] { return grid->GetTopIndex() == way.top; }, 3000));
    EXPECT_EQ(way.left, ::GetScrollPos(*grid, SB_HORZ));
    EXPECT_FALSE(tip.IsWindowVisible());
  }
}

}  // namespace
