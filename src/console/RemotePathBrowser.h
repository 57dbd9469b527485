#pragma once
// What the remote directory and file pickers share: the tree of a monitored host's
// drives, directories and (for the file picker) files, filled from the host's agent
// through the service link. The drives are asked for once, a directory each time the
// user expands it. An answer names no directory, so only one listing is asked at a
// time and its answer is for the node it was asked for: a node expanded meanwhile
// stays open and empty and is asked for, in turn, once that answer (or its timeout)
// is in. An answer with nothing asked, or asked over a connection that has since
// closed, is dropped. A request unanswered after the answer timeout closes its node
// again with its placeholder, to be expanded anew, as does one whose answer cannot be
// read, or whose request the link did not take (told to the user). Only the picker's
// host answers: another host's listing is dropped. A host the service cannot address
// is told to the user and never asked. A listing asked over a connection that closes
// before its answer (the link broke, or dropped an answer too large for it) is said
// lost as a command the link does not take is; its folder closes again, to be asked
// anew on its next expand. The drives (or the starting directory) are asked again once
// the link is back when it was down at opening, or the connection they were asked over
// has closed. A node that is removed or collapsed waits no more, and a removed node is
// never the choice. Owned by its dialog, which forwards the tree's notifications, its
// timer and the link's answers to it; UI thread only.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "console/PickerTree.h"

class RemoteListing;

class RemotePathBrowser {
 public:
  enum NodeKind { kHostNode = 0, kDriveNode = 1, kDirectoryNode = 2, kFileNode = 3 };
  // The dialog's timer that ends a listing request left unanswered.
  static constexpr UINT_PTR kAnswerTimer = 1538;
  static constexpr UINT kDefaultAnswerTimeout = 10000;  // ms
  // The dialog's timer that notes a listing lost with its connection, and asks for the
  // top's listing again once the link is back.
  static constexpr UINT_PTR kLinkWatchTimer = 1537;
  static constexpr UINT kLinkWatchPeriod = 500;  // ms

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
  // Removes the dialog's registrations and its timer.
  void Close();
  // For the requests sent from now on.
  void SetAnswerTimeout(UINT ms) { m_answerTimeout = ms; }

  void OnTreeCheck(const NMHDR* nm);
  void OnItemExpanded(const NMHDR* nm);
  void OnItemDeleted(const NMHDR* nm);
  void OnDrivesReply(UINT message, WPARAM wParam, LPARAM lParam);
  void OnDirectoryReply(UINT message, WPARAM wParam, LPARAM lParam);
  // The dialog's WM_TIMER; false for a timer that is not the browser's.
  bool OnTimer(UINT_PTR id);

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
  // A request the link does not take closes its node again; tell: and says so.
  void RequestListing(HTREEITEM item, bool tell = true);
  // Asks for the drives, or the starting directory's entries; false when not sent.
  bool RequestTop();
  void TopListed();
  // The delivered answer comes from the picker's host.
  bool FromHost(WPARAM wParam) const;
  // Asks for the nodes expanded while a listing was awaited, until one is asked; told:
  // the link's being down has been said already.
  void RequestQueued(bool told = false);
  // The link watch runs while a listing is awaited or the top is not in yet.
  void WatchLink();
  // The request in flight has been answered or has timed out.
  void EndRequest();
  void Unqueue(HTREEITEM item);
  // Gives a node whose listing never came its placeholder back, closed.
  void Reclose(HTREEITEM item);
  // A listing request awaits its answer over the connection that is up.
  bool InFlight() const;
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
  bool m_requested = false;      // a listing request is unanswered
  HTREEITEM m_awaited = nullptr;  // what its answer fills; null once gone or closed
  unsigned m_awaitedConnection = 0;
  bool m_topPending = false;  // the top's listing is not in yet
  bool m_watching = false;    // the link watch timer runs
  unsigned m_topConnection = 0;  // the connection it was last asked over
  UINT m_answerTimeout = kDefaultAnswerTimeout;
  std::vector<HTREEITEM> m_queued;  // expanded while a listing was awaited, in order
  PickerTree m_tree;
  HTREEITEM m_top = nullptr;
};
