#pragma once
// A solid pen of a colour and width in a DC for the selector's lifetime.
#include "controls/CObjectSelector.h"

class CPenSelector : public CObjectSelector<HPEN> {
 public:
  CPenSelector(HDC dc, COLORREF color, int width = 1)
      : CObjectSelector<HPEN>(dc, ::CreatePen(PS_SOLID, width, color), true) {}
};
