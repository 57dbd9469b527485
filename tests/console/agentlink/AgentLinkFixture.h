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

class AgentLinkFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearRegistry();
    peer.reset(new testenv::LoopbackPeer());
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

  // Creates the link on `window` and waits until the peer accepted it and the
  // link saw its connect event.
  void Connect() {
    ASSERT_EQ(1,
              g_agentLinkManager.Create(window.Handle(), AGENT_LINK_SOCKET_MESSAGE, peer->Port()));
    ASSERT_TRUE(peer->Accept(5000));
    ASSERT_TRUE(testenv::PumpUntil([] { return Link() && Link()->IsConnected(); }, 5000));
  }

  static CAgentLink* Link() { return g_agentLinkManager.Link(); }

  void Register(HWND hwnd, UINT id) {
    CAgentLinkManager::RegisterWindow(AgentLinkWindow{hwnd, id});
  }

  // Accepts the link's next connection attempt, which must come about three
  // seconds after `start`, and waits until the link sees it.
  void AcceptReconnection(DWORD start) {
    ASSERT_TRUE(peer->Accept(8000));
    DWORD elapsed = ::GetTickCount() - start;
    EXPECT_GE(elapsed, 2500u);
    EXPECT_LE(elapsed, 6000u);
    ASSERT_TRUE(testenv::PumpUntil([] { return Link()->IsConnected(); }, 5000));
  }

  bool WaitDeliveries(testenv::AgentLinkTestWindow& w, size_t count, DWORD timeoutMs = 5000) {
    return testenv::PumpUntil([&] { return w.deliveries.size() >= count; }, timeoutMs);
  }

  static std::vector<unsigned char> Bytes(size_t n, unsigned seed) {
    std::vector<unsigned char> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<unsigned char>(i * 13 + seed);
    return v;
  }

  static void Append(std::vector<unsigned char>& stream, const std::vector<unsigned char>& frame) {
    stream.insert(stream.end(), frame.begin(), frame.end());
  }

  testenv::AgentLinkTestWindow window;
  std::unique_ptr<testenv::LoopbackPeer> peer;
};
