// The tri-state tree: check propagation, enumeration of checked items, and the clicks
// and keys that toggle boxes and notify the dialog above the tree's view.
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "controls/CMulStatusTree.h"
#include "controls/CSkinScrollWnd.h"
#include "controls/CUIResource.h"
#include "support/ElementHost.h"
#include "support/PaintedThumb.h"
#include "support/StrangerMessage.h"
#include "support/TestEnv.h"

namespace {

class MulStatusTreeTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { CUIResource::Init(); }
  static void TearDownTestSuite() { CUIResource::Uninit(); }
  void SetUp() override {
    ASSERT_TRUE(tree.Create(host.View(), RECT{0, 0, 160, 120}, nullptr, WS_CHILD | WS_VISIBLE, 0, 77));
    // What the dialog hears: "check R3", or "label c-1@c" with the selection of then.
    host.onDialogNotify = [this](const NMHDR* h) {
      const auto* n = reinterpret_cast<const CMulStatusTreeNotify*>(h);
      const bool label = static_cast<int>(h->code) == CMulStatusTree::kNotifyLabelClick;
      heard += std::string(heard.empty() ? "" : " ") + (label ? "label " : "check ") + Name(n->hItem) +
               std::to_string(n->nState) + (label ? "@" + Name(tree.GetSelectedItem()) : "");
    };
  }
  // "G1(P1(a1 b1))": a one-letter name and a state per item, children in brackets; the
  // states are written straight into the tree view.
  void Build(const char* text, HTREEITEM parent = nullptr) {
    if (!parent) tree.DeleteAllItems(), items.clear(), cursor = text, parent = TVI_ROOT;
    while (*cursor && *cursor != ')') {
      if (*cursor == ' ' && *++cursor) continue;
      HTREEITEM item = items[cursor[0]] = tree.InsertItem(std::wstring(1, cursor[0]).c_str(), parent, TVI_LAST);
      tree.SetItemState(item, INDEXTOSTATEIMAGEMASK(cursor[1] - '0'), TVIS_STATEIMAGEMASK);
      cursor += 2;
      if (*cursor == '(') ++cursor, Build(cursor, item), ++cursor;
    }
  }
  std::string Dump(HTREEITEM item = TVI_ROOT) {
    std::string out;
    for (item = item == TVI_ROOT ? tree.GetRootItem() : item; item; item = tree.GetNextSiblingItem(item)) {
      out += (out.empty() ? "" : " ") + Name(item) + std::to_string(tree.GetCheck(item));
      if (HTREEITEM child = tree.GetChildItem(item)) out += "(" + Dump(child) + ")";
    }
    return out;
  }
  std::string Name(HTREEITEM item) {
    for (const auto& e : items)
      if (e.second == item) return std::string(1, e.first);
    return "?";
  }
  // A point on the item's box, or on its label.
  LPARAM At(char name, bool box) {
    RECT rc{};
    tree.GetItemRect(items[name], &rc, TRUE);
    return MAKELPARAM(box ? rc.left - 8 : rc.left + 2, (rc.top + rc.bottom) / 2);
  }

  ElementHost host;
  CMulStatusTree tree{CUIResource::GetSkinBitmap(), 5001};
  std::map<char, HTREEITEM> items;
  const char* cursor = "";
  std::string heard;
};

TEST_F(MulStatusTreeTest, ChecksPropagateDownAndUp) {
  // insert: a new last child n of the item with the state, else SetCheck on the item.
  const struct { const char *name, *tree; char item; int state; bool insert; const char* expect; } cases[] = {
      {"checking a parent", "G1(P1(a1(x0 y1) b1(c1)))", 'P', 3, false, "G3(P3(a3(x0 y1) b3(c3)))"},
      {"unchecking a parent", "G3(P3(a3 b3(c3)))", 'P', 1, false, "G1(P1(a1 b1(c1)))"},
      {"one of two children", "G1(P1(a1 b1) Q1)", 'a', 3, false, "G2(P2(a3 b1) Q1)"},
      {"the last child", "G2(P2(a3 b1) Q3)", 'b', 3, false, "G3(P3(a3 b3) Q3)"},
      {"a first child without a box", "P1(x0 a1 b1(c1))", 'P', 3, false, "P3(x0 a1 b1(c1))"},
      {"an item losing its box", "G3(P3(a3 b3))", 'a', 0, false, "G3(P3(a0 b3))"},
      {"a sibling without a box", "P2(a1 x0 b1)", 'b', 3, false, "P2(a1 x0 b3)"},
      {"an unchecked first child", "P3", 'P', 1, true, "P1(n1)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Build(c.tree);
    if (c.insert)
      items['n'] = tree.InsertTextItem(L"n", items[c.item], TVI_LAST, c.state);
    else
      EXPECT_TRUE(tree.SetCheck(items[c.item], c.state, TRUE));
    EXPECT_EQ(c.expect, Dump());
  }
}

// Filling a row of children remembers that they agree; a check, or a state written
// from outside, between two inserts must not leave the parent recomputed from that.
TEST_F(MulStatusTreeTest, RowsFilledOneByOneFollowEveryChange) {
  Build("P1(a1 b1)");
  tree.SetCheck(items['a'], EM_TVIS_UNCHECK, TRUE);  // all agree
  tree.SetItemState(items['b'], INDEXTOSTATEIMAGEMASK(EM_TVIS_CHECK), TVIS_STATEIMAGEMASK);
  items['c'] = tree.InsertTextItem(L"c", items['P'], TVI_LAST, EM_TVIS_UNCHECK);
  EXPECT_EQ("P2(a1 b3 c1)", Dump());
  tree.SetCheck(items['b'], EM_TVIS_UNCHECK, TRUE);  // all agree again
  tree.SetCheck(items['a'], EM_TVIS_CHECK, TRUE);
  items['d'] = tree.InsertTextItem(L"d", items['P'], TVI_LAST, EM_TVIS_UNCHECK);
  EXPECT_EQ("P2(a3 b1 c1 d1)", Dump());
}

// Item records and reflected notifications that a stranger posts or sends, with a record
// anywhere, change nothing and read nothing; the tree goes on answering.
TEST_F(MulStatusTreeTest, ItemRecordsOfStrangersChangeNothing) {
  Build("P1(a1 b1)");
  TVITEMW check{};
  check.mask = TVIF_HANDLE | TVIF_STATE;
  check.hItem = items['a'];
  check.state = INDEXTOSTATEIMAGEMASK(EM_TVIS_CHECK);
  check.stateMask = TVIS_STATEIMAGEMASK;
  TVINSERTSTRUCTW insert{};
  insert.hParent = items['P'];
  insert.hInsertAfter = TVI_LAST;
  insert.item = check;
  insert.item.mask = TVIF_STATE;
  const LPARAM toCheck = reinterpret_cast<LPARAM>(&check), toInsert = reinterpret_cast<LPARAM>(&insert);
  const struct { UINT message; stranger::How how; LPARAM to; } cases[] = {
      {TVM_SETITEMW, stranger::kPosted, 0x10},    {TVM_SETITEMW, stranger::kPosted, toCheck},
      {TVM_SETITEMW, stranger::kSent, toCheck},   {TVM_SETITEMA, stranger::kPosted, 0x10},
      {TVM_INSERTITEMW, stranger::kPosted, 0x10}, {TVM_INSERTITEMW, stranger::kSent, toInsert},
      {OCM_NOTIFY, stranger::kPosted, 0x10},
  };
  for (const auto& c : cases) {
    stranger::Deliver(c.how, tree, c.message, 0, c.to);
    EXPECT_EQ("P1(a1 b1)", Dump()) << c.message << " " << stranger::Name(c.how) << " " << c.to;
    EXPECT_EQ(3u, tree.GetCount()) << c.message << " " << stranger::Name(c.how);
  }
  // The console's own calls still write.
  ASSERT_TRUE(tree.SetItem(check));
  EXPECT_EQ("P1(a3 b1)", Dump());
}

TEST_F(MulStatusTreeTest, EnumerationEntersGroupsWithoutBoxes) {
  Build("A0(h3 k1(m3) B0(x3 y2(z3 w1) v3)) C0(u3 t1)");
  std::string found;
  for (HTREEITEM i = tree.GetFirstCheckedItem(); i; i = tree.GetNextCheckedItem(i)) found += Name(i);
  EXPECT_EQ("hxzvu", found);
}

TEST_F(MulStatusTreeTest, ClicksOnBoxAndLabelNotifyTheDialog) {
  Build("R1(c1)");
  tree.Expand(items['R']);
  // A double click on the box: the first click toggles, the second neither toggles nor collapses.
  for (UINT msg : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
    tree.SendMessage(msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, At('R', true));
  EXPECT_EQ("R3(c3)", Dump());
  EXPECT_TRUE(TreeView_GetItemState(tree, items['R'], TVIS_EXPANDED) & TVIS_EXPANDED);
  // A label click is told after the tree view has selected the item.
  const LPARAM label = At('c', false);
  ::PostMessageW(tree, WM_LBUTTONUP, 0, label);  // ends the tree view's drag detection
  tree.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, label);
  EXPECT_EQ("check R3 label c-1@c", heard);
}

TEST_F(MulStatusTreeTest, SpaceTogglesTheSelectedItemAndNotifies) {
  Build("R1(c1 n0)");
  for (char name : {'c', 'c', 'n'}) tree.SelectItem(items[name]), tree.SendMessage(WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ("R1(c1 n0)", Dump());
  EXPECT_EQ("check c3 check c1", heard);
  tree.SendMessage(WM_KEYDOWN, VK_UP, 0);  // other keys still move the selection
  EXPECT_EQ(items['c'], tree.GetSelectedItem());
}

TEST_F(MulStatusTreeTest, VerticalThumbDragKeepsTheHorizontalPosition) {
  for (int i = 0; i < 15; ++i)
    tree.InsertTextItem(L"192.168.100.200 一台名字很长的被监控主机", TVI_ROOT, TVI_LAST, EM_TVIS_UNCHECK);
  CSkinScrollWnd* frame = CSkinScrollWnd::FromTarget(tree);  // the skinned bars scroll the tree
  ASSERT_NE(nullptr, frame);
  frame->SendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 30), 0);
  frame->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 5), 0);
  EXPECT_EQ(30, ::GetScrollPos(tree, SB_HORZ));
  EXPECT_EQ(5, ::GetScrollPos(tree, SB_VERT));
}


// A tree of more rows than 16 bits hold: its thumb dragged (where it is painted) to the
// bottom of the bar shows the last items (the first of them selected) and is painted at
// the bottom; dragged back up to a row past 32,767 it shows that row.
TEST_F(MulStatusTreeTest, ThumbDraggedPastSixteenBitsOfRowsShowsThoseRowsAndIsPaintedThere) {
  const int kRows = 70000;
  tree.SetRedraw(FALSE);
  for (int i = 0; i < kRows; ++i)
    tree.InsertTextItem((L"主机" + std::to_wstring(i)).c_str(), TVI_ROOT, TVI_LAST, EM_TVIS_UNCHECK);
  tree.SetRedraw(TRUE);
  HWND bar = ::GetDlgItem(::GetParent(::GetParent(tree)), 5001 + 2);
  auto barInfo = [&] {
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    ::SendMessageW(bar, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&si));
    return si;
  };
  ASSERT_TRUE(testenv::PumpUntil([&] { return barInfo().nMax == kRows - 1; }, 5000));
  RECT barRect{};
  ::GetClientRect(bar, &barRect);
  const int s = 13, page = static_cast<int>(barInfo().nPage);
  auto firstShown = [&] {
    HTREEITEM first = reinterpret_cast<HTREEITEM>(tree.SendMessage(TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
    return first ? tree.GetItemText(first) : L"";
  };
  const HBITMAP skin = CUIResource::GetSkinBitmap();
  auto drag = [&](int to) { ASSERT_TRUE(qvtest::DragPaintedThumb(bar, skin, to)); };
  ASSERT_EQ(s, qvtest::PaintedThumb(bar, skin).first);
  // The item that comes first at the bottom is the selected one.
  HTREEITEM selected = tree.GetNextItem(nullptr, TVGN_LASTVISIBLE);
  for (int i = 1; selected && i < page; ++i) selected = tree.GetNextItem(selected, TVGN_PREVIOUSVISIBLE);
  tree.SelectItem(selected);
  tree.SendMessage(WM_VSCROLL, SB_TOP, 0);
  drag(barRect.bottom + 40);
  EXPECT_EQ(L"主机" + std::to_wstring(kRows - page), firstShown());
  EXPECT_EQ(kRows - page, ::GetScrollPos(tree, SB_VERT));
  EXPECT_EQ(barRect.bottom - s, qvtest::PaintedThumb(bar, skin).second);

  drag(barRect.bottom * 3 / 4);
  const int row = ::GetScrollPos(tree, SB_VERT);
  EXPECT_GT(row, 32767);
  EXPECT_LT(row, kRows - page);
  EXPECT_EQ(L"主机" + std::to_wstring(row), firstShown());
  EXPECT_EQ(row, barInfo().nPos);
}

}  // namespace
