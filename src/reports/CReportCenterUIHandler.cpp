#include "reports/CReportCenterUIHandler.h"

CReportCenterUIHandler::CReportCenterUIHandler(CUiDialogHost* owner)
    : m_pReportList(new CRCReportManagementUIHandler(owner)),
      m_pSettings(new CRCReportSetUIHandler(owner)) {}

CReportCenterUIHandler::~CReportCenterUIHandler() = default;

int CReportCenterUIHandler::Init() {
  m_pSettings->Init();
  m_pReportList->Init();
  return 1;
}

int CReportCenterUIHandler::UnInit() {
  m_pSettings->UnInit();
  m_pReportList->UnInit();
  return 1;
}

int CReportCenterUIHandler::Refresh() { return m_pReportList->Refresh(); }

LRESULT CReportCenterUIHandler::OnUiCommand(int, LPNMHDR, BOOL& bHandled) {
  bHandled = FALSE;
  return 0;
}
