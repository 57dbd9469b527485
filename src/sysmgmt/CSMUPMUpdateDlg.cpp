#include "sysmgmt/CSMUPMUpdateDlg.h"

#include "controls/CUIResource.h"
#include "controls/RichEditLog.h"

CSMUPMUpdateDlg::CSMUPMUpdateDlg() : CUiDialogImpl<CSMUPMUpdateDlg>(kLayoutId) {}

CSMUPMUpdateDlg::~CSMUPMUpdateDlg() { Close(); }

BOOL CSMUPMUpdateDlg::Show(HWND owner) {
  HWND top = owner ? ::GetAncestor(owner, GA_ROOT) : nullptr;
  if (!Create(top)) return FALSE;
  if (top && ::IsWindowEnabled(top)) {
    ::EnableWindow(top, FALSE);
    m_disabledOwner = top;
  }
  m_run = std::make_unique<UiModalRun>(m_hWnd);
  CenterWindow(top);
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
  CUiDialogImplCore::KeepPlace(m_hWnd, m_place);
  LetLayoutThrough();
  LetPaintThrough();
  return TRUE;
}

void CSMUPMUpdateDlg::Close() {
  // Off the screen at once, as a modal run's frame; the owner comes back before this
  // window goes, so activation returns to it.
  m_place.keep = FALSE;
  m_run.reset();
  CUiDialogImplCore::HideForDestroy(m_hWnd);
  if (m_disabledOwner) ::EnableWindow(m_disabledOwner, TRUE);
  m_disabledOwner = nullptr;
  if (::IsWindow(m_hWnd)) DestroyWindow();
}

LRESULT CSMUPMUpdateDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  m_log = RichEditCreate(GetViewHWnd(), kItemLog,
                         WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                         CUIResource::GetSkinBitmap(), kLogScrollSkin);
  return 0;
}

LRESULT CSMUPMUpdateDlg::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  if (reinterpret_cast<UINMCOMMAND*>(pnmh)->uItemID != kItemClose) {
    bHandled = FALSE;
    return 0;
  }
  Close();
  return 0;
}

void CSMUPMUpdateDlg::AddLine(const std::wstring& line) {
  if (m_log) {
    if (::GetWindowTextLengthW(m_log) > 0) RichEditAppendNewLine(m_log);
    RichEditAppendText(m_log, line.c_str(), FALSE, RGB(0, 0, 0));
  }
  LetLayoutThrough();
  LetPaintThrough();
}

void CSMUPMUpdateDlg::LetLayoutThrough() {
  // The log box's scroll frame places the box by a message it posts to itself; held
  // back, the box stays clipped to nothing until the update ends. Only this window's
  // private messages pass: input waits.
  MSG msg;
  for (int i = 0; i < 256 && ::IsWindow(m_hWnd) && ::PeekMessageW(&msg, m_hWnd, WM_USER, 0xFFFF, PM_REMOVE); ++i)
    ::DispatchMessageW(&msg);
}

void CSMUPMUpdateDlg::LetPaintThrough() {
  // Bounded: a window that never validates would otherwise keep this loop going.
  MSG msg;
  for (int i = 0; i < 256 && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT); ++i)
    ::DispatchMessageW(&msg);
}
