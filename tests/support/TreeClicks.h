#pragma once
// A tri-state tree's items as a test reaches them: found by text in display order or
// among one item's children, a parent's children listed, toggled as the space key toggles the selected item's box, the checked ones read
// back as "a|b", and an item's expand button clicked where it is painted.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "controls/CMulStatusTree.h"
#include "support/DibCanvas.h"

namespace qvtest {

inline HTREEITEM FindItem(const CMulStatusTree& tree, const std::wstring& text) {
  HTREEITEM item = tree.GetRootItem();
  while (item && tree.GetItemText(item) != text) {  // pre-order
    HTREEITEM next = tree.GetChildItem(item);
    for (HTREEITEM up = item; !next && up; up = tree.GetParentItem(up)) next = tree.GetNextSiblingItem(up);
    item = next;
  }
  return item;
}

inline std::vector<std::wstring> Children(const CMulStatusTree& tree, HTREEITEM parent) {
  std::vector<std::wstring> texts;
  for (HTREEITEM c = tree.GetChildItem(parent); c; c = tree.GetNextSiblingItem(c)) texts.push_back(tree.GetItemText(c));
  return texts;
}

inline HTREEITEM Child(const CMulStatusTree& tree, HTREEITEM parent, const std::wstring& text) {
  HTREEITEM c = tree.GetChildItem(parent);
  while (c && tree.GetItemText(c) != text) c = tree.GetNextSiblingItem(c);
  return c;
}

inline void ToggleItem(CMulStatusTree& tree, const std::wstring& text) {
  HTREEITEM item = FindItem(tree, text);
  ASSERT_TRUE(item) << testing::PrintToString(text);
  tree.SelectItem(item);
  ::SendMessageW(tree, WM_KEYDOWN, VK_SPACE, 0);
}

inline std::wstring CheckedItems(const CMulStatusTree& tree) {
  std::wstring texts;
  for (HTREEITEM i = tree.GetFirstCheckedItem(); i; i = tree.GetNextCheckedItem(i))
    texts += (texts.empty() ? L"" : L"|") + tree.GetItemText(i);
  return texts;
}

// Where the item's expand button is painted: the tree draws itself into a bitmap, and
// the button is the leftmost outlined square in the item's row before its label (the
// lines around it are dotted, the pictures come after it). False, with a test failure,
// when the row is not in view or shows no button.
inline bool ExpandButtonPoint(const CMulStatusTree& tree, HTREEITEM item, POINT& at) {
  RECT client{}, row{}, label{};
  ::GetClientRect(tree, &client);
  if (!tree.GetItemRect(item, &row, FALSE) || !tree.GetItemRect(item, &label, TRUE) ||
      row.top < 0 || row.bottom > client.bottom) {
    ADD_FAILURE() << "the tree item " << testing::PrintToString(tree.GetItemText(item)) << " is not in view";
    return false;
  }
  DibCanvas canvas(client.right, client.bottom, RGB(1, 2, 3));
  ::SendMessageW(tree, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT | PRF_ERASEBKGND);
  std::map<COLORREF, int> count;  // the row's background is its most common colour
  for (int y = row.top; y < row.bottom; ++y)
    for (int x = 0; x < label.left; ++x) ++count[canvas.At(x, y)];
  COLORREF back = CLR_INVALID;
  for (const auto& c : count)
    if (back == CLR_INVALID || c.second > count[back]) back = c.first;
  const int kMinSide = 5;
  for (int x = 0; x + kMinSide <= label.left; ++x)
    for (int y = row.top; y + kMinSide <= row.bottom; ++y) {
      const COLORREF ink = canvas.At(x, y);
      if (ink == back) continue;
      int right = x, bottom = y;  // the top edge and the left edge from this corner
      while (right + 1 < label.left && canvas.At(right + 1, y) == ink) ++right;
      while (bottom + 1 < row.bottom && canvas.At(x, bottom + 1) == ink) ++bottom;
      if (right - x + 1 < kMinSide || bottom != y + (right - x)) continue;
      bool closed = true;  // the right and bottom edges
      for (int i = 0; i <= right - x && closed; ++i)
        closed = canvas.At(right, y + i) == ink && canvas.At(x + i, bottom) == ink;
      if (!closed) continue;
      at = POINT{(x + right) / 2, (y + bottom) / 2};
      return true;
    }
  ADD_FAILURE() << "the tree item " << testing::PrintToString(tree.GetItemText(item)) << " shows no expand button";
  return false;
}

// Moves there, presses and releases the left button.
inline bool ClickExpandButton(CMulStatusTree& tree, HTREEITEM item) {
  POINT at{};
  if (!ExpandButtonPoint(tree, item, at)) return false;
  const LPARAM where = MAKELPARAM(at.x, at.y);
  ::SendMessageW(tree, WM_MOUSEMOVE, 0, where);
  ::SendMessageW(tree, WM_LBUTTONDOWN, MK_LBUTTON, where);
  ::SendMessageW(tree, WM_LBUTTONUP, 0, where);
  return true;
}

}  // namespace qvtest
