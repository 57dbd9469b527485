#pragma once
// A tri-state tree's items as a test reaches them: found by text in display order,
// toggled as the space key toggles the selected item's box, and the checked ones read
// back as "a|b".
#include <gtest/gtest.h>

#include <string>

#include "controls/CMulStatusTree.h"

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

}  // namespace qvtest
