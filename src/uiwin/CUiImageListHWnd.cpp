#include "uiwin/CUiImageListHWnd.h"

#include <cstring>

const char* const CUiImageListHWnd::kTag = "imglisth";

CUiWindow* CUiImageListHWnd::CreateByTag(const char* pszTag) {
  return (pszTag && strcmp(pszTag, kTag) == 0) ? new CUiImageListHWnd : NULL;
}

BOOL CUiImageListHWnd::IsClass(const char* pszClass) const {
  return pszClass && strcmp(pszClass, kTag) == 0;
}

const char* CUiImageListHWnd::GetObjectClass() const { return kTag; }
