#include "uiwin/CUiLine.h"

#include <cstring>

const char* const CUiLine::kTag = "hr";

CUiWindow* CUiLine::CreateByTag(const char* pszTag) {
  return (pszTag && strcmp(pszTag, kTag) == 0) ? new CUiLine : NULL;
}

BOOL CUiLine::IsClass(const char* pszClass) const {
  return pszClass && strcmp(pszClass, kTag) == 0;
}

const char* CUiLine::GetObjectClass() const { return kTag; }
