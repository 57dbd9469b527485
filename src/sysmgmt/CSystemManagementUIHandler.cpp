#include "sysmgmt/CSystemManagementUIHandler.h"

#include <new>

#include "console/CurrentUser.h"
#include "uiwin/CUiDialogHost.h"
#include "uiwin/UiMessageBox.h"

CSystemManagementUIHandler::CSystemManagementUIHandler(CUiDialogHost* owner) : m_owner(owner) {
  m_pUsers.reset(new (std::nothrow) CSMUserManagementUIHandler(owner));
  if (g_currentUserType != kUserTypeAdministrator) return;
  m_pClients.reset(new (std::nothrow) CSMClientManagementUIHandler(owner));
  m_pServerConfig.reset(new (std::nothrow) CSMServerConfigUIHandler(owner));
  m_pUpdate.reset(new (std::nothrow) CSMUpdateManagementUIHandler(owner));
}

CSystemManagementUIHandler::~CSystemManagementUIHandler() {
  m_pServerConfig.reset();
  m_pUsers.reset();
  m_pClients.reset();
  m_pUpdate.reset();
}

int CSystemManagementUIHandler::Init() {
  if (m_pUpdate) m_pUpdate->Init();
  if (m_pServerConfig) m_pServerConfig->Init();
  if (m_pUsers) m_pUsers->Init();
  if (m_pClients) m_pClients->Init();
  if (g_currentUserType != kUserTypeAdministrator) m_owner->SetTabCurSel(kTabCtrl, kUserPage);
  return 0;
}

int CSystemManagementUIHandler::UnInit() {
  if (m_pUpdate) m_pUpdate->UnInit();
  if (m_pServerConfig) m_pServerConfig->UnInit();
  if (m_pUsers) m_pUsers->UnInit();
  if (m_pClients) m_pClients->UnInit();
  return 0;
}

int CSystemManagementUIHandler::OnTabChanging(int, int newPage) {
  if (g_currentUserType == kUserTypeAdministrator || newPage == kUserPage) return 1;
  UiMessageBox(L"对不起，您没有权限访问此页", L"权限不足", MB_OK);
  return 0;
}

BOOL CSystemManagementUIHandler::ShowUpdatePage() {
  return m_owner->SetTabCurSel(kTabCtrl, kUpdatePage);
}

LRESULT CSystemManagementUIHandler::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  UINMTABSELCHANGE* change = TabSelChangeOf(pnmh, kTabCtrl);
  if (!change) {
    bHandled = FALSE;
    return 0;
  }
  if (!OnTabChanging(static_cast<int>(change->uTabItemIDOld), static_cast<int>(change->uTabItemIDNew)))
    change->bCancel = TRUE;
  return 1;
}
