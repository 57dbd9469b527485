#pragma once
// The "imglisth" element. Placeholder: draws like a plain element until its own
// painting and attributes are built.

#include "uiwin/CUiWindow.h"

class CUiImageListHWnd : public CUiWindow {
 public:
  static const char* const kTag;
  static CUiWindow* CreateByTag(const char* pszTag);

  BOOL IsClass(const char* pszClass) const override;
  const char* GetObjectClass() const override;
};
