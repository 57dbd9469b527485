#pragma once
// Sub-page "历史副本" of the integrity area (layout 516): the history copies of a
// host's strategies and their restoration. For now an empty page with its place
// in the chain.
#include <windows.h>

#include "platform/MessageMap.h"

class CMainDlg;

class CQvSavecopyUIHandler {
 public:
  explicit CQvSavecopyUIHandler(CMainDlg* owner) : m_owner(owner) {}
  CQvSavecopyUIHandler(const CQvSavecopyUIHandler&) = delete;
  CQvSavecopyUIHandler& operator=(const CQvSavecopyUIHandler&) = delete;

  int Init() { return 0; }
  int Uninit() { return 0; }

  BEGIN_MSG_MAP_EX(CQvSavecopyUIHandler)
  END_MSG_MAP()

 private:
  CMainDlg* m_owner;
};
