#include "reports/ReportFolders.h"

#include <string>

namespace {

class FindHandle {
 public:
  explicit FindHandle(HANDLE handle) : m_handle(handle) {}
  ~FindHandle() {
    if (m_handle != INVALID_HANDLE_VALUE) ::FindClose(m_handle);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  HANDLE Get() const { return m_handle; }

 private:
  HANDLE m_handle;
};

std::wstring WithSlash(std::wstring path) {
  if (path.empty() || path.back() != L'\\') path += L'\\';
  return path;
}

// The full path with separators made "\" and ending in one; empty when it has none.
std::wstring FullPath(const std::wstring& path) {
  DWORD n = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (!n) return std::wstring();
  std::wstring full(n, L'\0');
  n = ::GetFullPathNameW(path.c_str(), n, &full[0], nullptr);
  full.resize(n);
  while (full.size() > 1 && full.back() == L'\\') full.pop_back();
  return WithSlash(full);
}

bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix) {
  return text.size() >= prefix.size() &&
         ::CompareStringOrdinal(text.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                                static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL;
}

BOOL CopyWritable(const std::wstring& from, const std::wstring& to) {
  if (!::CopyFileW(from.c_str(), to.c_str(), FALSE)) return FALSE;
  const DWORD attributes = ::GetFileAttributesW(to.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    ::SetFileAttributesW(to.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  return TRUE;
}

}  // namespace

BOOL CopyFolder(LPCWSTR source, LPCWSTR target) {
  if (!source || !target || !FolderExists(source)) return FALSE;
  const std::wstring from = WithSlash(source);
  const std::wstring to = WithSlash(target);
  const std::wstring fullFrom = FullPath(from);
  const std::wstring fullTo = FullPath(to);
  if (fullFrom.empty() || fullTo.empty()) return FALSE;
  if (fullFrom.size() == fullTo.size() && StartsWithNoCase(fullTo, fullFrom)) return TRUE;
  if (StartsWithNoCase(fullTo, fullFrom)) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!FolderExists(to.c_str()) && !::CreateDirectoryW(to.c_str(), nullptr)) return FALSE;

  WIN32_FIND_DATAW entry;
  FindHandle find(::FindFirstFileW((from + L"*.*").c_str(), &entry));
  if (find.Get() == INVALID_HANDLE_VALUE) return FALSE;
  do {
    const std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    const BOOL copied = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                            ? CopyFolder((from + name).c_str(), (to + name).c_str())
                            : CopyWritable(from + name, to + name);
    if (!copied) return FALSE;
  } while (::FindNextFileW(find.Get(), &entry));
  return ::GetLastError() == ERROR_NO_MORE_FILES;
}

BOOL FolderExists(LPCWSTR path) {
  if (!path || !*path) return FALSE;
  const DWORD attributes = ::GetFileAttributesW(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}
