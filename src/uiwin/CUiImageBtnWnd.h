#pragma once
// The "imgbtn" element: an image strip whose picture follows the element's own
// state: 3 disabled, 2 pressed, 1 hover, 0 normal. "sub" is only measured.

#include "uiwin/CUiImageWnd.h"

class CUiImageBtnWnd : public CUiImageWnd {
 public:
  static const char* const kTag;
  static CUiWindow* CreateByTag(const char* pszTag);

  BOOL IsClass(const char* pszClass) const override;
  const char* GetObjectClass() const override;
  BOOL NeedRedrawWhenStateChange() override { return TRUE; }

  // The strip picture for a state word (own bits only).
  static DWORD PictureForState(DWORD dwState);

  UI_BEGIN_MSG_MAP()
    UI_MESSAGE_HANDLER(WM_PAINT, OnPaint)
    UI_CHAIN_MSG_MAP(CUiImageWnd)
  UI_END_MSG_MAP()

 protected:
  LRESULT OnPaint(UINT uMsg, WPARAM wParam, LPARAM lParam);
};
