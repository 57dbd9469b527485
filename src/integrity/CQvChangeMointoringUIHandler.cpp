#include "integrity/CQvChangeMointoringUIHandler.h"

#include "console/ConnectOrTell.h"
#include "console/ListReadFailure.h"
#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"
#include "console/SysServerPortConfig.h"
#include "controls/CUIResource.h"
#include "platform/CAppModule.h"
#include "platform/CGdiObject.h"
#include "platform/TextConv.h"
#include "platform/WideFormat.h"
#include "uiwin/CUiDialogHost.h"

namespace {

const UINT kEventBitmap = 131;
const COLORREF kMask = RGB(0xFF, 0x00, 0xFF);
const size_t kTimeChars = 19;  // "YYYY-MM-DD HH:MM:SS"
const wchar_t kUnknownCount[] = L"--";  // a counter that could not be read

enum Counter { kAuditEvents, kHipsEvents, kStrategyRows, kRefusedEvents, kCounterCount };

// Typed and untyped time columns give the seconds with or without a fraction: only
// the part both have is compared.
std::wstring TimeKey(const wchar_t* text) {
  std::wstring key = qv::OrEmpty(text);
  if (key.size() > kTimeChars) key.resize(kTimeChars);
  return key;
}

using qv::OrEmpty;

// Statements.
int ReadCount(SQLServerLink& link, Counter counter, int& count);
int ReadNewestTime(SQLServerLink& link, std::wstring& newest);
SQLStatement* SelectLatestEvents(SQLServerLink& link, int count);
std::wstring HostName(SQLServerLink& link, const wchar_t* address);

}  // namespace

CQvChangeMointoringUIHandler::CQvChangeMointoringUIHandler(CUiDialogHost* owner)
    : m_owner(owner), m_grid(CUIResource::GetSkinBitmap(), kGridScrollId, 0xCFBBA2, 0xCDFAFF, 0xF5C2A9) {}

int CQvChangeMointoringUIHandler::Init() {
  m_images.Create(32, 24, ILC_COLOR24 | ILC_MASK, 1, 0);
  CBitmap bitmap;
  bitmap.Attach(::LoadBitmapW(g_module.GetResourceInstance(), MAKEINTRESOURCEW(kEventBitmap)));
  m_images.Add(bitmap, kMask);
  m_grid.Create(m_owner->GetViewHWnd(), nullptr, nullptr, 0, 0, kGrid);
  m_grid.SetImageList(m_images);
  const struct {
    const wchar_t* title;
    int width;
  } columns[] = {{L"IP", 80}, {L"客户端名称", 100}, {L"操作类型", 100}, {L"目标内容", 350}, {L"操作时间", 120}};
  for (const auto& column : columns)
    m_grid.AddColumn(column.title, column.width, -1, FALSE, FALSE, ITEM_FORMAT_NONE, ITEM_FLAGS_CENTRE);
  RefreshCounters();
  return 0;
}

int CQvChangeMointoringUIHandler::RefreshCounters() {
  SQLServerLink link;
  if (!ConnectOrTell(link, nullptr, L"连接数据库错误")) return 0;
  // One count per statement: nothing relies on the order of a union's rows.
  int counts[kCounterCount] = {};
  bool read[kCounterCount] = {};
  std::wstring reason;  // why the first count that failed could not be read
  for (int i = 0; i < kCounterCount; ++i) {
    read[i] = ReadCount(link, Counter(i), counts[i]) != 0;
    if (!read[i] && reason.empty()) reason = OrEmpty(link.GetLastErrorText());
  }
  link.Disconnect();

  // A count that could not be read shows as unknown, not as the last one or as 0.
  const bool changesRead = read[kAuditEvents] && read[kHipsEvents];
  const int changes = counts[kAuditEvents] + counts[kHipsEvents];
  m_owner->SetItemText(kItemChanges, changesRead ? CentredCount(changes).c_str() : kUnknownCount);
  m_owner->SetItemText(kItemChangesWide, changesRead ? qv::FormatW(L"%8d", changes).c_str() : kUnknownCount);
  m_owner->SetItemText(kItemStrategyRows,
                       read[kStrategyRows] ? qv::FormatW(L"%d", counts[kStrategyRows]).c_str() : kUnknownCount);
  m_owner->SetItemText(kItemRefused,
                       read[kRefusedEvents] ? qv::FormatW(L"%8d", counts[kRefusedEvents]).c_str() : kUnknownCount);
  if (!changesRead || !read[kStrategyRows] || !read[kRefusedEvents])
    TellListUnread(kReadChangeCountsFailed, reason.c_str());
  CheckNewLogs();
  return 1;
}

std::wstring CQvChangeMointoringUIHandler::CentredCount(int count) {
  std::wstring text = qv::FormatW(L"%d", count);
  const size_t length = text.size();
  if (length < 8) {
    const std::wstring pad((8 - length) / 2, L' ');
    text = pad + text + pad;
  }
  if (text.size() % 2) text.insert(text.begin(), L' ');
  return text;
}

int CQvChangeMointoringUIHandler::CheckNewLogs() {
  SQLServerLink link;
  if (!ConnectOrTell(link, nullptr, L"连接数据库错误")) return 0;
  std::wstring newest;
  if (!ReadNewestTime(link, newest)) {
    // Whether newer events exist is not known: the list stays, and the next visit asks again.
    const std::wstring reason = OrEmpty(link.GetLastErrorText());
    link.Disconnect();
    TellListUnread(kReadLatestEventsFailed, reason.c_str());
    return 0;
  }
  link.Disconnect();
  if (!(TimeKey(newest.c_str()) > TimeKey(m_latestLogTime.c_str()))) return 0;
  m_grid.DeleteAllItems();
  return LoadLatestHipsLogs();
}

int CQvChangeMointoringUIHandler::LoadLatestHipsLogs() {
  // Until the list has been read whole, the next visit reads it again.
  m_latestLogTime.clear();
  SQLServerLink names;
  if (!ConnectOrTell(names, kNoConnectionText)) return 0;
  SQLServerLink events;
  if (!Connect(events)) {
    names.Disconnect();
    TellError(events, L"连接数据库错误");
    return 0;
  }
  SQLStatement* statement = SelectLatestEvents(events, m_topCount);
  std::wstring newest;
  bool whole = true;  // a grid that cannot take another row holds part of the list
  // The row limit is the driver's; the loop keeps to it whatever the driver does.
  for (int shown = 0; whole && statement && shown < m_topCount && statement->Fetch(); ++shown) {
    const wchar_t* address = OrEmpty(statement->GetString(0));
    const wchar_t* time = OrEmpty(statement->GetString(3));
    if (shown == 0) newest = time;
    const int row = m_grid.AddItem(nullptr, -1, ITEM_FORMAT_NONE, ITEM_FLAGS_CENTRE);
    whole = row >= 0;
    if (!whole) break;
    m_grid.SetItemText(row, 0, address);
    m_grid.SetItemText(row, 1, HostName(names, address).c_str());
    m_grid.SetItemText(row, 2, OrEmpty(statement->GetString(1)));
    m_grid.SetItemText(row, 3, OrEmpty(statement->GetString(2)));
    m_grid.SetItemText(row, 4, time);
  }
  if (!whole || !statement || statement->Failed()) {
    // Part of the newest events would pass for all of them.
    m_grid.DeleteAllItems();
    const std::wstring reason = whole ? OrEmpty(events.GetLastErrorText()) : kGridFullReason;
    events.Disconnect();
    names.Disconnect();
    TellListUnread(kReadLatestEventsFailed, reason.c_str());
    return 0;
  }
  m_latestLogTime = newest;
  return 1;
}

LRESULT CQvChangeMointoringUIHandler::OnUiResized(int, LPNMHDR pnmh, BOOL& bHandled) {
  const auto* resized = reinterpret_cast<UINMREALWNDRESIZED*>(pnmh);
  if (resized->uItemID != kGrid) {
    bHandled = FALSE;
    return 0;
  }
  OnListResize(resized->rcWnd);
  return 0;
}

void CQvChangeMointoringUIHandler::OnListResize(const RECT&) {
  const bool maximized = ::IsZoomed(m_owner->GetHWnd()) != FALSE;
  const int widths[2][5] = {{80, 100, 100, 350, 120}, {80, 100, 100, 500, 150}};
  for (int column = 0; column < 5; ++column) m_grid.SetColumnWidth(column, widths[maximized][column]);
}

// ---- Statements

namespace {

int ReadCount(SQLServerLink& link, Counter counter, int& count) {
  static const wchar_t* const kCounts[kCounterCount] = {
      L"select count(*) from AuditLog",
      L"select count(*) from HIPSLog",
      L"select count(*) from StrategyTable",
      L"select count(*) from HIPSLog where HIPSAction = ?",
  };
  SQLStatement* statement = link.CreateStatement(kCounts[counter]);
  if (!statement || (counter == kRefusedEvents && !statement->BindString(0, L"拒绝")) || !statement->Fetch())
    return 0;
  count = statement->GetInt(0);
  return 1;
}

// 0 only when the time cannot be read; no events give an empty time.
int ReadNewestTime(SQLServerLink& link, std::wstring& newest) {
  SQLStatement* statement = link.CreateStatement(L"select max(LogTime) from HIPSLog");
  if (!statement) return 0;
  newest = statement->Fetch() ? OrEmpty(statement->GetString(0)) : L"";
  return !statement->Failed();
}

SQLStatement* SelectLatestEvents(SQLServerLink& link, int count) {
  SQLStatement* statement = link.CreateStatement(
      L"select LogHostIp, LogStyle, LogContent, LogTime from HIPSLog order by LogTime desc");
  if (!statement || !statement->SetMaxRows(count)) return nullptr;
  return statement;
}

std::wstring HostName(SQLServerLink& link, const wchar_t* address) {
  SQLStatement* statement = link.CreateStatement(L"select Name from Client where IP = ?");
  if (!statement || !statement->BindString(0, address) || !statement->SetMaxRows(1) || !statement->Fetch())
    return std::wstring();
  return OrEmpty(statement->GetString(0));
}

}  // namespace
