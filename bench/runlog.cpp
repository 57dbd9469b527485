// The strategy page's log pane under a flood, as the user's machine pays for it (run by
// runlog.sh under Xvfb in the X11 prefix): the main window of an administrator on the
// strategy page, its service link on a loopback peer that sends run states (1546) and
// run-log lines (1532) with varied names and reasons of 200 to 2,000 characters, Chinese
// and ASCII.
// - Clicks: a real mouse click on the strategy grid, sent from another thread, timed
//   until the UI thread takes its button-up; first in a quiet period (the baseline),
//   then while 20 lines a second arrive on a pane past its bound. Goal: the slowest
//   click in the flood at most ten times the slowest quiet one (tens of ms, not
//   seconds); it also counts the clicks that took over a second.
// - Memory: resident memory (the working set: the wine process's VmRSS), private
//   memory and the Windows heaps, sampled after every thousand run states (the
//   baseline: they change a grid cell and keep nothing) and every thousand log lines
//   once the pane is full; the median of the steps' growths is what every thousand
//   adds. Goal: resident memory past the bound flat, under 64 KiB per thousand lines.
// - The cost of a line on the UI thread, apart for the lines whose coming cuts the
//   oldest.
// - A full pane of long lines: from the empty pane just after login, lines that all
//   fail with 2,000-character reasons, past the pane's bounds; what the full pane
//   holds in resident memory above the empty one. Goal: under 60 MiB.
// - The view: after the long lines and after the flood the pane shows its newest
//   line from its start (a long line does not take the view to its end).
// - Huge failure reasons: lines of 2,000-character reasons (the baseline), then one of
//   200,000 characters and one that fills the largest frame (16 MiB): what each line
//   costs the UI thread with its repaint, and a switch from the strategy tab to the next
//   one and back while it is in the pane. Goal: a huge line at most three times a
//   baseline line's cost, the switches at most twice the baseline's. With the argument
//   "huge" the program runs only this, on the pane just after login.
// Each goal says which of its parts missed; a goal missed fails the run.
#include <winsock2.h>
#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
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
const int kLongLines = 1100;  // 2,000-character reasons, past both of the pane's bounds
const size_t kLongReason = 2000;
const int kWarmLines = 1500;  // past the pane's bound, so that what follows meets a full pane
const int kLines = 5000;
const int kBurst = 100;
const int kFloodLinesPerSecond = 20;
const int kFloodSeconds = 30;
const int kQuietClicks = 10;
const DWORD kClickSpacingMs = 500;
const DWORD kClickGiveUpMs = 60000;
const double kGoalClickMs = 1000.0;  // counted as late
const double kGoalClickRatio = 10.0;
const double kGoalPerThousand = 64.0;
const double kGoalFullPaneMiB = 60.0;
const wchar_t kStrategy[] = L"月度策略";
// One huge failure reason against lines of 2,000-character ones (the baseline).
const int kBaselineLines = 20;
const int kSwitches = 9;
const size_t kHugeReasons[] = {200000, (16u * 1024 * 1024 - 132) / 2 - 1};  // the second fills the largest frame
const double kGoalHugeLineRatio = 3.0;  // the pane keeps 4,000 characters of a line: twice the baseline's
const double kGoalSwitchRatio = 2.0;  // a few ms of noise on tens; a huge line made it 15 to 40 times

std::atomic<int> g_delivered{0};
double g_lineStart = 0;
HWND g_pane = nullptr;
LRESULT g_paneRows = 0;
std::vector<double> g_lineTimes;  // what each log line cost the UI thread, ms
std::vector<bool> g_lineCut;      // the line's coming cut the oldest lines
bool g_paintLines = false;        // a line's cost takes in the pane's repaint
LRESULT CALLBACK CountDelivered(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (sent->message == AGENT_MSG_STRATEGY_RUN || sent->message == AGENT_MSG_STRATEGY_RUN_LOG) ++g_delivered;
    if (sent->message == AGENT_MSG_STRATEGY_RUN_LOG) {
      g_paneRows = g_pane ? ::SendMessageW(g_pane, EM_GETLINECOUNT, 0, 0) : 0;
      g_lineStart = qvbench::Now();
    }
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
LRESULT CALLBACK TimeLine(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && reinterpret_cast<const CWPRETSTRUCT*>(lParam)->message == AGENT_MSG_STRATEGY_RUN_LOG) {
    if (g_paintLines && g_pane) ::UpdateWindow(g_pane);
    g_lineTimes.push_back(qvbench::Now() - g_lineStart);
    g_lineCut.push_back(g_pane && ::SendMessageW(g_pane, EM_GETLINECOUNT, 0, 0) < g_paneRows);
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// The median and the worst of the lines' times since `from`, apart for the lines that
// cut the oldest.
void PrintLineTimes(const char* what, size_t from) {
  for (bool cutting : {false, true}) {
    std::vector<double> times;
    for (size_t i = from; i < g_lineTimes.size(); ++i)
      if (g_lineCut[i] == cutting) times.push_back(g_lineTimes[i]);
    if (times.empty()) continue;
    double worst = 0;
    for (double t : times) worst = t > worst ? t : worst;
    std::printf("%s: %s costs the UI thread %.1f ms (median), %.1f ms at worst (%d lines)\n", what,
                cutting ? "a line with a cut" : "a line", qvbench::Median(times), worst, static_cast<int>(times.size()));
  }
}

// The time the UI thread took the last button-up out of its queue.
std::atomic<double> g_clickTaken{0};
HANDLE g_clickEvent = nullptr;
LRESULT CALLBACK NoteClick(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == PM_REMOVE && reinterpret_cast<const MSG*>(lParam)->message == WM_LBUTTONUP) {
    g_clickTaken = qvbench::Now();
    ::SetEvent(g_clickEvent);
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// Deterministic text: words of a failure reason, Chinese and ASCII.
class Words {
 public:
  unsigned Next(unsigned n) {
    seed_ = seed_ * 1103515245u + 12345u;
    return (seed_ >> 8) % n;
  }
  std::wstring Name() {
    static const wchar_t* const parts[] = {L"月度", L"核心服务器", L"web", L"DB-01", L"财务", L"巡检", L"完整性",
                                           L"策略", L"_nightly", L"边界主机", L"审计", L"2024"};
    std::wstring name;
    const unsigned count = 1 + Next(6);
    for (unsigned i = 0; i < count; ++i) name += parts[Next(12)];
    return name.substr(0, 63);
  }
  // 200 to 2,000 characters; the lengths go round every hundred lines, so that the pane
  // holds as much text whenever it has taken a whole number of hundreds.
  std::wstring Reason(int line) { return ReasonOf(200 + static_cast<size_t>(line * 37 % 100) * 18); }
  std::wstring ReasonOf(size_t length) {
    static const wchar_t* const words[] = {
        L"目标主机不可达", L"连接超时", L"文件校验失败：", L"C:\\Windows\\System32\\drivers\\etc\\hosts",
        L"权限不足", L" access denied ", L"注册表项", L"HKLM\\SOFTWARE\\Quorvane\\Agent", L"基线不一致",
        L" error 0x80070005 ", L"服务未响应", L"192.168.10.25", L"，", L"。", L" retry ", L"备份副本已过期",
        L"/var/log/messages", L" checksum mismatch ", L"进程被终止", L"磁盘空间不足"};
    std::wstring reason;
    while (reason.size() < length) reason += words[Next(20)];
    return reason.substr(0, length);
  }

 private:
  unsigned seed_ = 20241207u;
};

Words g_words;

void PutText(std::vector<unsigned char>& record, size_t at, const std::wstring& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    record[at + 2 * i] = static_cast<unsigned char>(text[i] & 0xFF);
    record[at + 2 * i + 1] = static_cast<unsigned char>(text[i] >> 8);
  }
}

// What is sent: run states, run-log lines (one in four starts a run, the others fail
// with a reason of 200 to 2,000 characters), or run-log lines that all fail with a
// 2,000-character reason.
enum Kind { kStateRecords, kLogRecords, kLongLogRecords };

// The 1546 state record (state, name) or the 1532 log record (result, name, reason).
std::vector<unsigned char> Record(Kind kind, int i) {
  if (kind == kStateRecords) {
    std::vector<unsigned char> record(4 + 128, 0);
    record[0] = static_cast<unsigned char>(i % 2);
    PutText(record, 4, kStrategy);
    return record;
  }
  const bool failed = kind == kLongLogRecords || i % 4;
  const std::wstring reason = !failed ? L"" : kind == kLongLogRecords ? g_words.ReasonOf(kLongReason) : g_words.Reason(i);
  std::vector<unsigned char> record(4 + 128 + 2 * (reason.size() + 1), 0);
  record[0] = static_cast<unsigned char>(failed ? 3 : 1);
  PutText(record, 4, g_words.Name());
  PutText(record, 132, reason);
  return record;
}

// A failure of `length` characters, sent from another thread (a large frame fills the
// socket's buffers before this thread reads it) and delivered.
bool SendFailure(testenv::LoopbackPeer& peer, size_t length) {
  const std::wstring reason = g_words.ReasonOf(length);
  std::vector<unsigned char> record(4 + 128 + 2 * (reason.size() + 1), 0);
  record[0] = 3;
  PutText(record, 4, g_words.Name());
  PutText(record, 132, reason);
  const int until = g_delivered + 1;
  std::atomic<bool> sent{false}, ok{false};
  std::thread sender([&] {
    ok = peer.SendFrame(0, 0, AGENT_MSG_STRATEGY_RUN_LOG, record.data(), static_cast<uint32_t>(record.size()));
    sent = true;
  });
  const bool delivered = testenv::PumpUntil([&] { return sent && g_delivered >= until; }, 600000);
  sender.join();
  return delivered && ok;
}

bool SendOne(testenv::LoopbackPeer& peer, Kind kind, int i) {
  const std::vector<unsigned char> record = Record(kind, i);
  return peer.SendFrame(0, 0, kind == kStateRecords ? AGENT_MSG_STRATEGY_RUN : AGENT_MSG_STRATEGY_RUN_LOG, record.data(),
                        static_cast<uint32_t>(record.size()));
}

// Sends count messages of the kind in bursts, each burst delivered before the next.
bool Send(testenv::LoopbackPeer& peer, Kind kind, int count) {
  for (int sent = 0; sent < count; sent += kBurst) {
    const int until = g_delivered + kBurst;
    for (int i = 0; i < kBurst; ++i)
      if (!SendOne(peer, kind, sent + i)) return false;
    if (!testenv::PumpUntil([&] { return g_delivered >= until; }, 120000)) return false;
  }
  return true;
}

// A left click at a screen point through the system's input; the time until the UI
// thread takes the button-up, or -1 when it does not within kClickGiveUpMs.
double ClickLatency(POINT at) {
  const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
  INPUT input[3]{};
  for (INPUT& i : input) {
    i.type = INPUT_MOUSE;
    i.mi.dx = at.x * 65535 / (width - 1);
    i.mi.dy = at.y * 65535 / (height - 1);
  }
  input[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
  input[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
  ::ResetEvent(g_clickEvent);
  const double start = qvbench::Now();
  ::SendInput(3, input, sizeof(INPUT));
  if (::WaitForSingleObject(g_clickEvent, kClickGiveUpMs) != WAIT_OBJECT_0) return -1;
  return g_clickTaken - start;
}

struct Clicks {
  double median = -1, ninetieth = -1, worst = -1;
  int count = 0, late = 0;  // late: not answered within kGoalClickMs
};

// Clicks every kClickSpacingMs from another thread while `busy` runs on this one.
Clicks ClickWhile(POINT at, int clicks, const std::function<bool(const std::atomic<bool>&)>& busy) {
  std::vector<double> times;
  std::atomic<bool> stop{false}, finished{false};
  bool failed = false;
  std::thread clicker([&] {
    for (int i = 0; (clicks < 0 || i < clicks) && !stop; ++i) {
      ::Sleep(kClickSpacingMs);
      const double ms = ClickLatency(at);
      if (ms < 0) failed = true;
      times.push_back(ms < 0 ? kClickGiveUpMs : ms);
    }
    finished = true;
  });
  const bool ok = busy(stop);
  stop = true;
  // The clicker's last click is answered by this thread's pumping.
  testenv::PumpUntil([&] { return finished.load(); }, kClickGiveUpMs + 5000);
  clicker.join();
  Clicks result;
  if (!ok || failed || times.empty()) return result;
  result.median = qvbench::Median(times);
  std::sort(times.begin(), times.end());
  result.ninetieth = times[times.size() * 9 / 10];
  result.worst = times.back();
  for (double t : times) result.late += t > kGoalClickMs ? 1 : 0;
  result.count = static_cast<int>(times.size());
  return result;
}

LONG TextLength(HWND pane) {
  GETTEXTLENGTHEX how{GTL_NUMCHARS, 1200};
  return static_cast<LONG>(::SendMessageW(pane, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0));
}

std::wstring PaneText(HWND pane) {
  std::vector<wchar_t> text(static_cast<size_t>(::GetWindowTextLengthW(pane)) + 1);
  ::GetWindowTextW(pane, text.data(), static_cast<int>(text.size()));
  return text.data();
}

// The pane's lines (each ends with a line break), whatever rows they take.
int LineCount(HWND pane) {
  const std::wstring text = PaneText(pane);
  return static_cast<int>(std::count(text.begin(), text.end(), L'\n'));
}

// Where the newest line starts, in the pane's characters (a line break is one there).
LONG NewestLineStart(HWND pane) {
  const std::wstring text = PaneText(pane);
  const size_t end = text.size() >= 2 ? text.size() - 2 : 0;  // the newest line's break
  const size_t before = end > 0 ? text.rfind(L'\n', end - 1) : std::wstring::npos;
  const size_t length = before == std::wstring::npos ? end : end - before - 1;
  return TextLength(pane) - 1 - static_cast<LONG>(length);
}

// Where the pane shows a character, in its client area.
POINTL Shown(HWND pane, LRESULT at) {
  POINTL point{};
  ::SendMessageW(pane, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&point), at);
  return point;
}

bool InClient(HWND pane, POINTL point) {
  RECT client{};
  ::GetClientRect(pane, &client);
  return point.x >= client.left && point.x < client.right && point.y >= client.top && point.y < client.bottom;
}

// The pane's last line is in view: its last text row lies inside the client area.
bool NewestInView(HWND pane) {
  const LONG end = TextLength(pane);
  RECT client{};
  ::GetClientRect(pane, &client);
  const LONG y = Shown(pane, end > 1 ? end - 2 : 0).y;
  return y >= client.top && y < client.bottom;
}

// The start of the pane's last line is in view.
bool NewestStartInView(HWND pane) { return InClient(pane, Shown(pane, NewestLineStart(pane))); }

// What the view shows of the newest line: whether its start is in view, else how far
// the view has gone sideways.
void PrintView(const char* when, HWND pane) {
  POINT scroll{};
  ::SendMessageW(pane, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
  std::printf("the pane %s: newest line in view %s, its start in view %s (the view %ld px sideways)\n", when,
              NewestInView(pane) ? "yes" : "no", NewestStartInView(pane) ? "yes" : "no", scroll.x);
}

// A switch from the strategy tab to the next one and back, each painted (the medians
// of a few).
struct Switch {
  double away = -1, back = -1;
};
Switch SwitchTabs(UiDialogDriver& d, HWND pane) {
  std::vector<double> away, back;
  HWND main = ::GetAncestor(pane, GA_ROOT);
  for (int i = 0; i < kSwitches; ++i) {
    for (int tab : {CQuorvaneUIHandler::kTabObjects, CQuorvaneUIHandler::kTabStrategies}) {
      testenv::PumpFor(200);
      const double start = qvbench::Now();
      d.ClickTab(CQuorvaneUIHandler::kTabCtrl, tab);
      ::RedrawWindow(main, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
      (tab == CQuorvaneUIHandler::kTabObjects ? away : back).push_back(qvbench::Now() - start);
    }
  }
  return Switch{qvbench::Median(away), qvbench::Median(back)};
}

struct HugeReasons {
  double line = -1;  // the baseline: lines of 2,000-character reasons
  Switch tabs;
  double hugeLine[2] = {-1, -1};
  Switch hugeTabs[2];
  bool lineMet[2] = {false, false};
  bool tabsMet[2] = {false, false};
};

// What a line costs the UI thread with its repaint, and the tab switches while the lines
// are in the pane: lines of 2,000-character reasons, then one of each huge reason.
HugeReasons TimeHugeReasons(UiDialogDriver& d, testenv::LoopbackPeer& peer, HWND pane) {
  HugeReasons result;
  g_paintLines = true;
  const size_t from = g_lineTimes.size();
  for (int i = 0; i < kBaselineLines; ++i)
    if (!SendFailure(peer, kLongReason)) return result;
  g_paintLines = false;
  result.line = qvbench::Median(std::vector<double>(g_lineTimes.begin() + static_cast<long>(from), g_lineTimes.end()));
  result.tabs = SwitchTabs(d, pane);
  std::printf("a line of a %zu-character reason (baseline): %.1f ms with its repaint; from the strategy tab to the "
              "next one %.1f ms, and back %.1f ms\n",
              kLongReason, result.line, result.tabs.away, result.tabs.back);
  std::fflush(stdout);
  for (int i = 0; i < 2; ++i) {
    const double start = qvbench::Seconds();
    g_paintLines = true;
    const bool sent = SendFailure(peer, kHugeReasons[i]);
    g_paintLines = false;
    if (!sent) return HugeReasons();
    const double delivered = qvbench::Seconds() - start;
    result.hugeLine[i] = g_lineTimes.back();
    const Switch& tabs = result.hugeTabs[i] = SwitchTabs(d, pane);
    std::printf("a line of a %zu-character reason: %.1f ms with its repaint (%.1f times the baseline; sent and "
                "delivered in %.1f s), %ld characters kept; to the next tab %.1f ms (%.2f times), back %.1f ms (%.2f "
                "times)\n",
                kHugeReasons[i], result.hugeLine[i], result.hugeLine[i] / result.line, delivered,
                TextLength(pane) - NewestLineStart(pane), tabs.away, tabs.away / result.tabs.away, tabs.back,
                tabs.back / result.tabs.back);
    std::fflush(stdout);
    result.lineMet[i] = result.hugeLine[i] <= kGoalHugeLineRatio * result.line;
    result.tabsMet[i] =
        tabs.away <= kGoalSwitchRatio * result.tabs.away && tabs.back <= kGoalSwitchRatio * result.tabs.back;
  }
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  // "huge": the huge reasons only, on the empty pane.
  const bool hugeOnly = argc > 1 && std::string(argv[1]) == "huge";
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
  g_clickEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HHOOK delivered = ::SetWindowsHookExW(WH_CALLWNDPROC, CountDelivered, nullptr, ::GetCurrentThreadId());
  HHOOK clicks = ::SetWindowsHookExW(WH_GETMESSAGE, NoteClick, nullptr, ::GetCurrentThreadId());
  HHOOK timed = ::SetWindowsHookExW(WH_CALLWNDPROCRET, TimeLine, nullptr, ::GetCurrentThreadId());

  Growth states{}, lines{};
  bool sentAll = true;
  Clicks quiet, flood;
  int held = -1, floodLines = 0, longHeld = -1;
  LONG longChars = -1;
  bool complete = false, newestShown = false, longStartShown = false;
  HugeReasons huge;
  double floodSeconds = 0, emptyMiB = 0, fullMiB = 0, fullPrivateMiB = 0, fullHeapMiB = 0;
  {
    ModalScript script;
    CMainDlg main(peer.Port());
    script.ExpectDialog([&](UiDialogDriver& d) {
      if (!peer.Accept(5000)) return;
      d.Click(CMainDlg::kItemIntegrity);
      d.ClickTab(CQuorvaneUIHandler::kTabCtrl, CQuorvaneUIHandler::kTabStrategies);
      HWND pane = main.Integrity()->StrategyGuard()->LogPane();
      g_pane = pane;
      // The grid's empty part, below its one row: a click there changes nothing.
      RECT grid{};
      ::GetWindowRect(d.Control(CQvStrategyGuardUIHandler::kGrid), &grid);
      const POINT at{grid.left + 60, grid.bottom - 20};
      if (hugeOnly) {
        huge = TimeHugeReasons(d, peer, pane);
        complete = huge.line > 0;
        d.EndWith(IDCANCEL);
        return;
      }

      if (!Send(peer, kStateRecords, 1000)) return;
      states = Measure(kStates / 1000, 1, [&](int) { return sentAll = Send(peer, kStateRecords, 1000); });

      // From the empty pane to a full one, of 2,000-character failure reasons.
      testenv::PumpFor(500);
      const qvbench::MemorySample empty = qvbench::MemorySample::Now();
      const double longStart = qvbench::Seconds();
      if (!Send(peer, kLongLogRecords, kLongLines)) return;
      testenv::PumpFor(500);
      const qvbench::MemorySample full = qvbench::MemorySample::Now();
      emptyMiB = empty.resident / 1024;
      fullMiB = (full.resident - empty.resident) / 1024;
      fullPrivateMiB = (full.memory - empty.memory) / 1024;
      fullHeapMiB = (full.heap - empty.heap) / 1024;
      longHeld = LineCount(pane);
      longChars = TextLength(pane);
      std::printf("%d lines of 2,000-character reasons into the empty pane: %.1f s; it keeps %d lines (%d rows), %ld "
                  "characters\n",
                  kLongLines, qvbench::Seconds() - longStart, longHeld,
                  static_cast<int>(::SendMessageW(pane, EM_GETLINECOUNT, 0, 0)) - 1, longChars);
      PrintLineTimes("long lines", 0);
      std::printf("resident memory with the pane empty: %.1f MiB; the full pane holds %.1f MiB more (private %.1f, "
                  "Windows heaps %.1f)\n",
                  emptyMiB, fullMiB, fullPrivateMiB, fullHeapMiB);
      longStartShown = NewestStartInView(pane);
      PrintView("full of long lines", pane);
      std::fflush(stdout);

      const size_t warmFrom = g_lineTimes.size();
      const double warm = qvbench::Seconds();
      if (!Send(peer, kLogRecords, kWarmLines)) return;
      std::printf("%d lines into the pane as fast as they come: %.1f s\n", kWarmLines, qvbench::Seconds() - warm);
      PrintLineTimes("filling", warmFrom);
      const size_t floodFrom = g_lineTimes.size();
      std::fflush(stdout);

      quiet = ClickWhile(at, kQuietClicks, [&](const std::atomic<bool>&) {
        testenv::PumpFor(kQuietClicks * (kClickSpacingMs + 100));
        return true;
      });
      std::printf("clicks, quiet (baseline):  median %7.1f ms, worst %7.1f ms (%d clicks)\n", quiet.median,
                  quiet.worst, quiet.count);
      std::fflush(stdout);
      // The flood: lines at their rate from another thread, this one answering them.
      const int until = g_delivered + kFloodLinesPerSecond * kFloodSeconds;
      const double start = qvbench::Seconds();
      flood = ClickWhile(at, -1, [&](const std::atomic<bool>&) {
        std::atomic<bool> sent{false}, failed{false};
        std::thread sender([&] {
          for (int i = 0; i < kFloodLinesPerSecond * kFloodSeconds && !failed; ++i) {
            const double due = start + static_cast<double>(i) / kFloodLinesPerSecond;
            while (qvbench::Seconds() < due) ::Sleep(1);
            if (!SendOne(peer, kLogRecords, i)) failed = true;
          }
          sent = true;
        });
        const bool done = testenv::PumpUntil([&] { return sent && g_delivered >= until; }, 600000);
        sender.join();
        return done && !failed;
      });
      floodSeconds = qvbench::Seconds() - start;
      floodLines = kFloodLinesPerSecond * kFloodSeconds;
      std::printf("clicks, %d lines a second: median %7.1f ms, 90th %7.1f ms, worst %7.1f ms (%d of %d clicks over "
                  "%.0f ms; %d lines took %.1f s)\n",
                  kFloodLinesPerSecond, flood.median, flood.ninetieth, flood.worst, flood.late, flood.count,
                  kGoalClickMs, floodLines, floodSeconds);
      PrintLineTimes("the flood", floodFrom);
      newestShown = NewestInView(pane) && NewestStartInView(pane);
      PrintView("after the flood", pane);
      std::fflush(stdout);

      lines = Measure(kLines / 1000, 1, [&](int) { return sentAll = Send(peer, kLogRecords, 1000); });
      held = LineCount(pane);
      huge = TimeHugeReasons(d, peer, pane);
      complete = sentAll && quiet.count > 0 && flood.count > 0 && huge.line > 0;
      d.EndWith(IDCANCEL);
    });
    main.DoModal();
  }
  ::UnhookWindowsHookEx(timed);
  ::UnhookWindowsHookEx(clicks);
  ::UnhookWindowsHookEx(delivered);
  ::CloseHandle(g_clickEvent);
  CUIResource::Uninit();
  if (!complete) {
    std::fprintf(stderr, "the run did not complete: %d messages delivered, clicks %d quiet, %d in the flood\n",
                 g_delivered.load(), quiet.count, flood.count);
    return 1;
  }
  std::printf("huge reasons: a line of each costs %.1f and %.1f ms (%.1f and %.1f times a 2,000-character one's %.1f "
              "ms); the tab switches with them in the pane %.2f and %.2f times the baseline's there (%.1f ms), "
              "%.2f and %.2f times back (%.1f ms)\n",
              huge.hugeLine[0], huge.hugeLine[1], huge.hugeLine[0] / huge.line, huge.hugeLine[1] / huge.line,
              huge.line, huge.hugeTabs[0].away / huge.tabs.away, huge.hugeTabs[1].away / huge.tabs.away,
              huge.tabs.away, huge.hugeTabs[0].back / huge.tabs.back, huge.hugeTabs[1].back / huge.tabs.back,
              huge.tabs.back);
  qvbench::Goals goals;
  for (int i = 0; i < 2; ++i) {
    const std::string reason = std::to_string(kHugeReasons[i]) + "-character reason";
    goals.Check("a " + reason + "'s line at most " + std::to_string(static_cast<int>(kGoalHugeLineRatio)) +
                   " times a 2,000-character one's",
               huge.lineMet[i]);
    goals.Check("the tab switches with a " + reason + " at most twice the baseline's", huge.tabsMet[i]);
  }
  if (hugeOnly) return goals.Report();
  std::printf("worst click in the flood / median quiet click: %.1f\n",
              flood.worst / (quiet.median > 0.1 ? quiet.median : 0.1));
  Print("run states (baseline):", states, "thousand");
  Print("run-log lines past the bound:", lines, "thousand");
  std::printf("lines in the pane after %d: %d\n", kWarmLines + floodLines + kLines, held);
  std::printf("a full pane of 2,000-character lines (%d lines, %ld characters): %.1f MiB resident above the empty "
              "pane (%.1f MiB)\n",
              longHeld, longChars, fullMiB, emptyMiB);
  goals.Check("resident memory under " + std::to_string(static_cast<int>(kGoalPerThousand)) +
                 " KiB per thousand lines past the bound",
             lines.residentMedian < kGoalPerThousand);
  goals.Check("a full pane of long lines under " + std::to_string(static_cast<int>(kGoalFullPaneMiB)) + " MiB",
             fullMiB < kGoalFullPaneMiB);
  goals.Ratio("slowest click in the flood / slowest quiet click", flood.worst / quiet.worst, kGoalClickRatio);
  goals.Check("the newest line's start shown after the long lines", longStartShown);
  goals.Check("the newest line and its start shown after the flood", newestShown);
  return goals.Report();
}
