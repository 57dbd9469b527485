#include "uiwin/CUiRichText.h"

#include <tinyxml.h>
#include <windowsx.h>

#include <cstring>

#include "platform/TextConv.h"
#include "uiwin/UiFontPool.h"
#include "uiwin/UiNotify.h"

// Where the pen stands while the content is flowed.
struct CUiRichText::Flow {
  HDC dc;
  POINT pen;
  int left;   // where a line starts
  int right;  // where text must end
  size_t nextLink;
  std::vector<Run>* runs;
};

const char* const CUiRichText::kTag = "richtext";

CUiWindow* CUiRichText::CreateByTag(const char* pszTag) {
  return (pszTag && strcmp(pszTag, kTag) == 0) ? new CUiRichText : NULL;
}

CUiRichText::CUiRichText()
    : m_dwDefaultFont(0), m_bMeasured(FALSE), m_nHover(-1), m_nPressed(-1) {}

CUiRichText::~CUiRichText() {}

BOOL CUiRichText::IsClass(const char* pszClass) const {
  return pszClass && strcmp(pszClass, kTag) == 0;
}

const char* CUiRichText::GetObjectClass() const { return kTag; }

HRESULT CUiRichText::SetAttribute(const char* pszName, const char* pszValue, BOOL bLoading) {
  const HRESULT hr = CUiWindow::SetAttribute(pszName, pszValue, bLoading);
  if (SUCCEEDED(hr)) return hr;
  if (!pszName || !pszValue) return E_FAIL;
  if (strcmp(pszName, "defaultfont") == 0) {
    m_dwDefaultFont = UiFontPool::ParseFontKey(pszValue);
    return S_FALSE;
  }
  if (strcmp(pszName, "linkclass") == 0) {
    m_linkStyle = *UiStyle::GetStyle(pszValue);
    return S_FALSE;
  }
  return E_FAIL;
}

void CUiRichText::ResetLinks() {
  m_links.clear();
  m_bMeasured = FALSE;
  m_nHover = -1;
  m_nPressed = -1;
}

BOOL CUiRichText::Load(const TiXmlElement* pElem) {
  if (!CUiWindow::Load(pElem)) return FALSE;
  ResetLinks();
  m_content.reset(pElem->Clone());
  return TRUE;
}

void CUiRichText::SetCursor() {
  ::SetCursor(::LoadCursorW(NULL, m_nHover != -1 ? IDC_HAND : IDC_ARROW));
}

// ---------------------------------------------------------------- layout

void CUiRichText::Layout(HDC hDC, std::vector<Run>& runs) {
  runs.clear();
  if (!hDC) return;
  if (!m_bMeasured) m_links.clear();
  Flow flow;
  flow.dc = hDC;
  flow.left = m_rcWnd.left + m_style.xmargin;
  flow.right = m_rcWnd.right - m_style.xmargin;
  flow.pen.x = flow.left;
  flow.pen.y = m_rcWnd.top + m_style.ymargin;
  flow.nextLink = 0;
  flow.runs = &runs;
  HGDIOBJ oldFont = ::SelectObject(hDC, UiFontPool::GetFont(GetDefaultFontKey()));
  if (m_content) Walk(m_content.get(), GetDefaultFontKey(), kUiColorUnset, flow);
  ::SelectObject(hDC, oldFont);
  m_bMeasured = TRUE;
}

void CUiRichText::Walk(const TiXmlNode* pElem, WORD key, COLORREF color, Flow& flow) {
  const TiXmlElement* elem = pElem->ToElement();
  if (!elem) return;
  const char* tag = elem->Value();
  if (strcmp(tag, "br") == 0) {
    flow.pen.x = flow.left;
    flow.pen.y += m_style.linespacing;
  } else if (strcmp(tag, "b") == 0) {
    key |= UiFontPool::Bold;
  } else if (strcmp(tag, "i") == 0) {
    key |= UiFontPool::Italic;
  } else if (strcmp(tag, "u") == 0) {
    key |= UiFontPool::Underline;
  } else if (strcmp(tag, "c") == 0) {
    const char* value = elem->Attribute("color");
    color = CUiObject::ParseColor(value ? value : "");
  } else if (strcmp(tag, "a") == 0) {
    if (!m_bMeasured) {
      MeasureLink(elem, key, flow);
    } else if (flow.nextLink < m_links.size()) {
      // Text after a link goes on from where the link was measured, so the
      // flow is the same at every paint.
      const RECT& rc = m_links[flow.nextLink++].rc;
      flow.pen.x = rc.right + m_style.spacing;
      flow.pen.y = rc.top;
    }
    return;
  }

  for (const TiXmlNode* child = elem->FirstChild(); child; child = child->NextSibling()) {
    if (child->ToElement())
      Walk(child, key, color, flow);
    else if (child->ToText())
      FlowText(qv::Utf8ToWide(child->Value()), key, color, flow);
  }
}

void CUiRichText::FlowText(const std::wstring& text, WORD key, COLORREF color, Flow& flow) {
  HGDIOBJ oldFont = ::SelectObject(flow.dc, UiFontPool::GetFont(key));
  size_t pos = 0;
  const size_t len = text.size();
  for (;;) {
    const int remaining = static_cast<int>(len - pos);
    const int avail = flow.right - flow.pen.x;
    int fit = 0;
    SIZE size = {0, 0};
    // One measurement finds how much of the run fits on this line.
    if (remaining > 0 && avail > 0 &&
        !::GetTextExtentExPointW(flow.dc, text.c_str() + pos, remaining, avail, &fit, NULL,
                                 &size))
      fit = 0;
    if (fit > remaining) fit = remaining;
    if (fit == 0 && remaining > 0 && flow.pen.x <= flow.left) {
      // Not even one character fits on an empty line: place one anyway, so a
      // very narrow area still finishes.
      fit = 1;
      if (IS_HIGH_SURROGATE(text[pos]) && remaining > 1) fit = 2;
    }
    size.cx = 0;
    if (fit > 0) {
      ::GetTextExtentPoint32W(flow.dc, text.c_str() + pos, fit, &size);
      flow.runs->push_back(Run{text.substr(pos, static_cast<size_t>(fit)), key, color, flow.pen});
    }
    pos += static_cast<size_t>(fit);
    if (pos >= len) {
      flow.pen.x += size.cx + m_style.spacing;
      break;
    }
    flow.pen.x = flow.left;
    flow.pen.y += m_style.linespacing;
  }
  ::SelectObject(flow.dc, oldFont);
}

void CUiRichText::MeasureLink(const TiXmlNode* pLink, WORD key, Flow& flow) {
  HGDIOBJ oldFont = ::SelectObject(
      flow.dc, m_linkStyle.font ? m_linkStyle.font : UiFontPool::GetFont(key));
  Link link;
  const TiXmlNode* first = pLink->FirstChild();
  if (first && first->ToText()) link.text = qv::Utf8ToWide(first->Value());
  SIZE size = {0, 0};
  if (!link.text.empty())
    ::GetTextExtentPoint32W(flow.dc, link.text.c_str(), static_cast<int>(link.text.size()),
                            &size);
  // A link is never broken: one that does not fit starts the next line.
  if (flow.pen.x + size.cx > flow.right && flow.pen.x > flow.left) {
    flow.pen.x = flow.left;
    flow.pen.y += m_style.linespacing;
  }
  link.rc.left = flow.pen.x;
  link.rc.top = flow.pen.y;
  link.rc.right = flow.pen.x + size.cx;
  link.rc.bottom = flow.pen.y + size.cy;
  const char* id = pLink->ToElement()->Attribute("id");
  link.hasId = id != NULL;
  link.id = id ? CUiObject::ParseInt(id) : 0;
  flow.pen.x = link.rc.right + m_style.spacing;
  m_links.push_back(link);
  flow.nextLink = m_links.size();
  ::SelectObject(flow.dc, oldFont);
}

// ---------------------------------------------------------------- painting

void CUiRichText::OnPaint(HDC hDC) {
  if (!hDC) return;
  RECT area = m_rcWnd;
  m_style.ShrinkByMargins(area);
  const int saved = ::SaveDC(hDC);
  ::IntersectClipRect(hDC, area.left, area.top, area.right, area.bottom);

  std::vector<Run> runs;
  Layout(hDC, runs);
  for (const Run& run : runs) {
    ::SelectObject(hDC, UiFontPool::GetFont(run.fontKey));
    const COLORREF old = run.color != kUiColorUnset ? ::SetTextColor(hDC, run.color) : 0;
    ::TextOutW(hDC, run.pt.x, run.pt.y, run.text.c_str(), static_cast<int>(run.text.size()));
    if (run.color != kUiColorUnset) ::SetTextColor(hDC, old);
  }

  if (m_linkStyle.font) ::SelectObject(hDC, m_linkStyle.font);
  COLORREF normal = kUiColorUnset;
  if (IsDisabled(TRUE))
    normal = m_linkStyle.crdisabled;
  else
    normal = m_linkStyle.crtext;
  if (normal != kUiColorUnset) ::SetTextColor(hDC, normal);
  for (size_t i = 0; i < m_links.size(); ++i) {
    const Link& link = m_links[i];
    const BOOL hover = static_cast<int>(i) == m_nHover;
    if (hover) {
      if (m_linkStyle.font && m_linkStyle.hoverfont) ::SelectObject(hDC, m_linkStyle.hoverfont);
      if (m_linkStyle.crtext != kUiColorUnset && m_linkStyle.crhover != kUiColorUnset)
        ::SetTextColor(hDC, m_linkStyle.crhover);
    }
    ::TextOutW(hDC, link.rc.left, link.rc.top, link.text.c_str(),
               static_cast<int>(link.text.size()));
    if (hover) {
      if (m_linkStyle.font) ::SelectObject(hDC, m_linkStyle.font);
      if (normal != kUiColorUnset) ::SetTextColor(hDC, normal);
    }
  }
  ::RestoreDC(hDC, saved);
}

// ---------------------------------------------------------------- mouse

void CUiRichText::InvalidateLink(int nIndex) {
  if (nIndex >= 0 && nIndex < static_cast<int>(m_links.size()))
    NotifyInvalidateRect(m_links[nIndex].rc);
}

void CUiRichText::OnMouseMove(POINT pt) {
  int candidate = -1;
  for (size_t i = 0; i < m_links.size() && candidate < 0; ++i)
    if (::PtInRect(&m_links[i].rc, pt)) candidate = static_cast<int>(i);
  if (candidate < 0) {
    OnMouseLeave();
    return;
  }
  if (candidate == m_nHover) return;
  InvalidateLink(m_nHover);
  m_nHover = candidate;
  InvalidateLink(m_nHover);
}

void CUiRichText::OnMouseLeave() {
  if (m_nHover < 0) return;
  InvalidateLink(m_nHover);
  m_nHover = -1;
}

void CUiRichText::OnLButtonUp() {
  const int pressed = m_nPressed;
  m_nPressed = -1;
  if (pressed < 0 || pressed != m_nHover || pressed >= static_cast<int>(m_links.size())) return;
  const Link& link = m_links[pressed];
  if (!link.hasId || !m_hContainer) return;
  HWND dialog = ::GetParent(m_hContainer);
  if (!dialog) return;
  UINMCOMMAND nm = {};
  nm.hdr.hwndFrom = m_hContainer;
  nm.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(m_hContainer));
  nm.hdr.code = UINM_COMMAND;
  nm.uItemID = static_cast<UINT>(link.id);
  nm.szItemClass = kTag;
  // Last thing done: the dialog's handler may delete this element.
  ::SendMessageW(dialog, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
}

BOOL CUiRichText::ProcessUiWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                         LRESULT& lResult) {
  const POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  switch (uMsg) {
    case WM_PAINT:
      OnPaint(reinterpret_cast<HDC>(wParam));
      break;
    case WM_WINDOWPOSCHANGED:
      CUiWindow::OnWindowPosChanged(uMsg, wParam, lParam);
      ResetLinks();
      break;
    case WM_MOUSEMOVE:
      OnMouseMove(pt);
      break;
    case WM_MOUSELEAVE:
      OnMouseLeave();
      break;
    case WM_LBUTTONDOWN:
      if (m_nHover >= 0) m_nPressed = m_nHover;
      break;
    case WM_LBUTTONUP:
      SetMsgHandled(TRUE);
      lResult = 0;
      OnLButtonUp();
      return TRUE;
    default:
      return CUiWindow::ProcessUiWindowMessage(hWnd, uMsg, wParam, lParam, lResult);
  }
  SetMsgHandled(TRUE);
  lResult = 0;
  return TRUE;
}
