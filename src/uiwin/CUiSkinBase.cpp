#include "uiwin/CUiSkinBase.h"

SIZE CUiSkinBase::GetSkinSize() { return SIZE{0, 0}; }
BOOL CUiSkinBase::IgnoreState() { return TRUE; }
