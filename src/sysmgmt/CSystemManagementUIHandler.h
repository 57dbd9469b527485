#pragma once
// Page handler of the system-management area ("系统管理"), the one area every console
// user can open. Its sub-pages (clients, users, server settings, update) are the pages
// of tab control 129 of layout 506; a custom (non-administrator) user is kept on the
// user page. The main window creates it whatever the user's permission, and chains its
// map first among the areas.
#include <windows.h>

#include "platform/MessageMap.h"
#include "uiwin/UiNotify.h"

class CMainDlg;

class CSystemManagementUIHandler {
 public:
  enum : UINT { kTabCtrl = 129 };
  enum : int { kUserPage = 1, kUpdatePage = 3 };

  explicit CSystemManagementUIHandler(CMainDlg* owner);
  ~CSystemManagementUIHandler();
  CSystemManagementUIHandler(const CSystemManagementUIHandler&) = delete;
  CSystemManagementUIHandler& operator=(const CSystemManagementUIHandler&) = delete;

  int Init();
  int UnInit();
  // 1 allows the switch; a custom user may only go to the user page.
  int OnTabChanging(int oldPage, int newPage);
  BOOL ShowUpdatePage();

  BEGIN_MSG_MAP_EX(CSystemManagementUIHandler)
    NOTIFY_ID_HANDLER(IDC_UIVIEW, OnUiCommand)
  END_MSG_MAP()

 private:
  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);

  CMainDlg* m_owner;
};
