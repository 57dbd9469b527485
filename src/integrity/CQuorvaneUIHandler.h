#pragma once
// Page handler of the integrity-monitoring area ("完整性监测", layout 507): its
// sub-pages are the pages of tab control 364; a switch to one of them may refresh it.
// Built for users with the integrity permission.
#include <windows.h>

#include "platform/MessageMap.h"
#include "uiwin/UiNotify.h"

class CMainDlg;

class CQuorvaneUIHandler {
 public:
  enum : UINT { kTabCtrl = 364 };

  explicit CQuorvaneUIHandler(CMainDlg* owner);
  ~CQuorvaneUIHandler();
  CQuorvaneUIHandler(const CQuorvaneUIHandler&) = delete;
  CQuorvaneUIHandler& operator=(const CQuorvaneUIHandler&) = delete;

  int Init();
  int Uninit();
  // Called before the area's tab switches; 1: the switch goes ahead (always).
  int Refresh(int oldTab, int newTab);

  BEGIN_MSG_MAP_EX(CQuorvaneUIHandler)
    NOTIFY_ID_HANDLER(IDC_UIVIEW, OnUiCommand)
  END_MSG_MAP()

 private:
  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);

  CMainDlg* m_owner;
};
