#pragma once
// A file that takes its target's place only once it is whole on disk. The bytes go to
// a new file beside the target; every write is checked, then the file is flushed, its
// size read back, closed, and only then renamed over the target. Until then the target
// stays as it was; on a failure, or when the object ends without Commit, the new file
// is removed. A target marked read-only is refused (ERROR_ACCESS_DENIED), as Windows'
// own replace refuses it. The C runtime's streams are not used for this: under Wine
// fwrite and fclose report success for a buffered tail that a full disk lost.
#include <windows.h>

#include <string>
#include <string_view>

class FileReplacement {
 public:
  explicit FileReplacement(std::wstring target);
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // False once any step has failed; later writes do nothing.
  bool Write(std::string_view bytes);
  // Appends the bytes of another file.
  bool WriteFrom(const std::wstring& source);
  // Flushes, checks the size and renames the new file over the target. False leaves
  // the target as it was and the new file removed.
  bool Commit();
  // The new file is removed; the target stays as it was.
  void Discard();

  const std::wstring& Target() const { return m_target; }
  // The system's code for the first step that failed; 0 while none has.
  DWORD Error() const { return m_error; }

  // The whole file at once; false with *error set when it could not be written.
  static bool WriteWhole(const std::wstring& target, std::string_view bytes, DWORD* error = nullptr);
  // A copy of source in target's place.
  static bool CopyWhole(const std::wstring& source, const std::wstring& target, DWORD* error = nullptr);
  // A new, empty file of a name of its own in folder (prefix, four hex digits, ".tmp");
  // empty with *error set to the creation's own error when none could be made.
  static std::wstring CreateUnique(const std::wstring& folder, const wchar_t* prefix, DWORD* error = nullptr);
  // The same for a new, empty folder.
  static std::wstring CreateUniqueFolder(const std::wstring& folder, const wchar_t* prefix, DWORD* error = nullptr);
  // A file (not a folder) is at path: after a failed replacement, whether there is an
  // earlier file that stayed as it was.
  static bool IsFile(const std::wstring& path);
  // The file at path is marked read-only: Windows neither replaces nor removes it.
  static bool IsReadOnly(const std::wstring& path);

 private:
  bool Fail(DWORD error);

  std::wstring m_target;
  std::wstring m_temporary;
  HANDLE m_file = INVALID_HANDLE_VALUE;
  unsigned long long m_written = 0;
  DWORD m_error = 0;
};
