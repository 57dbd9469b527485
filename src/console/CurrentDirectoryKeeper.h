#pragma once
// The process's current directory, put back when the keeper goes out of scope: the
// common dialogs move it to the folder chosen, and the report template is found
// through it.
#include <windows.h>

#include <vector>

class CurrentDirectoryKeeper {
 public:
  CurrentDirectoryKeeper() {
    DWORD size = ::GetCurrentDirectoryW(0, nullptr);
    m_dir.resize(size);
    if (!size || !::GetCurrentDirectoryW(size, &m_dir[0])) m_dir.clear();
  }
  ~CurrentDirectoryKeeper() {
    if (!m_dir.empty()) ::SetCurrentDirectoryW(m_dir.data());
  }
  CurrentDirectoryKeeper(const CurrentDirectoryKeeper&) = delete;
  CurrentDirectoryKeeper& operator=(const CurrentDirectoryKeeper&) = delete;

 private:
  std::vector<wchar_t> m_dir;
};
