#include "console/HostNodePictures.h"

#include <cstring>

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
    const LRESULT lines = ::SendMessageW(tree, TVM_GETVISIBLECOUNT, 0, 0) + 1;  // and the one cut off
    auto item = reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
    for (LRESULT i = 0; item && i < lines; ++i) {
      if (m_changed.count(item)) {
        RECT rect{};
        std::memcpy(&rect, &item, sizeof item);  // the item goes in, its rectangle comes out
        // The whole line on an erased ground: the pictures are masked, so the new one
        // drawn over the old one would leave the old one's edges.
        if (::SendMessageW(tree, TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&rect)))
          ::InvalidateRect(tree, &rect, TRUE);
      }
      item = reinterpret_cast<HTREEITEM>(
          ::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXTVISIBLE, reinterpret_cast<LPARAM>(item)));
    }
  }
  m_changed.clear();
}

void HostNodePictures::OnDispInfo(NMTVDISPINFOW* info) const {
  if (info->item.mask & (TVIF_IMAGE | TVIF_SELECTEDIMAGE))
    info->item.iImage = info->item.iSelectedImage = Picture(info->item.hItem);
}
