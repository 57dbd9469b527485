#include "reports/ReportFolders.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

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

// What stayed out of the new report: the user's entries, and earlier copies of the
// report's own files that could not be removed (paths from the top).
struct Stayed {
  std::vector<StayedEntry> mine, own;
};

// What the user keeps in a report folder besides the report's own files goes into
// its new version, and the earlier copies of the report's files go. Nothing else is
// deleted: an entry that cannot move, or that the new version holds under its name as
// the other kind, stays and is noted (`below` is the path of `from` from the top,
// with its "\"); so is a copy of the report's own file that cannot be removed, apart,
// since nothing of the user's is in it.
void MoveMissing(const std::wstring& from, const std::wstring& to, const std::wstring& below, Stayed& stayed) {
  const bool listed = ForEachEntry(from, [&](const std::wstring& name, bool isFolder) {
    const std::wstring source = from + name, target = to + name;
    const DWORD there = ::GetFileAttributesW(target.c_str());
    if (there == INVALID_FILE_ATTRIBUTES) {
      if (!::MoveFileW(source.c_str(), target.c_str())) stayed.mine.push_back({below + name, ::GetLastError()});
    } else if (isFolder != ((there & FILE_ATTRIBUTE_DIRECTORY) != 0)) {
      stayed.mine.push_back({below + name, ERROR_ALREADY_EXISTS});
    } else if (isFolder) {
      MoveMissing(WithSlash(source), WithSlash(target), below + name + L"\\", stayed);
      ::RemoveDirectoryW(source.c_str());  // stays when something in it did
    } else {
      ::SetFileAttributesW(source.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (!::DeleteFileW(source.c_str())) stayed.own.push_back({below + name, ::GetLastError()});
    }
    return true;
  });
  // What a listing that broke off did not reach stays; the folder names it.
  if (!listed) stayed.mine.push_back({below.empty() ? below : below.substr(0, below.size() - 1), ::GetLastError()});
}

// The folder part of path with its "\" ("." when it has none).
std::wstring ParentOf(const std::wstring& path) {
  std::wstring parent = path;
  while (!parent.empty() && (parent.back() == L'\\' || parent.back() == L'/')) parent.pop_back();
  const size_t slash = parent.find_last_of(L"\\/");
  return slash == std::wstring::npos ? L".\\" : parent.substr(0, slash + 1);
}

const wchar_t kBesidePrefix[] = L"qvr";
const size_t kBesideNameLength = 11;  // the prefix, four hex digits, ".tmp"

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

size_t LongestEntry(const std::wstring& folder) {
  size_t longest = 0;
  if (!FolderExists(folder.c_str())) return longest;
  const std::wstring from = WithSlash(folder);
  ForEachEntry(from, [&](const std::wstring& name, bool isFolder) {
    const size_t below = isFolder ? LongestEntry(from + name) : 0;
    longest = std::max(longest, name.size() + 1 + below);
    return true;
  });
  return longest;
}

size_t BesideLength(const std::wstring& path) { return ParentOf(path).size() + kBesideNameLength; }

std::wstring MakeFolderBeside(const std::wstring& path) {
  DWORD error = 0;
  const std::wstring made = FileReplacement::CreateUniqueFolder(ParentOf(path), kBesidePrefix, &error);
  if (made.empty()) ::SetLastError(error);
  return made;
}

BOOL ReplaceFolder(LPCWSTR made, LPCWSTR target, FolderReplacement* outcome) {
  FolderReplacement ignored;
  FolderReplacement& result = outcome ? *outcome : ignored;
  result = FolderReplacement();
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
    if (!::MoveFileW(old.c_str(), target)) result.earlierIn = old;  // for the caller to name
    ::SetLastError(error);
    return FALSE;
  }
  Stayed stayed;
  MoveMissing(WithSlash(old), WithSlash(target), std::wstring(), stayed);
  if (::RemoveDirectoryW(old.c_str())) return TRUE;
  // What stayed is beside the report, for the caller to name, each with its reason.
  const auto byPath = [](const StayedEntry& a, const StayedEntry& b) { return a.path < b.path; };
  for (auto* list : {&stayed.mine, &stayed.own}) {
    std::sort(list->begin(), list->end(), byPath);
    for (StayedEntry& entry : *list)
      if (!entry.error) entry.error = ERROR_GEN_FAILURE;
  }
  result.leftIn = old;
  result.left = std::move(stayed.mine);
  result.undeleted = std::move(stayed.own);
  return TRUE;
}
