#include "uiwin/CUiMemoryImage.h"

#include <cstring>

const char* const CUiMemoryImage::kTag = "memimage";

CUiWindow* CUiMemoryImage::CreateByTag(const char* pszTag) {
  return (pszTag && strcmp(pszTag, kTag) == 0) ? new CUiMemoryImage : NULL;
}

BOOL CUiMemoryImage::IsClass(const char* pszClass) const {
  return pszClass && strcmp(pszClass, kTag) == 0;
}

const char* CUiMemoryImage::GetObjectClass() const { return kTag; }
