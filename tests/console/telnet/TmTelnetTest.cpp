// The blocking telnet client against a loopback peer. The peer answers before
// each blocking call, so one thread does for both sides.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "console/CTmTelnet.h"
#include "support/LoopbackPeer.h"

namespace {

using Bytes = std::vector<unsigned char>;

class TmTelnet : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(peer.Listening());
    ASSERT_EQ(0, telnet.Connect("127.0.0.1", peer.Port()));
    ASSERT_TRUE(peer.Accept(3000));
  }

  Bytes Take(size_t n) {
    Bytes b(n);
    if (!peer.Receive(b.data(), n, 3000)) b.clear();
    return b;
  }

  bool NothingMoreFromClient() {
    unsigned char c;
    return !peer.Receive(&c, 1, 200);
  }

  testenv::LoopbackPeer peer;
  CTmTelnet telnet;
};

}  // namespace

TEST(TmTelnetConnect, ReportsEachFailure) {
  CTmTelnet t;
  EXPECT_EQ(-4, t.Connect("1.2.3.x", 23));
  EXPECT_EQ(-4, t.Connect("999.1.1.1", 23));
  EXPECT_EQ(INVALID_SOCKET, t.Socket());
  EXPECT_EQ(-6, t.Connect("127.0.0.1", testenv::FreeLoopbackPort()));
  EXPECT_EQ(INVALID_SOCKET, t.Socket());
  testenv::LoopbackPeer peer;
  EXPECT_EQ(0, t.Connect("localhost", peer.Port()));  // a name, resolved
  EXPECT_TRUE(peer.Accept(3000));
}

TEST_F(TmTelnet, WindowSizeIsSentAfterDoNawsWithBytesOf255Doubled) {
  const unsigned char server[] = {'h', 'i', 255, 251, 1,   // WILL ECHO is skipped here
                                  255, 253, 31};
  ASSERT_TRUE(peer.Send(server, sizeof(server)));
  EXPECT_EQ(1, telnet.NegotiateWindowSize(80, 24));
  EXPECT_EQ(Bytes({255, 251, 31}), Take(3));
  EXPECT_EQ(Bytes({255, 250, 31, 0, 80, 0, 24, 255, 240}), Take(9));
  EXPECT_TRUE(NothingMoreFromClient());

  ASSERT_TRUE(peer.Send(server + 5, 3));
  EXPECT_EQ(1, telnet.NegotiateWindowSize(255, 0x01FF));
  EXPECT_EQ(Bytes({255, 251, 31}), Take(3));
  EXPECT_EQ(Bytes({255, 250, 31, 0, 255, 255, 1, 255, 255, 255, 240}), Take(11));
}

TEST_F(TmTelnet, RefusedOrSilentWindowSize) {
  const unsigned char dont[] = {255, 254, 31};
  ASSERT_TRUE(peer.Send(dont, sizeof(dont)));
  EXPECT_EQ(0, telnet.NegotiateWindowSize(80, 24));
  EXPECT_EQ(Bytes({255, 251, 31}), Take(3));
  EXPECT_TRUE(NothingMoreFromClient());

  // No answer at all: the 100 ms receive timeout ends the wait with an error.
  EXPECT_EQ(SOCKET_ERROR, telnet.NegotiateWindowSize(80, 24));
  EXPECT_EQ(Bytes({255, 251, 31}), Take(3));

  peer.CloseClean();
  EXPECT_EQ(0, telnet.NegotiateWindowSize(80, 24));
}

TEST_F(TmTelnet, WaitForRefusesEveryOptionAndFindsTheText) {
  const unsigned char server[] = {255, 251, 1,                   // WILL ECHO     -> DONT ECHO
                                  255, 253, 24,                  // DO TTYPE      -> WONT TTYPE
                                  255, 250, 24,  1,   255, 240,  // subnegotiation, skipped
                                  'l', 'o', 0,   'g', 'i', 'n',
                                  ':', ' ', 255, 252, 3,  // WONT SGA      -> DONT SGA
                                  255, 254, 5,            // DONT STATUS   -> WONT STATUS
                                  'P', 'a', 's', 's'};
  ASSERT_TRUE(peer.Send(server, sizeof(server)));
  EXPECT_EQ(1, telnet.WaitFor("login: "));
  EXPECT_EQ(Bytes({255, 254, 1, 255, 252, 24}), Take(6));
  EXPECT_EQ(1, telnet.WaitFor("Pass"));
  EXPECT_EQ(Bytes({255, 254, 3, 255, 252, 5}), Take(6));
}

TEST_F(TmTelnet, WaitForFindsTextPastALongPromptAndReportsTextThatNeverCame) {
  std::string noise(10000, 'x');
  noise += "ready>";
  ASSERT_TRUE(peer.Send(noise.data(), noise.size()));
  EXPECT_EQ(1, telnet.WaitFor("ready>"));

  ASSERT_TRUE(peer.Send("nothing to see", 14));
  EXPECT_EQ(0, telnet.WaitFor("$ "));  // the receive timeout ends the wait
  ASSERT_TRUE(peer.Send("abc", 3));
  peer.CloseClean();
  EXPECT_EQ(0, telnet.WaitFor("xyz"));  // the connection ended
}

TEST_F(TmTelnet, ReadAllCollectsWhatArrivedAndGetDataIsBounded) {
  std::string text(10000, 'a');
  for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('a' + i % 26);
  ASSERT_TRUE(peer.Send(text.data(), text.size()));
  ::Sleep(100);
  EXPECT_EQ(10000, telnet.ReadAll());
  EXPECT_GE(telnet.Capacity(), 10001u);

  std::vector<char> out(20001, '#');
  EXPECT_EQ(1, telnet.GetData(out.data(), 20000));
  EXPECT_EQ(text, std::string(out.data()));
  EXPECT_EQ('#', out[10001]);  // nothing copied beyond what was received

  char five[6];
  EXPECT_EQ(1, telnet.GetData(five, 5));
  EXPECT_STREQ("abcde", five);

  // Exactly two full chunks: the timeout ends the read.
  std::string two(8192, 'z');
  ASSERT_TRUE(peer.Send(two.data(), two.size()));
  ::Sleep(100);
  EXPECT_EQ(8192, telnet.ReadAll());
}

TEST_F(TmTelnet, SendLineAppendsCrLfOnRequest) {
  EXPECT_EQ(1, telnet.SendLine("ls", 1));
  EXPECT_EQ(1, telnet.SendLine("pwd", 0));
  EXPECT_EQ(Bytes({'l', 's', '\r', '\n', 'p', 'w', 'd'}), Take(7));
}
