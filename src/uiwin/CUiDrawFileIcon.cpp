#include "uiwin/CUiDrawFileIcon.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <cstring>
#include <unordered_map>

#include "platform/TextConv.h"

namespace {

// File icons by path, for the life of the process; the icons are never
// destroyed because any element may still be drawing one.
std::unordered_map<std::string, HICON>& FileIconCache() {
  static auto* cache = new std::unordered_map<std::string, HICON>;
  return *cache;
}

}  // namespace

const char* const CUiDrawFileIcon::kTag = "iconfrommodule";

CUiWindow* CUiDrawFileIcon::CreateByTag(const char* pszTag) {
  return (pszTag && strcmp(pszTag, kTag) == 0) ? new CUiDrawFileIcon : NULL;
}

CUiDrawFileIcon::CUiDrawFileIcon() : m_hIcon(NULL) {}

BOOL CUiDrawFileIcon::IsClass(const char* pszClass) const {
  return pszClass && strcmp(pszClass, kTag) == 0;
}

const char* CUiDrawFileIcon::GetObjectClass() const { return kTag; }

HRESULT CUiDrawFileIcon::SetAttribute(const char* pszName, const char* pszValue, BOOL bLoading) {
  const HRESULT hr = CUiWindow::SetAttribute(pszName, pszValue, bLoading);
  if (SUCCEEDED(hr)) return hr;
  if (!pszName || !pszValue) return E_FAIL;
  // "iconhandle" is deliberately unknown here: see SetIconHandle.
  if (strcmp(pszName, "srcfile") == 0) {
    if (*pszValue) m_strSrcFile = pszValue;
    return S_OK;
  }
  return E_FAIL;
}

HICON CUiDrawFileIcon::ResolveIcon() const {
  if (m_hIcon) return m_hIcon;
  if (m_strSrcFile.empty()) return NULL;
  // Layout text is UTF-8: the wide calls keep Chinese paths intact.
  const std::wstring path = qv::Utf8ToWide(m_strSrcFile);
  if (!::PathFileExistsW(path.c_str())) return NULL;
  auto& cache = FileIconCache();
  auto it = cache.find(m_strSrcFile);
  if (it != cache.end()) return it->second;
  SHFILEINFOW info = {};
  if (!::SHGetFileInfoW(path.c_str(), 0, &info, sizeof(info), SHGFI_ICON | SHGFI_DISPLAYNAME) ||
      !info.hIcon)
    return NULL;
  cache[m_strSrcFile] = info.hIcon;
  return info.hIcon;
}

LRESULT CUiDrawFileIcon::OnPaint(UINT, WPARAM wParam, LPARAM) {
  HDC hDC = reinterpret_cast<HDC>(wParam);
  if (!hDC) return 0;
  if (HICON icon = ResolveIcon())
    ::DrawIconEx(hDC, m_rcWnd.left, m_rcWnd.top, icon, m_rcWnd.right - m_rcWnd.left,
                 m_rcWnd.bottom - m_rcWnd.top, 0, NULL, DI_NORMAL);
  return 0;
}
