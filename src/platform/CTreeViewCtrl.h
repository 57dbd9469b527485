#pragma once
// Tree view wrapper.
#include <commctrl.h>

#include <cwchar>
#include <string>

#include "platform/CWindow.h"
#include "platform/OwnDelivery.h"
#include "platform/TextConv.h"

class CTreeViewCtrl : public CWindow {
 public:
  CTreeViewCtrl(HWND wnd = nullptr) : CWindow(wnd) {}  // NOLINT
  static LPCWSTR GetWndClassName() { return WC_TREEVIEWW; }
  HTREEITEM InsertItem(LPCWSTR text, HTREEITEM parent, HTREEITEM after) const {
    TVINSERTSTRUCTW tvis{};
    tvis.hParent = parent;
    tvis.hInsertAfter = after;
    tvis.item.mask = TVIF_TEXT;
    tvis.item.pszText = const_cast<LPWSTR>(qv::OrEmpty(text));
    return InsertItem(tvis);
  }
  // The item records go as the console's own (a tree of ours reads them only then).
  HTREEITEM InsertItem(const TVINSERTSTRUCTW& tvis) const {
    return reinterpret_cast<HTREEITEM>(
        OwnDelivery::Send(m_hWnd, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&tvis)));
  }
  BOOL SetItem(const TVITEMW& item) const {
    return static_cast<BOOL>(OwnDelivery::Send(m_hWnd, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  }
  BOOL GetItem(TVITEMW* item) const {
    return static_cast<BOOL>(SendMessage(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(item)));
  }
  DWORD_PTR GetItemData(HTREEITEM item) const {
    TVITEMW tvi{};
    tvi.mask = TVIF_PARAM;
    tvi.hItem = item;
    return GetItem(&tvi) ? static_cast<DWORD_PTR>(tvi.lParam) : 0;
  }
  BOOL SetItemData(HTREEITEM item, DWORD_PTR data) const {
    TVITEMW tvi{};
    tvi.mask = TVIF_PARAM;
    tvi.hItem = item;
    tvi.lParam = static_cast<LPARAM>(data);
    return SetItem(tvi);
  }
  // The item's whole text, however long.
  std::wstring GetItemText(HTREEITEM item) const {
    std::wstring text(64, L'\0');
    for (;;) {
      TVITEMW tvi{};
      tvi.mask = TVIF_TEXT;
      tvi.hItem = item;
      tvi.pszText = &text[0];
      tvi.cchTextMax = static_cast<int>(text.size());
      if (!GetItem(&tvi)) return std::wstring();
      const size_t n = wcsnlen(text.c_str(), text.size());
      if (n + 1 < text.size()) return text.substr(0, n);
      text.assign(text.size() * 2, L'\0');
    }
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
  BOOL DeleteItem(HTREEITEM item) const {
    return static_cast<BOOL>(SendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item)));
  }
  BOOL DeleteAllItems() const {
    return static_cast<BOOL>(SendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)));
  }
};
