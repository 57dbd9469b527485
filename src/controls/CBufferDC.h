#pragma once
// An off-screen context over a rectangle of a target DC (its clip box when the
// rectangle is empty) that copies itself back to the target when it goes.
#include "platform/CMemoryDC.h"

class CBufferDC : public CMemoryDC {
 public:
  explicit CBufferDC(HDC target, const RECT& area = RECT{0, 0, 0, 0});

 private:
  static RECT AreaOf(HDC target, const RECT& area);
};
