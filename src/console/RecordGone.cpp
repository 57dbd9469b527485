#include "console/RecordGone.h"

#include "console/ODBCDatabase.h"
#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"
#include "uiwin/UiMessageBox.h"

namespace {

// 1 when the record is there, 0 when not, -1 failed.
int Found(SQLServerLink& link, const RecordStatement& check) {
  SQLStatement* statement = link.CreateStatement(check.sql);
  const bool ready = statement && check.bind(*statement) && statement->SetMaxRows(1);
  const int found = !ready ? -1 : statement->Fetch() ? 1 : statement->Failed() ? -1 : 0;
  link.ReleaseStatement(statement);
  return found;
}

int Change(SQLServerLink& link, const RecordStatement& check, const RecordStatement& change) {
  const int found = Found(link, check);
  if (found <= 0) return found;
  SQLStatement* statement = link.CreateStatement(change.sql);
  const bool run = statement && change.bind(*statement) && statement->Execute();
  const long rows = run ? statement->RowCount() : -1;
  link.ReleaseStatement(statement);
  if (!run) return -1;
  // Uncounted (-1): the record found above is the one changed.
  return rows == 0 ? 0 : 1;
}

}  // namespace

int ExecuteOnRecord(SQLServerLink& link, const RecordStatement& check, const RecordStatement& change) {
  if (link.Database()->InTransaction()) return Change(link, check, change);
  if (!link.BeginTransaction()) return -1;
  const int changed = Change(link, check, change);
  if (changed > 0 && link.Commit()) return 1;
  link.Rollback();
  return changed > 0 ? -1 : changed;
}

void TellRecordGone(const std::function<void()>& reread) { TellRecordGone(L"该记录已被删除，列表将重新读取。", reread); }

void TellRecordGone(const std::wstring& text, const std::function<void()>& reread) {
  UiMessageBox(text.c_str(), L"提示", MB_ICONINFORMATION);
  if (reread) reread();
}
