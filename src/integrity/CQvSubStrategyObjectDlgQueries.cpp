// The object editor's statements: the duplicate-name check of OK and the client name
// lookup. Every value is bound.
#include "console/ConnectOrTell.h"
#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"
#include "integrity/CQvSubStrategyObjectDlg.h"
#include "platform/TextConv.h"

namespace {

// Per kind: any row of the name; any row of the name but the given number.
const wchar_t* const kSqlNamed[][2] = {
    {L"select IpNo from IpAddressTable where IpStrategyName=?",
     L"select IpNo from IpAddressTable where IpStrategyName=? and IpNo<>?"},
    {L"select MacNo from MacAddressTable where MacStrategyName=?",
     L"select MacNo from MacAddressTable where MacStrategyName=? and MacNo<>?"},
    {L"select AppNo from AppStrategyTable where AppStrategyName=?", nullptr},
    {L"select RegNo from RegStrategyTable where RegStrategyName=?", nullptr},
    {L"select EquipNo from EquipStrategyTable where EquipStrategyName=?", nullptr},
};
const wchar_t kSqlClientName[] = L"select Name from Client where IP=?";

}  // namespace

bool CQvSubStrategyObjectDlg::NameTaken(SQLServerLink& link, int kind, const std::wstring& name, int except,
                                        bool* taken, std::wstring* error) {
  const bool other = except >= 0 && kSqlNamed[kind][1];
  SQLStatement* query = link.CreateStatement(kSqlNamed[kind][other ? 1 : 0]);
  bool done = query && query->SetMaxRows(1) && query->BindString(0, name.c_str()) &&
              (!other || query->BindInt(1, except));
  if (done) {
    *taken = query->Fetch() != 0;
    done = !query->Failed();
  }
  if (!done) {
    *error = qv::OrEmpty(link.GetLastErrorText());
  }
  if (query) link.ReleaseStatement(query);
  return done;
}

bool CQvSubStrategyObjectDlg::ClientName(const std::wstring& ip, std::wstring* name, bool* connected,
                                         std::wstring* error) {
  name->clear();
  SQLServerLink link;
  *connected = Connect(link);
  if (!*connected) return false;
  SQLStatement* query = link.CreateStatement(kSqlClientName);
  bool read = query && query->BindString(0, ip.c_str());
  while (read && query->Fetch()) {
    *name = qv::OrEmpty(query->GetString(0));
  }
  read = read && !query->Failed();
  if (query) link.ReleaseStatement(query);
  if (read) return true;
  name->clear();  // a name read before the failure may not be the one that counts
  *error = qv::OrEmpty(link.GetLastErrorText());
  return false;
}
