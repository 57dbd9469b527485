#pragma once

#include <windows.h>

// Bitmaps by resource id, loaded once (resource directory, resource module,
// then the executable) and kept for the life of the process.
class UiBmpPool {
 public:
  // nullptr when the bitmap cannot be loaded; the caller does not own it.
  static HBITMAP GetBitmap(UINT nId);
};
