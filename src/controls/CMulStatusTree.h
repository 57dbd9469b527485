#pragma once
// A tree view whose items carry an optional three-state check box, kept as the item's
// state-image index. Checking an item can push its state down to the descendants and
// always recomputes the ancestors. A click on a box (or Space) toggles it and tells the
// window above the tree's parent (-1501); a click on a label tells it too (-1502).
// Items and their states live in the tree view itself; the object owns only its state
// image list. UI thread only.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <unordered_map>

#include "platform/CImageList.h"
#include "platform/CTreeViewCtrl.h"
#include "platform/CWindowImpl.h"

// Check states: the item's state-image index.
enum {
  EM_TVIS_NONE = 0,     // no check box
  EM_TVIS_UNCHECK = 1,
  EM_TVIS_PARTIAL = 2,  // some descendants checked, some not
  EM_TVIS_CHECK = 3,
};

// WM_NOTIFY record of the tree: the item and its new check state (-1 for a label click).
struct CMulStatusTreeNotify {
  NMHDR hdr;
  HTREEITEM hItem;
  int nState;
};

class CMulStatusTree : public CWindowImpl<CMulStatusTree, CTreeViewCtrl> {
 public:
  static constexpr int kNotifyCheckChanged = -1501;
  static constexpr int kNotifyLabelClick = -1502;
  static constexpr UINT kStateBitmapId = 115;

  DECLARE_WND_SUPERCLASS(L"QvMulStatusTree", CTreeViewCtrl::GetWndClassName())

  CMulStatusTree(HBITMAP scrollSkin, UINT skinId);
  ~CMulStatusTree() override;
  CMulStatusTree(const CMulStatusTree&) = delete;
  CMulStatusTree& operator=(const CMulStatusTree&) = delete;

  // The notifications go to the parent's own parent: the dialog above its layout view.
  HWND Create(HWND parent, const RECT& rc = RECT{0, 0, 0, 0}, LPCWSTR name = nullptr,
              DWORD style = 0, DWORD exStyle = 0, UINT id = 0, void* param = nullptr);
  // Takes over an existing tree and sets it up as on creation.
  BOOL SubclassWindow(HWND hWnd);
  // Destroys the window unheard: Wine's tree view tells its parent of every item it
  // deletes as it goes, and a message to a window of ours costs a trip to the window
  // server to find its object, so a tree of 20,000 hosts took a second to go. Nobody
  // needs those notices once the whole tree goes.
  void DestroyUnheard();
  // Deletes every item unheard, as above: the tree is filled again.
  void DeleteAllUnheard();

  // Wine's tree view finds an item by a search of all its items in the order they were
  // inserted: calls on late items of a large tree cost the most, so a row of hosts goes
  // in after TVI_LAST, not after the host inserted before. The item's data word is `data`.
  HTREEITEM InsertItem(LPCWSTR text, int image, int selectedImage, HTREEITEM parent,
                       HTREEITEM after, int state, LPARAM data = 0);
  HTREEITEM InsertTextItem(LPCWSTR text, HTREEITEM parent, HTREEITEM after, int state);
  // Straight to the tree view's procedure, past the window's hooks: the trees of a large
  // site's hosts are filled with these.
  HTREEITEM InsertItemDirect(const TVINSERTSTRUCTW& insert);
  // An item without a check box, with its picture and data word.
  HTREEITEM InsertPlainItem(LPCWSTR text, int image, HTREEITEM parent, HTREEITEM after, DWORD_PTR data);
  // A top item without a box that shows its children from the start: one that is
  // expanded once its first children are in stays closed when they come later.
  HTREEITEM InsertOpenGroup(LPCWSTR text, int image);
  using CTreeViewCtrl::InsertItem;

  BOOL GetCheck(HTREEITEM item, int* state) const;
  int GetCheck(HTREEITEM item) const;  // EM_TVIS_NONE when the item cannot be read
  // State 0 to 3. Ancestors are recomputed unless the item loses its box.
  BOOL SetCheck(HTREEITEM item, int state, BOOL pushDown);

  // The checked items in pre-order: from the given item (0: the first root); items
  // without a box and partly checked ones are entered, unchecked ones skipped, and a
  // checked item's own descendants are not visited.
  HTREEITEM GetFirstCheckedItem(HTREEITEM start = nullptr) const;
  HTREEITEM GetNextCheckedItem(HTREEITEM item) const;

  void SetChildrenCheck(HTREEITEM item, int state);
  void UpdateParentCheck(HTREEITEM item, int state);
  LRESULT NotifyParent(HTREEITEM item, int state, int code) const;

  BEGIN_MSG_MAP(CMulStatusTree)
    MESSAGE_HANDLER(WM_CREATE, OnCreate)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnLButtonDblClk)
    MESSAGE_HANDLER(WM_HSCROLL, OnScroll)
    MESSAGE_HANDLER(WM_VSCROLL, OnScroll)
    MESSAGE_HANDLER(WM_KEYDOWN, OnKeyDown)
    MESSAGE_RANGE_HANDLER(TVM_INSERTITEMA, TVM_SETITEMW, OnItemsChanging)
    // A click that toggled a box gets no default click handling. Reflected key-downs
    // and right clicks answer 0: typed characters take part in the incremental search.
    if (uMsg == OCM_NOTIFY && reinterpret_cast<LPNMHDR>(lParam)->code == static_cast<UINT>(NM_CLICK))
      QV_MAP_CALL((m_lastHitFlags & TVHT_ONITEMSTATEICON) ? 1 : 0)
    DEFAULT_REFLECTION_HANDLER()
  END_MSG_MAP()

 private:
  LRESULT OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnLButtonDown(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnLButtonDblClk(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnScroll(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  // Puts the item of the row (in the order items show) first; FALSE when it is not found.
  BOOL ShowRowFirst(int row);
  LRESULT OnKeyDown(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  // Forgets what it knew of rows of children when items go or states are set from outside.
  LRESULT OnItemsChanging(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);

  void SetUp();
  // Runs `act` while the window the tree view tells of its items hears nothing.
  void Unheard(const std::function<void()>& act);
  LRESULT TreeCall(UINT msg, WPARAM wParam, LPARAM lParam) const;
  HTREEITEM Relative(HTREEITEM item, UINT code) const;
  HTREEITEM InsertWithCheck(TVINSERTSTRUCTW& insert, int state);
  // The parent is no longer known to have children of one state, unless of `state`.
  void ForgetRowUnlike(HTREEITEM parent, int state);
  // The ancestor rule from parent up, after a child of parent took `state`.
  void UpdateRowsFrom(HTREEITEM parent, int state);
  bool BoxAtOrAbove(HTREEITEM item) const;
  // Writes the state without touching relatives; FALSE when the item cannot be written.
  BOOL WriteCheck(HTREEITEM item, int state);
  // The user's toggle (click or Space): notifies the target with the new state.
  void Toggle(HTREEITEM item);
  // Pre-order step after `item`: into its first child when `enter`, else to the next
  // sibling of it or of its nearest ancestor that has one.
  HTREEITEM Advance(HTREEITEM item, bool enter) const;
  HTREEITEM FindChecked(HTREEITEM item) const;

  HBITMAP m_scrollSkin;
  UINT m_skinId;
  UINT m_lastHitFlags = 0;
  CImageList m_stateImages;
  BOOL m_checkBoxes = TRUE;
  HWND m_notifyTarget = nullptr;
  HWND m_treeNotified = nullptr;  // the parent the tree view itself tells of its items
  // Parents whose boxed children are known to share one state, so that filling a long
  // row of children does not compare each new child with all the others.
  std::unordered_map<HTREEITEM, int> m_uniform;
};
