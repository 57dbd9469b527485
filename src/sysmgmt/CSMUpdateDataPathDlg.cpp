#include "sysmgmt/CSMUpdateDataPathDlg.h"

namespace {

const UINT kPictures[] = {126};
const DWORD kTreeStyle = WS_CHILD | WS_TABSTOP | TVS_FULLROWSELECT | TVS_SHOWSELALWAYS | TVS_HASLINES;

}  // namespace

CSMUpdateDataPathDlg::CSMUpdateDataPathDlg(std::wstring& path)
    : CUiDialogImpl<CSMUpdateDataPathDlg>(kLayoutId), m_path(path) {}

LRESULT CSMUpdateDataPathDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  if (!m_tree.Create(GetViewHWnd(), kItemTree, kTreeStyle, kPictures, 1)) return 0;
  m_root = m_tree.Add(TVI_ROOT, L"服务器组", 0, EM_TVIS_UNCHECK, 0);
  m_tree.Add(m_root, L"本地磁盘(C:)", 0, EM_TVIS_UNCHECK, 0);
  HTREEITEM d = m_tree.Add(m_root, L"本地磁盘(D:)", 0, EM_TVIS_UNCHECK, 0);
  m_tree.Add(m_root, L"本地磁盘(E:)", 0, EM_TVIS_UNCHECK, 0);
  HTREEITEM site = m_tree.Add(d, L"WebSite", 0, EM_TVIS_UNCHECK, 0);
  for (const wchar_t* folder : {L"Main", L"Upload", L"Data"}) m_tree.Add(site, folder, 0, EM_TVIS_UNCHECK, 0);
  for (HTREEITEM open : {m_root, d, site}) m_tree.tree.Expand(open, TVE_EXPAND);
  return 0;
}

LRESULT CSMUpdateDataPathDlg::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  return OkCancelCommand(pnmh, kItemOk, kItemCancel, [this] { OnOK(); }, bHandled);
}

void CSMUpdateDataPathDlg::OnOK() {
  const std::wstring path = m_tree.CheckedBranch(m_root);
  if (path.empty()) return;
  m_path = path;
  EndDialog(1);
}
