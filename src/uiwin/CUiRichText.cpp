#include "uiwin/CUiRichText.h"

#include <cstring>

const char* const CUiRichText::kTag = "richtext";

CUiWindow* CUiRichText::CreateByTag(const char* pszTag) {
  return (pszTag && strcmp(pszTag, kTag) == 0) ? new CUiRichText : NULL;
}

BOOL CUiRichText::IsClass(const char* pszClass) const {
  return pszClass && strcmp(pszClass, kTag) == 0;
}

const char* CUiRichText::GetObjectClass() const { return kTag; }
