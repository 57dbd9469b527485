// The log center's pages in the running main window over a real database: what each
// search button lists or asks for, the audit types, strategies and days, a failed
// statement, the audit detail, the host picker and the date picker.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/CMainDlg.h"
#include "controls/CListNotify.h"
#include "controls/CSkinScrollBar.h"
#include "logcenter/CLCAuditLogDetailDlg.h"
#include "logcenter/CLCCalendarDlg.h"
#include "platform/TextConv.h"
#include "support/GridClicks.h"
#include "support/LogCenterPageHost.h"
#include "support/TestEnv.h"

using namespace qvtest;

namespace {

using Audit = CLCAuditLogUIHandler;
using PageOf = CLCLogPage& (*)(CLogCenterUIHandler&);

// A page's tab in the area, fields and buttons.
struct Ids {
  PageOf page;
  int tab;
  UINT start, end, host, keyword, search, pickHost, pickStart, pickEnd;
};
template <class Page>
Ids IdsOf(PageOf page, int tab) {
  return {page, tab, Page::kStartEdit, Page::kEndEdit, Page::kHostEdit, Page::kKeywordEdit, Page::kItemSearch,
          Page::kItemPickHost, Page::kItemPickStart, Page::kItemPickEnd};
}
const Ids kAudit = IdsOf<Audit>([](CLogCenterUIHandler& a) -> CLCLogPage& { return a.AuditLog()->Page(); }, 0);
const Ids kHips =
    IdsOf<CLCHIPSLogUIHandler>([](CLogCenterUIHandler& a) -> CLCLogPage& { return a.HIPSLog()->Page(); }, 1);
const Ids kSystem =
    IdsOf<CLCSystemLogUIHandler>([](CLogCenterUIHandler& a) -> CLCLogPage& { return a.SystemLog()->Page(); }, 2);
const wchar_t kDay[] = L"2024-03-05 00:00:00";

class LogPages : public LogCenterPageHost {
 protected:
  // The page's button clicked where it is painted, once the area and the page's tab are.
  static void Click(UiDialogDriver& d, const Ids& ids, UINT item) {
    EXPECT_TRUE(d.Click(CMainDlg::kItemLogCenter));
    EXPECT_TRUE(d.ClickTab(CLogCenterUIHandler::kTabCtrl, ids.tab));
    EXPECT_TRUE(d.Click(item)) << item;
  }
  // The page's search over host (none when null) for a range of days and a keyword.
  static void Search(UiDialogDriver& d, CLogCenterUIHandler& area, const Ids& ids, const wchar_t* start,
                     const wchar_t* end, const wchar_t* host, const wchar_t* keyword = L"") {
    CLCLogPage& page = ids.page(area);
    SetText(page, ids.start, start);
    SetText(page, ids.end, end);
    SetText(page, ids.keyword, keyword);
    if (host) page.TakeHost(host);
    Click(d, ids, ids.search);
  }
  // The last `count` characters of a rich edit's text and its two last line breaks.
  static std::wstring TextEnd(HWND edit, size_t count) {
    GETTEXTLENGTHEX how{GTL_NUMCHARS, 1200};
    const LONG length = static_cast<LONG>(::SendMessageW(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0));
    const LONG from = std::max<LONG>(0, length - static_cast<LONG>(count) - 2);
    std::vector<wchar_t> text(static_cast<size_t>(length - from) + 1);
    TEXTRANGEW range{{from, length}, text.data()};
    ::SendMessageW(edit, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
    return text.data();
  }
  // Whether the text's last character (before its two line breaks) is in view.
  static bool EndInView(HWND edit) {
    GETTEXTLENGTHEX how{GTL_NUMCHARS, 1200};
    const LRESULT length = ::SendMessageW(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0);
    POINTL last{};
    ::SendMessageW(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&last), length - 3);
    RECT client{};
    ::GetClientRect(edit, &client);
    return last.x >= 0 && last.x < client.right && last.y >= 0 && last.y < client.bottom;
  }
  // Whether the text's end is in view, or comes into view when the thumb of the rich
  // edit's skinned horizontal bar is dragged to the end of its track.
  static bool DragsToTheEnd(HWND edit) {
    if (EndInView(edit)) return true;
    HWND frame = edit;
    wchar_t name[32] = L"";
    while (frame && !(::GetClassNameW(frame, name, 32) && std::wstring(name) == L"SkinScrollBarFrame"))
      frame = ::GetParent(frame);
    auto* bar = static_cast<CSkinScrollBar*>(
        CWindowImplCore::FromHandle(::GetDlgItem(frame, CLCAuditLogDetailDlg::kTextScroll + 1)));
    if (!bar) return false;
    // The bar takes the text's range on its timer.
    SCROLLINFO text{sizeof text, SIF_ALL}, shown{sizeof shown, SIF_ALL};
    ::GetScrollInfo(edit, SB_HORZ, &text);
    testenv::PumpUntil([&] {
      bar->SendMessage(SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&shown));
      return shown.nMax == text.nMax && shown.nPage == text.nPage;
    }, 5000);
    RECT track{};
    bar->GetClientRect(&track);
    for (POINT at{0, track.bottom / 2}; at.x < track.right; ++at.x) {
      if (bar->HitTest(at) != CSkinScrollBar::kThumb) continue;
      for (UINT message : {WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP}) {
        const LONG x = message == WM_LBUTTONDOWN ? at.x : at.x + 2 * track.right;
        bar->SendMessage(message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, at.y));
      }
      break;
    }
    return EndInView(edit);
  }
  void AddAudit(const wchar_t* host, const wchar_t* type, const wchar_t* content, const wchar_t* time,
                const wchar_t* detail, const wchar_t* strategy) {
    Insert(L"AuditLog", L"LogHostIp, LogStyle, LogContent, LogTime, LogDetail, Strategyid",
           {host, type, content, time, detail, strategy});
  }
};

TEST_F(LogPages, EachSearchButtonListsItsPagesRowsOrSaysWhatIsMissing) {
  const std::vector<std::wstring> a{L"2024-03-05 08:00:00", L"服务启动", L"服务 Spooler 已启动"},
      b{L"2024-03-05 23:59:59", L"登录失败", L"用户 O'Brien 登录失败"}, c{L"2024-03-06 00:00:00", L"登录失败", L"次日"};
  for (const wchar_t* table : {L"HIPSLog", L"SystemLog"})
    for (const auto& r : {a, b, c})
      Insert(table, L"LogHostIp, LogTime, LogStyle, LogContent", {L"10.0.0.1", r[0].c_str(), r[1].c_str(), r[2].c_str()});
  const struct {
    const Ids& ids;
    const wchar_t *start, *end, *host, *keyword, *box;
    Rows listed;
  } rows[] = {
      {kAudit, L"", kDay, L"10.0.0.1", L"", L"请选择开始时间", {}},
      {kAudit, kDay, L"", L"10.0.0.1", L"", L"请选择结束时间", {}},
      {kAudit, kDay, kDay, nullptr, L"", L"请选择主机名", {}},
      {kHips, kDay, L"", L"10.0.0.1", L"", L"请输入结束时间", {}},
      {kHips, kDay, kDay, L"10.0.0.1", L"O'Brien", nullptr, {b}},
      {kHips, kDay, kDay, L"10.0.0.1", L"100%", L"暂时没有此主机的主动监测日志", {}},
      {kSystem, kDay, kDay, nullptr, L"", L"请选择要查询的主机名", {}},
      {kSystem, kDay, kDay, L"10.0.0.1", L"", nullptr, {a, b}},
      {kSystem, kDay, kDay, L"10.0.0.1", L"次日", L"暂时没有此主机的系统日志", {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.ids.search << " " << row.listed.size());
    Run([&](UiDialogDriver& d, CLogCenterUIHandler& area) {
      if (row.box) script.ExpectBox(row.box, IDOK);
      Search(d, area, row.ids, row.start, row.end, row.host, row.keyword);
      EXPECT_EQ(row.listed, Cells(row.ids.page(area), 3));
    });
    EXPECT_TRUE(!row.box || script.Boxes().back().caption == L"提示");
  }
}

// Rows listed before a failing one would pass for all of them: the page lists none and
// says which log could not be read.
TEST_F(LogPages, ALogThatCannotBeReadWholeListsNothingAndSaysWhichLog) {
  Insert(L"StrategyTable", L"StrategyName, id", {L"策略甲", L"S1"});
  for (const wchar_t* content : {L"甲", L"乙"}) {
    AddAudit(L"10.0.0.1", L"文件审计", content, L"2024-03-05 08:00:00", L"", L"S1");
    for (const wchar_t* table : {L"HIPSLog", L"SystemLog"})
      Insert(table, L"LogHostIp, LogTime, LogStyle, LogContent", {L"10.0.0.1", L"2024-03-05 08:00:00", L"登录", content});
  }
  const struct {
    const Ids& ids;
    const wchar_t *table, *box;
  } rows[] = {
      {kAudit, L"AuditLog", L"读取审计日志失败：[SQLite]integer overflow"},
      {kHips, L"HIPSLog", L"读取主动监测日志失败：[SQLite]integer overflow"},
      {kSystem, L"SystemLog", L"读取系统日志失败：[SQLite]integer overflow"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(qv::WideToUtf8(row.table));
    std::wstring error;
    ASSERT_TRUE(FailRowsWhen(link, row.table, L"LogContent", L"LogContent = '乙'", &error)) << qv::WideToUtf8(error);
    Run([&](UiDialogDriver& d, CLogCenterUIHandler& area) {
      script.ExpectBox(row.box, IDOK);
      area.AuditLog()->TypeList().SetCurSel(0);
      Search(d, area, row.ids, kDay, kDay, L"10.0.0.1");
      EXPECT_EQ(0u, script.Remaining());
      EXPECT_EQ(Rows{}, Cells(row.ids.page(area), 3));
    });
    EXPECT_EQ(L"错误", script.Boxes().back().caption);
  }
}

TEST_F(LogPages, AuditTypeStrategyAndLastDayDecideWhatIsListed) {
  // S2 has three targets under two names since a rename.
  for (const auto& s : {std::make_pair(L"策略甲", L"S1"), std::make_pair(L"策略乙", L"S2"),
                        std::make_pair(L"策略乙", L"S2"), std::make_pair(L"策略丙", L"S2")})
    Insert(L"StrategyTable", L"StrategyName, id", {s.first, s.second});
  AddAudit(L"10.0.0.1", L"文件审计", L"C:\\a.txt", L"2024-02-29 00:00:00", L"", L"S1");
  AddAudit(L"10.0.0.1", L"注册表审计", L"HKLM\\Run", L"2024-02-29 23:59:59", L"", L"S2");
  AddAudit(L"10.0.0.2", L"文件审计", L"他机", L"2024-02-29 10:00:00", L"", L"S1");
  for (const wchar_t* time : {L"2024-02-28 23:59:59", L"2024-03-01 00:00:00"})  // around the day
    AddAudit(L"10.0.0.1", L"文件审计", time, time, L"", L"S1");
  const std::vector<std::wstring> a{L"策略甲", L"文件审计", L"C:\\a.txt"}, b{L"策略乙", L"注册表审计", L"HKLM\\Run"},
      c{L"策略丙", L"注册表审计", L"HKLM\\Run"};
  const wchar_t* leap = L"2024-02-29 00:00:00";
  const struct {
    const wchar_t *start, *end;
    int type, answer;  // combo item (-1 none); answer to the question about all types
    const wchar_t* notice;
    Rows listed;
  } rows[] = {
      {leap, leap, 0, 0, nullptr, {a}},
      {leap, leap, 2, 0, nullptr, {c, b}},
      {leap, leap, 4, 0, L"暂时没有此主机的 系统账号审计 日志", {}},
      {leap, leap, -1, IDOK, nullptr, {c, b, a}},
      {leap, leap, 8, IDCANCEL, nullptr, {}},
      {L"2024-02-28 00:00:00", leap, 0, 0, nullptr, {{L"策略甲", L"文件审计", L"2024-02-28 23:59:59"}, a}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.type << " " << row.listed.size());
    Run([&](UiDialogDriver& d, CLogCenterUIHandler& area) {
      if (row.answer) script.ExpectBox(L"是否查看全部日志?", row.answer);
      if (row.notice) script.ExpectBox(row.notice, IDOK);
      area.AuditLog()->TypeList().SetCurSel(row.type);
      Search(d, area, kAudit, row.start, row.end, L"10.0.0.1");
      EXPECT_EQ(row.listed, Cells(area.AuditLog()->Page(), 3));
    });
  }
  EXPECT_EQ(UINT(MB_OKCANCEL), script.Boxes()[1].style);
  // A statement that fails says why instead of finding nothing.
  ASSERT_EQ(1, Exec(link, L"alter table AuditLog rename to AuditLogGone"));
  Run([&](UiDialogDriver& d, CLogCenterUIHandler& area) {
    script.ExpectBox(L"读取审计日志失败：", IDOK);
    area.AuditLog()->TypeList().SetCurSel(0);
    Search(d, area, kAudit, kDay, kDay, L"10.0.0.1");
  });
  EXPECT_EQ(UINT(MB_ICONHAND), script.Boxes().back().style);
  EXPECT_NE(std::wstring::npos, script.Boxes().back().text.find(L"AuditLog"));
}

TEST_F(LogPages, AuditDetailShowsTheLatestEntryOfTheQueryThatListedIt) {
  Insert(L"Client", L"IP, Name, MAC", {L"10.0.0.1", L"主机甲", L"001A2B3C4D5E"});
  Insert(L"Client", L"IP, Name, MAC", {L"10.0.0.2", L"", L"00-1A"});
  Insert(L"StrategyTable", L"StrategyName, id", {L"策略甲", L"S1"});
  const std::wstring wide = L"变更 " + std::wstring(300, L'x');  // far wider than the dialog
  const std::wstring wideDetail = L"一|二|" + wide, wideRest = wide + L"  详情";
  // An entry far wider than the dialog can take in pixels as they are: read to its end.
  std::wstring huge;
  for (int i = 0; huge.size() < 100000; ++i) huge += L"第" + std::to_wstring(i) + L"处变更 changed ";
  huge.resize(100000);
  huge += L"末尾";
  const std::wstring hugeDetail = L"一|二|" + huge, hugeRest = huge + L"  详情";
  const struct {
    const wchar_t *host, *detail, *hostText, *third, *rest;
  } rows[] = {
      {L"10.0.0.1", L"无分隔", L"主机甲 IP:10.0.0.1 MAC:00-1A-2B-3C-4D-5E", L"", L"2024-03-05 09:30:00  无分隔  详情"},
      {L"10.0.0.1", L"一|二|三", L"主机甲 IP:10.0.0.1 MAC:00-1A-2B-3C-4D-5E", L"", L"三  详情"},
      {L"10.0.0.2", L"一|二|三|四|五", L"IP:10.0.0.2 MAC:00-1A", L"三", L"四|五  详情"},
      {L"10.0.0.9", L"a|b", L"IP:10.0.0.9 ", L"", L"b  详情"},
      {L"10.0.0.1", wideDetail.c_str(), L"主机甲 IP:10.0.0.1 MAC:00-1A-2B-3C-4D-5E", L"", wideRest.c_str()},
      {L"10.0.0.1", hugeDetail.c_str(), L"主机甲 IP:10.0.0.1 MAC:00-1A-2B-3C-4D-5E", L"", hugeRest.c_str()},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::wstring(row.detail).substr(0, 40));
    ASSERT_EQ(1, Exec(link, L"delete from AuditLog"));
    AddAudit(row.host, L"文件审计", L"C:\\a.txt", L"2024-03-05 08:00:00", L"较早的细节", L"S1");
    AddAudit(row.host, L"文件审计", L"C:\\a.txt", L"2024-03-05 09:30:00", row.detail, L"S1");
    AddAudit(row.host, L"注册表审计", L"C:\\a.txt", L"2024-03-05 10:00:00", L"另一类型", L"S1");
    wchar_t text[512] = {};
    POINT view{-1, -1};
    const std::wstring rest = row.rest;
    const size_t endChars = std::min<size_t>(rest.size(), 100);
    std::wstring end;
    bool endShown = false;
    Run([&](UiDialogDriver& d, CLogCenterUIHandler& area) {
      area.AuditLog()->TypeList().SetCurSel(0);
      Search(d, area, kAudit, kDay, kDay, row.host);
      // What the fields say now is not what listed the rows.
      SetText(kAudit.page(area), Audit::kStartEdit, L"2024-03-06 00:00:00");
      kAudit.page(area).TakeHost(L"10.0.0.3");
      script.ExpectDialog([&](UiDialogDriver& detail) {
        ::GetWindowTextW(detail.As<CLCAuditLogDetailDlg>()->TextWindow(), text, 512);
        HWND shown = detail.As<CLCAuditLogDetailDlg>()->TextWindow();
        ::SendMessageW(shown, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&view));
        end = TextEnd(shown, endChars);
        endShown = DragsToTheEnd(shown);
        EXPECT_TRUE(detail.Click(CLCAuditLogDetailDlg::kItemExit));
      });
      // The magnifier, clicked where it is painted.
      EXPECT_TRUE(ClickGridCell(kAudit.page(area).GetGrid(), 0, Audit::kDetailColumn));
    });
    std::wstring shown = text;
    for (size_t at; (at = shown.find(L"\r\n")) != std::wstring::npos;) shown.replace(at, 2, L"\r");
    const std::wstring expected = std::wstring(L"策略名称:策略甲\r主机名称:") + row.hostText +
                                  L"\r日志类型:文件审计\r审记对象:C:\\a.txt\r\r审计详细:\r          " + row.third +
                                  L"\r" + row.rest + L"\r";
    const size_t start = std::min<size_t>(expected.size(), 500);  // what the text buffer holds
    EXPECT_EQ(expected.substr(0, start), shown.substr(0, start));
    EXPECT_EQ(0, view.x) << "opens at the start of its text";
    EXPECT_EQ(0, view.y);
    EXPECT_EQ(rest.substr(rest.size() - endChars) + L"\r\r", end) << "the whole entry";
    EXPECT_TRUE(endShown) << "its end can be brought into view";
  }
}

// Two strategies watch the same file of a host: each row's detail is its own strategy's
// change, not the latest change of the file under any strategy.
TEST_F(LogPages, AuditDetailIsTheClickedRowsOwnStrategys) {
  Insert(L"StrategyTable", L"StrategyName, id", {L"O'Brien策略", L"S1"});
  Insert(L"StrategyTable", L"StrategyName, id", {L"月度策略", L"S2"});
  const wchar_t* file = L"D:\\财务\\月报.xlsx";
  AddAudit(L"10.0.0.1", L"文件审计", file, L"2024-03-05 08:00:00", L"文件大小 94177 -> 94362", L"S1");
  AddAudit(L"10.0.0.1", L"文件审计", file, L"2024-03-05 09:00:00", L"文件大小 2930 -> 3321", L"S2");
  AddAudit(L"10.0.0.1", L"注册表审计", file, L"2024-03-05 10:00:00", L"另一类型", L"S1");
  const struct {
    const wchar_t *strategy, *change;
  } rows[] = {{L"O'Brien策略", L"2024-03-05 08:00:00  文件大小 94177 -> 94362  详情"},
              {L"月度策略", L"2024-03-05 09:00:00  文件大小 2930 -> 3321  详情"}};
  Run([&](UiDialogDriver& d, CLogCenterUIHandler& area) {
    area.AuditLog()->TypeList().SetCurSel(0);
    Search(d, area, kAudit, kDay, kDay, L"10.0.0.1");
    CLCLogPage::Grid& grid = kAudit.page(area).GetGrid();
    ASSERT_EQ(2, grid.GetItemCount());
    for (const auto& row : rows) {
      SCOPED_TRACE(row.strategy);
      int at = 0;
      while (at < grid.GetItemCount() && grid.GetItemText(at, 0) != row.strategy) ++at;
      ASSERT_LT(at, grid.GetItemCount());
      std::wstring shown;
      script.ExpectDialog([&](UiDialogDriver& detail) {
        wchar_t text[512] = {};
        ::GetWindowTextW(detail.As<CLCAuditLogDetailDlg>()->TextWindow(), text, 512);
        shown = text;
        EXPECT_TRUE(detail.Click(CLCAuditLogDetailDlg::kItemExit));
      });
      EXPECT_TRUE(ClickGridCell(grid, at, Audit::kDetailColumn));
      EXPECT_NE(std::wstring::npos, shown.find(std::wstring(L"策略名称:") + row.strategy)) << testing::PrintToString(shown);
      EXPECT_NE(std::wstring::npos, shown.find(row.change)) << testing::PrintToString(shown);
    }
    // A detail that cannot be read is told, and no detail comes.
    ASSERT_EQ(1, Exec(link, L"alter table AuditLog rename to AuditGone"));
    script.ExpectBox(L"错误信息：", IDOK);
    EXPECT_TRUE(ClickGridCell(grid, 0, Audit::kDetailColumn));
    EXPECT_EQ(0u, script.Remaining());
    ASSERT_EQ(1, Exec(link, L"alter table AuditGone rename to AuditLog"));
  });
}

TEST_F(LogPages, APickedHostShowsItsNameElseItsAddressAndOnlyOkChangesIt) {
  Insert(L"Client", L"IP, Name", {L"10.0.0.1", L"主机甲"});
  Insert(L"Client", L"IP, Name", {L"10.0.0.2", L""});
  for (const auto& kind : {std::make_pair(&kHips, L"注册表监测日志"), std::make_pair(&kSystem, L"系统日志")}) {
    const Ids& ids = *kind.first;
    Run([&](UiDialogDriver& d, CLogCenterUIHandler& area) {
      const struct {
        const wchar_t *pick, *checked, *address, *shown;
        bool ok;
      } steps[] = {
          {L"主机甲", nullptr, L"10.0.0.1", L"主机甲", true},
          {L"10.0.0.2", L"主机甲", L"10.0.0.2", L"10.0.0.2", true},  // a host without a name
          {L"主机甲", L"10.0.0.2", L"10.0.0.2", L"10.0.0.2", false},  // another checked, then cancelled
      };
      for (const auto& step : steps) {
        ExpectHostPicker(step.pick, step.checked, step.ok);
        Click(d, ids, ids.pickHost);
        EXPECT_EQ(step.shown, Text(ids.page(area), ids.host));
        EXPECT_EQ(step.address, ids.page(area).HostAddress());
      }
      ids.page(area).TakeHost(L"10.0.0.3");  // no longer in the hosts table
      EXPECT_EQ(L"10.0.0.3", Text(ids.page(area), ids.host));
      ASSERT_EQ(1, Exec(link, L"alter table Client rename to ClientGone"));
      script.ExpectBox(L"错误信息：", IDOK);
      ids.page(area).TakeHost(L"10.0.0.1");  // a look-up that fails keeps the host
      EXPECT_EQ(L"10.0.0.3", ids.page(area).HostAddress());
      ASSERT_EQ(1, Exec(link, L"alter table ClientGone rename to Client"));
    });
    EXPECT_EQ(kind.second, script.Dialogs().back());
  }
}

TEST_F(LogPages, TheDatePickerWritesTheChosenDayOnlyOnOk) {
  const struct {
    const Ids& ids;
    bool start;  // the start time's button, else the end time's
    SYSTEMTIME day;
    UINT close;
    const wchar_t* text;
  } rows[] = {{kAudit, false, {2014, 3, 0, 5, 0, 0, 0, 0}, CLCCalendarDlg::kItemOK, L"2014-03-05 00:00:00"},
              {kSystem, false, {2014, 11, 0, 12, 0, 0, 0, 0}, CLCCalendarDlg::kItemCancel, L"2000-01-01 00:00:00"},
              {kHips, true, {2015, 6, 0, 7, 0, 0, 0, 0}, CLCCalendarDlg::kItemOK, L"2015-06-07 00:00:00"}};
  for (const auto& row : rows) {
    const UINT field = row.start ? row.ids.start : row.ids.end;
    Run([&](UiDialogDriver& d, CLogCenterUIHandler& area) {
      SetText(row.ids.page(area), row.ids.start, L"2000-01-01 00:00:00");
      SetText(row.ids.page(area), row.ids.end, L"2000-01-01 00:00:00");
      script.ExpectDialog([&](UiDialogDriver& picker) {
        HWND calendar = picker.Control(CLCCalendarDlg::kCalendar);
        EXPECT_TRUE(::GetWindowLongW(calendar, GWL_STYLE) & MCS_DAYSTATE);
        // Months whose day states nobody answers still show and can be chosen from.
        ::SendMessageW(calendar, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&row.day));
        ::UpdateWindow(calendar);
        EXPECT_TRUE(picker.Click(row.close));
      });
      Click(d, row.ids, row.start ? row.ids.pickStart : row.ids.pickEnd);
      EXPECT_EQ(row.text, Text(row.ids.page(area), field));
      EXPECT_EQ(L"2000-01-01 00:00:00", Text(row.ids.page(area), row.start ? row.ids.end : row.ids.start));
    });
    EXPECT_EQ(L"选择查询时间", script.Dialogs().back());
  }
}

}  // namespace
