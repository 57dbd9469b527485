// The wizard's network-security rules (pages 20008 and 20009): the white or black list
// in grid 5028 and the rule editor. Rules are written at once, not with "完成", and the
// grid changes only after the table did.
#include <algorithm>

#include "console/AgentLinkNotice.h"
#include "console/ConnectOrTell.h"
#include "console/DottedIPv4.h"
#include "console/ListReadFailure.h"
#include "console/RecordGone.h"
#include "platform/WideFormat.h"
#include "reinforce/CSRSecurityReinforceDlg.h"
#include "uiwin/UiMessageBox.h"

namespace {

const DWORD kEditStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
const int kRuleNameChars = 64;
// The directions by their stored value.
const wchar_t* const kDirections[] = {L"进向", L"出向"};

enum : int { kCellName = 1, kCellAddress, kCellLocalPort, kCellPeerPort, kCellDirection };

}  // namespace

void CSRSecurityReinforceDlg::InitNetRuleList() {
  // The grid itself is made with the others.
  m_listTypeCombo.Create(GetViewHWnd(), RECT{}, nullptr, CComboBoxCtrlEx::kPageStyle | WS_VISIBLE, 0,
                         kListTypeCombo);
  m_listTypeCombo.AddString(L"白名单");
  m_listTypeCombo.AddString(L"黑名单");
  m_listTypeCombo.SetCurSel(0);
}

bool CSRSecurityReinforceDlg::InitNetSecurity() {
  HWND view = GetViewHWnd();
  m_ruleNameEdit.Create(view, nullptr, nullptr, kEditStyle, 0, kRuleNameEdit);
  m_ruleNameEdit.SetLimits(kRuleNameChars, 0, '\0', FALSE);
  m_ruleDocEdit.Create(view, nullptr, nullptr, kEditStyle, 0, kRuleDocEdit);
  for (UINT id = kAddressCombo; id <= kDirectionCombo; ++id)
    ComboById(id).Create(view, RECT{}, nullptr, CComboBoxCtrlEx::kPageStyle | WS_VISIBLE, 0, id);

  std::vector<std::wstring> addresses, ports;
  bool connected = false;
  std::wstring error;
  const bool read = ReadNetChoices(&addresses, &ports, &connected, &error);
  if (!connected) {
    TellNoConnection();
    return false;
  }
  for (const std::wstring& address : addresses) m_addressCombo.AddString(address.c_str());
  for (const std::wstring& port : ports) {
    m_localPortCombo.AddString(port.c_str());
    m_peerPortCombo.AddString(port.c_str());
  }
  m_peerPortCombo.AddString(L"Any");
  for (const wchar_t* direction : kDirections) m_directionCombo.AddString(direction);
  if (!read) TellListUnread(kReadNetChoicesFailed, error.c_str());
  return true;
}

LRESULT CSRSecurityReinforceDlg::OnSelChange(WORD, WORD wID, HWND, BOOL&) {
  LoadNetRules(wID);
  return 0;
}

void CSRSecurityReinforceDlg::LoadNetRules(UINT controlId) {
  if (controlId != kListTypeCombo) return;
  m_ruleGrid.DeleteAllItems();
  const int listType = m_listTypeCombo.GetCurSel();
  std::vector<NetRule> rules;
  std::wstring error;
  if (listType >= 0 && !ReadNetRules(listType, &rules, &error)) TellListUnread(kReadNetRulesFailed, error.c_str());
  for (const NetRule& rule : rules) {
    const int row = m_ruleGrid.AddItem(L"", -1, ITEM_FORMAT_CHECKBOX);
    if (row < 0) {
      m_ruleGrid.DeleteAllItems();  // part of the rules would pass for all of them
      TellListUnread(kReadNetRulesFailed, kGridFullReason);
      break;
    }
    SetRuleRow(row, rule);
  }
  OnNetRuleGridCheck();
}

void CSRSecurityReinforceDlg::SetRuleRow(int row, const NetRule& rule) {
  m_ruleGrid.SetItemText(row, kCellName, rule.name.c_str());
  m_ruleGrid.SetItemText(row, kCellAddress, rule.address.c_str());
  m_ruleGrid.SetItemText(row, kCellLocalPort, rule.localPort.c_str());
  m_ruleGrid.SetItemText(row, kCellPeerPort, rule.peerPort.c_str());
  m_ruleGrid.SetItemText(row, kCellDirection, kDirections[rule.direction == 0 ? 0 : 1]);
}

std::vector<int> CSRSecurityReinforceDlg::CheckedRuleRows() const {
  std::vector<int> rows;
  for (int row = 0; row < m_ruleGrid.GetItemCount(); ++row)
    if (m_ruleGrid.GetItemCheck(row, 0) > 0) rows.push_back(row);
  return rows;
}

LRESULT CSRSecurityReinforceDlg::OnRuleGridNotify(int, LPNMHDR pnmh, BOOL& bHandled) {
  if (pnmh->hwndFrom != m_ruleGrid.m_hWnd) {
    bHandled = FALSE;
    return 0;
  }
  OnNetRuleGridCheck();
  return 0;
}

void CSRSecurityReinforceDlg::OnNetRuleGridCheck() {
  const size_t checked = CheckedRuleRows().size();
  EnableItem(kRuleModify, checked == 1);
  EnableItem(kRuleDelete, checked > 0);
}

void CSRSecurityReinforceDlg::OnNetRuleAdd() {
  m_ruleMode = kRuleAddMode;
  ShowPage(kPageNetRuleEditor);
}

void CSRSecurityReinforceDlg::OnNetRuleModify() {
  const std::vector<int> rows = CheckedRuleRows();
  if (rows.empty()) return;
  m_ruleMode = kRuleModifyMode;
  m_ruleRow = rows.back();
  m_ruleOldName = m_ruleGrid.GetItemText(m_ruleRow, kCellName);
  m_ruleNameEdit.SetWindowText(m_ruleOldName.c_str());
  for (UINT id = kAddressCombo; id <= kDirectionCombo; ++id)
    SelectExact(ComboById(id), m_ruleGrid.GetItemText(m_ruleRow, kCellAddress + static_cast<int>(id - kAddressCombo)));
  ShowPage(kPageNetRuleEditor);
}

// By the whole text: "10.0.0.1" must not land on "10.0.0.12".
void CSRSecurityReinforceDlg::SelectExact(CComboBoxCtrlEx& combo, const std::wstring& text) {
  combo.SetCurSel(text.empty() ? -1 : combo.FindStringExact(-1, text.c_str()));
}

std::wstring CSRSecurityReinforceDlg::ComboText(const CComboBoxCtrlEx& combo) {
  const int index = combo.GetCurSel();
  return index < 0 ? std::wstring() : combo.GetLBText(index);
}

void CSRSecurityReinforceDlg::OnAddNetRule() {
  NetRule rule;
  rule.name = m_ruleNameEdit.GetWindowText();
  rule.address = ComboText(m_addressCombo);
  rule.localPort = ComboText(m_localPortCombo);
  rule.peerPort = ComboText(m_peerPortCombo);
  const std::wstring direction = ComboText(m_directionCombo);
  const struct {
    std::wstring text;
    const wchar_t* missing;
  } fields[] = {
      {rule.name, L"没有策略名称！"},        {rule.address, L"没有选择地址！"},
      {rule.localPort, L"没有选择本地端口！"}, {rule.peerPort, L"没有选择对端端口！"},
      {direction, L"没有选择交互方向！"},      {m_ruleDocEdit.GetWindowText(), L"没有服务说明！"},
  };
  for (const auto& field : fields) {
    if (!field.text.empty()) continue;
    UiMessageBox(field.missing, L"警告", MB_ICONINFORMATION);
    return;
  }
  // The list offers the hosts' stored addresses as they stand; one that is no host's is
  // refused as everywhere else, not stored as a rule nothing can enforce.
  uint32_t address = 0;
  if (!ParseHostAddress(rule.address, &address)) {
    TellHostAddressUnusable();
    return;
  }
  rule.direction = direction == kDirections[0] ? 0 : 1;
  rule.listType = std::max(0, m_listTypeCombo.GetCurSel());

  const std::wstring* oldName = m_ruleMode == kRuleModifyMode ? &m_ruleOldName : nullptr;
  bool taken = false;
  std::wstring error;
  if (!RuleNameTaken(rule.name, oldName, &taken, &error)) {
    TellError(error.c_str());
    return;
  }
  if (taken) {
    UiMessageBox(L"名称重复了！！！", L"错误", MB_OK);
    ReloadNetRules();
    return;
  }
  bool gone = false;
  if (!StoreNetRule(rule, oldName, &error, &gone)) {
    if (!gone) return TellError(error.c_str());
    ShowPage(kPageNetRules);
    return NetRuleGone();
  }
  int row = m_ruleRow;
  if (m_ruleMode == kRuleAddMode) row = m_ruleGrid.AddItem(L"", -1, ITEM_FORMAT_CHECKBOX);
  if (row >= 0) SetRuleRow(row, rule);
  ShowPage(kPageNetRules);
  OnNetRuleGridCheck();
}

void CSRSecurityReinforceDlg::OnNetRuleDelete() {
  if (UiMessageBox(L"您确认删除这些网络安全加固么？", L"确认删除？", MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
    return;
  const std::vector<int> rows = CheckedRuleRows();
  std::vector<std::wstring> names;
  for (int row : rows) names.push_back(m_ruleGrid.GetItemText(row, kCellName));
  std::wstring error;
  bool gone = false;
  if (!DeleteNetRules(names, &error, &gone)) {
    UiMessageBox(qv::FormatW(L"删除网络安全规则失败：%ls", error.c_str()).c_str(), L"错误", MB_ICONHAND);
    return;
  }
  if (gone) return NetRuleGone();  // the list read again shows what the others are now
  // Bottom-up, so that the rows still to go keep their indices.
  for (auto row = rows.rbegin(); row != rows.rend(); ++row) m_ruleGrid.DeleteItem(*row);
  OnNetRuleGridCheck();
}

void CSRSecurityReinforceDlg::ReloadNetRules() {
  std::vector<std::wstring> checked;
  for (int row : CheckedRuleRows()) checked.push_back(m_ruleGrid.GetItemText(row, kCellName));
  LoadNetRules(kListTypeCombo);
  if (m_ruleMode == kRuleModifyMode) m_ruleRow = -1;
  for (int row = 0; row < m_ruleGrid.GetItemCount(); ++row) {
    const std::wstring name = m_ruleGrid.GetItemText(row, kCellName);
    if (std::find(checked.begin(), checked.end(), name) != checked.end()) m_ruleGrid.SetItemCheck(row, 0, 1);
    if (m_ruleMode == kRuleModifyMode && name == m_ruleOldName) m_ruleRow = row;
  }
  OnNetRuleGridCheck();
}

void CSRSecurityReinforceDlg::NetRuleGone() {
  TellRecordGone([this] { LoadNetRules(kListTypeCombo); });
}
