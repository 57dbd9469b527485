#include "uiwin/CUiTab.h"

#include <cstring>

#include "platform/TextConv.h"

const char* const CUiTab::kTag = "tab";

CUiTab::CUiTab() : m_nHide(0) {}

BOOL CUiTab::IsClass(const char* pszClass) const {
  return pszClass && strcmp(pszClass, kTag) == 0;
}

const char* CUiTab::GetObjectClass() const { return kTag; }

HRESULT CUiTab::SetAttribute(const char* pszName, const char* pszValue, BOOL bLoading) {
  const HRESULT hr = CUiDialog::SetAttribute(pszName, pszValue, bLoading);
  if (SUCCEEDED(hr)) return hr;
  if (!pszName || !pszValue) return E_FAIL;
  if (strcmp(pszName, "title") == 0) {
    m_strTitle = qv::Utf8ToWide(pszValue);
    return S_FALSE;
  }
  if (strcmp(pszName, "hide") == 0) {
    m_nHide = CUiObject::ParseInt(pszValue);
    return S_FALSE;
  }
  return E_FAIL;
}
