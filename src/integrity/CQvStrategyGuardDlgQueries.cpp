// The strategy wizard's statements. Every value is bound.
#include "console/ConnectOrTell.h"
#include "console/DottedIPv4.h"
#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"
#include "integrity/CQvStrategyGuardDlg.h"
#include "integrity/StrategyTableRow.h"
#include "platform/TextConv.h"

namespace {

// Servers (type 0) and devices (type 1): the type is the wizard's own constant, as in
// the host picker's list.
const wchar_t* const kSqlClients[] = {L"select IP, Name, Status from Client where Type=0",
                                      L"select IP, Name, Status from Client where Type=1"};
const wchar_t kSqlServerObject[] = L"select id from AppStrategyTable where AppStrategyName=?";
const wchar_t kSqlDeviceObject[] = L"select id from EquipStrategyTable where EquipStrategyName=?";
const wchar_t kSqlStrategyNamed[] = L"select id from StrategyTable where StrategyName=?";
const wchar_t* const kSqlStoredStrategy[] = {
    L"select StrategyName, StrategyDescriptor from StrategyTable where StrategyName=?",
    L"select StrategyName, StrategyDescriptor from StrategyTable where id=?"};
const wchar_t kSqlHostIp[] = L"select IP from Client where Name=?";
const wchar_t kSqlHostOfIp[] = L"select IP from Client where IP=?";

using qv::OrEmpty;

}  // namespace

bool CQvStrategyGuardDlg::ReadObjectNames(SQLServerLink& link, const wchar_t* sql, std::vector<std::wstring>* names) {
  SQLStatement* query = link.CreateStatement(sql);
  while (query && query->Fetch()) names->push_back(OrEmpty(query->GetString(0)));
  const bool read = query && !query->Failed();
  link.ReleaseStatement(query);
  if (!read) names->clear();  // part of the names would pass for all of them
  return read;
}

bool CQvStrategyGuardDlg::ReadClients(SQLServerLink& link, int type, std::vector<Client>* clients) {
  SQLStatement* query = link.CreateStatement(kSqlClients[type == 1]);
  while (query && query->Fetch())
    clients->push_back({OrEmpty(query->GetString(0)), OrEmpty(query->GetString(1)), query->GetInt(2)});
  const bool read = query && !query->Failed();
  link.ReleaseStatement(query);
  if (!read) clients->clear();  // part of the hosts would pass for all of them
  return read;
}

int CQvStrategyGuardDlg::LookUp(SQLServerLink& link, const wchar_t* sql, const std::wstring& key, std::wstring* value) {
  SQLStatement* query = link.CreateStatement(sql);
  if (!query || !query->SetMaxRows(1) || !query->BindString(0, key.c_str())) {
    link.ReleaseStatement(query);
    return -1;
  }
  const int found = query->Fetch();
  if (found) *value = OrEmpty(query->GetString(0));
  const int result = query->Failed() ? -1 : found ? 1 : 0;
  link.ReleaseStatement(query);
  return result;
}

int CQvStrategyGuardDlg::FindObject(SQLServerLink& link, DWORD type, const std::wstring& name) {
  std::wstring id;
  return LookUp(link, type == kTypeCustomServer ? kSqlServerObject : kSqlDeviceObject, name, &id);
}

bool CQvStrategyGuardDlg::ReadStrategyRows(SQLServerLink& link, const std::wstring& name,
                                           const std::wstring& descriptor, const std::wstring& id,
                                           std::vector<StrategyTableRow>* rows) {
  SQLStatement* query =
      StrategyTableRow::SelectStrategy(link, name, descriptor, StrategyTableRow::OwnId(id) ? id : std::wstring());
  while (query && query->Fetch()) {
    rows->emplace_back();
    rows->back().Read(*query);
  }
  const bool read = query && !query->Failed();
  link.ReleaseStatement(query);
  return read;
}

int CQvStrategyGuardDlg::StrategyExists(const std::wstring& name) {
  SQLServerLink link;
  if (!Connect(link)) return -1;
  std::wstring id;
  return LookUp(link, kSqlStrategyNamed, name, &id);
}

int CQvStrategyGuardDlg::FindStoredStrategy(SQLServerLink& link, const std::wstring& name, const std::wstring& id,
                                            std::wstring* storedName, std::wstring* storedDescriptor) {
  const bool byId = StrategyTableRow::OwnId(id);
  SQLStatement* query = link.CreateStatement(kSqlStoredStrategy[byId]);
  if (!query || !query->SetMaxRows(1) || !query->BindString(0, (byId ? id : name).c_str())) {
    link.ReleaseStatement(query);
    return -1;
  }
  const int found = query->Fetch();
  if (found) {
    *storedName = OrEmpty(query->GetString(0));
    *storedDescriptor = OrEmpty(query->GetString(1));
  }
  const bool failed = query->Failed() != 0;
  link.ReleaseStatement(query);
  return failed ? -1 : found ? 1 : 0;
}

// A name no host has that reads as an address is that address, when a host has it.
int CQvStrategyGuardDlg::ServerAddress(SQLServerLink& link, const std::wstring& label, bool named, std::wstring* ip) {
  if (named) {
    ip->clear();
    const int found = LookUp(link, kSqlHostIp, label, ip);
    uint32_t address = 0;
    if (found != 0 || !ParseHostAddress(label, &address)) return found;
  }
  *ip = label;
  std::wstring stored;
  return LookUp(link, kSqlHostOfIp, label, &stored);
}
