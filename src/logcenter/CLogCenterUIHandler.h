#pragma once
// Page handler of the "日志中心" area (layout 509). Built for users with the log-center
// permission; its query pages (audit, HIPS and system logs) are the pages of tab
// control 364 and see every message it is offered, in that order.
#include <windows.h>

#include <memory>

#include "logcenter/CLCAuditLogUIHandler.h"
#include "logcenter/CLCHIPSLogUIHandler.h"
#include "logcenter/CLCSystemLogUIHandler.h"
#include "platform/MessageMap.h"
#include "uiwin/UiNotify.h"

class CUiDialogHost;

class CLogCenterUIHandler {
 public:
  enum : UINT { kTabCtrl = 364 };

  explicit CLogCenterUIHandler(CUiDialogHost* owner);
  ~CLogCenterUIHandler();
  CLogCenterUIHandler(const CLogCenterUIHandler&) = delete;
  CLogCenterUIHandler& operator=(const CLogCenterUIHandler&) = delete;

  int Init();
  int UnInit();

  BEGIN_MSG_MAP_EX(CLogCenterUIHandler)
    NOTIFY_ID_HANDLER(IDC_UIVIEW, OnUiCommand)
    CHAIN_MSG_MAP_MEMBER_PTR(m_pAuditLog)
    CHAIN_MSG_MAP_MEMBER_PTR(m_pHIPSLog)
    CHAIN_MSG_MAP_MEMBER_PTR(m_pSystemLog)
  END_MSG_MAP()

  // The pages; null when one could not be made.
  CLCAuditLogUIHandler* AuditLog() const { return m_pAuditLog.get(); }
  CLCHIPSLogUIHandler* HIPSLog() const { return m_pHIPSLog.get(); }
  CLCSystemLogUIHandler* SystemLog() const { return m_pSystemLog.get(); }

 private:
  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);

  CUiDialogHost* m_owner;
  std::unique_ptr<CLCAuditLogUIHandler> m_pAuditLog;
  std::unique_ptr<CLCHIPSLogUIHandler> m_pHIPSLog;
  std::unique_ptr<CLCSystemLogUIHandler> m_pSystemLog;
};
