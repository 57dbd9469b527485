#include "console/RemotePathBrowser.h"

#include <winsock2.h>

#include <algorithm>
#include <new>
#include <vector>

#include "console/AgentLinkNotice.h"
#include "console/AgentLinkPayloadInfo.h"
#include "console/AgentMessageId.h"
#include "console/CAgentLink.h"
#include "console/CAgentLinkManager.h"
#include "console/ConnectOrTell.h"
#include "console/DottedIPv4.h"
#include "console/LinkRecords.h"
#include "console/RemoteListing.h"
#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"
#include "console/SysServerPortConfig.h"
#include "console/SystemErrorText.h"
#include "platform/TextConv.h"
#include "platform/WideFormat.h"
#include "uiwin/UiMessageBox.h"

namespace {

const wchar_t kHostNameQuery[] = L"select Name from Client where IP=?";

const UINT kDirectoryPictures[] = {126, 129, 130};     // host, drive, directory
const UINT kFilePictures[] = {126, 129, 130, 143};     // and file
const DWORD kTreeStyle = WS_CHILD | WS_TABSTOP | TVS_FULLROWSELECT | TVS_TRACKSELECT |
                         TVS_SHOWSELALWAYS | TVS_HASLINES | TVS_HASBUTTONS;
const wchar_t kPlaceholder[] = L"test";  // gives an unlisted node its expand button
const int kDriveLetters = 26;

using qv::OrEmpty;

std::wstring Join(const std::wstring& head, const std::wstring& tail) {
  if (head.empty()) return tail;
  if (tail.empty()) return head;
  return head.back() == L'\\' ? head + tail : head + L"\\" + tail;
}

}  // namespace

RemotePathBrowser::RemotePathBrowser(bool files) : m_files(files) {}

RemotePathBrowser::~RemotePathBrowser() { Close(); }

UINT RemotePathBrowser::AnswerId() const {
  return m_files ? AGENT_MSG_FILE_LIST : AGENT_MSG_LIST_DIRECTORY;
}

void RemotePathBrowser::Open(HWND dialog, HWND view, UINT id, const std::wstring& host,
                             const std::wstring& startDir) {
  m_dialog = dialog;
  if (!m_tree.Create(view, id, kTreeStyle, m_files ? kFilePictures : kDirectoryPictures,
                     m_files ? 4 : 3))
    return;
  SQLServerLink link;
  if (!ConnectOrTell(link, kNoConnectionText)) return;
  std::wstring label;
  if (SQLStatement* name = link.CreateStatement(kHostNameQuery)) {
    name->BindString(0, host.c_str());
    if (name->Fetch()) label = OrEmpty(name->GetString(0));
  }
  link.Disconnect();
  if (label.empty()) label = host;

  m_startDir = !startDir.empty();
  if (m_startDir)
    m_top = AddNode(TVI_ROOT, startDir, kDirectoryNode, false);
  else
    m_top = m_tree.tree.InsertItem(label.c_str(), kHostNode, kHostNode, TVI_ROOT, TVI_LAST,
                                   EM_TVIS_NONE);
  if (!m_top) return;

  // A host the service cannot address has no agent to ask.
  if (!ParseDottedIPv4(host, &m_host) || m_host == INADDR_BROADCAST) {
    TellHostAddressUnusable();
    return;
  }
  CAgentLinkManager::RegisterWindow(AgentLinkWindow{m_dialog, AGENT_MSG_LIST_DRIVES});
  CAgentLinkManager::RegisterWindow(AgentLinkWindow{m_dialog, AnswerId()});
  m_registered = true;
  m_topPending = true;
  // Told once; the top is asked for again whenever the link is back.
  SentOrTellLinkDown(RequestTop());
  WatchLink();
}

bool RemotePathBrowser::RequestTop() {
  m_topConnection = LinkConnection();
  if (m_startDir) {
    RequestListing(m_top, false);
    return m_requested;
  }
  m_drivesAsked = g_agentLinkManager.SendHeaderOnChannel1(m_host, AGENT_MSG_LIST_DRIVES) == 1;
  m_drivesConnection = m_topConnection;
  return m_drivesAsked;
}

void RemotePathBrowser::Close() {
  if (!m_registered) return;
  ::KillTimer(m_dialog, kAnswerTimer);
  ::KillTimer(m_dialog, kLinkWatchTimer);
  m_watching = false;
  CAgentLinkManager::UnregisterWindow(AgentLinkWindow{m_dialog, AGENT_MSG_LIST_DRIVES});
  CAgentLinkManager::UnregisterWindow(AgentLinkWindow{m_dialog, AnswerId()});
  m_registered = false;
}

void RemotePathBrowser::OnTreeCheck(const NMHDR* nm) {
  const auto* check = reinterpret_cast<const CMulStatusTreeNotify*>(nm);
  m_tree.OnCheck(check->hItem, check->nState);
}

void RemotePathBrowser::OnItemExpanded(const NMHDR* nm) {
  const auto* tv = reinterpret_cast<const NMTREEVIEWW*>(nm);
  HTREEITEM item = tv->itemNew.hItem;
  // The top node is listed once, when the picker opens.
  if (m_filling || !item || !m_tree.tree.GetParentItem(item)) return;
  if (tv->itemNew.state & TVIS_EXPANDED) {
    DeleteChildren(item, false);
    // An answer names no directory: while one is awaited, another's could not be told from it.
    if (InFlight())
      m_queued.push_back(item);
    else
      RequestListing(item);
  } else if (tv->action & TVE_COLLAPSE) {
    // Nothing at or below a closed node is listed or chosen any more; an answer on its
    // way is dropped.
    Unqueue(item);
    if (m_awaited && (m_awaited == item || IsBelow(m_awaited, item))) m_awaited = nullptr;
    HTREEITEM checked = m_tree.Checked();
    if (checked && IsBelow(checked, item)) m_tree.SetChecked(nullptr);
    DeleteChildren(item, true);
    // The first child stays as the placeholder; one whose listing never came gets one.
    if (HTREEITEM first = m_tree.tree.GetChildItem(item))
      m_tree.tree.SetCheck(first, ChildState(item), TRUE);
    else
      m_tree.tree.InsertTextItem(kPlaceholder, item, TVI_LAST, ChildState(item));
  }
}

void RemotePathBrowser::OnItemDeleted(const NMHDR* nm) {
  HTREEITEM item = reinterpret_cast<const NMTREEVIEWW*>(nm)->itemOld.hItem;
  m_tree.OnDeleted(item);
  if (item == m_awaited) m_awaited = nullptr;
  Unqueue(item);
  if (item == m_top) m_top = nullptr;
}

void RemotePathBrowser::OnDrivesReply(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!CAgentLink::IsDelivering(message, wParam, lParam) || !m_drivesAsked || !m_top) return;
  if (m_drivesConnection != LinkConnection() || !FromHost(wParam)) return;
  m_drivesAsked = false;
  TopListed();
  RemoteListing listing;
  if (!ReadAnswer(RemoteListing::kDrives, wParam, lParam, &listing)) return;
  for (int i = 0; i < kDriveLetters; ++i)
    if (listing.DriveMask() & (1u << i))
      AddNode(m_top, qv::FormatW(L"本地磁盘(%lc:)", wchar_t(L'A' + i)), kDriveNode, true);
  ShowFilled(m_top);
}

void RemotePathBrowser::OnDirectoryReply(UINT message, WPARAM wParam, LPARAM lParam) {
  // Another host's listing is not the one awaited.
  if (!CAgentLink::IsDelivering(message, wParam, lParam) || !InFlight() || !FromHost(wParam)) return;
  HTREEITEM item = m_awaited;
  EndRequest();
  if (item && item == m_top) TopListed();
  RemoteListing listing;
  if (item && ReadAnswer(m_files ? RemoteListing::kEntries : RemoteListing::kDirectories, wParam,
                         lParam, &listing)) {
    for (const RemoteListing::Entry& e : listing.Entries())
      AddNode(item, e.name, e.isFile ? kFileNode : kDirectoryNode, e.hasChildren);
    ShowFilled(item);
  } else if (item) {
    Reclose(item);  // as after a timeout: to be expanded, and asked, anew
  }
  RequestQueued();
}

bool RemotePathBrowser::OnTimer(UINT_PTR id) {
  if (id == kLinkWatchTimer) {
    // What was asked over a connection that has since closed gets no answer: the link
    // broke, or dropped an answer it could not take. That is said as for a command the
    // link does not take; a folder closes again to be expanded anew, and the top is
    // asked again over the new connection.
    bool lost = false;
    if (m_requested && m_awaitedConnection != LinkConnection()) {
      HTREEITEM item = m_awaited;
      EndRequest();
      if (item) Reclose(item);
      lost = true;
    }
    if (m_drivesAsked && m_drivesConnection != LinkConnection()) {
      m_drivesAsked = false;
      lost = true;
    }
    if (lost) SentOrTellLinkDown(0);
    if (m_topPending && m_topConnection != LinkConnection() && g_agentLinkManager.CanSend()) RequestTop();
    RequestQueued(lost);
    WatchLink();
    return true;
  }
  if (id != kAnswerTimer) return false;
  ::KillTimer(m_dialog, kAnswerTimer);
  if (!m_requested) return true;
  HTREEITEM item = m_awaited;
  EndRequest();
  if (item) Reclose(item);
  RequestQueued();
  return true;
}

bool RemotePathBrowser::ReadAnswer(int answer, WPARAM wParam, LPARAM lParam,
                                   RemoteListing* listing) {
  const auto* info = reinterpret_cast<const AgentLinkPayloadInfo*>(wParam);
  bool read = false;
  try {
    read = listing->Parse(static_cast<RemoteListing::Answer>(answer),
                          reinterpret_cast<const unsigned char*>(lParam), info->length);
  } catch (const std::bad_alloc&) {
    std::wstring text;
    GetSystemErrorText(ERROR_NOT_ENOUGH_MEMORY, text);
    UiMessageBox(text.c_str(), L"严重错误", MB_ICONHAND);
    return false;
  }
  if (!read) UiMessageBox(L"主机返回的目录列表格式有误，目录未更新。", L"错误", MB_ICONHAND);
  return read;
}

std::wstring RemotePathBrowser::Choice() const {
  HTREEITEM checked = m_tree.Checked();
  std::wstring path = checked ? PathOf(checked) : std::wstring();
  const NodeKind kind = checked ? KindOf(checked) : kHostNode;
  if (m_files && !path.empty() && (kind == kDriveNode || kind == kDirectoryNode)) path += L"\\*";
  return path;
}

// C: for a drive, C:\Windows\system32 below it; below a starting directory its text
// comes first. Never a trailing backslash.
std::wstring RemotePathBrowser::PathOf(HTREEITEM item) const {
  const CMulStatusTree& tree = m_tree.tree;
  std::wstring path;
  for (HTREEITEM i = item; i && i != m_top; i = tree.GetParentItem(i)) {
    std::wstring part = tree.GetItemText(i);
    if (!m_startDir && tree.GetParentItem(i) == m_top) part = PickerTree::DriveOf(part);
    path = Join(part, path);
  }
  if (m_startDir && item && m_top) path = Join(tree.GetItemText(m_top), path);
  return path;
}

HTREEITEM RemotePathBrowser::AddNode(HTREEITEM parent, const std::wstring& text, NodeKind kind,
                                     bool expandable) {
  const int state = parent == TVI_ROOT ? EM_TVIS_UNCHECK : ChildState(parent);
  HTREEITEM item = m_tree.Add(parent, text, kind, state, kind);
  if (item && expandable && kind != kFileNode)
    m_tree.tree.InsertTextItem(kPlaceholder, item, TVI_LAST, state);
  return item;
}

// New children of the checked node show checked, as the tree pushes a check down.
int RemotePathBrowser::ChildState(HTREEITEM parent) const {
  return m_tree.tree.GetCheck(parent) == EM_TVIS_CHECK ? EM_TVIS_CHECK : EM_TVIS_UNCHECK;
}

void RemotePathBrowser::DeleteChildren(HTREEITEM item, bool keepFirst) {
  std::vector<HTREEITEM> children;
  for (HTREEITEM c = m_tree.tree.GetChildItem(item); c; c = m_tree.tree.GetNextSiblingItem(c))
    children.push_back(c);
  for (size_t i = keepFirst ? 1 : 0; i < children.size(); ++i) m_tree.tree.DeleteItem(children[i]);
}

void RemotePathBrowser::RequestListing(HTREEITEM item, bool tell) {
  // A node asked for over a connection that has since closed gets no answer.
  if (m_awaited && m_awaited != item) Reclose(m_awaited);
  EndRequest();
  const std::wstring path = PathOf(item);
  DirectoryListRequest request;
  // A path the record cannot hold whole is not asked for: a cut one names another directory.
  if (path.empty() || path.size() >= sizeof request.path / sizeof request.path[0]) return;
  linkpayload::WriteText16(request.path, sizeof request.path / sizeof request.path[0], path);
  if (g_agentLinkManager.SendOnChannel1(m_host, AGENT_MSG_LIST_DIRECTORY, &request,
                                        sizeof request) == 1) {
    m_requested = true;
    m_awaited = item;
    m_awaitedConnection = LinkConnection();
    ::SetTimer(m_dialog, kAnswerTimer, m_answerTimeout, nullptr);
    WatchLink();
  } else {
    // Not asked: closed again, to be expanded once the link is back.
    Reclose(item);
    if (tell) SentOrTellLinkDown(0);
  }
}

void RemotePathBrowser::RequestQueued(bool told) {
  // One box for all the nodes the link did not take.
  while (!m_requested && !m_queued.empty()) {
    HTREEITEM item = m_queued.front();
    m_queued.erase(m_queued.begin());
    const bool linkDown = !g_agentLinkManager.CanSend();
    RequestListing(item, !told);
    told = told || linkDown;
  }
}

void RemotePathBrowser::EndRequest() {
  if (m_requested) ::KillTimer(m_dialog, kAnswerTimer);
  m_requested = false;
  m_awaited = nullptr;
}

void RemotePathBrowser::Unqueue(HTREEITEM item) {
  m_queued.erase(std::remove(m_queued.begin(), m_queued.end(), item), m_queued.end());
}

void RemotePathBrowser::Reclose(HTREEITEM item) {
  if (m_tree.tree.GetChildItem(item) || item == m_top) return;
  m_tree.tree.InsertTextItem(kPlaceholder, item, TVI_LAST, ChildState(item));
  m_filling = true;
  m_tree.tree.Expand(item, TVE_COLLAPSE);
  m_filling = false;
}

void RemotePathBrowser::TopListed() {
  m_topPending = false;
  WatchLink();
}

void RemotePathBrowser::WatchLink() {
  const bool watch = m_registered && (m_topPending || m_requested);
  if (watch == m_watching) return;
  m_watching = watch;
  if (watch)
    ::SetTimer(m_dialog, kLinkWatchTimer, kLinkWatchPeriod, nullptr);
  else
    ::KillTimer(m_dialog, kLinkWatchTimer);
}

bool RemotePathBrowser::FromHost(WPARAM wParam) const {
  return reinterpret_cast<const AgentLinkPayloadInfo*>(wParam)->wParam == m_host;
}

bool RemotePathBrowser::InFlight() const {
  return m_requested && m_awaitedConnection == LinkConnection();
}

unsigned RemotePathBrowser::LinkConnection() {
  const CAgentLink* link = g_agentLinkManager.Link();
  return link ? link->Connection() : 0;
}

// A node being filled stays open; the top node opens once it has its first listing.
void RemotePathBrowser::ShowFilled(HTREEITEM item) {
  TVITEMW tvi{};
  tvi.mask = TVIF_STATE;
  tvi.hItem = item;
  tvi.stateMask = TVIS_EXPANDED;
  if (!m_tree.tree.GetChildItem(item) || (m_tree.tree.GetItem(&tvi) && (tvi.state & TVIS_EXPANDED)))
    return;
  m_filling = true;
  m_tree.tree.Expand(item, TVE_EXPAND);
  m_filling = false;
}

RemotePathBrowser::NodeKind RemotePathBrowser::KindOf(HTREEITEM item) const {
  return static_cast<NodeKind>(m_tree.tree.GetItemData(item));
}

bool RemotePathBrowser::IsBelow(HTREEITEM item, HTREEITEM ancestor) const {
  for (HTREEITEM p = m_tree.tree.GetParentItem(item); p; p = m_tree.tree.GetParentItem(p))
    if (p == ancestor) return true;
  return false;
}
