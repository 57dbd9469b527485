#include "console/CServerDlg.h"

#include "console/ConnectOrTell.h"
#include "console/ListReadFailure.h"
#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"
#include "platform/TextConv.h"
#include "uiwin/UiMessageBox.h"

namespace {

const wchar_t kServersQuery[] = L"select id,name,ip,status from Client where type=0";
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
    : CUiDialogImpl<CServerDlg>(kLayoutId), m_result(result) {
  // The caption is taken when the window is made: the title goes in before that.
  if (title && *title && Load(kLayoutId)) SetWindowTitle(title);
}

LRESULT CServerDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  if (m_tree.Create(GetViewHWnd(), kItemTree, kTreeStyle, kPictures, 3)) {
    m_root = m_tree.tree.InsertItem(L"服务器群组", kImageGroup, kImageGroup, TVI_ROOT, TVI_LAST,
                                    EM_TVIS_NONE);
    FillServerTree();
  }
  return 0;
}

LRESULT CServerDlg::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  return OkCancelCommand(pnmh, kItemOK, kItemCancel, [this] { OnOK(); }, bHandled);
}

void CServerDlg::FillServerTree() {
  SQLServerLink link;
  if (!ConnectOrTell(link, kNoConnectionText)) return;
  SQLStatement* hosts = link.CreateStatement(kServersQuery);
  while (hosts && hosts->Fetch()) {
    const std::wstring ip = OrEmpty(hosts->GetString(2));
    std::wstring label = OrEmpty(hosts->GetString(1));
    if (label.empty()) label = ip;
    // Only the first host with the address comes checked: one choice at a time.
    const bool preset = !m_tree.Checked() && !ip.empty() && m_result && ip == *m_result;
    HTREEITEM item = m_tree.Add(m_root, label, hosts->GetInt(3) != 0 ? kImageOnline : kImageOffline,
                                preset ? EM_TVIS_CHECK : EM_TVIS_UNCHECK, hosts->GetInt(0));
    if (item && preset) m_tree.SetChecked(item);
  }
  if (!hosts || hosts->Failed()) {
    // Part of the hosts would pass for all of them.
    while (HTREEITEM item = m_tree.tree.GetChildItem(m_root)) m_tree.tree.DeleteItem(item);
    m_tree.SetChecked(nullptr);
    const std::wstring reason = OrEmpty(link.GetLastErrorText());
    link.Disconnect();
    TellListUnread(kReadServersFailed, reason.c_str());
  } else {
    link.ReleaseStatement(hosts);
    link.Disconnect();
  }
  m_tree.tree.Expand(m_root);
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
  HTREEITEM chosen = m_tree.tree.GetChildItem(m_root);
  while (chosen && m_tree.tree.GetCheck(chosen) != EM_TVIS_CHECK)
    chosen = m_tree.tree.GetNextSiblingItem(chosen);
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
