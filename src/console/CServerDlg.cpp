#include "console/CServerDlg.h"

#include <climits>
#include <cstdint>

#include "console/ConnectOrTell.h"
#include "console/ListReadFailure.h"
#include "console/ReadPageAfter.h"
#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"
#include "platform/TextConv.h"
#include "uiwin/UiMessageBox.h"

namespace {

// A page of the hosts after the last one read: the first as the picker opens, the
// others from its idle time. Each statement ends with its page, so nothing holds the
// database from the pages' writes between slices.
const wchar_t kServersQuery[] = L"select id,name,ip,status from Client where type=0 and id>? order by id";
const int kFirstPage = 64;  // more than the tree shows
const int kPage = 1000;
const wchar_t kAddressQuery[] = L"select ip from Client where id=?";

const UINT kPictures[] = {126, 131, 128};  // group, online host, offline host
const DWORD kTreeStyle =
    WS_CHILD | WS_TABSTOP | TVS_FULLROWSELECT | TVS_SHOWSELALWAYS | TVS_HASLINES;

using qv::OrEmpty;

void ShowQueryError(SQLServerLink& link) {
  std::wstring error = OrEmpty(link.GetLastErrorText());
  link.Disconnect();
  TellError(error.c_str());
}

}  // namespace

CServerDlg::CServerDlg(std::wstring* result, const wchar_t* title)
    : CUiDialogImpl<CServerDlg>(kLayoutId), m_result(result), m_filling(L"QuorvaneHostPickerFill") {
  // The caption is taken when the window is made: the title goes in before that.
  if (title && *title && Load(kLayoutId)) SetWindowTitle(title);
}

LRESULT CServerDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  if (m_tree.Create(GetViewHWnd(), kItemTree, kTreeStyle, kPictures, 3)) {
    m_root = m_tree.tree.InsertOpenGroup(L"服务器群组", kImageGroup);
    FillServerTree();
  }
  return 0;
}

LRESULT CServerDlg::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  return OkCancelCommand(pnmh, kItemOK, kItemCancel, [this] { OnOK(); }, bHandled);
}

// The first hosts go into the tree as the picker opens, the others from its idle time,
// read a page at a time: the tree shows a few lines of a site's 20,000 hosts, and the
// picker opens as on a small site.
void CServerDlg::FillServerTree() {
  m_lastId = INT_MIN;
  m_allRead = false;
  if (!ConnectOrTell(m_link, kNoConnectionText)) return;
  if (AddHostsUnseen(0, kFirstPage))
    m_filling.Start(m_hWnd, [this](DWORD until) { return AddHostsUnseen(until, IdleSlices::kSliceEntries); });
}

bool CServerDlg::ReadHosts(int rows) {
  m_hosts.clear();
  m_hostsIn = 0;
  const int read = ReadPageAfter(m_link, kServersQuery, &m_lastId, rows, [this](SQLStatement& hosts) {
    m_hosts.push_back(
        {hosts.GetInt(0), OrEmpty(hosts.GetString(1)), OrEmpty(hosts.GetString(2)), hosts.GetInt(3) != 0});
    return m_hosts.back().id;
  });
  if (read < 0) {
    // Part of the hosts would pass for all of them.
    std::vector<Host>().swap(m_hosts);
    while (HTREEITEM host = m_tree.tree.GetChildItem(m_root)) m_tree.tree.DeleteItem(host);
    const std::wstring reason = OrEmpty(m_link.GetLastErrorText());
    m_link.Disconnect();
    m_allRead = true;
    TellListUnread(kReadServersFailed, reason.c_str());
    return false;
  }
  if (read == 0) {
    m_allRead = true;
    m_link.Disconnect();
  }
  return true;
}

// Below the expanded group the tree would measure and draw again after every host.
bool CServerDlg::AddHostsUnseen(DWORD until, size_t most) {
  m_tree.tree.SetRedraw(FALSE);
  const bool more = AddHosts(until, most);
  m_tree.tree.SetRedraw(TRUE);
  return more;
}

bool CServerDlg::AddHosts(DWORD until, size_t most) {
  for (size_t added = 0; added < most && IdleSlices::Within(until);) {
    if (m_hostsIn >= m_hosts.size()) {
      if (m_allRead) break;
      if (!ReadHosts(most < static_cast<size_t>(kPage) ? static_cast<int>(most) : kPage)) return false;
      continue;
    }
    const Host& host = m_hosts[m_hostsIn++];
    ++added;
    const std::wstring& label = host.name.empty() ? host.ip : host.name;
    // Only the first host with the address comes checked, and none once the user has
    // checked one: one choice at a time.
    const bool preset = !m_tree.Checked() && !host.ip.empty() && m_result && host.ip == *m_result;
    HTREEITEM item = m_tree.Add(m_root, label, host.online ? kImageOnline : kImageOffline,
                                preset ? EM_TVIS_CHECK : EM_TVIS_UNCHECK, host.id);
    if (item && preset) m_tree.SetChecked(item);
  }
  if (m_hostsIn < m_hosts.size() || !m_allRead) return true;
  std::vector<Host>().swap(m_hosts);
  m_hostsIn = 0;
  return false;
}

BOOL CServerDlg::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message == WM_KEYDOWN && pMsg->hwnd == m_tree.tree.m_hWnd && m_filling.Pending()) {
    switch (pMsg->wParam) {
      case VK_END:
      case VK_NEXT:
      case VK_DOWN:
        m_filling.Finish();
        break;
      default:
        break;
    }
  }
  return CUiDialogImpl<CServerDlg>::PreTranslateMessage(pMsg);
}

// Nothing more comes once the picker ends, however it ends; and its tree goes first,
// unheard, before the window takes it item by item.
LRESULT CServerDlg::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  bHandled = FALSE;
  m_filling.Stop();
  m_link.Disconnect();
  m_tree.tree.DestroyUnheard();
  return 0;
}

LRESULT CServerDlg::OnTreeCheck(int, LPNMHDR pnmh, BOOL&) {
  const auto* nm = reinterpret_cast<const CMulStatusTreeNotify*>(pnmh);
  m_tree.OnCheck(nm->hItem, nm->nState);
  return 0;
}

LRESULT CServerDlg::OnItemDeleted(int, LPNMHDR pnmh, BOOL& bHandled) {
  m_tree.OnDeleted(reinterpret_cast<const NMTREEVIEWW*>(pnmh)->itemOld.hItem);
  bHandled = FALSE;
  return 0;
}

void CServerDlg::OnOK() {
  m_filling.Finish();  // the host chosen may be among those still to come
  // The one host the user checked, as the tree keeps it; else the first checked found
  // by a walk, which over 20,000 hosts costs Wine's tree a search of all items per step.
  HTREEITEM chosen = m_tree.Checked();
  if (!chosen || m_tree.tree.GetCheck(chosen) != EM_TVIS_CHECK) {
    chosen = m_tree.tree.GetChildItem(m_root);
    while (chosen && m_tree.tree.GetCheck(chosen) != EM_TVIS_CHECK) chosen = m_tree.tree.GetNextSiblingItem(chosen);
  }
  if (!chosen) {
    UiMessageBox(L"请选择对象内容", L"警告", MB_ICONHAND);
    return;
  }
  SQLServerLink link;
  if (!ConnectOrTell(link, kNoConnectionText)) return;
  SQLStatement* address = link.CreateStatement(kAddressQuery);
  if (address) address->BindInt(0, static_cast<int>(m_tree.tree.GetItemData(chosen)));
  if (address && address->Fetch()) {
    if (m_result) *m_result = OrEmpty(address->GetString(0));
  } else if (!address || address->Failed()) {
    // A failed query is no answer: the dialog stays for another try.
    ShowQueryError(link);
    return;
  } else if (m_result) {
    m_result->clear();  // the host is gone from the database
  }
  link.Disconnect();
  EndDialog(IDOK);
}
