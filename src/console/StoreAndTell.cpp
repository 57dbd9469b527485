#include "console/StoreAndTell.h"

#include <string>

#include "console/AgentLinkNotice.h"
#include "console/RunInTransaction.h"
#include "console/SQLServerLink.h"
#include "platform/WideFormat.h"
#include "uiwin/UiMessageBox.h"

bool StoreAndTell(SQLServerLink& link, const std::function<bool()>& write, const std::function<bool()>& tell,
                  const wchar_t* caption, const bool* gone) {
  bool written = false, told = false;
  std::wstring error;
  if (RunInTransaction(link, [&] { return (written = write()) && (told = tell()); }, &error)) return true;
  link.Disconnect();
  if (written && !told) return SentOrTellLinkDown(0);
  if (!written && gone && *gone) return false;
  // Told but not committed: the service acts on a change the database does not hold.
  const wchar_t* format = told ? L"监测服务已收到此更改，但数据库未能保存。错误信息：%ls" : L"错误信息：%ls";
  UiMessageBox(qv::FormatW(format, error.c_str()).c_str(), caption, MB_ICONERROR);
  return false;
}

int StoreAndTellRecord(SQLServerLink& link, const std::function<int()>& write, const std::function<bool()>& tell,
                       const wchar_t* caption) {
  bool gone = false;
  auto changed = [&] {
    const int written = write();
    gone = written == 0;
    return written > 0;
  };
  if (StoreAndTell(link, changed, tell, caption, &gone)) return 1;
  return gone ? 0 : -1;
}
