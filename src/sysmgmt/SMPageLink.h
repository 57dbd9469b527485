#pragma once
// The database connection of one operation on a system-management page: opened with
// the console's connection settings, closed when the operation ends. The user hears of
// a failure in the pages' words; the connection is closed before the box comes up, so
// that no connection stays open while a box or dialog waits for the user.
#include <string>

#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"

class SMPageLink : public SQLServerLink {
 public:
  // 1 when connected; else "连接数据库出错" / "错误" and 0.
  int Open();
  // "错误信息：<the database's diagnostic>" with the caption and style; disconnects first.
  void ShowError(const wchar_t* caption, unsigned style = 0x10);
  // After a select of one record fetched no row: true, disconnected, when the record is
  // gone (the caller says so); false after a failure, shown as ShowError does.
  bool RecordGone(SQLStatement* statement, const wchar_t* caption);

  // The count a "select count(*) ... where name=? and id<>?" statement gives on its own
  // connection; -1 after a failure, which the user has been told of.
  static int CountByName(const wchar_t* sql, const std::wstring& name, int exceptId);
};
