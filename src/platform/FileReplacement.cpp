#include "platform/FileReplacement.h"

#include <algorithm>
#include <vector>

#include "platform/FileHandle.h"
#include "platform/WideFormat.h"

namespace {

const DWORD kMostPerWrite = 1u << 24;

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return L".";
  // "C:\x" lives in "C:\", not in the drive's current folder "C:".
  return path.substr(0, slash == 0 || path[slash - 1] == L':' ? slash + 1 : slash);
}

// Names of its own in folder (prefix, four hex digits, ".tmp") are tried in turn until
// create(name) makes one. Made here rather than through GetTempFileNameW, which under
// Wine hands out a name even when it could not create the file: the error told is the
// creation's own. The name made, or empty with *error set.
template <class Create>
std::wstring MakeUnique(const std::wstring& folder, const wchar_t* prefix, DWORD* error, Create create) {
  const DWORD seed = ::GetTickCount() ^ (::GetCurrentProcessId() << 8);
  const bool separated = !folder.empty() && (folder.back() == L'\\' || folder.back() == L'/');
  DWORD failure = ERROR_CANNOT_MAKE;
  for (DWORD attempt = 0; attempt < 0x10000; ++attempt) {
    const DWORD unique = ((seed + attempt) & 0xFFFF) ? ((seed + attempt) & 0xFFFF) : 1;
    const std::wstring name = qv::FormatW(L"%ls%ls%ls%04lX.tmp", folder, separated ? L"" : L"\\", prefix,
                                          static_cast<unsigned long>(unique));
    if (create(name)) return name;
    failure = ::GetLastError();
    if (failure != ERROR_FILE_EXISTS && failure != ERROR_ALREADY_EXISTS && failure != ERROR_SHARING_VIOLATION) break;
  }
  if (error) *error = failure ? failure : ERROR_CANNOT_MAKE;
  return std::wstring();
}

// A new file of a name of its own, open for writing; INVALID_HANDLE_VALUE when none
// could be made.
HANDLE CreateNew(const std::wstring& folder, const wchar_t* prefix, std::wstring& path, DWORD& error) {
  HANDLE file = INVALID_HANDLE_VALUE;
  path = MakeUnique(folder, prefix, &error, [&](const std::wstring& name) {
    file = ::CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
    return file != INVALID_HANDLE_VALUE;
  });
  return file;
}

}  // namespace

FileReplacement::FileReplacement(std::wstring target) : m_target(std::move(target)) {
  // A name of its own in the target's folder, so that the last step is a rename on
  // one volume and nothing of another file is touched.
  DWORD error = 0;
  m_file = CreateNew(FolderOf(m_target), L"qv", m_temporary, error);
  if (m_file == INVALID_HANDLE_VALUE) Fail(error);
}

std::wstring FileReplacement::CreateUnique(const std::wstring& folder, const wchar_t* prefix, DWORD* error) {
  std::wstring path;
  DWORD failure = 0;
  const HANDLE file = CreateNew(folder, prefix, path, failure);
  if (file == INVALID_HANDLE_VALUE) {
    if (error) *error = failure;
    return std::wstring();
  }
  ::CloseHandle(file);
  return path;
}

std::wstring FileReplacement::CreateUniqueFolder(const std::wstring& folder, const wchar_t* prefix, DWORD* error) {
  return MakeUnique(folder, prefix, error,
                    [](const std::wstring& name) { return ::CreateDirectoryW(name.c_str(), nullptr) != FALSE; });
}

bool FileReplacement::IsFile(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileReplacement::IsReadOnly(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

FileReplacement::~FileReplacement() { Discard(); }

bool FileReplacement::Fail(DWORD error) {
  if (!m_error) m_error = error ? error : ERROR_WRITE_FAULT;
  Discard();
  return false;
}

bool FileReplacement::Write(std::string_view bytes) {
  if (m_error || m_file == INVALID_HANDLE_VALUE) return Fail(ERROR_INVALID_HANDLE);
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), kMostPerWrite));
    DWORD written = 0;
    if (!::WriteFile(m_file, bytes.data(), chunk, &written, nullptr)) return Fail(::GetLastError());
    if (written == 0) return Fail(ERROR_DISK_FULL);  // a write that takes nothing takes nothing more
    bytes.remove_prefix(written);
    m_written += written;
  }
  return true;
}

bool FileReplacement::WriteFrom(const std::wstring& source) {
  if (m_error) return false;
  FileHandle in(::CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (in.h == INVALID_HANDLE_VALUE) return Fail(::GetLastError());
  std::vector<char> block(64 * 1024);
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(in.h, block.data(), static_cast<DWORD>(block.size()), &got, nullptr)) return Fail(::GetLastError());
    if (got == 0) return true;
    if (!Write(std::string_view(block.data(), got))) return false;
  }
}

bool FileReplacement::Commit() {
  if (m_error || m_file == INVALID_HANDLE_VALUE) return Fail(ERROR_INVALID_HANDLE);
  if (!::FlushFileBuffers(m_file)) return Fail(::GetLastError());
  // What the file system holds, not what the writes said they took.
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(m_file, &size)) return Fail(::GetLastError());
  if (static_cast<unsigned long long>(size.QuadPart) != m_written) return Fail(ERROR_WRITE_FAULT);
  const HANDLE file = m_file;
  m_file = INVALID_HANDLE_VALUE;
  if (!::CloseHandle(file)) return Fail(::GetLastError());
  // Windows will not rename over a read-only file; Wine would, and the mark would go.
  if (IsReadOnly(m_target)) return Fail(ERROR_ACCESS_DENIED);
  if (!::MoveFileExW(m_temporary.c_str(), m_target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return Fail(::GetLastError());
  m_temporary.clear();
  return true;
}

void FileReplacement::Discard() {
  if (m_file != INVALID_HANDLE_VALUE) {
    ::CloseHandle(m_file);
    m_file = INVALID_HANDLE_VALUE;
  }
  if (!m_temporary.empty()) {
    ::DeleteFileW(m_temporary.c_str());
    m_temporary.clear();
  }
}

bool FileReplacement::WriteWhole(const std::wstring& target, std::string_view bytes, DWORD* error) {
  FileReplacement file(target);
  const bool ok = file.Write(bytes) && file.Commit();
  if (error) *error = file.Error();
  return ok;
}

bool FileReplacement::CopyWhole(const std::wstring& source, const std::wstring& target, DWORD* error) {
  FileReplacement file(target);
  const bool ok = file.WriteFrom(source) && file.Commit();
  if (error) *error = file.Error();
  return ok;
}
