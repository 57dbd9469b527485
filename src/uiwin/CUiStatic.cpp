#include "uiwin/CUiStatic.h"

#include <cstring>

const char* const CUiStatic::kTag = "text";

CUiWindow* CUiStatic::CreateByTag(const char* pszTag) {
  return (pszTag && strcmp(pszTag, kTag) == 0) ? new CUiStatic : NULL;
}

BOOL CUiStatic::IsClass(const char* pszClass) const {
  return pszClass && strcmp(pszClass, kTag) == 0;
}

const char* CUiStatic::GetObjectClass() const { return kTag; }
