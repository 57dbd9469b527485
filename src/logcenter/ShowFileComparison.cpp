#include "logcenter/ShowFileComparison.h"

#include <windows.h>

#include <new>

#include "console/ShellServices.h"
#include "logcenter/CFileDiff.h"
#include "logcenter/CFilePartition.h"
#include "platform/FileHandle.h"
#include "platform/TextConv.h"
#include "platform/WideFormat.h"

namespace {

// A new, empty page file in the temporary folder; empty when none could be made.
std::wstring CreatePageFile() {
  wchar_t folder[MAX_PATH + 1];
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, folder);
  if (length == 0 || length > MAX_PATH) return std::wstring();
  const DWORD seed = ::GetTickCount() ^ (::GetCurrentProcessId() << 16);
  for (DWORD attempt = 0; attempt < 100; ++attempt) {
    std::wstring path = folder + qv::FormatW(L"QvCompare%08X.html", seed + attempt);
    FileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.h != INVALID_HANDLE_VALUE) return path;
    if (::GetLastError() != ERROR_FILE_EXISTS) break;
  }
  return std::wstring();
}

}  // namespace

int ShowFileComparison(const std::wstring& oldPath, const std::wstring& newPath) {
  try {
    CFilePartition oldFile, newFile, oldSide, newSide;
    if (!oldFile.Load(oldPath, CDiffOptions()) || !newFile.Load(newPath, CDiffOptions())) return 0;
    CFileDiff diff;
    diff.Compare(oldFile, newFile, oldSide, newSide);
    const std::string page = qv::WideToUtf8(diff.WriteHtml(oldSide, newSide));
    const std::wstring path = CreatePageFile();
    if (path.empty()) return 0;
    if (!CFileDiff::SaveToFile(path, page)) {
      ::DeleteFileW(path.c_str());  // the name it held, empty
      return 0;
    }
    return ShellServices::Current().OpenPath(path) ? 1 : 0;
  } catch (const std::bad_alloc&) {  // two files near the size limit in a 32-bit process
    return 0;
  }
}
