#include "controls/DrawHelpers.h"

#include <cstring>
#include <vector>

#include "controls/CBrushSelector.h"
#include "controls/CPenSelector.h"
#include "controls/CSysFontSet.h"
#include "platform/CBitmapDC.h"
#include "platform/CDCHandle.h"
#include "uiwin/CUiImage.h"
#include "uiwin/UiGradient.h"

namespace {

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP bm{};
  if (!bitmap || !::GetObjectW(bitmap, sizeof bm, &bm)) return SIZE{0, 0};
  return SIZE{bm.bmWidth, bm.bmHeight};
}

// Splits [a, b) at a+first and b-last, each part at least empty.
void Cut(LONG a, LONG b, int first, int last, LONG out[4]) {
  out[0] = a;
  out[1] = a + first;
  out[2] = b - last;
  out[3] = b;
  if (out[2] < out[1]) out[2] = out[1];
}

}  // namespace

BOOL DrawTransparent(HDC dst, const RECT& d, HDC src, const RECT& s, COLORREF transparent) {
  if (!CSysFontSet::IsNT()) {
    CUiImage::TransparentBlit(dst, d, src, s, transparent);
    return TRUE;
  }
  return ::TransparentBlt(dst, d.left, d.top, d.right - d.left, d.bottom - d.top, src, s.left,
                          s.top, s.right - s.left, s.bottom - s.top, transparent);
}

BOOL BlitPart(HDC dst, const RECT& d, HDC src, const RECT& s, COLORREF transparent) {
  const int dw = d.right - d.left, dh = d.bottom - d.top;
  const int sw = s.right - s.left, sh = s.bottom - s.top;
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return FALSE;
  if (transparent != CLR_INVALID) return DrawTransparent(dst, d, src, s, transparent);
  if (dw == sw && dh == sh) return ::BitBlt(dst, d.left, d.top, dw, dh, src, s.left, s.top, SRCCOPY);
  const int oldMode = ::SetStretchBltMode(dst, COLORONCOLOR);
  const BOOL ok = ::StretchBlt(dst, d.left, d.top, dw, dh, src, s.left, s.top, sw, sh, SRCCOPY);
  ::SetStretchBltMode(dst, oldMode);
  return ok;
}

BOOL DrawBitmap(HDC dc, int x, int y, HBITMAP bitmap, COLORREF transparent) {
  const SIZE size = BitmapSize(bitmap);
  return DrawBitmapPart(dc, x, y, bitmap, RECT{0, 0, size.cx, size.cy}, transparent);
}

BOOL DrawBitmapPart(HDC dc, int x, int y, HBITMAP bitmap, const RECT& src, COLORREF transparent) {
  const RECT dst = {x, y, x + src.right - src.left, y + src.bottom - src.top};
  return StretchBitmapPart(dc, dst, bitmap, src, transparent);
}

BOOL StretchBitmapPart(HDC dc, const RECT& dst, HBITMAP bitmap, const RECT& src,
                       COLORREF transparent) {
  if (!bitmap) return FALSE;
  CBitmapDC source(bitmap, dc);
  return source ? BlitPart(dc, dst, source, src, transparent) : FALSE;
}

BOOL DrawBitmapHorz3(HDC dc, const RECT& dst, HBITMAP bitmap, int leftWidth, int rightWidth,
                     COLORREF transparent) {
  const RECT margins = {leftWidth, 0, rightWidth, 0};
  return DrawNineGrid(dc, dst, bitmap, margins, transparent);
}

BOOL DrawNineGrid(HDC dc, const RECT& dst, HBITMAP bitmap, const RECT& margins,
                  COLORREF transparent) {
  const SIZE size = BitmapSize(bitmap);
  if (!size.cx || !size.cy) return FALSE;
  CBitmapDC source(bitmap, dc);
  if (!source) return FALSE;
  LONG sx[4], sy[4], dx[4], dy[4];
  Cut(0, size.cx, margins.left, margins.right, sx);
  Cut(0, size.cy, margins.top, margins.bottom, sy);
  Cut(dst.left, dst.right, margins.left, margins.right, dx);
  Cut(dst.top, dst.bottom, margins.top, margins.bottom, dy);
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col)
      BlitPart(dc, RECT{dx[col], dy[row], dx[col + 1], dy[row + 1]}, source,
           RECT{sx[col], sy[row], sx[col + 1], sy[row + 1]}, transparent);
  return TRUE;
}

BOOL GradientFillRect(HDC dc, const RECT& rc, COLORREF from, COLORREF to, BOOL vertical) {
  return UiGradient::Fill(dc, rc, from, to, vertical);
}

BOOL MultiGradientFillRect(HDC dc, const RECT& rc, const COLORREF* stops, int count,
                           BOOL vertical) {
  if (!stops || count < 1 || ::IsRectEmpty(&rc)) return FALSE;
  if (count == 1) {
    FillSolid(dc, rc, stops[0]);
    return TRUE;
  }
  const LONG start = vertical ? rc.top : rc.left;
  const LONG length = vertical ? rc.bottom - rc.top : rc.right - rc.left;
  BOOL ok = TRUE;
  for (int i = 0; i + 1 < count; ++i) {
    const LONG a = start + length * i / (count - 1), b = start + length * (i + 1) / (count - 1);
    if (b <= a) continue;
    RECT band = rc;
    if (vertical) {
      band.top = a;
      band.bottom = b;
    } else {
      band.left = a;
      band.right = b;
    }
    ok = GradientFillRect(dc, band, stops[i], stops[i + 1], vertical) && ok;
  }
  return ok;
}

HRGN BitmapToRegion(HBITMAP bitmap, COLORREF transparent) {
  const SIZE size = BitmapSize(bitmap);
  if (!size.cx || !size.cy) return nullptr;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = size.cx;
  bi.bmiHeader.biHeight = -size.cy;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  std::vector<DWORD> pixels(static_cast<size_t>(size.cx) * size.cy);
  HDC screen = ::GetDC(nullptr);
  const int lines = ::GetDIBits(screen, bitmap, 0, size.cy, pixels.data(), &bi, DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, screen);
  if (lines != size.cy) return nullptr;

  // DIB pixels are 0x00RRGGBB.
  const DWORD key = (GetRValue(transparent) << 16) | (GetGValue(transparent) << 8) |
                    GetBValue(transparent);
  std::vector<RECT> runs;
  for (LONG y = 0; y < size.cy; ++y) {
    const DWORD* row = &pixels[static_cast<size_t>(y) * size.cx];
    for (LONG x = 0; x < size.cx;) {
      while (x < size.cx && (row[x] & 0xFFFFFF) == key) ++x;
      const LONG first = x;
      while (x < size.cx && (row[x] & 0xFFFFFF) != key) ++x;
      if (x > first) runs.push_back(RECT{first, y, x, y + 1});
    }
  }
  std::vector<BYTE> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
  RGNDATA* rd = reinterpret_cast<RGNDATA*>(data.data());
  rd->rdh.dwSize = sizeof(RGNDATAHEADER);
  rd->rdh.iType = RDH_RECTANGLES;
  rd->rdh.nCount = static_cast<DWORD>(runs.size());
  rd->rdh.nRgnSize = static_cast<DWORD>(runs.size() * sizeof(RECT));
  rd->rdh.rcBound = RECT{0, 0, size.cx, size.cy};
  if (!runs.empty()) memcpy(rd->Buffer, runs.data(), runs.size() * sizeof(RECT));
  return ::ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), rd);
}

void DrawLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF color) {
  CPenSelector pen(dc, color);
  ::MoveToEx(dc, x1, y1, nullptr);
  ::LineTo(dc, x2, y2);
}

void DrawFrame(HDC dc, const RECT& rc, COLORREF color) {
  if (::IsRectEmpty(&rc)) return;
  const RECT edges[4] = {{rc.left, rc.top, rc.right, rc.top + 1},
                         {rc.left, rc.bottom - 1, rc.right, rc.bottom},
                         {rc.left, rc.top, rc.left + 1, rc.bottom},
                         {rc.right - 1, rc.top, rc.right, rc.bottom}};
  for (const RECT& edge : edges) FillSolid(dc, edge, color);
}

void FillSolid(HDC dc, const RECT& rc, COLORREF color) { CDCHandle(dc).FillSolidRect(rc, color); }

void DrawRoundFrame(HDC dc, const RECT& rc, COLORREF outer, COLORREF inner, COLORREF fill) {
  CBrushSelector brush(dc, fill);
  {
    CPenSelector pen(dc, outer);
    ::RoundRect(dc, rc.left, rc.top, rc.right, rc.bottom, 5, 5);
  }
  CPenSelector pen(dc, inner);
  ::RoundRect(dc, rc.left + 1, rc.top + 1, rc.right - 1, rc.bottom - 1, 2, 2);
}
