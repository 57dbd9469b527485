#include "uiwin/CUiImageWnd.h"

#include <cstring>

#include "uiwin/CUiSkinBase.h"
#include "uiwin/UiSkin.h"

const char* const CUiImageWnd::kTag = "img";

CUiWindow* CUiImageWnd::CreateByTag(const char* pszTag) {
  return (pszTag && strcmp(pszTag, kTag) == 0) ? new CUiImageWnd : NULL;
}

CUiImageWnd::CUiImageWnd() : m_nSub(-1), m_pSkin(NULL) {}

BOOL CUiImageWnd::IsClass(const char* pszClass) const {
  return pszClass && strcmp(pszClass, kTag) == 0;
}

const char* CUiImageWnd::GetObjectClass() const { return kTag; }

HRESULT CUiImageWnd::SetAttribute(const char* pszName, const char* pszValue, BOOL bLoading) {
  const HRESULT hr = CUiWindow::SetAttribute(pszName, pszValue, bLoading);
  if (SUCCEEDED(hr)) return hr;
  if (!pszName || !pszValue) return E_FAIL;
  if (strcmp(pszName, "skin") == 0) {
    m_pSkin = UiSkin::GetSkin(pszValue);
    return S_OK;
  }
  if (strcmp(pszName, "sub") == 0) {
    m_nSub = CUiObject::ParseInt(pszValue);
    return S_FALSE;
  }
  return E_FAIL;
}

LRESULT CUiImageWnd::OnPaint(UINT, WPARAM wParam, LPARAM) {
  HDC hDC = reinterpret_cast<HDC>(wParam);
  if (hDC && m_pSkin) m_pSkin->Draw(hDC, m_rcWnd, static_cast<DWORD>(m_nSub));
  return 0;
}

LRESULT CUiImageWnd::OnNcCalcSize(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  CUiWindow::OnNcCalcSize(uMsg, wParam, lParam);
  SIZE* psz = reinterpret_cast<SIZE*>(lParam);
  if (psz && m_pSkin) {
    const SIZE skin = m_pSkin->GetSkinSize();
    if (skin.cx) psz->cx = skin.cx;
    if (skin.cy) psz->cy = skin.cy;
  }
  return 0;
}
