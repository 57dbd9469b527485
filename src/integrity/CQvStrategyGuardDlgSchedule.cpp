// The wizard's last steps: the schedule (two tabs), the integrity settings and the two
// summaries, and "完成".
#include "integrity/CQvStrategyGuardDlg.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

#include "console/CurrentUser.h"
#include "console/ShellServices.h"
#include "platform/WideFormat.h"
#include "uiwin/UiMessageBox.h"

namespace {

using Dlg = CQvStrategyGuardDlg;

// The number boxes with their up-downs (box id, up-down id = box + 1) and ranges.
const struct {
  UINT box;
  int upper;
} kNumbers[] = {{3011, 9999}, {3013, 9999}, {3015, 31}, {3019, 9999}, {3021, 9999}, {3023, 9999}, {3028, 999}};
enum { kDays, kWeeks, kDayOfMonth, kIdleMinutes, kStopHours, kStopMinutes, kCopies };
const UINT kSubPanels[] = {20005, 20006, 20007, 20008, 20009};
const UINT kFirstWeekday = 6007, kFirstMonth = 6014, kFirstBehaviour = 6029;
const UINT kAutoDelete = 6005, kStopTask = 6006, kStartHips = 6028, kHistoryCopy = 6034, kSavePlace = 6035,
           kReport = 6036, kBaseline = 6037, kByDay = 6026, kByWeekday = 6027;
const int kBehaviourCount = 5;
const size_t kPlaceChars = 259;

}  // namespace

void CQvStrategyGuardDlg::CreateScheduleControls() {
  HWND view = GetViewHWnd();
  const struct {
    CComboBoxCtrlEx* combo;
    UINT id;
    std::vector<const wchar_t*> choices;
  } combos[] = {
      {&m_taskModeCombo, kTaskModeCombo, {L"每天", L"每周", L"每月", L"一次性"}},
      {&m_startCombo, kStartCombo, {}},
      {&m_weekOfMonthCombo, 3017, {L"第一个", L"第二个", L"第三个", L"第四个", L"最后一个"}},
      {&m_dayOfWeekCombo, 3018, {L"星期一", L"星期二", L"星期三", L"星期四", L"星期五", L"星期六", L"星期日"}},
      {&m_ruleCombo, kRuleCombo, {L"未决", L"允许", L"拒绝"}},
  };
  for (const auto& c : combos) {
    c.combo->Create(view, RECT{0, 0, 0, 200}, nullptr, CComboBoxCtrlEx::kPageStyle | WS_VISIBLE, 0, c.id);
    for (const wchar_t* choice : c.choices) c.combo->AddString(choice);
  }
  for (int hour = 0; hour < 24; ++hour) m_startCombo.AddString(qv::FormatW(L"%02d:00", hour).c_str());
  for (CComboBoxCtrlEx* c : {&m_taskModeCombo, &m_startCombo, &m_weekOfMonthCombo, &m_dayOfWeekCombo, &m_ruleCombo})
    c->SetCurSel(0);
  m_weekOfMonthCombo.EnableWindow(FALSE);
  m_dayOfWeekCombo.EnableWindow(FALSE);
  for (size_t i = 0; i < std::size(kNumbers); ++i) {
    m_numberEdits[i].Create(view, nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER | ES_READONLY | ES_NUMBER, 0,
                            kNumbers[i].box);
    m_upDowns[i].Create(view, RECT{}, nullptr, WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ARROWKEYS, 0,
                        kNumbers[i].box + 1);
    m_upDowns[i].SetBuddy(m_numberEdits[i]);
    m_upDowns[i].SetRange(1, kNumbers[i].upper);
    m_upDowns[i].SetPos(1);
  }
  m_copyPlaceEdit.Create(view, nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 0, kCopyPlaceEdit);
  m_copyPlaceEdit.SetLimits(int(kPlaceChars), 0, '\0', FALSE);
  for (int i = 0; i < 4; ++i) {
    m_reportEdits[i].Create(view, nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 0,
                            kFirstReportPart + i);
    m_reportEdits[i].SetInputType(0x100);
    m_reportEdits[i].EnableWindow(FALSE);
  }
  SetItemCheck(kByDay, TRUE);
}

int CQvStrategyGuardDlg::Position(int number) const { return m_upDowns[number].GetPos(); }

void CQvStrategyGuardDlg::ShowScheduleSubPanel() {
  const int mode = m_taskModeCombo.GetCurSel();
  if (mode == 4 || mode == 5) return;
  const int shown = mode <= 2 ? mode : mode == 6 ? 4 : -1;
  for (int i = 0; i < 5; ++i) SetItemVisible(kSubPanels[i], i == shown);
  m_startCombo.EnableWindow(mode != 6);
}

LRESULT CQvStrategyGuardDlg::OnTaskModeChange(WORD, WORD, HWND, BOOL&) {
  ShowScheduleSubPanel();
  return 0;
}

void CQvStrategyGuardDlg::OnDayFormChange(bool byDay) {
  m_numberEdits[kDayOfMonth].EnableWindow(byDay);
  m_upDowns[kDayOfMonth].EnableWindow(byDay);
  m_weekOfMonthCombo.EnableWindow(!byDay);
  m_dayOfWeekCombo.EnableWindow(!byDay);
}

void CQvStrategyGuardDlg::OnReportCheck() {
  const BOOL on = GetItemCheck(kReport);
  for (CEditEx& part : m_reportEdits) part.EnableWindow(on);
}

// Only the final mode's fields are kept: a walk through other modes leaves nothing.
void CQvStrategyGuardDlg::OnScheduleNext() {
  StrategyRecord& r = m_record;
  r.TaskMode = r.StartTime = r.ScheduleWordA = r.ScheduleWordB = r.DayOfMonth = r.WeekOfMonth = r.DayOfWeek = 0;
  r.TaskMode = DWORD(std::max(0, m_taskModeCombo.GetCurSel()));
  const DWORD hour = DWORD(std::max(0, m_startCombo.GetCurSel()));
  switch (r.TaskMode) {
    case 0:
      r.StartTime = hour;
      r.ScheduleWordA = DWORD(Position(kDays));
      break;
    case 1:
      r.StartTime = hour;
      r.ScheduleWordA = DWORD(Position(kWeeks));
      for (int i = 0; i < 7; ++i)
        if (GetItemCheck(kFirstWeekday + i)) r.ScheduleWordB |= 1u << i;
      break;
    case 2:
      r.StartTime = hour;
      for (int i = 0; i < 12; ++i)
        if (GetItemCheck(kFirstMonth + i)) r.ScheduleWordA |= 1u << i;
      r.ScheduleWordB = 1;
      r.DayOfMonth = DWORD(Position(kDayOfMonth));
      break;
    case 6:
      r.StartTime = DWORD(Position(kIdleMinutes));
      break;
    default:
      break;
  }
  r.IsAutoDelete = GetItemCheck(kAutoDelete) ? 1 : 0;
  const bool stop = GetItemCheck(kStopTask) != FALSE;
  r.IsStopTask = stop ? 1 : 0;
  r.NumOfHours = stop ? DWORD(Position(kStopHours)) : 0;
  r.NumOfMunites = stop ? DWORD(Position(kStopMinutes)) : 0;
  const bool behaviour = !IsDeviceType();
  for (int i = 0; i <= kBehaviourCount; ++i) EnableItem(kStartHips + i, behaviour);
  m_ruleCombo.EnableWindow(behaviour);
  ShowPanel(kPanelSettings);
}

bool CQvStrategyGuardDlg::IsDeviceType() const {
  return m_record.StrategyType == kTypeDevice || m_record.StrategyType == kTypeCustomDevice;
}

void CQvStrategyGuardDlg::OnBrowseCopyPlace() {
  std::wstring folder;
  if (ShellServices::Current().ChooseFolder(L"选择目标文件夹", folder)) m_copyPlaceEdit.SetWindowText(folder.c_str());
}

// What the panel shows is what is stored.
void CQvStrategyGuardDlg::OnIntegritySettingsFinish() {
  StrategyRecord& r = m_record;
  const bool behaviour = !IsDeviceType();
  r.IsStartHips = behaviour && GetItemCheck(kStartHips) ? 1 : 0;
  r.FilterBehavior = 0;
  for (int i = 0; behaviour && i < kBehaviourCount; ++i)
    if (GetItemCheck(kFirstBehaviour + i)) r.FilterBehavior |= 1u << i;
  r.DefaultRule = behaviour ? DWORD(std::max(0, m_ruleCombo.GetCurSel())) : 0;
  r.IsHistoryCopy = GetItemCheck(kHistoryCopy) ? 1 : 0;
  r.NumOfHistoryCopy = r.IsHistoryCopy ? DWORD(Position(kCopies)) : 0;
  r.IsSavePlave = GetItemCheck(kSavePlace) ? 1 : 0;
  r.IsReport = GetItemCheck(kReport) ? 1 : 0;
  r.IsJixianData = GetItemCheck(kBaseline) ? 1 : 0;
  const std::wstring place = m_copyPlaceEdit.GetWindowText();
  if (place.empty()) {
    UiMessageBox(L"请输入历史副本存储位置", L"注意", MB_OK);
    return;
  }
  if (place.size() > kPlaceChars) {
    Warn(L"历史副本存储位置超过259个字符！");
    return;
  }
  std::wstring parts[4];
  for (int i = 0; i < 4; ++i) parts[i] = m_reportEdits[i].GetWindowText();
  const std::wstring report = JoinReportPlace(parts);
  if (report.size() > kPlaceChars) {
    Warn(L"报告地址超过259个字符！");
    return;
  }
  StrategyRecord::Put(r.SavePlace, place);
  StrategyRecord::Put(r.ReportPlace, report);
  if (IsDeviceType()) {
    static const wchar_t* const kDeviceTypes[] = {L"Cisco CLI命令集", L"Cisco Set命令集", L"PIX/ASA命令集"};
    SetItemText(2000, r.StrategyName);
    SetItemText(2001, r.Ip);
    SetItemText(2002, r.DeviceType < 3 ? kDeviceTypes[r.DeviceType] : L"");
    SetItemText(2003, r.LoginType == 1 ? L"SSH登录" : L"Telnet登录");
    SetItemText(2004, r.UserId);
    SetItemText(2005, std::wstring(wcslen(r.LoginId), L'*').c_str());
    ShowPanel(kPanelDeviceSummary);
  } else {
    SetItemText(2007, r.StrategyName);
    SetItemText(2008, r.TaskMode == 3 ? L"单次执行" : L"计划任务");
    SetItemText(2009, RunTimeText(r).c_str());
    SetItemText(2010, g_currentUserName.c_str());
    ShowPanel(kPanelSummary);
  }
}

std::wstring CQvStrategyGuardDlg::JoinReportPlace(const std::wstring (&parts)[4]) {
  if (parts[0].empty() && parts[1].empty() && parts[2].empty() && parts[3].empty()) return L"";
  std::wstring place = parts[0] + L"@" + parts[1];
  for (int i = 2; i < 4; ++i)
    if (!parts[i].empty()) place += L"." + parts[i];
  return place;
}

void CQvStrategyGuardDlg::SplitReportPlace(const std::wstring& place, std::wstring (&parts)[4]) {
  for (std::wstring& part : parts) part.clear();
  const size_t at = place.find(L'@');
  if (at == std::wstring::npos) {
    parts[0] = place;
    return;
  }
  parts[0] = place.substr(0, at);
  std::wstring rest = place.substr(at + 1);
  for (int i = 1; i < 3; ++i) {
    const size_t dot = rest.find(L'.');
    parts[i] = rest.substr(0, dot);
    rest = dot == std::wstring::npos ? L"" : rest.substr(dot + 1);
  }
  parts[3] = rest;
}

void CQvStrategyGuardDlg::OnFinish() {
  if (SaveStrategy()) EndDialog(IDOK);
}

void CQvStrategyGuardDlg::PrefillSchedule(const StrategyTableRow& row) {
  enum { kTaskMode = 13, kStart, kNumOfDay, kNumOfWeek, kWhichWeek, kWhichMonth, kMode, kDay, kWeekOfMonth,
         kDayOfWeek, kOverTime, kAutoDel, kStop, kHours, kMinutes, kHips, kCopy, kPlaceOn, kReportOn, kBase,
         kBehaviour, kRule, kCopyCount, kPlace, kReportPlace };
  const int mode = row.Int(kTaskMode);
  m_taskModeCombo.SetCurSel(mode);
  ShowScheduleSubPanel();
  if (mode <= 2) m_startCombo.SetCurSel(row.Int(kStart));
  if (mode == 0) m_upDowns[kDays].SetPos(row.Int(kNumOfDay));
  if (mode == 1) {
    m_upDowns[kWeeks].SetPos(row.Int(kNumOfWeek));
    for (int i = 0; i < 7; ++i) SetItemCheck(kFirstWeekday + i, (row.Int(kWhichWeek) >> i) & 1);
  }
  if (mode == 2) {
    for (int i = 0; i < 12; ++i) SetItemCheck(kFirstMonth + i, (row.Int(kWhichMonth) >> i) & 1);
    m_upDowns[kDayOfMonth].SetPos(row.Int(kDay));
  }
  if (mode == 6) m_upDowns[kIdleMinutes].SetPos(row.Int(kOverTime));
  SetItemCheck(kAutoDelete, row.Int(kAutoDel) != 0);
  SetItemCheck(kStopTask, row.Int(kStop) != 0);
  if (row.Int(kStop)) {
    m_upDowns[kStopHours].SetPos(row.Int(kHours));
    m_upDowns[kStopMinutes].SetPos(row.Int(kMinutes));
  }
  SetItemCheck(kHistoryCopy, row.Int(kCopy) != 0);
  if (row.Int(kCopy)) m_upDowns[kCopies].SetPos(row.Int(kCopyCount));
  SetItemCheck(kSavePlace, row.Int(kPlaceOn) != 0);
  m_copyPlaceEdit.SetWindowText(row.Text(kPlace).c_str());
  SetItemCheck(kReport, row.Int(kReportOn) != 0);
  OnReportCheck();
  std::wstring parts[4];
  SplitReportPlace(row.Text(kReportPlace), parts);
  for (int i = 0; i < 4; ++i) m_reportEdits[i].SetWindowText(parts[i].c_str());
  SetItemCheck(kBaseline, row.Int(kBase) != 0);
  const int type = row.Int(2);
  if (type == kTypeOs || type == kTypeCustomServer || type == kTypeCustomFiles) {
    SetItemCheck(kStartHips, row.Int(kHips) != 0);
    for (int i = 0; i < kBehaviourCount; ++i) SetItemCheck(kFirstBehaviour + i, (row.Int(kBehaviour) >> i) & 1);
    m_ruleCombo.SetCurSel(row.Int(kRule));
  }
}
