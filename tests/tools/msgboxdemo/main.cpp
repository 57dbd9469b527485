// Shows the console's Yes/No question box, for a look with scripts/screenshot.
// Usage: msgboxdemo [text]   (the text may hold "\n" line breaks)
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "uiwin/UiMessageBox.h"
#include "uiwin/UiStyle.h"
#include "../ToolStartup.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  // The console's start-up order: strings, default font, skins, styles.
  ToolStartup startup(instance, L"");
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

  return UiMessageBox(text.c_str(), L"提示", MB_YESNO | MB_ICONQUESTION);
}
