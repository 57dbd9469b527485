#pragma once
// The pictures of a tree's host nodes, which follow the hosts' online states. The
// nodes go in with I_IMAGECALLBACK and the tree asks for a node's picture when it draws
// it (TVN_GETDISPINFO): a picture set on a tree view with its items expanded costs
// Wine's tree a walk over all of them, and so does a call on one of its late items, so a
// burst of states for 20,000 hosts cost a walk per host. New states are drawn with
// Show, once per burst, on the lines the tree shows. UI thread only.
#include <windows.h>
#include <commctrl.h>

#include <unordered_map>
#include <unordered_set>

class HostNodePictures {
 public:
  HostNodePictures(int online, int offline) : m_online(online), m_offline(offline) {}

  // The picture to insert a host node with.
  static constexpr int kAsked = I_IMAGECALLBACK;

  void Add(HTREEITEM node, bool online) { m_onlineByNode[node] = online; }
  void Remove(HTREEITEM node);
  void Clear();
  // The online or the offline picture; offline for a node that is not a host's.
  int Picture(HTREEITEM node) const;
  // A host node's new state, drawn by the next Show.
  void Set(HTREEITEM node, bool online);
  // The lines of the nodes whose state changed since the last time are drawn again,
  // where the tree shows them.
  void Show(HWND tree);
  // The tree's TVN_GETDISPINFOW for a node's picture.
  void OnDispInfo(NMTVDISPINFOW* info) const;

 private:
  int m_online;
  int m_offline;
  std::unordered_map<HTREEITEM, bool> m_onlineByNode;
  std::unordered_set<HTREEITEM> m_changed;
};
