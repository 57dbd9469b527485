#pragma once
// A solid brush of a colour in a DC for the selector's lifetime; colour -1 (kHollow)
// selects the hollow brush, so shapes are drawn without filling.
#include "controls/CObjectSelector.h"

class CBrushSelector : public CObjectSelector<HBRUSH> {
 public:
  static constexpr COLORREF kHollow = static_cast<COLORREF>(-1);

  CBrushSelector(HDC dc, COLORREF color)
      : CObjectSelector<HBRUSH>(dc, Make(color), color != kHollow) {}

 private:
  static HBRUSH Make(COLORREF color) {
    return color == kHollow ? static_cast<HBRUSH>(::GetStockObject(HOLLOW_BRUSH))
                             : ::CreateSolidBrush(color);
  }
};
