#include "integrity/CQvVerifyLoginDlg.h"

#include <mutex>

#include "console/CTmTelnet.h"
#include "controls/CUIResource.h"
#include "controls/RichEditLog.h"
#include "platform/TextConv.h"

namespace {

const DWORD kConnectLimitMs = 5000;
const DWORD kPromptLimitMs = 5000;
const DWORD kLoginLimitMs = 20000;
const COLORREF kRed = 0x0000FF;

}  // namespace

struct CQvVerifyLoginDlg::ResultTarget {
  std::mutex lock;
  HWND window = nullptr;
};

struct CQvVerifyLoginDlg::Job {
  std::shared_ptr<ResultTarget> target;
  std::string ip;
  LoginParams params;
};

CQvVerifyLoginDlg::CQvVerifyLoginDlg(const wchar_t* ip, const LoginParams& params)
    : CUiDialogImpl<CQvVerifyLoginDlg>(kLayoutId), m_ip(qv::OrEmpty(ip)), m_params(params) {}

CQvVerifyLoginDlg::~CQvVerifyLoginDlg() {
  Detach();
  if (::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

void CQvVerifyLoginDlg::Detach() {
  if (!m_target) return;
  std::lock_guard<std::mutex> hold(m_target->lock);
  m_target->window = nullptr;
}

LRESULT CQvVerifyLoginDlg::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  if (CommandItemOf(pnmh) == kItemClose) {
    EndDialog(IDOK);
  } else {
    bHandled = FALSE;  // Enter and Escape do nothing here
  }
  return 0;
}

LRESULT CQvVerifyLoginDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  m_log = RichEditCreate(GetViewHWnd(), kLog,
                         WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY |
                             ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                         CUIResource::GetSkinBitmap(), kLogScrollId);
  AppendLine(L"正在与", false, 0);
  AppendLine(m_ip.c_str(), false, kRed);
  AppendLine(L"建立连接......", false, 0);
  if (m_params.loginType != kLoginTelnet) {
    AppendLine(L"暂不支持SSH登录测试", true, 0);
    return 0;
  }
  m_target = std::make_shared<ResultTarget>();
  m_target->window = m_hWnd;
  auto* job = new Job{m_target, qv::WideToAnsi(m_ip), m_params};
  HANDLE thread = ::CreateThread(nullptr, 0, &CQvVerifyLoginDlg::LoginTestThreadProc, job, 0, nullptr);
  if (thread) {
    ::CloseHandle(thread);
  } else {
    delete job;
    AppendLine(L"测试登录失败，请重新确认登录参数", true, 0);
  }
  return 0;
}

LRESULT CQvVerifyLoginDlg::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  Detach();
  bHandled = FALSE;
  return 0;
}

LRESULT CQvVerifyLoginDlg::OnLoginResult(UINT, WPARAM wParam, LPARAM, BOOL&) {
  AppendLine(wParam == 1 ? L"测试登录成功，目标可以进行完整性监测" : L"测试登录失败，请重新确认登录参数", true, 0);
  return 0;
}

void CQvVerifyLoginDlg::AppendLine(const wchar_t* text, bool newLine, COLORREF colour) {
  if (!m_log) return;
  if (newLine) RichEditAppendNewLine(m_log);
  RichEditAppendText(m_log, text, FALSE, colour);
}

DWORD WINAPI CQvVerifyLoginDlg::LoginTestThreadProc(LPVOID param) {
  std::unique_ptr<Job> job(static_cast<Job*>(param));
  const int result = TelnetLogin(job->ip, job->params);
  std::lock_guard<std::mutex> hold(job->target->lock);
  if (job->target->window) ::PostMessageW(job->target->window, WM_VERIFY_LOGIN_RESULT, result == 1 ? 1 : 0, 0);
  return 0;
}

// User id at the login prompt, the login password at the first password prompt, then
// "enable" and the management password; only the privileged prompt counts as success.
int CQvVerifyLoginDlg::TelnetLogin(const std::string& ip, const LoginParams& params) {
  CTmTelnet telnet;
  if (telnet.Connect(ip.c_str(), params.port, kConnectLimitMs) != 0) return 0;
  const DWORD end = ::GetTickCount() + kLoginLimitMs;
  enum { kUser, kLogin, kPassword, kUserPrompt, kPrivileged, kError };
  const char* const prompts[] = {"Username:", "login:", "Password:", ">", "#", "% "};
  bool sentUser = false, sentLogin = false, sentEnable = false, sentManage = false;
  for (;;) {
    DWORD deadline = ::GetTickCount() + kPromptLimitMs;
    if (static_cast<LONG>(end - deadline) < 0) deadline = end;
    std::string reply;
    switch (telnet.WaitForAny(prompts, 6, deadline)) {
      case kUser:
      case kLogin:
        if (sentUser || sentLogin) return 0;
        sentUser = true;
        reply = qv::WideToAnsi(params.userId);
        break;
      case kPassword:
        if (!sentLogin) {
          sentLogin = true;
          reply = qv::WideToAnsi(params.loginId);
        } else if (sentEnable && !sentManage) {
          sentManage = true;
          reply = qv::WideToAnsi(params.manageId);
        } else {
          return 0;
        }
        break;
      case kUserPrompt:
        if (sentEnable || !sentLogin) return 0;
        sentEnable = true;
        reply = "enable";
        break;
      case kPrivileged:
        return sentLogin ? 1 : 0;
      default:  // an error line, the connection closed or the time is up
        return 0;
    }
    if (!telnet.SendLine(reply.c_str(), 1)) return 0;
  }
}
