#include "integrity/CQvHIPSTRNewTrustDlg.h"

#include <utility>

#include "console/CFileDlg.h"
#include "console/CServerDlg.h"
#include "console/ConnectOrTell.h"
#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"
#include "integrity/HipsPatternKey.h"
#include "platform/TextConv.h"
#include "uiwin/UiMessageBox.h"

namespace {

const wchar_t kNoticeCaption[] = L"注意";
const UINT kNotice = MB_ICONEXCLAMATION;  // 48

}  // namespace

CQvHIPSTRNewTrustDlg::CQvHIPSTRNewTrustDlg(int mode, int* type, std::wstring* host, std::wstring* content,
                                           int ownId, Store store, std::function<void()> readList)
    : CUiDialogImpl<CQvHIPSTRNewTrustDlg>(kLayoutId),
      m_mode(mode),
      m_ownId(ownId),
      m_store(std::move(store)),
      m_readList(std::move(readList)),
      m_callerType(type),
      m_callerHost(host),
      m_callerContent(content) {}

LRESULT CQvHIPSTRNewTrustDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  const HWND view = GetViewHWnd();
  m_type.Create(view, RECT{}, nullptr, CComboBoxCtrlEx::kPageStyle | WS_VISIBLE, 0, kType);
  m_type.AddString(L"文件/程序");
  m_type.AddString(L"注册表");
  const DWORD edit = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL | ES_READONLY;
  m_host.Create(view, nullptr, nullptr, edit, 0, kHost);
  m_content.Create(view, nullptr, nullptr, edit, 0, kContent);
  m_content.SetLimitText(kContentChars);
  if (m_mode == 1) {
    SetItemText(60004, L"修改信任关系");
    SetWindowText(L"修改信任关系");
    m_type.SetCurSel(*m_callerType);
    m_host.SetWindowText(m_callerHost->c_str());
    m_content.SetWindowText(m_callerContent->c_str());
    OnTypeSelChange();
  }
  return 0;
}

LRESULT CQvHIPSTRNewTrustDlg::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  switch (reinterpret_cast<UINMCOMMAND*>(pnmh)->uItemID) {
    case kItemOk: OnOK(); break;
    case kItemCancel: EndDialog(IDCANCEL); break;
    case kItemSelectClient: OnSelectClient(); break;
    case kItemBrowse: OnBrowseContent(); break;
    default: bHandled = FALSE; break;
  }
  return 0;
}

void CQvHIPSTRNewTrustDlg::OnTypeSelChange() {
  const bool registry = m_type.GetCurSel() == 1;
  m_content.SetReadOnly(!registry);
  SetItemVisible(kItemBrowse, !registry);
}

void CQvHIPSTRNewTrustDlg::OnSelectClient() {
  std::wstring ip = m_host.GetWindowText();
  CServerDlg picker(&ip, L"请选择信任对象");
  if (picker.DoModal(m_hWnd) != IDOK) return;
  m_host.SetWindowText(ip.c_str());
  m_hostChosen = 1;
  m_content.SetWindowText(L"");
}

void CQvHIPSTRNewTrustDlg::OnBrowseContent() {
  if (m_mode == 0 && !m_hostChosen) {
    UiMessageBox(L"清先选择客户端", kNoticeCaption, kNotice);
    return;
  }
  if (m_type.GetCurSel() != 0) return;
  std::wstring path = m_mode == 1 ? *m_callerContent : std::wstring();
  CFileDlg picker(m_host.GetWindowText(), &path, L"请选择信任内容");
  if (picker.DoModal(m_hWnd) != IDOK) return;
  TakePickedPath(path);
}

bool CQvHIPSTRNewTrustDlg::TakePickedPath(const std::wstring& path) {
  if (path.size() > size_t(kContentChars)) {
    UiMessageBox(L"路径太长，最多259个字符", kNoticeCaption, kNotice);
    return false;
  }
  m_content.SetWindowText(path.c_str());
  return true;
}

void CQvHIPSTRNewTrustDlg::OnOK() {
  const int type = m_type.GetCurSel();
  if (type < 0) return void(UiMessageBox(L"请选择类型", kNoticeCaption, kNotice));
  const std::wstring host = m_host.GetWindowText();
  if (host.empty()) return void(UiMessageBox(L"请选择客户端", kNoticeCaption, kNotice));
  const std::wstring content = m_content.GetWindowText();
  if (content.empty()) return void(UiMessageBox(L"请选择信任内容", kNoticeCaption, kNotice));
  const bool ownContent = m_mode == 1 && content == *m_callerContent;
  if (!ownContent && content.size() > size_t(kContentChars))
    return void(UiMessageBox(L"路径太长，最多259个字符", kNoticeCaption, kNotice));
  const int same = CountSameTrust(type, host, content);
  if (same < 0) return;
  if (same > 0) {
    UiMessageBox(L"该信任关系已经存在", kNoticeCaption, kNotice);
    if (m_readList) m_readList();
    return;
  }
  if (m_store && !m_store(type, host, content)) return;
  *m_callerType = type;
  *m_callerHost = host;
  *m_callerContent = content;
  EndDialog(IDOK);
}

// The host's relations of the type are compared as the agent reads their paths.
int CQvHIPSTRNewTrustDlg::CountSameTrust(int type, const std::wstring& host, const std::wstring& content) {
  SQLServerLink link;
  SQLStatement* statement = nullptr;
  if (Connect(link))
    statement = link.CreateStatement(L"select Content from Trust where type=? and ClientIP=? and id<>?");
  auto fail = [&] {
    TellError(link);
    return -1;
  };
  if (!statement || !statement->BindInt(0, type) || !statement->BindString(1, host.c_str()) ||
      !statement->BindInt(2, m_ownId))
    return fail();
  const std::wstring key = HipsPatternKey(content);
  while (statement->Fetch()) {
    if (HipsPatternKey(qv::OrEmpty(statement->GetString(0))) == key) return 1;
  }
  if (statement->Failed()) return fail();
  return 0;
}
