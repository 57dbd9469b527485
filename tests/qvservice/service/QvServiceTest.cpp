// The stand-in service answers the console's messages as scripted, through a
// real link on the test thread.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "console/AgentLinkFrameHeader.h"
#include "console/AgentMessageId.h"
#include "console/CAgentLink.h"
#include "console/CAgentLinkManager.h"
#include "platform/CCritSecLock.h"
#include "platform/TextConv.h"
#include "qvservice/CQvService.h"
#include "qvservice/CQvServiceScript.h"
#include "support/AgentLinkTestWindow.h"
#include "support/ChildProcess.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"

namespace {

const char kScript[] =
    "# hosts, listings and run results for the tests\n"
    "settings|8001|8002\n"
    "client|192.168.1.10|online\n"
    "client|192.168.1.11|offline\n"
    "notify|online|192.168.1.10\n"
    "notify|offline|192.168.1.11|200\n"
    "drives|192.168.1.10|12\n"
    "dir|192.168.1.10|C:|Windows|1\n"
    "dir|192.168.1.10|C:\\|\xE6\x95\xB0\xE6\x8D\xAE & <\xE6\x97\xA5\xE5\xBF\x97>|0\n"  // 数据 &
                                                                                       // <日志>
    "file|192.168.1.10|c:|boot.ini|1|0\n"
    "dir|192.168.1.10|C:\\Windows|system32|1\n"
    "run|\xE6\xAF\x8F\xE6\x97\xA5\xE5\xB7\xA1\xE6\xA3\x80|3|"
    "\xE7\x9B\xAE\xE6\xA0\x87\xE4\xB8\x8D\xE5\x8F\xAF\xE8\xBE\xBE\n";  // 每日巡检 / 目标不可达

const uint32_t kOnline = 0x0A01A8C0u;   // 192.168.1.10
const uint32_t kOffline = 0x0B01A8C0u;  // 192.168.1.11
const uint32_t kUnknown = 0x0C01A8C0u;  // 192.168.1.12

std::vector<unsigned char> NameRecord(const std::wstring& name, size_t size = 128) {
  std::vector<unsigned char> r(size, 0);
  for (size_t i = 0; i < name.size() && i < 63; ++i) {
    r[2 * i] = static_cast<unsigned char>(name[i]);
    r[2 * i + 1] = static_cast<unsigned char>(name[i] >> 8);
  }
  return r;
}

std::wstring WideAt(const std::vector<unsigned char>& p, size_t offset) {
  std::wstring s;
  for (size_t i = offset; i + 1 < p.size(); i += 2) {
    wchar_t c = static_cast<wchar_t>(p[i] | (p[i + 1] << 8));
    if (!c) break;
    s.push_back(c);
  }
  return s;
}

uint32_t U32(const std::vector<unsigned char>& p, size_t offset) {
  return offset + 4 <= p.size() ? AgentLinkFrameHeader::ReadU32(&p[offset]) : 0xFFFFFFFFu;
}

void ClearRegistry() {
  CCritSecLock lock(g_agentLinkLock);
  g_agentLinkWindows.clear();
}

// The link on `window`, connected to 127.0.0.1:port.
bool ConnectLink(HWND window, unsigned short port) {
  return g_agentLinkManager.Create(window, AGENT_LINK_SOCKET_MESSAGE, port) == 1 &&
         testenv::PumpUntil([] { return g_agentLinkManager.Link()->IsConnected(); }, 5000);
}

// A file's bytes, read while its writer may still hold it open.
std::string ReadText(const std::wstring& path) {
  HANDLE f = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return {};
  char text[256] = {};
  DWORD got = 0;
  ::ReadFile(f, text, sizeof(text) - 1, &got, nullptr);
  ::CloseHandle(f);
  return std::string(text, got);
}

class QvServiceLink : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearRegistry();
    CQvServiceScript script;
    std::wstring error;
    ASSERT_TRUE(script.LoadText(kScript, &error)) << qv::WideToUtf8(error);
    service.SetScript(script);
    ASSERT_TRUE(service.Listen(0));
    ASSERT_TRUE(service.Start());
    for (UINT id = 1525; id <= 1551; ++id)
      CAgentLinkManager::RegisterWindow(AgentLinkWindow{window.Handle(), id});
    ASSERT_TRUE(ConnectLink(window.Handle(), service.Port()));
  }

  void TearDown() override {
    g_agentLinkManager.Destroy();
    service.Stop();
    ClearRegistry();
  }

  // Waits for the next delivery with this id after `from` and returns its index.
  int WaitFor(UINT id, size_t from = 0, DWORD timeoutMs = 5000) {
    int found = -1;
    testenv::PumpUntil(
        [&] {
          for (size_t i = from; i < window.deliveries.size(); ++i)
            if (window.deliveries[i].message == id) {
              found = static_cast<int>(i);
              return true;
            }
          return false;
        },
        timeoutMs);
    return found;
  }

  size_t Count(UINT id) const {
    size_t n = 0;
    for (const auto& d : window.deliveries) n += d.message == id;
    return n;
  }

  CQvService service;
  testenv::AgentLinkTestWindow window;
};

}  // namespace

TEST_F(QvServiceLink, ScriptedNoticesFollowTheConnectionAndBroadcastsReachItAtOnce) {
  int online = WaitFor(AGENT_MSG_CLIENT_ONLINE);
  int offline = WaitFor(AGENT_MSG_CLIENT_OFFLINE);
  ASSERT_GE(online, 0);
  ASSERT_GT(offline, online);
  EXPECT_TRUE(window.deliveries[online].headerOnly);
  EXPECT_EQ(kOnline, window.deliveries[online].frameWParam);
  EXPECT_EQ(kOffline, window.deliveries[offline].frameWParam);

  service.Broadcast(0, kUnknown, AGENT_MSG_CLIENT_ONLINE, {});
  int i = WaitFor(AGENT_MSG_CLIENT_ONLINE, offline + 1);
  ASSERT_GE(i, 0);
  EXPECT_EQ(kUnknown, window.deliveries[i].frameWParam);
}

TEST_F(QvServiceLink, ServerSettingsAreAnsweredAndCanBeChanged) {
  ASSERT_EQ(1, g_agentLinkManager.SendHeaderOnChannel2(0, AGENT_MSG_SERVER_SETTINGS));
  int i = WaitFor(AGENT_MSG_SERVER_SETTINGS);
  ASSERT_GE(i, 0);
  const auto& d = window.deliveries[i];
  EXPECT_EQ(52u, d.length);
  EXPECT_EQ(8001u, U32(d.payload, 0));
  EXPECT_EQ(8002u, U32(d.payload, 4));

  std::vector<unsigned char> record(52, 0);
  AgentLinkFrameHeader::WriteU32(&record[0], 9001);
  AgentLinkFrameHeader::WriteU32(&record[4], 9002);
  ASSERT_EQ(1, g_agentLinkManager.SendOnChannel2(0, AGENT_MSG_SERVER_SETTINGS, record.data(), 52));
  ASSERT_EQ(1, g_agentLinkManager.SendHeaderOnChannel2(0, AGENT_MSG_SERVER_SETTINGS));
  int j = WaitFor(AGENT_MSG_SERVER_SETTINGS, i + 1);
  ASSERT_GE(j, 0);
  EXPECT_EQ(9001u, U32(window.deliveries[j].payload, 0));
  EXPECT_EQ(9002u, U32(window.deliveries[j].payload, 4));
  EXPECT_EQ(2u, Count(AGENT_MSG_SERVER_SETTINGS));  // setting the ports is not answered
}

TEST_F(QvServiceLink, ClientStateIsAnsweredForEveryHost) {
  size_t from = window.deliveries.size();
  for (uint32_t host : {kOnline, kOffline, kUnknown})
    ASSERT_EQ(1, g_agentLinkManager.SendOnChannel2(0, AGENT_MSG_CLIENT_STATE, &host, 4));
  const uint32_t expected[][2] = {{kOnline, 1}, {kOffline, 0}, {kUnknown, 0}};
  for (const auto& e : expected) {
    int i = WaitFor(AGENT_MSG_CLIENT_STATE, from);
    ASSERT_GE(i, 0);
    EXPECT_EQ(8u, window.deliveries[i].length);
    EXPECT_EQ(e[0], U32(window.deliveries[i].payload, 0));
    EXPECT_EQ(e[1], U32(window.deliveries[i].payload, 4));
    from = i + 1;
  }
}

TEST_F(QvServiceLink, RunningAStrategyReportsStateAndLog) {
  std::wstring name = L"\x6BCF\x65E5\x5DE1\x68C0";  // 每日巡检
  std::vector<unsigned char> run = NameRecord(name, 132);
  AgentLinkFrameHeader::WriteU32(&run[128], 1);
  ASSERT_EQ(1, g_agentLinkManager.SendOnChannel3(0, AGENT_MSG_STRATEGY_RUN, run.data(), 132));
  int s1 = WaitFor(AGENT_MSG_STRATEGY_RUN);
  int l1 = WaitFor(AGENT_MSG_STRATEGY_RUN_LOG);
  int l2 = WaitFor(AGENT_MSG_STRATEGY_RUN_LOG, l1 + 1);
  int s2 = WaitFor(AGENT_MSG_STRATEGY_RUN, s1 + 1);
  ASSERT_GE(s1, 0);
  ASSERT_GT(l1, s1);
  ASSERT_GT(l2, l1);
  ASSERT_GT(s2, l2);
  const auto& d = window.deliveries;
  EXPECT_EQ(1u, U32(d[s1].payload, 0));
  EXPECT_EQ(name, WideAt(d[s1].payload, 4));
  EXPECT_EQ(1u, U32(d[l1].payload, 0));
  EXPECT_EQ(name, WideAt(d[l1].payload, 4));
  EXPECT_EQ(3u, U32(d[l2].payload, 0));
  EXPECT_EQ(L"\x76EE\x6807\x4E0D\x53EF\x8FBE", WideAt(d[l2].payload, 132));  // 目标不可达
  EXPECT_EQ(0u, U32(d[s2].payload, 0));
  EXPECT_EQ(652u, d[l2].length);

  // A strategy the script does not name succeeds.
  size_t from = d.size();
  std::vector<unsigned char> other = NameRecord(L"nightly", 132);
  ASSERT_EQ(1, g_agentLinkManager.SendOnChannel3(0, AGENT_MSG_STRATEGY_RUN, other.data(), 132));
  int a = WaitFor(AGENT_MSG_STRATEGY_RUN_LOG, from);
  int b = a >= 0 ? WaitFor(AGENT_MSG_STRATEGY_RUN_LOG, a + 1) : -1;
  ASSERT_GE(b, 0);
  EXPECT_EQ(2u, U32(window.deliveries[b].payload, 0));
  EXPECT_EQ(L"nightly", WideAt(window.deliveries[b].payload, 4));
}

TEST_F(QvServiceLink, PauseStopAndDeleteAreAcknowledgedWithTheName) {
  std::vector<unsigned char> record = NameRecord(L"weekly");
  for (UINT id : {AGENT_MSG_STRATEGY_PAUSE, AGENT_MSG_STRATEGY_STOP, AGENT_MSG_STRATEGY_DELETE}) {
    ASSERT_EQ(1, g_agentLinkManager.SendOnChannel3(0, id, record.data(), 128));
    int i = WaitFor(id);
    ASSERT_GE(i, 0) << id;
    EXPECT_FALSE(window.deliveries[i].headerOnly);
    EXPECT_EQ(128u, window.deliveries[i].length);
    EXPECT_EQ(L"weekly", WideAt(window.deliveries[i].payload, 0));
  }
}

TEST_F(QvServiceLink, DrivesAndDirectoriesOfAnOnlineHost) {
  ASSERT_EQ(1, g_agentLinkManager.SendHeaderOnChannel1(kOnline, AGENT_MSG_LIST_DRIVES));
  int i = WaitFor(AGENT_MSG_LIST_DRIVES);
  ASSERT_GE(i, 0);
  EXPECT_EQ(kOnline, window.deliveries[i].frameWParam);
  EXPECT_EQ(L"<drives><drive mask=\"12\"/></drives>", WideAt(window.deliveries[i].payload, 0));
  EXPECT_EQ(
      0,
      window.deliveries[i].payload[window.deliveries[i].length - 2]);  // ends with a NUL character

  std::vector<unsigned char> path = NameRecord(L"C:", 520);
  ASSERT_EQ(1,
            g_agentLinkManager.SendOnChannel1(kOnline, AGENT_MSG_LIST_DIRECTORY, path.data(), 520));
  int dirs = WaitFor(AGENT_MSG_LIST_DIRECTORY);
  int files = WaitFor(AGENT_MSG_FILE_LIST);
  ASSERT_GE(dirs, 0);
  ASSERT_GE(files, 0);
  EXPECT_EQ(
      L"<dir><item name=\"Windows\" sub=\"1\"/>"
      L"<item name=\"\x6570\x636E &amp; &lt;\x65E5\x5FD7&gt;\" sub=\"0\"/></dir>",
      WideAt(window.deliveries[dirs].payload, 0));
  const auto& f = window.deliveries[files];
  std::string utf8(f.payload.begin(), f.payload.end());
  EXPECT_EQ('\0', utf8.back());
  utf8.pop_back();
  EXPECT_EQ(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?><files>"
      "<item name=\"Windows\" file=\"0\" sub=\"1\"/>"
      "<item name=\"\xE6\x95\xB0\xE6\x8D\xAE &amp; &lt;\xE6\x97\xA5\xE5\xBF\x97&gt;\" file=\"0\" "
      "sub=\"0\"/>"
      "<item name=\"boot.ini\" file=\"1\" sub=\"0\"/></files>",
      utf8);
  EXPECT_EQ(kOnline, f.frameWParam);
}

TEST_F(QvServiceLink, OfflineHostsAgentStaysSilentAndTheRestIsTakenQuietly) {
  size_t from = window.deliveries.size();
  ASSERT_EQ(1, g_agentLinkManager.SendHeaderOnChannel1(kOffline, AGENT_MSG_LIST_DRIVES));
  std::vector<unsigned char> any(292, 1);
  for (UINT id : {1527u, 1531u, 1534u, 1535u, 1549u, 1551u})
    ASSERT_EQ(1, g_agentLinkManager.SendOnChannel3(0, id, any.data(), uint32_t(any.size())));
  ASSERT_EQ(1,
            g_agentLinkManager.SendOnChannel1(kOnline, AGENT_MSG_HIPS_FILTER_NEW, any.data(), 100));
  uint32_t host = kOnline;
  ASSERT_EQ(1, g_agentLinkManager.SendOnChannel2(0, AGENT_MSG_CLIENT_STATE, &host, 4));
  ASSERT_GE(WaitFor(AGENT_MSG_CLIENT_STATE, from), 0);
  testenv::PumpFor(100);
  for (size_t i = from; i < window.deliveries.size(); ++i) {
    UINT m = window.deliveries[i].message;
    EXPECT_TRUE(m == AGENT_MSG_CLIENT_STATE || m == AGENT_MSG_CLIENT_ONLINE ||
                m == AGENT_MSG_CLIENT_OFFLINE)
        << m;
  }
  std::vector<CQvService::Received> got = service.ReceivedFrames();
  size_t seen = 0;
  for (const auto& r : got)
    if (r.messageId == 1549 || r.messageId == AGENT_MSG_HIPS_FILTER_NEW) {
      ++seen;
      EXPECT_EQ(r.messageId == 1549 ? 292u : 100u, r.length);
    }
  EXPECT_EQ(2u, seen);
  EXPECT_EQ(1u, service.ConnectionCount());
}

TEST(QvServiceScript, RefusesMalformedLinesWithTheirNumber) {
  CQvServiceScript s;
  std::wstring error;
  EXPECT_FALSE(s.LoadText("settings|1|2\nclient|192.168.1.300|online\n", &error));
  EXPECT_NE(std::wstring::npos, error.find(L"line 2"));
  EXPECT_FALSE(s.LoadText("drives|10.0.0.1|twelve\n", &error));
  EXPECT_FALSE(s.LoadText("unknown|x\n", &error));
  for (const char* host : {"127.1", "0x7f.0.0.1", "010.1.1.1x", "1.2.3.4 5"}) {  // no four-number address
    SCOPED_TRACE(host);
    EXPECT_FALSE(s.LoadText(std::string("client|") + host + "|online\n", &error));
  }
  EXPECT_TRUE(s.LoadText("client|255.255.255.255|online\n", &error));
  EXPECT_FALSE(s.LoadText("dir|10.0.0.1|C:|name\n", &error));
  EXPECT_TRUE(s.LoadText("\n# only comments\n   \n", &error));
  EXPECT_EQ(-1, s.ClientState(kOnline));
}

TEST(QvServiceProcess, ExecutableServesFromItsDataFile) {
  testenv::TempDir dir;
  std::wstring data = dir.File(L"service.txt"), portFile = dir.File(L"port.txt"),
               log = dir.File(L"frames.log");
  ASSERT_TRUE(testfiles::WriteBytes(data, std::string(kScript, sizeof(kScript) - 1)));
  testenv::ChildProcess child;
  ASSERT_TRUE(child.Start(L"\"" + testenv::WindowsPath(QV_SERVICE_EXE) + L"\" --port 0 --port-file \"" + portFile +
                              L"\" --data \"" + data + L"\" --log \"" + log + L"\"",
                          CREATE_NO_WINDOW));

  // The child writes the port it got once it listens; nothing posts messages
  // meanwhile, so this polls.
  unsigned port = 0;
  for (int i = 0; i < 300; ++i, ::Sleep(50)) {
    std::string text = ReadText(portFile);
    port = static_cast<unsigned>(std::strtoul(text.c_str(), nullptr, 10));
    if (!text.empty() && text.back() == '\n' && port != 0) break;
  }
  ASSERT_NE(0u, port);

  ClearRegistry();
  testenv::AgentLinkTestWindow window;
  CAgentLinkManager::RegisterWindow(AgentLinkWindow{window.Handle(), AGENT_MSG_SERVER_SETTINGS});
  ASSERT_TRUE(ConnectLink(window.Handle(), static_cast<unsigned short>(port)));
  ASSERT_EQ(1, g_agentLinkManager.SendHeaderOnChannel2(0, AGENT_MSG_SERVER_SETTINGS));
  bool answered = testenv::PumpUntil([&] { return !window.deliveries.empty(); }, 5000);
  g_agentLinkManager.Destroy();
  ClearRegistry();
  ASSERT_TRUE(answered);
  EXPECT_EQ(8001u, U32(window.deliveries[0].payload, 0));
  EXPECT_EQ("type=2 wparam=0 id=1525 length=0\r\n", ReadText(log));
}
