#include "platform/CAppModule.h"

CAppModule g_module;

HRESULT CAppModule::Init(HINSTANCE instance) {
  instance_ = instance ? instance : ::GetModuleHandleW(nullptr);
  mainThreadId_ = ::GetCurrentThreadId();
  return S_OK;
}

void CAppModule::Term() {
  instance_ = nullptr;
  mainThreadId_ = 0;
}
