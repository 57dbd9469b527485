// Frames from a real loopback peer reach the registered windows by the
// delivery table, once each, in order.
#include "AgentLinkFixture.h"

#include <cstring>
#include <vector>

namespace {

const uint32_t kHost = 0x0A01A8C0u;  // 192.168.1.10 as inet_addr gives it
const UINT kSentinel = 1600;         // a header-only type-1 frame closes each batch

using Peer = testenv::LoopbackPeer;

}  // namespace

class AgentLinkDelivery : public AgentLinkFixture {
 protected:
  void ThreeFramesInOneWrite(bool nested);
};

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

// Three frames in one write; with `nested`, the first one's receiver waits for
// the other two in a nested loop without anything new coming from the socket.
void AgentLinkDelivery::ThreeFramesInOneWrite(bool nested) {
  for (UINT id : {1546u, 1532u, 1547u}) Register(window.Handle(), id);
  Connect();
  bool nestedSawAll = false;
  if (nested)
    window.onDelivery = [&](const testenv::LinkDelivery& d) {
      if (d.message == 1546) nestedSawAll = WaitDeliveries(window, 3, 3000);
    };
  const char* payloads[] = {"a", "bb", "ccc"};
  std::vector<unsigned char> stream;
  Append(stream, Peer::Frame(0, 1, 1546, payloads[0], 1));
  Append(stream, Peer::Frame(0, 2, 1532, payloads[1], 2));
  Append(stream, Peer::Frame(1, 3, 1547, payloads[2], 3));
  ASSERT_TRUE(peer->Send(stream.data(), stream.size()));
  ASSERT_TRUE(WaitDeliveries(window, 3));
  testenv::PumpFor(100);
  EXPECT_EQ(nested, nestedSawAll);
  ASSERT_EQ(3u, window.deliveries.size());
  const UINT ids[] = {1546u, 1532u, 1547u};
  for (uint32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(ids[i], window.deliveries[i].message);
    EXPECT_EQ(i + 1, window.deliveries[i].frameWParam);
    EXPECT_EQ(std::vector<unsigned char>(payloads[i], payloads[i] + i + 1), window.deliveries[i].payload);
    EXPECT_TRUE(window.deliveries[i].zeroAfterPayload);
  }
}

TEST_F(AgentLinkDelivery, ThreeFramesInOneWriteArriveInOrder) { ThreeFramesInOneWrite(false); }

TEST_F(AgentLinkDelivery, FramesThatCameInTheSameReadReachANestedLoop) { ThreeFramesInOneWrite(true); }

TEST_F(AgentLinkDelivery, OnlyTheTableCasesAreDelivered) {
  const struct {
    uint32_t type, wParam;
    UINT id;
    const char* payload;
    bool delivered;
  } frames[] = {
      {0, kHost, 1531, "", false},      // type 0 header-only other than 1529/1530
      {0, kHost, 1529, "", true},       //
      {0, kHost, 1530, "", true},       //
      {2, 0, 1525, "", false},          // types 2 and 3 without a payload
      {3, 0, 1527, "", false},          //
      {2, 0, 1527, "pw", false},        // 1527 comes as type 3 only
      {3, 0, 1527, "pw", true},         //
      {3, 0, 1525, "12345678", false},  // 1525 and 1526 come as type 2 only
      {2, 0, 1525, "12345678", true},   //
      {2, 0, 1526, "abcdefgh", true},   //
      {2, 0, 1547, "x", false},         // type 2 with another id
      {1, kHost, 1536, "", true},       // type 1: any id, with or without a payload
      {1, kHost, 1536, "<d/>", true},   //
      {0, 5, 1547, "ack", true},        // type 0 with a payload
      {0, 0, 1599, "nobody", false},    // nobody registered
      {1, 0, kSentinel, "", true},      //
  };
  for (UINT id : {1525u, 1526u, 1527u, 1529u, 1530u, 1531u, 1536u, 1547u, kSentinel})
    Register(window.Handle(), id);
  Connect();
  std::vector<unsigned char> s;
  std::vector<size_t> expected;
  for (size_t i = 0; i < sizeof(frames) / sizeof(frames[0]); ++i) {
    const auto& f = frames[i];
    Append(s, Peer::Frame(f.type, f.wParam, f.id, f.payload, uint32_t(std::strlen(f.payload))));
    if (f.delivered) expected.push_back(i);
  }
  ASSERT_TRUE(peer->Send(s.data(), s.size()));
  ASSERT_TRUE(testenv::PumpUntil(
      [&] { return !window.deliveries.empty() && window.deliveries.back().message == kSentinel; },
      5000));

  const auto& d = window.deliveries;
  ASSERT_EQ(expected.size(), d.size());
  for (size_t k = 0; k < d.size(); ++k) {
    const auto& f = frames[expected[k]];
    const uint32_t length = uint32_t(std::strlen(f.payload));
    SCOPED_TRACE(k);
    EXPECT_EQ(f.id, d[k].message);
    EXPECT_EQ(length == 0, d[k].headerOnly);
    EXPECT_EQ(length, d[k].length);
    EXPECT_EQ(std::vector<unsigned char>(f.payload, f.payload + length), d[k].payload);
    if (f.type == 2 || f.type == 3)
      EXPECT_EQ(length, d[k].wParam);  // the length, for the console's fixed records
    else
      EXPECT_EQ(f.wParam, d[k].frameWParam);
  }
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
  window.onDelivery = [&](const testenv::LinkDelivery& d) {
    if (d.message != 1546) return;
    peer->SendFrame(0, 0, 1532, second.data(), uint32_t(second.size()));
    peer->SendFrame(0, 0, 1547, third.data(), uint32_t(third.size()));
    nestedDone = testenv::PumpUntil([&] { return window.deliveries.size() >= 3; }, 5000);
    const unsigned char* live = reinterpret_cast<const unsigned char*>(d.lParam);
    firstIntactAfterNested = std::memcmp(live, first.data(), first.size()) == 0;
  };
  ASSERT_TRUE(peer->SendFrame(0, 0, 1546, first.data(), uint32_t(first.size())));
  ASSERT_TRUE(WaitDeliveries(window, 3));
  testenv::PumpFor(200);
  EXPECT_TRUE(nestedDone);
  EXPECT_TRUE(firstIntactAfterNested);
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
