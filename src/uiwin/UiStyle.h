#pragma once

#include <windows.h>

#include <string>

#include "uiwin/CUiObject.h"

// A named set of drawing properties (colours, text format, fonts, margins,
// cursor, skin name). Elements copy a style from the pool and change their
// copy; the fonts stay the font pool's.
class UiStyle : public CUiObject {
 public:
  static const char* const kTag;

  UiStyle();
  UiStyle(const UiStyle&) = default;
  UiStyle& operator=(const UiStyle&) = default;
  ~UiStyle() override;

  BOOL IsClass(const char* className) const override;
  const char* GetObjectClass() const override;
  HRESULT SetAttribute(const char* name, const char* value, BOOL bLoading) override;

  // Loads the styles XML resource nId into the pool. FALSE when the resource
  // is missing (the pool keeps its styles) or malformed (only the default
  // style remains).
  static BOOL LoadStyles(UINT nId);

  // The pool's style of that name, or the default (empty-named) style for a
  // name the pool lacks. Never nullptr. Styles replaced by a reload stay alive.
  static UiStyle* GetStyle(LPCSTR name);

  // Moves every edge of rc inwards by the margins, x on the sides, y at the
  // top and bottom.
  void ShrinkByMargins(RECT& rc) const;

  COLORREF crbg;
  COLORREF crbghover;
  COLORREF crtext;
  COLORREF crhover;
  COLORREF crdisabled;
  UINT textmode;    // DrawText format flags
  HFONT font;       // font pool's, nullptr when unset
  HFONT hoverfont;  // font pool's, nullptr when unset
  int xmargin;
  int ymargin;
  int spacing;
  int linespacing;
  UINT cursor;  // system cursor id for LoadCursor(nullptr, ...)
  std::string skin;
  std::string name;
};
