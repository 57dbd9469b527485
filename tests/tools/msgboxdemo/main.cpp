// Shows the console's Yes/No question box, for a look with scripts/screenshot.
// Usage: msgboxdemo [text]   (the text may hold "\n" line breaks)
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <string>

#include "platform/CAppModule.h"
#include "uiwin/UiFontPool.h"
#include "uiwin/UiMessageBox.h"
#include "uiwin/UiSkin.h"
#include "uiwin/UiString.h"
#include "uiwin/UiStyle.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  ::CoInitialize(nullptr);
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&icc);
  g_module.Init(instance);

  // The console's start-up order: strings, default font, skins, styles.
  UiString::Load(102);
  LPCWSTR face = UiString::Get(0);
  UiFontPool::SetDefaultFont(face ? face : L"", -12);
  UiSkin::LoadSkins(100);
  UiStyle::LoadStyles(101);

  std::wstring text = L"确定要删除选中的监测策略吗？\n删除后，该策略在各客户端上的监测将停止。";
  int argc = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  if (argv && argc > 1) {
    text = argv[1];
    for (size_t at = text.find(L"\\n"); at != std::wstring::npos; at = text.find(L"\\n", at + 1))
      text.replace(at, 2, L"\n");
  }
  if (argv) ::LocalFree(argv);

  int result = UiMessageBox(text.c_str(), L"提示", MB_YESNO | MB_ICONQUESTION);

  g_module.Term();
  ::CoUninitialize();
  return result;
}
