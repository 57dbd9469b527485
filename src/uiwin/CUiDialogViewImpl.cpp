#include "uiwin/CUiDialogViewImpl.h"

#include <commctrl.h>
#include <shellapi.h>
#include <tinyxml.h>
#include <windowsx.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/CDC.h"
#include "platform/TextConv.h"
#include "uiwin/CUiDialogView.h"
#include "uiwin/CUiTabCtrl.h"
#include "uiwin/UiFontPool.h"

namespace {

// A layout attribute read as a signed decimal; absent or not a number keeps `value`.
void ReadIntAttribute(const TiXmlElement* e, const char* name, int& value) {
  const char* text = e->Attribute(name);
  if (!text) return;
  const char* p = text;
  while (*p == ' ' || *p == '\t') ++p;
  if (*p == '+' || *p == '-') ++p;
  if (*p < '0' || *p > '9') return;
  value = CUiObject::ParseInt(text);
}

// The view's one tool (id 0), which covers the whole view.
TTTOOLINFOW ViewTool(HWND view) {
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  ti.hwnd = view;
  ti.uId = 0;
  return ti;
}

// Why an element cannot be clicked, in *why when asked.
BOOL ClickFails(std::string* why, const std::string& what, const char* reason) {
  if (why) *why = what + reason;
  return FALSE;
}

}  // namespace

template <class T, class TRoot, class TBase, class TWinTraits>
CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::~CUiDialogViewImpl() {
  if (::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
  DestroyRoots();
}

template <class T, class TRoot, class TBase, class TWinTraits>
void CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::DestroyRoots() {
  m_header.UiSendMessage(WM_DESTROY, 0, 0);
  m_body.UiSendMessage(WM_DESTROY, 0, 0);
  m_footer.UiSendMessage(WM_DESTROY, 0, 0);
}

// ------------------------------------------------------------------ layout

template <class T, class TRoot, class TBase, class TWinTraits>
void CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::ResetLayoutData() {
  m_bXmlLoaded = FALSE;
  m_bHasHeader = m_bHasBody = m_bHasFooter = FALSE;
  m_dwStyle = kBaseFrameStyle;
  m_dwExStyle = 0;
}

template <class T, class TRoot, class TBase, class TWinTraits>
BOOL CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::LoadLayoutXml(LPCSTR pszXml) {
  DestroyRoots();
  ResetLayoutData();
  // Old handles are gone with the old elements; a stale capture would press nothing.
  m_hHover = 0;
  m_hPushDown = 0;

  TiXmlDocument doc;
  doc.Parse(pszXml ? pszXml : "", nullptr, TIXML_ENCODING_UTF8);
  const TiXmlElement* root = doc.Error() ? nullptr : doc.RootElement();
  if (!root || std::strcmp(root->Value(), "layer") != 0) {
    if (::IsWindow(m_hWnd)) RedrawAll();
    return FALSE;
  }

  const char* title = root->Attribute("title");
  m_strTitle = qv::Utf8ToWide(title ? title : "");
  m_nWidth = m_nHeight = 0;
  ReadIntAttribute(root, "width", m_nWidth);
  ReadIntAttribute(root, "height", m_nHeight);
  int appwin = 0, resize = 0, nomaxsize = 0, noborder = 0, child = 0;
  ReadIntAttribute(root, "appwin", appwin);
  if (appwin) m_dwExStyle |= WS_EX_APPWINDOW;
  ReadIntAttribute(root, "resize", resize);
  if (resize) {
    m_dwStyle |= WS_MAXIMIZEBOX | WS_MINIMIZEBOX | WS_THICKFRAME;
    m_bMaximizable = TRUE;
    ReadIntAttribute(root, "nomaxsize", nomaxsize);
    if (nomaxsize) {
      m_dwStyle &= ~static_cast<DWORD>(WS_MAXIMIZEBOX);
      m_bMaximizable = FALSE;
    }
  } else {
    m_bMaximizable = FALSE;
  }
  ReadIntAttribute(root, "noborder", noborder);
  m_dwExStyle |= noborder ? (WS_EX_TOPMOST | WS_EX_TOOLWINDOW) : (WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE);
  ReadIntAttribute(root, "child", child);
  if (child) {
    m_dwStyle = (m_dwStyle | WS_CHILD) & ~static_cast<DWORD>(WS_POPUP | WS_CAPTION);
    m_dwExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
  }

  // Header and footer: the height the layout gives them, at the top and at the bottom.
  auto band = [root](const char* name, TRoot& into, const char* posFormat, BOOL& has) {
    const TiXmlElement* e = root->FirstChildElement(name);
    if (!e) return;
    int height = 0;
    ReadIntAttribute(e, "height", height);
    into.Load(e);
    char pos[48];
    std::snprintf(pos, sizeof pos, posFormat, height);
    into.SetAttribute("pos", pos, TRUE);
    has = TRUE;
  };
  band("header", m_header, "0,0,-0,%d", m_bHasHeader);
  band("footer", m_footer, "0,-%d,-0,-0", m_bHasFooter);
  if (const TiXmlElement* e = root->FirstChildElement("body")) {
    m_body.Load(e);
    m_body.SetAttribute("pos", "0,0,-0,-0", TRUE);
    m_bHasBody = TRUE;
  }
  m_bXmlLoaded = TRUE;

  if (::IsWindow(m_hWnd)) {
    // The new elements know nothing of the view's size yet: place them now rather
    // than at the next resize.
    LayoutRoots();
    RedrawAll();
  }
  return TRUE;
}

template <class T, class TRoot, class TBase, class TWinTraits>
HWND CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::CreateView(HWND hParent, const RECT* pRect,
                                                                DWORD dwStyle, DWORD dwExStyle,
                                                                UINT nID, LPVOID lpParam) {
  if (::IsWindow(m_hWnd)) return m_hWnd;
  RECT rc = pRect ? *pRect : RECT{0, 0, 0, 0};
  if (!this->Create(hParent, rc, m_strTitle.c_str(), TWinTraits::GetWndStyle(dwStyle),
                    TWinTraits::GetWndExStyle(dwExStyle), nID, lpParam))
    return nullptr;
  m_header.SetContainer(m_hWnd);
  m_body.SetContainer(m_hWnd);
  m_footer.SetContainer(m_hWnd);

  m_hToolTip = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, 0, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
  if (m_hToolTip) {
    TTTOOLINFOW ti = ViewTool(m_hWnd);
    ti.lpszText = LPSTR_TEXTCALLBACKW;
    ::GetClientRect(m_hWnd, &ti.rect);
    ::SendMessageW(m_hToolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    ::SendMessageW(m_hToolTip, TTM_ACTIVATE, TRUE, 0);
  }
  m_pendingRgn.DeleteObject();

  // Cover the parent's client area at once, so that the dialog's initialisation already
  // sees its elements placed, whatever size the layout gives.
  if (hParent && (this->GetStyle() & WS_CHILD)) {
    RECT client;
    ::GetClientRect(hParent, &client);
    this->MoveWindow(client, TRUE);
  }
  return m_hWnd;
}

template <class T, class TRoot, class TBase, class TWinTraits>
void CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::ShowAllRealWindows(BOOL bShow) {
  if (m_bHasHeader) m_header.ShowAllRealWindows(bShow);
  if (m_bHasFooter) m_footer.ShowAllRealWindows(bShow);
  if (m_bHasBody) m_body.ShowAllRealWindows(bShow);
}

template <class T, class TRoot, class TBase, class TWinTraits>
void CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::LayoutRoots() {
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  WINDOWPOS wp{};
  wp.cx = client.right;
  wp.cy = client.bottom;
  wp.flags = SWP_SHOWWINDOW;
  RECT header{0, 0, 0, 0};
  if (m_bHasHeader) {
    WINDOWPOS p = wp;
    m_header.UiSendMessage(WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&p));
    header = m_header.GetRect();
  }
  int footerHeight = 0;
  if (m_bHasFooter) {
    WINDOWPOS p = wp;
    m_footer.UiSendMessage(WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&p));
    RECT footer = m_footer.GetRect();
    footerHeight = footer.bottom - footer.top;
    p = wp;
    p.y = client.bottom - footerHeight;
    p.cy = footerHeight;
    m_footer.UiSendMessage(WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&p));
  }
  if (m_bHasBody) {
    WINDOWPOS p = wp;
    p.y = header.bottom;
    p.cy = client.bottom - footerHeight - header.bottom;
    m_body.UiSendMessage(WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&p));
  }
}

// ------------------------------------------------------------------ repainting

template <class T, class TRoot, class TBase, class TWinTraits>
void CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::_InvalidateRect(const RECT& rc) {
  if (m_pendingRgn.IsNull()) {
    m_pendingRgn.Attach(::CreateRectRgnIndirect(&rc));
  } else {
    CRgn add(::CreateRectRgnIndirect(&rc));
    ::CombineRgn(m_pendingRgn, m_pendingRgn, add, RGN_OR);
  }
  if (::IsWindow(m_hWnd)) ::InvalidateRect(m_hWnd, &rc, FALSE);
  m_bRedrawNeeded = TRUE;
}

template <class T, class TRoot, class TBase, class TWinTraits>
void CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::InvalidateItem(CUiWindow* pItem,
                                                                    BOOL bCheckVisible) {
  if (!pItem) return;
  if (bCheckVisible && !pItem->IsVisible(TRUE)) return;
  _InvalidateRect(pItem->GetRect());
}

template <class T, class TRoot, class TBase, class TWinTraits>
BOOL CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::RedrawAll() {
  // Without a window of ours, a null handle would invalidate every window on the desktop.
  if (!::IsWindow(m_hWnd)) return FALSE;
  m_bFullRedraw = TRUE;
  m_bRedrawNeeded = TRUE;
  m_pendingRgn.DeleteObject();
  return ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

template <class T, class TRoot, class TBase, class TWinTraits>
void CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::ModifyElementState(CUiWindow* pItem,
                                                                        DWORD dwAdd,
                                                                        DWORD dwRemove) {
  if (!pItem) return;
  pItem->ModifyState(dwAdd, dwRemove);
  if (pItem->NeedRedrawWhenStateChange()) InvalidateItem(pItem, TRUE);
}

template <class T, class TRoot, class TBase, class TWinTraits>
void CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::PaintTo(HDC hTarget) {
  if (m_bFullRedraw) {
    m_pendingRgn.DeleteObject();
    m_bFullRedraw = FALSE;
    m_bRedrawNeeded = TRUE;
  }
  if (m_backBuffer.IsNull()) {
    // Nothing to show until the next non-empty size; keep the request pending.
    return;
  }
  if (m_bRedrawNeeded) {
    CDC mem;
    if (mem.CreateCompatibleDC(nullptr)) {
      HGDIOBJ oldBitmap = ::SelectObject(mem, m_backBuffer);
      HGDIOBJ oldFont = nullptr;
      if (HFONT font = UiFontPool::GetFont(0)) oldFont = ::SelectObject(mem, font);
      ::SetBkMode(mem, TRANSPARENT);
      if (!m_pendingRgn.IsNull()) ::SelectClipRgn(mem, m_pendingRgn);
      HRGN rgn = m_pendingRgn.Get();
      if (m_bHasHeader) m_header.RedrawRegion(mem, rgn);
      if (m_bHasBody) m_body.RedrawRegion(mem, rgn);
      if (m_bHasFooter) m_footer.RedrawRegion(mem, rgn);
      ::SelectClipRgn(mem, nullptr);
      m_pendingRgn.DeleteObject();
      if (oldFont) ::SelectObject(mem, oldFont);
      ::SelectObject(mem, oldBitmap);
    }
    m_bRedrawNeeded = FALSE;
  }
  CDC mem;
  if (!mem.CreateCompatibleDC(nullptr)) return;
  HGDIOBJ old = ::SelectObject(mem, m_backBuffer);
  ::BitBlt(hTarget, 0, 0, m_bufferSize.cx, m_bufferSize.cy, mem, 0, 0, SRCCOPY);
  ::SelectObject(mem, old);
}

// ------------------------------------------------------------------ messages

template <class T, class TRoot, class TBase, class TWinTraits>
LRESULT CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::OnRelayMouse(UINT uMsg, WPARAM wParam,
                                                                     LPARAM lParam,
                                                                     BOOL& bHandled) {
  if (m_hToolTip && ::IsWindow(m_hToolTip)) {
    MSG msg{m_hWnd, uMsg, wParam, lParam, 0, {0, 0}};
    ::SendMessageW(m_hToolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
  }
  bHandled = FALSE;
  return 0;
}

template <class T, class TRoot, class TBase, class TWinTraits>
LRESULT CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::OnSize(UINT, WPARAM, LPARAM, BOOL&) {
  m_backBuffer.DeleteObject();
  m_bufferSize = SIZE{0, 0};
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  if (m_hToolTip) {
    TTTOOLINFOW ti = ViewTool(m_hWnd);
    ti.rect = client;
    ::SendMessageW(m_hToolTip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
  }
  if (client.right <= 0) return 0;
  if (client.bottom > 0) {
    HDC screen = ::GetDC(nullptr);
    m_backBuffer.Attach(::CreateCompatibleBitmap(screen, client.right, client.bottom));
    ::ReleaseDC(nullptr, screen);
    if (!m_backBuffer.IsNull()) {
      m_bufferSize = SIZE{client.right, client.bottom};
      CDC mem;
      if (mem.CreateCompatibleDC(nullptr)) {
        HGDIOBJ old = ::SelectObject(mem, m_backBuffer);
        ::PatBlt(mem, 0, 0, client.right, client.bottom, BLACKNESS);
        ::SelectObject(mem, old);
      }
    }
  }
  LayoutRoots();
  RedrawAll();
  return 0;
}

template <class T, class TRoot, class TBase, class TWinTraits>
LRESULT CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::OnPrint(UINT, WPARAM wParam, LPARAM,
                                                                BOOL&) {
  PaintTo(reinterpret_cast<HDC>(wParam));
  return 0;
}

template <class T, class TRoot, class TBase, class TWinTraits>
LRESULT CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(m_hWnd, &ps);
  PaintTo(dc);
  ::EndPaint(m_hWnd, &ps);
  return 0;
}

template <class T, class TRoot, class TBase, class TWinTraits>
LRESULT CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::OnDestroy(UINT, WPARAM, LPARAM,
                                                                  BOOL& bHandled) {
  m_backBuffer.DeleteObject();
  m_bufferSize = SIZE{0, 0};
  // The tooltip is owned by the top-level window, which outlives a child frame.
  if (m_hToolTip && ::IsWindow(m_hToolTip)) ::DestroyWindow(m_hToolTip);
  m_hToolTip = nullptr;
  m_bTracking = FALSE;
  m_bCaptured = FALSE;
  bHandled = TRUE;
  return 0;
}

// Roots that the layout lacks keep no area: after a reload their old rectangle would
// swallow the points of the new layout.
template <class T, class TRoot, class TBase, class TWinTraits>
HUIWND CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::HitTestRoots(POINT pt, BOOL bHeaderOnly) {
  HUIWND hit = m_bHasHeader ? m_header.HitTest(pt) : 0;
  if (hit || bHeaderOnly) return hit;
  hit = m_bHasBody ? m_body.HitTest(pt) : 0;
  if (hit) return hit;
  return m_bHasFooter ? m_footer.HitTest(pt) : 0;
}

// What a left press at pt pushes down: a header element other than a button, image
// button or link drags the window instead.
template <class T, class TRoot, class TBase, class TWinTraits>
HUIWND CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::PressTarget(POINT pt, BOOL* pDrags) {
  *pDrags = FALSE;
  if (HUIWND hit = HitTestRoots(pt, TRUE)) {
    CUiWindow* item = UiWnds::GetWindow(hit);
    *pDrags = item && !IsHeaderControl(item);
    return *pDrags ? 0 : hit;
  }
  return HitTestRoots(pt, FALSE);
}

template <class T, class TRoot, class TBase, class TWinTraits>
BOOL CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::GetPressedButton(POINT pt, RECT* rc) {
  BOOL drags = FALSE;
  CUiWindow* item = UiWnds::GetWindow(PressTarget(pt, &drags));
  // A container takes a press on its background; what ends a run is a button within.
  if (!item || item->IsDisabled(TRUE) || item->IsContainer() || !item->GetCmdID()) return FALSE;
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  const RECT place = item->GetRect();
  return ::IntersectRect(rc, &place, &client);
}

template <class T, class TRoot, class TBase, class TWinTraits>
LRESULT CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::OnPressedButtonQuery(UINT uMsg, WPARAM wParam,
                                                                             LPARAM lParam, BOOL&) {
  // The rectangle goes back through the asker's pointer: only the modal loops' own
  // question, never one that another program posted or sent.
  if (!lParam || !OwnDelivery::IsDelivering(m_hWnd, uMsg, wParam, lParam)) return FALSE;
  POINT pt{GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam)};
  ::ScreenToClient(m_hWnd, &pt);
  RECT* place = reinterpret_cast<RECT*>(lParam);
  if (!GetPressedButton(pt, place)) return FALSE;
  ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(place), 2);
  return TRUE;
}

template <class T, class TRoot, class TBase, class TWinTraits>
BOOL CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::GetClickPoint(UINT nCmdID, POINT* pt, std::string* why) {
  const std::string what = "element " + std::to_string(nCmdID);
  CUiWindow* item = static_cast<T*>(this)->FindClickableByCmdID(nCmdID);
  if (!item) return ClickFails(why, what, " is not in the dialog");
  if (!item->IsVisible(TRUE)) return ClickFails(why, what, " is hidden");
  return ClickPointIn(item, item->GetRect(), what, pt, why);
}

template <class T, class TRoot, class TBase, class TWinTraits>
BOOL CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::GetTabClickPoint(UINT nTabCtrlID, int nIndex, POINT* pt,
                                                                       std::string* why) {
  const std::string what = "tab " + std::to_string(nIndex) + " of element " + std::to_string(nTabCtrlID);
  CUiWindow* item = static_cast<T*>(this)->FindClickableByCmdID(nTabCtrlID);
  if (!item || !item->IsClass("tabctrl")) return ClickFails(why, what, ": no such tab control in the dialog");
  if (!item->IsVisible(TRUE)) return ClickFails(why, what, " is hidden");
  RECT head{};
  if (!static_cast<CUiTabCtrl*>(item)->GetItemRect(nIndex, &head)) return ClickFails(why, what, " has no head");
  return ClickPointIn(item, head, what, pt, why);
}

// The centre of rc, when a click there reaches the item.
template <class T, class TRoot, class TBase, class TWinTraits>
BOOL CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::ClickPointIn(CUiWindow* item, const RECT& rc,
                                                                   const std::string& what, POINT* pt,
                                                                   std::string* why) {
  POINT centre{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  if (::IsRectEmpty(&rc) || !::PtInRect(&client, centre)) return ClickFails(why, what, " is outside the view");
  HUIWND hit = HitTestRoots(centre, FALSE);
  if (hit != item->GetHandle()) return ClickFails(why, what, " is covered by another element");
  // A press on anything but a button, image button or link in the header drags the window.
  if (m_bHasHeader && m_header.HitTest(centre) == hit && !IsHeaderControl(item))
    return ClickFails(why, what, " in the header cannot be clicked");
  *pt = centre;
  return TRUE;
}

template <class T, class TRoot, class TBase, class TWinTraits>
UINT CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::ClickPointMessage() {
  static const UINT message = ::RegisterWindowMessageW(L"QuorvaneElementClickPoint");
  return message;
}

template <class T, class TRoot, class TBase, class TWinTraits>
LRESULT CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::OnClickPointQuery(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  POINT pt;
  const BOOL found = lParam > 0 ? GetTabClickPoint(static_cast<UINT>(wParam), static_cast<int>(lParam) - 1, &pt, nullptr)
                                : GetClickPoint(static_cast<UINT>(wParam), &pt, nullptr);
  return found ? MAKELRESULT(pt.x, pt.y) : -1;
}

template <class T, class TRoot, class TBase, class TWinTraits>
bool CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::IsHeaderControl(CUiWindow* pItem) {
  return pItem && (pItem->IsClass("button") || pItem->IsClass("imgbtn") || pItem->IsClass("link"));
}

template <class T, class TRoot, class TBase, class TWinTraits>
void CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::SendViewNotify(UINT code) {
  HWND parent = ::GetParent(m_hWnd);
  if (!parent) return;
  NMHDR nm{m_hWnd, IDC_UIVIEW, code};
  ::SendMessageW(parent, WM_NOTIFY, IDC_UIVIEW, reinterpret_cast<LPARAM>(&nm));
}

template <class T, class TRoot, class TBase, class TWinTraits>
void CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::UpdateToolTip(CUiWindow* pItem) {
  if (!m_hToolTip) return;
  TTTOOLINFOW ti = ViewTool(m_hWnd);
  std::wstring tip = pItem ? pItem->GetTip() : std::wstring();
  ti.lpszText = &tip[0];
  ::SendMessageW(m_hToolTip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

template <class T, class TRoot, class TBase, class TWinTraits>
LRESULT CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::OnMouseMove(UINT, WPARAM wParam,
                                                                    LPARAM lParam, BOOL&) {
  if (!m_bTracking) {
    TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, m_hWnd, 0};
    m_bTracking = ::TrackMouseEvent(&tme);
    SendViewNotify(UINM_MOUSEHOVER);
  }
  POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  HUIWND hit = HitTestRoots(pt, FALSE);
  if (!hit) return 0;
  CUiWindow* item = UiWnds::GetWindow(hit);
  if (!item) return 0;
  if (!item->IsDisabled(TRUE)) {
    item->UiSendMessage(WM_MOUSEMOVE, wParam, lParam);
    item = UiWnds::GetWindow(hit);  // the handler may have reloaded its panel
    if (!item) return 0;
  }
  if (hit != m_hHover) {
    if (CUiWindow* old = UiWnds::GetWindow(m_hHover)) {
      if (!old->IsDisabled(TRUE)) {
        ModifyElementState(old, 0, UiWndState_Hover);
        old->UiSendMessage(WM_MOUSELEAVE, 0, 0);
      }
    }
    item = UiWnds::GetWindow(hit);
    if (item && !item->IsDisabled(TRUE)) ModifyElementState(item, UiWndState_Hover, 0);
    m_hHover = hit;
    UpdateToolTip(item);
  }
  return 0;
}

template <class T, class TRoot, class TBase, class TWinTraits>
LRESULT CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&) {
  m_bTracking = FALSE;
  if (CUiWindow* hover = UiWnds::GetWindow(m_hHover)) {
    ModifyElementState(hover, 0, UiWndState_Hover);
    hover->UiSendMessage(WM_MOUSELEAVE, 0, 0);
  }
  m_hHover = 0;
  if (CUiWindow* pushed = UiWnds::GetWindow(m_hPushDown)) ModifyElementState(pushed, 0, UiWndState_PushDown);
  m_hPushDown = 0;
  SendViewNotify(UINM_MOUSELEAVE);
  return 0;
}

template <class T, class TRoot, class TBase, class TWinTraits>
LRESULT CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::OnLButtonDown(UINT, WPARAM wParam,
                                                                      LPARAM lParam, BOOL&) {
  POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  BOOL drags = FALSE;
  HUIWND hit = PressTarget(pt, &drags);
  if (drags) {
    HWND frame = ::GetParent(m_hWnd);
    DWORD style = frame ? static_cast<DWORD>(::GetWindowLongW(frame, GWL_STYLE)) : 0;
    if (frame && !(style & (WS_MINIMIZE | WS_MAXIMIZE)))
      ::SendMessageW(frame, WM_SYSCOMMAND, 0xF012, 0);  // SC_MOVE by caption
    return 0;
  }
  CUiWindow* item = UiWnds::GetWindow(hit);
  if (!item || item->IsDisabled(TRUE) || ::GetCapture() == m_hWnd) return 0;
  ::SetCapture(m_hWnd);
  m_bCaptured = TRUE;
  if (m_hHover != hit) m_hHover = hit;
  m_hPushDown = hit;
  ModifyElementState(item, UiWndState_PushDown, 0);
  if ((item = UiWnds::GetWindow(hit)) != nullptr) item->UiSendMessage(WM_LBUTTONDOWN, wParam, lParam);
  return 0;
}

template <class T, class TRoot, class TBase, class TWinTraits>
LRESULT CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::OnLButtonUp(UINT, WPARAM wParam,
                                                                    LPARAM lParam, BOOL&) {
  if (m_bCaptured) {
    m_bCaptured = FALSE;  // before the release, so WM_CAPTURECHANGED sees it is ours
    ::ReleaseCapture();
  }
  HUIWND pressed = m_hPushDown;
  m_hPushDown = 0;
  CUiWindow* item = UiWnds::GetWindow(pressed);
  if (!item) return 0;
  ModifyElementState(item, 0, UiWndState_PushDown);
  // A click counts only when the button goes up over the element it went down on.
  POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  if (pressed != m_hHover || !::PtInRect(&client, pt) || HitTestRoots(pt, FALSE) != pressed)
    return 0;
  if (item->IsDisabled(TRUE)) return 0;
  item->UiSendMessage(WM_LBUTTONUP, wParam, lParam);
  item = UiWnds::GetWindow(pressed);
  if (!item) return 0;
  std::wstring href = item->GetHref();
  if (!href.empty()) {
    ::ShellExecuteW(m_hWnd, L"open", href.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return 0;
  }
  UINT id = static_cast<UINT>(item->GetCmdID());
  if (!id) return 0;
  HWND parent = ::GetParent(m_hWnd);
  if (!parent) return 0;
  UINMCOMMAND nm{};
  nm.hdr.hwndFrom = m_hWnd;
  nm.hdr.idFrom = IDC_UIVIEW;
  nm.hdr.code = UINM_COMMAND;
  nm.uItemID = id;
  nm.szItemClass = item->GetObjectClass();
  ::SendMessageW(parent, WM_NOTIFY, IDC_UIVIEW, reinterpret_cast<LPARAM>(&nm));
  return 0;
}

template <class T, class TRoot, class TBase, class TWinTraits>
LRESULT CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::OnLButtonDblClk(UINT, WPARAM, LPARAM lParam,
                                                                        BOOL&) {
  POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  HUIWND hit = HitTestRoots(pt, TRUE);
  CUiWindow* item = UiWnds::GetWindow(hit);
  if (!item || IsHeaderControl(item) || !m_bMaximizable) return 0;
  HWND frame = ::GetParent(m_hWnd);
  if (!frame) return 0;
  DWORD style = static_cast<DWORD>(::GetWindowLongW(frame, GWL_STYLE));
  ::SendMessageW(frame, WM_SYSCOMMAND, (style & WS_MAXIMIZE) ? SC_RESTORE : SC_MAXIMIZE, 0);
  return 0;
}

// Someone else took the capture: the press is over, and the next press must work.
template <class T, class TRoot, class TBase, class TWinTraits>
LRESULT CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::OnCaptureChanged(UINT, WPARAM,
                                                                         LPARAM lParam, BOOL&) {
  if (!m_bCaptured || reinterpret_cast<HWND>(lParam) == m_hWnd) return 0;
  m_bCaptured = FALSE;
  if (CUiWindow* pushed = UiWnds::GetWindow(m_hPushDown)) ModifyElementState(pushed, 0, UiWndState_PushDown);
  m_hPushDown = 0;
  return 0;
}

template <class T, class TRoot, class TBase, class TWinTraits>
LRESULT CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::OnSetCursor(UINT, WPARAM wParam, LPARAM,
                                                                    BOOL&) {
  // A hosted control sets its own cursor (edit boxes keep their I-beam).
  if (reinterpret_cast<HWND>(wParam) != m_hWnd) return FALSE;
  CUiWindow* hover = UiWnds::GetWindow(m_hHover);
  if (hover && !hover->IsDisabled(TRUE))
    hover->SetCursor();
  else
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
  return TRUE;
}

template <class T, class TRoot, class TBase, class TWinTraits>
LRESULT CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::OnNotifyInvalidateRect(int, LPNMHDR pnmh,
                                                                               BOOL&) {
  _InvalidateRect(reinterpret_cast<UINMINVALIDATERECT*>(pnmh)->rect);
  return 0;
}

template <class T, class TRoot, class TBase, class TWinTraits>
LRESULT CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::OnCustomDraw(int, LPNMHDR pnmh,
                                                                     BOOL& bHandled) {
  if (pnmh->hwndFrom == m_hWnd || !pnmh->hwndFrom) {
    bHandled = FALSE;
    return 0;
  }
  return OwnDelivery::Send(pnmh->hwndFrom, OCM_NOTIFY, IDC_UIVIEW, reinterpret_cast<LPARAM>(pnmh));
}

template <class T, class TRoot, class TBase, class TWinTraits>
LRESULT CUiDialogViewImpl<T, TRoot, TBase, TWinTraits>::OnForwardToParent(UINT uMsg, WPARAM wParam,
                                                                          LPARAM lParam, BOOL&) {
  HWND parent = m_bForward ? ::GetParent(m_hWnd) : nullptr;
  return parent ? ::SendMessageW(parent, uMsg, wParam, lParam) : 0;
}

// The one view of the console.
template class CUiDialogViewImpl<CUiDialogView, CUiDialog, CWindow, CWinTraits<0x52010000, 0x0>>;
