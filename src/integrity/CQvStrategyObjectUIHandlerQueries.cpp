// The strategy objects page's statements. Every value is bound; a write of several rows
// (and a modify's delete before them) runs as one transaction on one connection.
#include <new>
#include <set>
#include <vector>

#include "console/ConnectOrTell.h"
#include "console/LocalClock.h"
#include "console/RecordGone.h"
#include "console/RunInTransaction.h"
#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"
#include "integrity/CQvStrategyObjectUIHandler.h"
#include "platform/TextConv.h"

namespace {

using Page = CQvStrategyObjectUIHandler;

// Per list, in the page's order: the load, the maximum number, the delete by name.
const wchar_t* const kSqlLoad[] = {
    L"select IpStrategyName,IpStrategyContent,IpStrategyExplain from IpAddressTable",
    L"select MacStrategyName,MacStrategyContent,MacStrategyExplain from MacAddressTable",
    L"select SeverStrategyName,SeverStrategyICMP,SeverStrategyTCP,SeverStrategyUDP,SeverStrategyExplain "
    L"from SeverStrategyTable",
    L"select AppStrategyName,AppFilePath,AppStrategyExplain from AppStrategyTable",
    L"select EquipStrategyName,EquipQueryOrder,EquipManageOrder,EquipStrategyExplain from EquipStrategyTable",
    L"select RegStrategyName,RegFilePath,RegStrategyExplain from RegStrategyTable",
};
const wchar_t* const kSqlMax[] = {
    L"select MAX(IpNo) from IpAddressTable",     L"select MAX(MacNo) from MacAddressTable",
    L"select MAX(SeverNo) from SeverStrategyTable", L"select MAX(AppNo) from AppStrategyTable",
    L"select MAX(EquipNo) from EquipStrategyTable", L"select MAX(RegNo) from RegStrategyTable",
};
const wchar_t* const kSqlDelete[] = {
    L"delete from IpAddressTable where IpStrategyName=?",
    L"delete from MacAddressTable where MacStrategyName=?",
    L"delete from SeverStrategyTable where SeverStrategyName=?",
    L"delete from AppStrategyTable where AppStrategyName=?",
    L"delete from EquipStrategyTable where EquipStrategyName=?",
    L"delete from RegStrategyTable where RegStrategyName=?",
};
// The record a delete by name or an update by number changes.
const wchar_t* const kSqlFindNamed[] = {
    L"select IpNo from IpAddressTable where IpStrategyName=?",
    L"select MacNo from MacAddressTable where MacStrategyName=?",
    L"select SeverNo from SeverStrategyTable where SeverStrategyName=?",
    L"select AppNo from AppStrategyTable where AppStrategyName=?",
    L"select EquipNo from EquipStrategyTable where EquipStrategyName=?",
    L"select RegNo from RegStrategyTable where RegStrategyName=?",
};
const wchar_t* const kSqlFindNumbered[] = {
    L"select IpNo from IpAddressTable where IpNo=?",
    L"select MacNo from MacAddressTable where MacNo=?",
    L"select SeverNo from SeverStrategyTable where SeverNo=?",
};
// IP, MAC and services: the insert, the rows of a name, the update by number.
const wchar_t* const kSqlInsertSingle[] = {
    L"insert into IpAddressTable(IpNO,IpCreaterName,IpCreateTime,IpStrategyName,IpStrategyContent,"
    L"IpStrategyExplain) values(?,?,?,?,?,?)",
    L"insert into MacAddressTable(MacNo,MacCreaterName,MacCreateTime,MacModifyTime,MacStrategyName,"
    L"MacStrategyContent,MacStrategyExplain) values(?,?,?,?,?,?,?)",
    L"insert into SeverStrategyTable(SeverNo,SeverCreaterName,SeverCreateTime,SeverModifyTime,SeverStrategyName,"
    L"SeverStrategyICMP,SeverStrategyTCP,SeverStrategyUDP,SeverStrategyExplain) values(?,?,?,?,?,?,?,?,?)",
};
const wchar_t* const kSqlReadSingle[] = {
    L"select IpNo,IpCreaterName,IpCreateTime,IpModifyTime,IpStrategyName,IpStrategyContent,IpStrategyExplain "
    L"from IpAddressTable where IpStrategyName=?",
    L"select MacNo,MacCreaterName,MacCreateTime,MacModifyTime,MacStrategyName,MacStrategyContent,"
    L"MacStrategyExplain from MacAddressTable where MacStrategyName=?",
    L"select SeverNo,SeverCreaterName,SeverCreateTime,SeverModifyTime,SeverStrategyName,SeverStrategyICMP,"
    L"SeverStrategyTCP,SeverStrategyUDP,SeverStrategyExplain from SeverStrategyTable where SeverStrategyName=?",
};
const wchar_t* const kSqlUpdateSingle[] = {
    L"update IpAddressTable set IpModifyTime=?,IpStrategyName=?,IpStrategyContent=?,IpStrategyExplain=? "
    L"where IpNo=?",
    L"update MacAddressTable set MacModifyTime=?,MacStrategyName=?,MacStrategyContent=?,MacStrategyExplain=? "
    L"where MacNo=?",
    L"update SeverStrategyTable set SeverModifyTime=?,SeverStrategyName=?,SeverStrategyICMP=?,SeverStrategyTCP=?,"
    L"SeverStrategyUDP=?,SeverStrategyExplain=? where SeverNo=?",
};
// Applications, devices, registry (by list - kApp): the rows of a name and the insert.
const wchar_t* const kSqlReadMulti[] = {
    L"select AppNo,AppCreaterName,AppCreateTime,AppModifyTime,AppStrategyName,AppIpAddress,AppFilePath,"
    L"AppStrategyExplain from AppStrategyTable where AppStrategyName=?",
    L"select EquipNo,EquipCreaterName,EquipCreateTime,EquipModifyTime,EquipStrategyName,EquipQueryOrder,"
    L"EquipManageOrder,EquipStrategyExplain from EquipStrategyTable where EquipStrategyName=?",
    L"select RegNo,RegCreaterName,RegCreateTime,RegModifyTime,RegStrategyName,RegIpAddress,RegFilePath,"
    L"RegStrategyExplain from RegStrategyTable where RegStrategyName=?",
};
const wchar_t* const kSqlInsertMulti[] = {
    L"insert into AppStrategyTable(AppNo,AppCreaterName,AppCreateTime,AppModifyTime,AppStrategyName,AppIpAddress,"
    L"AppFilePath,AppStrategyExplain,id) values(?,?,?,?,?,?,?,?,?)",
    L"insert into EquipStrategyTable(EquipNo,EquipCreaterName,EquipCreateTime,EquipModifyTime,EquipStrategyName,"
    L"EquipQueryOrder,EquipManageOrder,EquipStrategyExplain,id) values(?,?,?,?,?,?,?,?,?)",
    L"insert into RegStrategyTable(RegNo,RegCreaterName,RegCreateTime,RegModifyTime,RegStrategyName,RegIpAddress,"
    L"RegFilePath,RegStrategyExplain,id) values(?,?,?,?,?,?,?,?,?)",
};
const wchar_t kSqlClientName[] = L"select Name from Client where IP=?";

using qv::OrEmpty;

// Ends a failed step with its diagnostic (RunInTransaction undoes a transaction's).
bool Fail(SQLServerLink& link, std::wstring* error) {
  *error = OrEmpty(link.GetLastErrorText());
  return false;
}

bool Connect(SQLServerLink& link, bool* connected) {
  *connected = ::Connect(link);
  return *connected;
}

// Binds the texts in order, the number at numberIndex where given.
bool BindValues(SQLStatement& statement, const std::vector<const std::wstring*>& texts, int number, int numberIndex) {
  bool bound = true;
  int index = 0;
  for (const std::wstring* text : texts) {
    if (index == numberIndex) bound = bound && statement.BindInt(index++, number);
    bound = bound && statement.BindString(index++, text->c_str());
  }
  if (index == numberIndex) bound = bound && statement.BindInt(index, number);
  return bound;
}

// Prepares, binds (BindValues) and executes a statement; false on a failure (*error).
bool Run(SQLServerLink& link, const wchar_t* sql, const std::vector<const std::wstring*>& texts,
         std::wstring* error, int number = -1, int numberIndex = -1) {
  SQLStatement* statement = link.CreateStatement(sql);
  const bool done = statement && BindValues(*statement, texts, number, numberIndex) && statement->Execute();
  link.ReleaseStatement(statement);
  return done || Fail(link, error);
}

// The same for the statement that changes the record itself, which check finds: none
// left is *gone (ExecuteOnRecord).
bool RunOnRecord(SQLServerLink& link, const RecordStatement& check, const wchar_t* sql,
                 const std::vector<const std::wstring*>& texts, std::wstring* error, bool* gone, int number = -1,
                 int numberIndex = -1) {
  const int done = ExecuteOnRecord(
      link, check, {sql, [&](SQLStatement& s) { return BindValues(s, texts, number, numberIndex); }});
  *gone = done == 0;
  return done > 0 || (done < 0 && Fail(link, error));
}

RecordStatement Named(Page::List list, const std::wstring& name) {
  return {kSqlFindNamed[list], [&name](SQLStatement& s) { return s.BindString(0, name.c_str()) != 0; }};
}

}  // namespace

bool Page::ReadRows(List list, std::vector<Row>* rows, bool* connected, std::wstring* error) {
  SQLServerLink link;
  if (!Connect(link, connected)) return false;
  SQLStatement* query = link.CreateStatement(kSqlLoad[list]);
  if (!query) return Fail(link, error);
  while (query->Fetch()) {
    if (list == kService) {
      ServiceObjectRecord service;
      service.icmp = OrEmpty(query->GetString(1)), service.tcp = OrEmpty(query->GetString(2));
      service.udp = OrEmpty(query->GetString(3));
      rows->push_back({OrEmpty(query->GetString(0)), ServiceText(service), OrEmpty(query->GetString(4))});
    } else if (list == kDevice) {
      rows->push_back({OrEmpty(query->GetString(0)),
                       DevicePart(OrEmpty(query->GetString(1)), OrEmpty(query->GetString(2))),
                       OrEmpty(query->GetString(3))});
    } else {
      rows->push_back({OrEmpty(query->GetString(0)), OrEmpty(query->GetString(1)), OrEmpty(query->GetString(2))});
    }
  }
  const bool failed = query->Failed() != 0;
  link.ReleaseStatement(query);
  return !failed || Fail(link, error);
}

bool Page::ReadMax(SQLServerLink& link, List list, int* max, std::wstring* error) {
  SQLStatement* query = link.CreateStatement(kSqlMax[list]);
  if (!query) return Fail(link, error);
  *max = query->Fetch() ? query->GetInt(0) : 0;
  const bool failed = query->Failed() != 0;
  link.ReleaseStatement(query);
  return !failed || Fail(link, error);
}

bool Page::DeleteNamed(List list, const std::wstring& name, bool* connected, std::wstring* error, bool* gone) {
  SQLServerLink link;
  return Connect(link, connected) && RunOnRecord(link, Named(list, name), kSqlDelete[list], {&name}, error, gone);
}

bool Page::InsertSingle(List list, const ObjectRecord& r, const ServiceObjectRecord& s, bool* connected,
                        std::wstring* error) {
  SQLServerLink link;
  if (!Connect(link, connected)) return false;
  auto write = [&] {
    int max = 0;
    if (!ReadMax(link, list, &max, error)) return false;
    if (list == kIp)
      return Run(link, kSqlInsertSingle[list], {&r.creator, &r.createTime, &r.name, &r.content, &r.explain}, error,
                 max + 1, 0);
    if (list == kMac)
      return Run(link, kSqlInsertSingle[list],
                 {&r.creator, &r.createTime, &r.createTime, &r.name, &r.content, &r.explain}, error, max + 1, 0);
    return Run(link, kSqlInsertSingle[list],
               {&s.creator, &s.createTime, &s.createTime, &s.name, &s.icmp, &s.tcp, &s.udp, &s.explain}, error,
               max + 1, 0);
  };
  return RunInTransaction(link, write, error);
}

bool Page::ReadSingle(List list, const std::wstring& name, ObjectRecord* r, ServiceObjectRecord* s, bool* found,
                      bool* connected, std::wstring* error) {
  SQLServerLink link;
  if (!Connect(link, connected)) return false;
  SQLStatement* query = link.CreateStatement(kSqlReadSingle[list]);
  if (!query || !query->BindString(0, name.c_str())) return Fail(link, error);
  *found = false;
  while (query->Fetch()) {  // the last row of the name wins
    *found = true;
    std::wstring cells[8];
    for (int column = 1; column <= (list == kService ? 8 : 6); ++column)
      cells[column - 1] = OrEmpty(query->GetString(column));
    if (list == kService) {
      *s = {cells[3], cells[4], cells[5], cells[6], cells[7], cells[0], cells[1], cells[2], query->GetInt(0)};
    } else {
      *r = {cells[3], cells[4], cells[5], cells[0], cells[1], cells[2], query->GetInt(0)};
    }
  }
  const bool failed = query->Failed() != 0;
  link.ReleaseStatement(query);
  return !failed || Fail(link, error);
}

bool Page::UpdateSingle(List list, const ObjectRecord& r, const ServiceObjectRecord& s, bool* connected,
                        std::wstring* error, bool* gone) {
  SQLServerLink link;
  if (!Connect(link, connected)) return false;
  const int number = list == kService ? s.number : r.number;
  const RecordStatement numbered{kSqlFindNumbered[list],
                                 [number](SQLStatement& st) { return st.BindInt(0, number) != 0; }};
  if (list == kService)
    return RunOnRecord(link, numbered, kSqlUpdateSingle[list],
                       {&s.modifyTime, &s.name, &s.icmp, &s.tcp, &s.udp, &s.explain}, error, gone, s.number, 6);
  return RunOnRecord(link, numbered, kSqlUpdateSingle[list], {&r.modifyTime, &r.name, &r.content, &r.explain}, error,
                     gone, r.number, 4);
}

namespace {

// The rows of a name into a chain that starts at head: one node per row, in row order.
template <class Node, class Fill>
bool ReadChain(SQLServerLink& link, const wchar_t* sql, const std::wstring& name, Node* head, bool* found,
               std::wstring* error, Fill fill) {
  SQLStatement* query = link.CreateStatement(sql);
  if (!query || !query->BindString(0, name.c_str())) return Fail(link, error);
  Node* last = nullptr;
  while (query->Fetch()) {
    Node* node = last ? new (std::nothrow) Node : head;
    if (!node) {
      // Part of the object would pass for all of it.
      link.ReleaseStatement(query);
      *error = L"内存不足";
      return false;
    }
    if (last) last->next = node;
    last = node;
    node->number = query->GetInt(0);
    node->creator = OrEmpty(query->GetString(1)), node->createTime = OrEmpty(query->GetString(2));
    node->modifyTime = OrEmpty(query->GetString(3)), node->name = OrEmpty(query->GetString(4));
    node->explain = OrEmpty(query->GetString(7));
    fill(*node, OrEmpty(query->GetString(5)), OrEmpty(query->GetString(6)));
  }
  const bool failed = query->Failed() != 0;
  link.ReleaseStatement(query);
  *found = last != nullptr;
  return !failed || Fail(link, error);
}

}  // namespace

bool Page::ReadClientChain(List list, const std::wstring& name, ClientObjectNode* head, bool* found,
                           bool* connected, std::wstring* error) {
  SQLServerLink link;
  if (!Connect(link, connected)) return false;
  if (!ReadChain(link, kSqlReadMulti[list - kApp], name, head, found, error,
                 [](ClientObjectNode& node, std::wstring ip, std::wstring path) {
                   node.clientIp = std::move(ip), node.path = std::move(path);
                 }))
    return false;
  // One lookup per address; a client without a name is shown by its address.
  std::set<std::wstring> looked;
  for (ClientObjectNode* node = *found ? head : nullptr; node; node = node->next) {
    if (!looked.insert(node->clientIp).second) continue;
    SQLStatement* lookup = link.CreateStatement(kSqlClientName);
    if (!lookup || !lookup->BindString(0, node->clientIp.c_str())) return Fail(link, error);
    bool any = false;
    std::wstring shown;
    while (lookup->Fetch()) any = true, shown = OrEmpty(lookup->GetString(0));
    const bool failed = lookup->Failed() != 0;
    link.ReleaseStatement(lookup);
    if (failed) return Fail(link, error);  // no name read is not an empty name
    if (any && shown.empty()) shown = node->clientIp;
    for (ClientObjectNode* same = node; same; same = same->next)
      if (same->clientIp == node->clientIp) same->clientName = shown;
  }
  return true;
}

bool Page::ReadDeviceChain(const std::wstring& name, DeviceObjectNode* head, bool* found, bool* connected,
                           std::wstring* error) {
  SQLServerLink link;
  return Connect(link, connected) &&
         ReadChain(link, kSqlReadMulti[kDevice - kApp], name, head, found, error,
                   [](DeviceObjectNode& node, std::wstring query, std::wstring manage) {
                     node.queryOrder = std::move(query), node.manageOrder = std::move(manage);
                   });
}

namespace {

// The shared write of a multi-row object: numbers above the maximum, creators and
// creation times for new items, one transaction.
// A modified object whose rows another console deleted meanwhile is not written back
// (*gone): its old rows go in the same transaction as the new ones come in.
template <class Node, class Bind>
bool WriteRows(Page::List list, Node* head, const std::wstring* oldName, const std::wstring& creator,
                bool perItemId, bool* connected, std::wstring* error, bool* gone, Bind values) {
  SQLServerLink link;
  if (!Connect(link, connected)) return false;
  auto write = [&] {
    if (oldName && !RunOnRecord(link, Named(list, *oldName), kSqlDelete[list], {oldName}, error, gone)) return false;
    SQLStatement* query = link.CreateStatement(kSqlMax[list]);
    if (!query) return Fail(link, error);
    int max = query->Fetch() ? query->GetInt(0) : 0;
    const bool failed = query->Failed() != 0;
    link.ReleaseStatement(query);
    if (failed) return Fail(link, error);
    std::wstring rowId = LocalClock::RowId();
    for (Node* node = head; node; node = node->next) {
      const std::wstring now = LocalClock::TimeText();
      if (perItemId) rowId = LocalClock::RowId();
      if (node->number < 0 || !oldName) {
        node->creator = creator;
        node->createTime = now;
      }
      node->modifyTime = now;
      node->number = ++max;
      if (!Run(link, kSqlInsertMulti[list - Page::kApp], values(*node, rowId), error, node->number, 0)) return false;
    }
    return true;
  };
  return RunInTransaction(link, write, error);
}

}  // namespace

bool Page::WriteClientChain(List list, ClientObjectNode* head, const std::wstring* oldName,
                            const std::wstring& creator, bool* connected, std::wstring* error, bool* gone) {
  return WriteRows(list, head, oldName, creator, oldName != nullptr, connected, error, gone,
                    [](const ClientObjectNode& n, const std::wstring& id) {
                      return std::vector<const std::wstring*>{&n.creator, &n.createTime, &n.modifyTime,
                                                                        &n.name, &n.clientIp, &n.path, &n.explain, &id};
                    });
}

bool Page::WriteDeviceChain(DeviceObjectNode* head, const std::wstring* oldName, const std::wstring& creator,
                            bool* connected, std::wstring* error, bool* gone) {
  return WriteRows(kDevice, head, oldName, creator, false, connected, error, gone,
                    [](const DeviceObjectNode& n, const std::wstring& id) {
                      return std::vector<const std::wstring*>{&n.creator, &n.createTime, &n.modifyTime,
                                                                        &n.name, &n.queryOrder, &n.manageOrder,
                                                                        &n.explain, &id};
                    });
}
