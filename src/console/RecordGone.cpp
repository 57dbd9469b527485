#include "console/RecordGone.h"

#include "console/SQLStatement.h"
#include "uiwin/UiMessageBox.h"

int ExecuteOnRecord(SQLStatement* statement) {
  if (!statement || !statement->Execute()) return -1;
  return statement->RowCount() == 0 ? 0 : 1;
}

void TellRecordGone(const std::function<void()>& reread) { TellRecordGone(L"该记录已被删除，列表将重新读取。", reread); }

void TellRecordGone(const std::wstring& text, const std::function<void()>& reread) {
  UiMessageBox(text.c_str(), L"提示", MB_ICONINFORMATION);
  if (reread) reread();
}
