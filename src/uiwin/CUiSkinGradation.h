#pragma once

#include "uiwin/CUiSkinBase.h"

// "gradation": a two-colour gradient, optionally only over the first "size"
// pixels, the rest in the end colour.
class CUiSkinGradation : public CUiSkinBase {
 public:
  static const char* const kTag;

  CUiSkinGradation();
  ~CUiSkinGradation() override {}

  BOOL IsClass(const char* className) const override;
  const char* GetObjectClass() const override;
  HRESULT SetAttribute(const char* name, const char* value, BOOL bLoading) override;

  BOOL Draw(HDC hdc, RECT rcDraw, DWORD dwState) override;

  COLORREF crFrom;
  COLORREF crTo;
  int nDirection;  // 0 horizontal, 1 vertical
  int nSize;       // 0 or less: the whole rectangle
};
