#include "uiwin/UiDialogDriver.h"

#include <utility>
#include <vector>

#include "uiwin/CUiDialogView.h"

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

bool UiDialogDriver::Click(UINT nCmdID) {
  const std::string what = "element " + std::to_string(nCmdID);
  CUiWindow* item = m_view.FindChildByCmdID(nCmdID);
  if (!item) return Fail(what + " is not in the dialog");
  if (!item->IsVisible(TRUE)) return Fail(what + " is hidden");
  RECT rc = item->GetRect();
  POINT pt{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
  RECT client;
  ::GetClientRect(m_view.m_hWnd, &client);
  if (::IsRectEmpty(&rc) || !::PtInRect(&client, pt)) return Fail(what + " is outside the view");
  // The element the view itself finds there: header first, then body, then footer.
  const BOOL present[3] = {m_view.HasHeader(), m_view.HasBody(), m_view.HasFooter()};
  HUIWND hit = 0;
  for (int i = 0; i < 3 && !hit; ++i)
    if (present[i]) hit = m_view.GetRoot(i).HitTest(pt);
  if (hit != item->GetHandle()) return Fail(what + " is covered by another element");
  // A press on anything but a button, image button or link in the header drags the window.
  bool inHeader = present[0] && m_view.GetRoot(0).HitTest(pt) == hit;
  if (inHeader && !item->IsClass("button") && !item->IsClass("imgbtn") && !item->IsClass("link"))
    return Fail(what + " in the header cannot be clicked");
  LPARAM at = MAKELPARAM(pt.x, pt.y);
  ::SendMessageW(m_view.m_hWnd, WM_MOUSEMOVE, 0, at);
  ::SendMessageW(m_view.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageW(m_view.m_hWnd, WM_LBUTTONUP, 0, at);
  return true;
}

HWND UiDialogDriver::Control(UINT nCtrlID) const {
  ControlSearch search{nCtrlID, m_view.m_hWnd, nullptr};
  ::EnumChildWindows(m_hFrame, FindControl, reinterpret_cast<LPARAM>(&search));
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
