// Connecting, sending, closing and reconnecting against a real loopback peer.
#include "AgentLinkFixture.h"

namespace {
const uint32_t kHost = 0x0A01A8C0u;  // 192.168.1.10 as inet_addr gives it
}

class AgentLinkConnection : public AgentLinkFixture {};

// A connection still being made may fail: what is given to it then is refused, and the
// window is told once it stands, so that it asks again.
TEST_F(AgentLinkConnection, FramesAreTakenOnlyOnceConnectedAndArriveInOrder) {
  const unsigned char path[6] = {'C', 0, ':', 0, 0, 0};
  const uint32_t sent[][4] = {{1, kHost, 1538, 6}, {1, kHost, 1536, 0}, {2, 0, 1526, 4}, {3, 0, 1527, 0}};
  Start();
  ASSERT_TRUE(Link()->IsConnecting());
  EXPECT_EQ(0, g_agentLinkManager.SendHeaderOnChannel2(0, 1525));
  EXPECT_EQ(0, g_agentLinkManager.SendOnChannel3(0, 1547, path, 2));
  EXPECT_EQ(0u, Link()->QueuedBytes());
  EXPECT_EQ(0, window.connectedNotices);
  Connect();
  EXPECT_EQ(1, window.connectedNotices);
  EXPECT_EQ(1, g_agentLinkManager.SendOnChannel1(kHost, 1538, path, sizeof(path)));
  EXPECT_EQ(1, g_agentLinkManager.SendHeaderOnChannel1(kHost, 1536));
  EXPECT_EQ(1, g_agentLinkManager.SendOnChannel2(0, 1526, path, 4));
  EXPECT_EQ(1, g_agentLinkManager.SendHeaderOnChannel3(0, 1527));

  for (const auto& r : sent) {
    SCOPED_TRACE(r[2]);
    testenv::PeerFrame f;
    ASSERT_TRUE(peer->ReceiveFrame(&f, 3000));
    EXPECT_EQ(r[0], f.type);
    EXPECT_EQ(r[1], f.wParam);
    EXPECT_EQ(r[2], f.messageId);
    EXPECT_EQ(Bytes(path, path + r[3]), f.payload);
  }
}

TEST_F(AgentLinkConnection, TwelveLargeFramesInARowAllReachASlowReader) {
  peer.reset(new Peer(64 * 1024));  // small windows keep every send short
  Connect();
  int small = 64 * 1024;
  ::setsockopt(Link()->Socket(), SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&small),
               sizeof(small));
  testenv::PumpFor(0);  // the connect's own write event must not do the flushing
  for (uint32_t i = 0; i < 12; ++i) {
    Bytes big = Pattern(1u << 20, i);
    EXPECT_EQ(1, g_agentLinkManager.SendOnChannel3(i, 1551, big.data(), uint32_t(big.size())));
  }
  EXPECT_EQ(1, g_agentLinkManager.SendOnChannel2(0, 1525, "tail", 4));
  for (uint32_t i = 0; i < 12; ++i) {
    testenv::PeerFrame f;
    ASSERT_TRUE(peer->ReceiveFrame(&f, 20000)) << "frame " << i;
    EXPECT_EQ(i, f.wParam);
    EXPECT_TRUE(f.payload == Pattern(1u << 20, i));
  }
  testenv::PeerFrame f;
  ASSERT_TRUE(peer->ReceiveFrame(&f, 5000));
  EXPECT_EQ(1525u, f.messageId);
  EXPECT_EQ(0u, Link()->QueuedBytes());
}

TEST_F(AgentLinkConnection, CleanCloseDeliversWhatCameAndIsNotRetried) {
  Register(window.Handle(), 1532);
  Connect();
  ASSERT_TRUE(peer->SendFrame(0, 0, 1532, "last", 4));
  peer->CloseClean();
  ASSERT_TRUE(testenv::PumpUntil([] { return Link()->Socket() == INVALID_SOCKET; }, 5000));
  ASSERT_EQ(1u, window.deliveries.size());
  EXPECT_EQ(4u, window.deliveries[0].length);
  EXPECT_FALSE(RetryPending());
  // The owning window's own timer 1 is no order to reconnect.
  ::SendMessageW(window.Handle(), WM_TIMER, 1, 0);
  EXPECT_EQ(INVALID_SOCKET, Link()->Socket());
  // Frames sent while the link is down are lost, not queued.
  EXPECT_EQ(0, g_agentLinkManager.SendHeaderOnChannel2(0, 1525));
  EXPECT_EQ(0u, Link()->QueuedBytes());
}

TEST_F(AgentLinkConnection, ResetByThePeerReconnectsAfterThreeSeconds) {
  Register(window.Handle(), 1532);
  Connect();
  Bytes frame = Peer::Frame(0, 0, 1532, "torn", 4);
  ASSERT_TRUE(peer->Send(frame.data(), 10));  // the new connection must not go on from here
  ASSERT_TRUE(testenv::PumpUntil([] { return testenv::UnreadBytes(Link()->Socket()) == 0; }, 5000));
  DWORD start = ::GetTickCount();
  peer->Reset();
  ASSERT_TRUE(peer->Accept(10000));
  EXPECT_GE(::GetTickCount() - start, 2500u);
  ASSERT_TRUE(testenv::PumpUntil([] { return Link()->IsConnected(); }, 5000));
  ASSERT_TRUE(peer->SendFrame(0, 0, 1532, "whole", 5));
  ASSERT_TRUE(WaitDeliveries(window, 1));
  EXPECT_EQ(Bytes({'w', 'h', 'o', 'l', 'e'}), window.deliveries[0].payload);
}

TEST_F(AgentLinkConnection, RefusedConnectionOrMissingSocketIsRetried) {
  peer.reset(new Peer(0, false));  // refuses until it listens
  Start();
  EXPECT_EQ(0, g_agentLinkManager.SendHeaderOnChannel2(0, 1525));  // the attempt will fail
  ASSERT_TRUE(testenv::PumpUntil([] { return !Link()->IsConnecting(); }, 5000));
  EXPECT_EQ(0u, Link()->QueuedBytes());
  EXPECT_EQ(0, window.connectedNotices);
  ASSERT_TRUE(peer->Listen());
  FireReconnectTimer();
  Connect();
  EXPECT_EQ(1, window.connectedNotices);

  // With Windows Sockets shut down (which closes every socket) none can be made.
  int started = 0;
  while (::WSACleanup() == 0) ++started;
  ::SendMessageW(window.Handle(), WM_TIMER, AGENT_LINK_RECONNECT_TIMER, 0);
  EXPECT_TRUE(RetryPending());
  for (WSADATA data; started > 0; --started) ::WSAStartup(MAKEWORD(2, 2), &data);
}

TEST_F(AgentLinkConnection, OverLimitLengthClosesAndReconnectsAndStopCancelsTheRetry) {
  Connect();
  unsigned char header[16];
  AgentLinkFrameHeader{AgentLinkFrameAssembler::kMaxPayload + 1, 0, 0, 1532}.Write(header);
  ASSERT_TRUE(peer->Send(header, sizeof(header)));
  EXPECT_TRUE(peer->WaitClosed(3000));
  FireReconnectTimer();
  Connect();
  ASSERT_TRUE(peer->Send(header, sizeof(header)));
  ASSERT_TRUE(testenv::PumpUntil([] { return Link()->Socket() == INVALID_SOCKET; }, 5000));
  g_agentLinkManager.Destroy();
  EXPECT_FALSE(RetryPending());
}
