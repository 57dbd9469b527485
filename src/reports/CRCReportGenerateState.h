#pragma once
// The progress of a report generation ("简报生成对话框", layout 548): the stages of one
// generation as lines of a read-only rich-edit box, its end told as success or, with the
// failure flag, in red; "关闭" ends it with 1. Nothing opens it: the output-settings
// dialog generates without showing progress.
#include <windows.h>

#include <string>

#include "uiwin/CUiDialogImpl.h"
#include "uiwin/CWHRoundRectFrameHelper.h"
#include "uiwin/UiNotify.h"

class CRCReportGenerateState : public CUiDialogImpl<CRCReportGenerateState>,
                               public CWHRoundRectFrameHelper<CRCReportGenerateState> {
 public:
  enum : UINT { kLayoutId = 548, kLogBox = 1107, kLogScrollSkin = 1470, kItemClose = 1212 };

  CRCReportGenerateState(LPCWSTR reportName, BOOL failed);

  BEGIN_MSG_MAP_EX(CRCReportGenerateState)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_COMMAND, OnUiCommand)
    CHAIN_MSG_MAP(CUiDialogImpl<CRCReportGenerateState>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<CRCReportGenerateState>)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  END_MSG_MAP()

  HWND LogBox() const { return m_logBox; }

 private:
  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnInitDialog(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);

  std::wstring m_reportName;
  BOOL m_failed;
  HWND m_logBox = nullptr;
};
