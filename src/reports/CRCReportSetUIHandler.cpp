#include "reports/CRCReportSetUIHandler.h"

#include <string>

#include "reports/ReportSettings.h"
#include "uiwin/CUiDialogHost.h"
#include "uiwin/UiMessageBox.h"

CRCReportSetUIHandler::CRCReportSetUIHandler(CUiDialogHost* owner) : m_owner(owner) {}

CRCReportSetUIHandler::~CRCReportSetUIHandler() = default;

// The layout's real-window elements place the controls.
int CRCReportSetUIHandler::Init() {
  m_fields.Create(m_owner->GetViewHWnd());
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
  const std::wstring name = m_fields.Name();
  const std::wstring author = m_fields.Author();
  const std::wstring folder = m_fields.Folder();
  const int format = m_fields.Format();
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

int CRCReportSetUIHandler::OnChoosePath() { return m_fields.ChooseFolder(); }
