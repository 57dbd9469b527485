#include "uiwin/CUiImageBtnWnd.h"

#include <cstring>

const char* const CUiImageBtnWnd::kTag = "imgbtn";

CUiWindow* CUiImageBtnWnd::CreateByTag(const char* pszTag) {
  return (pszTag && strcmp(pszTag, kTag) == 0) ? new CUiImageBtnWnd : NULL;
}

BOOL CUiImageBtnWnd::IsClass(const char* pszClass) const {
  return pszClass && strcmp(pszClass, kTag) == 0;
}

const char* CUiImageBtnWnd::GetObjectClass() const { return kTag; }
