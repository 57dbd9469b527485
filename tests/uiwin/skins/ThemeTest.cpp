// The visual-styles table and the theme holder, with and without uxtheme.
#include <gtest/gtest.h>

#include <windows.h>

#include "uiwin/CUiTheme.h"
#include "uiwin/UiWinThemeFunc.h"

TEST(ThemeTable, WithoutTheLibraryEverythingAnswersNotImplemented) {
  UiWinThemeFunc table(nullptr);
  EXPECT_FALSE(table.IsAvailable());
  EXPECT_EQ((HRESULT)0x80004001, table.SetWindowTheme(nullptr, L"", L""));

  CUiTheme theme(nullptr, &table);
  EXPECT_FALSE(theme.OpenThemeData(nullptr));
  EXPECT_FALSE(theme.IsThemeOpen());
  RECT rc = {0, 0, 13, 13};
  EXPECT_EQ(E_NOTIMPL, theme.DrawThemeBackground(nullptr, CUiTheme::PartCheckBox, 1, &rc));
  EXPECT_EQ(E_NOTIMPL, theme.CloseThemeData());
}

TEST(ThemeTable, BindsTheEntriesOfALoadedLibrary) {
  HMODULE ux = LoadLibraryW(L"uxtheme.dll");
  ASSERT_NE(nullptr, ux);
  {
    UiWinThemeFunc table(ux);
    EXPECT_TRUE(table.IsAvailable());

    HWND wnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, wnd);
    EXPECT_NE((HRESULT)0x80004001, table.SetWindowTheme(wnd, L"", L""));
    DestroyWindow(wnd);

    // Whether a theme opens depends on the desktop's visual styles; either way
    // the holder stays consistent and closes what it opened.
    CUiTheme theme(nullptr, &table);
    BOOL opened = theme.OpenThemeData(nullptr);
    EXPECT_EQ(opened, theme.IsThemeOpen());
    if (opened) {
      EXPECT_FALSE(theme.OpenThemeData(nullptr)) << "already open";
    }
    theme.CloseThemeData();
    EXPECT_FALSE(theme.IsThemeOpen());
  }
  FreeLibrary(ux);
}
