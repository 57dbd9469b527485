#pragma once

#include <windows.h>

// Bitmap holder under the image skins: one bitmap (owned by UiBmpPool),
// optionally a strip of equal sub-images, drawn plain, with a transparent
// colour or with per-pixel alpha.
class CUiImage {
 public:
  enum Mode { ModeNone = 0, ModeMask = 1, ModeAlpha = 2 };

  CUiImage();
  virtual ~CUiImage();

  HBITMAP GetBitmap() const { return m_hBitmap; }
  void SetBitmap(HBITMAP hBitmap) { m_hBitmap = hBitmap; }
  int GetSubWidth() const { return m_nSubWidth; }
  void SetSubWidth(int nSubWidth) { m_nSubWidth = nSubWidth; }
  int GetMode() const { return m_nMode; }
  void SetMode(int nMode) { m_nMode = nMode; }
  COLORREF GetMaskColor() const { return m_crMask; }
  void SetMaskColor(COLORREF cr) { m_crMask = cr; }

  // Whole bitmap size; 0 x 0 without a bitmap.
  SIZE GetBitmapSize() const;

  // Draws sub-image nIndex (or the whole bitmap for -1) at its own size with
  // its top-left corner at (x, y). An index past the end of the strip draws
  // picture 0.
  void DrawImage(HDC hdc, int x, int y, DWORD nIndex) const;

  // Copies rcSrc of the bitmap onto rcDst, stretching when the sizes differ,
  // in mode none or mask. Mode alpha draws nothing here (frame parts).
  void DrawPart(HDC hdc, const RECT& rcDst, const RECT& rcSrc) const;

  // Source x of sub-image nIndex, clamped to the strip; -1 is the whole
  // bitmap. Returns FALSE when nothing can be drawn.
  BOOL GetSubImage(DWORD nIndex, int& xSrc, int& cx) const;

  // Transparent blit: pixels of crMask in the source are left out.
  static void TransparentBlit(HDC hdcDst, const RECT& rcDst, HDC hdcSrc, const RECT& rcSrc,
                              COLORREF crMask);

 private:
  void AlphaBlend(HDC hdc, int x, int y, int xSrc, int cx, int cy) const;

  HBITMAP m_hBitmap;
  int m_nSubWidth;
  int m_nMode;
  COLORREF m_crMask;
};
