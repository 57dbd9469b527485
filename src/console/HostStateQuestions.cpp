#include "console/HostStateQuestions.h"

#include <cstdint>
#include <utility>

#include "console/AgentMessageId.h"
#include "console/CAgentLinkManager.h"
#include "console/DottedIPv4.h"

void HostStateQuestions::Ask(HWND window, std::vector<std::wstring> addresses) {
  m_addresses = std::move(addresses);
  m_next = 0;
  m_slices.Start(window, [this](DWORD until) { return AskSome(until); });
}

bool HostStateQuestions::AskSome(DWORD until) {
  do {
    if (!Waiting()) break;
    uint32_t host = 0;
    // An address the service cannot take is not asked for.
    const bool valid = ParseHostAddress(m_addresses[m_next++], &host);
    // A link that takes no question takes none of the rest.
    if (valid && g_agentLinkManager.SendOnChannel2(0, AGENT_MSG_CLIENT_STATE, &host, sizeof host) != 1)
      m_next = m_addresses.size();
  } while (IdleSlices::Within(until));
  if (Waiting()) return true;
  std::vector<std::wstring>().swap(m_addresses);
  m_next = 0;
  return false;
}
