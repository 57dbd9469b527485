#pragma once
// The remote file picker: a monitored host's drives, directories and files; OK returns
// the checked file's path, or for a drive or directory everything in it (C:\Windows\*).
#include "console/CRemotePathDlg.h"

class CFileDlg : public CRemotePathDlg<CFileDlg> {
 public:
  // path receives the choice; the browse always starts from the host's drives.
  CFileDlg(const std::wstring& host, std::wstring* path, const wchar_t* title = nullptr)
      : CRemotePathDlg(host, path, std::wstring(), title, true) {}
};
