// Frames from a real loopback peer reach the registered windows by the
// delivery table, once each, in order.
#include "AgentLinkFixture.h"

#include <algorithm>
#include <string>

namespace {

const uint32_t kHost = 0x0A01A8C0u;  // 192.168.1.10 as inet_addr gives it
const UINT kSentinel = 1600;         // a header-only type-1 frame closes a batch

}  // namespace

class AgentLinkDelivery : public AgentLinkFixture {};

TEST_F(AgentLinkDelivery, OnlyTheTableCasesAreDeliveredWholeFromTornWrites) {
  const struct {
    uint32_t type, wParam;
    UINT id;
    std::string payload;
    bool delivered;
  } frames[] = {
      {0, kHost, 1531, "", false},                     // type 0 header-only other than 1529/1530
      {0, kHost, 1529, "", true},                      //
      {0, kHost, 1530, "", true},                      //
      {2, 0, 1525, "", false},                         // types 2 and 3 without a payload
      {3, 0, 1527, "", false},                         //
      {2, 0, 1527, "pw", false},                       // 1527 comes as type 3 only
      {3, 0, 1527, "pw", true},                        //
      {3, 0, 1525, "12345678", false},                 // 1525 and 1526 come as type 2 only
      {2, 0, 1525, "12345678", true},                  //
      {2, 0, 1526, "abcdefgh", true},                  //
      {2, 0, 1547, "x", false},                        // type 2 with another id
      {1, kHost, 1536, "", true},                      // type 1: any id, with or without a payload
      {1, kHost, 1536, std::string(4096, 'i'), true},  // the inline buffer's size
      {0, 5, 1547, "ack", true},                       // type 0 with a payload
      {0, 7, 1532, std::string(5000, 'h'), true},      // a heap buffer
      {0, 0, 1599, "nobody", false},                   // nobody registered
      {1, 0, kSentinel, "", true},                     //
  };
  for (UINT id : {1525u, 1526u, 1527u, 1529u, 1530u, 1531u, 1532u, 1536u, 1547u, kSentinel})
    Register(window.Handle(), id);
  Connect();
  Bytes s;
  std::vector<size_t> expected;
  for (size_t i = 0; i < sizeof(frames) / sizeof(frames[0]); ++i) {
    const auto& f = frames[i];
    Append(s, Peer::Frame(f.type, f.wParam, f.id, f.payload.data(), uint32_t(f.payload.size())));
    if (f.delivered) expected.push_back(i);
  }
  // Torn into pieces that each reach the link before the next one is sent.
  for (size_t off = 0; off < s.size(); off += 777) {
    ASSERT_TRUE(peer->Send(s.data() + off, std::min<size_t>(777, s.size() - off)));
    ASSERT_TRUE(
        testenv::PumpUntil([] { return testenv::UnreadBytes(Link()->Socket()) == 0; }, 5000));
  }
  ASSERT_TRUE(testenv::PumpUntil(
      [&] { return !window.deliveries.empty() && window.deliveries.back().message == kSentinel; },
      5000));

  const auto& d = window.deliveries;
  ASSERT_EQ(expected.size(), d.size());
  for (size_t k = 0; k < d.size(); ++k) {
    const auto& f = frames[expected[k]];
    const uint32_t length = uint32_t(f.payload.size());
    SCOPED_TRACE(k);
    EXPECT_EQ(f.id, d[k].message);
    EXPECT_EQ(length == 0, d[k].headerOnly);
    EXPECT_EQ(Bytes(f.payload.begin(), f.payload.end()), d[k].payload);
    EXPECT_TRUE(length == 0 || d[k].zeroAfterPayload);
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
  Connect();
  ASSERT_TRUE(peer->SendFrame(0, 1, 1529));
  ASSERT_TRUE(WaitDeliveries(window, 1));

  CAgentLinkManager::UnregisterWindow(AgentLinkWindow{window.Handle(), 1529});
  ASSERT_TRUE(peer->SendFrame(0, 2, 1529));
  ASSERT_TRUE(WaitDeliveries(second, 1));
  EXPECT_EQ(2u, second.deliveries[0].frameWParam);
  EXPECT_EQ(1u, window.deliveries.size());
}

TEST_F(AgentLinkDelivery, ReceiversInNestedLoopsGetFramesInOrderAndKeepTheirPayload) {
  // The first frame's receiver runs a nested loop (as a message box would):
  // frames that came in the same read and a frame sent meanwhile reach it
  // there, once each and in order. The last receiver destroys the link (as the
  // main window's end would): its payload stays valid, and nothing follows.
  for (UINT id : {1546u, 1532u, 1547u}) Register(window.Handle(), id);
  Connect();
  const Bytes expected[] = {Pattern(200, 5), {'b', 'b'}, {'c'}, Pattern(6000, 7), Pattern(200, 9)};
  bool nestedSawAll = false;
  std::vector<bool> intact;
  window.onDelivery = [&](const testenv::LinkDelivery& d) {
    if (d.frameWParam == 0) {
      peer->SendFrame(0, 3, 1532, expected[3].data(), uint32_t(expected[3].size()));
      nestedSawAll = WaitDeliveries(window, 4);
    } else if (d.frameWParam == 4) {
      g_agentLinkManager.Destroy();
      // Memory the link gave back would be handed out again here.
      std::vector<Bytes> reuse(16, Bytes(sizeof(CAgentLink), 0xEE));
    } else {
      return;
    }
    const auto* live = reinterpret_cast<const unsigned char*>(d.lParam);
    intact.push_back(Bytes(live, live + d.length) == expected[d.frameWParam]);
  };
  Bytes s;
  Append(s, Peer::Frame(0, 0, 1546, expected[0].data(), 200));
  Append(s, Peer::Frame(0, 1, 1532, expected[1].data(), 2));
  Append(s, Peer::Frame(1, 2, 1547, expected[2].data(), 1));
  ASSERT_TRUE(peer->Send(s.data(), s.size()));
  ASSERT_TRUE(WaitDeliveries(window, 4));
  s.clear();
  Append(s, Peer::Frame(0, 4, 1547, expected[4].data(), 200));
  Append(s, Peer::Frame(0, 5, 1547, "after", 5));
  ASSERT_TRUE(peer->Send(s.data(), s.size()));
  EXPECT_TRUE(peer->WaitClosed(5000));
  EXPECT_TRUE(nestedSawAll);
  EXPECT_EQ(std::vector<bool>({true, true}), intact);
  EXPECT_EQ(nullptr, g_agentLinkInstance);
  ASSERT_EQ(5u, window.deliveries.size());
  for (uint32_t i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(i, window.deliveries[i].frameWParam);
    EXPECT_EQ(expected[i], window.deliveries[i].payload);
  }
}

TEST_F(AgentLinkDelivery, APeerThatKeepsSendingLetsOtherMessagesThrough) {
  const UINT kMarker = 1699;  // posted during the first delivery
  Register(window.Handle(), 1532);
  Connect();
  window.onDelivery = [&](const testenv::LinkDelivery&) {
    if (window.deliveries.size() == 1) ::PostMessageW(window.Handle(), kMarker, 0, 0);
  };
  Bytes s;
  for (uint32_t i = 0; i < 1000; ++i) Append(s, Peer::Frame(0, i, 1532, "x", 1));
  ASSERT_TRUE(peer->Send(s.data(), s.size()));
  ASSERT_TRUE(WaitDeliveries(window, 1001));
  auto marker = std::find_if(window.deliveries.begin(), window.deliveries.end(),
                             [&](const testenv::LinkDelivery& d) { return d.message == kMarker; });
  EXPECT_LT(marker - window.deliveries.begin(), 1000);
  window.deliveries.erase(marker);
  for (uint32_t i = 0; i < 1000; ++i) ASSERT_EQ(i, window.deliveries[i].frameWParam);
}
