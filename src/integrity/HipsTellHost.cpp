#include "integrity/HipsTellHost.h"

#include <cstdint>

#include "console/AgentLinkNotice.h"
#include "console/CAgentLinkManager.h"
#include "integrity/HipsClientAddress.h"

bool HipsTellHost(const std::wstring& clientIp, UINT messageId, const std::string& payload) {
  uint32_t address = 0;
  if (!HipsClientAddress(clientIp, address)) return false;
  return g_agentLinkManager.SendOnChannel1(address, messageId, payload.data(), uint32_t(payload.size())) != 0;
}

bool HipsHostAddressOrTell(const std::wstring& clientIp) {
  uint32_t address = 0;
  if (HipsClientAddress(clientIp, address)) return true;
  TellHostAddressUnusable();
  return false;
}
