#pragma once

#include <windows.h>

// A 24- or 32-bit DIB section filled by a function of (x, y); for bitmaps
// handed to image skins directly. Rows are top-down unless bottomUp.
template <typename F>
HBITMAP MakeBitmap(int cx, int cy, F pixel, WORD bits = 24, bool bottomUp = false) {
  BITMAPINFO bmi = {};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = cx;
  bmi.bmiHeader.biHeight = bottomUp ? cy : -cy;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = bits;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* pv = nullptr;
  HBITMAP hbm = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pv, nullptr, 0);
  if (!hbm) return nullptr;
  BYTE* p = (BYTE*)pv;
  const int bpp = bits / 8;
  const int stride = ((cx * bpp) + 3) & ~3;
  for (int y = 0; y < cy; ++y)
    for (int x = 0; x < cx; ++x) {
      DWORD argb = pixel(x, y);  // 0xAARRGGBB
      BYTE* q = p + (bottomUp ? cy - 1 - y : y) * stride + x * bpp;
      q[0] = argb & 0xFF;
      q[1] = (argb >> 8) & 0xFF;
      q[2] = (argb >> 16) & 0xFF;
      if (bpp == 4) q[3] = (argb >> 24) & 0xFF;
    }
  return hbm;
}
