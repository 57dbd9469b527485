#include "console/CAgentLinkManager.h"

#include <algorithm>

#include "console/CAgentLink.h"
#include "platform/CCritSecLock.h"

// Defined in this order so that the registry and its lock outlive the manager.
CCriticalSection g_agentLinkLock;
std::vector<AgentLinkWindow> g_agentLinkWindows;
CAgentLinkManager g_agentLinkManager;

CAgentLinkManager::CAgentLinkManager() = default;

CAgentLinkManager::~CAgentLinkManager() = default;

int CAgentLinkManager::Create(HWND window, UINT message, unsigned short port) {
  if (!link_) link_.reset(new CAgentLink());
  return link_->Start(window, message, port);
}

void CAgentLinkManager::Destroy() {
  // A receiver may destroy the link while it handles one of its frames.
  CAgentLink::Dispose(link_.release());
}

void CAgentLinkManager::RegisterWindow(const AgentLinkWindow& registration) {
  CCritSecLock lock(g_agentLinkLock);
  g_agentLinkWindows.push_back(registration);
}

void CAgentLinkManager::UnregisterWindow(const AgentLinkWindow& registration) {
  CCritSecLock lock(g_agentLinkLock);
  g_agentLinkWindows.erase(
      std::remove(g_agentLinkWindows.begin(), g_agentLinkWindows.end(), registration),
      g_agentLinkWindows.end());
}

HWND CAgentLinkManager::FindFirstWindow(uint32_t messageId) {
  CCritSecLock lock(g_agentLinkLock);
  for (const AgentLinkWindow& r : g_agentLinkWindows)
    if (r.messageId == messageId) return r.window;
  return nullptr;
}

bool CAgentLinkManager::CanSend() const {
  return link_ && link_->IsConnected();  // a frame is taken only once connected
}

int CAgentLinkManager::Send(uint32_t type, uint32_t wParam, uint32_t messageId, const void* data,
                            uint32_t length) {
  if (!link_) return 0;
  return link_->SendFrame(type, wParam, messageId, data, length);
}

int CAgentLinkManager::SendOnChannel1(uint32_t hostAddress, uint32_t messageId, const void* data,
                                      uint32_t length) {
  return Send(1, hostAddress, messageId, data, length);
}

int CAgentLinkManager::SendOnChannel2(uint32_t wParam, uint32_t messageId, const void* data,
                                      uint32_t length) {
  return Send(2, wParam, messageId, data, length);
}

int CAgentLinkManager::SendOnChannel3(uint32_t wParam, uint32_t messageId, const void* data,
                                      uint32_t length) {
  return Send(3, wParam, messageId, data, length);
}

int CAgentLinkManager::SendHeaderOnChannel1(uint32_t hostAddress, uint32_t messageId) {
  return Send(1, hostAddress, messageId, nullptr, 0);
}

int CAgentLinkManager::SendHeaderOnChannel2(uint32_t wParam, uint32_t messageId) {
  return Send(2, wParam, messageId, nullptr, 0);
}

int CAgentLinkManager::SendHeaderOnChannel3(uint32_t wParam, uint32_t messageId) {
  return Send(3, wParam, messageId, nullptr, 0);
}
