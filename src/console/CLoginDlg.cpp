#include "console/CLoginDlg.h"

#include <string>
#include <utility>
#include <vector>

#include "console/ConnectOrTell.h"
#include "console/CurrentUser.h"
#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"
#include "console/SingleInstance.h"
#include "console/SysServerPortConfig.h"
#include "platform/TextConv.h"
#include "uiwin/UiMessageBox.h"

namespace {

const wchar_t kUserQuery[] = L"select password,comment,id,type,permission from Users where name=?";

const wchar_t kExtraChars[] = L"_";
const int kUserNameChars = 10;
const int kPasswordChars = 20;

std::wstring BoxText(HWND box) {
  std::vector<wchar_t> text(::GetWindowTextLengthW(box) + 1, L'\0');
  ::GetWindowTextW(box, text.data(), static_cast<int>(text.size()));
  return text.data();
}

using qv::OrEmpty;

}  // namespace

CLoginDlg::CLoginDlg(std::wstring settingsProblem)
    : CUiDialogImpl<CLoginDlg>(kLayoutId), m_settingsProblem(std::move(settingsProblem)) {}

LRESULT CLoginDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  const DWORD style = WS_CHILD | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
  m_userName.Create(GetViewHWnd(), nullptr, nullptr, style, 0, kItemUserName);
  m_userName.SetInputType(CEditEx::kLettersDigits, kExtraChars, 1);
  m_userName.SetLimits(kUserNameChars, 0, '0', FALSE);
  m_password.Create(GetViewHWnd(), nullptr, nullptr, style | ES_PASSWORD, 0, kItemPassword);
  m_password.SendMessage(EM_SETPASSWORDCHAR, L'*');
  m_password.SetInputType(CEditEx::kLettersDigits, kExtraChars, 1);
  m_password.SetLimits(kPasswordChars, 0, '0', FALSE);

  ::SetWindowTextW(m_userName, g_defaultUserName);
  ::SetWindowTextW(m_password, g_defaultUserName);
  FocusBox(m_userName);
  m_bUserNameFocused = TRUE;
  g_sharedInstanceWindow = m_hWnd;
  return FALSE;
}

// The whole text selected with the caret at its start, so that a box not yet given
// its size does not scroll its text out of sight.
void CLoginDlg::FocusBox(CEditEx& box) {
  ::SetFocus(box);
  box.SetSel(::GetWindowTextLengthW(box), 0);
}

BOOL CLoginDlg::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message != WM_KEYDOWN) return FALSE;
  if (pMsg->wParam == VK_TAB) {
    if (m_bUserNameFocused) {
      m_bUserNameFocused = FALSE;
      FocusBox(m_password);
      m_bPasswordFocused = TRUE;
    } else if (m_bPasswordFocused) {
      m_bPasswordFocused = FALSE;
      FocusBox(m_userName);
      m_bUserNameFocused = TRUE;
    }
    return TRUE;
  }
  if (pMsg->wParam == VK_RETURN) {
    Login();
    return TRUE;
  }
  return FALSE;
}

LRESULT CLoginDlg::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  switch (reinterpret_cast<UINMCOMMAND*>(pnmh)->uItemID) {
    case kItemExit:
      EndDialog(IDCANCEL);
      break;
    case kItemLogin:
      Login();
      break;
    default:
      bHandled = FALSE;
      break;
  }
  return 0;
}

void CLoginDlg::Login() {
  const std::wstring name = BoxText(m_userName);
  if (name.empty()) {
    UiMessageBox(L"请输入用户名", L"注意", MB_OK);
    return;
  }
  const std::wstring password = BoxText(m_password);
  if (password.empty()) {
    UiMessageBox(L"请输入密码", L"注意", MB_OK);
    return;
  }

  SQLServerLink link;
  std::wstring noConnection = kNoConnectionText;
  if (!m_settingsProblem.empty()) noConnection += L"\n" + m_settingsProblem;
  if (!ConnectOrTell(link, noConnection.c_str())) return;
  SQLStatement* statement = link.CreateStatement(kUserQuery);
  if (statement) statement->BindString(0, name.c_str());
  if (!statement || !statement->Fetch()) {
    // A query that failed says so: the user may well exist.
    if (!statement || statement->Failed()) {
      std::wstring error = OrEmpty(link.GetLastErrorText());
      link.ReleaseStatement(statement);
      link.Disconnect();
      TellError(error.c_str());
      return;
    }
    SetItemText(kItemMessage, L"该用户不存在");
    link.ReleaseStatement(statement);
    link.Disconnect();
    return;
  }

  if (password != OrEmpty(statement->GetString(0))) {
    SetItemText(kItemMessage, L"密码错误");
    link.ReleaseStatement(statement);
    link.Disconnect();
    return;
  }
  g_currentUserName = name;
  g_currentUserComment = OrEmpty(statement->GetString(1));
  g_currentUserId = statement->GetInt(2);
  g_currentUserType = statement->GetInt(3);
  g_currentUserPermission = statement->GetInt(4);
  link.ReleaseStatement(statement);
  link.Disconnect();
  EndDialog(IDOK);
}
