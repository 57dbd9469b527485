#include "sysmgmt/SMPageLink.h"

#include <string>

#include "console/ConnectOrTell.h"
#include "platform/WideFormat.h"
#include "uiwin/UiMessageBox.h"

int SMPageLink::Open() {
  if (::Connect(*this)) return 1;
  Disconnect();
  UiMessageBox(L"连接数据库出错", L"错误", MB_ICONHAND);
  return 0;
}

int SMPageLink::CountByName(const wchar_t* sql, const std::wstring& name, int exceptId) {
  SMPageLink link;
  if (!link.Open()) return -1;
  SQLStatement* statement = link.CreateStatement(sql);
  if (!statement || !statement->BindString(0, name.c_str()) || !statement->BindInt(1, exceptId) ||
      !statement->Fetch()) {
    link.ShowError(L"查询出错");
    return -1;
  }
  return statement->GetInt(0);
}

void SMPageLink::ShowError(const wchar_t* caption, unsigned style) {
  const wchar_t* diagnostic = GetLastErrorText();
  const std::wstring text = qv::FormatW(L"错误信息：%ls", diagnostic ? diagnostic : L"");
  Disconnect();
  UiMessageBox(text.c_str(), caption, style);
}
