#include "uiwin/UiGradient.h"

namespace {

typedef BOOL(WINAPI* GradientFillFn)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

void SetVertex(TRIVERTEX& v, LONG x, LONG y, COLORREF cr) {
  v.x = x;
  v.y = y;
  v.Red = (COLOR16)(GetRValue(cr) << 8);
  v.Green = (COLOR16)(GetGValue(cr) << 8);
  v.Blue = (COLOR16)(GetBValue(cr) << 8);
  v.Alpha = 0;
}

// Bound on first use and kept for the life of the process: loading and freeing the
// library around each fill cost far more than the fill.
GradientFillFn GradientFillProc() {
  static const GradientFillFn fn = [] {
    HMODULE lib = LoadLibraryW(L"msimg32.dll");
    return lib ? (GradientFillFn)(void*)GetProcAddress(lib, "GradientFill") : nullptr;
  }();
  return fn;
}

}  // namespace

BOOL UiGradient::Fill(HDC hdc, const RECT& rc, COLORREF crFrom, COLORREF crTo, BOOL bVertical) {
  if (!hdc || rc.right <= rc.left || rc.bottom <= rc.top) return FALSE;
  const GradientFillFn pfn = GradientFillProc();
  if (!pfn) return FALSE;
  TRIVERTEX vert[2];
  SetVertex(vert[0], rc.left, rc.top, crFrom);
  SetVertex(vert[1], rc.right, rc.bottom, crTo);
  GRADIENT_RECT gr = {0, 1};
  return pfn(hdc, vert, 2, &gr, 1, bVertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}
