#pragma once

#include <windows.h>

// Two-colour rectangle gradients through msimg32's GradientFill, bound at
// run time; without the library the gradient is simply not drawn.
class UiGradient {
 public:
  // Vertical: crFrom at the top, crTo at the bottom; else left to right.
  static BOOL Fill(HDC hdc, const RECT& rc, COLORREF crFrom, COLORREF crTo, BOOL bVertical);
};
