// The change overview on a real database: its counters and the newest events.
#include <gtest/gtest.h>

#include <memory>

#include "platform/TextConv.h"
#include "support/IntegrityPageHost.h"
#include "support/RefusedAllocations.h"

namespace {

class ChangeOverview : public IntegrityPageHost {
 protected:
  CQvChangeMointoringUIHandler& Page() { return *Area().ChangeMonitoring(); }
  // count events in the table, all with this action (HIPSLog only).
  void Events(const wchar_t* table, int count, const wchar_t* action = L"允许") {
    std::wstring sql = std::wstring(L"insert into ") + table + L" (LogHostIp, LogStyle, LogContent, LogTime" +
                       (wcscmp(table, L"HIPSLog") ? L")" : L", HIPSAction)") +
                       L" with recursive n(x) as (select 1 union all select x + 1 from n where x < ?) select "
                       L"'10.0.0.1', '修改', '内容', '2020-01-01 00:00:00'" +
                       (wcscmp(table, L"HIPSLog") ? L"" : L", ?") + L" from n";
    if (!count) return;
    ASSERT_TRUE(wcscmp(table, L"HIPSLog") ? qvtest::Exec(link, sql.c_str(), {count})
                                          : qvtest::Exec(link, sql.c_str(), {count, action}));
  }
  void Event(const wchar_t* ip, const wchar_t* content, const wchar_t* time) {
    ASSERT_TRUE(qvtest::Exec(link, L"insert into HIPSLog (LogHostIp, LogStyle, LogContent, LogTime, HIPSAction) "
                             L"values (?, '修改', ?, ?, '允许')", {ip, content, time}));
  }
  std::wstring Row(int row) {
    std::wstring cells;
    for (int column = 0; column < 5; ++column) cells += Page().Grid().GetItemText(row, column) + L"|";
    return cells;
  }
};

TEST_F(ChangeOverview, CountersCountEachTableOnceAndTheRefusalsByTheirChineseAction) {
  const struct {
    int audit, hips, refused, targets;
    const wchar_t *changes, *rows, *refusals;
  } rows[] = {
      {0, 0, 0, 0, L"    0   ", L"0", L"       0"},
      {100, 17, 3, 3, L"   120  ", L"3", L"       3"},
  };
  Run([&] {
    for (const auto& r : rows) {
      SCOPED_TRACE(r.changes);
      for (const wchar_t* table : {L"AuditLog", L"HIPSLog", L"StrategyTable"})
        qvtest::Exec(link, (std::wstring(L"delete from ") + table).c_str());
      Events(L"AuditLog", r.audit);
      Events(L"HIPSLog", r.hips);
      Events(L"HIPSLog", r.refused, L"拒绝");
      for (int i = 0; i < r.targets; ++i) AddTarget(L"三个目标", 0, 1, 0, std::to_wstring(i).c_str());
      Page().RefreshCounters();
      EXPECT_EQ(r.changes, driver->ItemText(162));
      EXPECT_EQ(r.rows, driver->ItemText(161));
      EXPECT_EQ(r.refusals, driver->ItemText(163));
    }
  });
  const struct {
    int count;
    const wchar_t* text;
  } centred[] = {{7, L"    7   "}, {12345678, L"12345678"}, {123456789, L" 123456789"}};
  for (const auto& c : centred) EXPECT_EQ(c.text, CQvChangeMointoringUIHandler::CentredCount(c.count));
}

// A count that cannot be read is said so, as a list that cannot be, and shows as
// unknown rather than as 0 or as the count of an earlier visit; the others show.
TEST_F(ChangeOverview, ACountThatCannotBeReadIsSaidSoAndShownAsUnknown) {
  Events(L"AuditLog", 5);
  AddTarget(L"策略");
  Run([&] {
    EXPECT_EQ(L"    5   ", driver->ItemText(162));
    ASSERT_TRUE(qvtest::Exec(link, L"alter table AuditLog rename to AuditLogAway"));
    script.ExpectBox(L"读取变化统计失败：");
    Page().RefreshCounters();
    ASSERT_EQ(0u, script.Remaining());
    EXPECT_NE(std::wstring::npos, script.Boxes().back().text.find(L"AuditLog")) << qv::WideToUtf8(script.Boxes().back().text);
    EXPECT_EQ(L"--", driver->ItemText(162));
    EXPECT_EQ(L"1", driver->ItemText(161));
  });
}

TEST_F(ChangeOverview, TheTenNewestEventsAreReloadedOnlyWhenANewerOneCame) {
  ASSERT_TRUE(qvtest::Exec(link, L"insert into Client (IP, Name) values ('10.0.0.1', '主机甲')"));
  for (int i = 1; i <= 12; ++i)
    Event(i == 12 ? L"10.0.0.9" : L"10.0.0.1", std::to_wstring(i).c_str(),
          (L"2026-01-01 00:00:" + std::to_wstring(10 + i)).c_str());
  Run([&] {
    ASSERT_EQ(10, Page().Grid().GetItemCount());
    EXPECT_EQ(L"10.0.0.9||修改|12|2026-01-01 00:00:22|", Row(0));
    EXPECT_EQ(L"10.0.0.1|主机甲|修改|3|2026-01-01 00:00:13|", Row(9));
    Event(L"10.0.0.1", L"同一秒", L"2026-01-01 00:00:22.000");  // the same second, written with a fraction
    Page().RefreshCounters();
    EXPECT_EQ(L"12", Page().Grid().GetItemText(0, 3));
    Event(L"10.0.0.1", L"更新", L"2026-01-01 00:00:23");
    Page().RefreshCounters();
    EXPECT_EQ(L"更新", Page().Grid().GetItemText(0, 3));
    EXPECT_EQ(10, Page().Grid().GetItemCount());
  });
}

// The newest events read before a failing one would pass for all of them; what cannot be
// read (the newest time, or the events) is said, and read again on the user's next visit
// to the tab, with or without a newer event.
TEST_F(ChangeOverview, NewestEventsThatCannotBeReadAreSaidSoAndReadAgainOnTheNextVisit) {
  for (int i = 1; i <= 5; ++i)
    Event(L"10.0.0.1", std::to_wstring(i).c_str(), (L"2026-01-01 00:00:" + std::to_wstring(10 + i)).c_str());
  const struct {
    const wchar_t* column;  // fails on the event "3"
    int shownWhileBroken;   // an unknown newest time keeps the list
  } rows[] = {{L"LogTime", 5}, {L"LogContent", 0}};
  Run([&] {
    ASSERT_EQ(5, Page().Grid().GetItemCount());
    int second = 24;
    for (const auto& row : rows) {
      SCOPED_TRACE(qv::WideToUtf8(row.column));
      std::wstring error;
      ASSERT_TRUE(qvtest::FailRowsWhen(link, L"HIPSLog", row.column, L"LogContent = '3'", &error));
      const std::wstring time = L"2026-01-01 00:00:" + std::to_wstring(second++);
      ASSERT_TRUE(qvtest::Exec(link, L"insert into HIPSLogRows (LogHostIp, LogStyle, LogContent, LogTime, HIPSAction) "
                                     L"values ('10.0.0.1', '修改', '更新', ?, '允许')", {time.c_str()}));
      const size_t boxes = script.Boxes().size();
      script.ExpectBox(L"读取最新主动监测事件失败：");
      ShowPage(CQuorvaneUIHandler::kTabStrategies);
      ShowPage(CQuorvaneUIHandler::kTabChangeMonitoring);
      EXPECT_EQ(0u, script.Remaining());
      ASSERT_EQ(boxes + 1, script.Boxes().size());
      EXPECT_EQ(L"错误", script.Boxes().back().caption);
      EXPECT_EQ(row.shownWhileBroken, Page().Grid().GetItemCount());

      ASSERT_TRUE(qvtest::Exec(link, L"drop view HIPSLog") &&
                  qvtest::Exec(link, L"alter table HIPSLogRows rename to HIPSLog"));
      ShowPage(CQuorvaneUIHandler::kTabStrategies);
      ShowPage(CQuorvaneUIHandler::kTabChangeMonitoring);
      EXPECT_EQ(boxes + 1, script.Boxes().size());
      ASSERT_LE(1, Page().Grid().GetItemCount());
      EXPECT_EQ(time, Page().Grid().GetItemText(0, 4));
    }
    EXPECT_EQ(7, Page().Grid().GetItemCount());
  });
}

// A grid that cannot take another of the newest events shows none of them, says so, and
// the next visit reads them again.
TEST_F(ChangeOverview, NewestEventsTheGridCannotTakeAreSaidSoAndReadAgainOnTheNextVisit) {
  Run([&] {
    ShowPage(CQuorvaneUIHandler::kTabStrategies);
    for (int i = 1; i <= 3; ++i)
      Event(L"10.0.0.1", std::to_wstring(i).c_str(), (L"2026-01-01 00:00:" + std::to_wstring(10 + i)).c_str());
    auto refuse = std::make_unique<qvtest::RefuseAllocations>(qvtest::GridRowBytes(5), 1);
    script.ExpectBox(L"读取最新主动监测事件失败：内存不足");
    ShowPage(CQuorvaneUIHandler::kTabChangeMonitoring);
    EXPECT_EQ(1, refuse->Refused());
    refuse.reset();
    EXPECT_EQ(0, Page().Grid().GetItemCount());
    ShowPage(CQuorvaneUIHandler::kTabStrategies);
    ShowPage(CQuorvaneUIHandler::kTabChangeMonitoring);
    EXPECT_EQ(3, Page().Grid().GetItemCount());
  });
  ASSERT_EQ(1u, script.Boxes().size());
  EXPECT_EQ(L"错误", script.Boxes().back().caption);
}

}  // namespace
