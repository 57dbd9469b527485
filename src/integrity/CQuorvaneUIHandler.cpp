#include "integrity/CQuorvaneUIHandler.h"

#include <new>

#include "uiwin/CUiDialogHost.h"
#include "uiwin/CUiTabCtrl.h"

namespace {

const int kIntegrityPage = 1;  // of the main window's tab control

}  // namespace

CQuorvaneUIHandler::CQuorvaneUIHandler(CUiDialogHost* owner)
    : m_owner(owner),
      m_changeMonitoring(new (std::nothrow) CQvChangeMointoringUIHandler(owner)),
      m_hips(new (std::nothrow) CQvHipsUIHandler(owner)),
      m_savecopy(new (std::nothrow) CQvSavecopyUIHandler(owner)),
      m_strategyObject(new (std::nothrow) CQvStrategyObjectUIHandler(owner)),
      m_strategyGuard(new (std::nothrow) CQvStrategyGuardUIHandler(owner)) {}

// The sub-pages go in the order they were made.
CQuorvaneUIHandler::~CQuorvaneUIHandler() {
  m_changeMonitoring.reset();
  m_hips.reset();
  m_savecopy.reset();
  m_strategyObject.reset();
  m_strategyGuard.reset();
}

int CQuorvaneUIHandler::Init() {
  if (m_changeMonitoring) m_changeMonitoring->Init();
  if (m_hips) m_hips->Init();
  if (m_strategyGuard) m_strategyGuard->Init();
  if (m_strategyObject) m_strategyObject->Init();
  if (m_savecopy) m_savecopy->Init();
  return 0;
}

int CQuorvaneUIHandler::Uninit() {
  if (m_changeMonitoring) m_changeMonitoring->Uninit();
  if (m_hips) m_hips->Uninit();
  if (m_savecopy) m_savecopy->Uninit();
  if (m_strategyGuard) m_strategyGuard->Uninit();
  if (m_strategyObject) m_strategyObject->Uninit();
  return 0;
}

int CQuorvaneUIHandler::Refresh(int, int newTab) {
  if (newTab == kTabChangeMonitoring && m_changeMonitoring) m_changeMonitoring->RefreshCounters();
  if (newTab == kTabStrategies && m_strategyGuard) m_strategyGuard->LoadStrategies();
  return 1;
}

LRESULT CQuorvaneUIHandler::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  UINMTABSELCHANGE* change = TabSelChangeOf(pnmh, kTabCtrl);
  if (!change || !AreaShown()) {
    bHandled = FALSE;
    return 0;
  }
  if (!Refresh(static_cast<int>(change->uTabItemIDOld), static_cast<int>(change->uTabItemIDNew)))
    change->bCancel = TRUE;
  return 1;
}

bool CQuorvaneUIHandler::AreaShown() const {
  CUiWindow* element = m_owner->FindChildByCmdID(kAreaTabCtrl);
  CUiTabCtrl* tabs = element ? element->AsTabCtrl() : nullptr;
  return tabs && tabs->GetCurSel() == kIntegrityPage;
}
