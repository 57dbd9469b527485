// The integrity area's host and its strategy page in a real main window, on a real
// database, talking to a loopback peer or the service stand-in.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "console/AgentLinkPayloadInfo.h"
#include "console/CAgentLink.h"
#include "console/CAgentLinkManager.h"
#include "console/LocalClock.h"
#include "console/SysServerPortConfig.h"
#include "qvservice/CQvService.h"
#include "support/IntegrityPageHost.h"
#include "support/LoopbackPeer.h"
#include "support/TestEnv.h"

namespace {

using Page = CQvStrategyGuardUIHandler;
using Bytes = std::vector<unsigned char>;

const wchar_t kLinkDown[] = L"与监测服务的连接已断开，命令未发送！";

// A record of a u32 and a UTF-16 name at offset 4, sized to length (0: to the name's end).
Bytes NameAt4(uint32_t word, const std::wstring& name, size_t length = 0) {
  Bytes b(length ? length : 4 + 2 * name.size(), 0);
  std::memcpy(b.data(), &word, 4);
  for (size_t i = 0; i < name.size() && 4 + 2 * i + 1 < b.size(); ++i)
    std::memcpy(&b[4 + 2 * i], &name[i], 2);
  return b;
}

std::wstring NameOf(const testenv::PeerFrame& f) {
  return std::wstring(reinterpret_cast<const wchar_t*>(f.payload.data()));
}

class StrategyPage : public IntegrityPageHost {};

TEST_F(StrategyPage, AreaTabsRefreshTheStrategyPageOnlyOnTheAreasOwnPage) {
  testenv::LoopbackPeer peer;
  Run(peer.Port(), [&] {
    Command(CMainDlg::kItemIntegrity);
    AddTarget(L"后加的策略");
    EXPECT_FALSE(TabChange(CQuorvaneUIHandler::kTabStrategies));
    EXPECT_GE(RowOf(L"后加的策略"), 0);
    // From here a database access would show a box the script does not expect.
    wcscpy(g_dsnName, L"NoSuchSource");
    BOOL handled = FALSE;
    for (int tab : {CQuorvaneUIHandler::kTabObjects, CQuorvaneUIHandler::kTabCopies}) {
      EXPECT_FALSE(TabChange(tab, &handled)) << tab;
      EXPECT_TRUE(handled) << tab;
    }
    Command(CMainDlg::kItemSystemManagement);  // another area's 364 now
    EXPECT_FALSE(TabChange(CQuorvaneUIHandler::kTabStrategies, &handled));
    EXPECT_FALSE(handled);
    // Host-state messages that no integrity page takes go on along the main window's chain.
    for (UINT message : {1526u, 1529u, 1530u}) {
      LRESULT result = 0;
      EXPECT_FALSE(Area().ProcessWindowMessage(frame, message, 0x0A01A8C0u, 0, result)) << message;
    }
  });
}

TEST_F(StrategyPage, OneRowPerStrategyWithItsModeAndStatesInColour) {
  for (const wchar_t* ip : {L"10.0.0.1", L"10.0.0.2", L"10.0.0.3"}) AddTarget(L"三个目标", 0, 1, 0, ip);
  const struct {
    const wchar_t* name;
    int taskMode, status, runStatus;
    const wchar_t *mode, *state, *run;
  } rows[] = {
      {L"三个目标", 0, 1, 0, L"计划任务", L"计划中", L"无"},
      {L"单次", 3, 2, 1, L"单次任务", L"暂停计划", L"运行中"},
      {L"未知状态", 6, 5, 7, L"计划任务", L"", L""},
  };
  for (const auto& r : rows)
    if (r.taskMode) AddTarget(r.name, r.taskMode, r.status, r.runStatus);
  testenv::LoopbackPeer peer;
  Run(peer.Port(), [&] {
    ASSERT_EQ(3, Grid().GetItemCount());
    for (const auto& r : rows) {
      SCOPED_TRACE(testing::PrintToString(std::wstring(r.name)));
      EXPECT_EQ(UINT(ITEM_FORMAT_CHECKBOX), Grid().GetItemFormat(RowOf(r.name), Page::kColName));
      EXPECT_EQ(r.mode, Cell(r.name, Page::kColMode));
      EXPECT_EQ(r.state, Cell(r.name, Page::kColStatus));
      EXPECT_EQ(r.run, Cell(r.name, Page::kColRunStatus));
      EXPECT_EQ(L"--", Cell(r.name, Page::kColProgress));
      EXPECT_EQ(0x00FF00u, Colour(r.name, Page::kColStatus));
      EXPECT_EQ(0xFF0000u, Colour(r.name, Page::kColRunStatus));
      EXPECT_EQ(0xFF0000u, Colour(r.name, Page::kColProgress));
    }
  });
}

TEST_F(StrategyPage, DeleteRemovesEveryTargetOfANameWithAQuoteAfterOne1550) {
  for (const wchar_t* ip : {L"10.0.0.1", L"10.0.0.2", L"10.0.0.3"}) AddTarget(L"O'Brien的策略", 0, 1, 0, ip);
  AddTarget(L"保留");
  testenv::LoopbackPeer peer;
  Run(peer.Port(), [&] {
    ASSERT_TRUE(peer.Accept(5000) && LinkConnected());
    Check(L"O'Brien的策略");
    script.ExpectBox(L"确定要删除这些策略吗？", IDNO).ExpectBox(L"确定要删除这些策略吗？", IDYES);
    Command(Page::kItemDelete);
    EXPECT_EQ(3, Targets(L"O'Brien的策略"));
    Command(Page::kItemDelete);
    EXPECT_EQ(0, Targets(L"O'Brien的策略"));
    EXPECT_EQ(1, Targets(L"保留"));
    EXPECT_EQ(-1, RowOf(L"O'Brien的策略"));
    Check(L"保留");
    Command(Page::kItemPauseResume);  // its frame comes next: no second delete went
    for (UINT id : {1550u, 1547u}) {
      testenv::PeerFrame f;
      ASSERT_TRUE(peer.ReceiveFrame(&f, 5000));
      EXPECT_EQ(id, f.messageId);
      EXPECT_EQ(3u, f.type);
      EXPECT_EQ(128u, f.payload.size());
      EXPECT_EQ(id == 1550u ? L"O'Brien的策略" : L"保留", NameOf(f));
    }
  });
}

TEST_F(StrategyPage, WithTheLinkDownCommandsTellTheUserAndChangeNothing) {
  AddTarget(L"甲", 0, 1, 0);
  testenv::LoopbackPeer refusing(0, false);
  Run(refusing.Port(), [&] {
    ASSERT_TRUE(testenv::PumpUntil([] { return !g_agentLinkManager.Link()->IsConnecting(); }, 5000));
    Check(L"甲");
    for (UINT item : {Page::kItemDelete, Page::kItemRun, Page::kItemPauseResume, Page::kItemStop}) {
      SCOPED_TRACE(item);
      if (item == Page::kItemDelete) script.ExpectBox(L"确定要删除", IDYES);
      script.ExpectBox(kLinkDown);
      Command(item);
      EXPECT_EQ(L"计划中", Cell(L"甲", Page::kColStatus));
      EXPECT_EQ(L"无", Cell(L"甲", Page::kColRunStatus));
      EXPECT_EQ(1, Targets(L"甲"));
      EXPECT_EQ(1, Status(L"甲"));
    }
    for (const auto& box : script.Boxes()) EXPECT_TRUE(box.text != kLinkDown || box.caption == L"错误");
  });
}

TEST_F(StrategyPage, PauseAndResumeFollowEachRowAndTheAnswerClearsTheRunCell) {
  AddTarget(L"计划的", 0, 1);
  AddTarget(L"暂停的", 0, 2);
  testenv::LoopbackPeer peer;
  Run(peer.Port(), [&] {
    ASSERT_TRUE(peer.Accept(5000) && LinkConnected());
    Check(L"计划的");
    Check(L"暂停的");
    Command(Page::kItemPauseResume);
    EXPECT_EQ(L"暂停计划", Cell(L"计划的", Page::kColStatus));
    EXPECT_EQ(L"计划中", Cell(L"暂停的", Page::kColStatus));
    EXPECT_EQ(2, Status(L"计划的"));
    EXPECT_EQ(1, Status(L"暂停的"));
    for (int row = 0; row < 2; ++row) {  // in the grid's order
      testenv::PeerFrame f;
      ASSERT_TRUE(peer.ReceiveFrame(&f, 5000));
      EXPECT_EQ(1547u, f.messageId);
      EXPECT_EQ(Grid().GetItemText(row, Page::kColName), NameOf(f));
    }
    // The button reads as the last row left it.
    EXPECT_EQ(Grid().GetItemText(1, Page::kColName) == L"计划的" ? L"恢复计划" : L"暂停计划",
              driver->ItemText(Page::kItemPauseResume));
    const Bytes ack(128, 0);
    ASSERT_TRUE(peer.SendFrame(0, 0, 1547, ack.data(), 128));
    ASSERT_TRUE(testenv::PumpUntil([&] { return Cell(L"暂停的", Page::kColRunStatus) == L"--"; }, 5000));
    EXPECT_EQ(L"--", Cell(L"计划的", Page::kColRunStatus));
    EXPECT_EQ(L"暂停计划", Cell(L"计划的", Page::kColStatus));
  });
}

TEST_F(StrategyPage, RunAgainstTheServiceShowsTheStateAndLogsEachStep) {
  CQvService service;
  CQvServiceScript answers;
  std::wstring error;  // 甲 keeps running; 乙 fails: 不可达
  ASSERT_TRUE(answers.LoadText("run|\xE7\x94\xB2|1\nrun|\xE4\xB9\x99|3|\xE4\xB8\x8D\xE5\x8F\xAF\xE8\xBE\xBE\n",
                               &error));
  service.SetScript(answers);
  ASSERT_TRUE(service.Listen(0) && service.Start());
  AddTarget(L"甲");
  AddTarget(L"乙");
  LocalClock::Fix clock(SYSTEMTIME{2024, 3, 6, 1, 9, 5, 7, 0});
  Run(service.Port(), [&] {
    ASSERT_TRUE(LinkConnected());
    Check(L"甲");
    Check(L"乙");
    Command(Page::kItemRun);
    ASSERT_TRUE(testenv::PumpUntil([&] {
      const std::wstring log = LogText();
      return std::count(log.begin(), log.end(), L'\n') == 3;
    }, 5000));
    EXPECT_EQ(L"运行中", Cell(L"甲", Page::kColRunStatus));
    EXPECT_EQ(L"无", Cell(L"乙", Page::kColRunStatus));
    std::wstring expected;  // the strategies run in the grid's order
    for (int row = 0; row < 2; ++row) {
      const std::wstring name = Grid().GetItemText(row, Page::kColName);
      expected += L"策略名称：" + name + L"     开始运行 2024-03-01 09:05:07\r\n";
      if (name == L"乙") expected += L"策略名称：乙     运行失败      不可达2024-03-01 09:05:07\r\n";
    }
    EXPECT_EQ(expected, LogText());
  });
  service.Stop();
  const auto frames = service.ReceivedFrames();
  ASSERT_EQ(2u, frames.size());
  for (const auto& f : frames) {
    EXPECT_EQ(1546u, f.messageId);
    ASSERT_EQ(132u, f.payload.size());
    EXPECT_EQ(7u, f.payload[128]);  // StrategyType from the table
  }
}

TEST_F(StrategyPage, AnswersAreReadOnlyWhileTheLinkDeliversThemAndOnlyWithinTheirLength) {
  AddTarget(L"A");
  testenv::LoopbackPeer peer;
  Run(peer.Port(), [&] {
    ASSERT_TRUE(peer.Accept(5000) && LinkConnected());
    // Short payloads, and a well-formed one that the link is not delivering.
    ASSERT_TRUE(peer.SendFrame(0, 0, 1546, "\x01\x00\x00", 3));
    const Bytes shortLog = NameAt4(2, L"A", 131);
    ASSERT_TRUE(peer.SendFrame(0, 0, 1532, shortLog.data(), 131));
    const Bytes forged = NameAt4(1, L"A", 132);
    AgentLinkPayloadInfo info{0, 132};
    Dispatch(1546, reinterpret_cast<WPARAM>(&info), reinterpret_cast<LPARAM>(forged.data()));
    Dispatch(1532, reinterpret_cast<WPARAM>(&info), reinterpret_cast<LPARAM>(forged.data()));
    // The name ends with the payload, without a terminator.
    const Bytes running = NameAt4(1, L"A");
    ASSERT_TRUE(peer.SendFrame(1, 0, 1546, running.data(), uint32_t(running.size())));
    ASSERT_TRUE(testenv::PumpUntil([&] { return Cell(L"A", Page::kColRunStatus) == L"运行中"; }, 5000));
    EXPECT_EQ(L"", LogText());
    EXPECT_TRUE(main->IsItemEnabled(Page::kItemRun));  // the row is not checked
    const Bytes log = NameAt4(2, L"A", 132);
    ASSERT_TRUE(peer.SendFrame(0, 0, 1532, log.data(), 132));
    ASSERT_TRUE(testenv::PumpUntil([&] { return !LogText().empty(); }, 5000));
    EXPECT_EQ(0u, LogText().find(L"策略名称：A     运行成功 "));
  });
}

}  // namespace
