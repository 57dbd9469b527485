#include "reinforce/CSecurityReinforceUIHandler.h"

#include <new>

CSecurityReinforceUIHandler::CSecurityReinforceUIHandler(CUiDialogHost* owner)
    : m_owner(owner),
      m_pStrategyPage(new (std::nothrow) CSRReinforceStrategyUIHandler(owner)),
      m_pBugFixesPage(new (std::nothrow) CSRBugFixesUIHandler(owner)) {}

CSecurityReinforceUIHandler::~CSecurityReinforceUIHandler() = default;

int CSecurityReinforceUIHandler::Init() {
  if (m_pStrategyPage) m_pStrategyPage->Init();
  if (m_pBugFixesPage) m_pBugFixesPage->Init();
  return 0;
}

int CSecurityReinforceUIHandler::UnInit() { return 0; }

// The area's own layout has no element of its own to answer; the pages' maps follow.
LRESULT CSecurityReinforceUIHandler::OnUiCommand(int, LPNMHDR, BOOL& bHandled) {
  bHandled = FALSE;
  return 0;
}

LRESULT CSecurityReinforceUIHandler::OnIdleMessage(UINT, WPARAM, LPARAM, BOOL&) { return 0; }
