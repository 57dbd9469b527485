// The audit log page in the running main window over a real database: its prompts,
// the type question, what a query lists, what a failed one says, and the detail window
// of a listed entry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/CListNotify.h"
#include "logcenter/CLCAuditLogDetailDlg.h"
#include "support/LogCenterPageHost.h"

using namespace qvtest;

namespace {

using Page = CLCAuditLogUIHandler;
using Rows = std::vector<std::vector<std::wstring>>;
const wchar_t kHost[] = L"10.0.0.1";
const wchar_t kAskAll[] = L"是否查看全部日志?";

class AuditPage : public LogCenterPageHost {
 protected:
  // Dates and host as the pickers leave them.
  static void Filter(CLCAuditLogUIHandler& audit, const wchar_t* start, const wchar_t* end, const wchar_t* host) {
    SetField(audit.Page(), Page::kStartEdit, start);
    SetField(audit.Page(), Page::kEndEdit, end);
    if (*host) audit.Page().TakeHost(host);
  }
  // The detail window of a row, as a click on its icon opens it; its text by lines.
  std::vector<std::wstring> Detail(CLCAuditLogUIHandler& audit, int row) {
    std::vector<std::wstring> lines;
    script.ExpectDialog([&](UiDialogDriver& d) {
      std::wstring text = RichText(d.Control(CLCAuditLogDetailDlg::kText));
      size_t start = 0;
      for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == L'\r' || text[i] == L'\n') {
          if (i == text.size() && start == i) break;
          lines.push_back(text.substr(start, i - start));
          if (i + 1 < text.size() && text[i] == L'\r' && text[i + 1] == L'\n') ++i;
          start = i + 1;
        }
      }
      EXPECT_TRUE(d.Click(CLCAuditLogDetailDlg::kItemExit));
    });
    audit.Page().GetGrid().NotifyParent(row, Page::kDetailColumn, LIST_NOTIFY_CELLCLICKED);
    return lines;
  }
};

TEST_F(AuditPage, MissingFieldsAreAskedForInOrder) {
  const struct {
    const wchar_t *start, *end, *host, *prompt;
  } rows[] = {
      {L"", L"2024-03-01 00:00:00", kHost, L"请选择开始时间"},
      {L"2024-03-01 00:00:00", L"", kHost, L"请选择结束时间"},
      {L"2024-03-01 00:00:00", L"2024-03-01 00:00:00", L"", L"请选择主机名"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.prompt);
    Run([&](UiDialogDriver& d, CLogCenterUIHandler& area) {
      Filter(*area.AuditLog(), row.start, row.end, row.host);
      script.ExpectBox(row.prompt, IDOK);
      Command(d.Frame(), Page::kItemSearch);
    });
    ASSERT_FALSE(script.Boxes().empty());
    EXPECT_EQ(L"提示", script.Boxes().back().caption);
    EXPECT_EQ(0u, script.Boxes().back().style);
  }
}

TEST_F(AuditPage, TypesNarrowTheListAndNoTypeAsksFirst) {
  AddStrategy(L"策略甲", L"S1");
  AddAudit(kHost, L"文件审计", L"C:\\a.txt", L"2024-03-01 08:00:00", L"", L"S1");
  AddAudit(kHost, L"注册表审计", L"HKLM\\Run", L"2024-03-01 09:00:00", L"", L"S1");
  AddAudit(L"10.0.0.2", L"文件审计", L"C:\\other.txt", L"2024-03-01 08:00:00", L"", L"S1");
  const struct {
    int type;      // combo item, -1 none
    int answer;    // to the question about all types, 0 when none is asked
    const wchar_t* notice;  // no rows
    Rows listed;
  } rows[] = {
      {0, 0, nullptr, {{L"策略甲", L"文件审计", L"C:\\a.txt"}}},
      {2, 0, nullptr, {{L"策略甲", L"注册表审计", L"HKLM\\Run"}}},
      {4, 0, L"暂时没有此主机的 系统账号审计 日志", {}},
      {-1, IDOK, nullptr, {{L"策略甲", L"文件审计", L"C:\\a.txt"}, {L"策略甲", L"注册表审计", L"HKLM\\Run"}}},
      {8, IDOK, nullptr, {{L"策略甲", L"文件审计", L"C:\\a.txt"}, {L"策略甲", L"注册表审计", L"HKLM\\Run"}}},
      {8, IDCANCEL, nullptr, {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.type);
    Run([&](UiDialogDriver& d, CLogCenterUIHandler& area) {
      Filter(*area.AuditLog(), L"2024-03-01 00:00:00", L"2024-03-01 00:00:00", kHost);
      area.AuditLog()->TypeList().SetCurSel(row.type);
      if (row.answer) script.ExpectBox(kAskAll, row.answer);
      if (row.notice) script.ExpectBox(row.notice, IDOK);
      Command(d.Frame(), Page::kItemSearch);
      Rows listed = Cells(area.AuditLog()->Page(), 3);
      std::sort(listed.begin(), listed.end());
      EXPECT_EQ(row.listed, listed);
    });
    if (row.answer) {
      EXPECT_EQ(UINT(MB_OKCANCEL), script.Boxes().back().style);
    }
  }
}

TEST_F(AuditPage, AnEntryIsListedOncePerStrategyName) {
  // One strategy with three targets, under two names since a rename.
  AddStrategy(L"策略甲", L"S1");
  AddStrategy(L"策略甲", L"S1");
  AddStrategy(L"策略乙", L"S1");
  AddAudit(kHost, L"文件审计", L"C:\\a.txt", L"2024-03-01 08:00:00", L"", L"S1");
  Run([&](UiDialogDriver& d, CLogCenterUIHandler& area) {
    Filter(*area.AuditLog(), L"2024-03-01 00:00:00", L"2024-03-01 00:00:00", kHost);
    area.AuditLog()->TypeList().SetCurSel(0);
    Command(d.Frame(), Page::kItemSearch);
    Rows listed = Cells(area.AuditLog()->Page(), 3);
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ((Rows{{L"策略乙", L"文件审计", L"C:\\a.txt"}, {L"策略甲", L"文件审计", L"C:\\a.txt"}}), listed);
  });
}

TEST_F(AuditPage, TheLastDayIsListedWholeAndTheNextMidnightIsNot) {
  AddStrategy(L"策略甲", L"S1");
  for (const wchar_t* time : {L"2024-02-28 23:59:59", L"2024-02-29 00:00:00", L"2024-02-29 23:59:59",
                              L"2024-03-01 00:00:00", L"2023-12-31 23:59:59", L"2024-01-01 00:00:00"})
    AddAudit(kHost, L"文件审计", time, time, L"", L"S1");
  const struct {
    const wchar_t *start, *end;
    std::vector<std::wstring> listed;
  } rows[] = {
      {L"2024-02-29 00:00:00", L"2024-02-29 00:00:00", {L"2024-02-29 00:00:00", L"2024-02-29 23:59:59"}},
      {L"2023-12-31 00:00:00", L"2023-12-31 00:00:00", {L"2023-12-31 23:59:59"}},
      {L"2024-02-28 00:00:00", L"2024-02-29 00:00:00",
       {L"2024-02-28 23:59:59", L"2024-02-29 00:00:00", L"2024-02-29 23:59:59"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.start);
    Run([&](UiDialogDriver& d, CLogCenterUIHandler& area) {
      Filter(*area.AuditLog(), row.start, row.end, kHost);
      area.AuditLog()->TypeList().SetCurSel(0);
      Command(d.Frame(), Page::kItemSearch);
      std::vector<std::wstring> listed;
      for (const auto& cells : Cells(area.AuditLog()->Page(), 3)) listed.push_back(cells[2]);
      std::sort(listed.begin(), listed.end());
      EXPECT_EQ(row.listed, listed);
    });
  }
}

TEST_F(AuditPage, AFailedStatementSaysWhyInsteadOfFindingNothing) {
  ASSERT_EQ(1, Exec(link, L"alter table AuditLog rename to AuditLogGone"));
  Run([&](UiDialogDriver& d, CLogCenterUIHandler& area) {
    Filter(*area.AuditLog(), L"2024-03-01 00:00:00", L"2024-03-01 00:00:00", kHost);
    area.AuditLog()->TypeList().SetCurSel(0);
    script.ExpectBox(L"错误信息：", IDOK);
    Command(d.Frame(), Page::kItemSearch);
  });
  ASSERT_EQ(1u, script.Boxes().size());
  EXPECT_EQ(L"错误", script.Boxes()[0].caption);
  EXPECT_EQ(UINT(MB_ICONHAND), script.Boxes()[0].style);
  EXPECT_NE(std::wstring::npos, script.Boxes()[0].text.find(L"AuditLog"));
}

TEST_F(AuditPage, DetailShowsTheLatestEntryOfTheListedQuery) {
  AddClient(kHost, L"主机甲", L"001A2B3C4D5E");
  AddClient(L"10.0.0.2", L"", L"00-1A");
  AddStrategy(L"策略甲", L"S1");
  const wchar_t* details[] = {L"无分隔", L"一|二|三", L"一|二|三|四|五", L"a|b"};
  const wchar_t* hosts[] = {kHost, kHost, kHost, L"10.0.0.2"};
  for (int i = 0; i < 4; ++i) {
    const std::wstring content = L"C:\\" + std::to_wstring(i) + L".txt";
    AddAudit(hosts[i], L"文件审计", content.c_str(), L"2024-03-01 08:00:00", L"较早的细节", L"S1");
    AddAudit(hosts[i], L"文件审计", content.c_str(), L"2024-03-01 09:30:00", details[i], L"S1");
    AddAudit(hosts[i], L"注册表审计", content.c_str(), L"2024-03-01 10:00:00", L"另一类型", L"S1");
  }
  const struct {
    int entry;
    const wchar_t *host, *third, *rest;
  } rows[] = {
      {0, L"主机甲 IP:10.0.0.1 MAC:00-1A-2B-3C-4D-5E", L"", L"2024-03-01 09:30:00  无分隔  详情"},
      {1, L"主机甲 IP:10.0.0.1 MAC:00-1A-2B-3C-4D-5E", L"", L"三  详情"},
      {2, L"主机甲 IP:10.0.0.1 MAC:00-1A-2B-3C-4D-5E", L"三", L"四|五  详情"},
      {3, L"IP:10.0.0.2 MAC:00-1A", L"", L"b  详情"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.entry);
    Run([&](UiDialogDriver& d, CLogCenterUIHandler& area) {
      CLCAuditLogUIHandler& audit = *area.AuditLog();
      Filter(audit, L"2024-03-01 00:00:00", L"2024-03-01 00:00:00", hosts[row.entry]);
      audit.TypeList().SetCurSel(0);
      Command(d.Frame(), Page::kItemSearch);
      // What the fields say now is not what listed the rows.
      Filter(audit, L"2024-03-02 00:00:00", L"2024-03-02 00:00:00", L"10.0.0.3");
      const std::wstring content = L"C:\\" + std::to_wstring(row.entry) + L".txt";
      int found = -1;
      for (int i = 0; i < audit.Page().GetGrid().GetItemCount(); ++i)
        if (audit.Page().GetGrid().GetItemText(i, 2) == content) found = i;
      ASSERT_GE(found, 0);
      const std::vector<std::wstring> lines = Detail(audit, found);
      ASSERT_GE(lines.size(), 8u);
      const std::vector<std::wstring> expected = {
          L"策略名称:策略甲", std::wstring(L"主机名称:") + row.host + (row.entry == 3 ? L"" : L""),
          L"日志类型:文件审计", L"审记对象:" + content, L"", L"审计详细:", L"          " + std::wstring(row.third),
          row.rest};
      EXPECT_EQ(expected, std::vector<std::wstring>(lines.begin(), lines.begin() + 8));
    });
  }
}

TEST(AuditDetail, FieldsSplitAtTheBars) {
  const struct {
    const wchar_t *detail, *third, *rest;
  } rows[] = {{L"", L"", L""},           {L"全文", L"", L"全文"},          {L"a|b", L"", L"b"},
              {L"a|b|c", L"", L"c"},     {L"a|b|c|d", L"c", L"d"},        {L"|||", L"", L""},
              {L"a|b|c|d|e", L"c", L"d|e"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.detail);
    std::wstring third, rest;
    CLCAuditLogDetailDlg::SplitDetail(row.detail, third, rest);
    EXPECT_EQ(row.third, third);
    EXPECT_EQ(row.rest, rest);
  }
}

}  // namespace
