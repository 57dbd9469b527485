#include "uiwin/UiDialogDriver.h"

#include <utility>
#include <vector>

#include "uiwin/CUiDialogView.h"

#include <windowsx.h>  // after the view: it defines SubclassWindow

namespace {

struct ControlSearch {
  UINT id;
  HWND view;
  HWND found;
};

BOOL CALLBACK FindControl(HWND hWnd, LPARAM lParam) {
  ControlSearch* search = reinterpret_cast<ControlSearch*>(lParam);
  if (hWnd == search->view || static_cast<UINT>(::GetDlgCtrlID(hWnd)) != search->id) return TRUE;
  search->found = hWnd;
  return FALSE;
}

}  // namespace

UiDialogDriver::UiDialogDriver(HWND hFrame, CUiDialogView& view, UINT nEndCode, Failure onFailure)
    : m_hFrame(hFrame), m_view(view), m_nEndCode(nEndCode), m_onFailure(std::move(onFailure)) {}

bool UiDialogDriver::Fail(const std::string& text) const {
  if (m_onFailure) m_onFailure(text);
  return false;
}

bool UiDialogDriver::IsOpenAndShown() const {
  return ::IsWindow(m_hFrame) && ::IsWindowVisible(m_hFrame) && m_view.IsForwarding();
}

bool UiDialogDriver::Click(UINT nCmdID) {
  POINT pt;
  std::string why;
  if (!m_view.GetClickPoint(nCmdID, &pt, &why)) return Fail(why);
  return Press(pt);
}

bool UiDialogDriver::ClickTab(UINT nTabCtrlID, int nIndex) {
  POINT pt;
  std::string why;
  if (!m_view.GetTabClickPoint(nTabCtrlID, nIndex, &pt, &why)) return Fail(why);
  return Press(pt);
}

bool UiDialogDriver::Press(POINT pt) {
  LPARAM at = MAKELPARAM(pt.x, pt.y);
  ::SendMessageW(m_view.m_hWnd, WM_MOUSEMOVE, 0, at);
  ::SendMessageW(m_view.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageW(m_view.m_hWnd, WM_LBUTTONUP, 0, at);
  return true;
}

BOOL UiDialogDriver::ClickInOtherProcess(HWND hFrame, UINT nCmdID, int nTabIndex) {
  HWND view = ::GetDlgItem(hFrame, IDC_UIVIEW);
  DWORD_PTR at = static_cast<DWORD_PTR>(-1);
  if (!view ||
      !::SendMessageTimeoutW(view, CUiDialogView::ClickPointMessage(), nCmdID, nTabIndex + 1, SMTO_NORMAL, 10000,
                             &at) ||
      static_cast<LRESULT>(at) == -1)
    return FALSE;
  // On the element for real: the view's leave tracking would otherwise end the press.
  POINT pt{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
  ::ClientToScreen(view, &pt);
  ::SetCursorPos(pt.x, pt.y);
  return ::PostMessageW(view, WM_MOUSEMOVE, 0, at) && ::PostMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, at) &&
         ::PostMessageW(view, WM_LBUTTONUP, 0, at);
}

HWND UiDialogDriver::ControlOf(HWND hFrame, UINT nCtrlID) {
  ControlSearch search{nCtrlID, ::GetDlgItem(hFrame, IDC_UIVIEW), nullptr};
  ::EnumChildWindows(hFrame, FindControl, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool UiDialogDriver::Type(UINT nCtrlID, const std::wstring& text) {
  HWND control = Control(nCtrlID);
  if (!control) return Fail("control " + std::to_string(nCtrlID) + " is not in the dialog");
  if (!::IsWindowEnabled(control) || !::IsWindowVisible(control))
    return Fail("control " + std::to_string(nCtrlID) + " does not take input");
  ::SetFocus(control);
  ::SendMessageW(control, EM_SETSEL, 0, -1);
  for (wchar_t c : text) ::SendMessageW(control, WM_CHAR, c, 1);
  return true;
}

std::wstring UiDialogDriver::ControlText(UINT nCtrlID) const {
  HWND control = Control(nCtrlID);
  if (!control) return std::wstring();
  std::vector<wchar_t> text(::GetWindowTextLengthW(control) + 1, L'\0');
  ::GetWindowTextW(control, text.data(), static_cast<int>(text.size()));
  return text.data();
}

std::wstring UiDialogDriver::ItemText(UINT nCmdID) const {
  CUiWindow* item = m_view.FindChildByCmdID(nCmdID);
  return item ? item->GetInnerText() : std::wstring();
}
