#pragma once
// Sub-page of active monitoring (HIPS filters). Built, initialised and chained with
// the others, though the area's layout gives it no tab. For now an empty page.
#include <windows.h>

#include "platform/MessageMap.h"

class CMainDlg;

class CQvHipsUIHandler {
 public:
  explicit CQvHipsUIHandler(CMainDlg* owner) : m_owner(owner) {}
  CQvHipsUIHandler(const CQvHipsUIHandler&) = delete;
  CQvHipsUIHandler& operator=(const CQvHipsUIHandler&) = delete;

  int Init() { return 0; }
  int Uninit() { return 0; }

  BEGIN_MSG_MAP_EX(CQvHipsUIHandler)
  END_MSG_MAP()

 private:
  CMainDlg* m_owner;
};
