#include "integrity/CQvHipsUIHandler.h"

#include <climits>

#include "console/AgentLinkNotice.h"
#include "console/AgentMessageId.h"
#include "console/ConnectOrTell.h"
#include "console/ListReadFailure.h"
#include "console/ReadPageAfter.h"
#include "console/RecordGone.h"
#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"
#include "console/StoreAndTell.h"
#include "controls/CUIResource.h"
#include "integrity/CQvHIPSNewRuleDlg.h"
#include "integrity/CQvHIPSTrustDlg.h"
#include "integrity/HipsCheckedRows.h"
#include "integrity/HipsFilterInfo.h"
#include "integrity/HipsTellHost.h"
#include "platform/TextConv.h"
#include "uiwin/CUiDialogHost.h"
#include "uiwin/UiMessageBox.h"

namespace {

const wchar_t kErrorCaption[] = L"错误";
const wchar_t* const kCategories[] = {L"文件策略", L"注册表策略", L"其他策略", L"驱动装载策略"};

// A filter that cannot be read cannot be told to its host: the command is refused. The
// link is closed before the box.
void ShowReadError(SQLServerLink& link, const wchar_t* caption = kErrorCaption) {
  TellListUnread(kReadHipsFiltersFailed, link, caption);
}

// Statements.
// A filter's row, read to tell its host: 1 read, 0 no such row, -1 not readable (shown as
// ShowReadError shows it).
int ReadFilter(SQLServerLink& link, int id, HipsFilterInfo& info);
int ReadTargetName(SQLServerLink& link, const std::wstring& clientIp, std::wstring& name);
int DeleteFilterRows(SQLServerLink& link, int id);
// The filter's 1541 to its host (see HipsTellHost).
bool TellFilterDeleted(const HipsFilterInfo& info);

}  // namespace

CQvHipsUIHandler::CQvHipsUIHandler(CUiDialogHost* owner)
    : m_owner(owner),
      m_grid(CUIResource::GetSkinBitmap(), kGridScrollId, 0xCFBBA2, 0xCDFAFF, 0xF5C2A9),
      m_filling(L"QuorvaneHipsFiltersFill") {}

int CQvHipsUIHandler::Init() {
  m_grid.Create(m_owner->GetViewHWnd(), nullptr, nullptr,
                WS_CHILD | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 0, kGrid);
  const UINT columnFlags = ITEM_FLAGS_CENTRE;  // 4
  m_grid.AddColumn(L"", 40, -1, FALSE, FALSE, ITEM_FORMAT_CHECKBOX, columnFlags);
  m_grid.AddColumn(L"策略名称", 150, -1, FALSE, FALSE, ITEM_FORMAT_NONE, columnFlags);
  m_grid.AddColumn(L"策略类别", 150, -1, FALSE, FALSE, ITEM_FORMAT_NONE, columnFlags);
  m_grid.AddColumn(L"策略内容", 260, -1, FALSE, FALSE, ITEM_FORMAT_NONE, columnFlags);
  m_grid.AddColumn(L"策略目标", 130, -1, FALSE, FALSE, ITEM_FORMAT_NONE, columnFlags);
  m_owner->EnableItem(kItemModify, FALSE);
  m_owner->EnableItem(kItemDelete, FALSE);
  LoadFilters();
  return 0;
}

// One statement for a page of rows and their hosts' names: a filter's host is the first
// Client row with its address, the one a look-up of its own finds. The first rows are
// found once for all filters of a page: Client.IP has no index, and a look-up per
// filter read every host for each (20,000 filters of as many hosts took 20 s). The
// first page is read as the main window opens, the others from its idle time after it
// has painted: a site's 20,000 filters held the main window before it painted.
namespace {
const wchar_t kFiltersQuery[] =
    L"select f.id,f.FilterName,f.TypeOfHipsRule,f.RegExp,f.ClientIP,c.Name from Filter f "
    L"left join (select IP,min(id) as id from Client group by IP) h on h.IP=f.ClientIP "
    L"left join Client c on c.id=h.id where f.id>? order by f.id";
const int kFirstFilters = 100;
const int kFilterPage = 2000;
}  // namespace

int CQvHipsUIHandler::LoadFilters() {
  m_filling.Stop();
  std::vector<FilterRow>().swap(m_unlisted);
  m_listed = 0;
  m_lastFilterId = INT_MIN;
  m_allFiltersRead = true;
  m_filterLink.Disconnect();
  if (!ConnectOrTell(m_filterLink)) return 0;
  m_allFiltersRead = false;
  if (!ReadFilters(kFirstFilters)) return 0;
  if (AddFilterRows(::GetTickCount() + IdleSlices::kSliceMs, false))
    m_filling.Start(m_owner->GetHWnd(), [this](DWORD until) { return AddFilterRows(until); });
  return 1;
}

bool CQvHipsUIHandler::ReadFilters(int rows) {
  m_unlisted.clear();
  m_listed = 0;
  const int read = ReadPageAfter(m_filterLink, kFiltersQuery, &m_lastFilterId, rows, [this](SQLStatement& filter) {
    m_unlisted.push_back({filter.GetInt(0), filter.GetAsText(1), filter.GetInt(2), filter.GetAsText(3),
                          filter.GetAsText(4), filter.GetAsText(5)});
    return m_unlisted.back().id;
  });
  if (read < 0) {
    // Part of the filters would pass for all of them.
    const std::wstring reason = qv::OrEmpty(m_filterLink.GetLastErrorText());
    m_filterLink.Disconnect();
    std::vector<FilterRow>().swap(m_unlisted);
    m_allFiltersRead = true;
    m_grid.DeleteAllItems();
    TellListUnread(kReadHipsFiltersFailed, reason.c_str());
    return false;
  }
  if (read == 0) {
    m_allFiltersRead = true;
    m_filterLink.Disconnect();
  }
  return true;
}

// Scroll bars and paint once a slice, after its last row.
bool CQvHipsUIHandler::AddFilterRows(DWORD until, bool nextPages) {
  m_grid.SendMessage(WM_SETREDRAW, FALSE);
  bool whole = true;  // a grid that cannot take another row holds part of the list
  bool read = true;
  size_t added = 0;
  do {
    if (m_listed >= m_unlisted.size()) {
      if (m_allFiltersRead || !nextPages || !(read = ReadFilters(kFilterPage))) break;
      continue;
    }
    const FilterRow& f = m_unlisted[m_listed++];
    // Filters of a category the page has no text for are not listed.
    whole = AddRow(f.name, f.type, f.regExp, f.clientIp, f.id, f.hostName) >= 0 || f.type < 0 || f.type >= 4;
  } while (whole && ++added < IdleSlices::kSliceEntries && IdleSlices::Within(until));
  if (!whole) m_grid.DeleteAllItems();  // part of the filters would pass for all of them
  m_grid.SendMessage(WM_SETREDRAW, TRUE);
  m_grid.Invalidate();
  if (whole && read && (m_listed < m_unlisted.size() || !m_allFiltersRead)) return true;
  std::vector<FilterRow>().swap(m_unlisted);
  m_listed = 0;
  m_allFiltersRead = true;
  m_filterLink.Disconnect();
  if (!whole) TellListUnread(kReadHipsFiltersFailed, kGridFullReason);
  return false;
}

int CQvHipsUIHandler::AddFilterRow(const std::wstring& name, int type, const std::wstring& regExp,
                                   const std::wstring& clientIp, int id) {
  if (type < 0 || type >= 4) return -1;
  SQLServerLink link;
  if (!ConnectOrTell(link, kNoConnectionText)) return -1;
  std::wstring hostName;
  ReadTargetName(link, clientIp, hostName);
  link.Disconnect();
  const int row = AddRow(name, type, regExp, clientIp, id, hostName);
  if (row < 0) TellError(kGridFullReason);
  return row;
}

int CQvHipsUIHandler::AddRow(const std::wstring& name, int type, const std::wstring& regExp,
                             const std::wstring& clientIp, int id, const std::wstring& hostName) {
  if (type < 0 || type >= 4) return -1;
  const std::wstring& target = hostName.empty() ? clientIp : hostName;
  const int row = m_grid.AddItem(L"", -1, ITEM_FORMAT_CHECKBOX, ITEM_FLAGS_CENTRE);
  if (row < 0) return -1;
  m_grid.SetItemText(row, kColName, name.c_str());
  m_grid.SetItemText(row, kColCategory, kCategories[type]);
  m_grid.SetItemText(row, kColContent, regExp.c_str());
  m_grid.SetItemText(row, kColTarget, target.c_str());
  m_grid.SetItemData(row, static_cast<unsigned long>(id));
  return row;
}

LRESULT CQvHipsUIHandler::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  if (const UINMREALWNDRESIZED* resized = RealWndResizedOf(pnmh, kGrid)) {
    OnSize(resized->rcWnd);
    return 0;
  }
  switch (CommandItemOf(pnmh)) {
    case kItemTrust: OnTrustList(); break;
    case kItemNew: OnNewRule(); break;
    case kItemModify: OnModifyRule(); break;
    case kItemDelete: OnDeleteRule(); break;
    default: bHandled = FALSE; break;
  }
  return 0;
}

void CQvHipsUIHandler::OnSize(const RECT& rect) {
  const bool maximised = m_owner->IsWindow() && ::IsZoomed(m_owner->GetHWnd());
  const int width = rect.right - rect.left;
  const int widths[2][5] = {{40, 150, 150, width - 470, 130}, {80, 250, 250, width - 840, 240}};
  for (int column = 0; column < 5; ++column) m_grid.SetColumnWidth(column, widths[maximised][column]);
}

LRESULT CQvHipsUIHandler::OnListCheckChanged(int, LPNMHDR, BOOL&) {
  m_checkedCount = CountHipsCheckedRows(m_grid, m_checkedRow);
  m_owner->EnableItem(kItemModify, m_checkedCount == 1);
  m_owner->EnableItem(kItemDelete, m_checkedCount > 0);
  return 1;
}

void CQvHipsUIHandler::OnTrustList() {
  m_filling.Finish();  // the rows still to come first
  CQvHIPSTrustDlg trust;
  trust.DoModal(m_owner->GetHWnd());
}

void CQvHipsUIHandler::OnNewRule() {
  m_filling.Finish();  // the rows still to come first
  HipsFilterInfo info;
  int id = -1;
  // Read whole when the editor asks: no page of filters waits on a held connection while
  // the editor is open.
  CQvHIPSNewRuleDlg editor(CQvHIPSNewRuleDlg::kModeNew, &info, &id, [this] {
    ReloadFilters();
    m_filling.Finish();
  });
  editor.DoModal(m_owner->GetHWnd());
  if (editor.FilterGone()) ReloadFilters();  // told by the editor
  if (id != -1) AddFilterRow(info.FilterName, int(info.TypeOfHipsRule), info.RegExp, info.ClientIP, id);
}

void CQvHipsUIHandler::OnModifyRule() {
  m_filling.Finish();  // the rows still to come first
  SQLServerLink link;
  if (!ConnectOrTell(link)) return;
  const std::vector<int> ids = CheckedIds();
  if (ids.empty()) return;
  int id = ids.front();
  HipsFilterInfo info;
  const int read = ReadFilter(link, id, info);
  if (read < 0) return ShowReadError(link);
  link.Disconnect();
  if (read == 0) return FiltersGone();
  CQvHIPSNewRuleDlg editor(CQvHIPSNewRuleDlg::kModeModify, &info, &id);
  editor.DoModal(m_owner->GetHWnd());
  if (editor.FilterGone()) ReloadFilters();  // told by the editor
}

void CQvHipsUIHandler::FiltersGone() {
  TellRecordGone([this] { ReloadFilters(); });
}

void CQvHipsUIHandler::ReloadFilters() {
  m_grid.DeleteAllItems();
  LoadFilters();
  BOOL handled = TRUE;
  OnListCheckChanged(kGrid, nullptr, handled);
}

// Per checked filter, top-down: its rows go in one transaction, committed only once its
// host has heard of it. A filter whose row cannot be read, whose send the link cannot
// take, or any other failure, keeps that filter and the ones below it. One whose host
// the service cannot address goes untold only when the user chooses so. One already gone
// from the table (another console deleted it) has nothing to delete or tell: the user
// hears so and the list is read again.
void CQvHipsUIHandler::OnDeleteRule() {
  m_filling.Finish();  // the rows still to come first
  SQLServerLink link;
  if (!ConnectOrTell(link)) return;
  // Every question and message comes with the link closed; it is opened again to go on.
  link.Disconnect();
  if (UiMessageBox(L"您确认删除这些策略么？", L"确认删除？", MB_YESNO | MB_ICONEXCLAMATION) != IDYES) return;
  bool anyGone = false;
  for (int id : CheckedIds()) {
    if (!ConnectOrTell(link)) break;
    HipsFilterInfo info;
    const int read = ReadFilter(link, id, info);
    if (read < 0) {
      ShowReadError(link, L"删除错误");
      break;
    }
    if (read == 0) {  // another console deleted it: nothing to delete or tell
      anyGone = true;
      continue;
    }
    const bool untold = !HipsHostAddressUsable(info.ClientIP);
    if (untold) {
      link.Disconnect();
      if (!HipsUntoldRemovalChosen() || !ConnectOrTell(link)) break;
    }
    const int stored = StoreAndTellRecord(link, [&] { return DeleteFilterRows(link, id); },
                                          [&] { return untold || TellFilterDeleted(info); }, L"删除错误");
    anyGone = anyGone || stored == 0;
    if (stored < 0) break;
    if (stored == 0) continue;
    const int row = RowOfId(id);
    if (row >= 0) m_grid.DeleteItem(row);
  }
  link.Disconnect();
  if (anyGone) return FiltersGone();
  BOOL handled = TRUE;
  OnListCheckChanged(kGrid, nullptr, handled);
}

int CQvHipsUIHandler::SendFilterToClient(int id) {
  SQLServerLink link;
  if (!ConnectOrTell(link)) return 0;
  HipsFilterInfo info;
  const int read = ReadFilter(link, id, info);
  if (read < 0) ShowReadError(link);
  link.Disconnect();
  return read > 0 && HipsHostAddressOrTell(info.ClientIP) && SentOrTellLinkDown(TellFilterDeleted(info));
}

std::vector<int> CQvHipsUIHandler::CheckedIds() const {
  std::vector<int> ids;
  unsigned long id = 0;
  for (int row = 0; row < m_grid.GetItemCount(); ++row)
    if (m_grid.GetItemCheck(row, kColCheck) != 0 && m_grid.GetItemData(row, id)) ids.push_back(int(id));
  return ids;
}

int CQvHipsUIHandler::RowOfId(int id) const {
  unsigned long data = 0;
  for (int row = 0; row < m_grid.GetItemCount(); ++row)
    if (m_grid.GetItemData(row, data) && int(data) == id) return row;
  return -1;
}

// ---- Statements

namespace {

int ReadFilter(SQLServerLink& link, int id, HipsFilterInfo& info) {
  SQLStatement* statement = link.CreateStatement(
      L"select ClientIP,FilterName,RegExp,TypeOfHipsRule,MatchType,OperatorType,DefaultAction,"
      L"DefaultLogFilter from Filter where id=?");
  if (!statement || !statement->BindInt(0, id) || !statement->SetMaxRows(1)) return -1;
  if (!statement->Fetch()) return statement->Failed() ? -1 : 0;
  info.ClientIP = statement->GetAsText(0);
  info.FilterName = statement->GetAsText(1);
  info.RegExp = statement->GetAsText(2);
  info.TypeOfHipsRule = uint32_t(statement->GetInt(3));
  info.MatchType = uint8_t(statement->GetInt(4));
  info.OperatorType = uint8_t(statement->GetInt(5));
  info.DefaultAction = uint16_t(statement->GetInt(6));
  info.DefaultLogFilter = uint32_t(statement->GetInt(7));
  link.ReleaseStatement(statement);
  return 1;
}

int ReadTargetName(SQLServerLink& link, const std::wstring& clientIp, std::wstring& name) {
  SQLStatement* statement = link.CreateStatement(L"select Name from Client where ip=?");
  if (!statement || !statement->BindString(0, clientIp.c_str()) || !statement->SetMaxRows(1) ||
      !statement->Fetch())
    return 0;
  name = statement->GetAsText(0);
  link.ReleaseStatement(statement);
  return 1;
}

// 1 deleted, 0 the filter has no row left, -1 failed.
int DeleteFilterRows(SQLServerLink& link, int id) {
  auto bindId = [&](SQLStatement& s) { return s.BindInt(0, id) != 0; };
  SQLStatement* rules = link.CreateStatement(L"delete from Rules where FilterID=?");  // none is fine
  const bool deleted = rules && bindId(*rules) && rules->Execute();
  link.ReleaseStatement(rules);
  if (!deleted) return -1;
  return ExecuteOnRecord(link, {L"select id from Filter where id=?", bindId}, {L"delete from Filter where id=?", bindId});
}

bool TellFilterDeleted(const HipsFilterInfo& info) {
  std::string payload;
  AppendHipsFilterHead(payload, HeadFieldsOf(info), true);
  return HipsTellHost(info.ClientIP, AGENT_MSG_HIPS_DELETE, payload);
}

}  // namespace
