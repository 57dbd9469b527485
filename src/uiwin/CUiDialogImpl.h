#pragma once
// The frame of every console window and dialog: a window without a non-client area
// that holds one host view (control id 1000) built from an XML layout, runs modally in
// a private message loop on the UI thread, and turns Enter, Esc and the close request
// into element commands for the items 1 and 2. A dialog class T derives from it (and
// from CWHRoundRectFrameHelper<T>), chains its map, and handles its items in its own.
#include <windows.h>

#include <string>

#include "platform/CRect.h"
#include "platform/CSize.h"
#include "platform/CWindowImpl.h"
#include "platform/DebugReport.h"
#include "uiwin/CUiDialogHost.h"
#include "uiwin/CUiDialogImplCore.h"
#include "uiwin/CUiDialogView.h"
#include "uiwin/UiEndingClick.h"
#include "uiwin/UiMessageBox.h"
#include "uiwin/UiModalRun.h"
#include "uiwin/UiNotify.h"
#include "uiwin/UiResUtil.h"


template <class T, class TView = CUiDialogView, class TBase = CWindow>
class CUiDialogImpl : public CWindowImpl<T, TBase>, public CUiDialogHost {
 public:
  static CWndClassInfo& GetWndClassInfo() {
    static CWndClassInfo wc = {nullptr, nullptr, CUiDialogImplCore::FrameClassStyle(),
                               reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)),
                               IDC_ARROW, 0, nullptr};
    return wc;
  }

  explicit CUiDialogImpl(UINT nLayoutID = 0) : m_nLayoutID(nLayoutID) {}
  // A dialog object that still has its window takes the window with it.
  ~CUiDialogImpl() override {
    if (::IsWindow(this->m_hWnd)) ::DestroyWindow(this->m_hWnd);
  }
  CUiDialogImpl(const CUiDialogImpl&) = delete;
  CUiDialogImpl& operator=(const CUiDialogImpl&) = delete;

  // Offered every message of the modal loop before translation; TRUE consumes it.
  virtual BOOL PreTranslateMessage(MSG* pMsg) {
    (void)pMsg;
    return FALSE;
  }

  BEGIN_MSG_MAP_EX(CUiDialogImpl)
    MESSAGE_HANDLER(CUiDialogImplCore::ModalHookMessage(), OnModalHook)
    MESSAGE_HANDLER(CUiDialogImplCore::KeepPlaceMessage(), OnKeepPlace)
    MESSAGE_HANDLER(WM_WINDOWPOSCHANGED, OnWindowPosChanged)
    MESSAGE_HANDLER(WM_ENTERSIZEMOVE, OnEnterSizeMove)
    MESSAGE_HANDLER(WM_NCACTIVATE, OnNcActivate)
    MESSAGE_HANDLER(WM_ACTIVATE, OnActivate)
    MESSAGE_HANDLER(WM_MOUSEACTIVATE, OnMouseActivate)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    MESSAGE_HANDLER(WM_NCCALCSIZE, OnNcCalcSize)
    MESSAGE_HANDLER(WM_GETMINMAXINFO, OnGetMinMaxInfo)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    MESSAGE_HANDLER(WM_KEYDOWN, OnKeyDown)
    MESSAGE_HANDLER(WM_SYSCOMMAND, OnSysCommand)
    MESSAGE_HANDLER(WM_CLOSE, OnClose)
    COMMAND_ID_HANDLER(IDOK, OnOK)
    COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
  END_MSG_MAP()

  BOOL Load(UINT nLayoutID) {
    std::string text;
    if (!UiResUtil::LoadUiResource(nLayoutID, text, L"xml")) return FALSE;
    return SetXml(text.c_str());
  }
  BOOL SetXml(LPCSTR pszXml) { return m_view.LoadLayoutXml(pszXml); }

  HWND Create(HWND hWndParent, const RECT* pRect = nullptr) {
    if (!m_view.XmlLoaded() && (!m_nLayoutID || !Load(m_nLayoutID))) return nullptr;
    m_view.SetForwarding(TRUE);
    const std::wstring& title = m_view.GetWindowTitle();
    RECT rc = pRect ? *pRect : RECT{0, 0, 0, 0};
    DWORD style = m_view.GetDlgStyle();
    if (!style) style = 0x56000000;  // WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN
    HWND hWnd = CWindowImpl<T, TBase>::Create(hWndParent, rc, title.empty() ? nullptr : title.c_str(),
                                               style, m_view.GetDlgExStyle(), 0, nullptr);
    if (!hWnd) return nullptr;
    CUiDialogImplCore::NoteCreated(hWnd, m_place);
    CUiDialogImplCore::DisableTheme(hWnd);
    RECT viewRect{0, 0, 0, 0};
    if (pRect) viewRect = RECT{0, 0, pRect->right - pRect->left, pRect->bottom - pRect->top};
    m_view.CreateView(hWnd, &viewRect, 0, 0, IDC_UIVIEW, nullptr);
    this->SendMessage(WM_INITDIALOG, reinterpret_cast<WPARAM>(hWnd), 0);
    if (this->m_hWnd != hWnd) return this->m_hWnd;
    m_view.ShowAllRealWindows(TRUE);
    CSize size = m_view.GetDlgSize();
    if (size.cx && size.cy) ResizeClient(size.cx, size.cy, FALSE);
    return this->m_hWnd;
  }

  // A modal run opened while the focus is in another program (from the tray menu):
  // the frame is shown without an owner and takes it right after the show.
  // A window manager that keeps the focus from a new dialog whose owner is not focused
  // (openbox, after a click on the tray) gives an unowned window the focus as any new
  // one; the owner still keeps the frame above it and is disabled. The window manager
  // hears of the owner once it has handed the frame the focus (or on the first click
  // on it), so that a click on the owner then raises the frame with it.
  void SetShowUnowned(BOOL bShowUnowned) { m_bShowUnowned = bShowUnowned; }

  // Owned by the window that has the user's input (UiModalRun): the parent, else the
  // active window, or the topmost modal dialog when a run holds that one. The control
  // that has the focus now gets it back when the run ends.
  UINT DoModal(HWND hWndParent = nullptr, const RECT* pRect = nullptr) {
    HWND owner = UiModalRun::OwnerFor(hWndParent);
    const HWND focus = ::GetFocus();  // before the owner's disabling can take it
    // Input is kept from the windows behind through the owner's top-level window: a
    // disabled child (the view a page passes) would keep nothing away.
    HWND ownerTop = owner ? ::GetAncestor(owner, GA_ROOT) : nullptr;
    BOOL disabledOwner = FALSE;
    if (ownerTop && ownerTop != ::GetDesktopWindow() && ::IsWindowEnabled(ownerTop)) {
      ::EnableWindow(ownerTop, FALSE);
      disabledOwner = TRUE;
    }
    m_bEndDialog = FALSE;
    m_nEndCode = 0;  // a run that ends without EndDialog never reports an older code
    m_bModal = TRUE;
    m_hFocus = nullptr;
    m_bFocusOffered = FALSE;
    if (!Create(m_bShowUnowned ? nullptr : owner, pRect)) {
      m_bModal = FALSE;
      if (disabledOwner) ::EnableWindow(ownerTop, TRUE);
      return 0;
    }
    {
      UiModalRun run(this->m_hWnd);
      if (!pRect) this->CenterWindow(owner);
      ::SetWindowPos(this->m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
      if (m_bShowUnowned && owner) {
        ::SetWindowLongPtrW(this->m_hWnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
        m_bOwnerUntold = TRUE;
      }
      CUiDialogImplCore::KeepPlace(this->m_hWnd, m_place);
      RunModalLoop();
    }
    m_bEndDialog = FALSE;
    m_bOwnerUntold = FALSE;
    m_place.keep = FALSE;
    // Off the screen at once (not a hide, which may stop the thread for seconds with the
    // frame still shown); then the owner comes back and gets the activation, then the
    // frame goes.
    CUiDialogImplCore::HideForDestroy(this->m_hWnd);
    const DWORD hidden = ::GetTickCount();
    if (disabledOwner) ::EnableWindow(ownerTop, TRUE);
    if (ownerTop && ::GetActiveWindow() == this->m_hWnd) ::SetActiveWindow(ownerTop);
    if (m_bShowUnowned && m_bFocusOffered) CUiDialogImplCore::HandFocusBack(ownerTop, this->m_hWnd);
    if (::IsWindow(this->m_hWnd)) ::DestroyWindow(this->m_hWnd);
    CUiDialogImplCore::GiveFocusBack(ownerTop, focus);
    // A click made on the frame while it ended went with it; one made since it left the
    // screen, while what it held went, is the user's next.
    CUiDialogImplCore::DropClicksBefore(hidden);
    m_bModal = FALSE;
    return m_nEndCode;
  }

  BOOL EndDialog(UINT nCode) override {
    m_nEndCode = nCode;
    m_bEndDialog = TRUE;
    if (m_bModal) {  // the run ends: its page hears nothing more
      m_view.SetForwarding(FALSE);
      // A control that acts when it loses the focus (an in-place editor ends its edit)
      // does so now, while every control is still there, and not again when the frame hides.
      if (::IsWindow(this->m_hWnd) && CUiDialogImplCore::HoldsFocus(this->m_hWnd))
        ::SetFocus(::IsWindow(m_view.m_hWnd) ? m_view.m_hWnd : this->m_hWnd);
    }
    return ::PostThreadMessageW(::GetCurrentThreadId(), WM_NULL, 0, 0);
  }

  // Runs until EndDialog, the window's end, or a WM_QUIT, which is left queued (or
  // queued again) so that every enclosing loop and the program's own loop see it.
  void RunModalLoop() {
    CUiDialogImplCore::PostModalHook(this->m_hWnd);
    UiEndingClick clicks;  // a double click that ends a run acts once
    for (;;) {
      MSG msg;
      if (::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message == WM_QUIT) return;
      if (m_bEndDialog || !this->m_hWnd || !::IsWindow(this->m_hWnd)) return clicks.HandOn();
      BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
      if (got == -1) continue;
      if (got == 0) {
        qv::Trace("Why Receive WM_QUIT here?\r\n");
        ::PostQuitMessage(static_cast<int>(msg.wParam));
        return;
      }
      if (clicks.Swallow(msg)) continue;
      if (!PreTranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
      }
    }
  }

  BOOL ResizeClient(int nWidth, int nHeight, BOOL bRedraw = TRUE) {
    return _ResizeClient(nWidth, nHeight, bRedraw);
  }
  BOOL _ResizeClient(int nWidth, int nHeight, BOOL bRedraw) {
    CRect window, client;
    ::GetWindowRect(this->m_hWnd, &window);
    ::GetClientRect(this->m_hWnd, &client);
    if (HWND parent = ::GetParent(this->m_hWnd)) {
      if (this->GetStyle() & WS_CHILD) ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&window), 2);
    }
    int borderX = window.Width() - client.Width();
    int borderY = window.Height() - client.Height();
    return ::MoveWindow(this->m_hWnd, window.left, window.top, nWidth + borderX, nHeight + borderY,
                        bRedraw);
  }

  // Item operations, by an element's command id (the view's).
  HWND GetHWnd() const override { return this->m_hWnd; }
  BOOL IsWindow() const override { return ::IsWindow(this->m_hWnd); }
  BOOL DestroyWindow() override { return CWindowImpl<T, TBase>::DestroyWindow(); }
  HWND GetViewHWnd() const override { return m_view.m_hWnd; }
  CUiWindow* FindChildByCmdID(UINT nCmdID) override { return m_view.FindChildByCmdID(nCmdID); }
  BOOL SetItemText(UINT nCmdID, LPCWSTR pszText) override { return m_view.SetItemText(nCmdID, pszText); }
  BOOL SetItemAttribute(UINT nCmdID, LPCSTR pszName, LPCSTR pszValue) {
    return m_view.SetItemAttribute(nCmdID, pszName, pszValue);
  }
  BOOL SetItemIntAttribute(UINT nCmdID, LPCSTR pszName, UINT nValue) {
    return m_view.SetItemIntAttribute(nCmdID, pszName, nValue);
  }
  BOOL EnableItem(UINT nCmdID, BOOL bEnable) override { return m_view.EnableItem(nCmdID, bEnable); }
  BOOL IsItemEnabled(UINT nCmdID, BOOL bCheckParent = FALSE) {
    return m_view.IsItemEnabled(nCmdID, bCheckParent);
  }
  BOOL SetItemVisible(UINT nCmdID, BOOL bShow) { return m_view.SetItemVisible(nCmdID, bShow); }
  BOOL SetItemCheck(UINT nCmdID, BOOL bCheck) override { return m_view.SetItemCheck(nCmdID, bCheck); }
  BOOL GetItemCheck(UINT nCmdID) override { return m_view.GetItemCheck(nCmdID); }
  BOOL SetTabCurSel(UINT nCmdID, int nIndex) override { return m_view.SetTabCurSel(nCmdID, nIndex); }
  BOOL SetPanelXml(UINT nCmdID, LPCSTR pszXml) { return m_view.SetPanelXml(nCmdID, pszXml); }
  // Takes effect as the caption only when the window is created afterwards.
  void SetWindowTitle(LPCWSTR pszTitle) { m_view.SetWindowTitle(pszTitle); }
  BOOL RedrawAll() { return m_view.RedrawAll(); }

  TView& GetView() { return m_view; }
  UINT GetLayoutID() const { return m_nLayoutID; }

 protected:
  // A test's modal hook acts on the initialised dialog; a dialog it leaves running
  // ends with the hook's code, one that a handler already ended keeps its own.
  LRESULT OnModalHook(UINT, WPARAM, LPARAM, BOOL&) {
    UINT code = 0;
    if (CUiDialogImplCore::RunModalHook(this->m_hWnd, m_view, &code) && !m_bEndDialog &&
        ::IsWindow(this->m_hWnd))
      EndDialog(code);
    return 0;
  }
  LRESULT OnNcActivate(UINT, WPARAM, LPARAM, BOOL&) { return TRUE; }
  // As the system's dialogs do: the control that had the focus when the frame lost the
  // activation has it again when the frame gets it back (the window manager hands the
  // focus back after a box, the user comes back from another program), rather than the
  // frame itself, where typing goes nowhere.
  LRESULT OnActivate(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    if (LOWORD(wParam) == WA_INACTIVE)
      m_hFocus = CUiDialogImplCore::FocusWithin(this->m_hWnd);
    else if (!HIWORD(wParam) && CUiDialogImplCore::RestoreFocus(this->m_hWnd, m_hFocus))
      return 0;
    bHandled = FALSE;
    return 0;
  }
  // Comes when the window manager hands the frame the focus, or on a click on it.
  LRESULT OnMouseActivate(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
    if (CUiDialogImplCore::OfferedByWindowManager(lParam)) m_bFocusOffered = TRUE;
    if (m_bOwnerUntold) {
      m_bOwnerUntold = FALSE;
      CUiDialogImplCore::TellOwner(this->m_hWnd);
    }
    bHandled = FALSE;
    return 0;
  }
  LRESULT OnWindowPosChanged(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
    CUiDialogImplCore::CheckPlace(this->m_hWnd, m_place, reinterpret_cast<const WINDOWPOS*>(lParam));
    bHandled = FALSE;
    return 0;
  }
  LRESULT OnKeepPlace(UINT, WPARAM, LPARAM, BOOL&) {
    CUiDialogImplCore::RestorePlace(this->m_hWnd, m_place);
    return 0;
  }
  LRESULT OnEnterSizeMove(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    m_place.keep = FALSE;  // the user moves it now
    bHandled = FALSE;
    return 0;
  }
  LRESULT OnEraseBkgnd(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  LRESULT OnNcCalcSize(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
    return CUiDialogImplCore::CalcFullClientArea(this->m_hWnd, static_cast<BOOL>(wParam), lParam);
  }
  LRESULT OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, BOOL&) {
    CUiDialogImplCore::FillMinMaxInfo(this->m_hWnd, reinterpret_cast<MINMAXINFO*>(lParam));
    return 0;
  }
  LRESULT OnSize(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    if (wParam != SIZE_MINIMIZED && ::IsWindow(m_view.m_hWnd)) {
      RECT client;
      ::GetClientRect(this->m_hWnd, &client);
      ::MoveWindow(m_view.m_hWnd, 0, 0, client.right, client.bottom, TRUE);
    }
    bHandled = FALSE;
    return 0;
  }
  LRESULT OnKeyDown(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    if (!::IsWindowEnabled(this->m_hWnd)) return 0;
    bHandled = FALSE;
    if (::GetKeyState(VK_CONTROL) < 0) return 0;
    if (wParam == VK_ESCAPE)
      this->SendMessage(WM_COMMAND, IDCANCEL, 0);
    else if (wParam == VK_RETURN)
      this->SendMessage(WM_COMMAND, IDOK, 0);
    return 0;
  }
  // A modal frame minimised goes to the tray with the windows below it; the tray's
  // restore (CMainDlg) brings it back in front, with the focus where it was. Every other
  // command goes on to the dialog.
  LRESULT OnSysCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    const WPARAM command = wParam & 0xFFF0;
    if (m_bModal && command == SC_MINIMIZE) {
      const HWND focus = CUiDialogImplCore::FocusWithin(this->m_hWnd);
      CUiDialogImplCore::HideWithOwners(this->m_hWnd);
      if (focus) m_hFocus = focus;  // whatever the activation's moves left there
      return 0;
    }
    if (m_bModal && command == SC_RESTORE && CUiDialogImplCore::InTray(this->m_hWnd)) {
      CUiDialogImplCore::ShowWithOwners(this->m_hWnd);
      CUiDialogImplCore::KeepPlace(this->m_hWnd, m_place);  // the window manager takes it over again
      ::SetForegroundWindow(this->m_hWnd);
      CUiDialogImplCore::RestoreFocus(this->m_hWnd, m_hFocus);
      return 0;
    }
    bHandled = FALSE;
    return 0;
  }
  LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&) {
    this->SendMessage(WM_COMMAND, IDCANCEL, 0);
    return 0;
  }
  LRESULT OnOK(WORD wNotifyCode, WORD, HWND hWndCtl, BOOL& bHandled) {
    if (IsClickCommand(wNotifyCode, hWndCtl))
      SendItemCommand(IDOK);
    else
      bHandled = FALSE;  // a hosted control with id 1 telling of something else
    return 0;
  }
  LRESULT OnCancel(WORD wNotifyCode, WORD, HWND hWndCtl, BOOL& bHandled) {
    if (IsClickCommand(wNotifyCode, hWndCtl))
      SendItemCommand(IDCANCEL);
    else
      bHandled = FALSE;
    return 0;
  }
  // A click (BN_CLICKED), a menu item (0, no control) or an accelerator (1, no control).
  static bool IsClickCommand(WORD wNotifyCode, HWND hWndCtl) {
    return wNotifyCode == BN_CLICKED || (wNotifyCode == 1 && !hWndCtl);
  }
  // A wizard's header buttons: close at `first`, then maximise/restore, minimise and
  // update. Acts on `item` and answers TRUE when it is one of the four.
  BOOL OnHeaderButton(UINT item, UINT first) {
    switch (item - first) {
      case 0:
        EndDialog(IDCANCEL);
        return TRUE;
      case 1:
        this->SendMessage(WM_SYSCOMMAND, ::IsZoomed(this->m_hWnd) ? SC_RESTORE : SC_MAXIMIZE, 0);
        return TRUE;
      case 2:
        this->SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
        return TRUE;
      case 3:
        UiSystemMessageBox(L"更新", L"", MB_OK, this->m_hWnd);
        return TRUE;
      default:
        return FALSE;
    }
  }
  // WM_SYSCOMMAND: the maximise/restore button `item` takes the skin a maximise or a
  // restore calls for; the command goes on to the frame.
  LRESULT FollowMaxButton(WPARAM command, UINT item, BOOL& bHandled) {
    if (const char* skin = CUiDialogImplCore::MaxButtonSkin(this->m_hWnd, command)) SetItemAttribute(item, "skin", skin);
    bHandled = FALSE;
    return 0;
  }
  // The element commands of a dialog whose only items are OK (`onOk`) and cancel (ends
  // it with IDCANCEL); any other item goes on along the chain.
  template <class OnOk>
  LRESULT OkCancelCommand(LPNMHDR pnmh, UINT ok, UINT cancel, OnOk onOk, BOOL& bHandled) {
    const UINT item = reinterpret_cast<UINMCOMMAND*>(pnmh)->uItemID;
    if (item == ok)
      onOk();
    else if (item == cancel)
      EndDialog(IDCANCEL);
    else
      bHandled = FALSE;
    return 0;
  }
  void SendItemCommand(UINT nItemID) {
    UINMCOMMAND nm{};
    nm.hdr.hwndFrom = this->m_hWnd;
    nm.hdr.idFrom = IDC_UIVIEW;
    nm.hdr.code = UINM_COMMAND;
    nm.uItemID = nItemID;
    nm.szItemClass = "";
    this->SendMessage(WM_NOTIFY, IDC_UIVIEW, reinterpret_cast<LPARAM>(&nm));
  }

  UINT m_nLayoutID;
  UINT m_nEndCode = 0;
  TView m_view;
  BOOL m_bEndDialog = FALSE;
  BOOL m_bModal = FALSE;  // within DoModal
  BOOL m_bShowUnowned = FALSE;
  BOOL m_bOwnerUntold = FALSE;  // shown unowned, the window manager not yet told the owner
  BOOL m_bFocusOffered = FALSE;  // the window manager handed the frame the focus in this run
  HWND m_hFocus = nullptr;  // the control that had the focus when the frame lost the activation
  CUiDialogImplCore::Placement m_place;
};
