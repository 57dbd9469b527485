#include "platform/WideFormat.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <cwchar>

#include "platform/DebugReport.h"
#include "platform/TextConv.h"

namespace qv {
namespace {

struct Conversion {
  std::string flags;
  int width = -1;
  int precision = -1;
  enum { kDefault, kShort, kChar, kLong, kLongLong, kWideText, kNarrowText } length = kDefault;
  wchar_t conversion = 0;
};

class Formatter {
 public:
  Formatter(const FormatArg* args, size_t count) : args_(args), count_(count) {}

  std::wstring Run(const wchar_t* f) {
    std::wstring out;
    if (!f) return out;
    while (*f) {
      if (*f != L'%') {
        out += *f++;
        continue;
      }
      ++f;
      if (*f == L'%') {
        out += L'%';
        ++f;
        continue;
      }
      Conversion cv;
      f = ParseConversion(f, cv);
      if (!cv.conversion) {
        Mismatch("incomplete conversion");
        break;
      }
      out += Convert(cv);
    }
    if (next_ < count_) Mismatch("unused format arguments");
    return out;
  }

 private:
  const wchar_t* ParseConversion(const wchar_t* f, Conversion& cv) {
    while (*f && std::wcschr(L"-+ #0", *f)) cv.flags += static_cast<char>(*f++);
    if (*f == L'*') {
      ++f;
      const FormatArg* a = Next();
      cv.width = (a && (a->kind() == FormatArg::kInt || a->kind() == FormatArg::kUInt))
                       ? static_cast<int>(a->integer()) : (Mismatch("width"), 0);
      if (cv.width < 0) {
        cv.flags += '-';
        cv.width = -cv.width;
      }
    } else {
      while (*f >= L'0' && *f <= L'9') cv.width = (cv.width < 0 ? 0 : cv.width * 10) + (*f++ - L'0');
    }
    if (*f == L'.') {
      ++f;
      cv.precision = 0;
      if (*f == L'*') {
        ++f;
        const FormatArg* a = Next();
        cv.precision = (a && (a->kind() == FormatArg::kInt || a->kind() == FormatArg::kUInt))
                             ? static_cast<int>(a->integer()) : (Mismatch("precision"), 0);
      } else {
        while (*f >= L'0' && *f <= L'9') cv.precision = cv.precision * 10 + (*f++ - L'0');
      }
    }
    if (f[0] == L'I' && f[1] == L'6' && f[2] == L'4') {
      cv.length = Conversion::kLongLong;
      f += 3;
    } else if (f[0] == L'I' && f[1] == L'3' && f[2] == L'2') {
      f += 3;
    } else if (f[0] == L'h' && f[1] == L'h') {
      cv.length = Conversion::kChar;
      f += 2;
    } else if (f[0] == L'l' && f[1] == L'l') {
      cv.length = Conversion::kLongLong;
      f += 2;
    } else if (*f == L'h') {
      cv.length = Conversion::kShort;
      ++f;
    } else if (*f == L'l' || *f == L'w') {
      cv.length = Conversion::kLong;
      ++f;
    } else if (*f == L'L' || *f == L'z' || *f == L'j' || *f == L't') {
      cv.length = (*f == L'j') ? Conversion::kLongLong : Conversion::kDefault;
      ++f;
    }
    if (*f) cv.conversion = *f++;
    return f;
  }

  const FormatArg* Next() {
    if (next_ >= count_) {
      Mismatch("missing format argument");
      return nullptr;
    }
    return &args_[next_++];
  }

  void Mismatch(const char* what) { DebugReport(std::string("format: ") + what, "WideFormat", 0); }

  static bool IsInteger(const FormatArg* a) {
    return a && (a->kind() == FormatArg::kInt || a->kind() == FormatArg::kUInt);
  }

  std::wstring Pad(std::wstring text, const Conversion& cv) {
    if (cv.width > 0 && static_cast<int>(text.size()) < cv.width) {
      std::wstring fill(static_cast<size_t>(cv.width) - text.size(), L' ');
      text = cv.flags.find('-') != std::string::npos ? text + fill : fill + text;
    }
    return text;
  }

  std::wstring Number(const Conversion& cv, const char* conv, const char* length, ...) {
    std::string f = "%" + cv.flags;
    if (cv.width >= 0) f += std::to_string(cv.width);
    if (cv.precision >= 0) f += "." + std::to_string(cv.precision);
    f += length;
    f += conv;
    char buf[512];
    va_list ap;
    va_start(ap, length);
    int n = __mingw_vsnprintf(buf, sizeof buf, f.c_str(), ap);
    va_end(ap);
    if (n < 0) return std::wstring();
    if (n >= static_cast<int>(sizeof buf)) n = sizeof buf - 1;
    return std::wstring(buf, buf + n);
  }

  std::wstring Convert(const Conversion& cv) {
    wchar_t c = cv.conversion;
    const char conv[2] = {static_cast<char>(c), 0};
    switch (c) {
      case L'd':
      case L'i': {
        const FormatArg* a = Next();
        if (!IsInteger(a)) return Mismatch("integer expected"), std::wstring();
        long long v = a->integer();
        if (cv.length == Conversion::kShort) v = static_cast<short>(v);
        else if (cv.length == Conversion::kChar) v = static_cast<signed char>(v);
        else if (cv.length != Conversion::kLongLong) v = static_cast<int>(v);
        return Number(cv, "d", "ll", v);
      }
      case L'u':
      case L'x':
      case L'X':
      case L'o': {
        const FormatArg* a = Next();
        if (!IsInteger(a)) return Mismatch("integer expected"), std::wstring();
        unsigned long long v = static_cast<unsigned long long>(a->integer());
        if (cv.length == Conversion::kShort) v = static_cast<unsigned short>(v);
        else if (cv.length == Conversion::kChar) v = static_cast<unsigned char>(v);
        else if (cv.length != Conversion::kLongLong) v = static_cast<unsigned int>(v);
        return Number(cv, conv, "ll", v);
      }
      case L'e': case L'E': case L'f': case L'F': case L'g': case L'G': case L'a': case L'A': {
        const FormatArg* a = Next();
        if (!a || a->kind() != FormatArg::kFloat) return Mismatch("floating point expected"), std::wstring();
        return Number(cv, conv, "", a->real());
      }
      case L'c':
      case L'C': {
        const FormatArg* a = Next();
        if (!IsInteger(a)) return Mismatch("character expected"), std::wstring();
        bool narrow = (c == L'C') ? cv.length != Conversion::kLong : cv.length == Conversion::kShort;
        std::wstring ch;
        if (narrow) {
          char b = static_cast<char>(a->integer());
          ch = AnsiToWide(std::string_view(&b, 1));
        } else {
          ch.assign(1, static_cast<wchar_t>(a->integer()));
        }
        return Pad(ch, cv);
      }
      case L's':
      case L'S': {
        const FormatArg* a = Next();
        bool narrow = (c == L'S') ? cv.length != Conversion::kLong : cv.length == Conversion::kShort;
        std::wstring text;
        if (!a) return std::wstring();
        if (narrow) {
          if (a->kind() != FormatArg::kNarrow) return Mismatch("narrow text expected"), std::wstring();
          text = a->narrow() ? AnsiToWide(a->narrow()) : L"(null)";
        } else {
          if (a->kind() != FormatArg::kWide) return Mismatch("wide text expected"), std::wstring();
          text = a->wide() ? a->wide() : L"(null)";
        }
        if (cv.precision >= 0 && static_cast<int>(text.size()) > cv.precision)
          text.resize(static_cast<size_t>(cv.precision));
        return Pad(text, cv);
      }
      case L'p': {
        const FormatArg* a = Next();
        if (!a || (a->kind() != FormatArg::kPointer && a->kind() != FormatArg::kWide &&
                   a->kind() != FormatArg::kNarrow))
          return Mismatch("pointer expected"), std::wstring();
        char buf[32];
        std::snprintf(buf, sizeof buf, "%08lX",
                      static_cast<unsigned long>(reinterpret_cast<uintptr_t>(a->pointer())));
        return Pad(std::wstring(buf, buf + std::strlen(buf)), cv);
      }
      default:
        Mismatch("unsupported conversion");
        return std::wstring();
    }
  }

  const FormatArg* args_;
  size_t count_;
  size_t next_ = 0;
};

}  // namespace

std::wstring FormatWArgs(const wchar_t* format, const FormatArg* args, size_t count) {
  return Formatter(args, count).Run(format);
}

}  // namespace qv
