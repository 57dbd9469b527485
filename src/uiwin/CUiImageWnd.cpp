#include "uiwin/CUiImageWnd.h"

#include <cstring>

const char* const CUiImageWnd::kTag = "img";

CUiWindow* CUiImageWnd::CreateByTag(const char* pszTag) {
  return (pszTag && strcmp(pszTag, kTag) == 0) ? new CUiImageWnd : NULL;
}

BOOL CUiImageWnd::IsClass(const char* pszClass) const {
  return pszClass && strcmp(pszClass, kTag) == 0;
}

const char* CUiImageWnd::GetObjectClass() const { return kTag; }
