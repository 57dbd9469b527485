#pragma once
// Page handler of the safe-tools area ("安全工具", layout 511): a read-only catalogue
// of ten entries. Built for users with the safe-tools permission; the main layout has
// no header button that opens it.
#include <windows.h>

#include "platform/MessageMap.h"

class CMainDlg;

class CSafetoolUIHandler {
 public:
  explicit CSafetoolUIHandler(CMainDlg* owner);
  ~CSafetoolUIHandler();
  CSafetoolUIHandler(const CSafetoolUIHandler&) = delete;
  CSafetoolUIHandler& operator=(const CSafetoolUIHandler&) = delete;

  int Init();
  int UnInit();

  BEGIN_MSG_MAP_EX(CSafetoolUIHandler)
  END_MSG_MAP()

 private:
  CMainDlg* m_owner;
};
