// Frames from a real loopback peer reach the registered windows by the
// delivery table, once each, in order.
#include "AgentLinkFixture.h"

#include <cstring>
#include <vector>

namespace {

const uint32_t kHost = 0x0A01A8C0u;  // 192.168.1.10 as inet_addr gives it
const UINT kSentinel = 1600;         // a header-only type-1 frame closes each batch

std::vector<unsigned char> Bytes(size_t n, unsigned seed) {
  std::vector<unsigned char> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<unsigned char>(i * 13 + seed);
  return v;
}

void Append(std::vector<unsigned char>& stream, const std::vector<unsigned char>& frame) {
  stream.insert(stream.end(), frame.begin(), frame.end());
}

using Peer = testenv::LoopbackPeer;

}  // namespace

class AgentLinkDelivery : public AgentLinkFixture {};

TEST_F(AgentLinkDelivery, FrameSplitOverSeveralWritesIsDeliveredOnceWhole) {
  Register(window.Handle(), 1532);
  Connect();
  std::vector<unsigned char> payload = Bytes(652, 1);
  std::vector<unsigned char> frame =
      Peer::Frame(0, 0, 1532, payload.data(), uint32_t(payload.size()));
  // Header torn in two, payload in three pieces, with the link pumping in between.
  const size_t cuts[] = {0, 7, 16, 300, 500, frame.size()};
  for (size_t i = 0; i + 1 < sizeof(cuts) / sizeof(cuts[0]); ++i) {
    ASSERT_TRUE(peer->Send(frame.data() + cuts[i], cuts[i + 1] - cuts[i]));
    testenv::PumpFor(30);
    if (i + 2 < sizeof(cuts) / sizeof(cuts[0])) {
      EXPECT_TRUE(window.deliveries.empty());
    }
  }
  ASSERT_TRUE(WaitDeliveries(window, 1));
  testenv::PumpFor(100);
  ASSERT_EQ(1u, window.deliveries.size());
  EXPECT_EQ(payload, window.deliveries[0].payload);
  EXPECT_EQ(652u, window.deliveries[0].length);
}

TEST_F(AgentLinkDelivery, ThreeFramesInOneWriteArriveInOrder) {
  for (UINT id : {1546u, 1532u, 1547u}) Register(window.Handle(), id);
  Connect();
  std::vector<unsigned char> stream;
  Append(stream, Peer::Frame(0, 1, 1546, "a", 1));
  Append(stream, Peer::Frame(0, 2, 1532, "bb", 2));
  Append(stream, Peer::Frame(1, 3, 1547, "ccc", 3));
  ASSERT_TRUE(peer->Send(stream.data(), stream.size()));
  ASSERT_TRUE(WaitDeliveries(window, 3));
  ASSERT_EQ(3u, window.deliveries.size());
  EXPECT_EQ(1546u, window.deliveries[0].message);
  EXPECT_EQ(1532u, window.deliveries[1].message);
  EXPECT_EQ(1547u, window.deliveries[2].message);
  for (uint32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(i + 1, window.deliveries[i].frameWParam);
    EXPECT_EQ(i + 1, window.deliveries[i].length);
    EXPECT_TRUE(window.deliveries[i].zeroAfterPayload);
  }
}

TEST_F(AgentLinkDelivery, OnlyTheTableCasesAreDelivered) {
  for (UINT id : {1525u, 1526u, 1527u, 1529u, 1530u, 1531u, 1536u, 1547u, kSentinel})
    Register(window.Handle(), id);
  Connect();
  std::vector<unsigned char> s;
  Append(s, Peer::Frame(0, kHost, 1531));       // type 0 header-only, not 1529/1530: dropped
  Append(s, Peer::Frame(0, kHost, 1529));       // delivered, wParam = host
  Append(s, Peer::Frame(0, kHost, 1530));       // delivered
  Append(s, Peer::Frame(2, 0, 1525));           // type 2 header-only: dropped
  Append(s, Peer::Frame(3, 0, 1527));           // type 3 header-only: dropped
  Append(s, Peer::Frame(2, 0, 1527, "pw", 2));  // type 2 with 1527: dropped
  Append(s, Peer::Frame(3, 0, 1527, "pw", 2));  // type 3 with 1527: delivered, wParam = length
  Append(s, Peer::Frame(3, 0, 1525, "12345678", 8));  // type 3 with 1525: dropped
  Append(s, Peer::Frame(2, 0, 1525, "12345678", 8));  // type 2 with 1525: delivered
  Append(s, Peer::Frame(2, 0, 1526, "abcdefgh", 8));  // type 2 with 1526: delivered
  Append(s, Peer::Frame(2, 0, 1547, "x", 1));         // type 2 with another id: dropped
  Append(s, Peer::Frame(1, kHost, 1536));             // type 1 header-only, any id: delivered
  Append(s, Peer::Frame(1, kHost, 1536, "<d/>", 4));  // type 1 with payload: info + payload
  Append(s, Peer::Frame(0, 5, 1547, "ack", 3));       // type 0 with payload: info + payload
  Append(s, Peer::Frame(0, 0, 1599, "nobody", 6));    // nobody registered: dropped
  Append(s, Peer::Frame(1, 0, kSentinel));
  ASSERT_TRUE(peer->Send(s.data(), s.size()));
  ASSERT_TRUE(testenv::PumpUntil(
      [&] { return !window.deliveries.empty() && window.deliveries.back().message == kSentinel; },
      5000));

  const auto& d = window.deliveries;
  ASSERT_EQ(9u, d.size());
  EXPECT_EQ(1529u, d[0].message);
  EXPECT_TRUE(d[0].headerOnly);
  EXPECT_EQ(kHost, d[0].frameWParam);
  EXPECT_EQ(1530u, d[1].message);
  EXPECT_EQ(kHost, d[1].frameWParam);
  EXPECT_EQ(1527u, d[2].message);
  EXPECT_EQ(2u, d[2].wParam);
  EXPECT_EQ(std::vector<unsigned char>({'p', 'w'}), d[2].payload);
  EXPECT_EQ(1525u, d[3].message);
  EXPECT_EQ(8u, d[3].wParam);
  EXPECT_EQ(1526u, d[4].message);
  EXPECT_EQ(std::vector<unsigned char>({'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'}), d[4].payload);
  EXPECT_EQ(1536u, d[5].message);
  EXPECT_TRUE(d[5].headerOnly);
  EXPECT_EQ(kHost, d[5].frameWParam);
  EXPECT_EQ(1536u, d[6].message);
  EXPECT_FALSE(d[6].headerOnly);
  EXPECT_EQ(kHost, d[6].frameWParam);
  EXPECT_EQ(4u, d[6].length);
  EXPECT_EQ(1547u, d[7].message);
  EXPECT_EQ(5u, d[7].frameWParam);
  EXPECT_EQ(3u, d[7].length);
  EXPECT_EQ(kSentinel, d[8].message);
}

TEST_F(AgentLinkDelivery, FirstRegistrationWinsAndUnregisterRemovesEveryEqualPair) {
  testenv::AgentLinkTestWindow second;
  Register(window.Handle(), 1529);
  Register(second.Handle(), 1529);
  Register(window.Handle(), 1529);  // the same pair twice
  Register(window.Handle(), kSentinel);
  Register(second.Handle(), kSentinel + 1);
  Connect();

  ASSERT_TRUE(peer->SendFrame(0, 1, 1529));
  ASSERT_TRUE(peer->SendFrame(1, 0, kSentinel));
  ASSERT_TRUE(WaitDeliveries(window, 2));
  EXPECT_EQ(1529u, window.deliveries[0].message);
  EXPECT_TRUE(second.deliveries.empty());

  CAgentLinkManager::UnregisterWindow(AgentLinkWindow{window.Handle(), 1529});
  {
    CCritSecLock lock(g_agentLinkLock);
    size_t left = 0;
    for (const AgentLinkWindow& r : g_agentLinkWindows)
      left += r.window == window.Handle() && r.messageId == 1529;
    EXPECT_EQ(0u, left);
  }
  ASSERT_TRUE(peer->SendFrame(0, 2, 1529));
  ASSERT_TRUE(peer->SendFrame(1, 0, kSentinel + 1));
  ASSERT_TRUE(WaitDeliveries(second, 2));
  EXPECT_EQ(1529u, second.deliveries[0].message);
  EXPECT_EQ(2u, second.deliveries[0].frameWParam);
  EXPECT_EQ(2u, window.deliveries.size());
}

TEST_F(AgentLinkDelivery, PayloadOf4096StaysInlineAnd5000GoesToTheHeap) {
  Register(window.Handle(), 1538);
  Register(window.Handle(), 1532);
  Connect();
  const unsigned char* inlineBuffer = Link()->Assembler().InlineBuffer();
  std::vector<const void*> pointers;
  window.onDelivery = [&](const testenv::LinkDelivery& d) {
    pointers.push_back(reinterpret_cast<const void*>(d.lParam));
  };
  std::vector<unsigned char> small = Bytes(4096, 3), large = Bytes(5000, 4);
  std::vector<unsigned char> s;
  Append(s, Peer::Frame(1, kHost, 1538, small.data(), 4096));
  Append(s, Peer::Frame(0, 0, 1532, large.data(), 5000));
  ASSERT_TRUE(peer->Send(s.data(), s.size()));
  ASSERT_TRUE(WaitDeliveries(window, 2));
  ASSERT_EQ(2u, pointers.size());
  EXPECT_EQ(static_cast<const void*>(inlineBuffer), pointers[0]);
  EXPECT_NE(static_cast<const void*>(inlineBuffer), pointers[1]);
  EXPECT_EQ(small, window.deliveries[0].payload);
  EXPECT_EQ(large, window.deliveries[1].payload);
  EXPECT_TRUE(window.deliveries[0].zeroAfterPayload);
  EXPECT_TRUE(window.deliveries[1].zeroAfterPayload);
  EXPECT_FALSE(Link()->Assembler().InlineLent());
}

TEST_F(AgentLinkDelivery, ReceiverRunningANestedLoopWhileMoreFramesArrive) {
  // The first frame's receiver opens a nested loop (as a message box would);
  // the peer sends more frames meanwhile. Each arrives once, in order, and the
  // first payload is intact when the receiver looks at it again.
  for (UINT id : {1546u, 1532u, 1547u}) Register(window.Handle(), id);
  Connect();
  std::vector<unsigned char> first = Bytes(200, 5), second = Bytes(300, 6), third = Bytes(6000, 7);
  bool nestedDone = false;
  bool firstIntactAfterNested = false;
  int depth = 0;
  window.onDelivery = [&](const testenv::LinkDelivery& d) {
    if (d.message != 1546) return;
    ++depth;
    peer->SendFrame(0, 0, 1532, second.data(), uint32_t(second.size()));
    peer->SendFrame(0, 0, 1547, third.data(), uint32_t(third.size()));
    nestedDone = testenv::PumpUntil([&] { return window.deliveries.size() >= 3; }, 5000);
    const unsigned char* live = reinterpret_cast<const unsigned char*>(d.lParam);
    firstIntactAfterNested = std::memcmp(live, first.data(), first.size()) == 0;
    --depth;
  };
  ASSERT_TRUE(peer->SendFrame(0, 0, 1546, first.data(), uint32_t(first.size())));
  ASSERT_TRUE(WaitDeliveries(window, 3));
  testenv::PumpFor(200);
  EXPECT_TRUE(nestedDone);
  EXPECT_TRUE(firstIntactAfterNested);
  EXPECT_EQ(0, depth);
  ASSERT_EQ(3u, window.deliveries.size());
  EXPECT_EQ(1546u, window.deliveries[0].message);
  EXPECT_EQ(1532u, window.deliveries[1].message);
  EXPECT_EQ(1547u, window.deliveries[2].message);
  EXPECT_EQ(second, window.deliveries[1].payload);
  EXPECT_EQ(third, window.deliveries[2].payload);

  // The link still reads normally afterwards.
  ASSERT_TRUE(peer->SendFrame(0, 0, 1532, "z", 1));
  ASSERT_TRUE(WaitDeliveries(window, 4));
  EXPECT_EQ(1u, window.deliveries[3].length);
}

TEST_F(AgentLinkDelivery, FramesThatCameInTheSameReadReachANestedLoop) {
  // All three frames arrive together; the first one's receiver waits for the
  // other two in a nested loop without anything new coming from the socket.
  for (UINT id : {1546u, 1532u}) Register(window.Handle(), id);
  Connect();
  bool nestedSawBoth = false;
  window.onDelivery = [&](const testenv::LinkDelivery& d) {
    if (d.message == 1546)
      nestedSawBoth = testenv::PumpUntil([&] { return window.deliveries.size() >= 3; }, 3000);
  };
  std::vector<unsigned char> s;
  Append(s, Peer::Frame(0, 0, 1546, "a", 1));
  Append(s, Peer::Frame(0, 0, 1532, "b", 1));
  Append(s, Peer::Frame(0, 0, 1532, "c", 1));
  ASSERT_TRUE(peer->Send(s.data(), s.size()));
  ASSERT_TRUE(WaitDeliveries(window, 3));
  testenv::PumpFor(100);
  EXPECT_TRUE(nestedSawBoth);
  ASSERT_EQ(3u, window.deliveries.size());
  EXPECT_EQ('b', window.deliveries[1].payload[0]);
  EXPECT_EQ('c', window.deliveries[2].payload[0]);
}

TEST_F(AgentLinkDelivery, LinkDestroyedByAReceiverStopsDeliveryCleanly) {
  Register(window.Handle(), 1546);
  Register(window.Handle(), 1532);
  Connect();
  window.onDelivery = [&](const testenv::LinkDelivery& d) {
    if (d.message == 1546) g_agentLinkManager.Destroy();
  };
  std::vector<unsigned char> s;
  Append(s, Peer::Frame(0, 0, 1546, "x", 1));
  Append(s, Peer::Frame(0, 0, 1532, "y", 1));
  Append(s, Peer::Frame(0, 0, 1532, "z", 1));
  ASSERT_TRUE(peer->Send(s.data(), s.size()));
  ASSERT_TRUE(WaitDeliveries(window, 1));
  testenv::PumpFor(300);
  EXPECT_EQ(1u, window.deliveries.size());
  EXPECT_EQ(nullptr, Link());
  EXPECT_EQ(nullptr, g_agentLinkInstance);
  EXPECT_TRUE(peer->WaitClosed(2000));
}
