// Minimal default skin pool: no skins until the skin resources are built (UiSkin owns
// this file).
#include "uiwin/UiSkin.h"

BOOL UiSkin::LoadSkins(UINT) { return FALSE; }
CUiSkinBase* UiSkin::GetSkin(LPCSTR) { return nullptr; }
CUiSkinBase* UiSkin::CreateSkinByTag(LPCSTR) { return nullptr; }
