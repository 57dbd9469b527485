#pragma once
// The process's window-framework module: the instance and the UI (main) thread.
#include <windows.h>

class CAppModule {
 public:
  HRESULT Init(HINSTANCE instance);
  void Term();
  HINSTANCE GetModuleInstance() const { return instance_; }
  HINSTANCE GetResourceInstance() const { return instance_; }
  DWORD GetMainThreadId() const { return mainThreadId_; }

 private:
  HINSTANCE instance_ = nullptr;
  DWORD mainThreadId_ = 0;
};

extern CAppModule g_module;
