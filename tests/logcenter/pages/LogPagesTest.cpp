// The HIPS and system log pages (one log page each, with its own ids, statement and
// texts) and what the area shares: the host field, the keyword, the date picker and
// the routing of each page's search button.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "logcenter/CLCCalendarDlg.h"
#include "support/LogCenterPageHost.h"

using namespace qvtest;

namespace {

using Rows = std::vector<std::vector<std::wstring>>;

// What tells the two simple pages apart.
struct Kind {
  const char* name;
  CLCLogPage& (*page)(CLogCenterUIHandler&);
  UINT start, end, host, keyword, search, pickHost;
  const wchar_t* title;  // of the host picker
  const wchar_t* table;
  const wchar_t* noRows;
};

const Kind kKinds[] = {
    {"HIPS", [](CLogCenterUIHandler& a) -> CLCLogPage& { return a.HIPSLog()->Page(); },
     CLCHIPSLogUIHandler::kStartEdit, CLCHIPSLogUIHandler::kEndEdit, CLCHIPSLogUIHandler::kHostEdit,
     CLCHIPSLogUIHandler::kKeywordEdit, CLCHIPSLogUIHandler::kItemSearch, CLCHIPSLogUIHandler::kItemPickHost,
     L"注册表监测日志", L"HIPSLog", L"暂时没有此主机的主动监测日志"},
    {"system", [](CLogCenterUIHandler& a) -> CLCLogPage& { return a.SystemLog()->Page(); },
     CLCSystemLogUIHandler::kStartEdit, CLCSystemLogUIHandler::kEndEdit, CLCSystemLogUIHandler::kHostEdit,
     CLCSystemLogUIHandler::kKeywordEdit, CLCSystemLogUIHandler::kItemSearch, CLCSystemLogUIHandler::kItemPickHost,
     L"系统日志", L"SystemLog", L"暂时没有此主机的系统日志"},
};

using LogPages = LogCenterPageHost;

std::wstring FieldText(CLCLogPage& page, UINT id) {
  wchar_t text[64] = {};
  ::GetWindowTextW(page.Field(id), text, 64);
  return text;
}

TEST_F(LogPages, APickedHostShowsItsNameElseItsAddressAndOnlyOkChangesIt) {
  AddClient(L"10.0.0.1", L"主机甲", L"001A2B3C4D5E");
  AddClient(L"10.0.0.2", L"", L"");
  for (const Kind& kind : kKinds) {
    SCOPED_TRACE(kind.name);
    Run([&](UiDialogDriver& d, CLogCenterUIHandler& area) {
      CLCLogPage& page = kind.page(area);
      const struct {
        const wchar_t *pick, *checked, *address, *shown;
      } steps[] = {
          {L"主机甲", nullptr, L"10.0.0.1", L"主机甲"},
          {L"10.0.0.2", L"主机甲", L"10.0.0.2", L"10.0.0.2"},  // a host without a name
          {nullptr, L"10.0.0.2", L"10.0.0.2", L"10.0.0.2"},    // cancelled
      };
      for (const auto& step : steps) {
        ExpectHostPicker(step.pick, step.checked);
        Command(d.Frame(), kind.pickHost);
        EXPECT_EQ(step.shown, FieldText(page, kind.host));
        EXPECT_EQ(step.address, page.HostAddress());
      }
      page.TakeHost(L"10.0.0.3");  // no longer a host
      EXPECT_EQ(L"10.0.0.3", FieldText(page, kind.host));
      ASSERT_EQ(1, Exec(link, L"alter table Client rename to ClientGone"));
      script.ExpectBox(L"错误信息：", IDOK);
      page.TakeHost(L"10.0.0.1");
      EXPECT_EQ(L"10.0.0.3", FieldText(page, kind.host));
      EXPECT_EQ(L"10.0.0.3", page.HostAddress());
      ASSERT_EQ(1, Exec(link, L"alter table ClientGone rename to Client"));
    });
    EXPECT_EQ(kind.title, script.Dialogs().back());
  }
}

TEST_F(LogPages, TheKeywordNarrowsTheListAndAnEmptyListIsTold) {
  for (const Kind& kind : kKinds) {
    AddLog(kind.table, L"10.0.0.1", L"服务启动", L"服务 Spooler 已启动", L"2024-03-05 08:00:00");
    AddLog(kind.table, L"10.0.0.1", L"登录失败", L"用户 O'Brien 登录失败", L"2024-03-05 23:59:59");
    AddLog(kind.table, L"10.0.0.1", L"登录失败", L"次日", L"2024-03-06 00:00:00");
    AddLog(kind.table, L"10.0.0.2", L"登录失败", L"另一主机 登录失败", L"2024-03-05 09:00:00");
  }
  const struct {
    const wchar_t* keyword;
    Rows listed;  // time, type, content
  } rows[] = {
      {L"", {{L"2024-03-05 08:00:00", L"服务启动", L"服务 Spooler 已启动"},
             {L"2024-03-05 23:59:59", L"登录失败", L"用户 O'Brien 登录失败"}}},
      {L"O'Brien", {{L"2024-03-05 23:59:59", L"登录失败", L"用户 O'Brien 登录失败"}}},
      {L"100%", {}},
  };
  for (const Kind& kind : kKinds) {
    for (const auto& row : rows) {
      SCOPED_TRACE(testing::Message() << kind.name << " " << testing::PrintToString(std::wstring(row.keyword)));
      Run([&](UiDialogDriver& d, CLogCenterUIHandler& area) {
        CLCLogPage& page = kind.page(area);
        SetField(page, kind.start, L"2024-03-05 00:00:00");
        SetField(page, kind.end, L"2024-03-05 00:00:00");
        SetField(page, kind.keyword, row.keyword);
        page.TakeHost(L"10.0.0.1");
        if (row.listed.empty()) script.ExpectBox(kind.noRows, IDOK);
        Command(d.Frame(), kind.search);
        Rows listed = Cells(page, 3);
        std::sort(listed.begin(), listed.end());
        EXPECT_EQ(row.listed, listed);
      });
    }
  }
}

TEST_F(LogPages, EachSearchButtonReachesItsOwnPage) {
  // Only the HIPS page has a start day: each page asks for what it lacks.
  const struct {
    UINT search;
    const wchar_t* prompt;
  } rows[] = {{CLCAuditLogUIHandler::kItemSearch, L"请选择开始时间"},
              {CLCHIPSLogUIHandler::kItemSearch, L"请输入结束时间"},
              {CLCSystemLogUIHandler::kItemSearch, L"请输入开始时间"}};
  Run([&](UiDialogDriver& d, CLogCenterUIHandler& area) {
    SetField(area.HIPSLog()->Page(), CLCHIPSLogUIHandler::kStartEdit, L"2024-03-05 00:00:00");
    for (const auto& row : rows) {
      SCOPED_TRACE(row.search);
      script.ExpectBox(row.prompt, IDOK);
      Command(d.Frame(), row.search);
      EXPECT_EQ(0u, script.Remaining());
    }
  });
}

TEST_F(LogPages, TheDatePickerWritesTheChosenDayOnlyOnOk) {
  const struct {
    UINT button;
    CLCLogPage& (*page)(CLogCenterUIHandler&);
    UINT field;
    SYSTEMTIME day;
    UINT close;
    const wchar_t* text;
  } rows[] = {
      {CLCAuditLogUIHandler::kItemPickStart, [](CLogCenterUIHandler& a) -> CLCLogPage& { return a.AuditLog()->Page(); },
       CLCAuditLogUIHandler::kStartEdit, {2014, 3, 0, 5, 0, 0, 0, 0}, CLCCalendarDlg::kItemOK, L"2014-03-05 00:00:00"},
      {CLCHIPSLogUIHandler::kItemPickEnd, kKinds[0].page, CLCHIPSLogUIHandler::kEndEdit, {2014, 11, 0, 12, 0, 0, 0, 0},
       CLCCalendarDlg::kItemOK, L"2014-11-12 00:00:00"},
      {CLCSystemLogUIHandler::kItemPickStart, kKinds[1].page, CLCSystemLogUIHandler::kStartEdit, {2014, 11, 0, 12, 0, 0, 0, 0},
       CLCCalendarDlg::kItemCancel, L"2000-01-01 00:00:00"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.button);
    Run([&](UiDialogDriver& d, CLogCenterUIHandler& area) {
      CLCLogPage& page = row.page(area);
      SetField(page, row.field, L"2000-01-01 00:00:00");
      script.ExpectDialog([&](UiDialogDriver& picker) {
        HWND calendar = picker.Control(CLCCalendarDlg::kCalendar);
        ASSERT_NE(nullptr, calendar);
        EXPECT_TRUE(::GetWindowLongW(calendar, GWL_STYLE) & MCS_DAYSTATE);
        // Months whose day states nobody answers still show and can be chosen from.
        ::SendMessageW(calendar, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&row.day));
        ::UpdateWindow(calendar);
        SYSTEMTIME shown{};
        ::SendMessageW(calendar, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&shown));
        EXPECT_EQ(row.day.wMonth, shown.wMonth);
        EXPECT_TRUE(picker.Click(row.close));
      });
      Command(d.Frame(), row.button);
      EXPECT_EQ(row.text, FieldText(page, row.field));
    });
  }
  EXPECT_EQ(L"选择查询时间", script.Dialogs()[1]);
}

}  // namespace
