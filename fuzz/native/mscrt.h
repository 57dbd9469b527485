#pragma once
// The Microsoft C runtime's case-blind comparisons and mingw's C99 printf, for the
// native fuzz build.
#include <cctype>
#include <cstdio>
#include <cstddef>
#include <cwctype>

inline int _stricmp(const char* a, const char* b) {
  for (;; ++a, ++b) {
    const int x = std::tolower(static_cast<unsigned char>(*a)), y = std::tolower(static_cast<unsigned char>(*b));
    if (x != y || !x) return x - y;
  }
}

inline int _wcsnicmp(const wchar_t* a, const wchar_t* b, size_t n) {
  for (; n > 0; --n, ++a, ++b) {
    const int x = static_cast<int>(std::towlower(*a)), y = static_cast<int>(std::towlower(*b));
    if (x != y || !x) return x - y;
  }
  return 0;
}

#define __mingw_vsnprintf vsnprintf
