#pragma once

#include <windows.h>

typedef HANDLE HUITHEME;

// The visual-styles entry points, bound at run time from uxtheme.dll when the
// process has already loaded it (this table never loads the library).
class UiWinThemeFunc {
 public:
  typedef HUITHEME(WINAPI* OpenThemeDataFn)(HWND, LPCWSTR);
  typedef HRESULT(WINAPI* CloseThemeDataFn)(HUITHEME);
  typedef HRESULT(WINAPI* DrawThemeBackgroundFn)(HUITHEME, HDC, int, int, const RECT*, const RECT*);
  typedef HRESULT(WINAPI* SetWindowThemeFn)(HWND, LPCWSTR, LPCWSTR);

  // Binds to the given module; nullptr leaves every entry unset.
  explicit UiWinThemeFunc(HMODULE hUxTheme);

  // The process-wide table, bound to uxtheme.dll if it is loaded at the
  // first call.
  static UiWinThemeFunc& Get();

  BOOL IsAvailable() const { return m_bAvailable; }

  // E_NOTIMPL when the entry is missing.
  HRESULT SetWindowTheme(HWND hWnd, LPCWSTR pszSubAppName, LPCWSTR pszSubIdList) const;

  OpenThemeDataFn pfnOpenThemeData;
  CloseThemeDataFn pfnCloseThemeData;
  DrawThemeBackgroundFn pfnDrawThemeBackground;
  SetWindowThemeFn pfnSetWindowTheme;

 private:
  BOOL m_bAvailable;
};
