#include "uiwin/CUiMemoryImage.h"

#include <objidl.h>

#include <gdiplus.h>

#include <cstring>

const char* const CUiMemoryImage::kTag = "memimage";

CUiWindow* CUiMemoryImage::CreateByTag(const char* pszTag) {
  return (pszTag && strcmp(pszTag, kTag) == 0) ? new CUiMemoryImage : NULL;
}

CUiMemoryImage::CUiMemoryImage() : m_pImage(NULL), m_nAutoSize(1) {}

BOOL CUiMemoryImage::IsClass(const char* pszClass) const {
  return pszClass && strcmp(pszClass, kTag) == 0;
}

const char* CUiMemoryImage::GetObjectClass() const { return kTag; }

HRESULT CUiMemoryImage::SetAttribute(const char* pszName, const char* pszValue, BOOL bLoading) {
  const HRESULT hr = CUiWindow::SetAttribute(pszName, pszValue, bLoading);
  if (SUCCEEDED(hr)) return hr;
  if (!pszName || !pszValue) return E_FAIL;
  // "mempointer" is deliberately unknown here: see SetImage.
  if (strcmp(pszName, "autosize") == 0) {
    if (*pszValue) m_nAutoSize = CUiObject::ParseInt(pszValue);
    return S_OK;
  }
  return E_FAIL;
}

LRESULT CUiMemoryImage::OnPaint(UINT, WPARAM wParam, LPARAM) {
  HDC hDC = reinterpret_cast<HDC>(wParam);
  if (!hDC || !m_pImage) return 0;
  if (m_nAutoSize != 0 && m_nAutoSize != 1) return 0;
  Gdiplus::Graphics g(hDC);
  const INT w = static_cast<INT>(m_pImage->GetWidth());
  const INT h = static_cast<INT>(m_pImage->GetHeight());
  if (m_nAutoSize == 1) {
    const Gdiplus::Rect dst(m_rcWnd.left, m_rcWnd.top, m_rcWnd.right - m_rcWnd.left,
                            m_rcWnd.bottom - m_rcWnd.top);
    g.DrawImage(m_pImage, dst, 0, 0, w, h, Gdiplus::UnitPixel);
  } else {
    g.DrawImage(m_pImage, static_cast<INT>(m_rcWnd.left), static_cast<INT>(m_rcWnd.top), w, h);
  }
  return 0;
}
