#include "console/ListReadFailure.h"

#include <string>

#include "console/SQLServerLink.h"
#include "platform/TextConv.h"
#include "platform/WideFormat.h"
#include "uiwin/UiMessageBox.h"
#include "uiwin/UiString.h"

const wchar_t kGridFullReason[] = L"内存不足";

void TellListUnread(UINT textId, const wchar_t* reason, const wchar_t* caption) {
  // Without the string table the reason still reaches the user.
  const wchar_t* format = UiString::Get(textId);
  const std::wstring text = qv::FormatW(format ? format : L"错误信息：%ls", qv::OrEmpty(reason));
  UiMessageBox(text.c_str(), caption, MB_ICONERROR);
}

void TellListUnread(UINT textId, SQLServerLink& link, const wchar_t* caption) {
  const std::wstring reason = qv::OrEmpty(link.GetLastErrorText());
  link.Disconnect();
  TellListUnread(textId, reason.c_str(), caption);
}
