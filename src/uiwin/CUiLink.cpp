#include "uiwin/CUiLink.h"

#include <cstring>

const char* const CUiLink::kTag = "link";

CUiWindow* CUiLink::CreateByTag(const char* pszTag) {
  return (pszTag && strcmp(pszTag, kTag) == 0) ? new CUiLink : NULL;
}

BOOL CUiLink::IsClass(const char* pszClass) const {
  return pszClass && strcmp(pszClass, kTag) == 0;
}

const char* CUiLink::GetObjectClass() const { return kTag; }
