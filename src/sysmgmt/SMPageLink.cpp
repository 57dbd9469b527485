#include "sysmgmt/SMPageLink.h"

#include <string>

#include "console/ConnectOrTell.h"

int SMPageLink::Open() {
  if (::Connect(*this)) return 1;
  Disconnect();
  TellNoConnection();
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

bool SMPageLink::RecordGone(SQLStatement* statement, const wchar_t* caption) {
  if (!statement || statement->Failed()) {
    ShowError(caption);
    return false;
  }
  Disconnect();
  return true;
}

void SMPageLink::ShowError(const wchar_t* caption, unsigned style) { TellError(*this, caption, style); }
