#include "uiwin/CUiPngSkin.h"

#include <string.h>

#include <objidl.h>
#include <gdiplus.h>

#include "uiwin/UiPngPool.h"

const char* const CUiPngSkin::kTag = "png";

CUiPngSkin::CUiPngSkin() : m_pImage(nullptr), m_nSrc(0), m_nSubWidth(0) {}

BOOL CUiPngSkin::IsClass(const char* className) const {
  return className && strcmp(className, kTag) == 0;
}

const char* CUiPngSkin::GetObjectClass() const { return kTag; }

BOOL CUiPngSkin::Load(const TiXmlElement* element) {
  CUiSkinBase::Load(element);
  if (m_nSrc != 0) m_pImage = UiPngPool::Get(m_nSrc);
  return TRUE;
}

HRESULT CUiPngSkin::SetAttribute(const char* name, const char* value, BOOL bLoading) {
  HRESULT hr = CUiSkinBase::SetAttribute(name, value, bLoading);
  if (SUCCEEDED(hr)) return hr;
  if (!name || !value) return E_FAIL;
  if (strcmp(name, "src") == 0) {
    m_nSrc = (UINT)ParseInt(value);
    return S_OK;
  }
  if (strcmp(name, "subwidth") == 0) {
    m_nSubWidth = ParseInt(value);
    return S_OK;
  }
  return E_FAIL;
}

SIZE CUiPngSkin::GetSkinSize() {
  SIZE sz = {0, 0};
  if (m_pImage) {
    sz.cx = m_nSubWidth > 0 ? m_nSubWidth : (LONG)m_pImage->GetWidth();
    sz.cy = (LONG)m_pImage->GetHeight();
  }
  return sz;
}

BOOL CUiPngSkin::IgnoreState() { return m_nSubWidth == 0; }

BOOL CUiPngSkin::Draw(HDC hdc, RECT rc, DWORD dwState) {
  if (!hdc || !m_pImage) return FALSE;
  const int cxImage = (int)m_pImage->GetWidth();
  const int h = (int)m_pImage->GetHeight();
  if (cxImage <= 0 || h <= 0) return FALSE;
  Gdiplus::Graphics g(hdc);
  // Pictures are copied at their own size; nearest-neighbour keeps the
  // neighbouring picture of the strip from bleeding into the edges.
  g.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
  g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  if (m_nSubWidth > 0) {
    // A state the strip has no picture for shows picture 0.
    unsigned long long end = ((unsigned long long)dwState + 1) * (unsigned)m_nSubWidth;
    DWORD nIndex = end > (unsigned long long)cxImage ? 0 : dwState;
    int w = m_nSubWidth;
    int xSrc = (int)nIndex * m_nSubWidth;
    if (xSrc + w > cxImage) w = cxImage - xSrc;
    Gdiplus::Rect dst(rc.left, rc.top, w, h);
    g.DrawImage(m_pImage, dst, xSrc, 0, w, h, Gdiplus::UnitPixel);
  } else if (m_nSubWidth == 0) {
    Gdiplus::Rect dst(rc.left, rc.top, cxImage, h);
    g.DrawImage(m_pImage, dst, 0, 0, cxImage, h, Gdiplus::UnitPixel);
  }
  return TRUE;
}
