#pragma once

#include "uiwin/CUiSkinBase.h"

namespace Gdiplus {
class Image;
}

// "png": a PNG picture or strip from the PNG pool, drawn with its alpha
// through GDI+.
class CUiPngSkin : public CUiSkinBase {
 public:
  static const char* const kTag;

  CUiPngSkin();
  ~CUiPngSkin() override {}

  BOOL IsClass(const char* className) const override;
  const char* GetObjectClass() const override;
  BOOL Load(const TiXmlElement* element) override;
  HRESULT SetAttribute(const char* name, const char* value, BOOL bLoading) override;

  BOOL Draw(HDC hdc, RECT rcDraw, DWORD dwState) override;
  SIZE GetSkinSize() override;
  BOOL IgnoreState() override;

  // The image is set in code only (never from XML); the PNG pool owns it.
  void SetImage(Gdiplus::Image* pImage) { m_pImage = pImage; }
  Gdiplus::Image* GetImage() const { return m_pImage; }
  UINT GetSrc() const { return m_nSrc; }
  int GetSubWidth() const { return m_nSubWidth; }

 private:
  Gdiplus::Image* m_pImage;
  UINT m_nSrc;
  int m_nSubWidth;
};
