#include "console/StoreAndTell.h"

#include <string>

#include "console/AgentLinkNotice.h"
#include "console/SQLServerLink.h"
#include "platform/WideFormat.h"
#include "uiwin/UiMessageBox.h"

bool StoreAndTell(SQLServerLink& link, const std::function<bool()>& write, const std::function<bool()>& tell,
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
