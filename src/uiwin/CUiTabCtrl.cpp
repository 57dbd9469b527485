#include "uiwin/CUiTabCtrl.h"

#include <cstring>

const char* const CUiTabCtrl::kTag = "tabctrl";

CUiWindow* CUiTabCtrl::CreateByTag(const char* pszTag) {
  return (pszTag && strcmp(pszTag, kTag) == 0) ? new CUiTabCtrl : NULL;
}

BOOL CUiTabCtrl::IsClass(const char* pszClass) const {
  return pszClass && strcmp(pszClass, kTag) == 0;
}

const char* CUiTabCtrl::GetObjectClass() const { return kTag; }

CUiWindow* CUiTabCtrl::FindChildByCmdID(UINT nCmdID) {
  (void)nCmdID;
  return NULL;
}

void CUiTabCtrl::ShowAllRealWindows(BOOL bShow) { (void)bShow; }
