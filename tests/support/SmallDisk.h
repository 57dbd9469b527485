#pragma once
// A small file system of the suite's own, to fill so that writes fail as on a full
// disk: a tmpfs that ctest mounts for a suite whose CMakeLists.txt sets QV_SUITE_SMALL_FS
// (support/small-fs.sh), named by QV_SMALL_FS and reached through Wine's Z:.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/TextConv.h"
#include "support/ChildProcess.h"
#include "support/TestFiles.h"

namespace testenv {

class SmallDisk {
 public:
  // Path() is an empty folder on it; nothing else of the disk is in use.
  SmallDisk() {
    const char* unix = std::getenv("QV_SMALL_FS");
    if (!unix || !*unix) return;
    root_ = L"Z:";
    for (const char* p = unix; *p; ++p) root_ += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
    Clear(root_);
    ::CreateDirectoryW(Path().c_str(), nullptr);
  }
  ~SmallDisk() {
    if (!root_.empty()) Clear(root_);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool Mounted() const { return !root_.empty(); }
  std::wstring Path() const { return root_ + L"\\files"; }
  std::wstring File(const std::wstring& name) const { return Path() + L"\\" + name; }

  // Fills the disk until about `room` bytes are left (a page more at most).
  bool LeaveRoom(DWORD room) const {
    const std::wstring filler = root_ + L"\\filler";
    HANDLE f = ::CreateFileW(filler.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    std::string block(64 * 1024, 'f');
    for (DWORD size = static_cast<DWORD>(block.size()); size;) {
      DWORD written = 0;
      if (!::WriteFile(f, block.data(), size, &written, nullptr) || written < size) size /= 2;
    }
    const DWORD full = ::GetFileSize(f, nullptr);
    const bool ok = full > room && ::SetFilePointer(f, static_cast<LONG>(full - room), nullptr, FILE_BEGIN) !=
                                       INVALID_SET_FILE_POINTER && ::SetEndOfFile(f);
    ::CloseHandle(f);
    return ok;
  }

  // A file `name` of `bytes` put on the disk before it is filled to about `room` bytes
  // left: the earlier file that a write failing for room must leave as it was. Its path;
  // empty when it or the filling failed.
  std::wstring EarlierFile(const std::wstring& name, const std::string& bytes, DWORD room) const {
    const std::wstring path = File(name);
    return testfiles::WriteBytes(path, bytes) && LeaveRoom(room) ? path : std::wstring();
  }

  // Marks a folder of the disk immutable (frozen) or lifts the mark: nothing can be made
  // in it then, not even by root, as in a folder the user may not write to. The disk
  // goes with the mark when the suite ends, however the test ends.
  bool Freeze(const std::wstring& folder, bool frozen) const {
    ChildProcess chattr;
    DWORD code = 1;
    return folder.compare(0, root_.size(), root_) == 0 &&
           chattr.StartUnix(std::wstring(L"/usr/bin/chattr ") + (frozen ? L"+i" : L"-i") + L" \"" +
                            qv::Utf8ToWide(UnixPath(folder)) + L"\"") &&
           chattr.WaitExit(60000, &code) && code == 0;
  }

  // The names in a folder, sorted.
  static std::vector<std::wstring> Names(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
      const std::wstring name = entry.cFileName;
      if (name != L"." && name != L"..") names.push_back(name);
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  static void Clear(const std::wstring& folder) {
    for (const std::wstring& name : Names(folder)) {
      const std::wstring path = folder + L"\\" + name;
      ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (::GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) {
        Clear(path);
        ::RemoveDirectoryW(path.c_str());
      } else {
        ::DeleteFileW(path.c_str());
      }
    }
  }

  std::wstring root_;
};

}  // namespace testenv
