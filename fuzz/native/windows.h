#pragma once
// The few Win32 names the fuzzed readers' sources use, for the native fuzz build.
// Code pages go through iconv (the console's ANSI code page is 936); the file calls
// fail, as the fuzz targets hand their readers bytes rather than files.
#include <cstdint>
#include <cwctype>

typedef unsigned long DWORD;
typedef int BOOL;
typedef unsigned int UINT;
typedef void* HANDLE;
typedef union {
  struct {
    DWORD LowPart;
    long HighPart;
  };
  long long QuadPart;
} LARGE_INTEGER;

#define TRUE 1
#define FALSE 0
#define CP_ACP 0
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)))
#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 1u
#define FILE_SHARE_WRITE 2u
#define CREATE_ALWAYS 2u
#define OPEN_EXISTING 3u
#define FILE_ATTRIBUTE_NORMAL 0x80u

// Code page 936 to UTF-16 units (one per wchar_t); a byte that starts no character
// becomes U+FFFD. 0 when the units do not fit `room`.
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* text, int bytes, wchar_t* out,
                        int room);

inline DWORD CharLowerBuffW(wchar_t* text, DWORD length) {
  for (DWORD i = 0; i < length; ++i) text[i] = static_cast<wchar_t>(std::towlower(text[i]));
  return length;
}

inline HANDLE CreateFileW(const wchar_t*, DWORD, DWORD, void*, DWORD, DWORD, HANDLE) {
  return INVALID_HANDLE_VALUE;
}
inline BOOL CloseHandle(HANDLE) { return TRUE; }
inline BOOL GetFileSizeEx(HANDLE, LARGE_INTEGER*) { return FALSE; }
inline BOOL ReadFile(HANDLE, void*, DWORD, DWORD*, void*) { return FALSE; }
inline BOOL WriteFile(HANDLE, const void*, DWORD, DWORD*, void*) { return FALSE; }
inline void OutputDebugStringW(const wchar_t*) {}
