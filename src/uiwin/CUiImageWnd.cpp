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
  return SetSkinAttribute(pszName, pszValue, m_pSkin, m_nSub);
}

HRESULT CUiImageWnd::SetSkinAttribute(const char* pszName, const char* pszValue,
                                      CUiSkinBase*& pSkin, int& nSub) {
  if (!pszName || !pszValue) return E_FAIL;
  if (strcmp(pszName, "skin") == 0) {
    pSkin = UiSkin::GetSkin(pszValue);
    return S_OK;
  }
  if (strcmp(pszName, "sub") == 0) {
    nSub = CUiObject::ParseInt(pszValue);
    return S_FALSE;
  }
  return E_FAIL;
}

void CUiImageWnd::MeasureBySkin(CUiSkinBase* pSkin, SIZE* psz) {
  if (!psz || !pSkin) return;
  const SIZE skin = pSkin->GetSkinSize();
  if (skin.cx) psz->cx = skin.cx;
  if (skin.cy) psz->cy = skin.cy;
}

LRESULT CUiImageWnd::OnPaint(UINT, WPARAM wParam, LPARAM) {
  HDC hDC = reinterpret_cast<HDC>(wParam);
  if (hDC && m_pSkin) m_pSkin->Draw(hDC, m_rcWnd, static_cast<DWORD>(m_nSub));
  return 0;
}

LRESULT CUiImageWnd::OnNcCalcSize(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  CUiWindow::OnNcCalcSize(uMsg, wParam, lParam);
  MeasureBySkin(m_pSkin, reinterpret_cast<SIZE*>(lParam));
  return 0;
}
