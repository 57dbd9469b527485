#pragma once
// The page "客户端管理" of the system-management area (layout 517): the monitored hosts
// (table Client) in a tree of two groups, servers and network or security devices. An
// administrator edits a host's name, note, group and enabled state; the monitoring
// service hears when a host is disabled (1534) or enabled again (1535), and its state
// answers (1526) and online/offline notices (1529, 1530) keep Client.Status and the
// hosts' icons current. The console never creates or deletes Client rows.
#include <windows.h>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "console/AgentLinkWindow.h"
#include "console/AgentMessageId.h"
#include "console/HostNodePictures.h"
#include "console/HostStateQuestions.h"
#include "console/HostStateWrites.h"
#include "console/StoredHostAddresses.h"
#include "controls/CComboBoxCtrlEx.h"
#include "controls/CEditEx.h"
#include "controls/CMulStatusTree.h"
#include "platform/CImageList.h"
#include "platform/MessageMap.h"
#include "uiwin/UiNotify.h"

class CUiDialogHost;

// The record of the window messages 1795 to 1797: a host was added to a group, changed
// or removed. The console's own sender marks the call (SendClientChange); the same
// message from anywhere else is ignored.
struct ClientChangeNotice {
  enum { kTextUnits = 64 };
  uint32_t group;     // 0 server group, 1 device group
  uint32_t clientId;  // Client.id
  wchar_t text[kTextUnits];  // the host's name or address; read up to its end only
};

class CSMClientManagementUIHandler {
 public:
  enum : UINT {
    kName = 170,
    kSave = 171,
    kExit = 172,
    kNote = 173,
    kType = 174,
    kState = 175,
    kAddress = 176,
    kMac = 177,
    kTree = 181,
    kTreeScrollSkin = 2181,
    kClientAdded = 1795,
    kClientRemoved = 1796,
    kClientChanged = 1797,
  };
  // Pictures of the image list: group roots, then a host online or offline.
  enum : int { kImageServerGroup, kImageDeviceGroup, kImageOnline, kImageOffline };

  explicit CSMClientManagementUIHandler(CUiDialogHost* owner);
  ~CSMClientManagementUIHandler();
  CSMClientManagementUIHandler(const CSMClientManagementUIHandler&) = delete;
  CSMClientManagementUIHandler& operator=(const CSMClientManagementUIHandler&) = delete;

  int Init();
  // Marks every host offline in the database: -1 when it cannot connect.
  int UnInit();

  // Sends one of 1795 to 1797 to the window as the console's own call.
  static LRESULT SendClientChange(HWND window, UINT message, const ClientChangeNotice& notice);

  BEGIN_MSG_MAP_EX(CSMClientManagementUIHandler)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_COMMAND, OnUiCommand)
    NOTIFY_HANDLER(kTree, CMulStatusTree::kNotifyCheckChanged, OnTreeCheckChanged)
    NOTIFY_HANDLER(kTree, TVN_GETDISPINFOW, OnTreeDispInfo)
    MESSAGE_HANDLER(kClientAdded, OnClientChangeMessage)
    MESSAGE_HANDLER(kClientChanged, OnClientChangeMessage)
    MESSAGE_HANDLER(kClientRemoved, OnClientChangeMessage)
    MESSAGE_HANDLER(1526, OnClientState)
    MESSAGE_HANDLER(1529, OnClientOnline)
    MESSAGE_HANDLER(1530, OnClientOffline)
    MESSAGE_HANDLER(FlushMessage(), OnFlushStates)
    MESSAGE_HANDLER(ReloadMessage(), OnReloadTree)
    CHAIN_MSG_MAP_MEMBER(m_stateQuestions)
    MESSAGE_HANDLER(AGENT_LINK_CONNECTED_MESSAGE, OnLinkConnected)
  END_MSG_MAP()

  void OnSave();
  void OnExit();

  CMulStatusTree& Tree() { return m_tree; }
  HTREEITEM ServerRoot() const { return m_serverRoot; }
  HTREEITEM DeviceRoot() const { return m_deviceRoot; }
  HTREEITEM CurrentClient() const { return m_current; }
  // The node that shows the address's state, or null.
  HTREEITEM NodeOfAddress(const std::wstring& address) const;
  // The picture the node is drawn with: kImageOnline or kImageOffline.
  int NodeImage(HTREEITEM node) const;
  // Host-state questions not sent yet: they go out from the window's idle time.
  size_t StatesUnasked() const { return m_stateQuestions.Waiting(); }
  // The connection the service's host states are written on.
  const KeptLink& StateLink() const { return m_stateWrites.Link(); }

 private:
  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnTreeCheckChanged(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnTreeDispInfo(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnClientChangeMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnClientState(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnClientOnline(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnClientOffline(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  // The page's own posted message that writes the states taken since the last one.
  static UINT FlushMessage();
  // The page's own posted message that reads the tree again.
  static UINT ReloadMessage();
  LRESULT OnReloadTree(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnFlushStates(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  // The link stands (again): every shown host's state is asked for once more.
  LRESULT OnLinkConnected(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);

  // checkedId: the host that goes in checked, as the one being edited (0: none).
  void LoadClients(unsigned long checkedId = 0);
  // Reads the tree again. With keepEdit the host being edited, if still there, stays
  // checked and its fields as the user left them; else nothing is checked.
  void ReloadTree(bool keepEdit);
  HTREEITEM AddServerNode(LPCWSTR text, HTREEITEM insertAfter, int status, bool checked, unsigned long id);
  HTREEITEM AddDeviceNode(LPCWSTR text, HTREEITEM insertAfter, int status, bool checked, unsigned long id);
  HTREEITEM AddNode(HTREEITEM root, LPCWSTR text, HTREEITEM insertAfter, int image, bool checked,
                    unsigned long id);
  void ShowClient(HTREEITEM node);
  // Tells that the checked host is gone and reads the tree again.
  void ClientGone();
  // Hosts other than exceptId under the name; -1 after a failure that the user has been
  // told of.
  static int CountClientsByName(const std::wstring& name, int exceptId);
  void ClearFields();
  void QueryClientState(const std::wstring& address);
  // Every shown host's state, once each, after the window has painted.
  void AskClientStates(std::vector<std::wstring> addresses);
  void SetClientStateByIp(uint32_t address, int state);
  // Status and icon of the hosts with the address; written with the rest of the burst.
  void UpdateClientState(const std::wstring& address, int state);
  // New text; a node whose group changed moves to the end of the other group.
  HTREEITEM UpdateTreeNode(HTREEITEM node, const std::wstring& text, int type);
  void OnClientAdded(const ClientChangeNotice& notice, const std::wstring& text);
  void OnClientChanged(const ClientChangeNotice& notice, const std::wstring& text);
  void OnClientRemoved(const ClientChangeNotice& notice);

  bool GetNode(TVITEMW* item) const;
  unsigned long NodeId(HTREEITEM node) const;
  void SetNodeImage(HTREEITEM node, int image);
  void SetNodeText(HTREEITEM node, const std::wstring& text);
  std::wstring NodeText(HTREEITEM node) const;
  HTREEITEM FindNode(unsigned long id) const;
  void DeleteNode(HTREEITEM node);
  void RemoveNode(HTREEITEM node);
  // The first node in walk order (servers, then devices) per address.
  void RebuildAddressMap();

  CUiDialogHost* m_owner;
  HTREEITEM m_serverRoot = nullptr;
  HTREEITEM m_deviceRoot = nullptr;
  HTREEITEM m_current = nullptr;
  AgentLinkWindow m_stateRegistration;
  AgentLinkWindow m_onlineRegistration;
  AgentLinkWindow m_offlineRegistration;
  CEditEx m_name;
  CEditEx m_note;
  CComboBoxCtrlEx m_type;
  CComboBoxCtrlEx m_state;
  CEditEx m_address;
  CEditEx m_mac;
  CImageList m_images;
  CMulStatusTree m_tree;
  std::unordered_map<unsigned long, std::wstring> m_addressById;
  std::unordered_map<std::wstring, HTREEITEM> m_nodeByAddress;
  HostNodePictures m_pictures;
  StoredHostAddresses m_storedAddresses;  // every host's, shown or not
  HostStateWrites m_stateWrites;
  HostStateQuestions m_stateQuestions;
};
