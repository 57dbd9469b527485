#pragma once
// Page handler of the system-management area ("系统管理"), the one area every console
// user can open. Its sub-pages (clients, users, server settings, update) are the pages
// of tab control 129 of layout 506; a custom (non-administrator) user gets only the
// user page and is kept on it. The main window creates it whatever the user's
// permission, and chains its map first among the areas.
#include <windows.h>

#include <memory>

#include "platform/MessageMap.h"
#include "sysmgmt/CSMClientManagementUIHandler.h"
#include "sysmgmt/CSMServerConfigUIHandler.h"
#include "sysmgmt/CSMUpdateManagementUIHandler.h"
#include "sysmgmt/CSMUserManagementUIHandler.h"
#include "uiwin/UiNotify.h"

class CUiDialogHost;

class CSystemManagementUIHandler {
 public:
  enum : UINT { kTabCtrl = 129 };
  enum : int { kUserPage = 1, kUpdatePage = 3 };

  explicit CSystemManagementUIHandler(CUiDialogHost* owner);
  ~CSystemManagementUIHandler();
  CSystemManagementUIHandler(const CSystemManagementUIHandler&) = delete;
  CSystemManagementUIHandler& operator=(const CSystemManagementUIHandler&) = delete;

  int Init();
  int UnInit();
  // 1 allows the switch; a custom user may only go to the user page.
  int OnTabChanging(int oldPage, int newPage);
  BOOL ShowUpdatePage();

  // The sub-pages; null where the user has none.
  CSMClientManagementUIHandler* ClientPage() const { return m_pClients.get(); }
  CSMUserManagementUIHandler* UserPage() const { return m_pUsers.get(); }
  CSMServerConfigUIHandler* ServerConfigPage() const { return m_pServerConfig.get(); }
  CSMUpdateManagementUIHandler* UpdatePage() const { return m_pUpdate.get(); }

  BEGIN_MSG_MAP_EX(CSystemManagementUIHandler)
    NOTIFY_ID_HANDLER(IDC_UIVIEW, OnUiCommand)
    CHAIN_MSG_MAP_MEMBER_PTR(m_pUsers)
    CHAIN_MSG_MAP_MEMBER_PTR(m_pClients)
    CHAIN_MSG_MAP_MEMBER_PTR(m_pServerConfig)
    CHAIN_MSG_MAP_MEMBER_PTR(m_pUpdate)
  END_MSG_MAP()

 private:
  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);

  CUiDialogHost* m_owner;
  std::unique_ptr<CSMClientManagementUIHandler> m_pClients;
  std::unique_ptr<CSMUserManagementUIHandler> m_pUsers;
  std::unique_ptr<CSMServerConfigUIHandler> m_pServerConfig;
  std::unique_ptr<CSMUpdateManagementUIHandler> m_pUpdate;
};
