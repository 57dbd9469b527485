#include "console/ConnectOrTell.h"

#include "console/SQLServerLink.h"
#include "console/SysServerPortConfig.h"
#include "platform/WideFormat.h"
#include "uiwin/UiMessageBox.h"

bool Connect(SQLServerLink& link) { return link.Connect(g_dsnName, g_sqlUserName, g_sqlPassword) != 0; }

bool ConnectOrTell(SQLServerLink& link, const wchar_t* message, const wchar_t* caption, UINT icon) {
  if (Connect(link)) return true;
  if (message) {
    UiMessageBox(message, caption, icon);
  } else {
    const wchar_t* text = link.GetLastErrorText();
    UiMessageBox(qv::FormatW(L"错误信息：%ls", text ? text : L"").c_str(), caption, icon);
  }
  return false;
}
