#pragma once
// Page handler of the "报告中心" area (layout 510). Built for users with the report-center
// permission; the report list and the report settings are the pages of tab control 364.
// The host itself acts on no element; its map hands everything to theirs, the list first.
#include <windows.h>

#include <memory>

#include "platform/MessageMap.h"
#include "reports/CRCReportManagementUIHandler.h"
#include "reports/CRCReportSetUIHandler.h"
#include "uiwin/UiNotify.h"

class CUiDialogHost;

class CReportCenterUIHandler {
 public:
  explicit CReportCenterUIHandler(CUiDialogHost* owner);
  ~CReportCenterUIHandler();
  CReportCenterUIHandler(const CReportCenterUIHandler&) = delete;
  CReportCenterUIHandler& operator=(const CReportCenterUIHandler&) = delete;

  int Init();
  int UnInit();
  // Brings the report list up to date; the main window calls it whenever the area
  // is opened.
  int Refresh();

  CRCReportManagementUIHandler* ReportList() const { return m_pReportList.get(); }
  CRCReportSetUIHandler* Settings() const { return m_pSettings.get(); }

  BEGIN_MSG_MAP_EX(CReportCenterUIHandler)
    NOTIFY_ID_HANDLER(IDC_UIVIEW, OnUiCommand)
    CHAIN_MSG_MAP_MEMBER_PTR(m_pReportList)
    CHAIN_MSG_MAP_MEMBER_PTR(m_pSettings)
  END_MSG_MAP()

 private:
  // Declines every element: the sub-pages' maps take them.
  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);

  std::unique_ptr<CRCReportManagementUIHandler> m_pReportList;
  std::unique_ptr<CRCReportSetUIHandler> m_pSettings;
};
