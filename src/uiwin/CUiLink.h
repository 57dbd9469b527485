#pragma once
// The "link" element: inner text drawn exactly as the element base draws it.
// The host view treats a link press in a header as a click, not a drag.

#include "uiwin/CUiWindow.h"

class CUiLink : public CUiWindow {
 public:
  static const char* const kTag;
  static CUiWindow* CreateByTag(const char* pszTag);

  BOOL IsClass(const char* pszClass) const override;
  const char* GetObjectClass() const override;
};
