#pragma once
// An element that holds child elements. Panels and the tab control derive
// from it; the base itself holds no children.

#include "uiwin/CUiWindow.h"

class CUiContainerWnd : public CUiWindow {
 public:
  BOOL IsContainer() override { return TRUE; }
  CUiContainerWnd* AsContainer() override { return this; }

  // Searches the subtree for the first element with command id `nCmdID`; with
  // bShownOnly, only what is shown (one id may stand on several panels).
  virtual CUiWindow* FindChildByCmdID(UINT nCmdID, BOOL bShownOnly = FALSE);
  // Places every child / one child; only dialogs place by "pos" items.
  virtual void RepositionChilds();
  virtual void RepositionChild(CUiWindow* pChild);
};
