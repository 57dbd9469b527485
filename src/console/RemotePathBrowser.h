#pragma once
// What the remote directory and file pickers share: the tree of a monitored host's
// drives, directories and (for the file picker) files, filled from the host's agent
// through the service link. The drives are asked for once, a directory each time the
// user expands it. An answer names no directory, and a request may never be answered
// (the agent offline, the link closed), so the answers are for the node expanded last:
// each one that comes fills it anew, so the last answer, its own, stands. A node left
// waiting by a later expansion closes again, to be expanded anew. A node that is
// removed or collapsed waits no more, and nothing asked over a connection that has
// since closed is taken. A removed node is never the choice. Owned by its dialog, which
// forwards the tree's notifications and the link's answers to it; UI thread only.
#include <windows.h>

#include <cstdint>
#include <string>

#include "console/PickerTree.h"

class RemoteListing;

class RemotePathBrowser {
 public:
  enum NodeKind { kHostNode = 0, kDriveNode = 1, kDirectoryNode = 2, kFileNode = 3 };

  // files: the file picker's tree: file nodes, and directory answers as 1537 in UTF-8.
  explicit RemotePathBrowser(bool files);
  ~RemotePathBrowser();
  RemotePathBrowser(const RemotePathBrowser&) = delete;
  RemotePathBrowser& operator=(const RemotePathBrowser&) = delete;

  // The message id of the directory answers this tree takes.
  UINT AnswerId() const;

  // Builds the tree (control `id` on the dialog's view), its top node, registers the
  // dialog for the answers and asks for the drives, or, with a starting directory,
  // for that directory's entries. Without a database nothing is asked and the tree
  // stays empty.
  void Open(HWND dialog, HWND view, UINT id, const std::wstring& host, const std::wstring& startDir);
  // Removes the dialog's registrations.
  void Close();

  void OnTreeCheck(const NMHDR* nm);
  void OnItemExpanded(const NMHDR* nm);
  void OnItemDeleted(const NMHDR* nm);
  void OnDrivesReply(UINT message, WPARAM wParam, LPARAM lParam);
  void OnDirectoryReply(UINT message, WPARAM wParam, LPARAM lParam);

  // What OK returns: the checked node's path, for the file picker with "\*" after a
  // drive or directory (everything in it); empty when nothing is checked.
  std::wstring Choice() const;
  std::wstring PathOf(HTREEITEM item) const;

  PickerTree& Tree() { return m_tree; }
  HTREEITEM TopItem() const { return m_top; }

 private:
  HTREEITEM AddNode(HTREEITEM parent, const std::wstring& text, NodeKind kind, bool expandable);
  int ChildState(HTREEITEM parent) const;
  void DeleteChildren(HTREEITEM item, bool keepFirst);
  void RequestListing(HTREEITEM item);
  // Gives a node whose listing never came its placeholder back, closed.
  void Reclose(HTREEITEM item);
  // The node the answers are for, or null when they are to be dropped.
  HTREEITEM Awaited() const;
  // Which connection of the link is up (0 without a link): what was asked over an
  // earlier one will not be answered.
  static unsigned LinkConnection();
  // Parses a delivered answer; false, after telling the user, when it cannot be read.
  bool ReadAnswer(int answer, WPARAM wParam, LPARAM lParam, RemoteListing* listing);
  void ShowFilled(HTREEITEM item);
  NodeKind KindOf(HTREEITEM item) const;
  bool IsBelow(HTREEITEM item, HTREEITEM ancestor) const;

  const bool m_files;
  HWND m_dialog = nullptr;
  uint32_t m_host = 0;
  bool m_startDir = false;
  bool m_registered = false;
  bool m_drivesAsked = false;
  unsigned m_drivesConnection = 0;
  bool m_filling = false;  // expansions of our own, not the user's
  HTREEITEM m_awaited = nullptr;
  unsigned m_awaitedConnection = 0;
  PickerTree m_tree;
  HTREEITEM m_top = nullptr;
};
