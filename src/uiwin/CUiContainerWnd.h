#pragma once
// An element that holds child elements. Panels and the tab control derive
// from it; the base itself holds no children.

#include "uiwin/CUiWindow.h"

class CUiContainerWnd : public CUiWindow {
 public:
  BOOL IsContainer() override { return TRUE; }
  CUiContainerWnd* AsContainer() override { return this; }

  // Searches the subtree for the first element with command id `nCmdID`.
  virtual CUiWindow* FindChildByCmdID(UINT nCmdID);
  // Places every child / one child; only dialogs place by "pos" items.
  virtual void RepositionChilds();
  virtual void RepositionChild(CUiWindow* pChild);
};
