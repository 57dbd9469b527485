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

// msimg32 held for one fill.
class Library {
 public:
  explicit Library(const wchar_t* name) : h_(LoadLibraryW(name)) {}
  ~Library() {
    if (h_) FreeLibrary(h_);
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;
  HMODULE get() const { return h_; }

 private:
  HMODULE h_;
};

}  // namespace

BOOL UiGradient::Fill(HDC hdc, const RECT& rc, COLORREF crFrom, COLORREF crTo, BOOL bVertical) {
  if (!hdc || rc.right <= rc.left || rc.bottom <= rc.top) return FALSE;
  Library lib(L"msimg32.dll");
  if (!lib.get()) return FALSE;
  BOOL bOk = FALSE;
  GradientFillFn pfn = (GradientFillFn)(void*)GetProcAddress(lib.get(), "GradientFill");
  if (pfn) {
    TRIVERTEX vert[2];
    SetVertex(vert[0], rc.left, rc.top, crFrom);
    SetVertex(vert[1], rc.right, rc.bottom, crTo);
    GRADIENT_RECT gr = {0, 1};
    bOk = pfn(hdc, vert, 2, &gr, 1, bVertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
  }
  return bOk;
}
