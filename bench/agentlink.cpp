// Frames per second delivered through the service link from the stand-in service, against a
// raw loopback socket reading the same bytes from the same service in the same run.
//   (cd build && ctest -C bench -R bench_agentlink --verbose)
#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "BenchSupport.h"
#include "console/AgentLinkFrameHeader.h"
#include "console/AgentLinkPayloadInfo.h"
#include "console/AgentMessageId.h"
#include "console/CAgentLink.h"
#include "console/CAgentLinkManager.h"
#include "qvservice/CQvService.h"

namespace {

using qvbench::Seconds;

const UINT kBurstId = AGENT_MSG_STRATEGY_RUN_LOG;  // type 0 with payload: delivered with its info
uint32_t g_frames = 0;
uint64_t g_bytes = 0;

LRESULT CALLBACK BenchWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == AGENT_LINK_SOCKET_MESSAGE || message == WM_TIMER) {
    AgentLinkHook(hwnd, message, wParam, lParam);
    return 0;
  }
  if (message == kBurstId) {
    const auto* info = reinterpret_cast<const AgentLinkPayloadInfo*>(wParam);
    ++g_frames;
    g_bytes += info->length;
    return 0;
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

std::vector<unsigned char> BurstRequest(uint32_t count, uint32_t size) {
  std::vector<unsigned char> r(16);
  AgentLinkFrameHeader::WriteU32(&r[0], count);
  AgentLinkFrameHeader::WriteU32(&r[4], size);
  AgentLinkFrameHeader::WriteU32(&r[8], 0);
  AgentLinkFrameHeader::WriteU32(&r[12], kBurstId);
  return r;
}

// Seconds until the link delivered `count` frames, or a negative value on a stall.
double ThroughLink(uint32_t count, uint32_t size) {
  g_frames = 0;
  g_bytes = 0;
  std::vector<unsigned char> request = BurstRequest(count, size);
  double start = Seconds();
  if (!g_agentLinkManager.SendOnChannel2(0, CQvService::QV_SERVICE_MSG_BURST, request.data(), 16))
    return -1;
  DWORD deadline = ::GetTickCount() + 60000;
  while (g_frames < count) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    if (g_frames >= count) break;
    if (::GetTickCount() > deadline) return -1;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
  }
  double t = Seconds() - start;
  return g_bytes == uint64_t(count) * size ? t : -1;
}

// Seconds for a plain blocking socket to read the same burst's bytes.
double RawRead(unsigned short port, uint32_t count, uint32_t size) {
  SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in addr;
  std::memset(&addr, 0, sizeof(addr));
  addr.sin_family = AF_INET;
  addr.sin_port = ::htons(port);
  addr.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
  if (::connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0) {
    ::closesocket(s);
    return -1;
  }
  std::vector<unsigned char> frame(16 + 16);
  AgentLinkFrameHeader h = {16, 2, 0, CQvService::QV_SERVICE_MSG_BURST};
  h.Write(frame.data());
  std::vector<unsigned char> request = BurstRequest(count, size);
  std::memcpy(&frame[16], request.data(), 16);
  double start = Seconds();
  ::send(s, reinterpret_cast<const char*>(frame.data()), int(frame.size()), 0);
  const uint64_t want = uint64_t(count) * (16 + size);
  uint64_t got = 0;
  std::vector<char> buffer(64 * 1024);
  while (got < want) {
    int n = ::recv(s, buffer.data(), int(buffer.size()), 0);
    if (n <= 0) break;
    got += uint64_t(n);
  }
  double t = Seconds() - start;
  ::closesocket(s);
  return got == want ? t : -1;
}

}  // namespace

int main() {
  WSADATA wsa;
  ::WSAStartup(MAKEWORD(2, 2), &wsa);
  CQvService service;
  if (!service.Listen(0) || !service.Start()) {
    std::printf("bench: the service did not start\n");
    return 1;
  }

  WNDCLASSW wc = {};
  wc.lpfnWndProc = &BenchWndProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"QvAgentLinkBench";
  ::RegisterClassW(&wc);
  HWND hwnd = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10,
                                nullptr, nullptr, wc.hInstance, nullptr);
  CAgentLinkManager::RegisterWindow(AgentLinkWindow{hwnd, kBurstId});
  g_agentLinkManager.Create(hwnd, AGENT_LINK_SOCKET_MESSAGE, service.Port());
  DWORD deadline = ::GetTickCount() + 5000;
  while (!g_agentLinkManager.Link()->IsConnected() && ::GetTickCount() < deadline) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }

  struct Case {
    const char* name;
    uint32_t count;
    uint32_t size;
  } cases[] = {{"small (132 B)", 20000, 132},
               {"64 KiB", 800, 64 * 1024},
               {"1 MiB", 60, 1024 * 1024}};  // its buffer grows from 64 KiB as it arrives
  int status = 0;
  for (const Case& c : cases) {
    double bestLink = 1e9, bestRaw = 1e9;
    for (int round = 0; round < 3; ++round) {
      double l = ThroughLink(c.count, c.size);
      double r = RawRead(service.Port(), c.count, c.size);
      if (l < 0 || r < 0) {
        std::printf("bench: %s: a burst did not arrive whole\n", c.name);
        status = 1;
        break;
      }
      if (l < bestLink) bestLink = l;
      if (r < bestRaw) bestRaw = r;
    }
    if (status) break;
    double linkRate = c.count / bestLink, rawRate = c.count / bestRaw;
    std::printf("%-14s link %10.0f frames/s   raw socket %10.0f frames/s   ratio %.2f\n", c.name,
                linkRate, rawRate, linkRate / rawRate);
  }
  g_agentLinkManager.Destroy();
  ::DestroyWindow(hwnd);
  service.Stop();
  return status;
}
