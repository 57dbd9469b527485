#pragma once

#include <windows.h>

class CUiSkinBase;

// The skin pool: skins by name from the skins XML resource.
class UiSkin {
 public:
  // Loads the skins XML resource nId into the pool. FALSE when the resource
  // is missing (the pool keeps its skins) or malformed (the pool is empty).
  static BOOL LoadSkins(UINT nId);

  // nullptr when no skin has that name. The pool owns the skin; a skin stays
  // alive after a reload replaces it, so elements that still hold it draw
  // the old picture instead of a freed object.
  static CUiSkinBase* GetSkin(LPCSTR name);

  // A new skin of the type named by the tag, or nullptr; the caller owns it.
  static CUiSkinBase* CreateSkinByTag(LPCSTR pszTag);
};
