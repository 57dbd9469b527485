#pragma once
// The console's first window: asks for a console user's name and password, checks
// them against the Users table and, on success, fills the current user (CurrentUser.h)
// and ends with 1; "退出" and the header's close button end it with 2. Escape and the
// close command do nothing. Layout 560.
#include <windows.h>

#include <string>

#include "controls/CEditEx.h"
#include "uiwin/CUiDialogImpl.h"
#include "uiwin/CWHRoundRectFrameHelper.h"
#include "uiwin/UiNotify.h"

class CLoginDlg : public CUiDialogImpl<CLoginDlg>, public CWHRoundRectFrameHelper<CLoginDlg> {
 public:
  enum : UINT {
    kLayoutId = 560,
    kItemLogin = 101,    // "登录"
    kItemExit = 102,     // "退出" and the header's close button
    kItemUserName = 103,  // host of the user-name box, and its control id
    kItemPassword = 104,
    kItemMessage = 105,  // the line that shows why a login failed
  };

  // settingsProblem: why the connection settings could not be read at start-up (empty
  // when they were); a failed connection names it, since it is then the likely cause.
  explicit CLoginDlg(std::wstring settingsProblem = std::wstring());

  // Tab moves to the other box with all its text selected; Enter logs in. Both keys
  // are consumed.
  BOOL PreTranslateMessage(MSG* pMsg) override;
  // Checks the boxes' texts against the database; ends the dialog with 1 on success.
  void Login();

  BEGIN_MSG_MAP_EX(CLoginDlg)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_COMMAND, OnUiCommand)
    CHAIN_MSG_MAP(CUiDialogImpl<CLoginDlg>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<CLoginDlg>)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    REFLECT_NOTIFICATIONS()
  END_MSG_MAP()

 private:
  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnInitDialog(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  void FocusBox(CEditEx& box);

  std::wstring m_settingsProblem;
  CEditEx m_userName;
  CEditEx m_password;
  BOOL m_bUserNameFocused = FALSE;
  BOOL m_bPasswordFocused = FALSE;
};
