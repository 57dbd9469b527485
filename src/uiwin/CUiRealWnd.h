#pragma once
// The "realwnd" element: reserves a rectangle for a real child window of the
// host view whose control id equals the element's "id". Placeholder for the
// placement and visibility handling; the lookup and show/hide are final.

#include "uiwin/CUiWindow.h"

class CUiRealWnd : public CUiWindow {
 public:
  static const char* const kTag;
  static CUiWindow* CreateByTag(const char* pszTag);

  BOOL IsClass(const char* pszClass) const override;
  const char* GetObjectClass() const override;
  BOOL NeedRedrawWhenStateChange() override { return FALSE; }

  HWND GetRealHWnd() const;
  BOOL ShowRealWindow(BOOL bShow);
};
