#include "reports/CReportCenterUIHandler.h"

CReportCenterUIHandler::CReportCenterUIHandler(CMainDlg* owner) : m_owner(owner) {}

CReportCenterUIHandler::~CReportCenterUIHandler() = default;

int CReportCenterUIHandler::Init() { return 1; }

int CReportCenterUIHandler::UnInit() { return 1; }

int CReportCenterUIHandler::Refresh() { return 0; }
