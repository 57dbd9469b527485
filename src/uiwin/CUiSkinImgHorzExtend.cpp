#include "uiwin/CUiSkinImgHorzExtend.h"

#include <string.h>

namespace {
const DWORD kStateHover = 1;
const DWORD kStatePushDown = 2;
const DWORD kStateDisable = 16;
}  // namespace

const char* const CUiSkinImgHorzExtend::kTag = "imghorzex";

namespace {

RECT MakeRect(int l, int t, int r, int b) {
  RECT rc = {l, t, r, b};
  return rc;
}

}  // namespace

CUiSkinImgHorzExtend::CUiSkinImgHorzExtend() : m_nLeft(0) {}

BOOL CUiSkinImgHorzExtend::IsClass(const char* className) const {
  return className && strcmp(className, kTag) == 0;
}

const char* CUiSkinImgHorzExtend::GetObjectClass() const { return kTag; }

HRESULT CUiSkinImgHorzExtend::SetAttribute(const char* name, const char* value, BOOL bLoading) {
  HRESULT hr = CUiSkinBase::SetAttribute(name, value, bLoading);
  if (SUCCEEDED(hr)) return hr;
  hr = m_image.SetAttribute(name, value, bLoading);
  if (SUCCEEDED(hr)) return hr;
  if (!name || !value) return E_FAIL;
  if (strcmp(name, "left") == 0) {
    m_nLeft = ParseInt(value);
    return S_OK;
  }
  return E_FAIL;
}

SIZE CUiSkinImgHorzExtend::GetSkinSize() {
  SIZE sz = {0, m_image.GetBitmapSize().cy};
  return sz;
}

BOOL CUiSkinImgHorzExtend::IgnoreState() { return m_image.IgnoreState(); }

BOOL CUiSkinImgHorzExtend::Draw(HDC hdc, RECT rc, DWORD dwState) {
  if (!hdc || !m_image.GetBitmap()) return FALSE;

  DWORD nIndex;
  if (dwState == (DWORD)-1)
    nIndex = (DWORD)-1;
  else if (dwState & kStateDisable)
    nIndex = 3;
  else if (dwState & kStatePushDown)
    nIndex = 2;
  else if (dwState & kStateHover)
    nIndex = 1;
  else
    nIndex = 0;

  const SIZE sz = m_image.GetBitmapSize();
  const int H = sz.cy;
  // A rectangle narrower than the whole strip is drawn as wide as the strip, and every
  // picture at the strip's own height: the element's neighbours may be painted over.
  if (sz.cx > rc.right - rc.left) rc.right = rc.left + sz.cx;
  int xOff = 0, w = 0;
  if (m_image.GetSubWidth() > 0) {
    // -1 asks for the first picture's geometry; a state the strip lacks
    // falls back to picture 0.
    if (!m_image.GetSubImage(nIndex == (DWORD)-1 ? 0 : nIndex, xOff, w)) return FALSE;
  } else {
    w = sz.cx;
  }
  const int L = m_nLeft < 0 ? 0 : (m_nLeft > w - 1 ? w - 1 : m_nLeft);
  if (w <= 0 || H <= 0 || L < 0) return FALSE;

  const int cxRect = rc.right - rc.left;
  m_image.DrawPart(hdc, MakeRect(rc.left, rc.top, rc.left + L, rc.top + H),
                   MakeRect(xOff, 0, xOff + L, H));
  const int xRight = rc.right - w + L + 1;
  m_image.DrawPart(hdc, MakeRect(xRight, rc.top, xRight + (w - L - 1), rc.top + H),
                   MakeRect(xOff + L + 1, 0, xOff + w, H));
  const int cxMiddle = cxRect - w + 1;
  if (cxMiddle > 0)
    m_image.DrawPart(hdc, MakeRect(rc.left + L, rc.top, rc.left + L + cxMiddle, rc.top + H),
                     MakeRect(xOff + L, 0, xOff + L + 1, H));

  return TRUE;
}
