#pragma once

#include <windows.h>

// A 32-bit top-down DIB section selected into a memory DC: skins draw into
// it and tests read its pixels back as COLORREF.
class DibCanvas {
 public:
  DibCanvas(int cx, int cy, COLORREF crFill)
      : m_cx(cx),
        m_cy(cy),
        m_hdc(CreateCompatibleDC(nullptr)),
        m_hbm(nullptr),
        m_hOld(nullptr),
        m_pBits(nullptr) {
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = -cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* pv = nullptr;
    m_hbm = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pv, nullptr, 0);
    m_pBits = (DWORD*)pv;
    m_hOld = SelectObject(m_hdc, m_hbm);
    Fill(crFill);
  }
  ~DibCanvas() {
    SelectObject(m_hdc, m_hOld);
    DeleteObject(m_hbm);
    DeleteDC(m_hdc);
  }
  DibCanvas(const DibCanvas&) = delete;
  DibCanvas& operator=(const DibCanvas&) = delete;

  HDC dc() const { return m_hdc; }
  int cx() const { return m_cx; }
  int cy() const { return m_cy; }

  void Fill(COLORREF cr) {
    GdiFlush();
    for (int i = 0; i < m_cx * m_cy; ++i) m_pBits[i] = ToPixel(cr);
  }

  COLORREF At(int x, int y) const {
    GdiFlush();
    if (x < 0 || y < 0 || x >= m_cx || y >= m_cy) return CLR_INVALID;
    DWORD p = m_pBits[y * m_cx + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }

  // TRUE when every pixel outside rc still has colour cr.
  bool UntouchedOutside(const RECT& rc, COLORREF cr) const {
    for (int y = 0; y < m_cy; ++y)
      for (int x = 0; x < m_cx; ++x) {
        bool inside = x >= rc.left && x < rc.right && y >= rc.top && y < rc.bottom;
        if (!inside && At(x, y) != cr) return false;
      }
    return true;
  }

  static DWORD ToPixel(COLORREF cr) {
    return (GetRValue(cr) << 16) | (GetGValue(cr) << 8) | GetBValue(cr);
  }

 private:
  int m_cx, m_cy;
  HDC m_hdc;
  HBITMAP m_hbm;
  HGDIOBJ m_hOld;
  DWORD* m_pBits;
};

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
