#include "controls/CComboBoxCtrlEx.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cstdint>

#include "controls/CListBoxEx.h"
#include "controls/CSkinScrollWnd.h"
#include "platform/CDC.h"
#include "platform/CWindowDCs.h"
#include "uiwin/UiBmpPool.h"
#include "uiwin/UiFontPool.h"

namespace {

// Centred, one line, internal-font metrics; a text too long for its place ends in an
// ellipsis instead of losing its start. Entries are host names: an "&" is shown as it is.
const UINT kTextFormat = DT_INTERNAL | DT_SINGLELINE | DT_CENTER | DT_END_ELLIPSIS | DT_NOPREFIX;
const int kButtonCell = 18;

// The open list's thumb, past 16 bits of lines as well (see CListBoxEx::ShowThumbLine).
LRESULT CALLBACK ListThumbLine(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message == WM_VSCROLL && CListBoxEx::ShowThumbLine(list, wParam, lParam)) return 0;
  if (message == WM_NCDESTROY) ::RemoveWindowSubclass(list, ListThumbLine, 0);
  return ::DefSubclassProc(list, message, wParam, lParam);
}

// The button strip at the right that shows the hovered look.
bool OverButton(const RECT& client, int x, int y) {
  return x > client.right - 40 && x < client.right && y >= 0 && y <= client.bottom - 1;
}

// The normal button cell in greys, lighter, as the skin's disabled buttons are drawn:
// the arrow's dark becomes 0xA8, the fill's light 0xF0.
void DrawGreyedCell(HDC dc, int x, int y, int height, HDC cells) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), kButtonCell, -kButtonCell, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  CBitmap grey(::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  CDC greyDc;
  if (grey.IsNull() || !greyDc.CreateCompatibleDC(dc)) return;
  HGDIOBJ old = greyDc.SelectObject(grey.Get());
  ::BitBlt(greyDc, 0, 0, kButtonCell, kButtonCell, cells, 0, 0, SRCCOPY);
  ::GdiFlush();
  uint32_t* pixel = static_cast<uint32_t*>(bits);
  for (int i = 0; i < kButtonCell * kButtonCell; ++i) {
    const uint32_t c = pixel[i];
    const int luma = (299 * int(c >> 16 & 0xFF) + 587 * int(c >> 8 & 0xFF) + 114 * int(c & 0xFF)) / 1000;
    int g = 0xA8 + (luma - 0x30) * (0xF0 - 0xA8) / (0xE6 - 0x30);
    g = g < 0xA8 ? 0xA8 : g > 0xF4 ? 0xF4 : g;
    pixel[i] = uint32_t(g) << 16 | uint32_t(g) << 8 | uint32_t(g);
  }
  ::SetStretchBltMode(dc, COLORONCOLOR);
  ::StretchBlt(dc, x, y, kButtonCell, height, greyDc, 0, 0, kButtonCell, kButtonCell, SRCCOPY);
  greyDc.SelectObject(old);
}

}  // namespace

CComboBoxCtrlEx::CComboBoxCtrlEx() : m_bkBrush(::CreateSolidBrush(m_bkColor)) {}

namespace {
// The box's own procedure while it empties: its list's deletion notices stop here.
thread_local WNDPROC t_emptyingProc = nullptr;
LRESULT CALLBACK EmptyingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return message == WM_DELETEITEM ? TRUE : ::CallWindowProcW(t_emptyingProc, window, message, wParam, lParam);
}
}  // namespace

void CComboBoxCtrlEx::ResetContentUnheard() {
  if (!::IsWindow(m_hWnd) || t_emptyingProc) return;
  t_emptyingProc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EmptyingProc)));
  ::CallWindowProcW(t_emptyingProc, m_hWnd, CB_RESETCONTENT, 0, 0);
  ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(t_emptyingProc));
  t_emptyingProc = nullptr;
}

HWND CComboBoxCtrlEx::Create(HWND parent, const RECT& rc, LPCWSTR name, DWORD style,
                             DWORD exStyle, UINT id, void* param, UINT buttonBitmap) {
  m_button = UiBmpPool::GetBitmap(buttonBitmap ? buttonBitmap : kDefaultButtonBitmap);
  HWND wnd = CWindowImpl::Create(parent, rc, name, style, exStyle, id, param);
  // Once: setting it while painting would resize the box and paint it again.
  if (wnd) SendMessage(CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), 16);
  return wnd;
}

void CComboBoxCtrlEx::SetColors(COLORREF text, COLORREF selectedText, COLORREF background,
                                COLORREF selectedBackground) {
  m_textColor = text;
  m_selTextColor = selectedText;
  m_bkColor = background;
  m_selBkColor = selectedBackground;
  m_bkBrush.Attach(::CreateSolidBrush(m_bkColor));
  if (m_hWnd) Invalidate(FALSE);
}

void CComboBoxCtrlEx::SetScrollSkin(HBITMAP skin, UINT skinId) {
  m_scrollSkin = skin;
  m_scrollSkinId = skinId;
  if (!IsWindow()) return;
  ShowDropDown(TRUE);
  ShowDropDown(FALSE);
}

void CComboBoxCtrlEx::DoPaint(CDCHandle dc) {
  CRect client;
  GetClientRect(&client);
  HGDIOBJ oldFont = dc.SelectObject(UiFontPool::GetFont(0));
  ::FrameRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  dc.SetBkMode(TRANSPARENT);
  CRect inside = client;
  inside.DeflateRect(1, 1);
  dc.FillSolidRect(inside, m_bkColor);
  // Disabled, it looks as the disabled edit fields beside it: grey text, a grey button.
  const bool enabled = IsWindowEnabled() != FALSE;
  if (!enabled) dc.SetTextColor(::GetSysColor(COLOR_GRAYTEXT));
  const int selected = GetCurSel();
  if (selected >= 0) {
    const std::wstring text = GetLBText(selected);
    CRect place(client.left, client.top + 3, client.right - kButtonCell, client.bottom);
    dc.DrawText(text.c_str(), static_cast<int>(text.size()), &place, kTextFormat);
  }
  const int cellX = m_pressed ? 40 : m_hovered ? 20 : 0;
  CDC cells;
  if (m_button && cells.CreateCompatibleDC(dc)) {
    HGDIOBJ oldBitmap = cells.SelectObject(m_button);
    if (enabled) {
      ::SetStretchBltMode(dc, COLORONCOLOR);
      ::StretchBlt(dc, client.right - 19, client.top + 1, kButtonCell, client.Height() - 1, cells,
                   cellX, 0, kButtonCell, kButtonCell, SRCCOPY);
    } else {
      DrawGreyedCell(dc, client.right - 19, client.top + 1, client.Height() - 1, cells);
    }
    cells.SelectObject(oldBitmap);
  }
  dc.SelectObject(oldFont);
}

void CComboBoxCtrlEx::DrawItem(const DRAWITEMSTRUCT* item) {
  if (item->itemState & ODS_COMBOBOXEDIT) {
    // The control paints its face outside WM_PAINT when the selection changes; the face
    // is ours, so have it painted the usual way.
    Invalidate(FALSE);
    return;
  }
  if (item->itemID == static_cast<UINT>(-1)) return;
  CDCHandle dc(item->hDC);
  HGDIOBJ oldFont = dc.SelectObject(UiFontPool::GetFont(0));
  dc.SetBkMode(TRANSPARENT);
  const bool selected = (item->itemState & ODS_SELECTED) != 0;
  dc.FillSolidRect(item->rcItem, selected ? m_selBkColor : m_bkColor);
  dc.SetTextColor(selected ? m_selTextColor : m_textColor);
  const std::wstring text = GetLBText(static_cast<int>(item->itemID));
  CRect place = item->rcItem;
  dc.DrawText(text.c_str(), static_cast<int>(text.size()), &place, kTextFormat);
  dc.SelectObject(oldFont);
}

LRESULT CComboBoxCtrlEx::OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
  CRect client;
  GetClientRect(&client);
  const BOOL over = OverButton(client, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  // Ask for WM_MOUSELEAVE, so that the hovered look goes when the mouse does.
  TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, m_hWnd, 0};
  ::TrackMouseEvent(&track);
  if (over != m_hovered) {
    m_hovered = over;
    Invalidate(FALSE);
  }
  bHandled = FALSE;
  return 0;
}

LRESULT CComboBoxCtrlEx::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  if (m_hovered || m_pressed) Invalidate(FALSE);
  m_pressed = m_hovered = FALSE;
  bHandled = FALSE;
  return 0;
}

LRESULT CComboBoxCtrlEx::OnCtlColorEdit(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  CDCHandle dc(reinterpret_cast<HDC>(wParam));
  HWND edit = reinterpret_cast<HWND>(lParam);
  if (edit != ::GetWindow(m_hWnd, GW_CHILD)) return 0;
  dc.SelectObject(UiFontPool::GetFont(0));
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(m_textColor);
  CRect rc;
  ::GetClientRect(edit, &rc);
  rc.bottom += 2;
  dc.FillSolidRect(rc, m_bkColor);
  return reinterpret_cast<LRESULT>(m_bkBrush.Get());
}

LRESULT CComboBoxCtrlEx::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
  CRect client;
  GetClientRect(&client);
  if (GET_X_LPARAM(lParam) > client.right - 20) {
    m_pressed = TRUE;
    Invalidate(FALSE);
  }
  bHandled = FALSE;
  return 0;
}

LRESULT CComboBoxCtrlEx::OnLButtonUp(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  if (m_pressed) Invalidate(FALSE);
  m_pressed = FALSE;
  bHandled = FALSE;
  return 0;
}

LRESULT CComboBoxCtrlEx::OnEditUpdate(WORD, WORD, HWND, BOOL&) {
  // Setting the edit part's text again repaints it in our colours; the caret stays.
  const DWORD sel = static_cast<DWORD>(SendMessage(CB_GETEDITSEL));
  SetWindowText(GetWindowText().c_str());
  SendMessage(CB_SETEDITSEL, 0, MAKELPARAM(LOWORD(sel), HIWORD(sel)));
  return 0;
}

HWND CComboBoxCtrlEx::ListFrame() const {
  CSkinScrollWnd* frame = CSkinScrollWnd::FromTarget(m_dropList);
  return frame ? frame->m_hWnd : nullptr;
}

LRESULT CComboBoxCtrlEx::OnCtlColorListBox(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
  bHandled = FALSE;  // the forwarding window colours the list
  HWND list = reinterpret_cast<HWND>(lParam);
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  // Only this combo's list, and once: a list counts as remembered while it is skinned.
  if (!m_scrollSkin || ListFrame() || !::GetComboBoxInfo(m_hWnd, &info) || list != info.hwndList)
    return 0;
  // Under the skin's hook, which passes the bars' messages on.
  ::SetWindowSubclass(list, ListThumbLine, 0, 0);
  if (SkinWndScroll(list, m_scrollSkin, m_scrollSkinId)) m_dropList = list;
  return 0;
}

LRESULT CComboBoxCtrlEx::OnDropDown(WORD, WORD, HWND hWndCtl, BOOL& bHandled) {
  bHandled = FALSE;
  HWND frame = ListFrame();
  if (hWndCtl != m_hWnd || !frame) return 0;
  CRect dropped, box;
  SendMessage(CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
  GetWindowRect(&box);
  const int itemHeight = static_cast<int>(SendMessage(CB_GETITEMHEIGHT, 0));
  const int needed = itemHeight * GetCount() + 2;
  const int most = m_visibleItems * dropped.Height() - 2;
  POINT at{box.left, box.bottom};
  ::MapWindowPoints(nullptr, ::GetParent(frame), &at, 1);
  ::SetWindowPos(frame, HWND_TOPMOST, at.x, at.y, dropped.Width(), needed >= most ? most : needed,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
  return 0;
}

LRESULT CComboBoxCtrlEx::OnCloseUp(WORD, WORD, HWND hWndCtl, BOOL& bHandled) {
  bHandled = FALSE;
  HWND frame = ListFrame();
  if (hWndCtl == m_hWnd && frame) ::ShowWindow(frame, SW_HIDE);
  return 0;
}
