#include "logcenter/CLCLogPage.h"

#include <cwchar>
#include <cwctype>

#include "console/CServerDlg.h"
#include "console/ConnectOrTell.h"
#include "console/ListReadFailure.h"
#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"
#include "controls/CUIResource.h"
#include "logcenter/CLCCalendarDlg.h"
#include "platform/TextConv.h"
#include "platform/WideFormat.h"
#include "uiwin/CUiDialogHost.h"
#include "uiwin/UiMessageBox.h"

namespace {

const int kKeywordChars = 20;
const COLORREF kGridPressed = 0xCFBBA2;
const COLORREF kGridSelected = 0xCDFAFF;
const COLORREF kGridHeaderBottom = 0xF5C2A9;

using qv::OrEmpty;

}  // namespace

CLCLogPage::CLCLogPage(CUiDialogHost* owner, const LCLogPageConfig& config)
    : m_owner(owner),
      m_config(config),
      m_grid(CUIResource::GetSkinBitmap(), config.gridScroll, kGridPressed, kGridSelected, kGridHeaderBottom) {}

CLCLogPage::~CLCLogPage() = default;

int CLCLogPage::Init() {
  const HWND view = m_owner->GetViewHWnd();
  const DWORD field = WS_CHILD | WS_BORDER | ES_AUTOHSCROLL;
  m_start.Create(view, nullptr, nullptr, field | ES_READONLY, 0, m_config.startEdit);
  m_end.Create(view, nullptr, nullptr, field | ES_READONLY, 0, m_config.endEdit);
  m_host.Create(view, nullptr, nullptr, field | ES_READONLY, 0, m_config.hostEdit);
  m_keyword.Create(view, nullptr, nullptr, field | WS_TABSTOP, 0, m_config.keywordEdit);
  m_keyword.SetLimits(kKeywordChars, 0, '0', FALSE);
  m_grid.Create(view, nullptr, nullptr, WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, m_config.grid);
  for (int i = 0; i < m_config.columnCount; ++i) {
    const LCLogColumn& column = m_config.columns[i];
    m_grid.AddColumn(column.title, column.width, -1, FALSE, FALSE, column.format, ITEM_FLAGS_CENTRE);
  }
  return 1;
}

int CLCLogPage::UnInit() { return 1; }

HWND CLCLogPage::Field(UINT id) const {
  for (const CEditEx* field : {&m_start, &m_end, &m_host, &m_keyword})
    if (field->m_hWnd && static_cast<UINT>(field->GetDlgCtrlID()) == id) return field->m_hWnd;
  return nullptr;
}

LRESULT CLCLogPage::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  const UINT id = reinterpret_cast<UINMCOMMAND*>(pnmh)->uItemID;
  if (id == 0)
    bHandled = FALSE;
  else if (id == m_config.pickStart)
    OnPickStartTime();
  else if (id == m_config.pickEnd)
    OnPickEndTime();
  else if (id == m_config.pickHost)
    OnPickHost();
  else if (id == m_config.search)
    OnQuery();
  else
    bHandled = FALSE;
  return 0;
}

void CLCLogPage::OnPickStartTime() { PickDate(m_start); }

void CLCLogPage::OnPickEndTime() { PickDate(m_end); }

void CLCLogPage::PickDate(CEditEx& field) {
  std::wstring day = field.GetWindowText();
  CLCCalendarDlg picker(day);
  if (picker.DoModal(m_owner->GetHWnd()) == IDOK) field.SetWindowText(day.c_str());
}

void CLCLogPage::OnPickHost() {
  // The picker starts on the current host; cancelling it keeps that host.
  std::wstring picked = m_address;
  CServerDlg picker(&picked, m_config.hostPickerTitle);
  if (picker.DoModal(m_owner->GetHWnd()) != IDOK || picked.empty()) return;
  TakeHost(picked);
}

void CLCLogPage::TakeHost(const std::wstring& address) {
  SQLServerLink link;
  if (!ConnectOrTell(link, kNoConnectionText)) return;
  SQLStatement* statement = LCClientQuery(address).Prepare(link);
  std::wstring name, mac;
  while (statement && statement->Fetch()) {
    name = OrEmpty(statement->GetString(0));
    mac = OrEmpty(statement->GetString(1));
  }
  if (!statement || statement->Failed()) {
    const std::wstring error = OrEmpty(link.GetLastErrorText());
    link.ReleaseStatement(statement);
    link.Disconnect();
    TellError(error.c_str());
    return;
  }
  link.ReleaseStatement(statement);
  link.Disconnect();
  m_address = address;
  m_name = name;
  m_mac = DashedMac(mac);
  m_host.SetWindowText((name.empty() ? address : name).c_str());
}

void CLCLogPage::OnQuery() {
  LCLogFilter filter;
  if (!ReadFilter(filter)) return;
  if (Fill(LCLogQuery(*m_config.statement, filter)) == 0) UiMessageBox(m_config.noRows, L"提示", MB_OK);
}

BOOL CLCLogPage::ReadFilter(LCLogFilter& filter) {
  // Emptied without showing it yet: a list that follows at once paints only once.
  m_grid.SendMessage(WM_SETREDRAW, FALSE);
  m_grid.DeleteAllItems();
  filter = LCLogFilter();
  filter.start = m_start.GetWindowText();
  const std::wstring end = m_end.GetWindowText();
  filter.keyword = m_keyword.GetWindowText();
  filter.host = m_address;
  const wchar_t* prompt = filter.start.empty() ? m_config.noStart
                          : end.empty()        ? m_config.noEnd
                          : filter.host.empty() ? m_config.noHost
                                               : nullptr;
  if (prompt) {
    ShowGrid();
    UiMessageBox(prompt, L"提示", MB_OK);
    return FALSE;
  }
  // The last day is listed whole.
  filter.end = DayAfter(end);
  return TRUE;
}

int CLCLogPage::Fill(const CLCQueryBuilder& query) {
  // Scroll bars and paint once, after the last row.
  m_grid.SendMessage(WM_SETREDRAW, FALSE);
  SQLServerLink link;
  if (!Connect(link)) {
    ShowGrid();
    ShowDatabaseError(false, nullptr);
    return -1;
  }
  SQLStatement* statement = query.Prepare(link);
  int rows = 0;
  bool whole = true;
  while (statement && statement->Fetch()) {
    const int row = m_grid.AddItem(statement->GetString(0));
    if (row < 0) {  // the grid cannot grow
      whole = false;
      break;
    }
    for (int c = 0; c < m_config.columnCount; ++c) {
      const LCLogColumn& column = m_config.columns[c];
      if (c > 0 && c < m_config.resultColumns) m_grid.SetItemText(row, c, statement->GetString(c));
      if (column.flags) m_grid.SetItemFlags(row, c, column.flags);
      if (column.image >= 0) m_grid.SetItemImage(row, c, column.image);
    }
    ++rows;
  }
  const bool failed = !whole || !statement || statement->Failed();
  const std::wstring diagnosis = !whole ? kGridFullReason : failed ? OrEmpty(link.GetLastErrorText()) : L"";
  link.ReleaseStatement(statement);
  link.Disconnect();
  // Part of a list would pass for all of it.
  if (failed) m_grid.DeleteAllItems();
  ShowGrid();
  if (failed) {
    TellListUnread(m_config.readFailed, diagnosis.c_str());
    return -1;
  }
  return rows;
}

void CLCLogPage::ShowDatabaseError(bool connected, const wchar_t* diagnosis) {
  if (!connected) {
    UiMessageBox(L"打开 LogCenter.db 数据库时出错", L"错误", MB_OK);
    return;
  }
  TellError(diagnosis);
}

std::wstring CLCLogPage::DashedMac(const std::wstring& mac) {
  if (mac.size() != 12) return mac;
  std::wstring dashed;
  for (size_t i = 0; i < mac.size(); ++i) {
    if (!std::iswxdigit(mac[i])) return mac;
    if (i > 0 && i % 2 == 0) dashed += L'-';
    dashed += mac[i];
  }
  return dashed;
}

std::wstring CLCLogPage::DayAfter(const std::wstring& time) {
  SYSTEMTIME day{};
  int year = 0, month = 0, date = 0;
  if (std::swscanf(time.c_str(), L"%4d-%2d-%2d", &year, &month, &date) != 3) return std::wstring();
  day.wYear = static_cast<WORD>(year);
  day.wMonth = static_cast<WORD>(month);
  day.wDay = static_cast<WORD>(date);
  FILETIME file;
  if (year < 1601 || year > 30000 || !::SystemTimeToFileTime(&day, &file)) return std::wstring();
  ULARGE_INTEGER ticks{{file.dwLowDateTime, file.dwHighDateTime}};
  ticks.QuadPart += 24ULL * 60 * 60 * 10000000;
  file.dwLowDateTime = ticks.LowPart;
  file.dwHighDateTime = ticks.HighPart;
  if (!::FileTimeToSystemTime(&file, &day)) return std::wstring();
  return qv::FormatW(L"%04d-%02d-%02d 00:00:00", day.wYear, day.wMonth, day.wDay);
}
