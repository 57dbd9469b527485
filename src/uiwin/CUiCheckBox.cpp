#include "uiwin/CUiCheckBox.h"

#include <cstring>

namespace {

const int kBoxWidth = 13;
const int kTextOffset = 17;

}  // namespace

const char* const CUiCheckBox::kTag = "check";

CUiWindow* CUiCheckBox::CreateByTag(const char* pszTag) {
  return (pszTag && strcmp(pszTag, kTag) == 0) ? new CUiCheckBox : NULL;
}

CUiCheckBox::CUiCheckBox() : m_nCheck(0) {}

BOOL CUiCheckBox::IsClass(const char* pszClass) const {
  return pszClass && strcmp(pszClass, kTag) == 0;
}

const char* CUiCheckBox::GetObjectClass() const { return kTag; }

HRESULT CUiCheckBox::SetAttribute(const char* pszName, const char* pszValue, BOOL bLoading) {
  const HRESULT hr = CUiWindow::SetAttribute(pszName, pszValue, bLoading);
  if (SUCCEEDED(hr)) return hr;
  if (!pszName || !pszValue) return E_FAIL;
  if (strcmp(pszName, "check") == 0) {
    m_nCheck = CUiObject::ParseInt(pszValue);
    return S_FALSE;
  }
  return E_FAIL;
}

int CUiCheckBox::ThemeStateFor(DWORD dwState) {
  int state = 1;
  if (dwState & UiWndState_Disable)
    state = 4;
  else if (dwState & UiWndState_PushDown)
    state = 3;
  else if (dwState & UiWndState_Hover)
    state = 2;
  return (dwState & UiWndState_Check) ? state + 4 : state;
}

UINT CUiCheckBox::FrameFlagsFor(DWORD dwState) {
  UINT flags = DFCS_TRANSPARENT;
  if (dwState & UiWndState_Disable) flags |= DFCS_INACTIVE;
  if (dwState & UiWndState_Hover) flags |= DFCS_HOT;
  if (dwState & UiWndState_PushDown) flags |= DFCS_PUSHED;
  if (dwState & UiWndState_Check) flags |= DFCS_CHECKED;
  return flags;
}

void CUiCheckBox::DrawMark(CUiTheme& theme, HDC hDC, const RECT& rcMark, int nThemePart,
                           UINT uFrameKind, DWORD dwState) {
  if (!theme.IsThemeOpen()) theme.OpenThemeData(NULL);
  RECT rc = rcMark;
  if (theme.IsThemeOpen())
    theme.DrawThemeBackground(hDC, nThemePart, ThemeStateFor(dwState), &rc);
  else
    ::DrawFrameControl(hDC, &rc, DFC_BUTTON, uFrameKind | FrameFlagsFor(dwState));
}

void CUiCheckBox::MeasureBeside(SIZE* psz, int nTextOffset, int nMarkSize) {
  if (!psz) return;
  psz->cx += nTextOffset;
  if (psz->cy < nMarkSize) psz->cy = nMarkSize;
}

LRESULT CUiCheckBox::OnPaint(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  HDC hDC = reinterpret_cast<HDC>(wParam);
  if (!hDC) return 0;
  RECT box = m_rcWnd;
  box.right = box.left + kBoxWidth;
  DrawMark(m_theme, hDC, box, CUiTheme::PartCheckBox, DFCS_BUTTONCHECK, m_dwState);

  // The text sits beside the box, centred on it.
  m_style.textmode = (m_style.textmode & ~DT_BOTTOM) | DT_VCENTER;
  m_rcWnd.left += kTextOffset;
  CUiWindow::OnPaint(uMsg, wParam, lParam);
  m_rcWnd.left -= kTextOffset;
  return 0;
}

LRESULT CUiCheckBox::OnNcCalcSize(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  CUiWindow::OnNcCalcSize(uMsg, wParam, lParam);
  MeasureBeside(reinterpret_cast<SIZE*>(lParam), kTextOffset, kBoxWidth);
  return 0;
}

LRESULT CUiCheckBox::OnLButtonUp(UINT, WPARAM, LPARAM) {
  if (m_dwState & UiWndState_Check)
    ModifyState(0, UiWndState_Check);
  else
    ModifyState(UiWndState_Check, 0);
  return 0;
}
