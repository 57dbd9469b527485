#pragma once
// Page handler of the "报告中心" area (layout 510). Built for users with the report-center
// permission; the report list and the report settings are the pages of tab control 364.
#include <windows.h>

#include "platform/MessageMap.h"

class CMainDlg;

class CReportCenterUIHandler {
 public:
  explicit CReportCenterUIHandler(CMainDlg* owner);
  ~CReportCenterUIHandler();
  CReportCenterUIHandler(const CReportCenterUIHandler&) = delete;
  CReportCenterUIHandler& operator=(const CReportCenterUIHandler&) = delete;

  int Init();
  int UnInit();
  // Brings the report list up to date; the main window calls it whenever the area
  // is opened.
  int Refresh();

  BEGIN_MSG_MAP_EX(CReportCenterUIHandler)
  END_MSG_MAP()

 private:
  CMainDlg* m_owner;
};
