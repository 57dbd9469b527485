// The console's text conversions for the native fuzz build: UTF-8 and code page 936
// through iconv, wide texts as UTF-16 units (one per wchar_t) as on Windows. What the
// Windows conversions would replace (a byte that starts no character, a lone
// surrogate) becomes U+FFFD; a character with no form in the code page becomes "?".
#include "platform/TextConv.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>

#include "windows.h"

namespace {

class Iconv {
 public:
  Iconv(const char* to, const char* from) : m_cd(iconv_open(to, from)) {
    if (m_cd == reinterpret_cast<iconv_t>(-1)) std::abort();
  }
  ~Iconv() { iconv_close(m_cd); }
  // Converts `in`; `bad` is called with the input left at each byte that cannot be
  // converted, and returns how many bytes to skip. Returns the bytes written.
  template <class Bad>
  std::string Run(std::string_view in, Bad&& bad) {
    std::string out;
    iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    size_t left = in.size();
    char buffer[4096];
    while (left > 0) {
      char* dst = buffer;
      size_t room = sizeof buffer;
      size_t r = iconv(m_cd, &src, &left, &dst, &room);
      out.append(buffer, static_cast<size_t>(dst - buffer));
      if (r != static_cast<size_t>(-1) || errno == E2BIG) continue;
      size_t skip = bad(out, std::string_view(src, left));
      src += skip;
      left -= skip;
      iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
  }

 private:
  iconv_t m_cd;
};

std::wstring Units(const std::string& utf16le) {
  std::wstring out;
  out.reserve(utf16le.size() / 2);
  for (size_t i = 0; i + 1 < utf16le.size(); i += 2)
    out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(utf16le[i]) |
                                       static_cast<unsigned char>(utf16le[i + 1]) << 8));
  return out;
}

// The units as UTF-16LE bytes, lone surrogates replaced.
std::string Bytes(std::wstring_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = static_cast<uint32_t>(text[i]) & 0xFFFF;
    const bool high = c >= 0xD800 && c < 0xDC00;
    const bool pair = high && i + 1 < text.size() && (uint32_t(text[i + 1]) & 0xFC00) == 0xDC00;
    if ((c >= 0xD800 && c < 0xE000) && !pair) c = 0xFFFD;
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
    if (pair) {
      uint32_t low = static_cast<uint32_t>(text[++i]) & 0xFFFF;
      out.push_back(static_cast<char>(low & 0xFF));
      out.push_back(static_cast<char>(low >> 8));
    }
  }
  return out;
}

std::wstring Widen(const char* code, std::string_view text) {
  Iconv cv("UTF-16LE", code);
  return Units(cv.Run(text, [](std::string& out, std::string_view) {
    out.append("\xFD\xFF", 2);
    return size_t(1);
  }));
}

std::string Narrow(const char* code, std::wstring_view text, bool* exact) {
  Iconv cv(code, "UTF-16LE");
  return cv.Run(Bytes(text), [exact](std::string& out, std::string_view rest) {
    out.push_back('?');
    if (exact) *exact = false;
    // A character is one unit, or two for a surrogate pair.
    const uint32_t c = static_cast<unsigned char>(rest[0]) | static_cast<unsigned char>(rest[1]) << 8;
    return size_t((c & 0xFC00) == 0xD800 && rest.size() >= 4 ? 4 : 2);
  });
}

}  // namespace

namespace qv {

std::wstring Utf8ToWide(std::string_view text) { return Widen("UTF-8", text); }
std::string WideToUtf8(std::wstring_view text) { return Narrow("UTF-8", text, nullptr); }
std::wstring AnsiToWide(std::string_view text) { return Widen("CP936", text); }
std::string WideToAnsi(std::wstring_view text) { return Narrow("CP936", text, nullptr); }
bool WideToAnsiExact(std::wstring_view text, std::string& out) {
  bool exact = true;
  out = Narrow("CP936", text, &exact);
  if (!exact) out.clear();
  return exact;
}

}  // namespace qv

int MultiByteToWideChar(UINT, DWORD, const char* text, int bytes, wchar_t* out, int room) {
  if (bytes <= 0) return 0;
  const std::wstring wide = qv::AnsiToWide(std::string_view(text, static_cast<size_t>(bytes)));
  if (wide.size() > static_cast<size_t>(room)) return 0;
  for (size_t i = 0; i < wide.size(); ++i) out[i] = wide[i];
  return static_cast<int>(wide.size());
}
