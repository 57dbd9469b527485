#pragma once
// Sub-page "变化监控" of the integrity area (layout 523): the counters of recent
// changes and the newest logs. For now an empty page with its place in the chain.
#include <windows.h>

#include "platform/MessageMap.h"

class CMainDlg;

class CQvChangeMointoringUIHandler {
 public:
  explicit CQvChangeMointoringUIHandler(CMainDlg* owner) : m_owner(owner) {}
  CQvChangeMointoringUIHandler(const CQvChangeMointoringUIHandler&) = delete;
  CQvChangeMointoringUIHandler& operator=(const CQvChangeMointoringUIHandler&) = delete;

  int Init() { return 0; }
  int Uninit() { return 0; }
  // The counters and, when newer logs exist, the list; on each switch to the tab.
  int RefreshCounters() { return 0; }

  BEGIN_MSG_MAP_EX(CQvChangeMointoringUIHandler)
  END_MSG_MAP()

 private:
  CMainDlg* m_owner;
};
