#pragma once

#include <windows.h>

#include "uiwin/CUiObject.h"

// A named drawing recipe of the skin pool: draws into a rectangle of a device
// context, the element's state word choosing the picture.
class CUiSkinBase : public CUiObject {
 public:
  CUiSkinBase() {}
  ~CUiSkinBase() override {}

  // The result carries no meaning; callers ignore it.
  virtual BOOL Draw(HDC hdc, RECT rcDraw, DWORD dwState) = 0;
  virtual SIZE GetSkinSize();
  // TRUE when every state looks the same, so elements need not repaint on
  // hover and press.
  virtual BOOL IgnoreState();
};
