#include "sysmgmt/CSMClientManagementUIHandler.h"

#include <algorithm>
#include <cwchar>
#include <vector>

#include "console/AgentLinkNotice.h"
#include "console/CAgentLink.h"
#include "console/CAgentLinkManager.h"
#include "console/DottedIPv4.h"
#include "console/LinkRecords.h"
#include "console/ListReadFailure.h"
#include "console/RecordGone.h"
#include "console/StoreAndTell.h"
#include "controls/CUIResource.h"
#include "platform/CAppModule.h"
#include "platform/CGdiObject.h"
#include "platform/OwnDelivery.h"
#include "platform/TextConv.h"
#include "sysmgmt/SMPageLink.h"
#include "uiwin/CUiDialogHost.h"
#include "uiwin/UiMessageBox.h"

namespace {

// ---- Statements of the page; every value is bound.
const wchar_t kSelectClients[] = L"select id,Name,IP,type,status from Client";
const wchar_t kSelectClient[] = L"select name,NoteName,Type,Stopped,IP,MAC from Client where id=?";
const wchar_t kCountByName[] = L"select count(*) from Client where name=? and id<>?";
const wchar_t kSelectStopped[] = L"select Stopped from Client where id=?";
const wchar_t kUpdateClient[] = L"update Client set Name=?,NoteName=?,Type=?,Stopped=? where id=?";
const wchar_t kSelectId[] = L"select id from Client where id=?";
const wchar_t kSetStatusById[] = L"update Client set Status=? where id=?";
const wchar_t kResetStatus[] = L"update Client set Status=0";
const wchar_t kSelectNameType[] = L"select name,type,IP from Client where id=?";
const wchar_t kSelectAddress[] = L"select IP,Status from Client where id=?";

const UINT kBitmaps[] = {126, 137, 131, 128};  // in the order of the image list
const COLORREF kMask = RGB(0xFF, 0x00, 0xFF);
const int kFieldChars = 20;

using qv::OrEmpty;

}  // namespace

CSMClientManagementUIHandler::CSMClientManagementUIHandler(CUiDialogHost* owner)
    : m_owner(owner),
      m_stateRegistration{nullptr, AGENT_MSG_CLIENT_STATE},
      m_onlineRegistration{nullptr, AGENT_MSG_CLIENT_ONLINE},
      m_offlineRegistration{nullptr, AGENT_MSG_CLIENT_OFFLINE},
      m_tree(CUIResource::GetSkinBitmap(), kTreeScrollSkin),
      m_pictures(kImageOnline, kImageOffline),
      m_stateQuestions(L"QuorvaneClientStateAsk") {}

CSMClientManagementUIHandler::~CSMClientManagementUIHandler() = default;

int CSMClientManagementUIHandler::Init() {
  for (AgentLinkWindow* r : {&m_stateRegistration, &m_onlineRegistration, &m_offlineRegistration}) {
    r->window = m_owner->GetHWnd();
    CAgentLinkManager::RegisterWindow(*r);
  }
  HWND view = m_owner->GetViewHWnd();
  m_images.Create(32, 24, ILC_COLOR24 | ILC_MASK, 4, 0);
  for (UINT id : kBitmaps) {
    // A copy of our own: adding with a mask blackens the bitmap's masked pixels.
    CBitmap bitmap;
    bitmap.Attach(::LoadBitmapW(g_module.GetResourceInstance(), MAKEINTRESOURCEW(id)));
    m_images.Add(bitmap, kMask);
  }
  m_tree.Create(view, RECT{}, nullptr,
                WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_SHOWSELALWAYS, 0,
                kTree);
  m_tree.SetImageList(m_images, TVSIL_NORMAL);
  m_serverRoot = m_tree.InsertItem(L"服务器组", kImageServerGroup, kImageServerGroup, TVI_ROOT, TVI_LAST, EM_TVIS_NONE);
  m_deviceRoot = m_tree.InsertItem(L"网络设备/安全设备群组", kImageDeviceGroup, kImageDeviceGroup, TVI_ROOT,
                                   TVI_LAST, EM_TVIS_NONE);

  const DWORD field = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL;
  m_name.Create(view, nullptr, nullptr, field, 0, kName);
  m_name.SetLimits(kFieldChars, 0, '0', FALSE);
  m_note.Create(view, nullptr, nullptr, field, 0, kNote);
  m_note.SetLimits(kFieldChars, 0, '0', FALSE);
  m_address.Create(view, nullptr, nullptr, field | ES_READONLY, 0, kAddress);
  m_mac.Create(view, nullptr, nullptr, field | ES_READONLY, 0, kMac);
  m_type.Create(view, RECT{}, nullptr, CComboBoxCtrlEx::kPageStyle | WS_VISIBLE, 0, kType);
  m_type.AddString(L"服务器组");
  m_type.AddString(L"网络设备组");
  m_state.Create(view, RECT{}, nullptr, CComboBoxCtrlEx::kPageStyle | WS_VISIBLE, 0, kState);
  m_state.AddString(L"启用");
  m_state.AddString(L"禁用");
  m_owner->EnableItem(kSave, FALSE);
  LoadClients();
  return 0;
}

int CSMClientManagementUIHandler::UnInit() {
  m_tree.DestroyUnheard();  // before the window: its notices are a wait at 20,000 hosts
  for (AgentLinkWindow* r : {&m_stateRegistration, &m_onlineRegistration, &m_offlineRegistration})
    CAgentLinkManager::UnregisterWindow(*r);
  // Every host shows offline until the service reports it again.
  SMPageLink link;
  if (!link.Open()) return -1;
  SQLStatement* statement = link.CreateStatement(kResetStatus);
  if (!statement || !statement->Execute()) {
    link.ShowError(L"错误");
    return -1;
  }
  return 0;
}

LRESULT CSMClientManagementUIHandler::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  switch (reinterpret_cast<UINMCOMMAND*>(pnmh)->uItemID) {
    case kSave:
      OnSave();
      break;
    case kExit:
      OnExit();
      break;
    default:
      bHandled = FALSE;
      break;
  }
  return 0;
}

void CSMClientManagementUIHandler::OnExit() { m_owner->EndDialog(IDCANCEL); }

// ---------------------------------------------------------------- the tree

void CSMClientManagementUIHandler::LoadClients(unsigned long checkedId) {
  struct Row {
    unsigned long id;
    std::wstring name, address;
    int type, status;
  };
  std::vector<Row> rows;
  {
    SMPageLink link;
    if (!link.Open()) return;
    SQLStatement* statement = link.CreateStatement(kSelectClients);
    while (statement && statement->Fetch())
      rows.push_back({static_cast<unsigned long>(statement->GetInt(0)), OrEmpty(statement->GetString(1)),
                      OrEmpty(statement->GetString(2)), statement->GetInt(3), statement->GetInt(4)});
    if (!statement || statement->Failed()) {
      const std::wstring reason = OrEmpty(link.GetLastErrorText());
      link.Disconnect();
      return TellListUnread(kReadHostsFailed, reason.c_str(), L"查询出错");
    }
  }
  // Thousands of hosts: the tree neither redraws nor expands before the last is in.
  m_tree.SendMessage(WM_SETREDRAW, FALSE);
  std::vector<std::wstring> shown;
  std::vector<std::pair<const std::wstring*, HTREEITEM>> devices;  // after the servers in walk order
  m_nodeByAddress.clear();
  m_storedAddresses.Clear();
  for (const Row& row : rows) {
    m_storedAddresses.Add(row.address);
    const std::wstring& text = row.name.empty() ? row.address : row.name;
    if (text.empty() || (row.type != 0 && row.type != 1)) continue;
    m_addressById[row.id] = row.address;
    const bool checked = checkedId != 0 && row.id == checkedId;
    const HTREEITEM node = AddNode(row.type == 0 ? m_serverRoot : m_deviceRoot, text.c_str(), TVI_LAST,
                                   row.status == 1 ? kImageOnline : kImageOffline, checked, row.id);
    if (checked) m_current = node;
    shown.push_back(row.address);
    if (row.type == 0 && !row.address.empty()) m_nodeByAddress.emplace(row.address, node);
    if (row.type == 1 && !row.address.empty()) devices.emplace_back(&row.address, node);
  }
  for (const auto& device : devices) m_nodeByAddress.emplace(*device.first, device.second);
  m_tree.Expand(m_serverRoot);
  m_tree.Expand(m_deviceRoot);
  m_tree.SendMessage(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(m_serverRoot));
  if (m_current) {
    m_tree.SelectItem(m_current);
    m_tree.SendMessage(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(m_current));
  }
  m_tree.SendMessage(WM_SETREDRAW, TRUE);
  m_tree.Invalidate();
  AskClientStates(std::move(shown));
}

HTREEITEM CSMClientManagementUIHandler::AddServerNode(LPCWSTR text, HTREEITEM insertAfter, int status,
                                                      bool checked, unsigned long id) {
  HTREEITEM node = AddNode(m_serverRoot, text, insertAfter, status == 1 ? kImageOnline : kImageOffline, checked, id);
  m_tree.Expand(m_serverRoot);
  return node;
}

HTREEITEM CSMClientManagementUIHandler::AddDeviceNode(LPCWSTR text, HTREEITEM insertAfter, int status,
                                                      bool checked, unsigned long id) {
  HTREEITEM node = AddNode(m_deviceRoot, text, insertAfter, status == 1 ? kImageOnline : kImageOffline, checked, id);
  m_tree.Expand(m_deviceRoot);
  return node;
}

// The box goes in with the item: the roots have none, so there is no parent to recompute.
HTREEITEM CSMClientManagementUIHandler::AddNode(HTREEITEM root, LPCWSTR text, HTREEITEM insertAfter,
                                                int image, bool checked, unsigned long id) {
  TVINSERTSTRUCTW insert{};
  insert.hParent = root;
  insert.hInsertAfter = insertAfter ? insertAfter : TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_STATE;
  insert.item.pszText = const_cast<LPWSTR>(text);
  insert.item.iImage = insert.item.iSelectedImage = HostNodePictures::kAsked;
  insert.item.lParam = static_cast<LPARAM>(id);
  insert.item.state = INDEXTOSTATEIMAGEMASK(checked ? EM_TVIS_CHECK : EM_TVIS_UNCHECK);
  insert.item.stateMask = TVIS_STATEIMAGEMASK;
  HTREEITEM node = m_tree.InsertItemDirect(insert);
  if (node) m_pictures.Add(node, image == kImageOnline);
  return node;
}

bool CSMClientManagementUIHandler::GetNode(TVITEMW* item) const {
  return m_tree.SendMessage(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(item)) != 0;
}

unsigned long CSMClientManagementUIHandler::NodeId(HTREEITEM node) const {
  TVITEMW item{};
  item.mask = TVIF_HANDLE | TVIF_PARAM;
  item.hItem = node;
  return GetNode(&item) ? static_cast<unsigned long>(item.lParam) : 0;
}

int CSMClientManagementUIHandler::NodeImage(HTREEITEM node) const { return m_pictures.Picture(node); }

// Drawn with the rest of its burst (m_pictures.Show).
void CSMClientManagementUIHandler::SetNodeImage(HTREEITEM node, int image) {
  m_pictures.Set(node, image == kImageOnline);
}

LRESULT CSMClientManagementUIHandler::OnTreeDispInfo(int, LPNMHDR pnmh, BOOL&) {
  m_pictures.OnDispInfo(reinterpret_cast<NMTVDISPINFOW*>(pnmh));
  return 0;
}

void CSMClientManagementUIHandler::RemoveNode(HTREEITEM node) {
  m_pictures.Remove(node);
  m_tree.SendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(node));
}

void CSMClientManagementUIHandler::SetNodeText(HTREEITEM node, const std::wstring& text) {
  TVITEMW item{};
  item.mask = TVIF_HANDLE | TVIF_TEXT;
  item.hItem = node;
  item.pszText = const_cast<LPWSTR>(text.c_str());
  m_tree.SetItem(item);
}

std::wstring CSMClientManagementUIHandler::NodeText(HTREEITEM node) const {
  wchar_t buffer[260] = L"";
  TVITEMW item{};
  item.mask = TVIF_HANDLE | TVIF_TEXT;
  item.hItem = node;
  item.pszText = buffer;
  item.cchTextMax = static_cast<int>(sizeof buffer / sizeof buffer[0]);
  return GetNode(&item) ? std::wstring(buffer) : std::wstring();
}

HTREEITEM CSMClientManagementUIHandler::FindNode(unsigned long id) const {
  for (HTREEITEM root : {m_serverRoot, m_deviceRoot})
    for (HTREEITEM node = m_tree.GetChildItem(root); node; node = m_tree.GetNextSiblingItem(node))
      if (NodeId(node) == id) return node;
  return nullptr;
}

void CSMClientManagementUIHandler::DeleteNode(HTREEITEM node) {
  if (node == m_current) {
    ClearFields();
    m_owner->EnableItem(kSave, FALSE);
    m_current = nullptr;
  }
  RemoveNode(node);
}

void CSMClientManagementUIHandler::RebuildAddressMap() {
  m_nodeByAddress.clear();
  for (HTREEITEM root : {m_serverRoot, m_deviceRoot})
    for (HTREEITEM node = m_tree.GetChildItem(root); node; node = m_tree.GetNextSiblingItem(node)) {
      auto address = m_addressById.find(NodeId(node));
      if (address != m_addressById.end() && !address->second.empty())
        m_nodeByAddress.emplace(address->second, node);
    }
}

HTREEITEM CSMClientManagementUIHandler::NodeOfAddress(const std::wstring& address) const {
  auto found = m_nodeByAddress.find(address);
  return found == m_nodeByAddress.end() ? nullptr : found->second;
}

// ---------------------------------------------------------------- selection and fields

LRESULT CSMClientManagementUIHandler::OnTreeCheckChanged(int, LPNMHDR pnmh, BOOL&) {
  const auto* notify = reinterpret_cast<const CMulStatusTreeNotify*>(pnmh);
  if (notify->nState == EM_TVIS_CHECK) {
    // One host at a time: only the one checked before can still be.
    if (m_current && m_current != notify->hItem) m_tree.SetCheck(m_current, EM_TVIS_UNCHECK, FALSE);
    m_current = notify->hItem;
    m_owner->EnableItem(kSave, TRUE);
    ShowClient(notify->hItem);
  } else if (notify->nState == EM_TVIS_UNCHECK) {
    ClearFields();
    m_owner->EnableItem(kSave, FALSE);
    m_current = nullptr;
  }
  return 0;
}

void CSMClientManagementUIHandler::ClearFields() {
  for (CEditEx* edit : {&m_name, &m_note, &m_address, &m_mac}) edit->SetWindowText(L"");
  m_type.SetCurSel(-1);
  m_state.SetCurSel(-1);
}

void CSMClientManagementUIHandler::ShowClient(HTREEITEM node) {
  SMPageLink link;
  if (!link.Open()) return;
  SQLStatement* statement = link.CreateStatement(kSelectClient);
  if (statement) statement->BindInt(0, static_cast<int>(NodeId(node)));
  if (!statement || !statement->Fetch()) {
    if (link.RecordGone(statement, L"查询信息出错")) ClientGone();
    return;
  }
  const int type = statement->GetInt(2), stopped = statement->GetInt(3);
  m_name.SetWindowText(OrEmpty(statement->GetString(0)));
  m_note.SetWindowText(OrEmpty(statement->GetString(1)));
  m_type.SetCurSel(type == 0 || type == 1 ? type : -1);
  m_state.SetCurSel(stopped == 0 || stopped == 1 ? stopped : -1);
  m_address.SetWindowText(OrEmpty(statement->GetString(4)));
  m_mac.SetWindowText(OrEmpty(statement->GetString(5)));
}

// The host is no longer in the table: the tree is read again, nothing checked, once the
// tree's own click that may have led here has ended.
void CSMClientManagementUIHandler::ClientGone() {
  TellRecordGone([this] { ::PostMessageW(m_owner->GetHWnd(), ReloadMessage(), 0, 0); });
}

UINT CSMClientManagementUIHandler::ReloadMessage() {
  static const UINT message = ::RegisterWindowMessageW(L"QuorvaneClientPageReload");
  return message;
}

LRESULT CSMClientManagementUIHandler::OnReloadTree(UINT, WPARAM, LPARAM, BOOL&) {
  ReloadTree(false);
  return 0;
}

void CSMClientManagementUIHandler::ReloadTree(bool keepEdit) {
  const unsigned long editing = keepEdit && m_current ? NodeId(m_current) : 0;
  m_current = nullptr;
  for (HTREEITEM root : {m_serverRoot, m_deviceRoot})
    while (HTREEITEM node = m_tree.GetChildItem(root)) RemoveNode(node);
  m_addressById.clear();
  LoadClients(editing);
  if (m_current) return;
  ClearFields();
  m_owner->EnableItem(kSave, FALSE);
}

int CSMClientManagementUIHandler::CountClientsByName(const std::wstring& name, int exceptId) {
  return SMPageLink::CountByName(kCountByName, name, exceptId);
}

// ---------------------------------------------------------------- save

void CSMClientManagementUIHandler::OnSave() {
  HTREEITEM node = m_current;
  if (!node) return;
  const int id = static_cast<int>(NodeId(node));
  const std::wstring name = m_name.GetWindowText();
  if (!name.empty()) {
    const int count = CountClientsByName(name, id);
    if (count < 0) return;
    if (count > 0) {
      // Another console's host may hold the name: the tree shows it, the edit goes on.
      UiMessageBox(L"请重新输入客户端名称", L"客户端名称已被使用", MB_ICONEXCLAMATION);
      ReloadTree(true);
      ::SetFocus(m_name);
      m_name.SetSel(0, -1);
      return;
    }
  }
  const std::wstring note = m_note.GetWindowText();
  const int type = m_type.GetCurSel();
  if (type < 0) {
    UiMessageBox(L"请选择客户端类型", L"注意", MB_OK);
    return;
  }
  const int stopped = m_state.GetCurSel();
  if (stopped < 0) {
    UiMessageBox(L"请选择客户端状态", L"注意", MB_OK);
    return;
  }
  const std::wstring address = m_address.GetWindowText();
  uint32_t host = 0;
  const bool known = ParseHostAddress(address, &host);

  // The row and its status change together or not at all. A disabled or enabled host is
  // told to the service before the change is committed: a command that cannot go out (no
  // address the service can take, or the link down) leaves the row as it was and the
  // fields as the user set them.
  int storedStopped = 0;
  {
    SMPageLink link;
    if (!link.Open()) return;
    SQLStatement* select = link.CreateStatement(kSelectStopped);
    if (select) select->BindInt(0, id);
    if (!select || !select->Fetch()) {
      if (link.RecordGone(select, L"错误")) ClientGone();
      return;
    }
    storedStopped = select->GetInt(0);
    link.ReleaseStatement(select);
    const bool changed = storedStopped != stopped;
    if (changed && !known) {
      link.Disconnect();
      TellHostAddressUnusable();
      return;
    }
    bool gone = false;
    auto write = [&] {
      const int updated = ExecuteOnRecord(
          link, {kSelectId, [&](SQLStatement& st) { return st.BindInt(0, id) != 0; }},
          {kUpdateClient, [&](SQLStatement& st) {
             return st.BindString(0, name.c_str()) && st.BindString(1, note.c_str()) && st.BindInt(2, type) &&
                    st.BindInt(3, stopped) && st.BindInt(4, id);
           }});
      gone = updated == 0;
      if (updated <= 0) return false;
      if (!changed) return true;
      SQLStatement* status = link.CreateStatement(kSetStatusById);
      return status && status->BindInt(0, stopped ? 0 : 1) && status->BindInt(1, id) && status->Execute();
    };
    auto tell = [&] {
      if (!changed) return true;  // nothing for the service
      const UINT command = stopped ? AGENT_MSG_DISABLE_CLIENT : AGENT_MSG_ENABLE_CLIENT;
      return g_agentLinkManager.SendOnChannel3(0, command, &host, sizeof host) == 1;
    };
    if (!StoreAndTell(link, write, tell, L"错误", &gone)) {
      if (gone) ClientGone();
      return;
    }
  }

  node = UpdateTreeNode(node, name.empty() ? address : name, type);
  if (storedStopped != stopped && stopped) {
    SetNodeImage(node, kImageOffline);
    m_pictures.Show(m_tree);
    ::SendMessageW(m_owner->GetHWnd(), AGENT_MSG_CLIENT_OFFLINE, host, 0);  // every page marks it offline
  }
  UiMessageBox(L"保存成功", L"成功", MB_OK);
}

HTREEITEM CSMClientManagementUIHandler::UpdateTreeNode(HTREEITEM node, const std::wstring& text, int type) {
  SetNodeText(node, text);
  HTREEITEM root = m_tree.GetParentItem(node);
  const HTREEITEM target = type == 0 ? m_serverRoot : type == 1 ? m_deviceRoot : root;
  if (target == root) return node;
  const unsigned long id = NodeId(node);
  const int image = NodeImage(node);
  const bool wasCurrent = node == m_current;
  RemoveNode(node);
  node = AddNode(target, text.c_str(), TVI_LAST, image, wasCurrent, id);
  if (wasCurrent) {
    m_current = node;
    m_tree.SelectItem(node);
    m_tree.SendMessage(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(node));
  }
  RebuildAddressMap();
  return node;
}

// ---------------------------------------------------------------- host states

// A question: one that cannot go out now is asked again when the link comes back
// (OnLinkConnected), and nothing waits for its answer.
void CSMClientManagementUIHandler::QueryClientState(const std::wstring& address) {
  uint32_t host = 0;
  if (ParseHostAddress(address, &host)) g_agentLinkManager.SendOnChannel2(0, AGENT_MSG_CLIENT_STATE, &host, sizeof host);
}

void CSMClientManagementUIHandler::AskClientStates(std::vector<std::wstring> addresses) {
  m_stateQuestions.Ask(m_owner->GetHWnd(), std::move(addresses));
}

// Every node's host, in the order of the hosts' ids: from what the page keeps, not by
// walking the tree, a few messages a node.
LRESULT CSMClientManagementUIHandler::OnLinkConnected(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  bHandled = FALSE;  // other pages ask again too
  std::vector<std::pair<unsigned long, const std::wstring*>> hosts;
  hosts.reserve(m_addressById.size());
  for (const auto& host : m_addressById) hosts.emplace_back(host.first, &host.second);
  std::sort(hosts.begin(), hosts.end());
  std::vector<std::wstring> addresses;
  addresses.reserve(hosts.size());
  for (const auto& host : hosts) addresses.push_back(*host.second);
  AskClientStates(std::move(addresses));
  return 0;
}

// The payload is read only while the link is delivering it. Other pages want the
// state messages too: the handled flag is left cleared.
LRESULT CSMClientManagementUIHandler::OnClientState(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
  bHandled = FALSE;
  ClientStateRecord record;
  if (CAgentLink::IsDelivering(uMsg, wParam, lParam) &&
      ReadClientState(reinterpret_cast<const unsigned char*>(lParam), static_cast<size_t>(wParam), record))
    SetClientStateByIp(record.Address, record.Online ? 1 : 0);
  return 0;
}

LRESULT CSMClientManagementUIHandler::OnClientOnline(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  bHandled = FALSE;
  SetClientStateByIp(static_cast<uint32_t>(wParam), 1);
  return 0;
}

LRESULT CSMClientManagementUIHandler::OnClientOffline(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  bHandled = FALSE;
  SetClientStateByIp(static_cast<uint32_t>(wParam), 0);
  return 0;
}

// The service names the host by its address, the table by the text it was stored with.
void CSMClientManagementUIHandler::SetClientStateByIp(uint32_t address, int state) {
  for (const std::wstring& text : m_storedAddresses.TextsOf(address)) UpdateClientState(text, state);
}

// States come in bursts (an answer per host after the load): they are written
// together, one update each in a single transaction, once the burst has been taken.
void CSMClientManagementUIHandler::UpdateClientState(const std::wstring& address, int state) {
  m_stateWrites.Add(m_owner->GetHWnd(), FlushMessage(), address, state);
}

UINT CSMClientManagementUIHandler::FlushMessage() {
  static const UINT message = ::RegisterWindowMessageW(L"QuorvaneClientStateFlush");
  return message;
}

LRESULT CSMClientManagementUIHandler::OnFlushStates(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  bHandled = FALSE;
  const HostStateWrites::States states = m_stateWrites.Flush(L"错误");
  for (const auto& s : states)
    if (HTREEITEM node = NodeOfAddress(s.first)) SetNodeImage(node, s.second == 1 ? kImageOnline : kImageOffline);
  m_pictures.Show(m_tree);
  return 0;
}

// ---------------------------------------------------------------- 1795 to 1797

LRESULT CSMClientManagementUIHandler::SendClientChange(HWND window, UINT message, const ClientChangeNotice& notice) {
  return OwnDelivery::Send(window, message, 0, reinterpret_cast<LPARAM>(&notice));
}

LRESULT CSMClientManagementUIHandler::OnClientChangeMessage(UINT uMsg, WPARAM wParam, LPARAM lParam,
                                                            BOOL& bHandled) {
  bHandled = FALSE;
  const auto* notice = reinterpret_cast<const ClientChangeNotice*>(lParam);
  // Not our own call: a pointer into nowhere.
  if (!notice || !OwnDelivery::IsDelivering(uMsg, wParam, lParam)) return 0;
  const std::wstring text(notice->text, wcsnlen(notice->text, ClientChangeNotice::kTextUnits));
  if (uMsg == kClientAdded)
    OnClientAdded(*notice, text);
  else if (uMsg == kClientChanged)
    OnClientChanged(*notice, text);
  else
    OnClientRemoved(*notice);
  return 0;
}

void CSMClientManagementUIHandler::OnClientAdded(const ClientChangeNotice& notice, const std::wstring& text) {
  if (notice.group > 1 || text.empty()) return;
  std::wstring address;
  int status = 0;
  {
    SMPageLink link;
    if (!link.Open()) return;
    SQLStatement* statement = link.CreateStatement(kSelectAddress);
    if (statement) statement->BindInt(0, static_cast<int>(notice.clientId));
    if (statement && statement->Fetch()) {
      address = OrEmpty(statement->GetString(0));
      status = statement->GetInt(1);
    } else if (!statement || statement->Failed()) {
      return link.ShowError(L"查询数据库错误");
    }
  }
  m_addressById[notice.clientId] = address;
  m_storedAddresses.Add(address);
  if (notice.group == 0)
    AddServerNode(text.c_str(), TVI_LAST, status, false, notice.clientId);
  else
    AddDeviceNode(text.c_str(), TVI_LAST, status, false, notice.clientId);
  RebuildAddressMap();
  QueryClientState(address);
}

void CSMClientManagementUIHandler::OnClientChanged(const ClientChangeNotice& notice, const std::wstring& text) {
  HTREEITEM node = FindNode(notice.clientId);
  if (!node) return;
  SMPageLink link;
  if (!link.Open()) return;
  SQLStatement* statement = link.CreateStatement(kSelectNameType);
  if (statement) statement->BindInt(0, static_cast<int>(notice.clientId));
  if (!statement || !statement->Fetch()) {
    if (!statement || statement->Failed()) link.ShowError(L"查询数据库错误");
    return;
  }
  std::wstring name = OrEmpty(statement->GetString(0));
  const int type = statement->GetInt(1);
  m_addressById[notice.clientId] = OrEmpty(statement->GetString(2));
  m_storedAddresses.Add(m_addressById[notice.clientId]);
  link.Disconnect();
  UpdateTreeNode(node, name.empty() ? text : name, type);
  RebuildAddressMap();
}

void CSMClientManagementUIHandler::OnClientRemoved(const ClientChangeNotice& notice) {
  HTREEITEM node = FindNode(notice.clientId);
  if (!node) return;
  DeleteNode(node);
  m_addressById.erase(notice.clientId);
  RebuildAddressMap();
}
