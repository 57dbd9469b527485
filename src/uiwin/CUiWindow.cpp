#include "uiwin/CUiWindow.h"

#include <shlwapi.h>
#include <tinyxml.h>

#include <cstring>

#include "platform/CAppModule.h"
#include "platform/CDC.h"
#include "platform/DebugReport.h"
#include "platform/TextConv.h"
#include "uiwin/CUiContainerWnd.h"
#include "uiwin/CUiSkinBase.h"
#include "uiwin/UiFontPool.h"
#include "uiwin/UiNotify.h"
#include "uiwin/UiSkin.h"
#include "uiwin/UiString.h"

namespace {

const COLORREF kUnset = kUiColorUnset;
// Element texts are names, paths and hosts as often as labels: an "&" is shown as it
// is, never taken for a mnemonic (no element acts on one).
const UINT kTextFormatAlways = DT_NOPREFIX;

}  // namespace

int UiPosItem::Resolve(int origin, int extent) const {
  if (bCenter) return origin + extent / 2 + (bFar ? -nValue : nValue);
  if (bFar) return origin + extent - nValue;
  return origin + nValue;
}

CUiWindow::CUiWindow()
    : m_hUiWnd(0),
      m_hParent(0),
      m_hContainer(NULL),
      m_nCmdID(0),
      m_rcWnd(),
      m_dwPosType(0),
      m_nFixedWidth(0),
      m_nFixedHeight(0),
      m_dwState(0),
      m_dwVAlign(0),
      m_dwHAlign(0),
      m_bTransparent(FALSE),
      m_nPosCount(0),
      m_posItems(),
      m_dwThreadId(::GetCurrentThreadId()),
      m_bMsgHandled(FALSE),
      m_pHandler(NULL) {
  m_hUiWnd = UiWnds::RegisterWindow(this);
}

CUiWindow::~CUiWindow() {
  for (HandlerFrame* f = m_pHandler; f; f = f->outer) f->elementGone = TRUE;
  UiWnds::UnregisterWindow(m_hUiWnd);
}

// ---------------------------------------------------------------- messages

LRESULT CUiWindow::UiSendMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg < WM_USER && uMsg != WM_DESTROY && uMsg != WM_CLOSE) TestMainThread();
  HandlerFrame frame;
  EnterHandler(frame, FALSE);
  LRESULT lResult = 0;
  // The element may delete itself (a reload of its panel) while handling; the frame
  // tells, and nothing of it is touched then.
  ProcessUiWindowMessage(NULL, uMsg, wParam, lParam, lResult);
  LeaveHandler(this, frame);
  return lResult;
}

void CUiWindow::EnterHandler(HandlerFrame& frame, BOOL bHandled) {
  frame.handled = bHandled;
  frame.elementGone = FALSE;
  frame.outer = m_pHandler;
  m_pHandler = &frame;
  m_bMsgHandled = bHandled;
}

BOOL CUiWindow::LeaveHandler(CUiWindow* self, HandlerFrame& frame) {
  if (frame.elementGone) return TRUE;
  self->m_pHandler = frame.outer;
  self->m_bMsgHandled = frame.handled;
  return frame.handled;
}

void CUiWindow::TestMainThread() const {
  const DWORD tid = ::GetCurrentThreadId();
  const BOOL bOK = tid == m_dwThreadId || tid == g_module.GetMainThreadId();
  if (!bOK) qv::DebugReport("bOK", "uiwnd", __LINE__);
}

BOOL CUiWindow::ProcessUiWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                       LRESULT& lResult) {
  (void)hWnd;
  switch (uMsg) {
    case WM_PAINT:
      SetMsgHandled(TRUE);
      lResult = OnPaint(uMsg, wParam, lParam);
      break;
    case WM_DESTROY:
      SetMsgHandled(TRUE);
      lResult = OnDestroy(uMsg, wParam, lParam);
      break;
    case WM_WINDOWPOSCHANGED:
      SetMsgHandled(TRUE);
      lResult = OnWindowPosChanged(uMsg, wParam, lParam);
      break;
    case WM_NCCALCSIZE:
      SetMsgHandled(TRUE);
      lResult = OnNcCalcSize(uMsg, wParam, lParam);
      break;
    case WM_SHOWWINDOW:
      SetMsgHandled(TRUE);
      lResult = OnShowWindow(uMsg, wParam, lParam);
      break;
    default:
      return FALSE;
  }
  return IsMsgHandled();
}

// ---------------------------------------------------------------- virtuals

void CUiWindow::SetCursor() { ::SetCursor(::LoadCursorW(NULL, MAKEINTRESOURCEW(m_style.cursor))); }

void CUiWindow::SetContainer(HWND hContainer) { m_hContainer = hContainer; }

HUIWND CUiWindow::HitTest(POINT pt) { return ::PtInRect(&m_rcWnd, pt) ? m_hUiWnd : 0; }

BOOL CUiWindow::NeedRedrawWhenStateChange() {
  if (!m_style.skin.empty()) {
    CUiSkinBase* skin = UiSkin::GetSkin(m_style.skin.c_str());
    if (skin && !skin->IgnoreState()) return TRUE;
  }
  return m_style.crhover != kUnset || m_style.hoverfont != NULL || m_style.crbghover != kUnset;
}

BOOL CUiWindow::IsContainer() { return FALSE; }
DWORD CUiWindow::ReservedQuery1() { return 0; }
DWORD CUiWindow::ReservedQuery2() { return 0; }

BOOL CUiWindow::RedrawRegion(HDC hDC, HRGN hRgn) {
  if (hRgn && !::RectInRegion(hRgn, &m_rcWnd)) return FALSE;
  DrawBackground(hDC);
  UiSendMessage(WM_PAINT, reinterpret_cast<WPARAM>(hDC), 0);
  return TRUE;
}

// ---------------------------------------------------------------- loading

std::wstring CUiWindow::ReplaceStringTokens(const std::wstring& input) {
  static const wchar_t kToken[] = L"%str";
  const size_t kTokenLen = 4;
  std::wstring text = input;
  size_t pos = 0;
  while ((pos = text.find(kToken, pos)) != std::wstring::npos) {
    const size_t idStart = pos + kTokenLen;
    const int id = StrToIntW(text.c_str() + idStart);
    if (id < 1) break;
    const size_t close = text.find(L'%', idStart);
    if (close == std::wstring::npos) break;
    LPCWSTR s = UiString::Get(static_cast<UINT>(id));
    const std::wstring replacement = qv::OrEmpty(s);
    text.replace(pos, close - pos + 1, replacement);
    pos += replacement.size();
  }
  return text;
}

BOOL CUiWindow::Load(const TiXmlElement* pElem) {
  if (!pElem) return FALSE;

  const char* text = pElem->GetText();
  m_strInnerText = qv::Utf8ToWide(text ? text : "");
  if (!m_strInnerText.empty()) m_strInnerText = ReplaceStringTokens(m_strInnerText);

  m_dwPosType = 0;
  CUiObject::Load(pElem);

  if (const char* show = pElem->Attribute("show")) SetVisible(CUiObject::ParseInt(show) != 0);

  if (m_nPosCount == 2 || m_nPosCount == 4) return TRUE;

  const char* width = pElem->Attribute("width");
  if (width && strcmp(width, "full") == 0) {
    m_dwPosType |= UiWndPos_WidthFull;
    m_rcWnd.right = 0;
  } else if (width && CUiObject::ParseInt(width) >= 1) {
    m_dwPosType |= UiWndPos_WidthFixed;
    m_nFixedWidth = CUiObject::ParseInt(width);
    m_rcWnd.right = m_nFixedWidth;
  } else {
    m_dwPosType |= UiWndPos_WidthAuto;
    m_rcWnd.right = 0;
  }

  const char* height = pElem->Attribute("height");
  if (height && strcmp(height, "full") == 0) {
    m_dwPosType |= UiWndPos_HeightFull;
    m_rcWnd.bottom = 0;
  } else if (height && CUiObject::ParseInt(height) >= 1) {
    m_dwPosType |= UiWndPos_HeightFixed;
    m_nFixedHeight = CUiObject::ParseInt(height);
    m_rcWnd.bottom = m_nFixedHeight;
  } else {
    m_dwPosType |= UiWndPos_HeightAuto;
    m_rcWnd.bottom = 0;
  }

  if (m_dwPosType & (UiWndPos_WidthAuto | UiWndPos_HeightAuto)) {
    const SIZE sz = Measure(FALSE, SIZE{0, 0});
    if (m_dwPosType & UiWndPos_WidthAuto) m_rcWnd.right = sz.cx;
    if (m_dwPosType & UiWndPos_HeightAuto) m_rcWnd.bottom = sz.cy;
  }

  const char* floating = pElem->Attribute("float");
  m_dwPosType |=
      (floating && CUiObject::ParseInt(floating) != 0) ? UiWndPos_Float : UiWndPos_NotFloat;
  return TRUE;
}

HRESULT CUiWindow::SetAttribute(const char* pszName, const char* pszValue, BOOL bLoading) {
  const HRESULT hrBase = CUiObject::SetAttribute(pszName, pszValue, bLoading);
  if (SUCCEEDED(hrBase)) return hrBase;
  if (!pszName || !pszValue) return E_FAIL;

  if (strcmp(pszName, "class") == 0) {
    m_style = *UiStyle::GetStyle(pszValue);
    return S_OK;
  }
  if (strcmp(pszName, "id") == 0) {
    m_nCmdID = CUiObject::ParseInt(pszValue);
    return S_FALSE;
  }
  if (strcmp(pszName, "crbg") == 0) {
    m_style.crbg = CUiObject::ParseColor(pszValue);
    return S_FALSE;
  }
  if (strcmp(pszName, "crtext") == 0) {
    m_style.crtext = CUiObject::ParseColor(pszValue);
    return S_FALSE;
  }
  if (strcmp(pszName, "font") == 0) {
    m_style.font = UiFontPool::GetFont(UiFontPool::ParseFontKey(pszValue));
    return S_FALSE;
  }
  if (strcmp(pszName, "href") == 0) {
    m_strHref = qv::Utf8ToWide(pszValue);
    return S_FALSE;
  }
  if (strcmp(pszName, "tip") == 0) {
    m_strTip = qv::Utf8ToWide(pszValue);
    return S_FALSE;
  }
  if (strcmp(pszName, "valign") == 0) {
    if (strcmp(pszValue, "top") == 0)
      m_dwVAlign = UiWndAlign_Top;
    else if (strcmp(pszValue, "middle") == 0)
      m_dwVAlign = UiWndAlign_Middle;
    else if (strcmp(pszValue, "bottom") == 0)
      m_dwVAlign = UiWndAlign_Bottom;
    else
      return E_FAIL;
    return S_OK;
  }
  if (strcmp(pszName, "align") == 0) {
    if (strcmp(pszValue, "left") == 0)
      m_dwHAlign = UiWndAlign_Left;
    else if (strcmp(pszValue, "center") == 0)
      m_dwHAlign = UiWndAlign_Center;
    else if (strcmp(pszValue, "right") == 0)
      m_dwHAlign = UiWndAlign_Right;
    else
      return E_FAIL;
    return S_OK;
  }
  if (strcmp(pszName, "pos") == 0) {
    const HRESULT hr = ParsePos(pszValue);
    if (!bLoading && *pszValue) RepositionSelf();
    return hr;
  }
  if (strcmp(pszName, "transparent") == 0) {
    m_bTransparent = CUiObject::ParseInt(pszValue);
    return S_FALSE;
  }
  return E_FAIL;
}

HRESULT CUiWindow::ParsePos(const char* pszValue) {
  if (!*pszValue) return S_FALSE;

  UiPosItem items[4] = {};
  int count = 0;
  const char* p = pszValue;
  for (;;) {
    const char* end = strchr(p, ',');
    if (count < 4) {
      const std::string item(p, end ? static_cast<size_t>(end - p) : strlen(p));
      const char* q = item.c_str();
      UiPosItem& it = items[count];
      if (*q == '|') {
        it.bCenter = TRUE;
        ++q;
      }
      if (*q == '-') {
        it.bFar = TRUE;
        ++q;
      }
      it.nValue = CUiObject::ParseInt(q);
    }
    ++count;
    if (!end) break;
    p = end + 1;
  }
  if (count > 4) count = 4;

  if (count == 2 || count == 4) {
    m_nPosCount = count;
    for (int i = 0; i < 4; ++i) m_posItems[i] = items[i];
    m_dwPosType = (m_dwPosType & ~(UiWndPos_WidthMask | UiWndPos_HeightMask)) | UiWndPos_WidthAuto |
                  UiWndPos_HeightAuto;
  } else {
    m_nPosCount = 0;
  }
  return S_FALSE;
}

// ---------------------------------------------------------------- state

DWORD CUiWindow::ModifyState(DWORD dwAdd, DWORD dwRemove) {
  const DWORD old = m_dwState;
  m_dwState = (m_dwState | dwAdd) & ~dwRemove;
  return old;
}

BOOL CUiWindow::IsVisible(BOOL bCheckParent) const {
  if (m_dwState & UiWndState_Invisible) return FALSE;
  if (bCheckParent) {
    for (HUIWND h = m_hParent; h;) {
      const CUiWindow* p = UiWnds::GetWindow(h);
      if (!p) break;
      if (p->m_dwState & UiWndState_Invisible) return FALSE;
      h = p->m_hParent;
    }
  }
  return TRUE;
}

BOOL CUiWindow::IsDisabled(BOOL bCheckParent) const {
  if (m_dwState & UiWndState_Disable) return TRUE;
  if (bCheckParent) {
    for (HUIWND h = m_hParent; h;) {
      const CUiWindow* p = UiWnds::GetWindow(h);
      if (!p) break;
      if (p->m_dwState & UiWndState_Disable) return TRUE;
      h = p->m_hParent;
    }
  }
  return FALSE;
}

void CUiWindow::SetVisible(BOOL bVisible) {
  if (bVisible)
    m_dwState &= ~UiWndState_Invisible;
  else
    m_dwState |= UiWndState_Invisible;
}

void CUiWindow::SetInnerText(LPCWSTR pszText) {
  m_strInnerText = qv::OrEmpty(pszText);
  ApplyAutoSize();
}

void CUiWindow::ApplyAutoSize() {
  if (m_nPosCount == 4 || !(m_dwPosType & (UiWndPos_WidthAuto | UiWndPos_HeightAuto))) return;
  // A single line with an auto width is measured on room enough for the new text: on the
  // old text's width an ellipsis mode would cut it to "…" (a title set after loading).
  const bool line = (m_dwPosType & UiWndPos_WidthAuto) && (m_style.textmode & DT_SINGLELINE);
  const SIZE sz = line ? Measure(TRUE, SIZE{0x3FFF, m_rcWnd.bottom - m_rcWnd.top}) : Measure(FALSE, SIZE{0, 0});
  if (m_dwPosType & UiWndPos_WidthAuto) m_rcWnd.right = m_rcWnd.left + sz.cx;
  if (m_dwPosType & UiWndPos_HeightAuto) m_rcWnd.bottom = m_rcWnd.top + sz.cy;
}

void CUiWindow::RepositionSelf() {
  CUiWindow* parent = UiWnds::GetWindow(m_hParent);
  CUiContainerWnd* container = parent ? parent->AsContainer() : NULL;
  if (container) container->RepositionChild(this);
}

void CUiWindow::NotifyInvalidateRect(const RECT& rc) {
  if (!IsVisible(TRUE) || !m_hContainer || !::IsWindow(m_hContainer)) return;
  UINMINVALIDATERECT nm = {};
  nm.hdr.hwndFrom = NULL;
  nm.hdr.idFrom = static_cast<UINT_PTR>(m_nCmdID);
  nm.hdr.code = UINM_INVALIDATERECT;
  nm.huiWnd = m_hUiWnd;
  nm.rect = rc;
  ::SendMessageW(m_hContainer, WM_NOTIFY, static_cast<WPARAM>(m_nCmdID),
                 reinterpret_cast<LPARAM>(&nm));
}

// ---------------------------------------------------------------- measuring

SIZE CUiWindow::Measure(BOOL bCalcValidRects, SIZE offered) {
  SIZE sz = offered;
  UiSendMessage(WM_NCCALCSIZE, bCalcValidRects, reinterpret_cast<LPARAM>(&sz));
  return sz;
}

HFONT CUiWindow::GetMeasureFont() const {
  HFONT font = m_style.font;
  for (HUIWND h = m_hParent; !font && h;) {
    const CUiWindow* p = UiWnds::GetWindow(h);
    if (!p) break;
    font = p->m_style.font;
    h = p->m_hParent;
  }
  if (m_dwState & UiWndState_Hover) {
    HFONT hover = m_style.hoverfont;
    for (HUIWND h = m_hParent; !hover && h;) {
      const CUiWindow* p = UiWnds::GetWindow(h);
      if (!p) break;
      hover = p->m_style.hoverfont;
      h = p->m_hParent;
    }
    if (hover) font = hover;
  }
  return font ? font : UiFontPool::GetFont(0);
}

LRESULT CUiWindow::OnNcCalcSize(UINT, WPARAM wParam, LPARAM lParam) {
  SIZE* psz = reinterpret_cast<SIZE*>(lParam);
  if (!psz) return 0;

  if (m_nPosCount == 4) {
    const int left = m_posItems[0].Resolve(0, psz->cx);
    const int right = m_posItems[2].Resolve(0, psz->cx);
    const int top = m_posItems[1].Resolve(0, psz->cy);
    const int bottom = m_posItems[3].Resolve(0, psz->cy);
    psz->cx = right - left;
    psz->cy = bottom - top;
    return 0;
  }

  RECT rc = m_rcWnd;
  if (wParam) {
    rc.right = rc.left + psz->cx;
    rc.bottom = rc.top + psz->cy;
  }
  m_style.ShrinkByMargins(rc);
  UINT format = (m_style.textmode & ~0xFu) | kTextFormatAlways | DT_CALCRECT;
  if (format & DT_WORDBREAK) rc.bottom = 32767;

  // A memory DC measures like the screen's and, unlike GetDC, costs no round trip to
  // the window manager: layouts measure every element at each placement.
  CDC dc;
  if (dc.CreateCompatibleDC(NULL)) {
    HGDIOBJ old = ::SelectObject(dc, GetMeasureFont());
    ::DrawTextW(dc, m_strInnerText.c_str(), -1, &rc, format);
    ::SelectObject(dc, old);
  }

  psz->cx = rc.right - rc.left + 2 * m_style.xmargin;
  psz->cy = rc.bottom - rc.top + 2 * m_style.ymargin;
  return 0;
}

// ---------------------------------------------------------------- placement

LRESULT CUiWindow::OnWindowPosChanged(UINT, WPARAM, LPARAM lParam) {
  const WINDOWPOS* wp = reinterpret_cast<const WINDOWPOS*>(lParam);
  if (!wp) return 0;
  ::OffsetRect(&m_rcWnd, wp->x - m_rcWnd.left, wp->y - m_rcWnd.top);

  const SIZE sz = Measure(TRUE, SIZE{wp->cx, wp->cy});
  m_rcWnd.left = wp->x;
  m_rcWnd.top = wp->y;
  m_rcWnd.right = wp->x + sz.cx;
  m_rcWnd.bottom = wp->y + sz.cy;

  if (m_dwPosType & UiWndPos_WidthFull)
    m_rcWnd.right = (wp->x + wp->cx < m_rcWnd.left) ? m_rcWnd.left : wp->x + wp->cx;
  else if (m_dwPosType & UiWndPos_WidthFixed)
    m_rcWnd.right = m_rcWnd.left + m_nFixedWidth;

  if (m_dwPosType & UiWndPos_HeightFull)
    m_rcWnd.bottom = (wp->y + wp->cy < m_rcWnd.top) ? m_rcWnd.top : wp->y + wp->cy;
  else if (m_dwPosType & UiWndPos_HeightFixed)
    m_rcWnd.bottom = m_rcWnd.top + m_nFixedHeight;
  return 0;
}

LRESULT CUiWindow::OnShowWindow(UINT, WPARAM wParam, LPARAM) {
  SetVisible(wParam != 0);
  return 0;
}

LRESULT CUiWindow::OnDestroy(UINT, WPARAM, LPARAM) { return 0; }

// ---------------------------------------------------------------- painting

void CUiWindow::DrawBackground(HDC hDC) {
  if (m_style.skin.empty()) {
    COLORREF cr = m_style.crbg;
    if ((m_dwState & UiWndState_Hover) && m_style.crbghover != kUnset) cr = m_style.crbghover;
    if (cr != kUnset) {
      HBRUSH brush = ::CreateSolidBrush(cr);
      ::FillRect(hDC, &m_rcWnd, brush);
      ::DeleteObject(brush);
    }
    return;
  }
  if (CUiSkinBase* skin = UiSkin::GetSkin(m_style.skin.c_str()))
    skin->Draw(hDC, m_rcWnd, m_dwState);
}

void CUiWindow::PrepareTextDC(HDC hDC, TextDCState& saved) const {
  if (!m_style.skin.empty()) {
    saved.nOldBkMode = ::SetBkMode(hDC, TRANSPARENT);
    saved.bBkMode = TRUE;
  }
  if (m_style.crbg != kUnset) {
    saved.crOldBk = ::SetBkColor(hDC, m_style.crbg);
    saved.bBk = TRUE;
  }
  HFONT font = m_style.font;
  COLORREF cr = m_style.crtext;
  if (IsDisabled(TRUE)) {
    if (m_style.crdisabled != kUnset) cr = m_style.crdisabled;
  } else if (m_dwState & UiWndState_Hover) {
    if (m_style.hoverfont) font = m_style.hoverfont;
    if (m_style.crhover != kUnset) cr = m_style.crhover;
  }
  if (font) {
    saved.hOldFont = ::SelectObject(hDC, font);
    saved.bFont = TRUE;
  }
  if (cr != kUnset) {
    saved.crOldText = ::SetTextColor(hDC, cr);
    saved.bText = TRUE;
  }
}

void CUiWindow::RestoreTextDC(HDC hDC, const TextDCState& saved) {
  if (saved.bFont) ::SelectObject(hDC, saved.hOldFont);
  if (saved.bText) ::SetTextColor(hDC, saved.crOldText);
  if (saved.bBkMode) ::SetBkMode(hDC, saved.nOldBkMode);
  if (saved.bBk) ::SetBkColor(hDC, saved.crOldBk);
}

LRESULT CUiWindow::OnPaint(UINT, WPARAM wParam, LPARAM) {
  HDC hDC = reinterpret_cast<HDC>(wParam);
  if (!hDC) return 0;
  TextDCState saved;
  PrepareTextDC(hDC, saved);
  RECT rc = m_rcWnd;
  m_style.ShrinkByMargins(rc);
  ::DrawTextW(hDC, m_strInnerText.c_str(), -1, &rc, m_style.textmode | kTextFormatAlways);
  RestoreTextDC(hDC, saved);
  return 0;
}
