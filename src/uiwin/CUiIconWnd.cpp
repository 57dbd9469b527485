#include "uiwin/CUiIconWnd.h"

#include <cstring>

const char* const CUiIconWnd::kTag = "icon";

CUiWindow* CUiIconWnd::CreateByTag(const char* pszTag) {
  return (pszTag && strcmp(pszTag, kTag) == 0) ? new CUiIconWnd : NULL;
}

BOOL CUiIconWnd::IsClass(const char* pszClass) const {
  return pszClass && strcmp(pszClass, kTag) == 0;
}

const char* CUiIconWnd::GetObjectClass() const { return kTag; }
