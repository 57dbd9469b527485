#pragma once
// The "button" element: drawn entirely by the element base and its style
// (the style's skin follows the hover, pressed and disabled state), so it is
// repainted on every hover and press change.

#include "uiwin/CUiWindow.h"

class CUiButton : public CUiWindow {
 public:
  static const char* const kTag;
  static CUiWindow* CreateByTag(const char* pszTag);

  BOOL IsClass(const char* pszClass) const override;
  const char* GetObjectClass() const override;
  BOOL NeedRedrawWhenStateChange() override { return TRUE; }
};
