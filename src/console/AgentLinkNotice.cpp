#include "console/AgentLinkNotice.h"

#include "uiwin/UiMessageBox.h"

bool SentOrTellLinkDown(int sent) {
  if (!sent) UiMessageBox(L"与监测服务的连接已断开，命令未发送！", L"错误", MB_ICONERROR);
  return sent != 0;
}

void TellHostAddressUnusable() {
  UiMessageBox(L"客户端IP地址无效，命令未发送！", L"注意", MB_ICONEXCLAMATION);
}
