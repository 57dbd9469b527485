#pragma once
// The device login test (layout 535): shows that it connects to the device, logs in on a
// worker thread by the chosen method and appends the outcome when the thread reports
// it. The thread works on copies of the address and credentials and reports only while
// the dialog's window exists, so closing the dialog early never waits for it.
#include <windows.h>

#include <memory>
#include <string>

#include "uiwin/CUiDialogImpl.h"
#include "uiwin/CWHRoundRectFrameHelper.h"
#include "uiwin/UiNotify.h"

class CQvVerifyLoginDlg : public CUiDialogImpl<CQvVerifyLoginDlg>,
                          public CWHRoundRectFrameHelper<CQvVerifyLoginDlg> {
 public:
  enum : UINT {
    kLayoutId = 535,
    kItemClose = 101,
    kLog = 102,
    kLogScrollId = 103,
    WM_VERIFY_LOGIN_RESULT = 1552,
  };
  enum : DWORD { kLoginTelnet = 0, kLoginSsh = 1 };
  enum : unsigned short { kTelnetPort = 23 };

  // What the thread needs, copied at construction.
  struct LoginParams {
    DWORD loginType = kLoginTelnet;
    std::wstring userId, loginId, manageId;
    unsigned short port = kTelnetPort;
  };
  // The window the thread may post to; cleared when the window goes.
  struct ResultTarget;

  CQvVerifyLoginDlg(const wchar_t* ip, const LoginParams& params);
  ~CQvVerifyLoginDlg() override;

  BEGIN_MSG_MAP_EX(CQvVerifyLoginDlg)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_COMMAND, OnUiCommand)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_VERIFY_LOGIN_RESULT, OnLoginResult)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    CHAIN_MSG_MAP(CUiDialogImpl<CQvVerifyLoginDlg>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<CQvVerifyLoginDlg>)
    REFLECT_NOTIFICATIONS()
  END_MSG_MAP()

  BOOL PreTranslateMessage(MSG*) { return FALSE; }
  HWND Log() const { return m_log; }

  // The Telnet login itself: 1 when it ends at a privileged prompt.
  static int TelnetLogin(const std::string& ip, const LoginParams& params);

 private:
  struct Job;
  static DWORD WINAPI LoginTestThreadProc(LPVOID job);

  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnInitDialog(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnLoginResult(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  void AppendLine(const wchar_t* text, bool newLine, COLORREF colour);
  void Detach();

  std::wstring m_ip;
  LoginParams m_params;
  HWND m_log = nullptr;
  std::shared_ptr<ResultTarget> m_target;
};
