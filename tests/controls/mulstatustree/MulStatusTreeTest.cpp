// The tri-state tree: check propagation, enumeration of checked items, and the clicks
// and keys that toggle boxes and notify the dialog above the tree's view.
#include <windows.h>
#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "controls/CMulStatusTree.h"
#include "controls/CUIResource.h"
#include "support/ElementHost.h"

namespace {

class MulStatusTreeTest : public ::testing::Test {
 protected:
  struct Note {
    int code;
    HTREEITEM item;
    int state;
    HTREEITEM selected;  // the tree's selection when the dialog heard of it
  };
  static void SetUpTestSuite() { CUIResource::Init(); }
  static void TearDownTestSuite() { CUIResource::Uninit(); }
  void SetUp() override {
    ASSERT_TRUE(tree.Create(host.View(), RECT{0, 0, 160, 120}, nullptr,
                            WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES, 0, 77));
    host.onDialogNotify = [this](const NMHDR* h) {
      const auto* n = reinterpret_cast<const CMulStatusTreeNotify*>(h);
      if (h->hwndFrom == tree)
        notes.push_back({static_cast<int>(h->code), n->hItem, n->nState, tree.GetSelectedItem()});
    };
  }
  // "G1(P1(a1 b1))": a one-letter name and a state per item, children in brackets; the
  // states are written straight into the tree view.
  void Build(const char*& p, HTREEITEM parent = TVI_ROOT) {
    while (*p && *p != ')') {
      if (*p == ' ' && *++p) continue;
      HTREEITEM item = tree.InsertItem(std::wstring(1, p[0]).c_str(), parent, TVI_LAST);
      tree.SetItemState(item, INDEXTOSTATEIMAGEMASK(p[1] - '0'), TVIS_STATEIMAGEMASK);
      items[p[0]] = item;
      p += 2;
      if (*p == '(') Build(++p, item), ++p;
    }
  }
  std::string Dump(HTREEITEM item) {
    std::string out;
    for (; item; item = tree.GetNextSiblingItem(item)) {
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
    const POINT pt{box ? rc.left - 8 : rc.left + 2, (rc.top + rc.bottom) / 2};
    UINT flags = 0;
    EXPECT_EQ(items[name], tree.HitTest(pt, &flags));
    EXPECT_TRUE(flags & (box ? TVHT_ONITEMSTATEICON : TVHT_ONITEMLABEL)) << flags;
    return MAKELPARAM(pt.x, pt.y);
  }

  ElementHost host;
  CMulStatusTree tree{CUIResource::GetSkinBitmap(), 5001};
  std::map<char, HTREEITEM> items;
  std::vector<Note> notes;
};

TEST_F(MulStatusTreeTest, ChecksPropagateDownAndUp) {
  enum { kPush, kInsert };
  const struct {
    const char *name, *tree;
    char item;
    int state, action;
    const char* expect;
  } cases[] = {
      {"checking a parent checks its subtree", "G1(P1(a1(x0 y1) b1(c1)))", 'P', 3, kPush, "G3(P3(a3(x0 y1) b3(c3)))"},
      {"unchecking clears it", "G3(P3(a3 b3(c3)))", 'P', 1, kPush, "G1(P1(a1 b1(c1)))"},
      {"one of two children", "G1(P1(a1 b1) Q1)", 'a', 3, kPush, "G2(P2(a3 b1) Q1)"},
      {"the last child", "G2(P2(a3 b1) Q3)", 'b', 3, kPush, "G3(P3(a3 b3) Q3)"},
      {"a first child without a box", "P1(x0 a1 b1(c1))", 'P', 3, kPush, "P3(x0 a1 b1(c1))"},
      {"an item losing its box", "G3(P3(a3 b3))", 'a', 0, kPush, "G3(P3(a0 b3))"},
      {"a sibling without a box", "P2(a1 x0 b1)", 'b', 3, kPush, "P2(a1 x0 b3)"},
      {"an unchecked first child", "P3", 'P', 1, kInsert, "P1(n1)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    tree.DeleteAllItems();
    items.clear();
    const char* p = c.tree;
    Build(p);
    if (c.action == kInsert)
      items['n'] = tree.InsertTextItem(L"n", items[c.item], TVI_LAST, c.state);
    else
      EXPECT_TRUE(tree.SetCheck(items[c.item], c.state, TRUE));
    EXPECT_EQ(c.expect, Dump(tree.GetRootItem()));
  }
}

TEST_F(MulStatusTreeTest, EnumerationEntersGroupsWithoutBoxes) {
  const char* p = "A0(h3 k1(m3) B0(x3 y2(z3 w1) v3)) C0(u3 t1)";
  Build(p);
  std::string found;
  for (HTREEITEM i = tree.GetFirstCheckedItem(); i; i = tree.GetNextCheckedItem(i)) found += Name(i);
  EXPECT_EQ("hxzvu", found);
  EXPECT_EQ(items['x'], tree.GetFirstCheckedItem(items['B']));
}

TEST_F(MulStatusTreeTest, DoubleClickOnBoxTogglesOnceAndNotifiesTheDialog) {
  const char* p = "R1(c1)";
  Build(p);
  tree.Expand(items['R']);
  const LPARAM box = At('R', true);
  for (UINT msg : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
    tree.SendMessage(msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, box);
  EXPECT_EQ("R3(c3)", Dump(tree.GetRootItem()));
  EXPECT_TRUE(TreeView_GetItemState(tree, items['R'], TVIS_EXPANDED) & TVIS_EXPANDED);
  ASSERT_EQ(1u, notes.size());
  EXPECT_EQ(CMulStatusTree::kNotifyCheckChanged, notes[0].code);
  EXPECT_EQ(items['R'], notes[0].item);
  EXPECT_EQ(EM_TVIS_CHECK, notes[0].state);
  EXPECT_EQ(1u, host.Notices(static_cast<UINT>(CMulStatusTree::kNotifyCheckChanged)).size());
}

TEST_F(MulStatusTreeTest, LabelClickNotifiesAfterSelecting) {
  const char* p = "R1(c1)";
  Build(p);
  tree.Expand(items['R']);
  const LPARAM label = At('c', false);
  ::PostMessageW(tree, WM_LBUTTONUP, 0, label);  // ends the tree view's drag detection
  tree.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, label);
  ASSERT_EQ(1u, notes.size());
  EXPECT_EQ(CMulStatusTree::kNotifyLabelClick, notes[0].code);
  EXPECT_EQ(items['c'], notes[0].item);
  EXPECT_EQ(-1, notes[0].state);
  EXPECT_EQ(items['c'], notes[0].selected);
  EXPECT_EQ("R1(c1)", Dump(tree.GetRootItem()));
}

TEST_F(MulStatusTreeTest, SpaceTogglesTheSelectedItemAndNotifies) {
  const char* p = "R1(c1)";
  Build(p);
  tree.SelectItem(items['c']);
  tree.SendMessage(WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ("R3(c3)", Dump(tree.GetRootItem()));
  tree.SendMessage(WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ("R1(c1)", Dump(tree.GetRootItem()));
  ASSERT_EQ(2u, notes.size());
  EXPECT_EQ(items['c'], notes[1].item);
  EXPECT_EQ(EM_TVIS_UNCHECK, notes[1].state);
  tree.SendMessage(WM_KEYDOWN, VK_UP, 0);  // other keys still move the selection
  EXPECT_EQ(items['R'], tree.GetSelectedItem());
}

TEST_F(MulStatusTreeTest, VerticalThumbDragKeepsTheHorizontalPosition) {
  tree.SetRedraw(FALSE);
  for (int i = 0; i < 40; ++i)
    tree.InsertTextItem(L"192.168.100.200 一台名字很长的被监控主机", TVI_ROOT, TVI_LAST, EM_TVIS_UNCHECK);
  tree.SetRedraw(TRUE);
  tree.SendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 30), 0);
  tree.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 5), 0);
  EXPECT_EQ(30, ::GetScrollPos(tree, SB_HORZ));
  EXPECT_EQ(5, ::GetScrollPos(tree, SB_VERT));
}

}  // namespace
