#include "integrity/HipsTellHost.h"

#include <cstdint>

#include "console/AgentLinkNotice.h"
#include "console/CAgentLinkManager.h"
#include "integrity/HipsClientAddress.h"
#include "uiwin/UiMessageBox.h"

bool HipsTellHost(const std::wstring& clientIp, UINT messageId, const std::string& payload) {
  uint32_t address = 0;
  if (!HipsClientAddress(clientIp, address)) return false;
  return g_agentLinkManager.SendOnChannel1(address, messageId, payload.data(), uint32_t(payload.size())) != 0;
}

bool HipsHostAddressOrTell(const std::wstring& clientIp) {
  if (HipsHostAddressUsable(clientIp)) return true;
  TellHostAddressUnusable();
  return false;
}

bool HipsHostAddressUsable(const std::wstring& clientIp) {
  uint32_t address = 0;
  return HipsClientAddress(clientIp, address) != 0;
}

bool HipsUntoldRemovalChosen() {
  return UiMessageBox(L"客户端IP地址无效，无法通知该主机，是否继续？", L"注意", MB_YESNO | MB_ICONQUESTION) == IDYES;
}
