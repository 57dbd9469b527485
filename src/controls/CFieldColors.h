#pragma once
// The look the console's text fields share: black text on cream, with the brush that
// answers their colour requests, and the I-beam cursor (loaded once per process).
#include <windows.h>

#include "platform/CGdiObject.h"

class CFieldColors {
 public:
  static constexpr COLORREF kBackground = RGB(0xF2, 0xF0, 0xD4);
  static constexpr COLORREF kText = RGB(0, 0, 0);

  CFieldColors() : m_brush(::CreateSolidBrush(kBackground)) {}

  // Sets the colours on the field's context; the answer to its colour request.
  LRESULT Answer(HDC dc) const {
    ::SetBkColor(dc, kBackground);
    ::SetTextColor(dc, kText);
    return reinterpret_cast<LRESULT>(m_brush.Get());
  }
  // FALSE when the cursor cannot be loaded.
  static BOOL SetIBeam() {
    static HCURSOR beam = ::LoadCursorW(nullptr, IDC_IBEAM);
    if (beam) ::SetCursor(beam);
    return beam != nullptr;
  }

 private:
  CBrush m_brush;
};
