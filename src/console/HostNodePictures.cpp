#include "console/HostNodePictures.h"

#include "platform/CTreeViewCtrl.h"

void HostNodePictures::Remove(HTREEITEM node) {
  m_onlineByNode.erase(node);
  m_changed.erase(node);
}

void HostNodePictures::Clear() {
  m_onlineByNode.clear();
  m_changed.clear();
}

int HostNodePictures::Picture(HTREEITEM node) const {
  const auto found = m_onlineByNode.find(node);
  return found != m_onlineByNode.end() && found->second ? m_online : m_offline;
}

void HostNodePictures::Set(HTREEITEM node, bool online) {
  const auto found = m_onlineByNode.find(node);
  if (found == m_onlineByNode.end() || found->second == online) return;
  found->second = online;
  m_changed.insert(node);
}

void HostNodePictures::Show(HWND tree) {
  if (m_changed.empty()) return;
  // A tree that is not shown draws every line when it is.
  if (::IsWindowVisible(tree)) {
    const CTreeViewCtrl view(tree);
    const LRESULT lines = view.SendMessage(TVM_GETVISIBLECOUNT) + 1;  // and the one cut off
    HTREEITEM item = view.GetNextItem(nullptr, TVGN_FIRSTVISIBLE);
    for (LRESULT i = 0; item && i < lines; ++i) {
      RECT rect{};
      // The whole line on an erased ground: the pictures are masked, so the new one
      // drawn over the old one would leave the old one's edges.
      if (m_changed.count(item) && view.GetItemRect(item, &rect, FALSE)) ::InvalidateRect(tree, &rect, TRUE);
      item = view.GetNextItem(item, TVGN_NEXTVISIBLE);
    }
  }
  m_changed.clear();
}

void HostNodePictures::OnDispInfo(NMTVDISPINFOW* info) const {
  if (info->item.mask & (TVIF_IMAGE | TVIF_SELECTEDIMAGE))
    info->item.iImage = info->item.iSelectedImage = Picture(info->item.hItem);
}
