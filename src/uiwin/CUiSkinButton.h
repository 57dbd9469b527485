#pragma once

#include "uiwin/CUiSkinBase.h"

// "button": a flat button drawn from colours: a border, a background and a
// vertical gradient whose ends follow the hover and pressed states.
class CUiSkinButton : public CUiSkinBase {
 public:
  static const char* const kTag;

  CUiSkinButton();
  ~CUiSkinButton() override {}

  BOOL IsClass(const char* className) const override;
  const char* GetObjectClass() const override;
  HRESULT SetAttribute(const char* name, const char* value, BOOL bLoading) override;

  BOOL Draw(HDC hdc, RECT rcDraw, DWORD dwState) override;
  BOOL IgnoreState() override;

  COLORREF crBg;
  COLORREF crBorder;
  COLORREF crBgUp;
  COLORREF crBgUpHover;
  COLORREF crBgUpPush;
  COLORREF crBgDown;
  COLORREF crBgDownHover;
  COLORREF crBgDownPush;
};
