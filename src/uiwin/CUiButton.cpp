#include "uiwin/CUiButton.h"

#include <cstring>

const char* const CUiButton::kTag = "button";

CUiWindow* CUiButton::CreateByTag(const char* pszTag) {
  return (pszTag && strcmp(pszTag, kTag) == 0) ? new CUiButton : NULL;
}

BOOL CUiButton::IsClass(const char* pszClass) const {
  return pszClass && strcmp(pszClass, kTag) == 0;
}

const char* CUiButton::GetObjectClass() const { return kTag; }
