#include "uiwin/CUiCheckBox.h"

#include <cstring>

const char* const CUiCheckBox::kTag = "check";

CUiWindow* CUiCheckBox::CreateByTag(const char* pszTag) {
  return (pszTag && strcmp(pszTag, kTag) == 0) ? new CUiCheckBox : NULL;
}

BOOL CUiCheckBox::IsClass(const char* pszClass) const {
  return pszClass && strcmp(pszClass, kTag) == 0;
}

const char* CUiCheckBox::GetObjectClass() const { return kTag; }
