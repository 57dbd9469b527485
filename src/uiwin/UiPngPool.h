#pragma once

#include <windows.h>

namespace Gdiplus {
class Image;
}

// PNG images by resource id (type "png"), decoded through GDI+ once and kept
// for the life of the process. GDI+ starts with the pool.
class UiPngPool {
 public:
  // nullptr when the resource is missing or undecodable; the caller does not own the image.
  static Gdiplus::Image* Get(UINT nId);
};
