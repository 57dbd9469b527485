#include "uiwin/CUiObject.h"

#include <cstring>

#include <tinyxml.h>

BOOL CUiObject::Load(const TiXmlElement* element) {
  if (!element) return TRUE;
  for (const TiXmlAttribute* a = element->FirstAttribute(); a; a = a->Next())
    SetAttribute(a->Name(), a->Value(), TRUE);
  return TRUE;
}

HRESULT CUiObject::SetAttribute(const char*, const char*, BOOL) { return E_FAIL; }

int CUiObject::ParseInt(const char* text) {
  if (!text) return 0;
  while (*text == ' ' || *text == '\t') ++text;
  bool negative = false;
  if (*text == '-' || *text == '+') negative = (*text++ == '-');
  unsigned int value = 0;  // wraps like the system parser instead of overflowing
  while (*text >= '0' && *text <= '9') value = value * 10u + static_cast<unsigned>(*text++ - '0');
  return static_cast<int>(negative ? 0u - value : value);
}

unsigned long CUiObject::ParseHex(const char* text, int maxDigits) {
  if (!text) return 0;
  unsigned long value = 0;
  for (int i = 0; text[i] && (maxDigits < 0 || i < maxDigits); ++i) {
    char c = text[i];
    unsigned digit;
    if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
    else if (c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
    else return 0;
    value = value * 16 + digit;
  }
  return value;
}

COLORREF CUiObject::ParseColor(const char* text) {
  if (!text) return 0;
  size_t n = std::strlen(text);
  unsigned long r = ParseHex(text, 2);
  unsigned long g = n > 2 ? ParseHex(text + 2, 2) : 0;
  unsigned long b = n > 4 ? ParseHex(text + 4, 2) : 0;
  return static_cast<COLORREF>(r + 256 * g + 65536 * b);
}
