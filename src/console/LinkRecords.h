#pragma once
// The records of the service link as they travel: little-endian, laid out by the
// console's 32-bit compiler with nothing between the fields; static_asserts on each
// record's size and every field's offset keep them from moving. Records are written
// through their structs; what arrives is never cast to one but read through the bounded
// readers below, which never look past the payload's length.
#include <cstddef>
#include <cstdint>
#include <string>

namespace linkpayload {

// The UTF-16 text of a field of `units` characters at `offset`: it ends at its first
// NUL, at the field's end or at the payload's end, whichever comes first.
inline std::wstring ReadText16(const unsigned char* payload, size_t length, size_t offset,
                               size_t units) {
  std::wstring text;
  if (!payload || offset > length) return text;
  const size_t have = (length - offset) / 2;
  const unsigned char* p = payload + offset;
  for (size_t i = 0; i < units && i < have; ++i) {
    const wchar_t c = static_cast<wchar_t>(p[2 * i] | p[2 * i + 1] << 8);
    if (c == 0) break;
    text.push_back(c);
  }
  return text;
}

// The 8-bit text from `offset` to its first NUL or the payload's end.
inline std::string ReadText8(const unsigned char* payload, size_t length, size_t offset) {
  if (!payload || offset >= length) return std::string();
  const char* begin = reinterpret_cast<const char*>(payload + offset);
  size_t n = 0;
  while (n < length - offset && begin[n] != '\0') ++n;
  return std::string(begin, n);
}

// Fills a fixed-width UTF-16 field: the text cut to leave room for its terminator,
// zeros behind it.
inline void WriteText16(wchar_t* field, size_t units, const std::wstring& text) {
  for (size_t i = 0; i < units; ++i) field[i] = i + 1 < units && i < text.size() ? text[i] : L'\0';
}

}  // namespace linkpayload

// Remote path pickers
// 1538 to a host's agent: the directory to list.
struct DirectoryListRequest {
  wchar_t path[260];  // NUL-terminated
};
static_assert(sizeof(wchar_t) == 2, "link texts are UTF-16");
static_assert(sizeof(DirectoryListRequest) == 520, "1538 request");
static_assert(offsetof(DirectoryListRequest, path) == 0, "1538 request");
