#pragma once
// "密码选项" (layout 534): asks for a console account's password twice. It starts with
// the current password in both boxes; OK stores the new one in the caller's text and
// ends with 1, cancel ends with 2. Tab moves between the two boxes, Enter is OK.
#include <windows.h>

#include <string>

#include "controls/CEditEx.h"
#include "uiwin/CUiDialogImpl.h"
#include "uiwin/CWHRoundRectFrameHelper.h"
#include "uiwin/UiNotify.h"

class CSMUMPasswordDlg : public CUiDialogImpl<CSMUMPasswordDlg>,
                         public CWHRoundRectFrameHelper<CSMUMPasswordDlg> {
 public:
  enum : UINT {
    kLayoutId = 534,
    kItemOk = 101,
    kItemCancel = 102,
    kItemPassword = 103,
    kItemConfirm = 104,
  };
  static const int kPasswordChars = 20;

  // password: in, the current one; out, the new one after OK.
  explicit CSMUMPasswordDlg(std::wstring& password);

  BOOL PreTranslateMessage(MSG* pMsg) override;
  void OnOK();

  BEGIN_MSG_MAP_EX(CSMUMPasswordDlg)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_COMMAND, OnUiCommand)
    CHAIN_MSG_MAP(CUiDialogImpl<CSMUMPasswordDlg>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<CSMUMPasswordDlg>)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    REFLECT_NOTIFICATIONS()
  END_MSG_MAP()

 private:
  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnInitDialog(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  void FocusBox(CEditEx& box);

  std::wstring& m_password;
  CEditEx m_first;
  CEditEx m_second;
};
