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
// Files are never written natively: every step fails as on a disk that takes nothing.
#define MAX_PATH 260
#define ERROR_INVALID_HANDLE 6u
#define ERROR_WRITE_FAULT 29u
#define ERROR_DISK_FULL 112u
#define MOVEFILE_REPLACE_EXISTING 0x1u
#define MOVEFILE_WRITE_THROUGH 0x8u
#define ERROR_ACCESS_DENIED 5u
#define ERROR_SHARING_VIOLATION 32u
#define ERROR_FILE_EXISTS 80u
#define ERROR_CANNOT_MAKE 82u
#define ERROR_ALREADY_EXISTS 183u
#define CREATE_NEW 1u
#define FILE_ATTRIBUTE_READONLY 0x1u
#define FILE_ATTRIBUTE_DIRECTORY 0x10u
#define INVALID_FILE_ATTRIBUTES 0xFFFFFFFFu
inline DWORD GetLastError() { return ERROR_DISK_FULL; }
inline DWORD GetTickCount() { return 0; }
inline DWORD GetCurrentProcessId() { return 1; }
inline DWORD GetFileAttributesW(const wchar_t*) { return INVALID_FILE_ATTRIBUTES; }
inline BOOL FlushFileBuffers(HANDLE) { return FALSE; }
inline BOOL MoveFileExW(const wchar_t*, const wchar_t*, DWORD) { return FALSE; }
inline BOOL DeleteFileW(const wchar_t*) { return FALSE; }
inline BOOL CreateDirectoryW(const wchar_t*, void*) { return FALSE; }
inline void OutputDebugStringW(const wchar_t*) {}
