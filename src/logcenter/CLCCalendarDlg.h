#pragma once
// The date picker of the log pages: a month calendar; "确定" writes the chosen day as
// "YYYY-MM-DD 00:00:00" into the caller's text and ends with 1, "取消" ends with 2 and
// leaves the text alone. Layout 549.
#include <windows.h>

#include <string>

#include "platform/CWindow.h"
#include "uiwin/CUiDialogImpl.h"
#include "uiwin/CWHRoundRectFrameHelper.h"
#include "uiwin/UiNotify.h"

class CLCCalendarDlg : public CUiDialogImpl<CLCCalendarDlg>, public CWHRoundRectFrameHelper<CLCCalendarDlg> {
 public:
  enum : UINT { kLayoutId = 549, kCalendar = 1125, kItemOK = 1250, kItemCancel = 1251 };

  explicit CLCCalendarDlg(std::wstring& result);

  BEGIN_MSG_MAP_EX(CLCCalendarDlg)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_COMMAND, OnUiCommand)
    CHAIN_MSG_MAP(CUiDialogImpl<CLCCalendarDlg>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<CLCCalendarDlg>)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  END_MSG_MAP()

  void OnOK();

 private:
  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnInitDialog(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);

  CWindow m_calendar;  // a child of the view, destroyed with it
  std::wstring& m_result;
};
