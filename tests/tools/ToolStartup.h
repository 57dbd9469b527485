#pragma once
// What every look-at tool does before its first window and after its last:
// COM, the common controls and the module, then the console's start-up order
// of strings, default font and skins. Styles are left to the tool, since one
// of them adds its own class to the shipped ones.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "platform/CAppModule.h"
#include "uiwin/UiFontPool.h"
#include "uiwin/UiSkin.h"
#include "uiwin/UiString.h"

class ToolStartup {
 public:
  // fallbackFace is the default font when the string table names none.
  explicit ToolStartup(HINSTANCE instance, LPCWSTR fallbackFace = L"宋体") {
    ::CoInitialize(nullptr);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    g_module.Init(instance);
    UiString::Load(102);
    LPCWSTR face = UiString::Get(0);
    UiFontPool::SetDefaultFont(face ? face : fallbackFace, -12);
    UiSkin::LoadSkins(100);
  }
  ~ToolStartup() {
    g_module.Term();
    ::CoUninitialize();
  }
  ToolStartup(const ToolStartup&) = delete;
  ToolStartup& operator=(const ToolStartup&) = delete;
};
