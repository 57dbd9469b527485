#include "integrity/StrategyTableRow.h"

#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"
#include "platform/TextConv.h"

namespace {

const StrategyTableRow::Column kColumns[StrategyTableRow::kColumnCount] = {
    {L"StrategyName", true, StrategyTableRow::kNameUnits},
    {L"StrategyDescriptor", true, 260},
    {L"StrategyType", false, 0},
    {L"SelectedItem", true, 0},
    {L"ItemAttribute", false, 0},
    {L"DeviceType", false, 0},
    {L"LoginType", false, 0},
    {L"UserId", true, 64},
    {L"LoginId", true, 64},
    {L"ManageId", true, 64},
    {L"SelectedFolder", true, 0},
    {L"FilterType", false, 0},
    {L"SelectedFileType", true, 0},
    {L"TaskMode", false, 0},
    {L"StartTime", false, 0},
    {L"NumOfDay", false, 0},
    {L"NumOfWeek", false, 0},
    {L"WhichWeek", false, 0},
    {L"WhichMonth", false, 0},
    {L"Mode", false, 0},
    {L"DayOfMonth", false, 0},
    {L"WeekOfMonth", false, 0},
    {L"DayOfWeek", false, 0},
    {L"OverTime", false, 0},
    {L"IsAutoDelete", false, 0},
    {L"IsStopTask", false, 0},
    {L"NumOfHours", false, 0},
    {L"NumOfMunites", false, 0},
    {L"IsStartHips", false, 0},
    {L"IsHistoryCopy", false, 0},
    {L"IsSavePlave", false, 0},
    {L"IsReport", false, 0},
    {L"IsJixianData", false, 0},
    {L"FilterBehavior", false, 0},
    {L"DefaultRule", false, 0},
    {L"NumOfHistoryCopy", false, 0},
    {L"SavePlace", true, 260},
    {L"ReportPlace", true, 260},
    {L"Ip", true, 16},
    {L"Status", false, 0},
    {L"id", true, 32},
    {L"IgnoreFolder", true, 0},
    {L"RunStatus", false, 0},
};

}  // namespace

const StrategyTableRow::Column& StrategyTableRow::ColumnAt(int column) { return kColumns[column]; }

int StrategyTableRow::FirstOverlongColumn() const {
  for (int i = 0; i < kColumnCount; ++i)
    if (kColumns[i].text && kColumns[i].width > 0 && m_text[i].size() > size_t(kColumns[i].width))
      return i;
  return -1;
}

int StrategyTableRow::Insert(SQLServerLink& link) const {
  SQLStatement* statement = link.CreateStatement(
      L"insert into StrategyTable (StrategyName, StrategyDescriptor, StrategyType, SelectedItem, "
      L"ItemAttribute, DeviceType, LoginType, UserId, LoginId, ManageId, SelectedFolder, "
      L"FilterType, SelectedFileType, TaskMode, StartTime, NumOfDay, NumOfWeek, WhichWeek, "
      L"WhichMonth, Mode, DayOfMonth, WeekOfMonth, DayOfWeek, OverTime, IsAutoDelete, "
      L"IsStopTask, NumOfHours, NumOfMunites, IsStartHips, IsHistoryCopy, IsSavePlave, IsReport, "
      L"IsJixianData, FilterBehavior, DefaultRule, NumOfHistoryCopy, SavePlace, ReportPlace, Ip, "
      L"Status, id, IgnoreFolder, RunStatus) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,"
      L"?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
  if (!statement) return 0;
  for (int i = 0; i < kColumnCount; ++i) {
    const int bound = kColumns[i].text ? statement->BindString(i, m_text[i].c_str())
                                       : statement->BindInt(i, m_int[i]);
    if (!bound) return 0;
  }
  const int result = statement->Execute();
  link.ReleaseStatement(statement);
  return result;
}

#define QV_STRATEGY_COLUMNS                                                                       \
  L"select StrategyName, StrategyDescriptor, StrategyType, SelectedItem, ItemAttribute, "        \
  L"DeviceType, LoginType, UserId, LoginId, ManageId, SelectedFolder, FilterType, "               \
  L"SelectedFileType, TaskMode, StartTime, NumOfDay, NumOfWeek, WhichWeek, WhichMonth, Mode, "    \
  L"DayOfMonth, WeekOfMonth, DayOfWeek, OverTime, IsAutoDelete, IsStopTask, NumOfHours, "         \
  L"NumOfMunites, IsStartHips, IsHistoryCopy, IsSavePlave, IsReport, IsJixianData, "              \
  L"FilterBehavior, DefaultRule, NumOfHistoryCopy, SavePlace, ReportPlace, Ip, Status, id, "      \
  L"IgnoreFolder, RunStatus from StrategyTable"

SQLStatement* StrategyTableRow::SelectAll(SQLServerLink& link) {
  return link.CreateStatement(QV_STRATEGY_COLUMNS);
}

SQLStatement* StrategyTableRow::SelectStrategy(SQLServerLink& link, const std::wstring& name,
                                               const std::wstring& descriptor, const std::wstring& id) {
  SQLStatement* statement =
      link.CreateStatement(id.empty() ? QV_STRATEGY_COLUMNS L" where (StrategyName=?) and (StrategyDescriptor=?)"
                                      : QV_STRATEGY_COLUMNS L" where (StrategyName=?) and (StrategyDescriptor=?) and (id=?)");
  if (statement && statement->BindString(0, name.c_str()) && statement->BindString(1, descriptor.c_str()) &&
      (id.empty() || statement->BindString(2, id.c_str())))
    return statement;
  link.ReleaseStatement(statement);
  return nullptr;
}

void StrategyTableRow::Read(const SQLStatement& statement) {
  for (int i = 0; i < kColumnCount; ++i) {
    if (kColumns[i].text) {
      m_text[i] = qv::OrEmpty(statement.GetString(i));
    } else {
      m_int[i] = statement.GetInt(i);
    }
  }
}
