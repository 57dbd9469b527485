#pragma once
// The "tabctrl" element. Placeholder: loads its own attributes only and holds
// no pages until the tab control is built.

#include "uiwin/CUiContainerWnd.h"

class CUiTabCtrl : public CUiContainerWnd {
 public:
  static const char* const kTag;
  static CUiWindow* CreateByTag(const char* pszTag);

  BOOL IsClass(const char* pszClass) const override;
  const char* GetObjectClass() const override;
  CUiWindow* FindChildByCmdID(UINT nCmdID) override;

  // Shows the real windows of the selected page only.
  void ShowAllRealWindows(BOOL bShow);

  // Selects a page after asking the dialog; no pages yet, so nothing to select.
  BOOL SetCurSel(int nIndex) {
    (void)nIndex;
    return FALSE;
  }
};
