#pragma once
// Page handler of the "安全加固" area (layout 508). Built and initialised for users with the
// reinforcement permission; the main layout has no header button that opens it.
#include <windows.h>

#include "platform/MessageMap.h"

class CMainDlg;

class CSecurityReinforceUIHandler {
 public:
  explicit CSecurityReinforceUIHandler(CMainDlg* owner);
  ~CSecurityReinforceUIHandler();
  CSecurityReinforceUIHandler(const CSecurityReinforceUIHandler&) = delete;
  CSecurityReinforceUIHandler& operator=(const CSecurityReinforceUIHandler&) = delete;

  int Init();
  int UnInit();

  BEGIN_MSG_MAP_EX(CSecurityReinforceUIHandler)
  END_MSG_MAP()

 private:
  CMainDlg* m_owner;
};
