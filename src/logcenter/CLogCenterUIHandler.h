#pragma once
// Page handler of the "日志中心" area (layout 509). Built for users with the log-center
// permission; its query pages are the pages of tab control 364.
#include <windows.h>

#include "platform/MessageMap.h"

class CMainDlg;

class CLogCenterUIHandler {
 public:
  explicit CLogCenterUIHandler(CMainDlg* owner);
  ~CLogCenterUIHandler();
  CLogCenterUIHandler(const CLogCenterUIHandler&) = delete;
  CLogCenterUIHandler& operator=(const CLogCenterUIHandler&) = delete;

  int Init();
  int UnInit();

  BEGIN_MSG_MAP_EX(CLogCenterUIHandler)
  END_MSG_MAP()

 private:
  CMainDlg* m_owner;
};
