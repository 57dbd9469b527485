#include "uiwin/UiModalHook.h"

#include "platform/DebugReport.h"

namespace {
UiModalHook* g_hook = nullptr;
}

UiModalHook::Scope::Scope(UiModalHook& hook) : m_pHook(&hook), m_pPrevious(g_hook) {
  g_hook = &hook;
}

UiModalHook::Scope::~Scope() {
  // Scopes nest; one that ends out of order would put back a hook that is gone.
  QV_ASSERT(g_hook == m_pHook);
  g_hook = m_pPrevious;
}

UiModalHook* UiModalHook::Current() { return g_hook; }
