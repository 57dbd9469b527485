#include "console/DottedIPv4.h"

#include "platform/WideFormat.h"

namespace {

template <class Char>
bool Parse(std::basic_string_view<Char> text, uint32_t* address) {
  uint32_t value = 0;
  size_t at = 0;
  for (int part = 0; part < 4; ++part) {
    if (part && (at >= text.size() || text[at++] != Char('.'))) return false;
    size_t digits = 0;
    unsigned number = 0;
    for (; at < text.size() && text[at] >= Char('0') && text[at] <= Char('9') && digits < 4; ++at, ++digits)
      number = number * 10 + unsigned(text[at] - Char('0'));
    if (!digits || digits > 3 || number > 255) return false;
    value |= uint32_t(number) << (8 * part);
  }
  if (at != text.size()) return false;
  *address = value;
  return true;
}

template <class Char>
bool ParseHost(std::basic_string_view<Char> text, uint32_t* address) {
  uint32_t value = 0;
  if (!Parse(text, &value) || value == 0xFFFFFFFFu) return false;
  *address = value;
  return true;
}

}  // namespace

bool ParseDottedIPv4(std::wstring_view text, uint32_t* address) { return Parse(text, address); }

bool ParseDottedIPv4(std::string_view text, uint32_t* address) { return Parse(text, address); }

bool ParseHostAddress(std::wstring_view text, uint32_t* address) { return ParseHost(text, address); }

bool ParseHostAddress(std::string_view text, uint32_t* address) { return ParseHost(text, address); }

std::wstring FormatDottedIPv4(uint32_t address) {
  return qv::FormatW(L"%u.%u.%u.%u", address & 0xFF, (address >> 8) & 0xFF, (address >> 16) & 0xFF, address >> 24);
}
