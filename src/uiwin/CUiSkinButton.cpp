#include "uiwin/CUiSkinButton.h"

#include <string.h>

#include "platform/CGdiObject.h"
#include "uiwin/UiGradient.h"

const char* const CUiSkinButton::kTag = "button";

namespace {
const DWORD kStateHover = 1;
const DWORD kStatePushDown = 2;
const DWORD kStateDisable = 16;
}  // namespace

CUiSkinButton::CUiSkinButton()
    : crBg(0xEEEEEE),
      crBorder(0x707070),
      crBgUp(0xEEEEEE),
      crBgUpHover(0xEEEEEE),
      crBgUpPush(0xCECECE),
      crBgDown(0xD6D6D6),
      crBgDownHover(0xE0E0E0),
      crBgDownPush(0xC0C0C0) {}

BOOL CUiSkinButton::IsClass(const char* className) const {
  return className && strcmp(className, kTag) == 0;
}

const char* CUiSkinButton::GetObjectClass() const { return kTag; }

HRESULT CUiSkinButton::SetAttribute(const char* name, const char* value, BOOL bLoading) {
  HRESULT hr = CUiSkinBase::SetAttribute(name, value, bLoading);
  if (SUCCEEDED(hr)) return hr;
  if (!name || !value) return E_FAIL;
  struct Field {
    const char* name;
    COLORREF CUiSkinButton::*field;
  };
  static const Field kFields[] = {
      {"bg", &CUiSkinButton::crBg},
      {"border", &CUiSkinButton::crBorder},
      {"bgup", &CUiSkinButton::crBgUp},
      {"bguphover", &CUiSkinButton::crBgUpHover},
      {"bguppush", &CUiSkinButton::crBgUpPush},
      {"bgdown", &CUiSkinButton::crBgDown},
      {"bgdownhover", &CUiSkinButton::crBgDownHover},
      {"bgdownpush", &CUiSkinButton::crBgDownPush},
  };
  for (const Field& f : kFields) {
    if (strcmp(name, f.name) == 0) {
      this->*f.field = ParseColor(value);
      return S_OK;
    }
  }
  return E_FAIL;
}

BOOL CUiSkinButton::IgnoreState() { return FALSE; }

BOOL CUiSkinButton::Draw(HDC hdc, RECT rc, DWORD dwState) {
  if (!hdc) return FALSE;
  CBrush bg(CreateSolidBrush(crBg));
  if (!bg.IsNull()) FillRect(hdc, &rc, bg);
  if (!(dwState & kStateDisable)) {
    COLORREF crTop, crBottom;
    if (dwState & kStatePushDown) {
      crTop = crBgUpPush;
      crBottom = crBgDownPush;
    } else if (dwState & kStateHover) {
      crTop = crBgUpHover;
      crBottom = crBgDownHover;
    } else {
      crTop = crBgUp;
      crBottom = crBgDown;
    }
    RECT rcInner = {rc.left + 2, rc.top + 2, rc.right - 2, rc.bottom - 2};
    UiGradient::Fill(hdc, rcInner, crTop, crBottom, TRUE);
  }
  CPen border(CreatePen(PS_SOLID, 1, crBorder));
  if (!border.IsNull()) {
    HGDIOBJ hOldPen = SelectObject(hdc, border);
    HGDIOBJ hOldBrush = SelectObject(hdc, GetStockObject(NULL_BRUSH));
    Rectangle(hdc, rc.left, rc.top, rc.right, rc.bottom);
    SelectObject(hdc, hOldBrush);
    SelectObject(hdc, hOldPen);
  }
  return TRUE;
}
