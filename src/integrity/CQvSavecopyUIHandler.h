#pragma once
// Sub-page "历史副本" of the integrity area (layout 516): a tree of the monitored hosts
// (by group) with their strategy types and names, and the history copies of the item
// clicked. A copy is restored on its host after a confirmation (CQvSCWarningDlg), or,
// for device strategies, opened in Notepad. The page also follows the hosts' online
// state in the tree and in Client.Status; those messages go on to the client page.
#include <windows.h>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "console/AgentMessageId.h"
#include "console/HostNodePictures.h"
#include "console/IdleSlices.h"
#include "console/HostStateWrites.h"
#include "console/StoredHostAddresses.h"
#include "controls/CListCtrlDataEx.h"
#include "controls/CListNotify.h"
#include "controls/CMulStatusTree.h"
#include "platform/CImageList.h"
#include "platform/MessageMap.h"
#include "uiwin/UiNotify.h"

class CUiDialogHost;
class SQLStatement;

class CQvSavecopyUIHandler {
 public:
  enum : UINT {
    kTree = 1231,
    kTreeScrollId = 1232,
    kGrid = 1261,
    kGridScrollId = 1262,
    kClientsAdded = 1795,
    kClientsRemoved = 1796,
    kClientsChanged = 1797,
  };
  enum : int { kImageServerGroup, kImageDeviceGroup, kImageOnline, kImageOffline, kImageType, kImageName };
  enum : int { kColTime, kColVolume, kColRestore, kColDelete, kColBaseLine };
  // A copy as the restore reads it.
  struct Copy {
    std::wstring address;
    std::wstring strategyName;
    int strategyType = 0;
    std::wstring path;
  };

  explicit CQvSavecopyUIHandler(CUiDialogHost* owner);
  CQvSavecopyUIHandler(const CQvSavecopyUIHandler&) = delete;
  CQvSavecopyUIHandler& operator=(const CQvSavecopyUIHandler&) = delete;

  // 0, or the system's error when the tree cannot be made (the console then ends).
  int Init();
  // The host tree goes before the window, unheard: its notices are a wait at 20,000
  // hosts.
  int Uninit() {
    m_tree.DestroyUnheard();
    return 0;
  }
  // Fills the tree under the two groups from Client and StrategyTable.
  int LoadClientTree();
  // Lists the copies of a type item (types 0 and 1) or a strategy-name item.
  int LoadCopies(HTREEITEM item);
  // Restores (after the confirmation) or views the copy of a row.
  int OnRestoreOrViewCopy(int row);
  // Writes a host's state (1 online, 0 offline) under each text the host is stored with,
  // and shows it in the tree. States come in bursts (one answer per host): they are
  // taken first and written together.
  int SetClientStatus(uint32_t address, int status);

  // The label of a strategy type in the tree.
  static std::wstring TypeLabel(int type);

  CMulStatusTree& Tree() { return m_tree; }
  // Hosts are still to come into the tree from the idle time.
  bool Filling() const { return m_filling.Pending(); }
  CListCtrlDataEx<unsigned long>& Grid() { return m_grid; }
  HTREEITEM ServerGroup() const { return m_serverGroupItem; }
  HTREEITEM DeviceGroup() const { return m_deviceGroupItem; }
  const KeptLink& StateLink() const { return m_stateWrites.Link(); }

  BEGIN_MSG_MAP_EX(CQvSavecopyUIHandler)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_REALWND_RESIZED, OnUiResized)
    NOTIFY_HANDLER(kTree, CMulStatusTree::kNotifyLabelClick, OnTreeLabelClick)
    NOTIFY_HANDLER(kGrid, LIST_NOTIFY_CELLCLICKED, OnCopyCellClicked)
    NOTIFY_HANDLER(kGrid, LIST_NOTIFY_CELLCHANGED, OnCopyCellChanged)
    MESSAGE_HANDLER(AGENT_MSG_COPY_LIST_CHANGED, OnCopiesChanged)
    MESSAGE_HANDLER(AGENT_MSG_CLIENT_ONLINE, OnClientOnline)
    MESSAGE_HANDLER(AGENT_MSG_CLIENT_OFFLINE, OnClientOffline)
    MESSAGE_HANDLER(AGENT_MSG_CLIENT_STATE, OnClientState)
    MESSAGE_HANDLER(kClientsAdded, OnClientsChanged)
    MESSAGE_HANDLER(kClientsChanged, OnClientsChanged)
    MESSAGE_HANDLER(kClientsRemoved, OnClientsChanged)
    MESSAGE_HANDLER(FlushMessage(), OnFlushStates)
    NOTIFY_HANDLER(kTree, TVN_GETDISPINFOW, OnTreeDispInfo)
    MESSAGE_HANDLER(RebuildMessage(), OnRebuildTree)
    CHAIN_MSG_MAP_MEMBER(m_filling)
  END_MSG_MAP()

 private:
  LRESULT OnUiResized(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnTreeLabelClick(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnCopyCellClicked(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnCopyCellChanged(int, LPNMHDR, BOOL&) { return 0; }
  LRESULT OnCopiesChanged(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnClientOnline(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnClientOffline(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnClientState(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnClientsChanged(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  // The tree is read again once the message that asks for it has ended.
  void PostRebuild();
  void OnSize(const RECT& rect);
  static UINT FlushMessage();
  static UINT RebuildMessage();

  LRESULT OnRebuildTree(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnFlushStates(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnTreeDispInfo(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);

  int Depth(HTREEITEM item) const;
  HTREEITEM Ancestor(HTREEITEM item, int depth) const;
  void SetViewMode(int mode);
  // False when the rows cannot be read whole (*full when the grid could take no more):
  // the grid is left empty.
  bool AddCopyRows(SQLStatement* statement, bool server, bool* full);
  // The restore of a copy: refusals, the host check, the confirmation, the send.
  void Restore(const Copy& copy, const wchar_t* target, unsigned long copyId, int row);
  // Asked before the confirmation and again after it: false when told why not.
  bool RestoreAllowed(unsigned long copyId, const std::wstring& address);
  // Tells the copy is gone; its list is read again once the click has ended.
  void CopyGone();

  CUiDialogHost* m_owner;
  HTREEITEM m_serverGroupItem = nullptr;
  HTREEITEM m_deviceGroupItem = nullptr;
  int m_viewMode = -1;
  HTREEITEM m_currentItem = nullptr;
  CMulStatusTree m_tree;
  CImageList m_images;
  CListCtrlDataEx<unsigned long> m_grid;
  std::unordered_map<std::wstring, HTREEITEM> m_hostItems;  // host items by address, from the load
  StoredHostAddresses m_storedAddresses;  // every host's, shown or not
  HostStateWrites m_stateWrites;  // the service's host states
  HostNodePictures m_hostPictures;
  IdleSlices m_filling;  // the hosts still to come into the tree
  std::unordered_map<std::wstring, int> m_laterStates;  // states of hosts still to come, by address
  bool m_rebuildPosted = false;
};
