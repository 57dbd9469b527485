#include "uiwin/CUiIconWnd.h"

#include <cstring>

#include "uiwin/UiResUtil.h"

const char* const CUiIconWnd::kTag = "icon";

CUiWindow* CUiIconWnd::CreateByTag(const char* pszTag) {
  return (pszTag && strcmp(pszTag, kTag) == 0) ? new CUiIconWnd : NULL;
}

CUiIconWnd::CUiIconWnd()
    : m_nSrc(-1), m_nLoadedSrc(-1), m_nSize(16), m_nOem(0), m_nLoadedSize(16), m_nLoadedOem(0) {}

BOOL CUiIconWnd::IsClass(const char* pszClass) const {
  return pszClass && strcmp(pszClass, kTag) == 0;
}

const char* CUiIconWnd::GetObjectClass() const { return kTag; }

BOOL CUiIconWnd::Load(const TiXmlElement* pElem) {
  if (!CUiWindow::Load(pElem)) return FALSE;
  ReloadIcon();
  return TRUE;
}

HRESULT CUiIconWnd::SetAttribute(const char* pszName, const char* pszValue, BOOL bLoading) {
  const HRESULT hr = CUiWindow::SetAttribute(pszName, pszValue, bLoading);
  if (SUCCEEDED(hr)) return hr;
  if (!pszName || !pszValue) return E_FAIL;
  if (strcmp(pszName, "src") == 0) {
    m_nSrc = CUiObject::ParseInt(pszValue);
    return S_FALSE;
  }
  if (strcmp(pszName, "oem") == 0) {
    m_nOem = CUiObject::ParseInt(pszValue);
    return S_FALSE;
  }
  if (strcmp(pszName, "size") == 0) {
    m_nSize = CUiObject::ParseInt(pszValue);
    return S_FALSE;
  }
  return E_FAIL;
}

void CUiIconWnd::ReloadIcon() {
  m_icon.Destroy();
  LPCWSTR id = MAKEINTRESOURCEW(static_cast<WORD>(m_nSrc));
  if (m_nOem == 0) {
    HMODULE module = UiResUtil::GetResourceModule();
    if (!module) module = ::GetModuleHandleW(NULL);
    HICON icon = static_cast<HICON>(::LoadImageW(module, id, IMAGE_ICON, m_nSize, m_nSize, 0));
    m_icon.Attach(icon, true);
  } else {
    // The system shares its standard icons: never destroy them.
    m_icon.Attach(::LoadIconW(NULL, id), false);
  }
  m_nLoadedSrc = m_nSrc;
  m_nLoadedOem = m_nOem;
  m_nLoadedSize = m_nSize;
}

BOOL CUiIconWnd::NeedsReload() const {
  return m_nSrc != m_nLoadedSrc || m_nOem != m_nLoadedOem || m_nSize != m_nLoadedSize;
}

LRESULT CUiIconWnd::OnPaint(UINT, WPARAM wParam, LPARAM) {
  HDC hDC = reinterpret_cast<HDC>(wParam);
  if (!hDC) return 0;
  if (NeedsReload()) ReloadIcon();
  if (!m_icon.IsNull())
    ::DrawIconEx(hDC, m_rcWnd.left, m_rcWnd.top, m_icon, m_rcWnd.right - m_rcWnd.left,
                 m_rcWnd.bottom - m_rcWnd.top, 0, NULL, DI_NORMAL);
  return 0;
}

LRESULT CUiIconWnd::OnNcCalcSize(UINT, WPARAM, LPARAM lParam) {
  SIZE* psz = reinterpret_cast<SIZE*>(lParam);
  if (psz) {
    psz->cx = m_nSize;
    psz->cy = m_nSize;
  }
  return 0;
}
