#include "controls/CBufferDC.h"

CBufferDC::CBufferDC(HDC target, const RECT& area) : CMemoryDC(target, AreaOf(target, area)) {}

RECT CBufferDC::AreaOf(HDC target, const RECT& area) {
  if (!::IsRectEmpty(&area)) return area;
  RECT clip{};
  ::GetClipBox(target, &clip);
  return clip;
}
