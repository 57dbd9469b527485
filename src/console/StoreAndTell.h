#pragma once
// A change that counts only once the service has heard of it: the rows are written in
// one transaction (RunInTransaction), the service is told, and only then is the
// transaction committed. A send that the service link cannot take rolls the rows back
// and the user is told, so nothing has changed and the caller keeps what was entered,
// to be given again once the service is back. If the commit itself fails after the
// send, the service has heard of a change the database does not hold; the user is told
// so, and giving it again sends again.
#include <functional>

class SQLServerLink;

// write runs the statements on link (false on a database failure), tell the sends (false
// when the link did not take one). On any failure the rows are rolled back and link is
// closed before anything is told, so that nothing of the database is held while the user
// reads (a caller that goes on connects it again). Each failure is shown: the link's as
// SentOrTellLinkDown does, the database's as "错误信息：<diagnostic>" with caption, the
// commit's after the send as "监测服务已收到此更改，但数据库未能保存。错误信息：<diagnostic>".
// True once committed.
// A write that stopped because its record is gone sets *gone: that is no failure to tell
// here, the caller tells it (TellRecordGone).
bool StoreAndTell(SQLServerLink& link, const std::function<bool()>& write, const std::function<bool()>& tell,
                  const wchar_t* caption = L"错误", const bool* gone = nullptr);

// The same for a change of one record whose write gives 1 when it changed its rows, 0 when
// none was left (the record is gone: nothing is told or kept) and -1 on a failure. 1
// committed, 0 gone, -1 failed (told).
int StoreAndTellRecord(SQLServerLink& link, const std::function<int()>& write, const std::function<bool()>& tell,
                       const wchar_t* caption = L"错误");
