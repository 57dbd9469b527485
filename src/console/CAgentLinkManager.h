#pragma once
// Process-wide owner of the service link and of the registry of windows that
// want its frames.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "console/AgentLinkWindow.h"
#include "console/AgentMessageId.h"
#include "platform/CCriticalSection.h"

class CAgentLink;

class CAgentLinkManager {
 public:
  CAgentLinkManager();
  CAgentLinkManager(const CAgentLinkManager&) = delete;
  CAgentLinkManager& operator=(const CAgentLinkManager&) = delete;
  ~CAgentLinkManager();

  // Creates the link and starts it on `window` with socket events as `message`.
  // Tests pass a port of their own.
  int Create(HWND window, UINT message, unsigned short port = AGENT_LINK_DEFAULT_PORT);
  void Destroy();
  CAgentLink* Link() const { return link_.get(); }
  // True while a frame would be taken: the link stands. A command that must not change
  // anything without the service asks first.
  bool CanSend() const;

  static void RegisterWindow(const AgentLinkWindow& registration);
  // Removes every registration equal to the pair.
  static void UnregisterWindow(const AgentLinkWindow& registration);
  // The first window registered for the id, or null.
  static HWND FindFirstWindow(uint32_t messageId);

  int SendOnChannel1(uint32_t hostAddress, uint32_t messageId, const void* data, uint32_t length);
  int SendOnChannel2(uint32_t wParam, uint32_t messageId, const void* data, uint32_t length);
  int SendOnChannel3(uint32_t wParam, uint32_t messageId, const void* data, uint32_t length);
  int SendHeaderOnChannel1(uint32_t hostAddress, uint32_t messageId);
  int SendHeaderOnChannel2(uint32_t wParam, uint32_t messageId);
  int SendHeaderOnChannel3(uint32_t wParam, uint32_t messageId);

 private:
  int Send(uint32_t type, uint32_t wParam, uint32_t messageId, const void* data, uint32_t length);

  std::unique_ptr<CAgentLink> link_;
};

extern CAgentLinkManager g_agentLinkManager;
extern std::vector<AgentLinkWindow> g_agentLinkWindows;
extern CCriticalSection g_agentLinkLock;
