#include "uiwin/CUiImageListHWnd.h"

#include <tinyxml.h>

#include <cstring>

#include "uiwin/CUiImageWnd.h"
#include "uiwin/CUiSkinBase.h"
#include "uiwin/UiSkin.h"

namespace {

std::string Key(const char* prefix, int i) { return prefix + std::to_string(i); }

}  // namespace

const char* const CUiImageListHWnd::kTag = "imglisth";

CUiWindow* CUiImageListHWnd::CreateByTag(const char* pszTag) {
  return (pszTag && strcmp(pszTag, kTag) == 0) ? new CUiImageListHWnd : NULL;
}

CUiImageListHWnd::CUiImageListHWnd() : m_nSub(-1), m_pSkin(NULL), m_nImageCount(0) {}

BOOL CUiImageListHWnd::IsClass(const char* pszClass) const {
  return pszClass && strcmp(pszClass, kTag) == 0;
}

const char* CUiImageListHWnd::GetObjectClass() const { return kTag; }

std::vector<std::pair<std::string, std::string>> CUiImageListHWnd::ParseList(
    const char* pszValue) {
  std::vector<std::pair<std::string, std::string>> items;
  if (!pszValue) return items;
  const std::string list(pszValue);
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(',', start);
    if (end == std::string::npos) end = list.size();
    const std::string item = list.substr(start, end - start);
    start = end + 1;
    const size_t eq = item.find('=');
    if (item.empty() || eq == std::string::npos || eq == 0) continue;
    items.emplace_back(item.substr(0, eq), item.substr(eq + 1));
  }
  return items;
}

void CUiImageListHWnd::ApplySkinList(const char* pszValue) {
  for (const auto& kv : ParseList(pszValue)) m_skinMap[kv.first] = UiSkin::GetSkin(kv.second.c_str());
}

void CUiImageListHWnd::ApplySubList(const char* pszValue) {
  for (const auto& kv : ParseList(pszValue))
    m_subMap[kv.first] = CUiObject::ParseInt(kv.second.c_str());
}

HRESULT CUiImageListHWnd::SetAttribute(const char* pszName, const char* pszValue,
                                       BOOL bLoading) {
  const HRESULT hr = CUiWindow::SetAttribute(pszName, pszValue, bLoading);
  if (SUCCEEDED(hr)) return hr;
  if (!pszName || !pszValue) return E_FAIL;
  const HRESULT own = CUiImageWnd::SetSkinAttribute(pszName, pszValue, m_pSkin, m_nSub);
  if (own != E_FAIL) return own;
  if (strcmp(pszName, "imagecount") == 0) {
    m_nImageCount = CUiObject::ParseInt(pszValue);
    return S_FALSE;
  }
  if (strcmp(pszName, "skinlist") == 0) {
    if (*pszValue) {
      m_strSkinList = pszValue;
      ApplySkinList(pszValue);
    }
    return S_FALSE;
  }
  if (strcmp(pszName, "sublist") == 0) {
    if (*pszValue) {
      m_strSubList = pszValue;
      ApplySubList(pszValue);
    }
    return S_FALSE;
  }
  return E_FAIL;
}

BOOL CUiImageListHWnd::Load(const TiXmlElement* pElem) {
  if (!CUiWindow::Load(pElem)) return FALSE;
  // Every entry starts empty; the lists, applied again, win over that.
  for (int i = 0; i < m_nImageCount; ++i) {
    m_skinMap[Key("skin", i)] = NULL;
    m_subMap[Key("sub", i)] = -1;
  }
  for (const TiXmlAttribute* a = pElem->FirstAttribute(); a; a = a->Next()) {
    if (!*a->Value()) continue;
    if (strcmp(a->Name(), "skinlist") == 0)
      ApplySkinList(a->Value());
    else if (strcmp(a->Name(), "sublist") == 0)
      ApplySubList(a->Value());
  }
  return TRUE;
}

CUiSkinBase* CUiImageListHWnd::GetEntrySkin(int i) const {
  auto it = m_skinMap.find(Key("skin", i));
  return it == m_skinMap.end() ? NULL : it->second;
}

int CUiImageListHWnd::GetEntrySub(int i) const {
  auto it = m_subMap.find(Key("sub", i));
  return it == m_subMap.end() ? -1 : it->second;
}

LRESULT CUiImageListHWnd::OnPaint(UINT, WPARAM wParam, LPARAM) {
  HDC hDC = reinterpret_cast<HDC>(wParam);
  if (!hDC) return 0;
  RECT rc = m_rcWnd;
  for (int i = 0; i < m_nImageCount; ++i) {
    CUiSkinBase* skin = GetEntrySkin(i);
    if (!skin) continue;
    skin->Draw(hDC, rc, static_cast<DWORD>(GetEntrySub(i)));
    ::OffsetRect(&rc, skin->GetSkinSize().cx, 0);
  }
  return 0;
}

LRESULT CUiImageListHWnd::OnNcCalcSize(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  CUiWindow::OnNcCalcSize(uMsg, wParam, lParam);
  CUiImageWnd::MeasureBySkin(m_pSkin, reinterpret_cast<SIZE*>(lParam));
  return 0;
}
