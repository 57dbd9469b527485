#include "logcenter/CLogCenterUIHandler.h"

#include <new>

CLogCenterUIHandler::CLogCenterUIHandler(CUiDialogHost* owner)
    : m_owner(owner),
      m_pAuditLog(new (std::nothrow) CLCAuditLogUIHandler(owner)),
      m_pHIPSLog(new (std::nothrow) CLCHIPSLogUIHandler(owner)),
      m_pSystemLog(new (std::nothrow) CLCSystemLogUIHandler(owner)) {}

CLogCenterUIHandler::~CLogCenterUIHandler() = default;

int CLogCenterUIHandler::Init() {
  if (m_pAuditLog) m_pAuditLog->Init();
  if (m_pHIPSLog) m_pHIPSLog->Init();
  if (m_pSystemLog) m_pSystemLog->Init();
  return 1;
}

int CLogCenterUIHandler::UnInit() {
  if (m_pAuditLog) m_pAuditLog->UnInit();
  if (m_pHIPSLog) m_pHIPSLog->UnInit();
  if (m_pSystemLog) m_pSystemLog->UnInit();
  return 1;
}

// The area has no element of its own: every notification goes on to the pages.
LRESULT CLogCenterUIHandler::OnUiCommand(int, LPNMHDR, BOOL& bHandled) {
  bHandled = FALSE;
  return 0;
}
