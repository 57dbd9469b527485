#include "console/SystemErrorText.h"

#include <wininet.h>

#include "platform/WideFormat.h"

namespace {

// One FormatMessageW into a buffer the system allocates; the length, 0 for none.
int Lookup(DWORD source, LPCVOID module, DWORD code, std::wstring& text) {
  LPWSTR buffer = nullptr;
  DWORD n = ::FormatMessageW(source | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
                             module, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                             reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
  if (n && buffer) text.assign(buffer, n);
  if (buffer) ::LocalFree(buffer);
  return n && buffer ? static_cast<int>(n) : 0;
}

}  // namespace

int GetSystemErrorText(DWORD code, std::wstring& text) {
  text.clear();
  int n = Lookup(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code, text);
  if (n) return n;
  // Network and WinINet error codes live in message modules of their own.
  const bool internet = code >= INTERNET_ERROR_BASE && code <= INTERNET_ERROR_LAST;
  HMODULE module = ::LoadLibraryExW(internet ? L"wininet.dll" : L"netmsg.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return 0;
  n = Lookup(FORMAT_MESSAGE_FROM_HMODULE, module, code, text);
  ::FreeLibrary(module);
  return n;
}

std::wstring SystemErrorLine(DWORD code) {
  std::wstring why;
  if (!GetSystemErrorText(code, why)) return qv::FormatW(L"错误代码 %lu", static_cast<unsigned long>(code));
  while (!why.empty() && (why.back() == L'\r' || why.back() == L'\n' || why.back() == L' ')) why.pop_back();
  return why;
}

std::wstring WriteFailureText(const std::wstring& path, DWORD code) {
  return qv::FormatW(L"写入文件“%ls”时出错：%ls", path, SystemErrorLine(code));
}
