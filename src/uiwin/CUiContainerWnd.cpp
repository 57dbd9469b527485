#include "uiwin/CUiContainerWnd.h"

#include "platform/DebugReport.h"

CUiWindow* CUiContainerWnd::FindChildByCmdID(UINT nCmdID, BOOL bShownOnly) {
  (void)nCmdID;
  (void)bShownOnly;
  // Only panels and the tab control hold children.
  QV_ASSERT(!"FindChildByCmdID on a container without children");
  return NULL;
}

void CUiContainerWnd::RepositionChilds() {}

void CUiContainerWnd::RepositionChild(CUiWindow* pChild) { (void)pChild; }
