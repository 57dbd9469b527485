#pragma once
// Sub-page "策略对象" of the integrity area (layout 514): the strategy objects.
// For now an empty page with its place in the chain.
#include <windows.h>

#include "platform/MessageMap.h"

class CMainDlg;

class CQvStrategyObjectUIHandler {
 public:
  explicit CQvStrategyObjectUIHandler(CMainDlg* owner) : m_owner(owner) {}
  CQvStrategyObjectUIHandler(const CQvStrategyObjectUIHandler&) = delete;
  CQvStrategyObjectUIHandler& operator=(const CQvStrategyObjectUIHandler&) = delete;

  int Init() { return 0; }
  int Uninit() { return 0; }

  BEGIN_MSG_MAP_EX(CQvStrategyObjectUIHandler)
  END_MSG_MAP()

 private:
  CMainDlg* m_owner;
};
