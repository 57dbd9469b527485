#include "reports/CRCReportSetUIHandler.h"

#include <string>

#include "app/CMainDlg.h"
#include "reports/ReportFolderPicker.h"
#include "reports/ReportSettings.h"
#include "uiwin/UiMessageBox.h"

namespace {
const DWORD kEditStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL;
const DWORD kComboStyle = WS_CHILD | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
}  // namespace

CRCReportSetUIHandler::CRCReportSetUIHandler(CMainDlg* owner) : m_owner(owner) {}

CRCReportSetUIHandler::~CRCReportSetUIHandler() = default;

// The layout's real-window elements place the controls.
int CRCReportSetUIHandler::Init() {
  HWND view = m_owner->GetViewHWnd();
  m_nameEdit.Create(view, nullptr, nullptr, kEditStyle, 0, kNameEdit);
  m_nameEdit.SetLimits(20, 0, '0', FALSE);
  m_authorEdit.Create(view, nullptr, nullptr, kEditStyle, 0, kAuthorEdit);
  m_authorEdit.SetLimits(10, 0, '0', FALSE);
  m_formatCombo.Create(view, RECT{}, nullptr, kComboStyle, 0, kFormatCombo);
  m_formatCombo.AddString(L"HTML 格式");
  m_folderEdit.Create(view, nullptr, nullptr, kEditStyle | ES_READONLY, 0, kFolderEdit);
  return 1;
}

int CRCReportSetUIHandler::UnInit() { return 1; }

LRESULT CRCReportSetUIHandler::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  if (pnmh->code == UINM_COMMAND) {
    switch (reinterpret_cast<UINMCOMMAND*>(pnmh)->uItemID) {
      case kItemChoosePath:
        return OnChoosePath();
      case kItemSave:
        return OnSaveBrief();
      case kItemCancel:
        return 1;
    }
  }
  bHandled = FALSE;
  return 0;
}

int CRCReportSetUIHandler::OnSaveBrief() {
  const std::wstring name = m_nameEdit.GetWindowText();
  const std::wstring author = m_authorEdit.GetWindowText();
  const std::wstring folder = m_folderEdit.GetWindowText();
  const int format = m_formatCombo.GetCurSel();
  LPCWSTR refusal = name.empty()     ? L"请输入简报名称"
                    : author.empty() ? L"请输入简报作者"
                    : format < 0     ? L"请选择简报输出格式"
                    : folder.empty() ? L"请输入简报输出位置"
                                     : nullptr;
  if (refusal) {
    UiMessageBox(refusal, L"提示", MB_OK);
    return 0;
  }
  g_reportBriefName = name;
  g_reportBriefAuthor = author;
  g_reportOutputFolder = folder;
  g_reportFormatIndex = format;
  UiMessageBox(L"输出设置保存成功", L"提示", MB_OK);
  return 1;
}

int CRCReportSetUIHandler::OnChoosePath() {
  std::wstring folder;
  if (ReportFolderPicker::Choose(folder)) m_folderEdit.SetWindowText(folder.c_str());
  return 0;
}
