#pragma once
// A link on a hidden window of the test thread, connected to a loopback peer.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

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

  bool WaitDeliveries(testenv::AgentLinkTestWindow& w, size_t count, DWORD timeoutMs = 5000) {
    return testenv::PumpUntil([&] { return w.deliveries.size() >= count; }, timeoutMs);
  }

  testenv::AgentLinkTestWindow window;
  std::unique_ptr<testenv::LoopbackPeer> peer;
};
