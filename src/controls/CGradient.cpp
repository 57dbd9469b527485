#include "controls/CGradient.h"

CGradient::CGradient(SIZE size) : m_size(size) {}

CGradient::~CGradient() { Release(); }

void CGradient::Release() {
  if (m_memDC.IsNull()) return;
  if (m_oldBitmap) ::SelectObject(m_memDC, m_oldBitmap);
  m_oldBitmap = nullptr;
  m_bitmap.DeleteObject();
  m_memDC.DeleteDC();
}

void CGradient::Draw(HDC dc, COLORREF top, COLORREF bottom) {
  Release();
  if (!m_memDC.CreateCompatibleDC(dc)) return;
  ::SetMapMode(m_memDC, MM_TEXT);
  m_bitmap.Attach(::CreateCompatibleBitmap(dc, m_size.cx, m_size.cy));
  if (m_bitmap.IsNull()) return;
  m_oldBitmap = ::SelectObject(m_memDC, m_bitmap);

  double r = GetRValue(top), g = GetGValue(top), b = GetBValue(top);
  const double stepR = (GetRValue(bottom) - r) / 256.0;
  const double stepG = (GetGValue(bottom) - g) / 256.0;
  const double stepB = (GetBValue(bottom) - b) / 256.0;
  for (int i = 0; i < 256; ++i) {
    RECT band = {0, i * m_size.cy / 256, m_size.cx, (i + 1) * m_size.cy / 256};
    if (band.bottom > band.top) {
      CBrush brush(::CreateSolidBrush(RGB(static_cast<int>(r), static_cast<int>(g),
                                          static_cast<int>(b))));
      ::FillRect(m_memDC, &band, brush);
    }
    r += stepR;
    g += stepG;
    b += stepB;
  }
}

BOOL CGradient::Blit(HDC dc, int x, int y, int srcX, int srcY, int width, int height,
                     DWORD rop) const {
  if (!m_oldBitmap) return FALSE;
  return ::BitBlt(dc, x, y, width, height, m_memDC, srcX, srcY, rop);
}
