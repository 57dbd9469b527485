#include "controls/CSkinScrollWnd.h"

#include "controls/DrawHelpers.h"
#include "platform/CWindowDCs.h"

namespace {

const UINT_PTR kSyncTimer = 100;
// The target's own window procedure while our hook is in its chain.
const wchar_t kOldProcProp[] = L"QvSkinScrollOldProc";

CRect RectInParent(HWND wnd) {
  CRect rc;
  ::GetWindowRect(wnd, &rc);
  ::MapWindowPoints(nullptr, ::GetParent(wnd), reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

bool SameState(const SCROLLINFO& a, const SCROLLINFO& b) {
  return a.nMin == b.nMin && a.nMax == b.nMax && a.nPos == b.nPos && a.nPage == b.nPage;
}

}  // namespace

CSkinScrollWnd* CSkinScrollWnd::FromTarget(HWND target) {
  if (!target || !::GetPropW(target, kOldProcProp)) return nullptr;
  return reinterpret_cast<CSkinScrollWnd*>(::GetWindowLongPtrW(target, GWLP_USERDATA));
}

BOOL CSkinScrollWnd::SkinWindow(HWND target, HBITMAP skin, UINT id) {
  if (!::IsWindow(target) || m_hWnd) return FALSE;
  m_hBmp = skin;
  BITMAP bm{};
  if (skin && ::GetObjectW(skin, sizeof bm, &bm)) m_nBarWidth = bm.bmWidth / 9;

  const CRect rc = RectInParent(target);
  CRect rc0(0, 0, rc.Width(), rc.Height());
  const UINT ctrlId = static_cast<UINT>(::GetDlgCtrlID(target));
  const DWORD style = static_cast<DWORD>(::GetWindowLongW(target, GWL_STYLE));
  const DWORD exStyle = static_cast<DWORD>(::GetWindowLongW(target, GWL_EXSTYLE));
  DWORD frameStyle = 0x40000100 | WS_CLIPCHILDREN | (style & WS_VISIBLE);
  DWORD frameExStyle = (exStyle & WS_EX_TOOLWINDOW) ? 0x88 : 0;
  // The frame wears the target's border instead of the target.
  if (style & WS_BORDER) {
    frameStyle |= WS_BORDER;
    rc0.DeflateRect(0, 0, 2 * ::GetSystemMetrics(SM_CXBORDER), 2 * ::GetSystemMetrics(SM_CXBORDER));
  }
  if (exStyle & WS_EX_CLIENTEDGE) {
    frameExStyle |= WS_EX_CLIENTEDGE;
    rc0.DeflateRect(0, 0, 2 * ::GetSystemMetrics(SM_CXEDGE), 2 * ::GetSystemMetrics(SM_CXEDGE));
  }
  if (!Create(::GetParent(target), rc, L"SkinScrollBarFrame", frameStyle, frameExStyle, ctrlId))
    return FALSE;
  ::SetWindowPos(m_hWnd, target, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (!m_limit.Create(m_hWnd, CRect(), L"LIMIT", WS_CHILD | WS_VISIBLE, 0, id) ||
      !m_hbar.Create(m_hWnd, CRect(), nullptr, WS_CHILD | SBS_HORZ, 0, id + 1) ||
      !m_vbar.Create(m_hWnd, CRect(), nullptr, WS_CHILD | SBS_VERT, 0, id + 2))
    return FALSE;
  m_hbar.SetBitmap(skin);
  m_vbar.SetBitmap(skin);

  ::SetWindowLongW(target, GWL_STYLE, static_cast<LONG>(style & ~WS_BORDER));
  ::SetWindowLongW(target, GWL_EXSTYLE, static_cast<LONG>(exStyle & ~WS_EX_CLIENTEDGE));
  ::SetParent(target, m_limit);
  m_hTarget = target;
  ::SetWindowLongPtrW(target, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  m_pfnOldProc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(target, GWLP_WNDPROC));
  ::SetPropW(target, kOldProcProp, reinterpret_cast<HANDLE>(m_pfnOldProc));
  ::SetWindowLongPtrW(target, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HookProc));

  ::SetWindowPos(target, nullptr, rc0.left, rc0.top, rc0.Width(), rc0.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  SetTimer(kSyncTimer, 500);
  ::ShowWindow(target, SW_SHOW);
  if (style & WS_VSCROLL) SyncBar(SB_VERT, true);
  if (style & WS_HSCROLL) SyncBar(SB_HORZ, true);
  return TRUE;
}

CSkinScrollWnd* CSkinScrollWnd::HookedBy(HWND target) {
  auto* frame = reinterpret_cast<CSkinScrollWnd*>(::GetWindowLongPtrW(target, GWLP_USERDATA));
  return frame && frame->m_hTarget == target ? frame : nullptr;
}

// Every message of the target passes here: the procedure comes from the frame, and
// from the property only once the frame has let the target go. Under Wine a property
// is a trip to the window server, and a tree of 20,000 hosts takes several messages each.
LRESULT CALLBACK CSkinScrollWnd::HookProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  const CSkinScrollWnd* hooked = HookedBy(hWnd);
  const WNDPROC old = hooked ? hooked->m_pfnOldProc : reinterpret_cast<WNDPROC>(::GetPropW(hWnd, kOldProcProp));
  if (uMsg == WM_DESTROY) UnskinWndScroll(hWnd);
  const LRESULT result = old ? ::CallWindowProcW(old, hWnd, uMsg, wParam, lParam)
                             : ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
  if (uMsg == WM_NCDESTROY) {
    ::RemovePropW(hWnd, kOldProcProp);
    return result;
  }
  CSkinScrollWnd* frame = HookedBy(hWnd);
  if (frame && !frame->m_bSyncing) frame->OnTargetMessage(uMsg, wParam, lParam);
  return result;
}

void CSkinScrollWnd::OnTargetMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == WM_ERASEBKGND) {
    const DWORD style = static_cast<DWORD>(::GetWindowLongW(m_hTarget, GWL_STYLE));
    if (style & WS_VSCROLL) SyncBar(SB_VERT, false);
    if (style & WS_HSCROLL) SyncBar(SB_HORZ, false);
  } else if (uMsg == WM_NCCALCSIZE && wParam) {
    OnTargetNcCalcSize(reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]);
  }
}

// c: the client rectangle the target's own procedure proposes, in the clipping child's
// coordinates. It grows so that only the skinned bar's width is left to the target's
// own bar, which the clipping child then cuts off.
void CSkinScrollWnd::OnTargetNcCalcSize(RECT& c) {
  const DWORD style = static_cast<DWORD>(::GetWindowLongW(m_hTarget, GWL_STYLE));
  const bool vert = (style & WS_VSCROLL) != 0, horz = (style & WS_HSCROLL) != 0;
  const bool left = (::GetWindowLongW(m_hTarget, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
  const int cx = ::GetSystemMetrics(SM_CXVSCROLL), w = m_nBarWidth;
  if (vert) {
    if (left)
      c.left += w - cx;
    else
      c.right += cx - w;
  }
  if (horz) c.bottom += cx - w;

  // The bars' places in the frame (the clipping child moves when the bar is left).
  CRect f(c);
  ::MapWindowPoints(m_limit, m_hWnd, reinterpret_cast<POINT*>(&f), 2);
  const CRect vrc = left ? CRect(f.left - w, 0, f.left, f.bottom) : CRect(f.right, 0, f.right + w, f.bottom);
  const CRect hrc = left ? CRect(f.left, f.bottom, f.right, f.bottom + w)
                         : CRect(0, f.bottom, f.right, f.bottom + w);
  const int corner = vert && horz ? (left ? 1 : 2) : 0;
  if (corner != m_nCorner) {
    m_nCorner = corner;
    Invalidate();
  }
  // On top of everything else in the frame, so nothing the target paints covers them.
  auto place = [](CSkinScrollBar& bar, bool show, const CRect& rc) {
    if (show)
      bar.SetWindowPos(HWND_TOP, rc.left, rc.top, rc.Width(), rc.Height(), SWP_SHOWWINDOW | SWP_NOACTIVATE);
    else
      bar.ShowWindow(SW_HIDE);
  };
  place(m_vbar, vert, vrc);
  place(m_hbar, horz, hrc);
  PostMessage(kLayoutMessage, style & WS_VSCROLL, left);
}

void CSkinScrollWnd::Unhook() {
  HWND target = m_hTarget;
  if (!target) return;
  m_hTarget = nullptr;
  // Someone who hooked the target after us keeps our hook in their chain; it then
  // only passes messages on.
  if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(target, GWLP_WNDPROC)) == &HookProc) {
    ::SetWindowLongPtrW(target, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnOldProc));
    ::RemovePropW(target, kOldProcProp);
  }
  ::SetWindowLongPtrW(target, GWLP_USERDATA, 0);
}

void CSkinScrollWnd::SyncBar(int axis, bool force) {
  if (!m_hTarget) return;
  CSkinScrollBar& bar = axis == SB_VERT ? m_vbar : m_hbar;
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  if (!::GetScrollInfo(m_hTarget, axis, &si)) return;
  SCROLLINFO shown{};
  shown.cbSize = sizeof shown;
  shown.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  bar.SendMessage(SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&shown));
  if (force || !SameState(si, shown)) bar.SendMessage(SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&si));
  bar.EnableWindow(CSkinScrollBar::IsScrollable(si));
}

LRESULT CSkinScrollWnd::OnSize(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
  const int cx = LOWORD(lParam), cy = HIWORD(lParam);
  if (m_hTarget && cx && cy) ::SetWindowPos(m_hTarget, nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
  bHandled = FALSE;
  return 0;
}

LRESULT CSkinScrollWnd::OnScroll(UINT uMsg, WPARAM wParam, LPARAM, BOOL&) {
  if (!m_hTarget) return 0;
  const int axis = uMsg == WM_VSCROLL ? SB_VERT : SB_HORZ;
  const CSkinScrollBar& bar = axis == SB_VERT ? m_vbar : m_hbar;
  const int code = LOWORD(wParam);
  const BOOL saved = m_bSyncing;
  m_bSyncing = TRUE;
  // The bar goes along, so the target can read a 32-bit thumb position from it.
  ::SendMessageW(m_hTarget, uMsg, wParam, reinterpret_cast<LPARAM>(bar.m_hWnd));
  m_bSyncing = saved;
  if (code != SB_THUMBTRACK) SyncBar(axis, true);
  return 0;
}

LRESULT CSkinScrollWnd::OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
  CPaintDC dc(m_hWnd);
  if (!m_nCorner || !m_hBmp) return 0;
  CRect client;
  GetClientRect(&client);
  const int s = m_nBarWidth, row = m_nCorner == 2 ? 0 : 1;
  DrawBitmapPart(dc, m_nCorner == 2 ? client.right - s : 0, client.bottom - s, m_hBmp,
                 CRect(8 * s, row * s, 9 * s, (row + 1) * s));
  return 0;
}

LRESULT CSkinScrollWnd::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  if (wParam != kSyncTimer) {
    bHandled = FALSE;
    return 0;
  }
  if ((m_hbar.GetStyle() & WS_VISIBLE) && !m_hbar.IsDragging()) SyncBar(SB_HORZ, false);
  if ((m_vbar.GetStyle() & WS_VISIBLE) && !m_vbar.IsDragging()) SyncBar(SB_VERT, false);
  return 0;
}

LRESULT CSkinScrollWnd::OnLayout(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  if (!m_hTarget) return 0;
  const BOOL saved = m_bSyncing;
  m_bSyncing = TRUE;
  CRect limit;
  GetClientRect(&limit);
  const int w = m_nBarWidth;
  int x = 0;
  if (m_hbar.GetStyle() & WS_VISIBLE) limit.bottom -= w;
  if (wParam) {
    if (lParam) {
      limit.left += w;
      x = -w;
    } else {
      limit.right -= w;
    }
  }
  m_limit.MoveWindow(limit);
  ::SetWindowPos(m_hTarget, nullptr, x, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  m_bSyncing = saved;
  return 0;
}

LRESULT CSkinScrollWnd::OnSetFocus(UINT, WPARAM, LPARAM, BOOL&) {
  if (m_hTarget) ::SetFocus(m_hTarget);
  return 0;
}

LRESULT CSkinScrollWnd::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  // Our dialog is going: the target goes with it, unhooked before anything dies.
  m_bDestroying = TRUE;
  Unhook();
  bHandled = FALSE;
  return 0;
}

CSkinScrollWnd* SkinWndScroll(HWND target, HBITMAP skin, UINT id) {
  if (!::IsWindow(target)) return nullptr;
  if (CSkinScrollWnd* skinned = CSkinScrollWnd::FromTarget(target)) return skinned;
  CSkinScrollWnd* frame = new CSkinScrollWnd;
  if (frame->SkinWindow(target, skin, id)) return frame;
  if (frame->m_hWnd)
    ::DestroyWindow(frame->m_hWnd);  // the frame deletes itself with its window
  else
    delete frame;
  return nullptr;
}

int UnskinWndScroll(HWND target) {
  CSkinScrollWnd* frame = CSkinScrollWnd::FromTarget(target);
  if (!frame) return 1;
  frame->Unhook();
  if (frame->m_hWnd && !frame->m_bDestroying) {
    const CRect rc = RectInParent(frame->m_hWnd);
    ::SetParent(target, ::GetParent(frame->m_hWnd));
    ::SetWindowPos(target, frame->m_hWnd, rc.left, rc.top, rc.Width(), rc.Height(), SWP_NOACTIVATE);
    ::DestroyWindow(frame->m_hWnd);
  }
  return 1;
}
