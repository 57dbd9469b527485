#pragma once
// The skinned controls' one pair of UI fonts: the normal font (12-pixel characters,
// the face left to the system) that the grid copies for its text, and its bold twin.
// Both are ours; they exist between Create and Destroy and are deleted at exit at
// the latest. Callers never delete them.
#include <windows.h>

#include "platform/CGdiObject.h"

class CUIFontPair {
 public:
  static void Create();
  static void Destroy();
  // Null outside Create ... Destroy.
  static HFONT GetFont();
  static HFONT GetBoldFont();

 private:
  static CUIFontPair& Pair();

  CFont m_normal;
  CFont m_bold;
};
