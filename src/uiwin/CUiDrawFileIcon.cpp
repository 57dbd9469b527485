#include "uiwin/CUiDrawFileIcon.h"

#include <cstring>

const char* const CUiDrawFileIcon::kTag = "iconfrommodule";

CUiWindow* CUiDrawFileIcon::CreateByTag(const char* pszTag) {
  return (pszTag && strcmp(pszTag, kTag) == 0) ? new CUiDrawFileIcon : NULL;
}

BOOL CUiDrawFileIcon::IsClass(const char* pszClass) const {
  return pszClass && strcmp(pszClass, kTag) == 0;
}

const char* CUiDrawFileIcon::GetObjectClass() const { return kTag; }
