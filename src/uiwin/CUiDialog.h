#pragma once
// The "dlg" element: a panel whose children are placed by their "pos" items
// inside its rectangle shrunk by the style's x- and y-margins. Placing a
// dialog places its whole subtree, depth first, in document order.

#include "uiwin/CUiPanel.h"

class CUiDialog : public CUiPanel {
 public:
  static const char* const kTag;
  static CUiWindow* CreateByTag(const char* pszTag);

  BOOL IsClass(const char* pszClass) const override;
  const char* GetObjectClass() const override;
  BOOL ProcessUiWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                              LRESULT& lResult) override;
  void RepositionChilds() override;
  void RepositionChild(CUiWindow* pChild) override;
};
