#pragma once
// The page "升级管理" of the system-management area (layout 522): shows the running
// version and starts an update. Online update asks the deployment's update endpoint
// (UpdateUrl of SysServerPort.xml) through CAutoUpdater, with a status window up while
// it runs; once it has put a new version in place the page shows that version and
// starts no other update before the console is started again. Offline update only lets
// the user pick a package path and does nothing with it. Administrators only.
#include <windows.h>

#include <string>
#include <vector>

#include "controls/CEditEx.h"
#include "platform/MessageMap.h"
#include "uiwin/UiNotify.h"

class CUiDialogHost;

class CSMUpdateManagementUIHandler {
 public:
  enum : UINT {
    kOnline = 214,
    kOffline = 215,
    kPackagePath = 216,
    kBrowse = 217,
    kStart = 218,
    kVersionText = 239,
  };

  explicit CSMUpdateManagementUIHandler(CUiDialogHost* owner);
  ~CSMUpdateManagementUIHandler();
  CSMUpdateManagementUIHandler(const CSMUpdateManagementUIHandler&) = delete;
  CSMUpdateManagementUIHandler& operator=(const CSMUpdateManagementUIHandler&) = delete;

  int Init();
  int UnInit();

  BEGIN_MSG_MAP_EX(CSMUpdateManagementUIHandler)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_COMMAND, OnUiCommand)
  END_MSG_MAP()

  void OnBrowse();
  void OnStartUpdate();
  // "v" and the first three parts of a version; empty for no version.
  static std::wstring VersionLabel(const std::wstring& version);
  // The lines the status window showed in the last online update.
  const std::vector<std::wstring>& LastStatus() const { return m_lastStatus; }

 private:
  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);

  CUiDialogHost* m_owner;
  CEditEx m_packagePath;
  std::vector<std::wstring> m_lastStatus;
  // The version put in place by this run ("v1.2"), which starts with the next start.
  std::wstring m_installed;
};
