#include "uiwin/UiWinThemeFunc.h"

UiWinThemeFunc::UiWinThemeFunc(HMODULE hUxTheme)
    : pfnOpenThemeData(nullptr),
      pfnCloseThemeData(nullptr),
      pfnDrawThemeBackground(nullptr),
      pfnSetWindowTheme(nullptr),
      m_bAvailable(FALSE) {
  if (!hUxTheme) return;
  m_bAvailable = TRUE;
  pfnOpenThemeData = (OpenThemeDataFn)(void*)GetProcAddress(hUxTheme, "OpenThemeData");
  pfnCloseThemeData = (CloseThemeDataFn)(void*)GetProcAddress(hUxTheme, "CloseThemeData");
  pfnDrawThemeBackground =
      (DrawThemeBackgroundFn)(void*)GetProcAddress(hUxTheme, "DrawThemeBackground");
  pfnSetWindowTheme = (SetWindowThemeFn)(void*)GetProcAddress(hUxTheme, "SetWindowTheme");
}

UiWinThemeFunc& UiWinThemeFunc::Get() {
  // process-wide, created on first use, never destroyed
  static UiWinThemeFunc* s_pTable = new UiWinThemeFunc(GetModuleHandleW(L"uxtheme.dll"));
  return *s_pTable;
}

HRESULT UiWinThemeFunc::SetWindowTheme(HWND hWnd, LPCWSTR pszSubAppName,
                                       LPCWSTR pszSubIdList) const {
  if (!pfnSetWindowTheme) return E_NOTIMPL;
  return pfnSetWindowTheme(hWnd, pszSubAppName, pszSubIdList);
}
