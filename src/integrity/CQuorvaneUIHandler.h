#pragma once
// Page handler of the integrity-monitoring area ("完整性监测", layout 507): owns the
// area's five sub-pages, starts and stops them with the main window, refreshes a page
// when the user switches to its inner tab (tab control 364), and passes everything
// else along their maps in a fixed order. Built for users with the integrity
// permission; a sub-page that could not be allocated is skipped.
#include <windows.h>

#include <memory>

#include "integrity/CQvChangeMointoringUIHandler.h"
#include "integrity/CQvHipsUIHandler.h"
#include "integrity/CQvSavecopyUIHandler.h"
#include "integrity/CQvStrategyGuardUIHandler.h"
#include "integrity/CQvStrategyObjectUIHandler.h"
#include "platform/MessageMap.h"
#include "uiwin/UiNotify.h"

class CUiDialogHost;

class CQuorvaneUIHandler {
 public:
  // kAreaTabCtrl: the owner's area tabs, on which this area is page 1.
  enum : UINT { kTabCtrl = 364, kAreaTabCtrl = 111 };
  // Pages of tab control 364; active monitoring has none.
  enum : int { kTabChangeMonitoring = 0, kTabStrategies = 1, kTabObjects = 2, kTabCopies = 3 };

  explicit CQuorvaneUIHandler(CUiDialogHost* owner);
  ~CQuorvaneUIHandler();
  CQuorvaneUIHandler(const CQuorvaneUIHandler&) = delete;
  CQuorvaneUIHandler& operator=(const CQuorvaneUIHandler&) = delete;

  int Init();
  int Uninit();
  // Called before the area's tab switches; 1: the switch goes ahead (always).
  int Refresh(int oldTab, int newTab);

  CQvChangeMointoringUIHandler* ChangeMonitoring() const { return m_changeMonitoring.get(); }
  CQvHipsUIHandler* Hips() const { return m_hips.get(); }
  CQvSavecopyUIHandler* Savecopy() const { return m_savecopy.get(); }
  CQvStrategyObjectUIHandler* StrategyObject() const { return m_strategyObject.get(); }
  CQvStrategyGuardUIHandler* StrategyGuard() const { return m_strategyGuard.get(); }

  BEGIN_MSG_MAP_EX(CQuorvaneUIHandler)
    NOTIFY_ID_HANDLER(IDC_UIVIEW, OnUiCommand)
    CHAIN_MSG_MAP_MEMBER_PTR(m_changeMonitoring)
    CHAIN_MSG_MAP_MEMBER_PTR(m_hips)
    CHAIN_MSG_MAP_MEMBER_PTR(m_savecopy)
    CHAIN_MSG_MAP_MEMBER_PTR(m_strategyObject)
    CHAIN_MSG_MAP_MEMBER_PTR(m_strategyGuard)
  END_MSG_MAP()

 private:
  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  // Other areas' layouts use the id 364 too: ours is the one on the main window's
  // integrity page.
  bool AreaShown() const;

  CUiDialogHost* m_owner;
  std::unique_ptr<CQvChangeMointoringUIHandler> m_changeMonitoring;
  std::unique_ptr<CQvHipsUIHandler> m_hips;
  std::unique_ptr<CQvSavecopyUIHandler> m_savecopy;
  std::unique_ptr<CQvStrategyObjectUIHandler> m_strategyObject;
  std::unique_ptr<CQvStrategyGuardUIHandler> m_strategyGuard;
};
