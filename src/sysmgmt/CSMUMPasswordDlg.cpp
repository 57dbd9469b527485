#include "sysmgmt/CSMUMPasswordDlg.h"

#include "uiwin/UiMessageBox.h"

CSMUMPasswordDlg::CSMUMPasswordDlg(std::wstring& password)
    : CUiDialogImpl<CSMUMPasswordDlg>(kLayoutId), m_password(password) {}

LRESULT CSMUMPasswordDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_PASSWORD;
  for (auto box : {std::make_pair(&m_first, kItemPassword), std::make_pair(&m_second, kItemConfirm)}) {
    box.first->Create(GetViewHWnd(), nullptr, nullptr, style, 0, box.second);
    box.first->SendMessage(EM_SETPASSWORDCHAR, L'*');
    box.first->SetInputType(CEditEx::kLettersDigits, L"_", 1);
    box.first->SetLimits(kPasswordChars, 0, '0', FALSE);
    box.first->SetInputMode(CEditEx::kFirstLetter);
    box.first->SetWindowText(m_password.c_str());
  }
  FocusBox(m_first);
  return FALSE;
}

void CSMUMPasswordDlg::FocusBox(CEditEx& box) {
  ::SetFocus(box);
  box.SetSel(0, -1);
}

BOOL CSMUMPasswordDlg::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message != WM_KEYDOWN) return FALSE;
  if (pMsg->wParam == VK_TAB)
    FocusBox(::GetFocus() == m_first.m_hWnd ? m_second : m_first);
  else if (pMsg->wParam == VK_RETURN)
    OnOK();
  return FALSE;
}

LRESULT CSMUMPasswordDlg::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  return OkCancelCommand(pnmh, kItemOk, kItemCancel, [this] { OnOK(); }, bHandled);
}

void CSMUMPasswordDlg::OnOK() {
  const std::wstring first = m_first.GetWindowText();
  if (first.empty()) {
    UiMessageBox(L"请输入密码", L"注意", MB_OK);
    return;
  }
  if (first != m_second.GetWindowText()) {
    UiMessageBox(L"两次输入的密码不一致", L"注意", MB_OK);
    return;
  }
  m_password = first;
  EndDialog(IDOK);
}
