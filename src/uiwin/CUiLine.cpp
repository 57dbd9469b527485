#include "uiwin/CUiLine.h"

#include <cstring>

#include "platform/CGdiObject.h"

const char* const CUiLine::kTag = "hr";

CUiWindow* CUiLine::CreateByTag(const char* pszTag) {
  return (pszTag && strcmp(pszTag, kTag) == 0) ? new CUiLine : NULL;
}

CUiLine::CUiLine() : m_nStyle(PS_SOLID), m_nSize(1) {}

BOOL CUiLine::IsClass(const char* pszClass) const {
  return pszClass && strcmp(pszClass, kTag) == 0;
}

const char* CUiLine::GetObjectClass() const { return kTag; }

HRESULT CUiLine::SetAttribute(const char* pszName, const char* pszValue, BOOL bLoading) {
  const HRESULT hr = CUiWindow::SetAttribute(pszName, pszValue, bLoading);
  if (SUCCEEDED(hr)) return hr;
  if (!pszName || !pszValue) return E_FAIL;
  if (strcmp(pszName, "size") == 0) {
    m_nSize = CUiObject::ParseInt(pszValue);
    return S_FALSE;
  }
  if (strcmp(pszName, "style") == 0) {
    static const char* const kStyles[] = {"solid", "dash", "dot", "dashdot", "dashdotdot"};
    for (int i = 0; i < 5; ++i) {
      if (strcmp(pszValue, kStyles[i]) == 0) {
        m_nStyle = i;  // PS_SOLID .. PS_DASHDOTDOT
        return S_FALSE;
      }
    }
    return E_FAIL;
  }
  return E_FAIL;
}

LRESULT CUiLine::OnPaint(UINT, WPARAM wParam, LPARAM) {
  HDC hDC = reinterpret_cast<HDC>(wParam);
  if (!hDC) return 0;
  // A line without a colour of its own is drawn black.
  const COLORREF cr = m_style.crbg == kUiColorUnset ? RGB(0, 0, 0) : m_style.crbg;
  CPen pen(::CreatePen(m_nStyle, m_nSize, cr));
  HGDIOBJ old = ::SelectObject(hDC, pen);
  ::MoveToEx(hDC, m_rcWnd.left, m_rcWnd.top, NULL);
  ::LineTo(hDC, m_rcWnd.right, m_rcWnd.bottom);
  ::SelectObject(hDC, old);
  return 0;
}
