#pragma once
// The grid under test as its page sees it (see GridInputTest.cpp): a grid of six rows in
// a host window, gestures written as scripts, and the notices the page receives.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>
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
  HWND ShowEditor(int nItem, int nSubItem, UINT nFormat, UINT nFlags, const CRect& rcCell,
                  const std::vector<std::wstring>& aChoices) override {
    if (realEditors) return Grid::ShowEditor(nItem, nSubItem, nFormat, nFlags, rcCell, aChoices);
    if (!editor.m_hWnd) editor.Create(m_hWnd, rcCell, nullptr, WS_CHILD);
    editor.row = nItem;
    editor.column = nSubItem;
    editor.SetWindowText(GetItemText(nItem, nSubItem).c_str());
    editor.ShowWindow(SW_SHOW);
    ::SetFocus(editor);
    return editor;
  }
  using Grid::m_bMultiSelect, Grid::m_bSelecting, Grid::m_bmpSmooth, Grid::m_dwTypeAheadTime, Grid::m_nWheelLines,
      Grid::m_wndTitleTip, Grid::m_wndItemDate, Grid::m_wndToolTip, Grid::SetItemToolTip;
  FakeEditor editor;
  bool realEditors = false;
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
      log += (log.empty() ? "" : " ") + std::string(1, "SCRD?XL"[-1501 - static_cast<int>(h->code)]) +
             std::to_string(n->m_nItem) + "." + std::to_string(n->m_nSubItem);
      if (h->code == static_cast<UINT>(LIST_NOTIFY_CELLCHANGED) && n->m_nSubItem != kValue)
        log += "=" + std::to_string(grid->GetItemCheck(n->m_nItem, n->m_nSubItem));
      if (onNotice) onNotice(static_cast<int>(h->code));
    };
  }
  // Rows with data words 100 + i: a check box with a name, a text "k<i * 5 % 6>", a
  // three-state check box (read-only in row 5, as is row 5's first check box), a link and
  // an editable value. `shown` rows fit in the view.
  void Make(int rows = 6, double shown = 6.5) {
    grid = std::make_unique<TestGrid>();
    ASSERT_TRUE(grid->Create(host.Dialog(), nullptr, nullptr, 0, 0, 1234));
    grid->AddColumn(L"选择", 80, -1, FALSE, TRUE, ITEM_FORMAT_CHECKBOX, ITEM_FLAGS_CENTRE);
    grid->AddColumn(L"名称", 60, -1, FALSE, TRUE);
    grid->AddColumn(L"状态", 60, -1, TRUE, FALSE, ITEM_FORMAT_CHECKBOX_3STATE, ITEM_FLAGS_CENTRE);
    grid->AddColumn(L"操作", 80, -1, FALSE, FALSE, ITEM_FORMAT_HYPERLINK);
    grid->AddColumn(L"值", 80, -1, FALSE, FALSE, ITEM_FORMAT_EDIT);
    for (int i = 0; i < rows; ++i) {
      grid->SetItemData(grid->AddItem(kNames[i % 6]), 100 + i);
      grid->SetItemText(i, kName, (L"k" + std::to_wstring(i * 5 % 6)).c_str());
      grid->SetItemText(i, kLink, L"查看详细");
    }
    for (int column : {kCheck, kState}) grid->SetItemFlags(5, column, ITEM_FLAGS_READ_ONLY | ITEM_FLAGS_CENTRE);
    const int height = static_cast<int>(grid->GetHeaderHeight() + shown * grid->GetItemHeight());
    ::MoveWindow(::GetParent(::GetParent(*grid)), 0, 0, 400, height, TRUE);  // the scroll-bar frame
    log.clear();
  }
  // "r.c" a cell's centre, "r.c@x" x pixels into it, "r>x" row r x pixels right of the
  // columns, "-" below the rows, "hN" column N's header, "vN" the divider right of it.
  POINT Point(const std::string& at) {
    int row = 0, column = 0, dx = 0;
    CRect rc;
    if (at == "-") {
      ::GetClientRect(*grid, &rc);
      return POINT{50, rc.bottom - 2};
    }
    if (at[0] == 'h' || at[0] == 'v') {
      grid->GetColumnRect(at[1] - '0', rc);
      return POINT{at[0] == 'v' ? rc.right : rc.CenterPoint().x, 5};
    }
    if (std::sscanf(at.c_str(), "%d>%d", &row, &dx) == 2) {
      EXPECT_TRUE(grid->GetItemRect(row, -1, rc)) << at;
      return POINT{grid->GetTotalWidth() + dx, rc.CenterPoint().y};
    }
    std::sscanf(at.c_str(), "%d.%d@%d", &row, &column, &dx);
    EXPECT_TRUE(grid->GetItemRect(row, column, rc)) << at;
    return POINT{dx ? rc.left + dx : rc.CenterPoint().x, rc.CenterPoint().y};
  }
  void Mouse(UINT msg, POINT pt, WPARAM flags = 0) { ::SendMessageW(*grid, msg, flags, MAKELPARAM(pt.x, pt.y)); }
  void Key(UINT vk, WPARAM mods) {
    BYTE keys[256] = {};
    keys[VK_CONTROL] = (mods & MK_CONTROL) ? 0x80 : 0;
    keys[VK_SHIFT] = (mods & MK_SHIFT) ? 0x80 : 0;
    ::SetKeyboardState(keys);
    ::SendMessageW(*grid, WM_KEYDOWN, vk, 0);
    keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
    ::SetKeyboardState(keys);
  }
  // Space-separated gestures, each after optional modifiers ^ (Ctrl) and + (Shift):
  // L<at> click, R<at> right click, D<at> double click, H<at> press, move 5 pixels right
  // and release, B<at>:<at> press, move half way and on to the second place and release there, K<key> a
  // key (a name below or a letter), M multiple selection on, P a pause in typing.
  void Do(const std::string& script) {
    static const std::map<std::string, UINT> keys = {
        {"up", VK_UP}, {"down", VK_DOWN}, {"prior", VK_PRIOR}, {"next", VK_NEXT}, {"home", VK_HOME},
        {"end", VK_END}, {"right", VK_RIGHT}, {"space", VK_SPACE}, {"tab", VK_TAB}};
    std::istringstream in(script);
    for (std::string g; in >> g;) {
      WPARAM mods = 0;
      size_t i = 0;
      for (; g[i] == '^' || g[i] == '+'; ++i) mods |= g[i] == '^' ? MK_CONTROL : MK_SHIFT;
      const char what = g[i];
      const std::string arg = g.substr(i + 1);
      if (what == 'K') Key(keys.count(arg) ? keys.at(arg) : arg[0], mods);
      if (what == 'M') grid->m_bMultiSelect = TRUE;
      if (what == 'P') grid->m_dwTypeAheadTime -= 1000;
      if (what == 'K' || what == 'M' || what == 'P') continue;
      const size_t colon = arg.find(':');
      const POINT pt = Point(arg.substr(0, colon));
      const POINT to = what == 'H' ? POINT{pt.x + 5, pt.y} : what == 'B' ? Point(arg.substr(colon + 1)) : pt;
      const UINT down = what == 'R' ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, up = down + 1;
      Mouse(down, pt, (what == 'R' ? MK_RBUTTON : MK_LBUTTON) | mods);
      if (what == 'B') Mouse(WM_MOUSEMOVE, POINT{(pt.x + to.x) / 2, (pt.y + to.y) / 2}, MK_LBUTTON);
      if (what == 'H' || what == 'B') Mouse(WM_MOUSEMOVE, to, MK_LBUTTON);
      Mouse(up, to, mods);
      if (what == 'D') {
        Mouse(WM_LBUTTONDBLCLK, pt, MK_LBUTTON | mods);
        Mouse(WM_LBUTTONUP, pt, mods);
      }
    }
  }
  std::set<int> Selected() {
    std::set<int> rows;
    for (int i = 0; i < grid->GetItemCount(); ++i) if (grid->IsItemSelected(i)) rows.insert(i);
    return rows;
  }
  std::vector<unsigned long> Records() {
    std::vector<unsigned long> records;
    for (unsigned long data = 0; grid->GetItemData(static_cast<int>(records.size()), data);) records.push_back(data);
    return records;
  }

  ElementHost host;
  std::unique_ptr<TestGrid> grid;
  std::string log;
  std::function<void(int)> onNotice;
};

}  // namespace
