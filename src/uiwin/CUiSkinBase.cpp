#include "uiwin/CUiSkinBase.h"

SIZE CUiSkinBase::GetSkinSize() {
  SIZE sz = {0, 0};
  return sz;
}

BOOL CUiSkinBase::IgnoreState() { return TRUE; }
