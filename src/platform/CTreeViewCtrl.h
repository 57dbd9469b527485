#pragma once
// Tree view wrapper.
#include <commctrl.h>

#include "platform/CWindow.h"

class CTreeViewCtrl : public CWindow {
 public:
  CTreeViewCtrl(HWND wnd = nullptr) : CWindow(wnd) {}  // NOLINT
  static LPCWSTR GetWndClassName() { return WC_TREEVIEWW; }
  HTREEITEM InsertItem(LPCWSTR text, HTREEITEM parent, HTREEITEM after) const {
    TVINSERTSTRUCTW tvis{};
    tvis.hParent = parent;
    tvis.hInsertAfter = after;
    tvis.item.mask = TVIF_TEXT;
    tvis.item.pszText = const_cast<LPWSTR>(text ? text : L"");
    return InsertItem(tvis);
  }
  HTREEITEM InsertItem(const TVINSERTSTRUCTW& tvis) const {
    return reinterpret_cast<HTREEITEM>(SendMessage(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&tvis)));
  }
  BOOL SetItem(const TVITEMW& item) const {
    return static_cast<BOOL>(SendMessage(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  }
  BOOL SetItemState(HTREEITEM item, UINT state, UINT mask) const {
    TVITEMW tvi{};
    tvi.mask = TVIF_STATE;
    tvi.hItem = item;
    tvi.state = state;
    tvi.stateMask = mask;
    return SetItem(tvi);
  }
  BOOL Expand(HTREEITEM item, UINT code = TVE_EXPAND) const {
    return static_cast<BOOL>(SendMessage(TVM_EXPAND, code, reinterpret_cast<LPARAM>(item)));
  }
  BOOL SelectItem(HTREEITEM item) const {
    return static_cast<BOOL>(SendMessage(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)));
  }
  HTREEITEM HitTest(POINT pt, UINT* flags) const {
    TVHITTESTINFO hit{};
    hit.pt = pt;
    auto item = reinterpret_cast<HTREEITEM>(SendMessage(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (flags) *flags = hit.flags;
    return item;
  }
  HIMAGELIST SetImageList(HIMAGELIST list, int which) const {
    return reinterpret_cast<HIMAGELIST>(
        SendMessage(TVM_SETIMAGELIST, which, reinterpret_cast<LPARAM>(list)));
  }
  BOOL GetItemRect(HTREEITEM item, RECT* rc, BOOL textOnly) const {
    *reinterpret_cast<HTREEITEM*>(rc) = item;
    return static_cast<BOOL>(SendMessage(TVM_GETITEMRECT, textOnly, reinterpret_cast<LPARAM>(rc)));
  }
  UINT GetCount() const { return static_cast<UINT>(SendMessage(TVM_GETCOUNT)); }
  HTREEITEM GetRootItem() const { return GetNextItem(nullptr, TVGN_ROOT); }
  HTREEITEM GetChildItem(HTREEITEM item) const { return GetNextItem(item, TVGN_CHILD); }
  HTREEITEM GetNextSiblingItem(HTREEITEM item) const { return GetNextItem(item, TVGN_NEXT); }
  HTREEITEM GetParentItem(HTREEITEM item) const { return GetNextItem(item, TVGN_PARENT); }
  HTREEITEM GetSelectedItem() const { return GetNextItem(nullptr, TVGN_CARET); }
  HTREEITEM GetNextItem(HTREEITEM item, UINT code) const {
    return reinterpret_cast<HTREEITEM>(SendMessage(TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
  }
  BOOL DeleteAllItems() const {
    return static_cast<BOOL>(SendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)));
  }
};
