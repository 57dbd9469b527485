#pragma once
// Copies of the system's default GUI font at normal weight, full size and 1 and 6
// units smaller, made on first use and kept to exit, with whether the system is
// NT-based (the transparent blit chooses its way by it). Callers never delete the fonts.
#include <windows.h>

#include "platform/CGdiObject.h"

class CSysFontSet {
 public:
  enum FontSize { Normal = 0, Smaller = 1, Smallest = 2 };

  // Builds the set once; later calls do nothing.
  static void Init();
  static HFONT GetFont(FontSize size);
  static bool IsNT();

 private:
  static CSysFontSet& Set();

  bool m_ready = false;
  bool m_nt = true;
  CFont m_fonts[3];
};
