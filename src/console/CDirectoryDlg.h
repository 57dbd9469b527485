#pragma once
// The remote directory picker: a monitored host's drives and directories, or the
// directories below a starting directory; OK returns the checked directory's path
// (C: for a drive, C:\Windows below it).
#include "console/CRemotePathDlg.h"

class CDirectoryDlg : public CRemotePathDlg<CDirectoryDlg> {
 public:
  // path: in, the starting directory (empty: the host's drives); out, the choice.
  CDirectoryDlg(const std::wstring& host, std::wstring* path, const wchar_t* title = nullptr)
      : CRemotePathDlg(host, path, path ? *path : std::wstring(), title, false) {}
};
