#pragma once
// The confirmation before a history copy is restored (layout 527): the target, the
// host with the copy's name, and the copy's time in three read-only fields. "确定"
// (139) ends it with 1, "取消" (140) with 2.
#include <windows.h>

#include <string>

#include "uiwin/CUiDialogImpl.h"
#include "uiwin/CWHRoundRectFrameHelper.h"
#include "uiwin/UiNotify.h"

class CQvSCWarningDlg : public CUiDialogImpl<CQvSCWarningDlg>, public CWHRoundRectFrameHelper<CQvSCWarningDlg> {
 public:
  enum : UINT { kLayoutId = 527, kItemOk = 139, kItemCancel = 140, kTarget = 141, kCopy = 142, kTime = 143 };

  CQvSCWarningDlg(const std::wstring& target, const std::wstring& host, const std::wstring& copyName,
                  const std::wstring& copyTime);

  BEGIN_MSG_MAP_EX(CQvSCWarningDlg)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_COMMAND, OnUiCommand)
    CHAIN_MSG_MAP(CUiDialogImpl<CQvSCWarningDlg>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<CQvSCWarningDlg>)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    REFLECT_NOTIFICATIONS()
  END_MSG_MAP()

 private:
  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnInitDialog(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);

  std::wstring m_target;
  std::wstring m_host;
  std::wstring m_copyName;
  std::wstring m_copyTime;
};
