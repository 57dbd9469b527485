#include "uiwin/CUiTabCtrl.h"

#include <tinyxml.h>
#include <windowsx.h>

#include <cstring>
#include <utility>

#include "uiwin/CUiSkinBase.h"
#include "uiwin/CUiTab.h"
#include "uiwin/UiNotify.h"
#include "uiwin/UiSkin.h"

namespace {

enum { kAlignTop = 0, kAlignLeft = 1 };

RECT Normalized(RECT rc) {
  if (rc.left > rc.right) std::swap(rc.left, rc.right);
  if (rc.top > rc.bottom) std::swap(rc.top, rc.bottom);
  return rc;
}

}  // namespace

const char* const CUiTabCtrl::kTag = "tabctrl";

CUiWindow* CUiTabCtrl::CreateByTag(const char* pszTag) {
  return (pszTag && strcmp(pszTag, kTag) == 0) ? new CUiTabCtrl : NULL;
}

CUiTabCtrl::CUiTabCtrl()
    : m_nHover(-1),
      m_nCurSel(0),
      m_nTabSpacing(0),
      m_nTabPos(0),
      m_nFramePos(0),
      m_nTabWidth(0),
      m_nTabHeight(0),
      m_pTabSkin(NULL),
      m_pFrameSkin(NULL),
      m_pIconSkin(NULL),
      m_pSplitterSkin(NULL),
      m_rcPage(),
      m_nIconX(0),
      m_nIconY(0),
      m_nTextX(0),
      m_nTextY(0),
      m_nTabAlign(kAlignTop) {}

CUiTabCtrl::~CUiTabCtrl() { DestroyPages(); }

BOOL CUiTabCtrl::IsClass(const char* pszClass) const {
  return pszClass && strcmp(pszClass, kTag) == 0;
}

const char* CUiTabCtrl::GetObjectClass() const { return kTag; }

HRESULT CUiTabCtrl::SetAttribute(const char* pszName, const char* pszValue, BOOL bLoading) {
  const HRESULT hr = CUiContainerWnd::SetAttribute(pszName, pszValue, bLoading);
  if (SUCCEEDED(hr)) return hr;
  if (!pszName || !pszValue) return E_FAIL;
  if (strcmp(pszName, "cursel") == 0 && !bLoading && !m_pages.empty()) {
    // At run time the named page is shown at once, so the selected page stays
    // the one visible page (code that wants the dialog asked uses SetCurSel).
    const int index = CUiObject::ParseInt(pszValue);
    if (index < 0 || index >= GetItemCount()) return E_FAIL;
    ShowPage(index);
    return S_FALSE;
  }
  struct IntAttr {
    const char* name;
    int CUiTabCtrl::*field;
  };
  static const IntAttr kInts[] = {
      {"cursel", &CUiTabCtrl::m_nCurSel},         {"tabwidth", &CUiTabCtrl::m_nTabWidth},
      {"tabheight", &CUiTabCtrl::m_nTabHeight},   {"tabpos", &CUiTabCtrl::m_nTabPos},
      {"tabspacing", &CUiTabCtrl::m_nTabSpacing},
  };
  for (const IntAttr& a : kInts) {
    if (strcmp(pszName, a.name) == 0) {
      this->*a.field = CUiObject::ParseInt(pszValue);
      return S_FALSE;
    }
  }
  struct SkinAttr {
    const char* name;
    CUiSkinBase* CUiTabCtrl::*field;
  };
  static const SkinAttr kSkins[] = {
      {"tabskin", &CUiTabCtrl::m_pTabSkin},
      {"frameskin", &CUiTabCtrl::m_pFrameSkin},
      {"iconskin", &CUiTabCtrl::m_pIconSkin},
      {"splitterskin", &CUiTabCtrl::m_pSplitterSkin},
  };
  for (const SkinAttr& a : kSkins) {
    if (strcmp(pszName, a.name) == 0) {
      this->*a.field = UiSkin::GetSkin(pszValue);
      return S_FALSE;
    }
  }
  static const IntAttr kOffsets[] = {
      {"framepos", &CUiTabCtrl::m_nFramePos}, {"icon-x", &CUiTabCtrl::m_nIconX},
      {"icon-y", &CUiTabCtrl::m_nIconY},      {"text-x", &CUiTabCtrl::m_nTextX},
      {"text-y", &CUiTabCtrl::m_nTextY},
  };
  for (const IntAttr& a : kOffsets) {
    if (strcmp(pszName, a.name) == 0) {
      this->*a.field = CUiObject::ParseInt(pszValue);
      return S_FALSE;
    }
  }
  if (strcmp(pszName, "tabalign") == 0) {
    if (strcmp(pszValue, "top") == 0)
      m_nTabAlign = kAlignTop;
    else if (strcmp(pszValue, "left") == 0)
      m_nTabAlign = kAlignLeft;
    else
      return E_FAIL;
    return S_OK;
  }
  return E_FAIL;
}

// ---------------------------------------------------------------- loading

void CUiTabCtrl::DestroyPages() {
  std::vector<CUiTab*> pages;
  pages.swap(m_pages);
  m_nHover = -1;
  for (CUiTab* page : pages) {
    page->UiSendMessage(WM_DESTROY, 0, 0);
    delete page;
  }
}

BOOL CUiTabCtrl::Load(const TiXmlElement* pElem) {
  if (!CUiWindow::Load(pElem)) return FALSE;
  DestroyPages();
  for (const TiXmlElement* e = pElem->FirstChildElement(); e; e = e->NextSiblingElement()) {
    if (strcmp(e->Value(), CUiTab::kTag) != 0) continue;
    CUiTab* page = new CUiTab;
    page->SetParent(m_hUiWnd);
    page->SetContainer(m_hContainer);
    page->Load(e);
    page->SetAttribute("pos", "0,0,-0,-0", TRUE);
    m_pages.push_back(page);
  }
  // The page "cursel" names is shown when it has a head; otherwise the first
  // page that has one.
  int shown = -1;
  if (m_nCurSel >= 0 && m_nCurSel < GetItemCount() && !m_pages[m_nCurSel]->IsHidden()) {
    shown = m_nCurSel;
  } else {
    for (int i = 0; i < GetItemCount() && shown < 0; ++i)
      if (!m_pages[i]->IsHidden()) shown = i;
  }
  if (shown >= 0) m_nCurSel = shown;
  for (int i = 0; i < GetItemCount(); ++i)
    m_pages[i]->UiSendMessage(WM_SHOWWINDOW, i == shown ? TRUE : FALSE, 0);
  return TRUE;
}

// ---------------------------------------------------------------- geometry

SIZE CUiTabCtrl::GetHeadSize() const {
  SIZE size = {0, 0};
  if (m_pTabSkin) size = m_pTabSkin->GetSkinSize();
  if (m_nTabWidth) size.cx = m_nTabWidth;
  if (m_nTabHeight) size.cy = m_nTabHeight;
  return size;
}

BOOL CUiTabCtrl::GetItemRect(int nIndex, RECT* pRect) const {
  if (nIndex < 0 || nIndex >= GetItemCount() || !pRect) return FALSE;
  const SIZE head = GetHeadSize();
  int before = 0;
  for (int i = 0; i < nIndex; ++i)
    if (!m_pages[i]->IsHidden()) ++before;
  RECT rc = {m_rcWnd.left, m_rcWnd.top, m_rcWnd.left + head.cx, m_rcWnd.top + head.cy};
  if (m_nTabAlign == kAlignLeft)
    ::OffsetRect(&rc, 0, (head.cy + m_nTabSpacing) * before + m_nTabPos);
  else
    ::OffsetRect(&rc, (head.cx + m_nTabSpacing) * before + m_nTabPos, 0);
  *pRect = rc;
  return TRUE;
}

CUiTab* CUiTabCtrl::GetItem(int nIndex) const {
  return nIndex >= 0 && nIndex < GetItemCount() ? m_pages[nIndex] : NULL;
}

int CUiTabCtrl::HeadFromPoint(POINT pt) const {
  for (int i = 0; i < GetItemCount(); ++i) {
    if (m_pages[i]->IsHidden() || i == m_nCurSel) continue;
    RECT rc;
    if (GetItemRect(i, &rc) && ::PtInRect(&rc, pt)) return i;
  }
  return -1;
}

void CUiTabCtrl::InvalidateHead(int nIndex) {
  RECT rc;
  if (GetItemRect(nIndex, &rc)) NotifyInvalidateRect(rc);
}

void CUiTabCtrl::OnWindowPosChanged(const WINDOWPOS* pwp) {
  CUiWindow::OnWindowPosChanged(WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(pwp));
  if (!pwp) return;
  const SIZE head = GetHeadSize();
  RECT page = m_rcWnd;
  if (m_nTabAlign == kAlignLeft)
    page.left += head.cx + m_nFramePos;
  else
    page.top += head.cy + m_nFramePos;
  m_style.ShrinkByMargins(page);
  m_rcPage = page;

  WINDOWPOS wp = *pwp;
  wp.x = page.left;
  wp.y = page.top;
  wp.cx = page.right - page.left;
  wp.cy = page.bottom - page.top;
  const HUIWND self = m_hUiWnd;
  std::vector<HUIWND> pages;
  for (CUiTab* p : m_pages) pages.push_back(p->GetHandle());
  for (HUIWND h : pages) {
    if (!IsAlive(self)) return;
    if (CUiWindow* p = UiWnds::GetWindow(h))
      p->UiSendMessage(WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
  }
}

// ---------------------------------------------------------------- selection

BOOL CUiTabCtrl::SetCurSel(int nIndex) {
  if (nIndex < 0 || nIndex >= GetItemCount()) return FALSE;

  UINMTABSELCHANGE nm = {};
  nm.hdr.hwndFrom = m_hContainer;
  nm.hdr.idFrom = m_hContainer ? static_cast<UINT_PTR>(::GetDlgCtrlID(m_hContainer)) : 0;
  nm.hdr.code = UINM_TAB_SELCHANGE;
  nm.uTabID = static_cast<UINT>(m_nCmdID);
  nm.uTabItemIDNew = static_cast<UINT>(nIndex);
  nm.uTabItemIDOld = static_cast<UINT>(m_nCurSel);
  nm.bCancel = FALSE;
  const HUIWND self = m_hUiWnd;
  if (m_hContainer)
    ::SendMessageW(m_hContainer, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
  // The receiver may have reloaded the layout, this control with it.
  if (!IsAlive(self) || nm.bCancel) return FALSE;
  if (nIndex == m_nCurSel) return TRUE;
  if (nIndex >= GetItemCount()) return FALSE;

  ShowPage(nIndex);
  return TRUE;
}

void CUiTabCtrl::ShowPage(int nIndex) {
  if (nIndex == m_nCurSel) return;
  const HUIWND self = m_hUiWnd;
  InvalidateHead(m_nCurSel);
  InvalidateHead(nIndex);
  if (CUiTab* old = GetItem(m_nCurSel)) old->UiSendMessage(WM_SHOWWINDOW, FALSE, 0);
  m_nCurSel = nIndex;
  CUiTab* page = m_pages[nIndex];
  page->UiSendMessage(WM_SHOWWINDOW, TRUE, 0);
  WINDOWPOS wp = {};
  wp.x = m_rcPage.left;
  wp.y = m_rcPage.top;
  wp.cx = m_rcPage.right - m_rcPage.left;
  wp.cy = m_rcPage.bottom - m_rcPage.top;
  page->UiSendMessage(WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
  if (IsAlive(self)) NotifyInvalidateRect(m_rcPage);
}

void CUiTabCtrl::ShowAllRealWindows(BOOL bShow) {
  const HUIWND self = m_hUiWnd;
  std::vector<HUIWND> pages;
  for (CUiTab* p : m_pages) pages.push_back(p->GetHandle());
  const int selected = m_nCurSel;
  for (int i = 0; i < static_cast<int>(pages.size()); ++i) {
    if (!IsAlive(self)) return;
    CUiWindow* p = UiWnds::GetWindow(pages[i]);
    CUiPanel* page = p ? p->AsPanel() : NULL;
    if (page) page->ShowAllRealWindows(i == selected ? bShow : FALSE);
  }
}

// ---------------------------------------------------------------- painting

void CUiTabCtrl::DrawHead(HDC hDC, int nIndex, DWORD dwSkinState) {
  RECT rc;
  if (!GetItemRect(nIndex, &rc)) return;
  if (m_pTabSkin) m_pTabSkin->Draw(hDC, rc, dwSkinState);
  if (m_pIconSkin) {
    RECT icon = rc;
    ::OffsetRect(&icon, m_nIconX, m_nIconY);
    m_pIconSkin->Draw(hDC, icon, static_cast<DWORD>(nIndex));
  }
  ::OffsetRect(&rc, m_nTextX, m_nTextY);
  const std::wstring& title = m_pages[nIndex]->GetTitle();
  ::DrawTextW(hDC, title.c_str(), static_cast<int>(title.size()), &rc, kTitleFormat);
}

LRESULT CUiTabCtrl::OnPaint(HDC hDC) {
  if (!hDC) return 0;
  const SIZE head = GetHeadSize();
  RECT frame = m_rcWnd;
  if (m_nTabAlign == kAlignLeft)
    frame.left += head.cx + m_nFramePos;
  else
    frame.top += head.cy + m_nFramePos;
  if (m_pFrameSkin) m_pFrameSkin->Draw(hDC, frame, 0);

  const int oldBkMode = ::SetBkMode(hDC, TRANSPARENT);
  const COLORREF oldText = ::GetTextColor(hDC);
  if (m_style.crtext != kUiColorUnset) ::SetTextColor(hDC, m_style.crtext);
  HGDIOBJ oldFont = NULL;
  if (m_style.font) oldFont = ::SelectObject(hDC, m_style.font);

  int visible = 0;
  for (CUiTab* page : m_pages)
    if (!page->IsHidden()) ++visible;

  for (int i = 0; i < GetItemCount(); ++i) {
    if (m_pages[i]->IsHidden()) continue;
    RECT rc;
    GetItemRect(i, &rc);
    if (m_pSplitterSkin && visible > 1) {
      --visible;
      const SIZE splitter = m_pSplitterSkin->GetSkinSize();
      RECT sp;
      if (m_nTabAlign == kAlignLeft) {
        sp = Normalized(RECT{rc.left, rc.bottom, rc.right, rc.bottom + m_nTabSpacing});
        const int inset = ((sp.bottom - sp.top) - splitter.cy) / 2;
        sp.top += inset;
        sp.bottom -= inset;
      } else {
        sp = Normalized(RECT{rc.right, rc.top, rc.right + m_nTabSpacing, rc.bottom});
        const int inset = ((sp.right - sp.left) - splitter.cx) / 2;
        sp.left += inset;
        sp.right -= inset;
      }
      m_pSplitterSkin->Draw(hDC, sp, 0xFFFFFFFF);
    }
    if (i == m_nCurSel) continue;
    DrawHead(hDC, i, i == m_nHover ? 1 : 0);
  }

  // The selected head: hover font and colour, picture 2.
  if (m_style.hoverfont) {
    HGDIOBJ prev = ::SelectObject(hDC, m_style.hoverfont);
    if (!oldFont) oldFont = prev;
  }
  if (m_style.crhover != kUiColorUnset) ::SetTextColor(hDC, m_style.crhover);
  if (CUiTab* selected = GetItem(m_nCurSel))
    if (!selected->IsHidden()) DrawHead(hDC, m_nCurSel, 2);

  if (oldFont) ::SelectObject(hDC, oldFont);
  ::SetTextColor(hDC, oldText);
  ::SetBkMode(hDC, oldBkMode);
  return 0;
}

BOOL CUiTabCtrl::RedrawRegion(HDC hDC, HRGN hRgn) {
  if (!CUiWindow::RedrawRegion(hDC, hRgn)) return FALSE;
  CUiTab* page = GetItem(m_nCurSel);
  if (page && page->IsVisible(FALSE)) page->RedrawRegion(hDC, hRgn);
  return TRUE;
}

// ---------------------------------------------------------------- mouse

HUIWND CUiTabCtrl::HitTest(POINT pt) {
  if (!::PtInRect(&m_rcWnd, pt)) return 0;
  if (::PtInRect(&m_rcPage, pt)) {
    CUiTab* page = GetItem(m_nCurSel);
    return page && page->IsVisible(FALSE) ? page->HitTest(pt) : 0;
  }
  return m_hUiWnd;
}

void CUiTabCtrl::SetCursor() {
  ::SetCursor(::LoadCursorW(NULL, m_nHover != -1 ? IDC_HAND : IDC_ARROW));
}

void CUiTabCtrl::SetContainer(HWND hContainer) {
  CUiContainerWnd::SetContainer(hContainer);
  for (CUiTab* page : m_pages) page->SetContainer(hContainer);
}

CUiWindow* CUiTabCtrl::FindChildByCmdID(UINT nCmdID, BOOL bShownOnly) {
  for (CUiTab* page : m_pages) {
    if (bShownOnly && !page->IsVisible(FALSE)) continue;
    if (static_cast<UINT>(page->GetCmdID()) == nCmdID) return page;
    if (CUiWindow* found = page->FindChildByCmdID(nCmdID, bShownOnly)) return found;
  }
  return NULL;
}

void CUiTabCtrl::OnLButtonDown(POINT pt) {
  const int head = HeadFromPoint(pt);
  if (head >= 0) SetCurSel(head);
}

void CUiTabCtrl::OnMouseMove(POINT pt) {
  const int head = HeadFromPoint(pt);
  if (head == m_nHover) return;
  if (m_nHover != -1) InvalidateHead(m_nHover);
  m_nHover = head;
  if (head != -1) InvalidateHead(head);
}

void CUiTabCtrl::OnMouseLeave() {
  if (m_nHover == -1) return;
  InvalidateHead(m_nHover);
  m_nHover = -1;
}

void CUiTabCtrl::OnShowWindow(BOOL bShow) {
  SetVisible(bShow);
  if (CUiTab* page = GetItem(m_nCurSel)) page->UiSendMessage(WM_SHOWWINDOW, bShow, 0);
}

BOOL CUiTabCtrl::ProcessUiWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                        LRESULT& lResult) {
  switch (uMsg) {
    case WM_PAINT:
    case WM_WINDOWPOSCHANGED:
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
    case WM_SHOWWINDOW:
    case WM_DESTROY:
      break;
    default:
      return CUiContainerWnd::ProcessUiWindowMessage(hWnd, uMsg, wParam, lParam, lResult);
  }
  // Handlers that notify the dialog or place pages may end with this control
  // deleted, so nothing of it is touched after the handler.
  SetMsgHandled(TRUE);
  lResult = 0;
  const POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  switch (uMsg) {
    case WM_PAINT:
      OnPaint(reinterpret_cast<HDC>(wParam));
      break;
    case WM_WINDOWPOSCHANGED:
      OnWindowPosChanged(reinterpret_cast<const WINDOWPOS*>(lParam));
      break;
    case WM_LBUTTONDOWN:
      OnLButtonDown(pt);
      break;
    case WM_MOUSEMOVE:
      OnMouseMove(pt);
      break;
    case WM_MOUSELEAVE:
      OnMouseLeave();
      break;
    case WM_SHOWWINDOW:
      OnShowWindow(wParam != 0);
      break;
    case WM_DESTROY:
      DestroyPages();
      break;
  }
  return TRUE;
}
