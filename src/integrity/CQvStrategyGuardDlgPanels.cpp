// The wizard's panels up to the schedule: going forward and back, the template, the
// Windows attributes, the servers, the name and the device login with its test.
#include "integrity/CQvStrategyGuardDlg.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

#include "console/AgentLinkNotice.h"
#include "console/ConnectOrTell.h"
#include "console/DottedIPv4.h"
#include "console/SQLServerLink.h"
#include "controls/RichEditLog.h"
#include "integrity/CQvStrategyGuardUIHandler.h"
#include "integrity/CQvVerifyLoginDlg.h"

namespace {

bool StartsWith(const std::wstring& text, const wchar_t* prefix) { return text.rfind(prefix, 0) == 0; }


std::wstring ComboText(const CComboBoxCtrlEx& combo) {
  const int index = combo.GetCurSel();
  if (index < 0) return combo.GetWindowText();
  std::wstring text(size_t(std::max(0, int(::SendMessageW(combo, CB_GETLBTEXTLEN, index, 0)))) + 1, L'\0');
  ::SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
  text.resize(wcslen(text.c_str()));
  return text;
}

}  // namespace

void CQvStrategyGuardDlg::ShowPanel(UINT panel) {
  if (panel == m_panel) return;
  m_filling.Finish();  // every later panel may show the hosts
  m_visited.push_back(m_panel);
  SetItemVisible(m_panel, FALSE);
  SetItemVisible(panel, TRUE);
  m_panel = panel;
}

void CQvStrategyGuardDlg::Back() {
  if (m_visited.empty()) return;
  const UINT panel = m_visited.back();
  m_visited.pop_back();
  SetItemVisible(m_panel, FALSE);
  SetItemVisible(panel, TRUE);
  m_panel = panel;
}

void CQvStrategyGuardDlg::OnTemplateNext() {
  if (!m_checkedTemplate) {
    Warn(L"没有选择策略模版！");
    return;
  }
  const std::wstring text = m_templateTree.GetItemText(m_checkedTemplate);
  StrategyRecord::Put(m_record.SelectedItem, text);
  HTREEITEM root = m_checkedTemplate;
  for (HTREEITEM up = root; up; up = m_templateTree.GetParentItem(up)) root = up;
  const DWORD type = static_cast<DWORD>(m_templateTree.GetItemData(root));
  m_record.StrategyType = type;
  // The bits belong to a Windows template's attribute page, which sets them again on
  // its way; any other template leaves none from an earlier choice.
  const bool windows = type == kTypeOs && StartsWith(text, L"Windows");
  if (!windows) m_record.ItemAttribute = 0;
  if (type == kTypeCustomServer || type == kTypeCustomDevice) {
    SQLServerLink link;
    const int found = Connect(link) ? FindObject(link, type, text) : -1;
    link.Disconnect();
    if (found < 0) {
      TellNoConnection();
      EndDialog(IDCANCEL);
      return;
    }
    if (found == 0) {
      ObjectGone(link, text);
      return;
    }
  }
  switch (type) {
    case kTypeOs:
      if (windows) {
        SetItemText(kAttributesTitle, m_record.SelectedItem);
        ShowPanel(kPanelOsAttributes);
      } else {
        ShowPanel(kPanelServers);
      }
      break;
    case kTypeDevice:
    case kTypeCustomDevice:
      ShowPanel(kPanelDevice);
      break;
    case kTypeCustomServer: ShowPanel(kPanelName); break;
    case kTypeCustomFiles: ShowPanel(kPanelObjects); break;
    default: break;  // these templates take no strategy yet
  }
}

void CQvStrategyGuardDlg::OnOsAttributesNext() {
  DWORD bits = 0;
  for (int i = 0; i < kAttributeCount; ++i)
    if (GetItemCheck(kFirstAttribute + i)) bits |= 1u << i;
  if (!bits) {
    Warn(L"请选择项！");
    return;
  }
  m_record.ItemAttribute = bits;
  ShowPanel(kPanelServers);
}

// A checked host another console deleted since the tree showed it is told, and the tree
// read again.
void CQvStrategyGuardDlg::OnTargetNext() {
  std::vector<CheckedServer> servers = CheckedServers();
  {
    SQLServerLink link;
    std::vector<std::wstring> gone;
    if (!Connect(link)) {
      TellNoConnection();
      EndDialog(IDCANCEL);
      return;
    }
    if (!ServerAddresses(link, &servers, &gone)) return;
    if (!gone.empty()) {
      ServersGone(link, HostsGoneText(gone));
      return;
    }
  }
  std::wstring text;
  for (const CheckedServer& server : servers) text += server.label + L"    ";
  SetSummaryText(text);
  if (m_mode == kModeNew && servers.empty()) {
    Warn(L"没有选择项！");
    return;
  }
  if (m_record.StrategyType == kTypeOs) ShowPanel(kPanelName);
}

void CQvStrategyGuardDlg::SetSummaryText(const std::wstring& text) {
  if (!m_summaryBox) return;
  RichEditClear(m_summaryBox);
  RichEditAppendText(m_summaryBox, text.c_str(), FALSE, 0);
  RichEditShowStart(m_summaryBox);
}

bool CQvStrategyGuardDlg::SameNoCase(const std::wstring& a, const std::wstring& b) {
  return ::CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), int(a.size()), b.c_str(), int(b.size())) ==
         CSTR_EQUAL;
}

int CQvStrategyGuardDlg::NameFree(const std::wstring& name) {
  // A modification may keep its own name, but not take another strategy's.
  if (m_mode == kModeModify && SameNoCase(name, m_oldName)) return 1;
  const int exists = StrategyExists(name);
  if (exists < 0) {
    Warn(L"打开数据库失败！");
    return -1;
  }
  if (exists) TellNameTaken();
  return exists ? 0 : 1;
}

void CQvStrategyGuardDlg::TellNameTaken() {
  Warn(L"此策略名已经存在，请重新定义！");
  if (!m_page) return;
  if (m_mode == kModeModify)
    m_page->ReloadChecking(m_oldId, m_oldName, m_oldDescriptor);
  else
    m_page->LoadStrategies();
}

bool CQvStrategyGuardDlg::TakeName(CEditEx& nameEdit, const wchar_t* noName, CEditEx& descriptorEdit,
                                   const wchar_t* noDescriptor) {
  StrategyRecord::Put(m_record.StrategyName, nameEdit.GetWindowText());
  if (!*m_record.StrategyName) {
    Warn(noName);
    return false;
  }
  if (NameFree(m_record.StrategyName) != 1) return false;
  SetItemText(kScheduleName, m_record.StrategyName);
  StrategyRecord::Put(m_record.StrategyDescriptor, descriptorEdit.GetWindowText());
  if (!*m_record.StrategyDescriptor) {
    Warn(noDescriptor);
    return false;
  }
  return true;
}

void CQvStrategyGuardDlg::OnNameNext() {
  if (!TakeName(m_nameEdit, L"没有策略名！", m_descriptorEdit, L"没有策略描述！")) return;
  if (m_record.StrategyType == kTypeOs || m_record.StrategyType == kTypeCustomServer) ShowPanel(kPanelSchedule);
}

// A device is named by its host name (which may hold a ".") or by its address; an
// unknown name is refused rather than keeping the address an earlier pass found, and so
// is an address no host can have, before a login test or a strategy goes to it.
bool CQvStrategyGuardDlg::TakeDevice() {
  const std::wstring device = ComboText(m_deviceCombo);
  std::wstring ip;
  uint32_t address = 0;
  SQLServerLink link;
  const int found = Connect(link) ? LookUp(link, L"select IP from Client where Name=?", device, &ip) : -1;
  link.Disconnect();
  if (found < 0) {
    TellNoConnection();
    EndDialog(IDCANCEL);
    return false;
  }
  if (found == 0 && device.find(L'.') != std::wstring::npos) ip = device;  // an address
  if (ip.empty()) {
    Warn(L"找不到该设备的IP地址！");
    return false;
  }
  if (!ParseHostAddress(ip, &address)) {
    TellHostAddressUnusable();
    return false;
  }
  StrategyRecord::Put(m_record.Ip, ip);
  return true;
}

bool CQvStrategyGuardDlg::TakeCredentials() {
  const struct {
    CEditEx* edit;
    wchar_t* field;
    size_t size;
    const wchar_t* missing;
  } fields[] = {{&m_userIdEdit, m_record.UserId, std::size(m_record.UserId), L"没有用户ID"},
                {&m_loginIdEdit, m_record.LoginId, std::size(m_record.LoginId), L"没有登录口令！"},
                {&m_manageIdEdit, m_record.ManageId, std::size(m_record.ManageId), L"没有管理口令！"}};
  for (const auto& f : fields) {
    const std::wstring text = f.edit->GetWindowText().substr(0, f.size - 1);
    wmemcpy(f.field, text.c_str(), text.size() + 1);
    if (text.empty()) {
      Warn(f.missing);
      return false;
    }
  }
  return true;
}

void CQvStrategyGuardDlg::OnLoginNext() {
  if (!TakeName(m_nameEdit, L"没有策略名！", m_descriptorEdit, L"没有策略描述！") || !TakeDevice()) return;
  m_record.DeviceType = m_record.StrategyType == kTypeDevice ? DWORD(std::max(0, m_deviceTypeCombo.GetCurSel())) : 0;
  m_record.LoginType = DWORD(std::max(0, m_loginTypeCombo.GetCurSel()));
  if (!TakeCredentials()) return;
  ShowPanel(kPanelSchedule);
}

void CQvStrategyGuardDlg::OnVerifyLogin() {
  m_record.LoginType = DWORD(std::max(0, m_loginTypeCombo.GetCurSel()));
  if (!TakeCredentials() || !TakeDevice()) return;
  CQvVerifyLoginDlg::LoginParams params;
  params.loginType = m_record.LoginType;
  params.userId = m_record.UserId;
  params.loginId = m_record.LoginId;
  params.manageId = m_record.ManageId;
  params.port = m_loginTestPort;
  CQvVerifyLoginDlg test(m_record.Ip, params);
  test.DoModal(m_hWnd);
}
