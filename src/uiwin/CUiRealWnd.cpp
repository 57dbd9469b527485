#include "uiwin/CUiRealWnd.h"

#include <cstring>

#include "uiwin/UiNotify.h"

const char* const CUiRealWnd::kTag = "realwnd";

CUiWindow* CUiRealWnd::CreateByTag(const char* pszTag) {
  return (pszTag && strcmp(pszTag, kTag) == 0) ? new CUiRealWnd : NULL;
}

BOOL CUiRealWnd::IsClass(const char* pszClass) const {
  return pszClass && strcmp(pszClass, kTag) == 0;
}

const char* CUiRealWnd::GetObjectClass() const { return kTag; }

HWND CUiRealWnd::GetRealHWnd() const {
  return m_hContainer ? ::GetDlgItem(m_hContainer, m_nCmdID) : NULL;
}

BOOL CUiRealWnd::ShowRealWindow(BOOL bShow) {
  HWND real = GetRealHWnd();
  if (!real) return FALSE;
  // A control made after the element was placed (in the dialog's initialisation, at the
  // element's final rectangle) has not been moved there yet.
  RECT rc;
  if (bShow && m_hContainer && ::GetWindowRect(real, &rc)) {
    ::MapWindowPoints(nullptr, m_hContainer, reinterpret_cast<POINT*>(&rc), 2);
    if (!::EqualRect(&rc, &m_rcWnd) && !::IsRectEmpty(&m_rcWnd))
      ::SetWindowPos(real, nullptr, m_rcWnd.left, m_rcWnd.top, m_rcWnd.right - m_rcWnd.left,
                     m_rcWnd.bottom - m_rcWnd.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return ::ShowWindow(real, bShow ? SW_SHOW : SW_HIDE);
}

BOOL CUiRealWnd::ProcessUiWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                        LRESULT& lResult) {
  switch (uMsg) {
    case WM_WINDOWPOSCHANGED:
      SetMsgHandled(TRUE);
      lResult = OnWindowPosChanged(uMsg, wParam, lParam);
      return TRUE;
    case WM_PAINT:
      SetMsgHandled(TRUE);
      lResult = OnPaint(uMsg, wParam, lParam);
      return TRUE;
    case WM_SHOWWINDOW:
      SetMsgHandled(TRUE);
      lResult = OnShowWindow(uMsg, wParam, lParam);
      return TRUE;
    case WM_DESTROY:
      SetMsgHandled(TRUE);
      lResult = OnDestroy(uMsg, wParam, lParam);
      return TRUE;
    default:
      break;
  }
  return CUiWindow::ProcessUiWindowMessage(hWnd, uMsg, wParam, lParam, lResult);
}

LRESULT CUiRealWnd::OnPaint(UINT, WPARAM, LPARAM) {
  // The hosted window paints itself; only the background (crbg) is drawn.
  return 0;
}

LRESULT CUiRealWnd::OnWindowPosChanged(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  const RECT old = m_rcWnd;
  CUiWindow::OnWindowPosChanged(uMsg, wParam, lParam);
  if (::EqualRect(&old, &m_rcWnd)) return 0;

  HWND real = GetRealHWnd();
  if (real)
    ::SetWindowPos(real, NULL, m_rcWnd.left, m_rcWnd.top, m_rcWnd.right - m_rcWnd.left,
                   m_rcWnd.bottom - m_rcWnd.top, SWP_NOREDRAW);

  if (m_hContainer) {
    UINMREALWNDRESIZED nm = {};
    nm.hdr.hwndFrom = m_hContainer;
    nm.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(m_hContainer));
    nm.hdr.code = UINM_REALWND_RESIZED;
    nm.uItemID = static_cast<UINT>(m_nCmdID);
    nm.rcWnd = m_rcWnd;
    const HUIWND self = m_hUiWnd;
    ::SendMessageW(m_hContainer, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
    if (UiWnds::GetWindow(self) != this) return 0;
  }

  // The receiver may have moved or replaced the window: look it up again.
  real = GetRealHWnd();
  if (real && ::IsWindowVisible(real)) {
    ::InvalidateRect(real, NULL, TRUE);
    ::SetWindowPos(real, NULL, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
  }
  return 0;
}

LRESULT CUiRealWnd::OnShowWindow(UINT, WPARAM wParam, LPARAM) {
  SetVisible(wParam != 0);
  HWND real = GetRealHWnd();
  if (!real) return 0;
  if (!wParam) {
    ::ShowWindow(real, SW_HIDE);
    return 0;
  }
  // Shown only when nothing above the element is hidden.
  for (HUIWND h = m_hParent; h;) {
    const CUiWindow* parent = UiWnds::GetWindow(h);
    if (!parent) break;
    if (!parent->IsVisible(FALSE)) return 0;
    h = parent->GetParent();
  }
  ::ShowWindow(real, SW_SHOW);
  return 0;
}

LRESULT CUiRealWnd::OnDestroy(UINT, WPARAM, LPARAM) {
  // The window belongs to the dialog's code and outlives the element.
  if (HWND real = GetRealHWnd()) ::ShowWindow(real, SW_HIDE);
  return 0;
}
