#pragma once
// The window side of a host view: the one real window inside a dialog frame (control id
// 1000). It owns the header, body and footer element trees (TRoot) of the dialog's
// layout and the layout data the frame reads, paints the trees through a back buffer,
// tracks the mouse over them, turns clicks into UINM_COMMAND notifications to the frame,
// passes the hosted controls' notifications on to the frame and reflects their colour,
// owner-draw and custom-draw requests back to them. T names the window class
// (GetWndClassInfo); TWinTraits gives the style when the creator gives none.
#include <windows.h>

#include <string>

#include "platform/CGdiObject.h"
#include "platform/CSize.h"
#include "platform/CWinTraits.h"
#include "platform/CWindowImpl.h"
#include "platform/OwnDelivery.h"
#include "platform/TextConv.h"
#include "uiwin/CUiDialog.h"
#include "uiwin/UiEndingClick.h"
#include "uiwin/UiNotify.h"

template <class T, class TRoot = CUiDialog, class TBase = CWindow,
          class TWinTraits = CWinTraits<0x52010000, 0>>
class CUiDialogViewImpl : public CWindowImpl<T, TBase> {
 public:
  // WS_POPUP | WS_SYSMENU: the frame style a layout starts from.
  static constexpr DWORD kBaseFrameStyle = 0x80080000;

  using Base = CWindowImpl<T, TBase>;
  using Base::m_hWnd;

  CUiDialogViewImpl() = default;
  ~CUiDialogViewImpl() override;

  BEGIN_MSG_MAP_EX(CUiDialogViewImpl)
    MESSAGE_RANGE_HANDLER(WM_MOUSEFIRST, 0x20D, OnRelayMouse)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    MESSAGE_HANDLER(WM_PRINT, OnPrint)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
    MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnLButtonDblClk)
    MESSAGE_HANDLER(WM_CAPTURECHANGED, OnCaptureChanged)
    MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
    MESSAGE_HANDLER(WM_MOUSEWHEEL, OnMouseWheel)
    MESSAGE_HANDLER(ClickPointMessage(), OnClickPointQuery)
    MESSAGE_HANDLER(UiEndingClick::PlaceMessage(), OnPressedButtonQuery)
    NOTIFY_CODE_HANDLER(UINM_INVALIDATERECT, OnNotifyInvalidateRect)
    NOTIFY_CODE_HANDLER(NM_CUSTOMDRAW, OnCustomDraw)
    MESSAGE_HANDLER(WM_NOTIFY, OnForwardToParent)
    MESSAGE_HANDLER(WM_COMMAND, OnForwardToParent)
    MESSAGE_HANDLER(WM_HSCROLL, OnForwardToParent)
    MESSAGE_HANDLER(WM_VSCROLL, OnForwardToParent)
    if (uMsg >= WM_CTLCOLORMSGBOX && uMsg <= WM_CTLCOLORSTATIC) {
      bHandled = TRUE;
      lResult = this->ReflectNotifications(uMsg, wParam, lParam, bHandled);
      if (bHandled && lResult) return TRUE;
      bHandled = FALSE;
    } else {
      REFLECT_NOTIFICATIONS()
    }
  END_MSG_MAP()

  // Layout root data, kept for the frame.
  BOOL LoadLayoutXml(LPCSTR pszXml);
  BOOL XmlLoaded() const { return m_bXmlLoaded; }
  const std::wstring& GetWindowTitle() const { return m_strTitle; }
  void SetWindowTitle(LPCWSTR pszTitle) { m_strTitle = qv::OrEmpty(pszTitle); }
  CSize GetDlgSize() const { return CSize(m_nWidth, m_nHeight); }
  DWORD GetDlgStyle() const { return m_dwStyle; }
  DWORD GetDlgExStyle() const { return m_dwExStyle; }
  BOOL IsMaximizable() const { return m_bMaximizable; }
  BOOL HasHeader() const { return m_bHasHeader; }
  BOOL HasBody() const { return m_bHasBody; }
  BOOL HasFooter() const { return m_bHasFooter; }

  // Creates the view window once (style 0 means the traits' style) with its
  // tooltip; returns the existing window when there is one.
  HWND CreateView(HWND hParent, const RECT* pRect, DWORD dwStyle, DWORD dwExStyle, UINT nID,
                  LPVOID lpParam);
  // Header, footer, body: shows or hides the hosted controls of visible elements.
  void ShowAllRealWindows(BOOL bShow);

  // 0 header, 1 body, 2 footer.
  TRoot& GetRoot(int i) { return i == 0 ? m_header : i == 1 ? m_body : m_footer; }

  // Repaint requests: accumulated into one region until the next paint.
  void _InvalidateRect(const RECT& rc);
  void InvalidateItem(CUiWindow* pItem, BOOL bCheckVisible);
  BOOL RedrawAll();
  void ModifyElementState(CUiWindow* pItem, DWORD dwAdd, DWORD dwRemove);

  // Off once the dialog has ended: the hosted controls' notifications go no further, so
  // no page hears of anything after its EndDialog.
  void SetForwarding(BOOL bForward) { m_bForward = bForward; }
  BOOL IsForwarding() const { return m_bForward; }

  // Where a click reaches the element: the centre of a shown element inside the view
  // that no other element covers there, in view coordinates. Otherwise FALSE, with
  // the reason in *why (UTF-8) when given.
  BOOL GetClickPoint(UINT nCmdID, POINT* pt, std::string* why);
  // The same for the head of page nIndex of a shown tab control element.
  BOOL GetTabClickPoint(UINT nTabCtrlID, int nIndex, POINT* pt, std::string* why);
  // The same asked from outside the process (a test driving the console as a user):
  // sent to the view with the element id as wParam (and lParam 0, or a tab control's
  // page index plus 1 for that page's head), it answers MAKELRESULT(x, y), or -1. It
  // only reads positions.
  static UINT ClickPointMessage();

  // The element that a left press at pt (view coordinates) pushes down, when a click on
  // it gives a command: its rectangle within the view. The modal loops ask it of the
  // press that may end their run (UiEndingClick::PlaceMessage).
  BOOL GetPressedButton(POINT pt, RECT* rc);

  HWND GetToolTip() const { return m_hToolTip; }
  HUIWND GetHoverHandle() const { return m_hHover; }
  HUIWND GetPushDownHandle() const { return m_hPushDown; }

 private:
  // The centre of rc when a click there reaches the item; what names it in *why.
  BOOL ClickPointIn(CUiWindow* item, const RECT& rc, const std::string& what, POINT* pt, std::string* why);
  LRESULT OnRelayMouse(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnPrint(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnEraseBkgnd(UINT, WPARAM, LPARAM, BOOL&) { return TRUE; }
  LRESULT OnMouseMove(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
  LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnLButtonDown(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
  LRESULT OnLButtonUp(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
  LRESULT OnLButtonDblClk(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
  LRESULT OnCaptureChanged(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnSetCursor(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnMouseWheel(UINT, WPARAM, LPARAM, BOOL&) { return 0; }
  LRESULT OnClickPointQuery(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnPressedButtonQuery(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&);
  LRESULT OnNotifyInvalidateRect(int, LPNMHDR pnmh, BOOL&);
  LRESULT OnCustomDraw(int, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnForwardToParent(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&);

  void PaintTo(HDC hTarget);
  void LayoutRoots();
  HUIWND HitTestRoots(POINT pt, BOOL bHeaderOnly);
  HUIWND PressTarget(POINT pt, BOOL* pDrags);
  static bool IsHeaderControl(CUiWindow* pItem);
  void SendViewNotify(UINT code);
  void UpdateToolTip(CUiWindow* pItem);
  void ResetLayoutData();
  void DestroyRoots();

  TRoot m_header;
  TRoot m_body;
  TRoot m_footer;
  CBitmap m_backBuffer;
  SIZE m_bufferSize{0, 0};
  HUIWND m_hHover = 0;
  HUIWND m_hPushDown = 0;
  BOOL m_bTracking = FALSE;
  BOOL m_bCaptured = FALSE;
  std::wstring m_strTitle;
  int m_nWidth = 0;
  int m_nHeight = 0;
  DWORD m_dwStyle = kBaseFrameStyle;
  DWORD m_dwExStyle = 0;
  BOOL m_bHasHeader = FALSE;
  BOOL m_bHasBody = FALSE;
  BOOL m_bHasFooter = FALSE;
  BOOL m_bMaximizable = FALSE;
  BOOL m_bXmlLoaded = FALSE;
  BOOL m_bRedrawNeeded = FALSE;
  BOOL m_bFullRedraw = TRUE;
  BOOL m_bForward = TRUE;
  HWND m_hToolTip = nullptr;
  CRgn m_pendingRgn;
};
