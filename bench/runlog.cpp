// The strategy page's log pane over a long shift: the main window of an administrator
// on the strategy page, its service link on a loopback peer that sends the strategy's
// run states (1546) and then run-log lines (1532: started, succeeded, failed with a
// reason), in bursts of a hundred. Prints the growth of the process's private memory,
// and of the part of it in the Windows heaps, per thousand run states (the baseline:
// they change a grid cell and keep nothing) and per thousand log lines once the pane
// holds as many lines as it keeps, with the lines the pane holds at the end. Each is
// sampled after every thousand: the median of the steps' growths is what every
// thousand adds. The goal: under 10 KiB per thousand lines.
#include <winsock2.h>
#include <windows.h>
#include <richedit.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "MemoryGrowth.h"
#include "app/CMainDlg.h"
#include "console/CurrentUser.h"
#include "console/SysServerPortConfig.h"
#include "controls/CUIResource.h"
#include "integrity/CQuorvaneUIHandler.h"
#include "integrity/CQvStrategyGuardUIHandler.h"
#include "support/LoopbackPeer.h"
#include "support/ModalScript.h"
#include "support/TestEnv.h"
#include "uiwin/UiDialogDriver.h"

namespace {

using qvbench::Growth;
using qvbench::Measure;
using qvbench::Print;

const int kStates = 5000;
const int kWarmLines = 3000;  // past the pane's bound, so that the steps measure a full pane
const int kLines = 5000;
const int kBurst = 100;
const double kGoalPerThousand = 10.0;
const wchar_t kStrategy[] = L"月度策略";

int g_delivered = 0;
LRESULT CALLBACK CountDelivered(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (sent->message == AGENT_MSG_STRATEGY_RUN || sent->message == AGENT_MSG_STRATEGY_RUN_LOG) ++g_delivered;
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void PutText(std::vector<unsigned char>& record, size_t at, const std::wstring& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    record[at + 2 * i] = static_cast<unsigned char>(text[i] & 0xFF);
    record[at + 2 * i + 1] = static_cast<unsigned char>(text[i] >> 8);
  }
}

// The 1546 state record (state, name) or the 1532 log record (result, name, reason).
std::vector<unsigned char> Record(UINT message, int i) {
  std::vector<unsigned char> record(message == AGENT_MSG_STRATEGY_RUN ? 4 + 128 : 4 + 128 + 520, 0);
  record[0] = static_cast<unsigned char>(message == AGENT_MSG_STRATEGY_RUN ? i % 2 : 1 + i % 3);
  PutText(record, 4, kStrategy);
  if (message == AGENT_MSG_STRATEGY_RUN_LOG && i % 3 == 2) PutText(record, 132, L"目标主机不可达");
  return record;
}

// Sends count messages of the kind in bursts, each burst delivered before the next.
bool Send(testenv::LoopbackPeer& peer, UINT message, int count) {
  for (int sent = 0; sent < count; sent += kBurst) {
    const int until = g_delivered + kBurst;
    for (int i = 0; i < kBurst; ++i) {
      const std::vector<unsigned char> record = Record(message, sent + i);
      if (!peer.SendFrame(0, 0, message, record.data(), static_cast<uint32_t>(record.size()))) return false;
    }
    if (!testenv::PumpUntil([&] { return g_delivered >= until; }, 60000)) return false;
  }
  return true;
}

}  // namespace

int main() {
  if (!qvbench::ResetDatabase()) return 1;
  {
    SQLServerLink link;
    if (!link.Connect(qvtest::TestDatabase::Dsn(), L"", L"")) return 1;
    qvtest::Exec(link, L"insert into StrategyTable (StrategyName, StrategyDescriptor, StrategyType, TaskMode, Status, "
                       L"RunStatus, Ip, id) values (?, '每月一次', 7, 0, 1, 0, '10.0.0.1', '1')", {kStrategy});
  }
  testenv::LoopbackPeer peer;
  lstrcpynW(g_dsnName, qvtest::TestDatabase::Dsn(), kSettingChars);
  CUIResource::Init();
  g_currentUserName = g_defaultUserName;
  g_currentUserType = 1;
  g_currentUserPermission = 31;
  HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, CountDelivered, nullptr, ::GetCurrentThreadId());

  Growth states{}, lines{};
  int held = -1;
  bool complete = false;
  {
    ModalScript script;
    CMainDlg main(peer.Port());
    script.ExpectDialog([&](UiDialogDriver& d) {
      if (!peer.Accept(5000)) return;
      d.Click(CMainDlg::kItemIntegrity);
      HWND pane = main.Integrity()->StrategyGuard()->LogPane();
      if (!Send(peer, AGENT_MSG_STRATEGY_RUN, 1000)) return;
      states = Measure(kStates / 1000, 1, [&](int) { return Send(peer, AGENT_MSG_STRATEGY_RUN, 1000); });
      if (!Send(peer, AGENT_MSG_STRATEGY_RUN_LOG, kWarmLines)) return;
      lines = Measure(kLines / 1000, 1, [&](int) { return Send(peer, AGENT_MSG_STRATEGY_RUN_LOG, 1000); });
      // The last line is empty: the one the next line goes on.
      held = static_cast<int>(::SendMessageW(pane, EM_GETLINECOUNT, 0, 0)) - 1;
      complete = states.median >= 0 && lines.median >= 0;
      d.EndWith(IDCANCEL);
    });
    main.DoModal();
  }
  ::UnhookWindowsHookEx(hook);
  CUIResource::Uninit();
  if (!complete) {
    std::fprintf(stderr, "the run did not complete: %d messages delivered\n", g_delivered);
    return 1;
  }
  Print("run states (baseline):", states, "thousand");
  Print("run-log lines:", lines, "thousand");
  std::printf("lines in the pane after %d: %d\n", kWarmLines + kLines, held);
  const bool met = lines.median < kGoalPerThousand;
  std::printf("goal: under %.0f KiB per thousand lines: %s\n", kGoalPerThousand, met ? "met" : "missed");
  return met ? 0 : 1;
}
