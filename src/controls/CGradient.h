#pragma once
// A vertical two-colour gradient image of a fixed size, drawn once into a memory
// context and then copied out (the grid header paints with one per paint). The
// context and its bitmap are ours and live until the next Draw or the destructor.
#include <windows.h>

#include "platform/CDC.h"
#include "platform/CGdiObject.h"

class CGradient {
 public:
  explicit CGradient(SIZE size);
  virtual ~CGradient();
  CGradient(const CGradient&) = delete;
  CGradient& operator=(const CGradient&) = delete;

  // 256 bands from top to one step short of bottom, each band a whole number of rows
  // (bands narrower than a row draw nothing). Replaces the image of an earlier Draw.
  void Draw(HDC dc, COLORREF top, COLORREF bottom);
  // Copies part of the image; nothing before the first Draw.
  BOOL Blit(HDC dc, int x, int y, int srcX, int srcY, int width, int height, DWORD rop) const;

 private:
  void Release();

  CDC m_memDC;
  CBitmap m_bitmap;
  HGDIOBJ m_oldBitmap = nullptr;
  SIZE m_size;
};
