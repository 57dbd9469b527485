#pragma once
// Root of every object the framework builds from an XML element (skins, styles,
// elements): Load offers each attribute to SetAttribute, and the value grammars that
// all attribute setters share live here.
#include <windows.h>

class TiXmlElement;

class CUiObject {
 public:
  virtual ~CUiObject() = default;
  virtual BOOL IsClass(const char* className) const = 0;
  virtual const char* GetObjectClass() const = 0;
  // Every attribute in document order, result ignored; TRUE.
  virtual BOOL Load(const TiXmlElement* element);
  // S_OK taken, S_FALSE taken (where a class says so), E_FAIL unknown name or value.
  virtual HRESULT SetAttribute(const char* name, const char* value, BOOL bLoading);

  // Decimal as StrToIntA reads it: blanks, sign, digits up to the first other character.
  static int ParseInt(const char* text);
  // At most maxDigits hexadecimal digits (maxDigits < 0: no limit), no prefix; any other
  // character before the limit makes the whole number 0.
  static unsigned long ParseHex(const char* text, int maxDigits = -1);
  // "RRGGBB" to a COLORREF (0x00BBGGRR); a pair beyond the end of the text counts as 0.
  static COLORREF ParseColor(const char* text);
};

constexpr COLORREF kUiColorUnset = 0xFFFFFFFF;
