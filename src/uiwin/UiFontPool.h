#pragma once
// The one place the interface creates fonts. A font is named by a 16-bit key:
// bit 0 italic, bit 1 underline, bit 2 bold, high byte a signed size delta
// (lfHeight = default lfHeight - delta). Key 0 is the default interface font.

#include <windows.h>

class UiFontPool {
 public:
  enum : WORD {
    Italic = 0x0001,
    Underline = 0x0002,
    Bold = 0x0004,
  };

  // Sets the default face and height and rebuilds key 0. The replaced key-0
  // font stays alive until exit: styles and controls may still hold it.
  static void SetDefaultFont(LPCWSTR face, LONG height);

  // The font for `key`, created and cached on first use; NULL when it cannot
  // be created (not cached). The pool owns the handle.
  static HFONT GetFont(WORD key);

  // Reads a key written as hexadecimal digits ("0004", "FF00"); any
  // character that is not a hex digit gives 0; only the low 16 bits count.
  static WORD ParseFontKey(const char* text);
};
