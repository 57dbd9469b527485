#pragma once
// The tree of the host and remote-path pickers: a tri-state tree on the dialog's view
// with the pickers' node pictures, where exactly one item is checked. The item the user
// toggles (either way) becomes the checked one and the one before is cleared; an item
// that is deleted stops being the checked one. UI thread only.
#include <windows.h>

#include <cstddef>
#include <string>

#include "controls/CMulStatusTree.h"
#include "platform/CImageList.h"

class PickerTree {
 public:
  PickerTree();
  PickerTree(const PickerTree&) = delete;
  PickerTree& operator=(const PickerTree&) = delete;

  // Creates the tree as a child of the view, with the bitmaps as images 0, 1, ...
  // (32 x 24, magenta transparent).
  bool Create(HWND view, UINT id, DWORD style, const UINT* bitmaps, size_t count);

  // An item with a check box under parent, at its end; its data is `data`.
  HTREEITEM Add(HTREEITEM parent, const std::wstring& text, int image, int state, DWORD_PTR data);

  // The tree's check-changed notification (-1501).
  void OnCheck(HTREEITEM item, int state);
  // The tree's TVN_DELETEITEM.
  void OnDeleted(HTREEITEM item);
  HTREEITEM Checked() const { return m_checked; }
  void SetChecked(HTREEITEM item) { m_checked = item; }
  // The path of the checked branch below top: its first child that is checked or partly
  // checked, as a drive ("本地磁盘(D:)" gives "D:"), then, while the last one taken is
  // partly checked, its first such child, joined with "\"; empty when none is.
  std::wstring CheckedBranch(HTREEITEM top) const;
  // The drive a drive node's text names: the text between "(" and ")", else the text.
  static std::wstring DriveOf(const std::wstring& text);

  CMulStatusTree tree;

 private:
  CImageList m_images;
  HTREEITEM m_checked = nullptr;
};
