#pragma once
// The DC's current font made bold (or normal weight) for the selector's lifetime.
#include "controls/CObjectSelector.h"

class CBoldFontSelector : public CObjectSelector<HFONT> {
 public:
  CBoldFontSelector(HDC dc, bool bold = true)
      : CObjectSelector<HFONT>(dc, Make(dc, bold), true) {}

 private:
  static HFONT Make(HDC dc, bool bold) {
    LOGFONTW lf{};
    if (!::GetObjectW(::GetCurrentObject(dc, OBJ_FONT), sizeof lf, &lf)) return nullptr;
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    return ::CreateFontIndirectW(&lf);
  }
};
