#pragma once
// The "text" element: inner text drawn exactly as the element base draws it.

#include "uiwin/CUiWindow.h"

class CUiStatic : public CUiWindow {
 public:
  static const char* const kTag;
  static CUiWindow* CreateByTag(const char* pszTag);

  BOOL IsClass(const char* pszClass) const override;
  const char* GetObjectClass() const override;
};
