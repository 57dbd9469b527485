#include "integrity/HipsStoreAndTell.h"

#include "console/AgentLinkNotice.h"
#include "console/CAgentLinkManager.h"
#include "console/SQLServerLink.h"
#include "integrity/HipsClientAddress.h"
#include "platform/WideFormat.h"
#include "uiwin/UiMessageBox.h"

bool HipsTellHost(const std::wstring& clientIp, UINT messageId, const std::string& payload) {
  uint32_t address = 0;
  if (!HipsClientAddress(clientIp, address)) return true;
  return g_agentLinkManager.SendOnChannel1(address, messageId, payload.data(), uint32_t(payload.size())) != 0;
}

bool HipsStoreAndTell(SQLServerLink& link, const std::function<bool()>& write, const std::function<bool()>& tell,
                      const wchar_t* caption) {
  const bool written = link.BeginTransaction() && write();
  if (written && !tell()) {
    link.Rollback();
    return SentOrTellLinkDown(0);
  }
  if (written && link.Commit()) return true;
  // The text first: the rollback may replace it.
  const wchar_t* text = link.GetLastErrorText();
  const std::wstring error = text ? text : L"";
  link.Rollback();
  UiMessageBox(qv::FormatW(L"错误信息：%ls", error.c_str()).c_str(), caption, MB_ICONERROR);
  return false;
}
