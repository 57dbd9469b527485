#pragma once
// A link on a hidden window of the test thread, connected to a loopback peer.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "console/AgentMessageId.h"
#include "console/CAgentLink.h"
#include "console/CAgentLinkManager.h"
#include "platform/CCritSecLock.h"
#include "support/AgentLinkTestWindow.h"
#include "support/LoopbackPeer.h"
#include "support/TestEnv.h"

using Bytes = std::vector<unsigned char>;
using Peer = testenv::LoopbackPeer;

class AgentLinkFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearRegistry();
    ASSERT_TRUE(peer->Listening());
  }

  void TearDown() override {
    g_agentLinkManager.Destroy();
    ClearRegistry();
    testenv::PumpFor(20);  // drop stale socket events
  }

  static void ClearRegistry() {
    CCritSecLock lock(g_agentLinkLock);
    g_agentLinkWindows.clear();
  }

  static CAgentLink* Link() { return g_agentLinkManager.Link(); }

  void Start() {
    ASSERT_EQ(1,
              g_agentLinkManager.Create(window.Handle(), AGENT_LINK_SOCKET_MESSAGE, peer->Port()));
  }

  // Starts the link (unless started) and waits until the peer accepted it and
  // the link saw its connect event.
  void Connect() {
    if (!Link()) Start();
    ASSERT_TRUE(peer->Accept(5000));
    ASSERT_TRUE(testenv::PumpUntil([] { return Link() && Link()->IsConnected(); }, 5000));
  }

  // The link closed with an error must have its retry pending, which is fired
  // at once instead of after three seconds.
  void FireReconnectTimer() {
    ASSERT_TRUE(testenv::PumpUntil([] { return Link()->Socket() == INVALID_SOCKET; }, 5000));
    ASSERT_TRUE(::KillTimer(window.Handle(), AGENT_LINK_RECONNECT_TIMER)) << "no retry pending";
    ::SendMessageW(window.Handle(), WM_TIMER, AGENT_LINK_RECONNECT_TIMER, 0);
  }

  // True when a reconnection was scheduled; cancels it.
  bool RetryPending() { return ::KillTimer(window.Handle(), AGENT_LINK_RECONNECT_TIMER) != 0; }

  void Register(HWND hwnd, UINT id) {
    CAgentLinkManager::RegisterWindow(AgentLinkWindow{hwnd, id});
  }

  bool WaitDeliveries(testenv::AgentLinkTestWindow& w, size_t count) {
    return testenv::PumpUntil([&] { return w.deliveries.size() >= count; }, 5000);
  }

  static Bytes Pattern(size_t n, unsigned seed) {
    Bytes v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<unsigned char>(i * 13 + seed);
    return v;
  }

  static void Append(Bytes& stream, const Bytes& frame) {
    stream.insert(stream.end(), frame.begin(), frame.end());
  }

  testenv::AgentLinkTestWindow window;
  std::unique_ptr<Peer> peer{new Peer()};
};
