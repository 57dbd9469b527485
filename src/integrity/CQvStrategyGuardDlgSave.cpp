// The wizard's save: the strategy's StrategyTable rows (one per monitored target), the
// message that tells the service, and the strategy page's row. Look-ups, the removal
// of a modified strategy's old rows and the inserts run on one link in one
// transaction, so a failure leaves the stored strategy as it was.
#include "console/AgentLinkNotice.h"
#include "console/CAgentLinkManager.h"
#include "console/ConnectOrTell.h"
#include "console/DottedIPv4.h"
#include "console/LinkRecords.h"
#include "console/LocalClock.h"
#include "console/RecordGone.h"
#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"
#include "console/StoreAndTell.h"
#include "console/SysServerPortConfig.h"
#include "integrity/CQvStrategyGuardDlg.h"
#include "integrity/CQvStrategyGuardUIHandler.h"
#include "integrity/StrategyTableRow.h"
#include "platform/TextConv.h"
#include "platform/WideFormat.h"

namespace {

using Dlg = CQvStrategyGuardDlg;

const wchar_t kSqlServerPaths[] = L"select AppFilePath from AppStrategyTable where AppStrategyName=?";
const wchar_t kSqlOldId[] = L"select id from StrategyTable where StrategyName=? and StrategyDescriptor=?";
const wchar_t kSqlDeleteOld[] = L"delete from StrategyTable where StrategyName=? and StrategyDescriptor=?";
const wchar_t kSqlOldOfId[] =
    L"select id from StrategyTable where StrategyName=? and StrategyDescriptor=? and id=?";
const wchar_t kSqlDeleteOldOfId[] =
    L"delete from StrategyTable where StrategyName=? and StrategyDescriptor=? and id=?";
const wchar_t kSqlNamed[] = L"select id from StrategyTable where StrategyName=?";
const size_t kFolderChars = 259;

enum Column {
  kName, kDescriptor, kType, kSelected, kAttribute, kDeviceType, kLoginType, kUserId, kLoginId, kManageId,
  kFolder, kFilter, kFileTypes, kTaskMode, kStartTime, kNumOfDay, kNumOfWeek, kWhichWeek, kWhichMonth, kMode,
  kDayOfMonth, kWeekOfMonth, kDayOfWeek, kOverTime, kIsAutoDelete, kIsStopTask, kNumOfHours, kNumOfMunites,
  kIsStartHips, kIsHistoryCopy, kIsSavePlave, kIsReport, kIsJixianData, kFilterBehavior, kDefaultRule,
  kNumOfHistoryCopy, kSavePlace, kReportPlace, kIp, kStatus, kId, kIgnored, kRunStatus
};

using qv::OrEmpty;

}  // namespace

// The schedule by mode: 0 every A days, 1 every A weeks on the weekday bits B, 2 the
// month bits A on DayOfMonth, 6 after StartTime idle minutes; the hour only for 0 to 2.
StrategyTableRow CQvStrategyGuardDlg::RowOf(const StrategyRecord& r) {
  StrategyTableRow row;
  const DWORD type = r.StrategyType;
  const bool device = type == kTypeDevice || type == kTypeCustomDevice;
  const bool files = type == kTypeCustomFiles;
  row.SetText(kName, r.StrategyName);
  row.SetText(kDescriptor, r.StrategyDescriptor);
  row.SetInt(kType, int(type));
  row.SetText(kSelected, r.SelectedItem);
  row.SetInt(kAttribute, type == kTypeOs ? int(r.ItemAttribute) : 0);
  row.SetInt(kDeviceType, type == kTypeDevice ? int(r.DeviceType) : 0);
  row.SetInt(kLoginType, device ? int(r.LoginType) : 0);
  row.SetText(kUserId, device ? r.UserId : L"");
  row.SetText(kLoginId, device ? r.LoginId : L"");
  row.SetText(kManageId, device ? r.ManageId : L"");
  row.SetText(kFolder, files || type == kTypeCustomServer ? r.SelectedFolder : L"");
  row.SetInt(kFilter, files ? int(r.FilterType) : 0);
  row.SetText(kFileTypes, files ? r.SelectedFileType : L"");
  row.SetText(kIgnored, files ? r.IgnoreFolder : L"");
  const int mode = int(r.TaskMode);
  row.SetInt(kTaskMode, mode);
  row.SetInt(kStartTime, mode <= 2 ? int(r.StartTime) : 0);
  row.SetInt(kNumOfDay, mode == 0 ? int(r.ScheduleWordA) : 0);
  row.SetInt(kNumOfWeek, mode == 1 ? int(r.ScheduleWordA) : 0);
  row.SetInt(kWhichWeek, mode == 1 ? int(r.ScheduleWordB) : 0);
  row.SetInt(kWhichMonth, mode == 2 ? int(r.ScheduleWordA) : 0);
  row.SetInt(kMode, mode == 2 ? 1 : 0);
  row.SetInt(kDayOfMonth, mode == 2 ? int(r.DayOfMonth) : 0);
  row.SetInt(kOverTime, mode == 6 ? int(r.StartTime) : 0);
  const DWORD settings[] = {r.IsAutoDelete, r.IsStopTask,   r.NumOfHours,     r.NumOfMunites, r.IsStartHips,
                            r.IsHistoryCopy, r.IsSavePlave, r.IsReport,       r.IsJixianData, r.FilterBehavior,
                            r.DefaultRule,  r.NumOfHistoryCopy};
  for (int i = 0; i < 12; ++i) row.SetInt(kIsAutoDelete + i, int(settings[i]));
  row.SetText(kSavePlace, r.SavePlace);
  row.SetText(kReportPlace, r.ReportPlace);
  row.SetText(kIp, r.Ip);
  row.SetInt(kStatus, 1);
  row.SetText(kId, r.Id);
  row.SetInt(kRunStatus, 0);
  return row;
}

StrategyScheduleFields CQvStrategyGuardDlg::ScheduleFieldsOf(const StrategyRecord& r) {
  StrategyScheduleFields f{};
  f.StrategyType = r.StrategyType;
  WriteFixedText(f.SelectedItem, r.SelectedItem);
  f.ItemAttribute = r.ItemAttribute;
  f.Flag = 1;
  if (r.TaskMode <= 2) {
    f.TaskMode = r.TaskMode;
    f.Start = r.StartTime;
    f.WordA = r.ScheduleWordA;
    f.WordB = r.TaskMode == 1 ? r.ScheduleWordB : r.TaskMode == 2 ? r.DayOfMonth : 0;
  }
  return f;
}

std::wstring CQvStrategyGuardDlg::RunTimeText(const StrategyRecord& r) {
  static const wchar_t* const kDays[] = {L"星期一 ", L"星期二 ", L"星期三 ", L"星期四 ", L"星期五 ", L"星期六 ", L"星期日 "};
  static const wchar_t* const kMonths[] = {L"一月 ", L"二月 ", L"三月 ", L"四月 ",  L"五月 ",   L"六月 ",
                                           L"七月 ", L"八月 ", L"九月 ", L"十月 ", L"十一月 ", L"十二月 "};
  std::wstring names;
  switch (r.TaskMode) {
    case 0:
      return qv::FormatW(L"每%d天   %d:00", int(r.ScheduleWordA), int(r.StartTime));
    case 1:
      for (int i = 0; i < 7; ++i)
        if (r.ScheduleWordB & (1u << i)) names += kDays[i];
      return qv::FormatW(L"每%d周   %ls  %d:00", int(r.ScheduleWordA), names.c_str(), int(r.StartTime));
    case 2:
      for (int i = 0; i < 12; ++i)
        if (r.ScheduleWordA & (1u << i)) names += kMonths[i];
      if (names.empty()) return qv::FormatW(L"每月   %d号   %d点", int(r.DayOfMonth), int(r.StartTime));
      return qv::FormatW(L"%ls   %d号   %d点", names.c_str(), int(r.DayOfMonth), int(r.StartTime));
    case 3:
      return L"一次性";
    default:
      return L"";
  }
}

// The targets' rows in their order; false after a refusal or a failed look-up (told).
// A target another console deleted since the wizard listed it is told by name, and its
// list is read again.
bool CQvStrategyGuardDlg::TargetRows(SQLServerLink& link, std::vector<StrategyTableRow>* rows) {
  StrategyRecord record = m_record;
  // A target the service could not address is refused, not stored.
  auto usable = [&link](const std::wstring& ip) {
    uint32_t address = 0;
    if (ParseHostAddress(ip, &address)) return true;
    link.Disconnect();
    TellHostAddressUnusable();
    return false;
  };
  std::wstring ip;
  switch (record.StrategyType) {
    case kTypeOs: {
      std::vector<CheckedServer> servers = CheckedServers();
      std::vector<std::wstring> gone;
      if (!ServerAddresses(link, &servers, &gone)) return false;
      if (!gone.empty()) {
        ServersGone(link, HostsGoneText(gone));
        return false;
      }
      for (const CheckedServer& server : servers) {
        if (!usable(server.ip)) return false;
        StrategyRecord::Put(record.Ip, server.ip);
        rows->push_back(RowOf(record));
      }
      break;
    }
    case kTypeDevice:
      rows->push_back(RowOf(record));
      break;
    case kTypeCustomDevice:
    case kTypeCustomServer: {
      const std::wstring object =
          m_checkedTemplate ? m_templateTree.GetItemText(m_checkedTemplate) : std::wstring(record.SelectedItem);
      const int found = FindObject(link, record.StrategyType, object);
      if (found < 0) {
        TellError(link);
        return false;
      }
      if (found == 0) {
        ObjectGone(link, object);
        return false;
      }
      if (record.StrategyType == kTypeCustomDevice) {
        rows->push_back(RowOf(record));
        break;
      }
      std::vector<std::wstring> paths;
      SQLStatement* query = link.CreateStatement(kSqlServerPaths);
      const bool bound = query && query->BindString(0, object.c_str());
      if (bound)
        while (query->Fetch()) paths.push_back(OrEmpty(query->GetString(0)));
      const bool read = bound && !query->Failed();
      link.ReleaseStatement(query);
      if (!read) {
        TellError(link);
        return false;
      }
      record.Ip[0] = L'\0';
      for (const std::wstring& path : paths) {
        if (path.empty()) continue;
        if (path.size() > kFolderChars) {
          link.Disconnect();
          Warn(L"监测对象的文件路径超过259个字符，无法保存！");
          return false;
        }
        StrategyRecord::Put(record.SelectedFolder, path);
        rows->push_back(RowOf(record));
      }
      break;
    }
    case kTypeCustomFiles:
      for (int row = 0; row < m_objectGrid.GetItemCount(); ++row) {
        const std::wstring server = m_objectGrid.GetItemText(row, kColServer);
        const int found = ServerAddress(link, server, true, &ip);
        if (found < 0) {
          TellError(link);
          return false;
        }
        if (found == 0) {
          ServersGone(link, qv::FormatW(L"主机“%ls”已被删除，请重新选择监测目标。", server.c_str()));
          return false;
        }
        if (!usable(ip)) return false;
        StrategyRecord::Put(record.Ip, ip);
        StrategyRecord::Put(record.SelectedFolder, m_objectGrid.GetItemText(row, kColFolder));
        StrategyRecord::Put(record.SelectedFileType, m_objectGrid.GetItemText(row, kColFileTypes));
        StrategyRecord::Put(record.IgnoreFolder, m_objectGrid.GetItemText(row, kColIgnored));
        const std::wstring filter = m_objectGrid.GetItemText(row, kColFilter);
        record.FilterType = filter == L"只监测列表中的文件类型" ? 1 : filter == L"只监测列表以外的文件类型" ? 2 : 0;
        rows->push_back(RowOf(record));
      }
      break;
    default:
      break;
  }
  return true;
}

// The strategy counts only once the service has heard of it (StoreAndTell): with the
// link down the wizard refuses, changes nothing and stays open as the user left it.
int CQvStrategyGuardDlg::SaveStrategy() {
  SQLServerLink link;
  if (!ConnectOrTell(link, L"打开数据库失败！", L"警告", MB_ICONINFORMATION)) return 0;
  std::vector<StrategyTableRow> rows;
  if (!TargetRows(link, &rows)) return 0;
  if (rows.empty()) {
    link.Disconnect();
    Warn(L"没有选择项！");
    return 0;
  }
  // A modified strategy is written back only over the rows the page showed (its name,
  // description and id): the old rows are deleted in the same transaction as the new go
  // in, and when none was left the strategy is either gone (another console deleted it)
  // or stored under other values (another console changed it, the id kept), found by its
  // id in the same transaction; a strategy that took its old name is another. The name the
  // name panel found free is looked at again with the write: another console may have
  // taken it since, and two strategies of one name would be one.
  bool stopped = false;  // no old rows, or the name taken: nothing written, nothing told
  int stored = 0;        // no old rows: 1 when it is still stored, under storedName
  std::wstring storedName, storedDescriptor;
  bool nameTaken = false;
  auto nameFree = [&] {
    if (m_mode == kModeModify && SameNoCase(m_record.StrategyName, m_oldName)) return true;
    std::wstring other;
    const int found = LookUp(link, kSqlNamed, m_record.StrategyName, &other);
    stopped = nameTaken = found > 0;
    return found == 0;
  };
  auto write = [&] {
    std::wstring id;
    if (m_mode == kModeModify) {
      // The old rows are read and deleted by the same condition: with its id, when it has
      // one of its own (a strategy that took its old name since is another).
      const bool byId = StrategyTableRow::OwnId(m_oldId);
      auto bindOld = [&](SQLStatement& st) {
        return st.BindString(0, m_oldName.c_str()) && st.BindString(1, m_oldDescriptor.c_str()) &&
               (!byId || st.BindString(2, m_oldId.c_str()));
      };
      if (byId) {
        id = m_oldId;
      } else {
        SQLStatement* st = link.CreateStatement(kSqlOldId);
        const bool bound = st && bindOld(*st);
        if (bound && st->Fetch()) id = OrEmpty(st->GetString(0));
        const bool read = bound && !st->Failed();
        link.ReleaseStatement(st);
        if (!read) return false;
      }
      const int deleted = ExecuteOnRecord(link, {byId ? kSqlOldOfId : kSqlOldId, bindOld},
                                          {byId ? kSqlDeleteOldOfId : kSqlDeleteOld, bindOld});
      if (deleted < 0) return false;
      if (deleted == 0) {
        stored = FindStoredStrategy(link, m_oldName, m_oldId, &storedName, &storedDescriptor);
        stopped = stored >= 0;
        return false;
      }
    }
    if (!nameFree()) return false;
    if (id.size() < 2) id = m_record.Id;
    if (id.size() < 2) id = LocalClock::RowId();
    StrategyRecord::Put(m_record.Id, id);
    for (StrategyTableRow& row : rows) {
      row.SetText(kId, id);
      if (!row.Insert(link)) return false;
    }
    return true;
  };
  auto tell = [&] {
    if (m_mode == kModeNew) {
      StrategyScheduleRecord record{};
      WriteFixedText(record.StrategyName, m_record.StrategyName);
      record.Fields = ScheduleFieldsOf(m_record);
      return g_agentLinkManager.SendOnChannel3(0, AGENT_MSG_STRATEGY_NEW, &record, sizeof record) != 0;
    }
    StrategyModifyRecord record{};
    WriteFixedText(record.StrategyName, m_record.StrategyName);
    WriteFixedText(record.PreviousName, m_oldName);
    record.Fields = ScheduleFieldsOf(m_record);
    return g_agentLinkManager.SendOnChannel3(0, AGENT_MSG_STRATEGY_MODIFY, &record, sizeof record) != 0;
  };
  if (!StoreAndTell(link, write, tell, L"错误", &stopped)) {
    link.Disconnect();
    if (nameTaken)
      TellNameTaken();
    else if (stopped && stored > 0)
      StrategyChanged(storedName, storedDescriptor, true);
    else if (stopped)
      StrategyGone();
    return 0;
  }
  link.Disconnect();

  if (m_page) {
    if (m_mode == kModeNew) {
      m_page->AddStrategyRow(m_record.StrategyName, m_record.StrategyDescriptor, int(m_record.TaskMode), 1, 0,
                             m_record.Id);
    } else {
      m_page->RenameCheckedRow(m_record.StrategyName, m_record.StrategyDescriptor);
    }
  }
  return 1;
}
