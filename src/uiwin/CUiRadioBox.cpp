#include "uiwin/CUiRadioBox.h"

#include <cstring>

const char* const CUiRadioBox::kTag = "radio";

CUiWindow* CUiRadioBox::CreateByTag(const char* pszTag) {
  return (pszTag && strcmp(pszTag, kTag) == 0) ? new CUiRadioBox : NULL;
}

BOOL CUiRadioBox::IsClass(const char* pszClass) const {
  return pszClass && strcmp(pszClass, kTag) == 0;
}

const char* CUiRadioBox::GetObjectClass() const { return kTag; }
