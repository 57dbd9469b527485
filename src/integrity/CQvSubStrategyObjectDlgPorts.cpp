// The service-port panel of the object editor. No layout shows it; its controls are
// made by CreatePortControls when a caller wants them. Port rows are the protocol (with
// the row's check box) and the port text; ICMP rows "ICMP", the type and the code.
#include <cwchar>
#include <string>

#include "integrity/CQvSubStrategyObjectDlg.h"
#include "integrity/StrategyObjectText.h"
#include "uiwin/UiMessageBox.h"

namespace {

using Text = StrategyObjectText;

void Hint(const wchar_t* text) { UiMessageBox(text, L"提示", MB_OK); }

const wchar_t* const kProtocols[] = {L"TCP", L"UDP", L"ICMP"};
const int kMaxIcmpValue = 255;
const int kMaxPort = 65535;

std::wstring Decimal(int value) { return std::to_wstring(value); }

// The index a stored ICMP type or code names: -1 when it is no number from 0 to 255.
int IcmpIndex(const std::wstring& text) {
  if (text.empty() || text.size() > 3 || text.find_first_not_of(L"0123456789") != std::wstring::npos) return -1;
  const int value = std::stoi(text);
  return value <= kMaxIcmpValue ? value : -1;
}

}  // namespace

void CQvSubStrategyObjectDlg::CreatePortControls() {
  const HWND view = GetViewHWnd();
  const DWORD edit = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL;
  m_portName.Create(view, nullptr, nullptr, edit, 0, kPortName);
  m_portName.SetLimits(20, 0, '0', FALSE);
  m_portExplain.Create(view, nullptr, nullptr, edit, 0, kPortExplain);
  m_portExplain.SetLimits(50, 0, '0', FALSE);
  for (auto port : {std::make_pair(&m_portFrom, kPortFrom), std::make_pair(&m_portTo, kPortTo)}) {
    port.first->Create(view, nullptr, nullptr, edit, 0, port.second);
    port.first->SetInputType(CEditEx::kDigits);
    port.first->SetNumberRange(0, kMaxPort);
  }
  const RECT drop = {0, 0, 100, 200};
  m_portType.Create(view, drop, nullptr, CComboBoxCtrlEx::kPageStyle, 0, kPortType);
  for (const wchar_t* protocol : kProtocols) m_portType.AddString(protocol);
  m_portType.SetCurSel(m_portTypeIndex);
  for (auto combo : {std::make_pair(&m_icmpType, kIcmpType), std::make_pair(&m_icmpCode, kIcmpCode)}) {
    combo.first->Create(view, drop, nullptr, CComboBoxCtrlEx::kPageStyle & ~WS_VISIBLE, 0, combo.second);
    for (int value = 0; value <= kMaxIcmpValue; ++value) combo.first->AddString(Decimal(value).c_str());
  }
  CreateList(m_portList, kPortList);
  CreateList(m_icmpList, kIcmpList);
  m_icmpList.AddColumn(L"", 60, -1, FALSE, FALSE, ITEM_FORMAT_NONE, ITEM_FLAGS_LEFT);
  SetPortType(m_portTypeIndex);
}

LRESULT CQvSubStrategyObjectDlg::OnPortTypeChange(WORD, WORD, HWND, BOOL&) {
  SetPortType(m_portType.GetCurSel());
  return 0;
}

void CQvSubStrategyObjectDlg::SetPortType(int type) {
  m_portTypeIndex = type;
  const bool icmp = type == kPortIcmp;
  for (HWND port : {m_portFrom.m_hWnd, m_portTo.m_hWnd, m_portList.m_hWnd}) ::ShowWindow(port, icmp ? SW_HIDE : SW_SHOW);
  for (HWND pair : {m_icmpType.m_hWnd, m_icmpCode.m_hWnd, m_icmpList.m_hWnd}) ::ShowWindow(pair, icmp ? SW_SHOW : SW_HIDE);
  ClearPortControls();
}

void CQvSubStrategyObjectDlg::ClearPortControls() {
  m_portFrom.SetWindowText(L"");
  m_portTo.SetWindowText(L"");
  m_icmpType.SetCurSel(-1);
  m_icmpCode.SetCurSel(-1);
}

void CQvSubStrategyObjectDlg::OnPortAdd() {
  if (m_portTypeIndex < 0) return Hint(L"请选择端口类型");
  if (m_portTypeIndex != kPortIcmp) {
    const std::wstring port = Text::PortText(m_portFrom.GetWindowText(), m_portTo.GetWindowText());
    if (port.empty()) return Hint(L"请填写 端口值");
    for (int row = 0; row < m_portList.GetItemCount(); ++row)
      if (m_portList.GetItemText(row, 0) == kProtocols[m_portTypeIndex] && m_portList.GetItemText(row, 1) == port)
        return Hint(L"添加的端口范围已经存在");
    const int row = m_portList.AddItem(kProtocols[m_portTypeIndex], -1, ITEM_FORMAT_CHECKBOX, ITEM_FLAGS_CENTRE);
    m_portList.SetItemText(row, 1, port.c_str());
  } else {
    const int type = m_icmpType.GetCurSel(), code = m_icmpCode.GetCurSel();
    if (type < 0 || code < 0) return Hint(L"请选择 ICMP的类型与代码");
    for (int row = 0; row < m_icmpList.GetItemCount(); ++row)
      if (m_icmpList.GetItemText(row, 1) == Decimal(type) && m_icmpList.GetItemText(row, 2) == Decimal(code))
        return Hint(L"要添加的策略内容已经存在");
    const int row = m_icmpList.AddItem(L"ICMP", -1, ITEM_FORMAT_CHECKBOX, ITEM_FLAGS_CENTRE);
    m_icmpList.SetItemText(row, 1, Decimal(type).c_str());
    m_icmpList.SetItemText(row, 2, Decimal(code).c_str());
  }
  ClearPortControls();
  m_portSelected = m_icmpSelected = -1;
}

void CQvSubStrategyObjectDlg::OnPortModify() {
  if (m_portTypeIndex < 0) return Hint(L"请选择端口类型");
  if (m_portTypeIndex != kPortIcmp) {
    if (m_portSelected < 0 || m_portSelected >= m_portList.GetItemCount()) return;
    const std::wstring port = Text::PortText(m_portFrom.GetWindowText(), m_portTo.GetWindowText());
    if (port.empty()) return Hint(L"请填写 端口值");
    for (int row = 0; row < m_portList.GetItemCount(); ++row)
      if (row != m_portSelected && m_portList.GetItemText(row, 0) == kProtocols[m_portTypeIndex] &&
          m_portList.GetItemText(row, 1) == port)
        return Hint(L"要修改的端口范围已经存在");
    m_portList.SetItemText(m_portSelected, 1, port.c_str());
  } else {
    if (m_icmpSelected < 0 || m_icmpSelected >= m_icmpList.GetItemCount()) return;
    const int type = m_icmpType.GetCurSel(), code = m_icmpCode.GetCurSel();
    if (type < 0 && code < 0) return Hint(L"请选择 端口值");
    if (type < 0 || code < 0) return Hint(L"请选择 ICMP的类型与代码");
    for (int row = 0; row < m_icmpList.GetItemCount(); ++row)
      if (row != m_icmpSelected && m_icmpList.GetItemText(row, 1) == Decimal(type) &&
          m_icmpList.GetItemText(row, 2) == Decimal(code))
        return Hint(L"要添加的策略内容已经存在");
    m_icmpList.SetItemText(m_icmpSelected, 1, Decimal(type).c_str());
    m_icmpList.SetItemText(m_icmpSelected, 2, Decimal(code).c_str());
  }
  ClearPortControls();
  m_portSelected = m_icmpSelected = -1;
}

void CQvSubStrategyObjectDlg::OnPortDelete() {
  ClearPortControls();
  if (!DeleteChecked(m_portTypeIndex == kPortIcmp ? m_icmpList : m_portList)) return Hint(L"请选择要删除的策略");
  m_portSelected = m_icmpSelected = -1;
}

void CQvSubStrategyObjectDlg::OnPortListClick(int row, int column) {
  m_portSelected = row;
  if (column < 1 || row < 0 || row >= m_portList.GetItemCount()) return;
  ClearPortControls();
  const int type = m_portList.GetItemText(row, 0) == L"TCP" ? kPortTcp : kPortUdp;
  m_portType.SetCurSel(type);
  m_portTypeIndex = type;
  const std::wstring port = m_portList.GetItemText(row, 1);
  const size_t dash = port.find(L'-');
  m_portFrom.SetWindowText(port.substr(0, dash).c_str());
  if (dash != std::wstring::npos) m_portTo.SetWindowText(port.substr(dash + 1).c_str());
}

void CQvSubStrategyObjectDlg::OnIcmpListClick(int row, int column) {
  m_icmpSelected = row;
  if (column < 1 || row < 0 || row >= m_icmpList.GetItemCount()) return;
  ClearPortControls();
  m_portType.SetCurSel(kPortIcmp);
  m_portTypeIndex = kPortIcmp;
  const std::wstring type = m_icmpList.GetItemText(row, 1), code = m_icmpList.GetItemText(row, 2);
  if (!type.empty()) m_icmpType.SetCurSel(IcmpIndex(type));
  if (!code.empty()) m_icmpCode.SetCurSel(IcmpIndex(code));
}

void CQvSubStrategyObjectDlg::LoadPorts(ServiceObjectRecord& record) {
  m_portName.SetWindowText(record.name.c_str());
  m_portExplain.SetWindowText(record.explain.c_str());
  for (const std::wstring& entry : Text::Split(record.icmp, L' ')) {
    if (entry.empty()) continue;
    const size_t dash = entry.find(L'-');
    const int row = m_icmpList.AddItem(L"ICMP", -1, ITEM_FORMAT_CHECKBOX, ITEM_FLAGS_CENTRE);
    m_icmpList.SetItemText(row, 1, entry.substr(0, dash).c_str());
    if (dash != std::wstring::npos) m_icmpList.SetItemText(row, 2, entry.substr(dash + 1).c_str());
  }
  for (int type : {kPortTcp, kPortUdp})
    for (const std::wstring& entry : Text::Split(type == kPortTcp ? record.tcp : record.udp, L' ')) {
      if (entry.empty()) continue;
      const int row = m_portList.AddItem(kProtocols[type], -1, ITEM_FORMAT_CHECKBOX, ITEM_FLAGS_CENTRE);
      m_portList.SetItemText(row, 1, entry.c_str());
    }
  record.name.clear();
  record.icmp.clear();
  record.tcp.clear();
  record.udp.clear();
  record.explain.clear();
}
