// The policy wizard's statements. Every value is bound; a sequence that must not stop
// half-way runs as one transaction.
#include "console/ConnectOrTell.h"
#include "console/RecordGone.h"
#include "console/RunInTransaction.h"
#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"
#include "platform/TextConv.h"
#include "reinforce/CSRSecurityReinforceDlg.h"

namespace {

const wchar_t kSqlPolicyTemplate[] = L"select policyTemplate from reinforcingPolicy where policyName=?";
const wchar_t kSqlPolicyNamed[] = L"select policyName from reinforcingPolicy where policyName=?";
const wchar_t kSqlOtherPolicyNamed[] =
    L"select policyName from reinforcingPolicy where policyName=? and policyName<>?";
const wchar_t* const kSqlInventories[] = {
    L"select distinct serviceName,serviceDoc,servicePath,enabled from service",
    L"select distinct startupProject,startupProgram,startupPath,enabled from startup",
    L"select distinct shareName,shareType,sharePath,enabled from winShare",
    L"select peripheralType,displayName,driverPath,enabled from peripheral",
};
const wchar_t kSqlServiceNamed[] = L"select serviceName from service where serviceName=?";
const wchar_t kSqlServiceChoice[] = L"update service set enabled=? where serviceName=?";
const wchar_t kSqlUpdatePolicy[] =
    L"update reinforcingPolicy set policyName=?,policyDoc=?,policyObjective=?,policyTemplate=? where policyName=?";
const wchar_t kSqlInsertPolicy[] =
    L"insert into reinforcingPolicy (policyName,policyDoc,policyObjective,policyTemplate) values (?,?,?,?)";
const wchar_t kSqlClientAddresses[] = L"select ip from Client";
const wchar_t kSqlServiceObjects[] = L"select SeverStrategyName from SeverStrategyTable";
const wchar_t kSqlNetRules[] =
    L"select policyName,interactiveAddress,localPort,terminalPort,direction,enabled from netSecurity "
    L"where listType=?";
const wchar_t kSqlRuleNamed[] = L"select policyName from netSecurity where policyName=?";
const wchar_t kSqlOtherRuleNamed[] = L"select policyName from netSecurity where policyName=? and policyName<>?";
const wchar_t kSqlDeleteRule[] = L"delete from netSecurity where policyName=?";
const wchar_t kSqlInsertRule[] =
    L"insert into netSecurity (policyName,interactiveAddress,localPort,terminalPort,direction,listType) "
    L"values (?,?,?,?,?,?)";

using qv::OrEmpty;

bool Fail(SQLServerLink& link, std::wstring* error) {
  *error = OrEmpty(link.GetLastErrorText());
  return false;
}

// Rows read before a failure would pass for the whole list.
template <class Row>
bool FailList(SQLServerLink& link, std::vector<Row>* rows, std::wstring* error) {
  rows->clear();
  return Fail(link, error);
}

bool Connect(SQLServerLink& link, std::wstring* error) {
  return ::Connect(link) || Fail(link, error);
}

// Whether a row has the name, leaving out the rows named except when given.
bool NameTaken(const wchar_t* sqlAny, const wchar_t* sqlOther, const std::wstring& name,
               const std::wstring* except, bool* taken, std::wstring* error) {
  SQLServerLink link;
  if (!Connect(link, error)) return false;
  SQLStatement* query = link.CreateStatement(except ? sqlOther : sqlAny);
  if (!query || !query->SetMaxRows(1) || !query->BindString(0, name.c_str()) ||
      (except && !query->BindString(1, except->c_str())))
    return Fail(link, error);
  *taken = query->Fetch() != 0;
  return !query->Failed() || Fail(link, error);
}

// Runs statement on every item's record, which check finds by the item's name (the
// statement's last parameter), as one unit; bind binds the statement's other values. With
// gone given, an item the statement finds no row for sets it (another console deleted it)
// and the others go on.
template <class Items, class Name, class Bind>
bool RunAsOne(const wchar_t* check, const wchar_t* statement, const Items& items, Name name, Bind bind,
              std::wstring* error, bool* gone = nullptr) {
  SQLServerLink link;
  auto write = [&] {
    for (const auto& item : items) {
      auto bindName = [&](SQLStatement& st) { return st.BindString(0, name(item).c_str()) != 0; };
      const int done =
          ExecuteOnRecord(link, {check, bindName}, {statement, [&](SQLStatement& st) { return bind(st, item); }});
      if (done < 0) return false;
      if (done == 0 && gone) *gone = true;
    }
    return true;
  };
  return Connect(link, error) && RunInTransaction(link, write, error);
}

}  // namespace

bool CSRSecurityReinforceDlg::ReadTemplate(const std::wstring& name, int* number, bool* found, std::wstring* error) {
  SQLServerLink link;
  if (!Connect(link, error)) return false;
  SQLStatement* query = link.CreateStatement(kSqlPolicyTemplate);
  if (!query || !query->SetMaxRows(1) || !query->BindString(0, name.c_str())) return Fail(link, error);
  *found = query->Fetch() != 0;
  *number = *found ? query->GetInt(0) : -1;
  return !query->Failed() || Fail(link, error);
}

bool CSRSecurityReinforceDlg::PolicyNameTaken(const std::wstring& name, const std::wstring* except, bool* taken,
                                              std::wstring* error) {
  return NameTaken(kSqlPolicyNamed, kSqlOtherPolicyNamed, name, except, taken, error);
}

bool CSRSecurityReinforceDlg::ReadInventory(Inventory which, std::vector<InventoryRow>* rows, std::wstring* error) {
  SQLServerLink link;
  if (!Connect(link, error)) return false;
  SQLStatement* query = link.CreateStatement(kSqlInventories[which]);
  if (!query) return Fail(link, error);
  while (query->Fetch()) {
    InventoryRow row;
    for (int i = 0; i < 3; ++i) row.cells[i] = OrEmpty(query->GetString(i));
    row.enabled = query->GetInt(3);
    rows->push_back(std::move(row));
  }
  return !query->Failed() || FailList(link, rows, error);
}

bool CSRSecurityReinforceDlg::StoreServiceChoices(const std::vector<std::pair<std::wstring, int>>& choices,
                                                  std::wstring* error, bool* gone) {
  using Choice = std::pair<std::wstring, int>;
  return RunAsOne(
      kSqlServiceNamed, kSqlServiceChoice, choices, [](const Choice& choice) { return choice.first; },
      [](SQLStatement& st, const Choice& choice) {
        return st.BindInt(0, choice.second) && st.BindString(1, choice.first.c_str());
      },
      error, gone);
}

bool CSRSecurityReinforceDlg::StorePolicy(const std::wstring& name, const std::wstring& doc,
                                          const std::wstring& objective, int templateNumber,
                                          const std::wstring* oldName, std::wstring* error, bool* gone) {
  SQLServerLink link;
  if (!Connect(link, error)) return false;
  auto bind = [&](SQLStatement& st) {
    return st.BindString(0, name.c_str()) && st.BindString(1, doc.c_str()) && st.BindString(2, objective.c_str()) &&
           st.BindInt(3, templateNumber) && (!oldName || st.BindString(4, oldName->c_str()));
  };
  *gone = false;
  if (!oldName) {
    SQLStatement* st = link.CreateStatement(kSqlInsertPolicy);
    return (st && bind(*st) && st->Execute()) || Fail(link, error);
  }
  const int written = ExecuteOnRecord(
      link, {kSqlPolicyNamed, [&](SQLStatement& st) { return st.BindString(0, oldName->c_str()) != 0; }},
      {kSqlUpdatePolicy, bind});
  *gone = written == 0;
  return written > 0 || (written < 0 && Fail(link, error));
}

bool CSRSecurityReinforceDlg::ReadNetChoices(std::vector<std::wstring>* addresses, std::vector<std::wstring>* ports,
                                             bool* connected, std::wstring* error) {
  SQLServerLink link;
  *connected = Connect(link, error);
  if (!*connected) return false;
  for (auto* list : {addresses, ports}) {
    SQLStatement* query = link.CreateStatement(list == addresses ? kSqlClientAddresses : kSqlServiceObjects);
    if (!query) return Fail(link, error);
    while (query->Fetch()) list->push_back(OrEmpty(query->GetString(0)));
    if (query->Failed()) return FailList(link, list, error);
  }
  return true;
}

bool CSRSecurityReinforceDlg::ReadNetRules(int listType, std::vector<NetRule>* rules, std::wstring* error) {
  SQLServerLink link;
  if (!Connect(link, error)) return false;
  SQLStatement* query = link.CreateStatement(kSqlNetRules);
  if (!query || !query->BindInt(0, listType)) return Fail(link, error);
  while (query->Fetch()) {
    NetRule rule;
    rule.name = OrEmpty(query->GetString(0));
    rule.address = OrEmpty(query->GetString(1));
    rule.localPort = OrEmpty(query->GetString(2));
    rule.peerPort = OrEmpty(query->GetString(3));
    rule.direction = query->GetInt(4);
    rule.listType = listType;
    rules->push_back(std::move(rule));
  }
  return !query->Failed() || FailList(link, rules, error);
}

bool CSRSecurityReinforceDlg::RuleNameTaken(const std::wstring& name, const std::wstring* except, bool* taken,
                                            std::wstring* error) {
  return NameTaken(kSqlRuleNamed, kSqlOtherRuleNamed, name, except, taken, error);
}

// A rule modified after another console deleted it is not written back: its old row
// goes in the same transaction as the new one comes in.
bool CSRSecurityReinforceDlg::StoreNetRule(const NetRule& rule, const std::wstring* oldName, std::wstring* error,
                                           bool* gone) {
  SQLServerLink link;
  auto write = [&] {
    if (oldName) {
      auto bindOld = [&](SQLStatement& st) { return st.BindString(0, oldName->c_str()) != 0; };
      const int deleted = ExecuteOnRecord(link, {kSqlRuleNamed, bindOld}, {kSqlDeleteRule, bindOld});
      *gone = deleted == 0;
      if (deleted <= 0) return false;
    }
    SQLStatement* st = link.CreateStatement(kSqlInsertRule);
    return st && st->BindString(0, rule.name.c_str()) && st->BindString(1, rule.address.c_str()) &&
           st->BindString(2, rule.localPort.c_str()) && st->BindString(3, rule.peerPort.c_str()) &&
           st->BindInt(4, rule.direction) && st->BindInt(5, rule.listType) && st->Execute();
  };
  return Connect(link, error) && RunInTransaction(link, write, error);
}

bool CSRSecurityReinforceDlg::DeleteNetRules(const std::vector<std::wstring>& names, std::wstring* error,
                                             bool* gone) {
  return RunAsOne(
      kSqlRuleNamed, kSqlDeleteRule, names, [](const std::wstring& name) { return name; },
      [](SQLStatement& st, const std::wstring& name) { return st.BindString(0, name.c_str()) != 0; }, error, gone);
}
