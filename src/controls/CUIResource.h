#pragma once
// The resources the skinned controls share from login to exit: the scroll-bar skin
// bitmap, the UI font pair and the rich-edit library. Init runs once the login has
// succeeded, Uninit after the main window has closed; between the two, every grid,
// tree, list box and rich-edit box is built with GetSkinBitmap. UI thread only.
#include <windows.h>

#include "platform/CGdiObject.h"

class CUIResource {
 public:
  CUIResource() = default;
  virtual ~CUIResource();
  CUIResource(const CUIResource&) = delete;
  CUIResource& operator=(const CUIResource&) = delete;

  // Loads bitmap 124, creates the font pair and loads "riched20.dll"; what cannot be
  // made stays null. A second Init first releases what the first one made.
  static int Init();
  static int Uninit();
  // Null before Init and after Uninit. The bitmap stays ours; callers never delete it.
  static HBITMAP GetSkinBitmap();

  static const UINT kSkinBitmapId = 124;

 private:
  static CUIResource& Instance();

  CBitmap m_skinBitmap;
  HMODULE m_richEdit = nullptr;
};
