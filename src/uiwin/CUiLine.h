#pragma once
// The "hr" element: a line from the element's top-left to its bottom-right
// corner in the style's crbg, with a pen style ("solid", "dash", "dot",
// "dashdot", "dashdotdot") and width ("size").

#include "uiwin/CUiWindow.h"

class CUiLine : public CUiWindow {
 public:
  static const char* const kTag;
  static CUiWindow* CreateByTag(const char* pszTag);

  CUiLine();

  BOOL IsClass(const char* pszClass) const override;
  const char* GetObjectClass() const override;
  HRESULT SetAttribute(const char* pszName, const char* pszValue, BOOL bLoading) override;

  int GetPenStyle() const { return m_nStyle; }
  int GetPenSize() const { return m_nSize; }

  UI_BEGIN_MSG_MAP()
    UI_MESSAGE_HANDLER(WM_PAINT, OnPaint)
    UI_CHAIN_MSG_MAP(CUiWindow)
  UI_END_MSG_MAP()

 protected:
  LRESULT OnPaint(UINT uMsg, WPARAM wParam, LPARAM lParam);

  int m_nStyle;
  int m_nSize;
};
