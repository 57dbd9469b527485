// Connecting, sending, closing and reconnecting against a real loopback peer.
#include "AgentLinkFixture.h"

#include <cstring>
#include <vector>

class AgentLinkConnection : public AgentLinkFixture {};

TEST_F(AgentLinkConnection, SendsTheExactHeaderBytes) {
  Connect();
  const unsigned char path[6] = {'C', 0, ':', 0, 0, 0};
  EXPECT_EQ(1, g_agentLinkManager.SendOnChannel1(0x0A01A8C0u, 1538, path, sizeof(path)));
  EXPECT_EQ(1, g_agentLinkManager.SendHeaderOnChannel2(0, 1525));
  EXPECT_EQ(1, g_agentLinkManager.SendOnChannel3(0, 1547, path, 2));
  EXPECT_EQ(1, g_agentLinkManager.SendHeaderOnChannel1(0x0A01A8C0u, 1536));
  EXPECT_EQ(1, g_agentLinkManager.SendOnChannel2(0, 1526, path, 4));
  EXPECT_EQ(1, g_agentLinkManager.SendHeaderOnChannel3(0, 1527));

  unsigned char got[16 + 6];
  ASSERT_TRUE(peer->Receive(got, sizeof(got), 3000));
  const unsigned char expected[16] = {6,    0,    0,    0,    1,    0,    0, 0,
                                      0xC0, 0xA8, 0x01, 0x0A, 0x02, 0x06, 0, 0};
  EXPECT_EQ(0, std::memcmp(got, expected, 16));
  EXPECT_EQ(0, std::memcmp(got + 16, path, 6));

  const uint32_t rest[][3] = {{2, 0, 1525}, {3, 2, 1547}, {1, 0, 1536}, {2, 4, 1526}, {3, 0, 1527}};
  for (const auto& r : rest) {
    testenv::PeerFrame f;
    ASSERT_TRUE(peer->ReceiveFrame(&f, 3000));
    EXPECT_EQ(r[0], f.type);
    EXPECT_EQ(r[1], f.payload.size());
    EXPECT_EQ(r[2], f.messageId);
  }
}

TEST_F(AgentLinkConnection, FrameSentWhileConnectingArrivesWhole) {
  ASSERT_EQ(1, g_agentLinkManager.Create(window.Handle(), AGENT_LINK_SOCKET_MESSAGE, peer->Port()));
  ASSERT_TRUE(Link()->IsConnecting());
  std::vector<unsigned char> record = Bytes(132, 1);
  EXPECT_EQ(1, g_agentLinkManager.SendOnChannel3(0, 1546, record.data(), uint32_t(record.size())));
  EXPECT_EQ(1, g_agentLinkManager.SendHeaderOnChannel2(0, 1525));
  ASSERT_TRUE(peer->Accept(5000));
  testenv::PeerFrame f;
  ASSERT_TRUE(peer->ReceiveFrame(&f, 5000));
  EXPECT_EQ(3u, f.type);
  EXPECT_EQ(1546u, f.messageId);
  EXPECT_EQ(record, f.payload);
  ASSERT_TRUE(peer->ReceiveFrame(&f, 5000));
  EXPECT_EQ(1525u, f.messageId);
  EXPECT_TRUE(f.payload.empty());
  EXPECT_EQ(0u, Link()->QueuedBytes());
}

TEST_F(AgentLinkConnection, PartlySentFrameIsFinishedBeforeTheNextOne) {
  peer.reset(new testenv::LoopbackPeer(0, 4096));  // a small window keeps the send short
  Connect();
  int small = 4096;
  ::setsockopt(Link()->Socket(), SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&small),
               sizeof(small));
  std::vector<unsigned char> big = Bytes(1u << 20, 2);
  std::vector<unsigned char> after = Bytes(52, 3);
  EXPECT_EQ(1, g_agentLinkManager.SendOnChannel3(0, 1551, big.data(), uint32_t(big.size())));
  EXPECT_GT(Link()->QueuedBytes(), 0u) << "the socket took the whole frame at once";
  EXPECT_EQ(1, g_agentLinkManager.SendOnChannel2(0, 1525, after.data(), uint32_t(after.size())));

  testenv::PeerFrame f;
  ASSERT_TRUE(peer->ReceiveFrame(&f, 20000));
  EXPECT_EQ(1551u, f.messageId);
  EXPECT_TRUE(f.payload == big);
  ASSERT_TRUE(peer->ReceiveFrame(&f, 5000));
  EXPECT_EQ(1525u, f.messageId);
  EXPECT_EQ(after, f.payload);
  EXPECT_EQ(0u, Link()->QueuedBytes());
}

TEST_F(AgentLinkConnection, CleanCloseDeliversWhatCameAndIsNotRetried) {
  Register(window.Handle(), 1532);
  Connect();
  ASSERT_TRUE(peer->SendFrame(0, 0, 1532, "last", 4));
  peer->CloseClean();
  ASSERT_TRUE(testenv::PumpUntil([] { return Link()->Socket() == INVALID_SOCKET; }, 5000));
  ASSERT_TRUE(WaitDeliveries(window, 1));
  EXPECT_EQ(4u, window.deliveries[0].length);
  // Frames sent while the link is down are lost, not queued.
  EXPECT_FALSE(Link()->IsConnected());
  EXPECT_EQ(0, g_agentLinkManager.SendHeaderOnChannel2(0, 1525));
  EXPECT_EQ(0u, Link()->QueuedBytes());
  testenv::PumpFor(4000);
  EXPECT_FALSE(peer->HasPendingConnection());
  EXPECT_EQ(INVALID_SOCKET, Link()->Socket());
}

TEST_F(AgentLinkConnection, ResetReconnectsAfterAboutThreeSeconds) {
  Connect();
  // Windows reports a reset by the service as a close event with
  // WSAECONNRESET. Wine reads a reset as an orderly end, so the event is given
  // here as Windows would send it, on the real connection.
  SOCKET s = Link()->Socket();
  ::PostMessageW(window.Handle(), AGENT_LINK_SOCKET_MESSAGE, static_cast<WPARAM>(s),
                 WSAMAKESELECTREPLY(FD_CLOSE, WSAECONNRESET));
  AcceptReconnection(::GetTickCount());
}

TEST_F(AgentLinkConnection, RefusedConnectionIsRetriedAndItsQueueDropped) {
  unsigned short port = testenv::FreeLoopbackPort();
  peer.reset();
  DWORD start = ::GetTickCount();
  ASSERT_EQ(1, g_agentLinkManager.Create(window.Handle(), AGENT_LINK_SOCKET_MESSAGE, port));
  // Queued behind the connection attempt, and dropped when it fails.
  EXPECT_EQ(1, g_agentLinkManager.SendHeaderOnChannel2(0, 1525));
  testenv::PumpFor(1000);
  EXPECT_FALSE(Link()->IsConnected());
  EXPECT_EQ(0u, Link()->QueuedBytes());
  peer.reset(new testenv::LoopbackPeer(port));
  ASSERT_TRUE(peer->Listening());
  AcceptReconnection(start);
  unsigned char byte;
  EXPECT_FALSE(peer->Receive(&byte, 1, 300));
}

TEST_F(AgentLinkConnection, OverLimitLengthClosesAndReconnects) {
  Register(window.Handle(), 1532);
  Connect();
  std::vector<unsigned char> header = testenv::LoopbackPeer::Frame(0, 0, 1532);
  AgentLinkFrameHeader{AgentLinkFrameAssembler::kMaxPayload + 1, 0, 0, 1532}.Write(header.data());
  ASSERT_TRUE(peer->Send(header.data(), header.size()));
  DWORD start = ::GetTickCount();
  EXPECT_TRUE(peer->WaitClosed(3000));
  AcceptReconnection(start);
  // The new connection starts from a clean header.
  ASSERT_TRUE(peer->SendFrame(0, 0, 1532, "ok", 2));
  ASSERT_TRUE(testenv::PumpUntil([&] { return !window.deliveries.empty(); }, 5000));
  EXPECT_EQ(2u, window.deliveries[0].length);
}

TEST_F(AgentLinkConnection, StopCancelsAPendingReconnection) {
  Connect();
  ::PostMessageW(window.Handle(), AGENT_LINK_SOCKET_MESSAGE, static_cast<WPARAM>(Link()->Socket()),
                 WSAMAKESELECTREPLY(FD_READ, WSAECONNABORTED));
  ASSERT_TRUE(testenv::PumpUntil([] { return Link()->Socket() == INVALID_SOCKET; }, 5000));
  g_agentLinkManager.Destroy();  // the 3-second retry is pending now
  testenv::PumpFor(4000);
  EXPECT_FALSE(peer->HasPendingConnection());
}
