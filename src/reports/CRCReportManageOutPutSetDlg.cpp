#include "reports/CRCReportManageOutPutSetDlg.h"

CRCReportManageOutPutSetDlg::CRCReportManageOutPutSetDlg(int version, LPCWSTR strategyName)
    : m_version(version), m_strategyName(strategyName) {}

UINT CRCReportManageOutPutSetDlg::DoModal(HWND) { return kLeft; }
