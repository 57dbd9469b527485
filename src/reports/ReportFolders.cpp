#include "reports/ReportFolders.h"

#include <string>

#include "platform/FileReplacement.h"

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

// Written whole or not at all, as a new file without the read-only mark.
BOOL CopyWritable(const std::wstring& from, const std::wstring& to) {
  DWORD error = 0;
  if (FileReplacement::CopyWhole(from, to, &error)) return TRUE;
  ::SetLastError(error);
  return FALSE;
}

// Calls visit(name, isFolder) for each entry of folder (with its "\"); false when the
// listing could not be read whole or visit said false.
template <class Visit>
bool ForEachEntry(const std::wstring& folder, Visit visit) {
  WIN32_FIND_DATAW entry;
  FindHandle find(::FindFirstFileW((folder + L"*.*").c_str(), &entry));
  if (find.Get() == INVALID_HANDLE_VALUE) return false;
  do {
    const std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    if (!visit(name, (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)) return false;
  } while (::FindNextFileW(find.Get(), &entry));
  return ::GetLastError() == ERROR_NO_MORE_FILES;
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// What the user keeps in a report folder besides the report's own files goes into
// its new version.
bool MoveMissing(const std::wstring& from, const std::wstring& to) {
  return ForEachEntry(from, [&](const std::wstring& name, bool isFolder) {
    const std::wstring source = from + name, target = to + name;
    if (!Exists(target)) return ::MoveFileW(source.c_str(), target.c_str()) != FALSE;
    return !isFolder || !FolderExists(target.c_str()) || MoveMissing(WithSlash(source), WithSlash(target));
  });
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
  return ForEachEntry(from, [&](const std::wstring& name, bool isFolder) {
    return (isFolder ? CopyFolder((from + name).c_str(), (to + name).c_str()) : CopyWritable(from + name, to + name)) !=
           FALSE;
  });
}

BOOL FolderExists(LPCWSTR path) {
  if (!path || !*path) return FALSE;
  const DWORD attributes = ::GetFileAttributesW(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

BOOL RemoveFolder(LPCWSTR path) {
  if (!FolderExists(path)) return FALSE;
  const std::wstring folder = WithSlash(path);
  ForEachEntry(folder, [&](const std::wstring& name, bool isFolder) {
    const std::wstring entry = folder + name;
    if (isFolder) return RemoveFolder(entry.c_str()) != FALSE;
    ::SetFileAttributesW(entry.c_str(), FILE_ATTRIBUTE_NORMAL);
    return ::DeleteFileW(entry.c_str()) != FALSE;
  });
  return ::RemoveDirectoryW(path);
}

std::wstring MakeFolderBeside(const std::wstring& path) {
  std::wstring parent = path;
  while (!parent.empty() && (parent.back() == L'\\' || parent.back() == L'/')) parent.pop_back();
  const size_t slash = parent.find_last_of(L"\\/");
  parent = slash == std::wstring::npos ? L"." : parent.substr(0, slash + 1);
  wchar_t name[MAX_PATH] = L"";
  // The system's unique name, taken as a file and turned into a folder.
  if (!::GetTempFileNameW(parent.c_str(), L"qvr", 0, name)) return std::wstring();
  if (!::DeleteFileW(name) || !::CreateDirectoryW(name, nullptr)) return std::wstring();
  return name;
}

BOOL ReplaceFolder(LPCWSTR made, LPCWSTR target) {
  if (!FolderExists(target)) return ::MoveFileW(made, target);
  const std::wstring old = MakeFolderBeside(target);
  if (old.empty()) return FALSE;
  // The earlier folder steps aside by name, so that it comes back whole if the new one
  // cannot take its place.
  if (!::RemoveDirectoryW(old.c_str()) || !::MoveFileW(target, old.c_str())) {
    const DWORD error = ::GetLastError();
    ::RemoveDirectoryW(old.c_str());
    ::SetLastError(error);
    return FALSE;
  }
  if (!::MoveFileW(made, target)) {
    const DWORD error = ::GetLastError();
    ::MoveFileW(old.c_str(), target);
    ::SetLastError(error);
    return FALSE;
  }
  // Left where it is when something of the user's could not move over.
  if (MoveMissing(WithSlash(old), WithSlash(target))) RemoveFolder(old.c_str());
  return TRUE;
}
