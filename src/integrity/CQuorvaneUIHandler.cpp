#include "integrity/CQuorvaneUIHandler.h"

CQuorvaneUIHandler::CQuorvaneUIHandler(CMainDlg* owner) : m_owner(owner) {}

CQuorvaneUIHandler::~CQuorvaneUIHandler() = default;

int CQuorvaneUIHandler::Init() { return 0; }

int CQuorvaneUIHandler::Uninit() { return 0; }

int CQuorvaneUIHandler::Refresh(int, int) { return 1; }

LRESULT CQuorvaneUIHandler::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  UINMTABSELCHANGE* change = TabSelChangeOf(pnmh, kTabCtrl);
  if (!change) {
    bHandled = FALSE;
    return 0;
  }
  if (!Refresh(static_cast<int>(change->uTabItemIDOld), static_cast<int>(change->uTabItemIDNew)))
    change->bCancel = TRUE;
  return 1;
}
