// The custom file-system template's objects: a target server and folder with its file
// types and ignored folders become one row of the object grid.
#include "integrity/CQvStrategyGuardDlg.h"

#include <commctrl.h>

#include <iterator>

#include "console/CDirectoryDlg.h"
#include "uiwin/UiMessageBox.h"

namespace {

const wchar_t kWarning[] = L"警告";
// What an object row's joined lists may hold.
const size_t kFileTypesChars = 249, kFileTypeChars = 15, kIgnoredChars = 259, kIgnoredFolderChars = 249;

}  // namespace

void CQvStrategyGuardDlg::OnTargetParamsOK() {
  if (m_targetName.empty() || m_targetFolder.empty()) {
    Warn(L"请选择目标服务器和目录！");
    return;
  }
  for (int row = 0; row < m_objectGrid.GetItemCount(); ++row) {
    if (m_objectGrid.GetItemText(row, kColServer) == m_targetName &&
        m_objectGrid.GetItemText(row, kColFolder) == m_targetFolder) {
      Warn(L"对象已经存在！");
      return;
    }
  }
  std::wstring types;
  for (HTREEITEM item = m_fileTypeTree.GetRootItem(); item; item = m_fileTypeTree.GetNextSiblingItem(item))
    if (m_fileTypeTree.GetCheck(item) == EM_TVIS_CHECK)
      types += m_fileTypeTree.GetItemText(item).substr(0, kFileTypeChars) + L";";
  std::wstring ignored;
  for (HTREEITEM item = m_ignoreTree.GetRootItem(); item; item = m_ignoreTree.GetNextSiblingItem(item))
    ignored += m_ignoreTree.GetItemText(item).substr(0, kIgnoredFolderChars) + L";";
  if (types.size() > kFileTypesChars) {
    Warn(L"选择的文件类型太多，请减少后再试！");
    return;
  }
  if (ignored.size() > kIgnoredChars) {
    Warn(L"忽略的目录太多，请减少后再试！");
    return;
  }
  int filter = 0;
  for (int i = 0; i < int(std::size(kFilterTexts)); ++i)
    if (GetItemCheck(kFilterAll + i)) filter = i;
  const int row = m_objectGrid.AddItem(L"", -1, ITEM_FORMAT_CHECKBOX);
  const std::wstring cells[] = {m_targetName, m_targetFolder, kFilterTexts[filter], types, ignored};
  for (int column = kColServer; column <= kColIgnored; ++column)
    m_objectGrid.SetItemText(row, column, cells[column - kColServer].c_str());

  m_ignoreTree.DeleteAllItems();
  m_checkedIgnore = nullptr;
  m_targetFolder.clear();
  SetItemText(kChosenFolder, L"");
  SetTabCurSel(kTargetTabs, 0);
  Back();
}

void CQvStrategyGuardDlg::OnDeleteObjects() {
  for (int row = m_objectGrid.GetItemCount() - 1; row >= 0; --row)
    if (m_objectGrid.GetItemCheck(row, kColCheck) > 0) m_objectGrid.DeleteItem(row);
}

void CQvStrategyGuardDlg::OnFileTypeAdd() {
  HTREEITEM item = m_fileTypeTree.InsertTextItem(L"*.***", TVI_ROOT, TVI_LAST, EM_TVIS_UNCHECK);
  if (!item) return;
  m_fileTypeTree.SelectItem(item);
  m_fileTypeTree.SetFocus();
  m_fileTypeTree.SendMessage(TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(item));
}

void CQvStrategyGuardDlg::OnIgnoreAdd() {
  if (m_targetIp.empty()) {
    Warn(L"请选择目标服务器和目录！");
    return;
  }
  std::wstring folder = m_targetFolder;
  CDirectoryDlg picker(m_targetIp, &folder, L"请选择目录");
  if (picker.DoModal(m_hWnd) != IDOK || folder.empty()) return;
  m_ignoreTree.InsertTextItem(folder.c_str(), TVI_ROOT, TVI_LAST, EM_TVIS_UNCHECK);
}

// The items go after the question: nothing is deleted while the box runs.
void CQvStrategyGuardDlg::DeleteCheckedItems(CMulStatusTree& tree) {
  if (UiMessageBox(L"确定要删除吗？", kWarning, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  std::vector<HTREEITEM> doomed;
  for (HTREEITEM item = tree.GetRootItem(); item; item = tree.GetNextSiblingItem(item))
    if (tree.GetCheck(item) == EM_TVIS_CHECK) doomed.push_back(item);
  for (HTREEITEM item : doomed) {
    if (item == m_checkedIgnore) m_checkedIgnore = nullptr;
    tree.DeleteItem(item);
  }
}

void CQvStrategyGuardDlg::OnSettingsNext() {
  if (!TakeName(m_objectNameEdit, L"策略名称不能为空！", m_objectDescriptorEdit, L"策略描述不能为空！")) return;
  std::wstring folders;
  for (int row = 0; row < m_objectGrid.GetItemCount(); ++row)
    folders += m_objectGrid.GetItemText(row, kColFolder) + L"\r\n";
  SetSummaryText(folders);
  if (m_record.StrategyType == kTypeCustomFiles) ShowPanel(kPanelSchedule);
}
