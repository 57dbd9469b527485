#pragma once
// The "imgbtn" element. Placeholder: draws like a plain element until its own
// painting and attributes are built.

#include "uiwin/CUiImageWnd.h"

class CUiImageBtnWnd : public CUiImageWnd {
 public:
  static const char* const kTag;
  static CUiWindow* CreateByTag(const char* pszTag);

  BOOL IsClass(const char* pszClass) const override;
  const char* GetObjectClass() const override;
};
