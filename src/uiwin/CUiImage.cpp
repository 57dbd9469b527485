#include "uiwin/CUiImage.h"

#include <vector>

#include "platform/CBitmapDC.h"
#include "platform/CGdiObject.h"

namespace {

HBITMAP CreateTopDownDib(int cx, int cy, WORD bits, void** ppBits) {
  BITMAPINFO bmi = {};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = cx;
  bmi.bmiHeader.biHeight = -cy;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = bits;
  bmi.bmiHeader.biCompression = BI_RGB;
  return CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, ppBits, nullptr, 0);
}

}  // namespace

CUiImage::CUiImage()
    : m_hBitmap(nullptr), m_nSubWidth(0), m_nMode(ModeNone), m_crMask(RGB(255, 0, 255)) {}

CUiImage::~CUiImage() {
  // The bitmap belongs to the bitmap pool.
}

SIZE CUiImage::GetBitmapSize() const {
  SIZE sz = {0, 0};
  BITMAP bm;
  if (m_hBitmap && GetObjectW(m_hBitmap, sizeof(bm), &bm) == sizeof(bm)) {
    sz.cx = bm.bmWidth;
    sz.cy = bm.bmHeight;
  }
  return sz;
}

BOOL CUiImage::GetSubImage(DWORD nIndex, int& xSrc, int& cx) const {
  SIZE sz = GetBitmapSize();
  if (sz.cx <= 0 || sz.cy <= 0) return FALSE;
  if (nIndex == (DWORD)-1) {
    xSrc = 0;
    cx = sz.cx;
    return TRUE;
  }
  if (m_nSubWidth <= 0) return FALSE;
  // A state the strip has no picture for shows picture 0 rather than
  // whatever lies past the strip.
  unsigned long long end = ((unsigned long long)nIndex + 1) * (unsigned)m_nSubWidth;
  if (end > (unsigned long long)sz.cx) nIndex = 0;
  xSrc = (int)nIndex * m_nSubWidth;
  cx = m_nSubWidth;
  if (xSrc + cx > sz.cx) cx = sz.cx - xSrc;
  return cx > 0;
}

void CUiImage::DrawImage(HDC hdc, int x, int y, DWORD nIndex) const {
  int xSrc = 0, cx = 0;
  if (!hdc || !GetSubImage(nIndex, xSrc, cx)) return;
  int cy = GetBitmapSize().cy;
  if (m_nMode == ModeAlpha) {
    AlphaBlend(hdc, x, y, xSrc, cx, cy);
    return;
  }
  RECT rcDst = {x, y, x + cx, y + cy};
  RECT rcSrc = {xSrc, 0, xSrc + cx, cy};
  DrawPart(hdc, rcDst, rcSrc);
}

void CUiImage::DrawPart(HDC hdc, const RECT& rcDst, const RECT& rcSrc) const {
  if (!hdc || !m_hBitmap || m_nMode == ModeAlpha) return;
  int cxDst = rcDst.right - rcDst.left, cyDst = rcDst.bottom - rcDst.top;
  int cxSrc = rcSrc.right - rcSrc.left, cySrc = rcSrc.bottom - rcSrc.top;
  if (cxDst <= 0 || cyDst <= 0 || cxSrc <= 0 || cySrc <= 0) return;
  // A part wholly outside the clip area (a repaint of one element) would draw nothing.
  RECT clip, visible;
  if (GetClipBox(hdc, &clip) != ERROR && !IntersectRect(&visible, &clip, &rcDst)) return;
  CBitmapDC src(m_hBitmap);
  if (!src) return;
  if (m_nMode == ModeMask) {
    TransparentBlit(hdc, rcDst, src, rcSrc, m_crMask);
  } else if (cxDst == cxSrc && cyDst == cySrc) {
    BitBlt(hdc, rcDst.left, rcDst.top, cxDst, cyDst, src, rcSrc.left, rcSrc.top, SRCCOPY);
  } else {
    int nOldMode = SetStretchBltMode(hdc, COLORONCOLOR);
    StretchBlt(hdc, rcDst.left, rcDst.top, cxDst, cyDst, src, rcSrc.left, rcSrc.top, cxSrc, cySrc,
               SRCCOPY);
    SetStretchBltMode(hdc, nOldMode);
  }
}

void CUiImage::TransparentBlit(HDC hdcDst, const RECT& rcDst, HDC hdcSrc, const RECT& rcSrc,
                               COLORREF crMask) {
  int cx = rcDst.right - rcDst.left, cy = rcDst.bottom - rcDst.top;
  int cxSrc = rcSrc.right - rcSrc.left, cySrc = rcSrc.bottom - rcSrc.top;
  if (cx <= 0 || cy <= 0 || cxSrc <= 0 || cySrc <= 0) return;

  CBitmap colorBmp(CreateCompatibleBitmap(hdcDst, cx, cy));
  CBitmap maskBmp(CreateBitmap(cx, cy, 1, 1, nullptr));
  if (colorBmp.IsNull() || maskBmp.IsNull()) return;
  CBitmapDC color(colorBmp, hdcDst);
  CBitmapDC mask(maskBmp, hdcDst);
  if (!color || !mask) return;

  if (cx != cxSrc || cy != cySrc) {
    int nOldMode = SetStretchBltMode(color, COLORONCOLOR);
    StretchBlt(color, 0, 0, cx, cy, hdcSrc, rcSrc.left, rcSrc.top, cxSrc, cySrc, SRCCOPY);
    SetStretchBltMode(color, nOldMode);
  } else {
    BitBlt(color, 0, 0, cx, cy, hdcSrc, rcSrc.left, rcSrc.top, SRCCOPY);
  }

  // Mask: 1 where the picture has the transparent colour.
  COLORREF crOldBk = SetBkColor(color, crMask);
  BitBlt(mask, 0, 0, cx, cy, color, 0, 0, SRCCOPY);

  // Turn the transparent pixels of the picture black.
  SetBkColor(color, RGB(0, 0, 0));
  COLORREF crOldText = SetTextColor(color, RGB(255, 255, 255));
  BitBlt(color, 0, 0, cx, cy, mask, 0, 0, SRCAND);
  SetBkColor(color, crOldBk);
  SetTextColor(color, crOldText);

  // Punch the picture's shape black into the destination, then OR it in.
  COLORREF crDstBk = SetBkColor(hdcDst, RGB(255, 255, 255));
  COLORREF crDstText = SetTextColor(hdcDst, RGB(0, 0, 0));
  BitBlt(hdcDst, rcDst.left, rcDst.top, cx, cy, mask, 0, 0, SRCAND);
  BitBlt(hdcDst, rcDst.left, rcDst.top, cx, cy, color, 0, 0, SRCPAINT);
  SetBkColor(hdcDst, crDstBk);
  SetTextColor(hdcDst, crDstText);
}

void CUiImage::AlphaBlend(HDC hdc, int x, int y, int xSrc, int cx, int cy) const {
  DIBSECTION ds = {};
  int nObj = GetObjectW(m_hBitmap, sizeof(ds), &ds);
  if (nObj < (int)sizeof(BITMAP) || ds.dsBm.bmBitsPixel != 32) return;
  const int cxBmp = ds.dsBm.bmWidth, cyBmp = ds.dsBm.bmHeight;
  if (xSrc < 0 || xSrc + cx > cxBmp || cy > cyBmp || cx <= 0 || cy <= 0) return;

  // Source rows, top to bottom, 4 bytes a pixel.
  std::vector<BYTE> copy;
  const BYTE* pSrc = nullptr;
  LONG srcStride = cxBmp * 4;
  if (nObj == (int)sizeof(DIBSECTION) && ds.dsBm.bmBits) {
    GdiFlush();
    pSrc = (const BYTE*)ds.dsBm.bmBits;
    if (ds.dsBmih.biHeight > 0) {
      // bottom-up: start at the last row in memory and walk backwards
      pSrc += (size_t)(cyBmp - 1) * srcStride;
      srcStride = -srcStride;
    }
  } else {
    copy.resize((size_t)cxBmp * cyBmp * 4);
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = cxBmp;
    bmi.bmiHeader.biHeight = -cyBmp;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    HDC hdcScreen = GetDC(nullptr);
    int nLines = GetDIBits(hdcScreen, m_hBitmap, 0, cyBmp, copy.data(), &bmi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, hdcScreen);
    if (nLines != cyBmp) return;
    pSrc = copy.data();
  }

  void* pvDst = nullptr;
  CBitmap dst(CreateTopDownDib(cx, cy, 24, &pvDst));
  if (dst.IsNull() || !pvDst) return;
  CBitmapDC dstDC(dst, hdc);
  if (!dstDC) return;
  BitBlt(dstDC, 0, 0, cx, cy, hdc, x, y, SRCCOPY);
  GdiFlush();

  const LONG dstStride = ((LONG)cx * 3 + 3) & ~3;
  BYTE* pDstRows = (BYTE*)pvDst;
  for (int row = 0; row < cy; ++row) {
    const BYTE* s = pSrc + row * srcStride + (size_t)xSrc * 4;
    BYTE* d = pDstRows + (size_t)row * dstStride;
    for (int col = 0; col < cx; ++col, s += 4, d += 3) {
      const unsigned a = s[3];
      for (int ch = 0; ch < 3; ++ch) d[ch] = (BYTE)((s[ch] * a + d[ch] * (255 - a)) / 255);
    }
  }
  BitBlt(hdc, x, y, cx, cy, dstDC, 0, 0, SRCCOPY);
}
