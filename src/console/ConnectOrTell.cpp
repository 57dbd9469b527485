#include "console/ConnectOrTell.h"

#include <string>

#include "console/SQLServerLink.h"
#include "console/SysServerPortConfig.h"
#include "platform/TextConv.h"
#include "platform/WideFormat.h"
#include "uiwin/UiMessageBox.h"

const wchar_t kNoConnectionText[] = L"连接数据库出错";

bool Connect(SQLServerLink& link) { return link.Connect(g_dsnName, g_sqlUserName, g_sqlPassword) != 0; }

bool ConnectOrTell(SQLServerLink& link, const wchar_t* message, const wchar_t* caption, UINT icon) {
  if (Connect(link)) return true;
  if (message) {
    link.Disconnect();
    UiMessageBox(message, caption, icon);
  } else {
    TellError(link, caption, icon);
  }
  return false;
}

void TellNoConnection() { UiMessageBox(kNoConnectionText, L"错误", MB_ICONHAND); }

void TellError(const wchar_t* reason, const wchar_t* caption, UINT icon) {
  UiMessageBox(qv::FormatW(L"错误信息：%ls", qv::OrEmpty(reason)).c_str(), caption, icon);
}

void TellError(SQLServerLink& link, const wchar_t* caption, UINT icon) {
  const std::wstring reason = qv::OrEmpty(link.GetLastErrorText());
  link.Disconnect();
  TellError(reason.c_str(), caption, icon);
}
