#pragma once
// Page handler of the "安全加固" area (layout 508): the policy list (tab page 0) and the
// vulnerability-fix page (tab page 1), both owned here and chained after this map.
// Built and initialised for users with the reinforcement permission; the main layout
// has no header button that opens it.
#include <windows.h>

#include <memory>

#include "platform/MessageMap.h"
#include "reinforce/CSRBugFixesUIHandler.h"
#include "reinforce/CSRReinforceStrategyUIHandler.h"
#include "uiwin/UiNotify.h"

class CUiDialogHost;

class CSecurityReinforceUIHandler {
 public:
  // Window messages that nothing in the console sends; they stop here.
  enum : UINT { kFirstIdleMessage = 1553, kLastIdleMessage = 1559 };

  explicit CSecurityReinforceUIHandler(CUiDialogHost* owner);
  ~CSecurityReinforceUIHandler();
  CSecurityReinforceUIHandler(const CSecurityReinforceUIHandler&) = delete;
  CSecurityReinforceUIHandler& operator=(const CSecurityReinforceUIHandler&) = delete;

  // The policy page's, then the vulnerability page's; always 0.
  int Init();
  int UnInit();

  // Null when the page could not be made.
  CSRReinforceStrategyUIHandler* StrategyPage() const { return m_pStrategyPage.get(); }
  CSRBugFixesUIHandler* BugFixesPage() const { return m_pBugFixesPage.get(); }

  BEGIN_MSG_MAP_EX(CSecurityReinforceUIHandler)
    NOTIFY_ID_HANDLER(IDC_UIVIEW, OnUiCommand)
    MESSAGE_RANGE_HANDLER(kFirstIdleMessage, kLastIdleMessage, OnIdleMessage)
    CHAIN_MSG_MAP_MEMBER_PTR(m_pStrategyPage)
    CHAIN_MSG_MAP_MEMBER_PTR(m_pBugFixesPage)
  END_MSG_MAP()

 private:
  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnIdleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);

  CUiDialogHost* m_owner;
  std::unique_ptr<CSRReinforceStrategyUIHandler> m_pStrategyPage;
  std::unique_ptr<CSRBugFixesUIHandler> m_pBugFixesPage;
};
