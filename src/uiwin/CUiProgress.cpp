#include "uiwin/CUiProgress.h"

#include <cstring>

const char* const CUiProgress::kTag = "progress";

CUiWindow* CUiProgress::CreateByTag(const char* pszTag) {
  return (pszTag && strcmp(pszTag, kTag) == 0) ? new CUiProgress : NULL;
}

BOOL CUiProgress::IsClass(const char* pszClass) const {
  return pszClass && strcmp(pszClass, kTag) == 0;
}

const char* CUiProgress::GetObjectClass() const { return kTag; }
