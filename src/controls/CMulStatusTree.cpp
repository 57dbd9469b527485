#include "controls/CMulStatusTree.h"

#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "controls/CSkinScrollWnd.h"
#include "platform/CAppModule.h"
#include "platform/CGdiObject.h"
#include "platform/DebugReport.h"
#include "platform/OwnDelivery.h"
#include "platform/TextConv.h"

namespace {
POINT PointOf(LPARAM lParam) {
  return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}
}  // namespace

CMulStatusTree::CMulStatusTree(HBITMAP scrollSkin, UINT skinId)
    : m_scrollSkin(scrollSkin), m_skinId(skinId) {}

CMulStatusTree::~CMulStatusTree() {
  if (::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

HWND CMulStatusTree::Create(HWND parent, const RECT& rc, LPCWSTR name, DWORD style,
                            DWORD exStyle, UINT id, void* param) {
  m_notifyTarget = ::GetParent(parent);
  m_treeNotified = parent;
  return CWindowImpl::Create(parent, rc, name, style, exStyle, id, param);
}

BOOL CMulStatusTree::SubclassWindow(HWND hWnd) {
  if (!CWindowImpl::SubclassWindow(hWnd)) return FALSE;
  m_notifyTarget = ::GetParent(::GetParent(hWnd));
  m_treeNotified = ::GetParent(hWnd);
  SetUp();
  return TRUE;
}

namespace {
LRESULT CALLBACK UnheardProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return message == WM_NOTIFY ? 0 : ::DefWindowProcW(window, message, wParam, lParam);
}
}  // namespace

void CMulStatusTree::Unheard(const std::function<void()>& act) {
  if (!::IsWindow(m_hWnd)) return;
  HWND notified = ::IsWindow(m_treeNotified) ? m_treeNotified : nullptr;
  const LONG_PTR proc =
      notified ? ::SetWindowLongPtrW(notified, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&UnheardProc)) : 0;
  act();
  if (notified) ::SetWindowLongPtrW(notified, GWLP_WNDPROC, proc);
}

void CMulStatusTree::DestroyUnheard() {
  Unheard([this] { ::DestroyWindow(m_hWnd); });
}

void CMulStatusTree::DeleteAllUnheard() {
  Unheard([this] { DeleteAllItems(); });
}

void CMulStatusTree::SetUp() {
  HINSTANCE instance = g_module.GetResourceInstance();
  if (!instance) instance = ::GetModuleHandleW(nullptr);
  // Our own copy: adding it masked blackens its transparent pixels.
  CBitmap states(::LoadBitmapW(instance, MAKEINTRESOURCEW(kStateBitmapId)));
  if (states.IsNull()) {
    qv::DebugReport("Failed loading bitmap " + std::to_string(kStateBitmapId), "mulstatustree",
                    __LINE__);
  } else if (m_stateImages.Create(16, 16, ILC_COLOR32 | ILC_MASK, 4, 1)) {
    m_stateImages.Add(states, RGB(255, 0, 255));
    SetImageList(m_stateImages, TVSIL_STATE);
  }
  SkinWndScroll(m_hWnd, m_scrollSkin, m_skinId);
}

HTREEITEM CMulStatusTree::InsertItem(LPCWSTR text, int image, int selectedImage, HTREEITEM parent,
                                     HTREEITEM after, int state, LPARAM data) {
  TVINSERTSTRUCTW tvis{};
  tvis.hParent = parent;
  tvis.hInsertAfter = after;
  tvis.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
  tvis.item.pszText = const_cast<LPWSTR>(qv::OrEmpty(text));
  tvis.item.iImage = image;
  tvis.item.iSelectedImage = selectedImage;
  tvis.item.lParam = data;
  return InsertWithCheck(tvis, state);
}

// The item goes in with its box in one call of the tree view's own, and the parent is
// recomputed as SetCheck does (a new item has no children to push the state down to):
// the pickers and the strategy wizard fill trees of 20,000 hosts, and a call through
// the window's hooks per item and attribute cost seconds.
HTREEITEM CMulStatusTree::InsertWithCheck(TVINSERTSTRUCTW& tvis, int state) {
  if (state < EM_TVIS_NONE || state > EM_TVIS_CHECK) state = EM_TVIS_NONE;  // SetCheck would refuse it
  tvis.item.mask |= TVIF_STATE;
  tvis.item.state = INDEXTOSTATEIMAGEMASK(state);
  tvis.item.stateMask = TVIS_STATEIMAGEMASK;
  // The parent as given: Wine's tree finds an item by a search of all items in the order
  // they came, so a call on the newest one costs a search of the whole tree.
  const HTREEITEM parent = tvis.hParent == TVI_ROOT ? nullptr : tvis.hParent;
  const HTREEITEM item = reinterpret_cast<HTREEITEM>(TreeCall(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&tvis)));
  if (item && parent && state != EM_TVIS_NONE) {
    ForgetRowUnlike(parent, state);
    UpdateRowsFrom(parent, state);
  }
  return item;
}

HTREEITEM CMulStatusTree::InsertPlainItem(LPCWSTR text, int image, HTREEITEM parent, HTREEITEM after,
                                          DWORD_PTR data) {
  TVINSERTSTRUCTW tvis{};
  tvis.hParent = parent;
  tvis.hInsertAfter = after;
  tvis.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_STATE;
  tvis.item.pszText = const_cast<LPWSTR>(qv::OrEmpty(text));
  tvis.item.iImage = tvis.item.iSelectedImage = image;
  tvis.item.lParam = static_cast<LPARAM>(data);
  tvis.item.state = INDEXTOSTATEIMAGEMASK(EM_TVIS_NONE);
  tvis.item.stateMask = TVIS_STATEIMAGEMASK;
  return InsertItemDirect(tvis);
}

HTREEITEM CMulStatusTree::InsertOpenGroup(LPCWSTR text, int image) {
  TVINSERTSTRUCTW tvis{};
  tvis.hParent = TVI_ROOT;
  tvis.hInsertAfter = TVI_LAST;
  tvis.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
  tvis.item.pszText = const_cast<LPWSTR>(qv::OrEmpty(text));
  tvis.item.iImage = tvis.item.iSelectedImage = image;
  tvis.item.state = INDEXTOSTATEIMAGEMASK(EM_TVIS_NONE) | TVIS_EXPANDED;
  tvis.item.stateMask = TVIS_STATEIMAGEMASK | TVIS_EXPANDED;
  return InsertItemDirect(tvis);
}

HTREEITEM CMulStatusTree::InsertItemDirect(const TVINSERTSTRUCTW& insert) {
  if (insert.item.mask & TVIF_STATE) m_uniform.clear();  // as for an insert from outside
  return reinterpret_cast<HTREEITEM>(TreeCall(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

HTREEITEM CMulStatusTree::InsertTextItem(LPCWSTR text, HTREEITEM parent, HTREEITEM after,
                                         int state) {
  TVINSERTSTRUCTW tvis{};
  tvis.hParent = parent;
  tvis.hInsertAfter = after;
  tvis.item.mask = TVIF_TEXT;
  tvis.item.pszText = const_cast<LPWSTR>(qv::OrEmpty(text));
  return InsertWithCheck(tvis, state);
}

BOOL CMulStatusTree::GetCheck(HTREEITEM item, int* state) const {
  if (!item) return FALSE;
  TVITEMW tvi{};
  tvi.mask = TVIF_HANDLE | TVIF_STATE;
  tvi.hItem = item;
  tvi.stateMask = TVIS_STATEIMAGEMASK;
  if (!TreeCall(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvi))) return FALSE;
  *state = static_cast<int>((tvi.state & TVIS_STATEIMAGEMASK) >> 12);
  return TRUE;
}

int CMulStatusTree::GetCheck(HTREEITEM item) const {
  int state = EM_TVIS_NONE;
  return GetCheck(item, &state) ? state : EM_TVIS_NONE;
}

void CMulStatusTree::ForgetRowUnlike(HTREEITEM parent, int state) {
  if (state == EM_TVIS_NONE || m_uniform.empty()) return;
  auto known = m_uniform.find(parent);
  if (known != m_uniform.end() && known->second != state) m_uniform.erase(known);
}

BOOL CMulStatusTree::WriteCheck(HTREEITEM item, int state) {
  if (state != EM_TVIS_NONE && !m_uniform.empty()) ForgetRowUnlike(Relative(item, TVGN_PARENT), state);
  TVITEMW tvi{};
  tvi.mask = TVIF_HANDLE | TVIF_STATE;
  tvi.hItem = item;
  tvi.state = INDEXTOSTATEIMAGEMASK(state);
  tvi.stateMask = TVIS_STATEIMAGEMASK;
  return static_cast<BOOL>(TreeCall(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tvi)));
}

// Item reads and writes of our own go straight to the tree view's procedure: the walks
// make several per item, and they need nothing of this window's message map.
LRESULT CMulStatusTree::TreeCall(UINT msg, WPARAM wParam, LPARAM lParam) const {
  return ::CallWindowProcW(m_pfnSuperWindowProc, m_hWnd, msg, wParam, lParam);
}

HTREEITEM CMulStatusTree::Relative(HTREEITEM item, UINT code) const {
  return reinterpret_cast<HTREEITEM>(TreeCall(TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
}

// Writes from outside (and deletions) go through the message map. An item record that
// another program posted or sent points anywhere: neither this map nor the tree view
// reads it.
LRESULT CMulStatusTree::OnItemsChanging(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
  const bool record =
      uMsg == TVM_INSERTITEMA || uMsg == TVM_INSERTITEMW || uMsg == TVM_SETITEMA || uMsg == TVM_SETITEMW;
  if (record && !OwnDelivery::IsDelivering(m_hWnd, uMsg, wParam, lParam)) return 0;
  bHandled = FALSE;
  bool forget = false;
  switch (uMsg) {
    case TVM_DELETEITEM:  // a handle may come back for another item
      forget = true;
      break;
    case TVM_EXPAND:
      forget = (wParam & TVE_COLLAPSERESET) != 0;
      break;
    case TVM_INSERTITEMA:
    case TVM_INSERTITEMW:
      forget = lParam && (reinterpret_cast<const TVINSERTSTRUCTW*>(lParam)->item.mask & TVIF_STATE);
      break;
    case TVM_SETITEMA:
    case TVM_SETITEMW: {
      const auto* tvi = reinterpret_cast<const TVITEMW*>(lParam);
      forget = tvi && (tvi->mask & TVIF_STATE) && (tvi->stateMask & TVIS_STATEIMAGEMASK);
      break;
    }
    default:
      break;
  }
  if (forget) m_uniform.clear();
  return 0;
}

BOOL CMulStatusTree::SetCheck(HTREEITEM item, int state, BOOL pushDown) {
  if (!item || state < EM_TVIS_NONE || state > EM_TVIS_CHECK) return FALSE;
  if (!WriteCheck(item, state)) return FALSE;
  // An item that loses its box no longer counts for its parent.
  if (state == EM_TVIS_NONE) return TRUE;
  if (pushDown) SetChildrenCheck(item, state);
  UpdateParentCheck(item, state);
  return TRUE;
}

// Each item's children are written directly, once: remote folder trees run to thousands
// of items, and recomputing the parent after every child would cost a sibling walk each.
void CMulStatusTree::SetChildrenCheck(HTREEITEM item, int state) {
  if (state < EM_TVIS_NONE || state > EM_TVIS_CHECK) return;
  std::vector<HTREEITEM> parents{item};
  while (!parents.empty()) {
    HTREEITEM parent = parents.back();
    parents.pop_back();
    HTREEITEM child = Relative(parent, TVGN_CHILD);
    // A first child without a box keeps the whole row as it is.
    if (!child || GetCheck(child) == EM_TVIS_NONE) continue;
    for (; child; child = Relative(child, TVGN_NEXT)) {
      const int current = GetCheck(child);
      if (current != EM_TVIS_NONE && current != state) WriteCheck(child, state);
      parents.push_back(child);
    }
  }
}

void CMulStatusTree::UpdateParentCheck(HTREEITEM item, int state) { UpdateRowsFrom(Relative(item, TVGN_PARENT), state); }

bool CMulStatusTree::BoxAtOrAbove(HTREEITEM item) const {
  for (; item; item = Relative(item, TVGN_PARENT))
    if (GetCheck(item) != EM_TVIS_NONE) return true;
  return false;
}

void CMulStatusTree::UpdateRowsFrom(HTREEITEM parent, int state) {
  // Only boxes change: under a plain group (the hosts of a picker) there is nothing to
  // recompute, and a walk over its 20,000 children costs Wine's tree a search of all
  // items per step.
  if (!BoxAtOrAbove(parent)) return;
  for (; parent; parent = Relative(parent, TVGN_PARENT)) {
    // Children without a box have no say; the first one with another state decides.
    bool mixed = false;
    auto known = m_uniform.find(parent);
    if (known == m_uniform.end() || known->second != state) {
      for (HTREEITEM s = Relative(parent, TVGN_CHILD); s && !mixed; s = Relative(s, TVGN_NEXT)) {
        const int other = GetCheck(s);
        mixed = other != EM_TVIS_NONE && other != state;
      }
      if (!mixed) m_uniform[parent] = state;
    }
    if (mixed) {
      for (HTREEITEM a = parent; a; a = Relative(a, TVGN_PARENT)) {
        const int current = GetCheck(a);
        if (current != EM_TVIS_NONE && current != EM_TVIS_PARTIAL) WriteCheck(a, EM_TVIS_PARTIAL);
      }
      return;
    }
    const int current = GetCheck(parent);
    if (current != EM_TVIS_NONE && current != state) WriteCheck(parent, state);
  }
}

HTREEITEM CMulStatusTree::Advance(HTREEITEM item, bool enter) const {
  if (enter) {
    if (HTREEITEM child = Relative(item, TVGN_CHILD)) return child;
  }
  for (; item; item = Relative(item, TVGN_PARENT)) {
    if (HTREEITEM next = Relative(item, TVGN_NEXT)) return next;
  }
  return nullptr;
}

// Groups without a box are entered like partly checked items, so that First and Next
// find the same items: the checked hosts below a plain group are a strategy's targets.
HTREEITEM CMulStatusTree::FindChecked(HTREEITEM item) const {
  while (item) {
    const int state = GetCheck(item);
    if (state == EM_TVIS_CHECK) return item;
    item = Advance(item, state == EM_TVIS_NONE || state == EM_TVIS_PARTIAL);
  }
  return nullptr;
}

HTREEITEM CMulStatusTree::GetFirstCheckedItem(HTREEITEM start) const {
  return FindChecked(start ? start : Relative(nullptr, TVGN_ROOT));
}

HTREEITEM CMulStatusTree::GetNextCheckedItem(HTREEITEM item) const {
  return item ? FindChecked(Advance(item, false)) : nullptr;
}

LRESULT CMulStatusTree::NotifyParent(HTREEITEM item, int state, int code) const {
  if (!m_notifyTarget) return 0;
  CMulStatusTreeNotify nm{};
  nm.hdr.hwndFrom = m_hWnd;
  nm.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
  nm.hdr.code = static_cast<UINT>(code);
  nm.hItem = item;
  nm.nState = state;
  return ::SendMessageW(m_notifyTarget, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
}

void CMulStatusTree::Toggle(HTREEITEM item) {
  const int state = GetCheck(item);
  if (state == EM_TVIS_NONE) return;
  const int next = state == EM_TVIS_CHECK ? EM_TVIS_UNCHECK : EM_TVIS_CHECK;
  SetCheck(item, next, TRUE);
  NotifyParent(item, next, kNotifyCheckChanged);
}

LRESULT CMulStatusTree::OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
  LRESULT result = DefWindowProc(uMsg, wParam, lParam);
  if (result != -1) SetUp();
  return result;
}

LRESULT CMulStatusTree::OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
  LRESULT result = DefWindowProc(uMsg, wParam, lParam);
  SetImageList(nullptr, TVSIL_STATE);
  m_stateImages.Destroy();
  m_uniform.clear();
  return result;
}

LRESULT CMulStatusTree::OnLButtonDown(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
  const POINT pt = PointOf(lParam);
  UINT flags = 0;
  HTREEITEM item = HitTest(pt, &flags);
  m_lastHitFlags = flags;
  if (item && (flags & TVHT_ONITEMSTATEICON)) {
    if (m_checkBoxes && GetCheck(item) != EM_TVIS_NONE) {
      Toggle(item);
      if (IsWindow()) SelectItem(item);
    }
    return 0;
  }
  DefWindowProc(uMsg, wParam, lParam);
  // The page hears of the click after the tree has selected the item.
  if (item && (flags & TVHT_ONITEMLABEL) && IsWindow())
    NotifyParent(item, -1, kNotifyLabelClick);
  return 0;
}

LRESULT CMulStatusTree::OnLButtonDblClk(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
  const POINT pt = PointOf(lParam);
  UINT flags = 0;
  // The first click of the pair has toggled the box; the second neither toggles nor expands.
  bHandled = HitTest(pt, &flags) && (flags & TVHT_ONITEMSTATEICON);
  return 0;
}

// A thumb's position holds 16 bits in the message; the skinned bar in lParam has all 32
// (when they end in those 16). The tree view itself reads a thumb's row as 16 signed
// bits, so past row 32,767 the row is put first here.
LRESULT CMulStatusTree::OnScroll(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
  const int code = LOWORD(wParam);
  bHandled = FALSE;
  if (code != SB_THUMBTRACK && code != SB_THUMBPOSITION) return 0;
  int position = HIWORD(wParam);
  SCROLLINFO bar{sizeof bar, SIF_TRACKPOS, 0, 0, 0, 0, 0};
  if (lParam && ::GetScrollInfo(reinterpret_cast<HWND>(lParam), SB_CTL, &bar) &&
      LOWORD(bar.nTrackPos) == HIWORD(wParam))
    position = bar.nTrackPos;
  ::SetScrollPos(m_hWnd, uMsg == WM_VSCROLL ? SB_VERT : SB_HORZ, position, TRUE);
  if (uMsg == WM_VSCROLL && position > SHRT_MAX) bHandled = ShowRowFirst(position);
  return 0;
}

// Wine's tree view finds an item by a search of all of them, so the walk to the row
// starts from the nearest item whose row is known: the first shown, the last, or the
// one the tree view itself puts first at row 32,767. An item's row is how far below the
// first item its rectangle lies.
BOOL CMulStatusTree::ShowRowFirst(int row) {
  const HTREEITEM top = GetRootItem();
  const int height = static_cast<int>(TreeCall(TVM_GETITEMHEIGHT, 0, 0));
  RECT topRect{};
  if (!top || height <= 0 || !GetItemRect(top, &topRect, FALSE)) return FALSE;
  auto rowOf = [&](HTREEITEM item) {
    RECT rc{};
    return item && GetItemRect(item, &rc, FALSE) ? (rc.top - topRect.top) / height : -1;
  };
  HTREEITEM from = Relative(nullptr, TVGN_FIRSTVISIBLE);
  int fromRow = rowOf(from);
  const HTREEITEM last = Relative(nullptr, TVGN_LASTVISIBLE);
  const int lastRow = rowOf(last);
  if (lastRow >= 0 && (fromRow < 0 || std::abs(lastRow - row) < std::abs(fromRow - row))) {
    from = last;
    fromRow = lastRow;
  }
  if (fromRow < 0 || row - SHRT_MAX < std::abs(fromRow - row)) {
    TreeCall(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, SHRT_MAX), 0);
    from = Relative(nullptr, TVGN_FIRSTVISIBLE);
    fromRow = rowOf(from);
    if (fromRow < 0) return FALSE;
  }
  for (; from && fromRow < row; ++fromRow) from = Relative(from, TVGN_NEXTVISIBLE);
  for (; from && fromRow > row; --fromRow) from = Relative(from, TVGN_PREVIOUSVISIBLE);
  if (!from) return FALSE;
  // Asked to put its selected item first, the tree view leaves its view as it is: a
  // neighbour goes first, and a line's scroll brings the item.
  HTREEITEM first = from;
  WPARAM line = 0;
  if (from == Relative(nullptr, TVGN_CARET)) {
    if (HTREEITEM next = Relative(from, TVGN_NEXTVISIBLE)) {
      first = next;
      line = SB_LINEUP;
    } else if (HTREEITEM previous = Relative(from, TVGN_PREVIOUSVISIBLE)) {
      first = previous;
      line = SB_LINEDOWN;
    }
  }
  TreeCall(TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(first));
  if (line && Relative(nullptr, TVGN_FIRSTVISIBLE) != from) TreeCall(WM_VSCROLL, line, 0);
  return TRUE;
}

LRESULT CMulStatusTree::OnKeyDown(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  if (wParam != VK_SPACE || !m_checkBoxes) {
    bHandled = FALSE;
    return 0;
  }
  if (HTREEITEM item = GetSelectedItem()) Toggle(item);
  return 0;
}
