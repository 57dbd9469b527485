#pragma once

#include "uiwin/CUiImage.h"
#include "uiwin/CUiSkinBase.h"

// "imglst": a bitmap or a strip of sub-images, the state word picking the
// sub-image (-1 for the whole bitmap).
class CUiImageSkin : public CUiImage, public CUiSkinBase {
 public:
  static const char* const kTag;

  CUiImageSkin() {}
  ~CUiImageSkin() override {}

  BOOL IsClass(const char* className) const override;
  const char* GetObjectClass() const override;
  HRESULT SetAttribute(const char* name, const char* value, BOOL bLoading) override;

  BOOL Draw(HDC hdc, RECT rcDraw, DWORD dwState) override;
  SIZE GetSkinSize() override;
  BOOL IgnoreState() override;
};
