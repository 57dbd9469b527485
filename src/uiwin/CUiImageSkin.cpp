#include "uiwin/CUiImageSkin.h"

#include <string.h>

#include "uiwin/UiBmpPool.h"

const char* const CUiImageSkin::kTag = "imglst";

BOOL CUiImageSkin::IsClass(const char* className) const {
  return className && strcmp(className, kTag) == 0;
}

const char* CUiImageSkin::GetObjectClass() const { return kTag; }

HRESULT CUiImageSkin::SetAttribute(const char* name, const char* value, BOOL bLoading) {
  HRESULT hr = CUiSkinBase::SetAttribute(name, value, bLoading);
  if (SUCCEEDED(hr)) return hr;
  if (!name || !value) return E_FAIL;
  if (strcmp(name, "src") == 0) {
    SetBitmap(UiBmpPool::GetBitmap((UINT)ParseInt(value)));
    return S_OK;
  }
  if (strcmp(name, "mode") == 0) {
    if (strcmp(value, "none") == 0)
      SetMode(ModeNone);
    else if (strcmp(value, "mask") == 0)
      SetMode(ModeMask);
    else if (strcmp(value, "alpha") == 0)
      SetMode(ModeAlpha);
    else
      return E_FAIL;
    return S_OK;
  }
  if (strcmp(name, "maskcolor") == 0) {
    SetMaskColor(ParseColor(value));
    return S_OK;
  }
  if (strcmp(name, "subwidth") == 0) {
    SetSubWidth(ParseInt(value));
    return S_OK;
  }
  return E_FAIL;
}

BOOL CUiImageSkin::Draw(HDC hdc, RECT rcDraw, DWORD dwState) {
  DrawImage(hdc, rcDraw.left, rcDraw.top, dwState);
  return TRUE;
}

SIZE CUiImageSkin::GetSkinSize() {
  SIZE sz = GetBitmapSize();
  // A negative sub-image width (a bad resource) measures as the whole bitmap.
  if (sz.cx > 0 && GetSubWidth() > 0) sz.cx = GetSubWidth();
  return sz;
}

BOOL CUiImageSkin::IgnoreState() { return GetSubWidth() == 0; }
