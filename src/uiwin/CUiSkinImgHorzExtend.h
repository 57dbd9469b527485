#pragma once

#include "uiwin/CUiImageSkin.h"
#include "uiwin/CUiSkinBase.h"

// "imghorzex": a picture stretched sideways: fixed left part, one stretched
// column, fixed right part. The element state picks the sub-image (normal,
// hover, pressed, disabled).
class CUiSkinImgHorzExtend : public CUiSkinBase {
 public:
  static const char* const kTag;

  CUiSkinImgHorzExtend();
  ~CUiSkinImgHorzExtend() override {}

  BOOL IsClass(const char* className) const override;
  const char* GetObjectClass() const override;
  HRESULT SetAttribute(const char* name, const char* value, BOOL bLoading) override;

  BOOL Draw(HDC hdc, RECT rcDraw, DWORD dwState) override;
  SIZE GetSkinSize() override;
  BOOL IgnoreState() override;

  CUiImageSkin& GetImage() { return m_image; }
  int GetLeft() const { return m_nLeft; }

 private:
  CUiImageSkin m_image;
  int m_nLeft;
};
