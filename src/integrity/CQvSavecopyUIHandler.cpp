#include "integrity/CQvSavecopyUIHandler.h"

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "console/AgentLinkNotice.h"
#include "console/CAgentLink.h"
#include "console/CAgentLinkManager.h"
#include "console/ConnectOrTell.h"
#include "console/DottedIPv4.h"
#include "console/LinkRecords.h"
#include "console/ListReadFailure.h"
#include "console/RecordGone.h"
#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"
#include "console/ShellServices.h"
#include "console/SysServerPortConfig.h"
#include "controls/CUIResource.h"
#include "integrity/CQvSCWarningDlg.h"
#include "platform/CAppModule.h"
#include "platform/CGdiObject.h"
#include "platform/TextConv.h"
#include "platform/WideFormat.h"
#include "uiwin/CUiDialogHost.h"
#include "uiwin/UiMessageBox.h"

namespace {

const UINT kBitmaps[] = {126, 137, 131, 128, 130};  // in the order of the image list
const COLORREF kMask = RGB(0xFF, 0x00, 0xFF);
const COLORREF kRestoring = 0xECB203;
const wchar_t kErrorCaption[] = L"错误";
const wchar_t kRestoreCaption[] = L"还原";
const int kTimeWidth = 140;  // "2024-06-30 23:59:59" in the default font
const int kNarrowest = 70;   // a four-character title
const COLORREF kNotClickable = RGB(0x80, 0x80, 0x80);

struct Host {
  int id;
  std::wstring label;
  std::wstring address;
  int type;
  int status;
};

using qv::OrEmpty;

// What the restore of each strategy type calls its target; views have none.
bool IsViewedType(int type) { return type == 4 || type == 8; }
const wchar_t* RestoreTarget(int type) {
  static const wchar_t* const kTargets[] = {L"操作系统", L"数据库系统", L"Web服务器", L"邮件服务器", L"",
                                            L"文件服务器"};
  return type >= 0 && type < int(sizeof kTargets / sizeof kTargets[0]) ? kTargets[type] : L"";
}

// Statements. The reads of one record: 1 read, 0 no such row, -1 failed.
int ReadHosts(SQLServerLink& link, std::vector<Host>& hosts);
// Strategy names by type, by host address.
using HostStrategies = std::unordered_map<std::wstring, std::map<int, std::vector<std::wstring>>>;
int ReadStrategies(SQLServerLink& link, HostStrategies& byHost);
int ReadHostAddress(SQLServerLink& link, int clientId, std::wstring& address);
SQLStatement* SelectCopiesByType(SQLServerLink& link, const std::wstring& address, int type);
SQLStatement* SelectCopiesByName(SQLServerLink& link, const std::wstring& address, const std::wstring& name,
                                 bool server);
// *online 1 when the host of the address is online.
int ReadHostState(SQLServerLink& link, const std::wstring& address, int* online);
int ReadCopy(SQLServerLink& link, unsigned long id, CQvSavecopyUIHandler::Copy& copy);

}  // namespace

CQvSavecopyUIHandler::CQvSavecopyUIHandler(CUiDialogHost* owner)
    : m_owner(owner),
      m_tree(CUIResource::GetSkinBitmap(), kTreeScrollId),
      m_grid(CUIResource::GetSkinBitmap(), kGridScrollId, 0xCFBBA2, 0xCDFAFF, 0xF5C2A9),
      m_hostPictures(kImageOnline, kImageOffline),
      m_filling(L"QuorvaneCopyPageTreeFill") {}

int CQvSavecopyUIHandler::Init() {
  m_images.Create(32, 24, ILC_COLOR24 | ILC_MASK, 5, 5);
  for (UINT id : kBitmaps) {
    CBitmap bitmap;
    bitmap.Attach(::LoadBitmapW(g_module.GetResourceInstance(), MAKEINTRESOURCEW(id)));
    m_images.Add(bitmap, kMask);
  }
  const HWND view = m_owner->GetViewHWnd();
  if (!m_tree.Create(view, RECT{}, nullptr,
                     WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_FULLROWSELECT, 0,
                     kTree)) {
    const DWORD error = ::GetLastError();
    m_owner->DestroyWindow();
    return static_cast<int>(error);
  }
  m_tree.SetImageList(m_images, TVSIL_NORMAL);

  m_grid.Create(view, nullptr, nullptr, 0, 0, kGrid);
  const struct {
    const wchar_t* title;
    int width;
    UINT format;
  } columns[] = {{L"创建时间", 251, ITEM_FORMAT_NONE},
                 {L"副本容量", 150, ITEM_FORMAT_NONE},
                 {L"还原副本", 100, ITEM_FORMAT_HYPERLINK},
                 {L"副本删除", 100, ITEM_FORMAT_HYPERLINK},
                 {L"指定基线", 100, ITEM_FORMAT_CHECKBOX}};
  for (const auto& column : columns)
    m_grid.AddColumn(column.title, column.width, -1, FALSE, FALSE, column.format, ITEM_FLAGS_CENTRE);

  m_serverGroupItem =
      m_tree.InsertItem(L"服务器群组", kImageServerGroup, kImageServerGroup, TVI_ROOT, TVI_LAST, EM_TVIS_NONE);
  m_deviceGroupItem = m_tree.InsertItem(L"网络设备/安全设备群组", kImageDeviceGroup, kImageDeviceGroup, TVI_ROOT,
                                        m_serverGroupItem, EM_TVIS_NONE);
  LoadClientTree();
  return 0;
}

std::wstring CQvSavecopyUIHandler::TypeLabel(int type) {
  static const wchar_t* const kLabels[] = {
      L"操作系统完整性监测策略",       L"数据库系统完整性监测策略",         L"Web服务器完整性监测策略",
      L"邮件服务器完整性监测策略",     L"网络设备/安全设备完整性监测策略", L"文件服务器完整性监测策略",
      L"自定义服务器完整性监测策略",   L"自定义文件系统完整性监测策略",     L"自定义网络设备完整性监测策略",
      L"自定义注册表完整性监测策略",
  };
  if (type >= 0 && type < int(sizeof kLabels / sizeof kLabels[0])) return kLabels[type];
  return qv::FormatW(L"%d", type);
}

// The hosts are read at once and go into the tree from the window's idle time, after the
// first: the page is not shown at login, and a site's 20,000 hosts with their strategies
// held the main window before it painted.
int CQvSavecopyUIHandler::LoadClientTree() {
  SQLServerLink link;
  if (!ConnectOrTell(link, kNoConnectionText)) return 0;
  struct Load {
    std::vector<Host> hosts;
    HostStrategies byHost;
    size_t next = 0;
  };
  auto load = std::make_shared<Load>();
  if (!ReadHosts(link, load->hosts) || !ReadStrategies(link, load->byHost)) {
    TellListUnread(kReadCopyHostsFailed, link, kErrorCaption);
    return 0;
  }
  link.Disconnect();
  // Every host's address at once: a state may come for one still to go into the tree.
  m_storedAddresses.Clear();
  for (const Host& host : load->hosts) m_storedAddresses.Add(host.address);
  auto add = [this, load](DWORD until) {
    // Scroll bars and paint once a slice, after its last node.
    m_tree.SendMessage(WM_SETREDRAW, FALSE);
    size_t added = 0;
    do {
      if (load->next >= load->hosts.size()) break;
      const Host& host = load->hosts[load->next++];
      // A host of a kind the tree has no group for is left out; the others still come.
      if (host.type != 0 && host.type != 1) continue;
      const HTREEITEM group = host.type == 0 ? m_serverGroupItem : m_deviceGroupItem;
      const HTREEITEM item =
          m_tree.InsertPlainItem(host.label.c_str(), HostNodePictures::kAsked, group, TVI_LAST, host.id);
      if (!item) continue;
      const auto later = m_laterStates.find(host.address);
      m_hostPictures.Add(item, later != m_laterStates.end() ? later->second == 1 : host.status == 1);
      m_hostItems.emplace(host.address, item);  // the first host of an address wins

      const auto strategies = load->byHost.find(host.address);
      if (strategies == load->byHost.end()) continue;
      for (const auto& type : strategies->second) {
        const HTREEITEM typeItem = m_tree.InsertPlainItem(TypeLabel(type.first).c_str(), kImageType, item, TVI_LAST,
                                                          static_cast<DWORD_PTR>(type.first));
        for (const std::wstring& name : type.second)
          m_tree.InsertPlainItem(name.c_str(), kImageName, typeItem, TVI_LAST, 0);
      }
    } while (++added < IdleSlices::kSliceEntries && IdleSlices::Within(until));
    m_tree.Expand(m_serverGroupItem);
    m_tree.Expand(m_deviceGroupItem);
    m_tree.SendMessage(WM_SETREDRAW, TRUE);
    m_tree.Invalidate();
    if (load->next < load->hosts.size()) return true;
    m_laterStates.clear();
    return false;
  };
  if (add(::GetTickCount() + IdleSlices::kSliceMs)) m_filling.Start(m_owner->GetHWnd(), add);
  return 1;
}

int CQvSavecopyUIHandler::LoadCopies(HTREEITEM item) {
  SQLServerLink link;
  if (!ConnectOrTell(link, kNoConnectionText)) return 0;
  m_grid.DeleteAllItems();
  const int depth = Depth(item);
  if (depth != 2 && depth != 3) return 0;
  const HTREEITEM host = Ancestor(item, 1);
  const bool server = Ancestor(item, 0) == m_serverGroupItem;
  const int type = static_cast<int>(m_tree.GetItemData(item));
  if (depth == 2 && type != 0 && type != 1) return 0;

  m_currentItem = item;
  SetViewMode(depth == 3 && !server ? 1 : 0);
  std::wstring address;
  const int read = ReadHostAddress(link, static_cast<int>(m_tree.GetItemData(host)), address);
  if (read <= 0) {
    // A host no longer in the table: the tree is read again once the click has ended.
    if (read < 0) TellError(link);
    link.Disconnect();
    if (read == 0) TellRecordGone([this] { PostRebuild(); });
    return 0;
  }
  const bool serverRows = depth == 2 || server;
  SQLStatement* copies = depth == 2 ? SelectCopiesByType(link, address, type)
                                    : SelectCopiesByName(link, address, m_tree.GetItemText(item), serverRows);
  bool full = false;
  if (!copies || !AddCopyRows(copies, serverRows, &full)) {
    const std::wstring reason = full ? kGridFullReason : OrEmpty(link.GetLastErrorText());
    link.Disconnect();
    TellListUnread(kReadCopiesFailed, reason.c_str(), kErrorCaption);
    return 0;
  }
  return 1;
}

int CQvSavecopyUIHandler::OnRestoreOrViewCopy(int row) {
  unsigned long id = 0;
  if (!m_grid.GetItemData(row, id)) return 0;
  SQLServerLink link;
  if (!ConnectOrTell(link, kNoConnectionText)) return 0;
  Copy copy;
  const int read = ReadCopy(link, id, copy);
  if (read <= 0) {
    // A copy no longer in the table: its list is read again once the click has ended.
    if (read < 0) TellError(link, L"查询错误");
    link.Disconnect();
    if (read == 0) CopyGone();
    return 0;
  }
  link.Disconnect();
  if (IsViewedType(copy.strategyType)) {
    ShellServices::Current().StartProgram(L"notepad.exe", copy.path);
    return 1;
  }
  Restore(copy, RestoreTarget(copy.strategyType), id, row);
  return 1;
}

void CQvSavecopyUIHandler::Restore(const Copy& copy, const wchar_t* target, unsigned long copyId, int row) {
  // A value that does not fit the record is refused rather than cut: a cut path would
  // restore some other file.
  CopyRestoreRecord record{};
  if (!ParseHostAddress(copy.address, &record.ClientIP)) {
    TellHostAddressUnusable();
    return;
  }
  const wchar_t* refusal = nullptr;
  if (!WriteFixedText(record.StrategyName, copy.strategyName))
    refusal = L"策略名称超过63个字符，无法还原！";
  else if (!WriteFixedText(record.CopyFilePath, copy.path))
    refusal = L"副本路径超过259个字符，无法还原！";
  if (refusal) {
    UiMessageBox(refusal, kRestoreCaption, MB_ICONWARNING);
    return;
  }
  if (!RestoreAllowed(copyId, copy.address)) return;
  std::wstring copyName;
  std::wstring hostLabel;
  if (m_currentItem) {
    copyName = m_tree.GetItemText(m_currentItem);
    if (Depth(m_currentItem) == 3)
      copyName = m_tree.GetItemText(m_tree.GetParentItem(m_currentItem)) + L" - " + copyName;
    hostLabel = m_tree.GetItemText(Ancestor(m_currentItem, 1));
  }
  CQvSCWarningDlg confirm(target, hostLabel, copyName, m_grid.GetItemText(row, kColTime));
  if (confirm.DoModal(m_owner->GetHWnd()) != IDOK) return;
  if (!RestoreAllowed(copyId, copy.address)) return;  // again: the question may have stood a while
  if (!SentOrTellLinkDown(g_agentLinkManager.SendOnChannel3(0, AGENT_MSG_RESTORE_COPY, &record, sizeof record)))
    return;
  // The list may have changed while the dialog ran: the row is found again by its copy.
  for (int at = 0; at < m_grid.GetItemCount(); ++at) {
    unsigned long id = 0;
    if (!m_grid.GetItemData(at, id) || id != copyId) continue;
    m_grid.SetItemText(at, kColDelete, L"还原中...");
    m_grid.SetItemColours(at, kColDelete, CLR_NONE, kRestoring);
    break;
  }
}

// The copy and its host still in their tables, and the host online; each refusal is told,
// a copy or host that is gone with its list or tree read again.
bool CQvSavecopyUIHandler::RestoreAllowed(unsigned long copyId, const std::wstring& address) {
  SQLServerLink link;
  if (!ConnectOrTell(link, kNoConnectionText)) return false;
  Copy copy;
  const int copyRead = ReadCopy(link, copyId, copy);
  if (copyRead < 0) TellError(link, L"查询错误");
  if (copyRead == 0) {
    link.Disconnect();
    CopyGone();
  }
  if (copyRead <= 0) return false;
  int online = 0;
  const int hostRead = ReadHostState(link, address, &online);
  const std::wstring reason = hostRead < 0 ? OrEmpty(link.GetLastErrorText()) : L"";
  link.Disconnect();
  if (hostRead < 0) {  // not the same as a host that is offline
    UiMessageBox(qv::FormatW(L"读取目标主机状态失败：%ls", reason.c_str()).c_str(), kRestoreCaption, MB_ICONERROR);
    return false;
  }
  if (hostRead == 0) {
    TellRecordGone([this] { PostRebuild(); });
    return false;
  }
  if (!online) UiMessageBox(L"目标主机不在线，无法还原！", kRestoreCaption, MB_ICONWARNING);
  return online != 0;
}

void CQvSavecopyUIHandler::CopyGone() {
  TellRecordGone([this] { ::PostMessageW(m_owner->GetHWnd(), AGENT_MSG_COPY_LIST_CHANGED, 0, 0); });
}

int CQvSavecopyUIHandler::SetClientStatus(uint32_t address, int status) {
  for (const std::wstring& text : m_storedAddresses.TextsOf(address))
    m_stateWrites.Add(m_owner->GetHWnd(), FlushMessage(), text, status);
  return 1;
}

UINT CQvSavecopyUIHandler::FlushMessage() {
  static const UINT message = ::RegisterWindowMessageW(L"QuorvaneCopyPageStateFlush");
  return message;
}

LRESULT CQvSavecopyUIHandler::OnFlushStates(UINT, WPARAM, LPARAM, BOOL&) {
  const HostStateWrites::States states = m_stateWrites.Flush(kErrorCaption);
  // The tree's items are found by the addresses the load read: a look-up per state
  // made a thousand hosts coming online cost minutes.
  for (const auto& state : states) {
    const auto item = m_hostItems.find(state.first);
    if (item != m_hostItems.end())
      m_hostPictures.Set(item->second, state.second == 1);
    else if (m_filling.Pending())
      m_laterStates[state.first] = state.second;  // its host is still to come
  }
  m_hostPictures.Show(m_tree);
  return 0;
}

// ---- Notifications and messages

LRESULT CQvSavecopyUIHandler::OnTreeDispInfo(int, LPNMHDR pnmh, BOOL&) {
  m_hostPictures.OnDispInfo(reinterpret_cast<NMTVDISPINFOW*>(pnmh));
  return 0;
}

LRESULT CQvSavecopyUIHandler::OnUiResized(int, LPNMHDR pnmh, BOOL& bHandled) {
  const auto* resized = reinterpret_cast<UINMREALWNDRESIZED*>(pnmh);
  if (resized->uItemID != kGrid) {
    bHandled = FALSE;
    return 0;
  }
  OnSize(resized->rcWnd);
  return 0;
}

LRESULT CQvSavecopyUIHandler::OnTreeLabelClick(int, LPNMHDR pnmh, BOOL&) {
  LoadCopies(reinterpret_cast<CMulStatusTreeNotify*>(pnmh)->hItem);
  return 0;
}

// Only the restore column acts: there is no deletion of copies.
LRESULT CQvSavecopyUIHandler::OnCopyCellClicked(int, LPNMHDR pnmh, BOOL&) {
  const auto* notify = reinterpret_cast<CListNotify*>(pnmh);
  if (notify->m_nSubItem == kColRestore) OnRestoreOrViewCopy(notify->m_nItem);
  return 0;
}

LRESULT CQvSavecopyUIHandler::OnCopiesChanged(UINT, WPARAM, LPARAM, BOOL&) {
  if (m_currentItem) LoadCopies(m_currentItem);
  return 0;
}

// The state messages are the client page's too: the handled flag is left clear.
LRESULT CQvSavecopyUIHandler::OnClientOnline(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  bHandled = FALSE;
  SetClientStatus(static_cast<uint32_t>(wParam), 1);
  return 0;
}

LRESULT CQvSavecopyUIHandler::OnClientOffline(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  bHandled = FALSE;
  SetClientStatus(static_cast<uint32_t>(wParam), 0);
  return 0;
}

// The payload is read only while the link is delivering it.
LRESULT CQvSavecopyUIHandler::OnClientState(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
  bHandled = FALSE;
  ClientStateRecord record;
  if (CAgentLink::IsDelivering(uMsg, wParam, lParam) &&
      ReadClientState(reinterpret_cast<const unsigned char*>(lParam), static_cast<size_t>(wParam), record))
    SetClientStatus(record.Address, record.Online ? 1 : 0);
  return 0;
}

// The notices come from inside the client page's save: the tree is read again once
// that has ended.
LRESULT CQvSavecopyUIHandler::OnClientsChanged(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  bHandled = FALSE;
  PostRebuild();
  return 0;
}

void CQvSavecopyUIHandler::PostRebuild() {
  if (!m_rebuildPosted) m_rebuildPosted = ::PostMessageW(m_owner->GetHWnd(), RebuildMessage(), 0, 0) != FALSE;
}

UINT CQvSavecopyUIHandler::RebuildMessage() {
  static const UINT message = ::RegisterWindowMessageW(L"QuorvaneCopyPageTreeRebuild");
  return message;
}

LRESULT CQvSavecopyUIHandler::OnRebuildTree(UINT, WPARAM, LPARAM, BOOL&) {
  m_rebuildPosted = false;
  m_filling.Stop();
  m_laterStates.clear();
  m_grid.DeleteAllItems();
  m_currentItem = nullptr;
  for (HTREEITEM group : {m_serverGroupItem, m_deviceGroupItem})
    while (HTREEITEM child = m_tree.GetChildItem(group)) m_tree.DeleteItem(child);
  m_hostItems.clear();
  m_hostPictures.Clear();
  LoadClientTree();
  return 0;
}

void CQvSavecopyUIHandler::OnSize(const RECT& rect) {
  const bool maximized = ::IsZoomed(m_owner->GetHWnd()) != FALSE;
  int others = maximized ? 200 : 100;
  int volume = maximized ? 300 : 250;
  const int room = rect.right - rect.left;
  int time = room - volume - 3 * others;
  if (time < kTimeWidth) {
    // Too narrow for those widths (the normal window): the time whole, and the other four
    // share the rest beside a vertical scroll bar; only below their titles' width does the
    // list scroll sideways.
    time = kTimeWidth;
    others = volume = std::max(kNarrowest, (room - ::GetSystemMetrics(SM_CXVSCROLL) - time) / 4);
  }
  m_grid.SetColumnWidth(kColTime, time);
  m_grid.SetColumnWidth(kColVolume, volume);
  for (int column = kColRestore; column <= kColBaseLine; ++column) m_grid.SetColumnWidth(column, others);
}

// ---- Helpers

int CQvSavecopyUIHandler::Depth(HTREEITEM item) const {
  int depth = -1;
  for (; item; item = m_tree.GetParentItem(item)) ++depth;
  return depth;
}

HTREEITEM CQvSavecopyUIHandler::Ancestor(HTREEITEM item, int depth) const {
  for (int at = Depth(item); at > depth; --at) item = m_tree.GetParentItem(item);
  return item;
}

void CQvSavecopyUIHandler::SetViewMode(int mode) {
  if (m_viewMode == mode) return;
  m_viewMode = mode;
  m_grid.SetColumnText(kColRestore, mode == 0 ? L"还原副本" : L"查看");
  m_grid.SetColumnText(kColDelete, mode == 0 ? L"副本清除" : L"");
  m_grid.SetColumnText(kColBaseLine, mode == 0 ? L"指定基线" : L"");
}

bool CQvSavecopyUIHandler::AddCopyRows(SQLStatement* statement, bool server, bool* full) {
  while (statement->Fetch()) {
    const int row = m_grid.AddItem(OrEmpty(statement->GetString(1)), -1, ITEM_FORMAT_NONE, ITEM_FLAGS_CENTRE);
    if (row < 0) {  // a grid that cannot take another row holds part of the list
      m_grid.DeleteAllItems();
      *full = true;
      return false;
    }
    m_grid.SetItemText(row, kColVolume, qv::FormatW(L"%d MB", statement->GetInt(2)).c_str());
    m_grid.SetItemText(row, kColRestore, server ? L"还原" : L"查看");
    m_grid.SetItemText(row, kColDelete, server ? L"删除" : L"--");
    // Copies are not deleted from the console: the word stays, as read-only text, not a link.
    m_grid.SetItemFormat(row, kColDelete, ITEM_FORMAT_EDIT, ITEM_FLAGS_CENTRE | ITEM_FLAGS_READ_ONLY);
    m_grid.SetItemColours(row, kColDelete, CLR_NONE, kNotClickable);
    if (server)
      m_grid.SetItemCheck(row, kColBaseLine, statement->GetInt(4) == 1 ? 1 : 0);
    else
      m_grid.SetItemFormat(row, kColBaseLine, ITEM_FORMAT_NONE, ITEM_FLAGS_HIDDEN);
    m_grid.SetItemData(row, static_cast<unsigned long>(statement->GetInt(0)));
  }
  if (!statement->Failed()) return true;
  // Part of the copies would pass for all of them.
  m_grid.DeleteAllItems();
  return false;
}

// ---- Statements

namespace {

int ReadHosts(SQLServerLink& link, std::vector<Host>& hosts) {
  SQLStatement* statement = link.CreateStatement(L"select id, Name, IP, Type, Status from Client");
  if (!statement) return 0;
  while (statement->Fetch()) {
    const std::wstring name = OrEmpty(statement->GetString(1));
    const std::wstring address = OrEmpty(statement->GetString(2));
    hosts.push_back(Host{statement->GetInt(0), name.empty() ? address : name, address, statement->GetInt(3),
                         statement->GetInt(4)});
  }
  return !statement->Failed();
}

// Every host's strategy types with their names, in one statement: one per host made
// the tree of a thousand hosts take seconds. Database copies are listed at the type,
// so type 1 keeps no names.
int ReadStrategies(SQLServerLink& link, HostStrategies& byHost) {
  SQLStatement* statement = link.CreateStatement(L"select distinct Ip, StrategyType, StrategyName from StrategyTable");
  if (!statement) return 0;
  while (statement->Fetch()) {
    const wchar_t* address = statement->GetString(0);
    if (!address) continue;
    const int type = statement->GetInt(1);
    auto& names = byHost[address][type];
    if (type != 1) names.push_back(OrEmpty(statement->GetString(2)));
  }
  return !statement->Failed();
}

int ReadHostAddress(SQLServerLink& link, int clientId, std::wstring& address) {
  SQLStatement* statement = link.CreateStatement(L"select IP from Client where id = ?");
  if (!statement || !statement->BindInt(0, clientId)) return -1;
  if (!statement->Fetch()) return statement->Failed() ? -1 : 0;
  address = OrEmpty(statement->GetString(0));
  return 1;
}

SQLStatement* SelectCopiesByType(SQLServerLink& link, const std::wstring& address, int type) {
  SQLStatement* statement = link.CreateStatement(
      L"select id, CreateTime, CopyVolumn, RestoreStatus, BaseLine from Copy where ClientIP = ? and StrategyType = ?");
  if (!statement || !statement->BindString(0, address.c_str()) || !statement->BindInt(1, type)) return nullptr;
  return statement;
}

SQLStatement* SelectCopiesByName(SQLServerLink& link, const std::wstring& address, const std::wstring& name,
                                 bool server) {
  SQLStatement* statement = link.CreateStatement(
      server ? L"select id, CreateTime, CopyVolumn, RestoreStatus, BaseLine from Copy where ClientIP = ? and "
               L"StrategyName = ?"
             : L"select id, CreateTime, CopyVolumn from Copy where ClientIP = ? and StrategyName = ?");
  if (!statement || !statement->BindString(0, address.c_str()) || !statement->BindString(1, name.c_str()))
    return nullptr;
  return statement;
}

int ReadCopy(SQLServerLink& link, unsigned long id, CQvSavecopyUIHandler::Copy& copy) {
  SQLStatement* statement =
      link.CreateStatement(L"select ClientIP, StrategyName, StrategyType, CopyFilePath from Copy where id = ?");
  if (!statement || !statement->BindInt(0, static_cast<int>(id))) return -1;
  if (!statement->Fetch()) return statement->Failed() ? -1 : 0;
  copy.address = OrEmpty(statement->GetString(0));
  copy.strategyName = OrEmpty(statement->GetString(1));
  copy.strategyType = statement->GetInt(2);
  copy.path = OrEmpty(statement->GetString(3));
  return 1;
}

int ReadHostState(SQLServerLink& link, const std::wstring& address, int* online) {
  SQLStatement* statement = link.CreateStatement(L"select Status from Client where IP = ?");
  if (!statement || !statement->BindString(0, address.c_str()) || !statement->SetMaxRows(1)) return -1;
  if (!statement->Fetch()) return statement->Failed() ? -1 : 0;
  *online = statement->GetInt(0) == 1;
  return 1;
}

}  // namespace
