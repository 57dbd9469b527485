// The integrity area's host and its strategy page in a real main window, on a real
// database, talking to a loopback peer or the service stand-in.
#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "console/AgentLinkPayloadInfo.h"
#include "console/LocalClock.h"
#include "console/SQLStatement.h"
#include "platform/TextConv.h"
#include "qvservice/CQvService.h"
#include "support/ConnectionWatch.h"
#include "support/IntegrityPageHost.h"
#include "support/RefusedAllocations.h"

namespace {

// The largest block operator new gave while the window handled a message: its
// procedure is wrapped for as long as this lives.
class LargestWhileHandling {
 public:
  LargestWhileHandling(HWND window, UINT message) : window_(window) {
    s_message = message;
    s_largest = 0;
    s_next = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
  }
  ~LargestWhileHandling() { ::SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s_next)); }
  LargestWhileHandling(const LargestWhileHandling&) = delete;
  LargestWhileHandling& operator=(const LargestWhileHandling&) = delete;
  size_t Largest() const { return s_largest; }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != s_message) return ::CallWindowProcW(s_next, window, message, wParam, lParam);
    qvtest::WatchAllocations watch;
    const LRESULT result = ::CallWindowProcW(s_next, window, message, wParam, lParam);
    s_largest = std::max(s_largest, watch.Largest());
    return result;
  }
  static inline WNDPROC s_next = nullptr;
  static inline UINT s_message = 0;
  static inline size_t s_largest = 0;
  HWND window_;
};

class StrategyPage : public IntegrityPageHost {
 protected:
  // The next frame the peer got: its id, type and the name at the start of its payload.
  std::wstring NextFrame() {
    testenv::PeerFrame f;
    if (!peer.ReceiveFrame(&f, 5000) || f.payload.size() < 128) return L"none";
    return std::to_wstring(f.messageId) + L"/" + std::to_wstring(f.type) + L" " +
           reinterpret_cast<const wchar_t*>(f.payload.data());
  }
  // Nothing went to the service before a frame of the test's own.
  bool NothingSent() {
    g_agentLinkManager.SendOnChannel1(0, 9999, nullptr, 0);
    testenv::PeerFrame f;
    return peer.ReceiveFrame(&f, 5000) && f.messageId == 9999;
  }
  // The strategy page of a monthly strategy open, its link on the peer: the body gets
  // the log pane.
  void RunOnLogPane(const std::function<void(HWND)>& body) {
    AddTarget(L"月度策略");
    LocalClock::Fix clock(SYSTEMTIME{2024, 3, 6, 1, 9, 5, 7, 0});
    Run([&] {
      ASSERT_TRUE(peer.Accept(5000) && LinkConnected());
      ShowPage(CQuorvaneUIHandler::kTabStrategies);
      body(Area().StrategyGuard()->LogPane());
    });
  }
  // The log pane shows the start of its newest line (the pane does not wrap: a line is
  // a row).
  static bool NewestStartShown(HWND pane) {
    const LRESULT row = ::SendMessageW(pane, EM_GETLINECOUNT, 0, 0) - 2;  // the last one empty
    POINTL at{};
    ::SendMessageW(pane, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), ::SendMessageW(pane, EM_LINEINDEX, row, 0));
    RECT client{};
    ::GetClientRect(pane, &client);
    return at.x >= 0 && at.x < client.right && at.y >= 0 && at.y < client.bottom;
  }
};

TEST_F(StrategyPage, OneRowPerStrategyWithItsStatesInColourRefreshedOnlyOnTheAreasOwnPage) {
  const struct {
    const wchar_t* name;
    int taskMode, status, runStatus;
    const wchar_t* cells;  // mode, states and progress with their colours: green, blue, blue
  } rows[] = {
      {L"三个目标", 0, 1, 0, L"计划任务|计划中 65280|无 16711680|-- 16711680"},
      {L"单次", 3, 2, 1, L"单次任务|暂停计划 65280|运行中 16711680|-- 16711680"},
      {L"未知状态", 6, 5, 7, L"计划任务| 65280| 16711680|-- 16711680"},
  };
  for (const auto& r : rows) AddTarget(r.name, r.taskMode, r.status, r.runStatus);
  AddTarget(L"三个目标", 0, 1, 0, L"10.0.0.2");
  AddTarget(L"三个目标", 0, 1, 0, L"10.0.0.3");
  Run([&] {
    ASSERT_EQ(3, Grid().GetItemCount());
    for (const auto& r : rows) {
      const int row = RowOf(r.name);
      std::wstring cells = Cell(r.name, Page::kColMode);
      for (int column = Page::kColStatus; column <= Page::kColProgress; ++column) {
        COLORREF background = 0, text = 0;
        Grid().GetItemColours(row, column, background, text);
        cells += L"|" + Cell(r.name, column) + L" " + std::to_wstring(text);
      }
      EXPECT_EQ(r.cells, cells);
      EXPECT_EQ(UINT(ITEM_FORMAT_CHECKBOX), Grid().GetItemFormat(row, Page::kColName));
    }
    Click(CMainDlg::kItemIntegrity);
    AddTarget(L"后加的策略");
    ClickTab(CQuorvaneUIHandler::kTabCtrl, CQuorvaneUIHandler::kTabObjects);
    EXPECT_LT(RowOf(L"后加的策略"), 0);
    ClickTab(CQuorvaneUIHandler::kTabCtrl, CQuorvaneUIHandler::kTabStrategies);
    EXPECT_GE(RowOf(L"后加的策略"), 0);
    // A host-state message goes on along the main window's chain after the integrity pages.
    LRESULT result = 0;
    EXPECT_FALSE(Area().ProcessWindowMessage(frame, 1529, 0x0A01A8C0u, 0, result));
    wcscpy(g_dsnName, L"NoSuchSource");  // a database access now shows a box nobody expects
    for (int tab : {CQuorvaneUIHandler::kTabObjects, CQuorvaneUIHandler::kTabCopies}) {
      ClickTab(CQuorvaneUIHandler::kTabCtrl, tab);
      EXPECT_EQ(tab, AreaTabs()->GetCurSel());
    }
    Click(CMainDlg::kItemSystemManagement);  // the 364 of another area's layout now
    BOOL handled = FALSE;
    EXPECT_FALSE(TabChange(CQuorvaneUIHandler::kTabStrategies, &handled) || handled);
  });
}

// "运行策略" is offered by a checked row that does not run; clearing the last box leaves
// it as the checked rows left it, so a running strategy's row unticked offers nothing.
// The strategies read before a failing one would pass for all of them.
TEST_F(StrategyPage, AListThatFailsPartWayShowsNoStrategyAndSaysWhy) {
  for (const wchar_t* name : {L"甲", L"乙", L"丙", L"丁"}) AddTarget(name);
  std::wstring error;
  ASSERT_TRUE(qvtest::FailRowsWhen(link, L"StrategyTable", L"StrategyDescriptor", L"StrategyName = '丙'", &error));
  qvtest::ConnectionWatch watch(script);  // each told with nothing held
  script.ExpectBox(L"integer overflow");  // as the area loads
  Run([&] {
    EXPECT_EQ(0, Grid().GetItemCount());
    script.ExpectBox(L"integer overflow");  // read again as its tab is opened
    ShowPage(CQuorvaneUIHandler::kTabStrategies);
    EXPECT_EQ(0, Grid().GetItemCount());
  });
  ASSERT_EQ(2u, script.Boxes().size());
  for (const auto& box : script.Boxes()) EXPECT_EQ(0u, box.text.find(L"读取策略列表失败：")) << qv::WideToUtf8(box.text);
}

TEST_F(StrategyPage, ClearingTheLastBoxLeavesRunAsTheCheckedRowsLeftIt) {
  AddTarget(L"甲");
  AddTarget(L"乙");
  Run([&] {
    ShowPage(CQuorvaneUIHandler::kTabStrategies);
    ClickCheck(RowOf(L"甲"));
    ASSERT_TRUE(peer.Accept(5000) && LinkConnected());
    std::vector<unsigned char> record(132, 0);
    record[0] = 1;
    std::memcpy(&record[4], L"甲", 2);
    ASSERT_TRUE(peer.SendFrame(1, 0, 1546, record.data(), 6));  // the name ends with the payload
    ASSERT_TRUE(testenv::PumpUntil([&] { return Cell(L"甲", Page::kColRunStatus) == L"运行中"; }, 5000));
    const struct { const wchar_t* click; bool run; } steps[] = {
        {L"乙", false}, {L"甲", true}, {L"乙", true}, {L"甲", false}, {L"甲", false}};
    for (const auto& step : steps) {
      SCOPED_TRACE(testing::PrintToString(std::wstring(step.click)));
      ClickCheck(RowOf(step.click));
      EXPECT_EQ(step.run, main->IsItemEnabled(Page::kItemRun) != FALSE);
    }
  });
}

TEST_F(StrategyPage, WithTheLinkDownCommandsTellTheUserAndChangeNothing) {
  AddTarget(L"甲");
  testenv::LoopbackPeer refusing(0, false);
  Run([&] {
    ASSERT_TRUE(testenv::PumpUntil([] { return !g_agentLinkManager.Link()->IsConnecting(); }, 5000));
    ShowPage(CQuorvaneUIHandler::kTabStrategies);
    Check(L"甲");
    ClickRow(L"甲");
    for (UINT item : {Page::kItemDelete, Page::kItemRun, Page::kItemPauseResume, Page::kItemStop}) {
      if (item == Page::kItemDelete) script.ExpectBox(L"确定要删除", IDYES);
      script.ExpectBox(L"与监测服务的连接已断开，命令未发送！");
      if (item == Page::kItemStop)
        Command(item);  // no element in the layout
      else
        Click(item);
      EXPECT_EQ(L"错误", script.Boxes().back().caption);
      EXPECT_EQ(L"计划中无", Cell(L"甲", Page::kColStatus) + Cell(L"甲", Page::kColRunStatus)) << item;
      EXPECT_TRUE(Table(L"甲") == 1 && Table(L"甲", true) == 1) << item;
    }
  }, refusing.Port());
}

// 删除策略 and 暂停/恢复 write first, tell the service, then commit, and the grid shows the
// change only once it is committed: a write that fails sends nothing and shows nothing.
// A commit that fails after the send (another connection reading the table holds the
// lock it needs) says that the service has the change already; given again, it goes.
TEST_F(StrategyPage, DeleteAndPauseAreStoredBeforeTheServiceIsToldAndShownOnceCommitted) {
  for (const wchar_t* name : {L"甲", L"乙"}) AddTarget(name);
  ASSERT_TRUE(qvtest::Exec(link, L"create trigger keep before delete on StrategyTable when old.StrategyName = '甲' "
                                 L"begin select raise(abort, 'kept'); end"));
  ASSERT_TRUE(qvtest::Exec(link, L"create trigger frozen before update of Status on StrategyTable "
                                 L"when old.StrategyName = '甲' begin select raise(abort, 'frozen'); end"));
  Run([&] {
    ASSERT_TRUE(peer.Accept(5000) && LinkConnected());
    ClickCheck(RowOf(L"甲"));
    const struct {
      UINT item;
      const wchar_t* failure;
    } writes[] = {{Page::kItemDelete, L"kept"}, {Page::kItemPauseResume, L"frozen"}};
    for (const auto& w : writes) {
      SCOPED_TRACE(testing::PrintToString(std::wstring(w.failure)));
      if (w.item == Page::kItemDelete) script.ExpectBox(L"确定要删除这些策略吗？", IDYES);
      script.ExpectBox(w.failure);
      Click(w.item);
      EXPECT_EQ(0u, script.Remaining());
      EXPECT_EQ(0u, script.Boxes().back().text.find(L"错误信息："));
      EXPECT_TRUE(NothingSent());
      EXPECT_EQ(L"计划中", Cell(L"甲", Page::kColStatus));
      EXPECT_EQ(L"暂停计划", driver->ItemText(Page::kItemPauseResume));
      EXPECT_TRUE(Table(L"甲") == 1 && Table(L"甲", true) == 1);
    }

    ClickCheck(RowOf(L"甲"));  // off
    ClickCheck(RowOf(L"乙"));
    // A read stopped part-way holds its read lock (a transaction would take the write lock).
    SQLStatement* reading = qvtest::Prepare(link, L"select StrategyName from StrategyTable");
    ASSERT_TRUE(reading && reading->Fetch());
    for (UINT item : {Page::kItemPauseResume, Page::kItemDelete}) {
      SCOPED_TRACE(item);
      if (item == Page::kItemDelete) script.ExpectBox(L"确定要删除这些策略吗？", IDYES);
      script.ExpectBox(L"监测服务已收到此更改，但数据库未能保存。错误信息：");
      Click(item);
      EXPECT_EQ(0u, script.Remaining());
      EXPECT_EQ(item == Page::kItemDelete ? L"1550/3 乙" : L"1547/3 乙", NextFrame());
      EXPECT_EQ(L"计划中", Cell(L"乙", Page::kColStatus));
    }
    link.ReleaseStatements();
    EXPECT_TRUE(Table(L"乙") == 1 && Table(L"乙", true) == 1);

    Click(Page::kItemPauseResume);
    EXPECT_EQ(L"1547/3 乙", NextFrame());
    EXPECT_EQ(L"暂停计划", Cell(L"乙", Page::kColStatus));
    EXPECT_EQ(2, Table(L"乙", true));
    script.ExpectBox(L"确定要删除这些策略吗？", IDYES);
    Click(Page::kItemDelete);
    EXPECT_EQ(L"1550/3 乙", NextFrame());
    EXPECT_TRUE(RowOf(L"乙") < 0 && Table(L"乙") == 0 && Table() == 1);
  });
}

// Another console deletes the strategy the page still shows, and may store a new one of
// its name: each command on the row still showing the old one sends nothing, changes
// nothing, says that it no longer exists and shows the list as it now is; the other
// checked strategy is still acted on. So too on a database that does not count the rows
// a change found (SQL Server under NOCOUNT). Strategies without an id of their own are
// found by name.
TEST_F(StrategyPage, ACommandOnAStrategyAnotherConsoleDeletedSendsNothingAndSaysSo) {
  const struct {
    UINT item;
    const wchar_t* sentForOther;  // the frame of the strategy still there, if any
  } commands[] = {{Page::kItemDelete, L"1550/3 乙"},
                  {Page::kItemPauseResume, L"1547/3 乙"},
                  {Page::kItemRun, L"1546/3 乙"},
                  {Page::kItemStop, L"1548/3 乙"}};
  const wchar_t kOwn[] = L"20260101000000001";
  const struct {
    bool counted;
    const wchar_t *id, *renewed;  // 甲's id, and that of the 甲 another console stores after
  } cases[] = {{true, L"1", nullptr}, {false, L"1", nullptr}, {true, kOwn, nullptr},
               {true, kOwn, L"20260101000000002"}, {false, kOwn, L"20260101000000002"}};
  for (const auto& c : commands) {
    for (const auto& k : cases) {
      SCOPED_TRACE(testing::Message() << c.item << (k.counted ? " counted " : " uncounted ") << qv::WideToUtf8(k.id)
                                      << (k.renewed ? " renewed" : ""));
      SQLStatement::DriverStandIn uncounting;
      uncounting.countsWithheld = !k.counted;
      DatabaseTest::SetUp();
      AddTarget(L"甲", 0, 1, 0, L"1", k.id);
      AddTarget(L"乙", 0, 1, 0, L"1", L"20260101000000003");
      Run([&] {
        ASSERT_TRUE(peer.Accept(5000) && LinkConnected());
        ClickCheck(RowOf(L"甲"));
        ClickCheck(RowOf(L"乙"));
        ASSERT_TRUE(qvtest::Exec(link, L"delete from StrategyTable where StrategyName = ?", {L"甲"}));
        if (k.renewed) AddTarget(L"甲", 0, 1, 0, L"1", k.renewed);
        if (c.item == Page::kItemDelete) script.ExpectBox(L"确定要删除这些策略吗？", IDYES);
        script.ExpectBox(L"该记录已被删除，列表将重新读取。");
        if (c.item == Page::kItemStop)
          Command(c.item);  // no element in the layout
        else
          Click(c.item);
        EXPECT_EQ(0u, script.Remaining());
        EXPECT_EQ(L"提示", script.Boxes().back().caption);
        EXPECT_EQ(c.sentForOther, NextFrame());
        EXPECT_TRUE(NothingSent());
        if (k.renewed) {  // read again: the new one, as it is stored, unchecked
          ASSERT_LE(0, RowOf(L"甲"));
          EXPECT_EQ(k.renewed, Area().StrategyGuard()->StrategyIdOf(RowOf(L"甲")));
          EXPECT_EQ(0, Grid().GetItemCheck(RowOf(L"甲"), Page::kColName));
          EXPECT_TRUE(Table(L"甲") == 1 && Table(L"甲", true) == 1);
        } else {
          EXPECT_LT(RowOf(L"甲"), 0);
          EXPECT_EQ(0, Table(L"甲"));
        }
      });
    }
  }
}

// 暂停计划 toggles the strategy in the service, so it goes only when the stored state is
// the one the row shows: another console paused (or resumed) the strategy since this
// page read it, and pressing the button on the stale row sends nothing, writes nothing,
// says so and shows the list as it now is. The other checked strategy is still acted on.
// So too where the database does not count the rows the change found.
TEST_F(StrategyPage, PauseOrResumeOfAStrategyAnotherConsoleChangedSendsNothingAndSaysSo) {
  const struct {
    int shown, elsewhere;  // the stored Status the page read, and another console's
    const wchar_t* button;
  } cases[] = {{1, 2, L"暂停计划"}, {2, 1, L"恢复计划"}};
  for (const auto& c : cases) {
    for (bool counted : {true, false}) {
      SCOPED_TRACE(testing::Message() << c.shown << (counted ? " counted" : " uncounted"));
      SQLStatement::DriverStandIn uncounting;
      uncounting.countsWithheld = !counted;
      DatabaseTest::SetUp();
      AddTarget(L"甲", 0, c.shown);
      AddTarget(L"乙", 0, c.shown);
      Run([&] {
        ASSERT_TRUE(peer.Accept(5000) && LinkConnected());
        ClickCheck(RowOf(L"甲"));
        ClickCheck(RowOf(L"乙"));
        ASSERT_EQ(c.button, driver->ItemText(Page::kItemPauseResume));
        ASSERT_TRUE(qvtest::Exec(link, L"update StrategyTable set Status = ? where StrategyName = ?", {c.elsewhere, L"甲"}));
        script.ExpectBox(L"策略“甲”的状态已被其他控制台更改，命令未发送，列表将重新读取。");
        Click(Page::kItemPauseResume);
        ASSERT_EQ(0u, script.Remaining());
        EXPECT_EQ(L"提示", script.Boxes().back().caption);
        EXPECT_EQ(L"1547/3 乙", NextFrame());
        EXPECT_TRUE(NothingSent());
        EXPECT_EQ(c.elsewhere, Table(L"甲", true));
        EXPECT_EQ(c.elsewhere, Table(L"乙", true));
        const wchar_t* now = c.elsewhere == 1 ? L"计划中" : L"暂停计划";
        EXPECT_EQ(std::wstring(now) + now, Cell(L"甲", Page::kColStatus) + Cell(L"乙", Page::kColStatus));
      });
    }
  }
}

// 运行策略 sends each strategy with its type from the table: one whose type cannot be
// read is told and not sent, and the others go.
TEST_F(StrategyPage, RunTellsAStrategyWhoseTypeCannotBeReadAndSendsTheOthers) {
  for (const wchar_t* name : {L"甲", L"乙"}) AddTarget(name);
  Run([&] {
    ASSERT_TRUE(peer.Accept(5000) && LinkConnected());
    ClickCheck(RowOf(L"甲"));
    ClickCheck(RowOf(L"乙"));
    std::wstring error;
    ASSERT_TRUE(qvtest::FailRowsWhen(link, L"StrategyTable", L"StrategyType", L"StrategyName = '甲'", &error))
        << testing::PrintToString(error);
    script.ExpectBox(L"读取策略“甲”的类型失败：[SQLite]integer overflow");
    Click(Page::kItemRun);
    EXPECT_EQ(0u, script.Remaining());
    EXPECT_EQ(L"1546/3 乙", NextFrame());
    EXPECT_TRUE(NothingSent());
  });
}

TEST_F(StrategyPage, DeletePauseAndResumeFollowTheCheckedRowsAndAnswersAreReadOnlyAsDelivered) {
  for (const wchar_t* ip : {L"10.0.0.1", L"10.0.0.2", L"10.0.0.3"}) AddTarget(L"O'Brien的策略", 0, 1, 0, ip);
  AddTarget(L"计划的", 0, 1);
  AddTarget(L"暂停的", 0, 2);
  Run([&] {
    ASSERT_TRUE(peer.Accept(5000) && LinkConnected());
    ShowPage(CQuorvaneUIHandler::kTabStrategies);
    Check(L"O'Brien的策略");
    script.ExpectBox(L"确定要删除这些策略吗？", IDNO).ExpectBox(L"确定要删除这些策略吗？", IDYES);
    Click(Page::kItemDelete);
    EXPECT_EQ(3, Table(L"O'Brien的策略"));
    Click(Page::kItemDelete);  // every target of the name goes, after one 1550
    EXPECT_TRUE(Table(L"O'Brien的策略") == 0 && Table() == 2 && RowOf(L"O'Brien的策略") < 0);
    EXPECT_EQ(L"1550/3 O'Brien的策略", NextFrame());

    // A click on a row offers what its checked rows allow: pause a scheduled one,
    // resume a paused one; with both, the last in the grid's order says which.
    Check(L"暂停的");
    ClickRow(L"计划的");
    EXPECT_EQ(L"恢复计划", driver->ItemText(Page::kItemPauseResume));
    EXPECT_TRUE(main->IsItemEnabled(Page::kItemRun) && main->IsItemEnabled(Page::kItemPauseResume));
    Grid().SetItemCheck(RowOf(L"暂停的"), 0, 0);
    Check(L"计划的");
    ClickRow(L"暂停的");
    EXPECT_EQ(L"暂停计划", driver->ItemText(Page::kItemPauseResume));
    Check(L"暂停的");
    ClickRow(L"计划的");
    const std::wstring last = Grid().GetItemText(1, Page::kColName);  // rows go in the grid's order
    EXPECT_EQ(last == L"暂停的" ? L"恢复计划" : L"暂停计划", driver->ItemText(Page::kItemPauseResume));
    Click(Page::kItemPauseResume);
    EXPECT_EQ(L"暂停计划计划中", Cell(L"计划的", Page::kColStatus) + Cell(L"暂停的", Page::kColStatus));
    EXPECT_TRUE(Table(L"计划的", true) == 2 && Table(L"暂停的", true) == 1);
    EXPECT_EQ(L"1547/3 " + Grid().GetItemText(0, Page::kColName), NextFrame());
    EXPECT_EQ(L"1547/3 " + last, NextFrame());
    EXPECT_EQ(last == L"暂停的" ? L"暂停计划" : L"恢复计划", driver->ItemText(Page::kItemPauseResume));

    // A short payload and a well-formed one the link is not delivering, then the answers.
    ASSERT_TRUE(peer.SendFrame(0, 0, 1546, "\x01\x00\x00", 3));
    std::vector<unsigned char> record(132, 0);
    record[0] = 1;
    std::memcpy(&record[4], L"计划的", 6);  // the name ends with the payload
    AgentLinkPayloadInfo info{0, 132};
    for (UINT message : {1546u, 1532u})
      Dispatch(message, reinterpret_cast<WPARAM>(&info), reinterpret_cast<LPARAM>(record.data()));
    ASSERT_TRUE(peer.SendFrame(1, 0, 1546, record.data(), 10));
    ASSERT_TRUE(testenv::PumpUntil([&] { return Cell(L"计划的", Page::kColRunStatus) == L"运行中"; }, 5000));
    EXPECT_TRUE(LogText().empty() && !main->IsItemEnabled(Page::kItemRun));
    ClickRow(L"暂停的");  // a running strategy among the checked ones offers neither
    EXPECT_FALSE(main->IsItemEnabled(Page::kItemRun) || main->IsItemEnabled(Page::kItemPauseResume));
    ASSERT_TRUE(peer.SendFrame(0, 0, 1547, record.data(), 128));
    ASSERT_TRUE(testenv::PumpUntil([&] { return Cell(L"暂停的", Page::kColRunStatus) == L"--"; }, 5000));
    EXPECT_EQ(L"--暂停计划", Cell(L"计划的", Page::kColRunStatus) + Cell(L"计划的", Page::kColStatus));
  });
}

// A strategy shows on two rows when its targets' states differ. The checked row says
// whether the button pauses or resumes; the service pauses, stops and runs the strategy
// as a whole, so every row of it shows what was done, at once, and no other row does.
TEST_F(StrategyPage, WhatIsDoneToAStrategyShowsOnEveryRowOfIt) {
  AddTarget(L"两行", 0, 1, 0, L"10.0.0.1");
  AddTarget(L"两行", 0, 2, 0, L"10.0.0.2");
  AddTarget(L"别的", 0, 1, 0, L"10.0.0.3");
  Run([&] {
    ASSERT_TRUE(peer.Accept(5000) && LinkConnected());
    ASSERT_EQ(3, Grid().GetItemCount());
    std::vector<int> rows;
    for (int row = 0; row < Grid().GetItemCount(); ++row)
      if (Grid().GetItemText(row, Page::kColName) == L"两行") rows.push_back(row);
    ASSERT_EQ(2u, rows.size());
    auto cells = [&](int column) {
      std::wstring text;
      for (int row : rows) text += Grid().GetItemText(row, column) + L"|";
      return text + Cell(L"别的", column);
    };
    const bool wasScheduled = Grid().GetItemText(rows[1], Page::kColStatus) == L"计划中";
    const std::wstring now = wasScheduled ? L"暂停计划" : L"计划中";
    ClickCheck(rows[1]);
    ASSERT_EQ(1, Grid().GetItemCheck(rows[1], Page::kColName));
    EXPECT_EQ(0, Grid().GetItemCheck(rows[0], Page::kColName));
    EXPECT_TRUE(main->IsItemEnabled(Page::kItemPauseResume));
    ASSERT_TRUE(driver->Click(Page::kItemPauseResume));
    EXPECT_EQ(L"1547/3 两行", NextFrame());
    EXPECT_EQ(now + L"|" + now + L"|计划中", cells(Page::kColStatus));
    EXPECT_EQ(2, qvtest::Int(link, L"select count(*) from StrategyTable where StrategyName = ? and Status = ?",
                             {L"两行", wasScheduled ? 2 : 1}));
    ASSERT_TRUE(driver->Click(Page::kItemPauseResume));  // and back
    EXPECT_EQ(L"1547/3 两行", NextFrame());
    const std::wstring back = wasScheduled ? L"计划中" : L"暂停计划";
    EXPECT_EQ(back + L"|" + back + L"|计划中", cells(Page::kColStatus));

    std::vector<unsigned char> record(132, 0);
    std::memcpy(&record[4], L"两行", 4);
    ASSERT_TRUE(peer.SendFrame(0, 0, 1547, &record[4], 128));
    ASSERT_TRUE(testenv::PumpUntil([&] { return cells(Page::kColRunStatus) == L"--|--|无"; }, 5000))
        << testing::PrintToString(cells(Page::kColRunStatus));
    record[0] = 1;
    ASSERT_TRUE(peer.SendFrame(0, 0, 1546, record.data(), 132));
    ASSERT_TRUE(testenv::PumpUntil([&] { return cells(Page::kColRunStatus) == L"运行中|运行中|无"; }, 5000))
        << testing::PrintToString(cells(Page::kColRunStatus));
    EXPECT_FALSE(main->IsItemEnabled(Page::kItemRun) || main->IsItemEnabled(Page::kItemPauseResume));

    Area().StrategyGuard()->OnStopStrategy();  // no element sends it
    EXPECT_EQ(L"1548/3 两行", NextFrame());
    EXPECT_EQ(L"停止|停止|计划中", cells(Page::kColStatus));
    EXPECT_EQ(L"--|--|无", cells(Page::kColRunStatus));
    record[0] = 0;  // the run ends: idle on both rows again
    ASSERT_TRUE(peer.SendFrame(0, 0, 1546, record.data(), 132));
    ASSERT_TRUE(testenv::PumpUntil([&] { return cells(Page::kColRunStatus) == L"无|无|无"; }, 5000));
    ASSERT_TRUE(peer.SendFrame(0, 0, 1548, &record[4], 128));
    ASSERT_TRUE(testenv::PumpUntil([&] { return cells(Page::kColRunStatus) == L"--|--|无"; }, 5000))
        << testing::PrintToString(cells(Page::kColRunStatus));
    EXPECT_EQ(L"停止|停止|计划中", cells(Page::kColStatus));
  });
}

// The service logs runs for as long as the console runs: the pane keeps the latest
// lines, the newest last and in view, so that the console's memory does not grow with
// the shift; the oldest go a batch at a time.
TEST_F(StrategyPage, TheLogPaneKeepsTheLatestLinesOfALongShiftShowingTheNewest) {
  RunOnLogPane([&](HWND pane) {
    auto line = [&](LRESULT index) {  // a line of the pane, without its break
      wchar_t text[512] = {511};
      const LRESULT length = ::SendMessageW(pane, EM_GETLINE, index, reinterpret_cast<LPARAM>(text));
      std::wstring shown(text, static_cast<size_t>(length > 0 ? length : 0));
      while (!shown.empty() && (shown.back() == L'\r' || shown.back() == L'\n')) shown.pop_back();
      return shown;
    };
    auto rows = [&] { return ::SendMessageW(pane, EM_GETLINECOUNT, 0, 0) - 1; };  // the last one empty
    auto logged = [](int i) {
      return L"策略名称：月度策略     运行失败      第" + std::to_wstring(i) + L"次2024-03-01 09:05:07";
    };
    const int bound = Page::kLogLines + Page::kLogBatch;
    const int total = bound + 3;  // one cut, back to the bound, and two lines more
    std::vector<unsigned char> record(4 + 128 + 520, 0);
    record[0] = 3;
    std::memcpy(&record[4], L"月度策略", 8);
    for (int i = 1; i <= total; ++i) {
      const std::wstring reason = L"第" + std::to_wstring(i) + L"次";
      std::fill(record.begin() + 132, record.end(), 0);
      std::memcpy(&record[132], reason.c_str(), reason.size() * 2);
      ASSERT_TRUE(peer.SendFrame(0, 0, 1532, record.data(), static_cast<uint32_t>(record.size())));
      if (i % 100 && i < bound) continue;
      ASSERT_TRUE(OnceHandled([&] { return line(rows() - 1) == logged(i); })) << i;
      SCOPED_TRACE(i);
      EXPECT_EQ(i <= bound ? i : Page::kLogLines + i - bound - 1, rows());
      EXPECT_EQ(logged(i <= bound ? 1 : bound - Page::kLogLines + 2), line(0));
      EXPECT_TRUE(NewestStartShown(pane));
    }
  });
}

// Failure reasons of 2,000 characters: the pane keeps the latest whole lines within its
// characters too (under Wine every character kept costs memory), and shows the newest
// line from its start, not scrolled to the end of the long line.
TEST_F(StrategyPage, TheLogPaneKeepsLongLinesWithinItsCharactersShowingTheNewestFromItsStart) {
  RunOnLogPane([&](HWND pane) {
    auto length = [&] {
      GETTEXTLENGTHEX how{GTL_NUMCHARS, 1200};
      return static_cast<LONG>(::SendMessageW(pane, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0));
    };
    auto text = [&](LONG from, LONG to) {
      std::vector<wchar_t> buffer(static_cast<size_t>(to - from + 1));
      TEXTRANGEW range{{from, to}, buffer.data()};
      ::SendMessageW(pane, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
      return std::wstring(buffer.data());
    };
    // Whether the pane comes to end with the line.
    auto ends = [&](const std::wstring& line) {
      return OnceHandled([&] { return length() >= static_cast<LONG>(line.size()) &&
                                      text(length() - static_cast<LONG>(line.size()), length()) == line; });
    };
    const int kLong = 2000;
    const LONG perLine = static_cast<LONG>(kLong + 60);  // and the name, result and time
    const int total = Page::kLogChars / perLine * 2;  // well past the bound in characters
    std::vector<unsigned char> record(4 + 128 + 2 * (kLong + 1), 0);
    std::memcpy(&record[4], L"月度策略", 8);
    for (int i = 1; i <= total; ++i) {
      const bool failed = i % 5 != 0;  // short lines between the long ones
      record[0] = failed ? 3 : 1;
      std::wstring reason = std::to_wstring(i) + L"号 ";
      while (failed && reason.size() < kLong) reason += L"目标主机不可达 access denied ";
      reason.resize(failed ? kLong : 0);
      std::fill(record.begin() + 132, record.end(), 0);
      std::memcpy(&record[132], reason.c_str(), reason.size() * 2);
      ASSERT_TRUE(peer.SendFrame(0, 0, 1532, record.data(), static_cast<uint32_t>(record.size())));
      const std::wstring logged =
          L"策略名称：月度策略     " + (failed ? L"运行失败      " + reason : std::wstring(L"开始运行 ")) + L"2024-03-01 09:05:07\r";
      ASSERT_TRUE(ends(logged)) << i;
      SCOPED_TRACE(i);
      EXPECT_GE(Page::kLogChars + Page::kLogChars * Page::kLogBatch / Page::kLogLines, length());
      EXPECT_EQ(L"策略名称：", text(0, 5)) << "whole lines";
      EXPECT_TRUE(NewestStartShown(pane));
    }
    EXPECT_LT(Page::kLogChars - 2 * perLine, length()) << "as many lines as the bound takes";

    // A reason longer than a line keeps (the service's frames go to 16 MiB; under Wine a
    // line costs the pane more than in proportion to its length): only its start is
    // read, cut to what the line keeps, marked, the time apart from it; a pair of
    // surrogates across the cut goes whole. Read no further than the line keeps: no
    // block the page asks for while it handles the frame comes near the reason's size.
    const std::wstring head = L"策略名称：月度策略     运行失败      ";
    const size_t kept = Page::kLogLineChars - head.size() - 2 - 19;  // "… " and the time
    std::wstring huge = L"巨 ";
    while (huge.size() < 1000000) huge += L"目标主机不可达 access denied ";
    huge.resize(1000000);
    huge[kept - 1] = 0xD83D;
    huge[kept] = 0xDE00;
    record.assign(4 + 128 + 2 * huge.size(), 0);
    record[0] = 3;
    std::memcpy(&record[4], L"月度策略", 8);
    std::memcpy(&record[132], huge.c_str(), huge.size() * 2);
    LargestWhileHandling watch(frame, 1532);
    ASSERT_TRUE(peer.SendFrame(0, 0, 1532, record.data(), static_cast<uint32_t>(record.size())));
    const std::wstring cut = head + huge.substr(0, kept - 1) + L"… 2024-03-01 09:05:07\r";
    ASSERT_TRUE(ends(cut));
    EXPECT_GT(8 * Page::kLogLineChars * sizeof(wchar_t), watch.Largest()) << "the reason read whole";
    const LONG cutAt = length() - static_cast<LONG>(cut.size());
    EXPECT_EQ(L"\r", text(cutAt - 1, cutAt)) << "a line of its own";
    EXPECT_TRUE(NewestStartShown(pane));
    record.assign(4 + 128 + 2, 0);
    record[0] = 2;
    std::memcpy(&record[4], L"月度策略", 8);
    ASSERT_TRUE(peer.SendFrame(0, 0, 1532, record.data(), static_cast<uint32_t>(record.size())));
    ASSERT_TRUE(ends(L"策略名称：月度策略     运行成功 2024-03-01 09:05:07\r"));
    EXPECT_GE(Page::kLogChars + Page::kLogChars * Page::kLogBatch / Page::kLogLines, length());
    EXPECT_TRUE(NewestStartShown(pane));
  });
}

TEST_F(StrategyPage, RunAgainstTheServiceShowsTheStateAndLogsEachStep) {
  CQvService service;
  CQvServiceScript answers;
  std::wstring error;
  ASSERT_TRUE(answers.LoadText("run|A|1\nrun|B|3|unreachable\n", &error));  // A keeps running
  service.SetScript(answers);
  ASSERT_TRUE(service.Listen(0) && service.Start());
  AddTarget(L"A");
  AddTarget(L"B");
  LocalClock::Fix clock(SYSTEMTIME{2024, 3, 6, 1, 9, 5, 7, 0});
  Run([&] {
    ASSERT_TRUE(LinkConnected() && RowOf(L"A") == 0);  // A runs first
    ShowPage(CQuorvaneUIHandler::kTabStrategies);
    Check(L"A");
    Check(L"B");
    ClickRow(L"B");
    Click(Page::kItemRun);
    ASSERT_TRUE(testenv::PumpUntil([&] { return LogText().find(L"unreachable") != std::wstring::npos; }, 5000));
    EXPECT_EQ(L"运行中无", Cell(L"A", Page::kColRunStatus) + Cell(L"B", Page::kColRunStatus));
    EXPECT_EQ(L"策略名称：A     开始运行 2024-03-01 09:05:07\r\n策略名称：B     开始运行 2024-03-01 09:05:07\r\n"
              L"策略名称：B     运行失败      unreachable2024-03-01 09:05:07\r\n", LogText());
  }, service.Port());
  service.Stop();
  for (const auto& f : service.ReceivedFrames())  // with StrategyType from the table
    EXPECT_TRUE(f.messageId == 1546u && f.payload.size() == 132 && f.payload[128] == 7);
  EXPECT_EQ(2u, service.ReceivedFrames().size());
}

// Every question and message of the page's commands comes with their database connection
// closed: one held while the user reads would hold the database as long as that takes.
TEST_F(StrategyPage, NoBoxComesUpWhileACommandHoldsADatabaseConnection) {
  static const wchar_t kConfirm[] = L"确定要删除这些策略吗？";
  static const wchar_t kGone[] = L"该记录已被删除，列表将重新读取。";
  const std::wstring tooLong(64, L'长');
  for (const wchar_t* name : {L"甲", L"乙", L"丙", L"丁", L"戊", tooLong.c_str()}) AddTarget(name);
  Run([&] {
    ASSERT_TRUE(peer.Accept(5000) && LinkConnected());
    ShowPage(CQuorvaneUIHandler::kTabStrategies);
    qvtest::ConnectionWatch watch(script);
    auto only = [&](const std::wstring& name) {
      for (int row = 0; row < Grid().GetItemCount(); ++row)
        Grid().SetItemCheck(row, Page::kColName, Grid().GetItemText(row, Page::kColName) == name);
    };
    auto sql = [&](const wchar_t* statement) { ASSERT_TRUE(qvtest::Exec(link, statement)); };
    const struct {
      const char* what;
      std::function<void()> act;
    } rows[] = {
        {"delete that fails",
         [&] {
           only(L"甲");
           sql(L"create trigger keep before delete on StrategyTable begin select raise(abort, 'kept'); end");
           script.ExpectBox(kConfirm, IDYES).ExpectBox(L"kept");
           Command(Page::kItemDelete);
           sql(L"drop trigger keep");
         }},
        {"pause that fails",
         [&] {
           only(L"甲");
           sql(L"create trigger frozen before update on StrategyTable begin select raise(abort, 'frozen'); end");
           script.ExpectBox(L"frozen");
           Command(Page::kItemPauseResume);
           sql(L"drop trigger frozen");
         }},
        {"delete of a strategy whose name is too long",
         [&] {
           only(tooLong);
           script.ExpectBox(kConfirm, IDYES).ExpectBox(L"策略名称超过63个字符，命令未发送！");
           Command(Page::kItemDelete);
         }},
        {"pause of a strategy another console paused",
         [&] {
           only(L"丙");
           sql(L"update StrategyTable set Status = 2 where StrategyName = '丙'");
           script.ExpectBox(L"策略“丙”的状态已被其他控制台更改");
           Command(Page::kItemPauseResume);
         }},
        {"delete of a strategy another console deleted",
         [&] {
           only(L"乙");
           sql(L"delete from StrategyTable where StrategyName = '乙'");
           script.ExpectBox(kConfirm, IDYES).ExpectBox(kGone);
           Command(Page::kItemDelete);
         }},
        {"stop of a strategy another console deleted",
         [&] {
           only(L"丁");
           sql(L"delete from StrategyTable where StrategyName = '丁'");
           script.ExpectBox(kGone);
           Command(Page::kItemStop);
         }},
        {"stop of a strategy whose type cannot be read",
         [&] {
           only(L"戊");
           std::wstring error;
           ASSERT_TRUE(qvtest::FailRowsWhen(link, L"StrategyTable", L"StrategyType", L"StrategyName = '戊'", &error));
           script.ExpectBox(L"读取策略“戊”的类型失败");
           Command(Page::kItemStop);
         }},
    };
    watch.RunRows(rows);
  });
}

}  // namespace
