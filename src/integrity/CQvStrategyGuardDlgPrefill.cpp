// Modify mode: the wizard's controls filled from the checked strategy's stored rows.
#include "integrity/CQvStrategyGuardDlg.h"

#include <commctrl.h>

#include <iterator>

#include "console/ConnectOrTell.h"
#include "console/ListReadFailure.h"
#include "console/RecordGone.h"
#include "console/SQLServerLink.h"
#include "integrity/CQvStrategyGuardUIHandler.h"
#include "uiwin/UiMessageBox.h"

namespace {


void SelectOrAdd(CComboBoxCtrlEx& combo, const std::wstring& text) {
  LRESULT index = ::SendMessageW(combo, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(text.c_str()));
  if (index == CB_ERR) index = ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  combo.SetCurSel(int(index));
}

}  // namespace

void CQvStrategyGuardDlg::Prefill() {
  const Grid* owner = m_page ? &m_page->Grid() : nullptr;
  for (int row = 0; owner && row < owner->GetItemCount(); ++row) {
    if (owner->GetItemCheck(row, CQvStrategyGuardUIHandler::kColName) <= 0) continue;
    m_oldName = owner->GetItemText(row, CQvStrategyGuardUIHandler::kColName);
    m_oldDescriptor = owner->GetItemText(row, CQvStrategyGuardUIHandler::kColDescriptor);
    m_oldId = m_page->StrategyIdOf(row);
    break;
  }
  std::vector<StrategyTableRow> rows;
  int stored = 0;  // with no rows: 1 when the strategy is stored under other values
  std::wstring storedName, storedDescriptor;
  {
    SQLServerLink link;
    if (!Connect(link) || !ReadStrategyRows(link, m_oldName, m_oldDescriptor, m_oldId, &rows) ||
        (rows.empty() && (stored = FindStoredStrategy(link, m_oldName, m_oldId, &storedName, &storedDescriptor)) < 0)) {
      link.Disconnect();
      Warn(L"打开数据库失败！");
      return;
    }
  }
  if (rows.empty()) {
    if (stored > 0)
      StrategyChanged(storedName, storedDescriptor, false);
    else
      StrategyGone();
    return;
  }
  const StrategyTableRow& first = rows.front();
  enum { kType = 2, kSelected = 3, kAttribute = 4, kDeviceType = 5, kLoginType = 6, kUserId = 7, kLoginId = 8,
         kManageId = 9, kFolder = 10, kFilter = 11, kFileTypes = 12, kIp = 38, kId = 40, kIgnored = 41 };
  const DWORD type = DWORD(first.Int(kType));
  StrategyRecord::Put(m_record.Id, first.Text(kId));
  if (!StrategyTableRow::OwnId(m_oldId)) m_oldId = first.Text(kId);
  CheckStoredTemplate(type, first.Text(kSelected));
  PrefillSchedule(first);

  const bool objects = type == kTypeCustomFiles;
  (objects ? m_objectNameEdit : m_nameEdit).SetWindowText(m_oldName.c_str());
  (objects ? m_objectDescriptorEdit : m_descriptorEdit).SetWindowText(m_oldDescriptor.c_str());
  SQLServerLink link;
  const bool connected = Connect(link) != 0;
  std::wstring label;
  switch (type) {
    case kTypeOs:
      for (int i = 0; i < kAttributeCount; ++i) SetItemCheck(kFirstAttribute + i, (first.Int(kAttribute) >> i) & 1);
      for (const StrategyTableRow& row : rows) {
        if (!connected || !HostLabel(link, row.Text(kIp), &label)) {
          if (!connected) TellNoConnection();
          return;
        }
        const auto servers = m_serverItems.equal_range(label);
        for (auto server = servers.first; server != servers.second; ++server)
          m_serverTree.SetCheck(server->second, EM_TVIS_CHECK, TRUE);
      }
      break;
    case kTypeDevice:
    case kTypeCustomDevice:
      if (!connected || !HostLabel(link, first.Text(kIp), &label)) {
        if (!connected) TellNoConnection();
        EndDialog(IDCANCEL);
        return;
      }
      if (type == kTypeDevice) m_deviceTypeCombo.SetCurSel(first.Int(kDeviceType));
      SelectOrAdd(m_deviceCombo, label);
      m_loginTypeCombo.SetCurSel(first.Int(kLoginType));
      m_userIdEdit.SetWindowText(first.Text(kUserId).c_str());
      m_loginIdEdit.SetWindowText(first.Text(kLoginId).c_str());
      m_manageIdEdit.SetWindowText(first.Text(kManageId).c_str());
      break;
    case kTypeCustomFiles:
      for (const StrategyTableRow& stored : rows) {
        if (!connected || !HostLabel(link, stored.Text(kIp), &label)) {
          if (!connected) TellNoConnection();
          EndDialog(IDCANCEL);
          return;
        }
        const int filter = stored.Int(kFilter);
        const int row = m_objectGrid.AddItem(L"", -1, ITEM_FORMAT_CHECKBOX);
        if (row < 0) {
          // A strategy shown without some of its targets would be saved without them.
          link.Disconnect();
          TellListUnread(kReadTargetsFailed, kGridFullReason);
          EndDialog(IDCANCEL);
          return;
        }
        const std::wstring cells[] = {label, stored.Text(kFolder),
                                      filter >= 0 && filter < 3 ? kFilterTexts[filter] : L"",
                                      stored.Text(kFileTypes), stored.Text(kIgnored)};
        for (int column = kColServer; column <= kColIgnored; ++column)
          m_objectGrid.SetItemText(row, column, cells[column - kColServer].c_str());
      }
      break;
    default:
      break;
  }
}

// The stored template text is cut to the record's field, so a longer item matches by
// its beginning.
void CQvStrategyGuardDlg::CheckStoredTemplate(DWORD type, const std::wstring& selected) {
  const size_t cut = std::size(m_record.SelectedItem) - 1;
  auto matches = [&](HTREEITEM item) { return m_templateTree.GetItemText(item).substr(0, cut) == selected; };
  HTREEITEM category = m_templateTree.GetRootItem();
  while (category && m_templateTree.GetItemData(category) != type) category = m_templateTree.GetNextSiblingItem(category);
  if (!category || selected.empty()) return;
  HTREEITEM found = nullptr;
  if (matches(category)) {
    found = category;
  } else {
    std::vector<HTREEITEM> pending{category};
    while (!pending.empty() && !found) {
      HTREEITEM item = pending.back();
      pending.pop_back();
      m_templateTree.Expand(item, TVE_EXPAND);
      std::vector<HTREEITEM> children;
      for (HTREEITEM child = m_templateTree.GetChildItem(item); child; child = m_templateTree.GetNextSiblingItem(child))
        children.push_back(child);
      for (HTREEITEM child : children)
        if (!found && m_templateTree.GetCheck(child) != EM_TVIS_NONE && matches(child)) found = child;
      pending.insert(pending.end(), children.rbegin(), children.rend());
    }
  }
  if (!found) return;
  m_templateTree.SetCheck(found, EM_TVIS_CHECK, FALSE);
  m_checkedTemplate = found;
}

// The strategy being modified has no rows left: the wizard ends, and the page shows the
// strategies as they are now.
void CQvStrategyGuardDlg::StrategyGone() {
  if (m_page)
    m_page->StrategiesGone();
  else
    TellRecordGone(nullptr);
  EndDialog(IDCANCEL);
}

void CQvStrategyGuardDlg::StrategyChanged(const std::wstring& storedName, const std::wstring& storedDescriptor,
                                          bool atFinish) {
  m_oldName = storedName;
  m_oldDescriptor = storedDescriptor;
  UiMessageBox(atFinish ? L"该策略已被其他控制台修改，您的修改尚未保存，列表将重新读取。"
                          L"再次点击“完成”将以您的修改替换它。"
                        : L"该策略已被其他控制台修改，列表将重新读取。",
               L"提示", MB_ICONINFORMATION);
  if (m_page) m_page->ReloadChecking(m_oldId, storedName, storedDescriptor);
  if (!atFinish) EndDialog(IDCANCEL);  // nothing was entered yet
}

bool CQvStrategyGuardDlg::HostLabel(SQLServerLink& link, const std::wstring& ip, std::wstring* label) {
  const int found = LookUp(link, L"select Name from Client where IP=?", ip, label);
  if (found < 0) {
    link.Disconnect();
    TellNoConnection();
    return false;
  }
  if (found == 0 || label->empty()) *label = ip;
  return true;
}
