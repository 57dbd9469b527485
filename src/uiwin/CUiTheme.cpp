#include "uiwin/CUiTheme.h"

namespace {
// The holder's class list: one entry, and the holder opens entry 0.
const wchar_t* const kClassList[] = {L"BUTTON"};
}  // namespace

CUiTheme::CUiTheme(HWND hWnd, const UiWinThemeFunc* pTable)
    : m_table(pTable ? *pTable : UiWinThemeFunc::Get()), m_hTheme(nullptr) {
  if (hWnd) OpenThemeData(hWnd);
}

CUiTheme::~CUiTheme() { CloseThemeData(); }

BOOL CUiTheme::OpenThemeData(HWND /*hWnd*/) {
  if (m_hTheme || !m_table.pfnOpenThemeData) return FALSE;
  // Themes are opened for the class alone; the window is not passed on.
  m_hTheme = m_table.pfnOpenThemeData(nullptr, kClassList[0]);
  return m_hTheme != nullptr;
}

HRESULT CUiTheme::CloseThemeData() {
  if (!m_table.pfnCloseThemeData) return E_NOTIMPL;
  if (!m_hTheme) return S_OK;
  HRESULT hr = m_table.pfnCloseThemeData(m_hTheme);
  m_hTheme = nullptr;
  return hr;
}

HRESULT CUiTheme::DrawThemeBackground(HDC hdc, int nPartId, int nStateId, const RECT* pRect) {
  if (!m_table.pfnDrawThemeBackground) return E_NOTIMPL;
  return m_table.pfnDrawThemeBackground(m_hTheme, hdc, nPartId, nStateId, pRect, nullptr);
}
