#pragma once
// The strategy wizard (layout 550) that creates a strategy (mode 1) or changes the
// checked one (mode 0), saves its rows, tells the service and updates the strategy
// page's grid itself. Not built yet: it ends at once as cancelled, changing nothing.
#include <windows.h>

class CQvStrategyGuardUIHandler;

class CQvStrategyGuardDlg {
 public:
  enum : int { kModeModify = 0, kModeNew = 1 };
  enum : UINT { kLayoutId = 550 };

  CQvStrategyGuardDlg(int mode, CQvStrategyGuardUIHandler* page) : m_mode(mode), m_page(page) {}
  CQvStrategyGuardDlg(const CQvStrategyGuardDlg&) = delete;
  CQvStrategyGuardDlg& operator=(const CQvStrategyGuardDlg&) = delete;

  UINT DoModal(HWND owner) {
    (void)owner;
    return IDCANCEL;
  }

 private:
  int m_mode;
  CQvStrategyGuardUIHandler* m_page;
};
