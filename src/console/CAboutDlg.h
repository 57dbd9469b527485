#pragma once
// The about box of the tray menu's "关于...": the product's title and the maker's
// line; "确定" and the header's close button (both element 101) end it with 2. Enter
// and Escape reach it as the elements 1 and 2, which it leaves alone. Layout 557.
#include <windows.h>

#include "uiwin/CUiDialogImpl.h"
#include "uiwin/CWHRoundRectFrameHelper.h"
#include "uiwin/UiNotify.h"

class CAboutDlg : public CUiDialogImpl<CAboutDlg>, public CWHRoundRectFrameHelper<CAboutDlg> {
 public:
  enum : UINT { kLayoutId = 557, kItemClose = 101 };

  CAboutDlg() : CUiDialogImpl<CAboutDlg>(kLayoutId) {}

  BEGIN_MSG_MAP_EX(CAboutDlg)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_COMMAND, OnUiCommand)
    CHAIN_MSG_MAP(CUiDialogImpl<CAboutDlg>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<CAboutDlg>)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    REFLECT_NOTIFICATIONS()
  END_MSG_MAP()

 private:
  LRESULT OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
    if (reinterpret_cast<UINMCOMMAND*>(pnmh)->uItemID == kItemClose)
      EndDialog(IDCANCEL);
    else
      bHandled = FALSE;
    return 0;
  }
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) { return 0; }
};
