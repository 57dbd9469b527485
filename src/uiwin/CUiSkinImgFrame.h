#pragma once

#include "uiwin/CUiImageSkin.h"
#include "uiwin/CUiSkinBase.h"

// "imgframe": a nine-part frame cut from a bitmap; corners at their own size,
// edges stretched, the centre filled with a colour.
class CUiSkinImgFrame : public CUiSkinBase {
 public:
  static const char* const kTag;

  enum Part {
    PartTop = 1,
    PartAlways = 2,
    PartBottom = 4,
    PartLeft = 8,
    PartRight = 32,
    PartAll = 47,
  };

  CUiSkinImgFrame();
  ~CUiSkinImgFrame() override {}

  BOOL IsClass(const char* className) const override;
  const char* GetObjectClass() const override;
  HRESULT SetAttribute(const char* name, const char* value, BOOL bLoading) override;

  BOOL Draw(HDC hdc, RECT rcDraw, DWORD dwState) override;
  BOOL IgnoreState() override;

  CUiImageSkin& GetImage() { return m_image; }
  int GetLeft() const { return m_nLeft; }
  int GetTop() const { return m_nTop; }
  COLORREF GetBgColor() const { return m_crBg; }
  DWORD GetPart() const { return m_dwPart; }

 private:
  CUiImageSkin m_image;
  int m_nLeft;
  int m_nTop;
  COLORREF m_crBg;
  DWORD m_dwPart;
};
