#include "uiwin/CUiSkinGradation.h"

#include <string.h>

#include "platform/CDCStateSaver.h"
#include "platform/CGdiObject.h"
#include "uiwin/UiGradient.h"

const char* const CUiSkinGradation::kTag = "gradation";

CUiSkinGradation::CUiSkinGradation()
    : crFrom(kUiColorUnset), crTo(kUiColorUnset), nDirection(0), nSize(0) {}

BOOL CUiSkinGradation::IsClass(const char* className) const {
  return className && strcmp(className, kTag) == 0;
}

const char* CUiSkinGradation::GetObjectClass() const { return kTag; }

HRESULT CUiSkinGradation::SetAttribute(const char* name, const char* value, BOOL bLoading) {
  HRESULT hr = CUiSkinBase::SetAttribute(name, value, bLoading);
  if (SUCCEEDED(hr)) return hr;
  if (!name || !value) return E_FAIL;
  if (strcmp(name, "from") == 0) {
    crFrom = ParseColor(value);
    return S_OK;
  }
  if (strcmp(name, "to") == 0) {
    crTo = ParseColor(value);
    return S_OK;
  }
  if (strcmp(name, "size") == 0) {
    nSize = ParseInt(value);
    return S_OK;
  }
  if (strcmp(name, "direction") == 0) {
    if (strcmp(value, "horz") == 0)
      nDirection = 0;
    else if (strcmp(value, "vert") == 0)
      nDirection = 1;
    else
      return E_FAIL;
    return S_OK;
  }
  return E_FAIL;
}

BOOL CUiSkinGradation::Draw(HDC hdc, RECT rc, DWORD /*dwState*/) {
  if (!hdc || rc.right <= rc.left || rc.bottom <= rc.top) return FALSE;
  // An unset colour has no meaning to paint with; leave the area as it is.
  if (crTo == kUiColorUnset) return FALSE;
  CBrush to(CreateSolidBrush(crTo));
  if (!to.IsNull()) FillRect(hdc, &rc, to);
  if (crFrom == kUiColorUnset) return TRUE;

  // A gradient longer than the rectangle is cut at its edge.
  CDCStateSaver saved(hdc);
  IntersectClipRect(hdc, rc.left, rc.top, rc.right, rc.bottom);
  RECT rcGrad = rc;
  if (nDirection == 1) {
    if (nSize > 0) rcGrad.bottom = rc.top + nSize;
    UiGradient::Fill(hdc, rcGrad, crFrom, crTo, TRUE);
  } else {
    if (nSize > 0) rcGrad.right = rc.left + nSize;
    UiGradient::Fill(hdc, rcGrad, crFrom, crTo, FALSE);
  }
  return TRUE;
}
