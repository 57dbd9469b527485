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

}  // namespace

BOOL UiGradient::Fill(HDC hdc, const RECT& rc, COLORREF crFrom, COLORREF crTo, BOOL bVertical) {
  if (!hdc || rc.right <= rc.left || rc.bottom <= rc.top) return FALSE;
  HMODULE hLib = LoadLibraryW(L"msimg32.dll");
  if (!hLib) return FALSE;
  BOOL bOk = FALSE;
  GradientFillFn pfn = (GradientFillFn)(void*)GetProcAddress(hLib, "GradientFill");
  if (pfn) {
    TRIVERTEX vert[2];
    SetVertex(vert[0], rc.left, rc.top, crFrom);
    SetVertex(vert[1], rc.right, rc.bottom, crTo);
    GRADIENT_RECT gr = {0, 1};
    bOk = pfn(hdc, vert, 2, &gr, 1, bVertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
  }
  FreeLibrary(hLib);
  return bOk;
}
