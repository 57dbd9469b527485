// The blocking telnet client against a loopback peer. The peer answers before
// each blocking call, so one thread does for both sides.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/CTmTelnet.h"
#include "support/LoopbackPeer.h"
#include "support/TestEnv.h"

namespace {

using Bytes = std::vector<unsigned char>;

class TmTelnet : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(0, telnet.Connect("127.0.0.1", peer.Port()));
    ASSERT_TRUE(peer.Accept(3000));
  }

  // The server sends `server`; `call` must return `result` and the client
  // must have sent `sent` (a surplus shows in the next exchange).
  template <class Call>
  void Exchange(const std::string& server, Call call, int result, const Bytes& sent) {
    ASSERT_TRUE(peer.Send(server.data(), server.size()));
    EXPECT_EQ(result, call());
    Bytes got(sent.size());
    if (!got.empty()) {
      ASSERT_TRUE(peer.Receive(got.data(), got.size(), 3000));
    }
    EXPECT_EQ(sent, got);
  }

  testenv::LoopbackPeer peer;
  CTmTelnet telnet;
};

}  // namespace

TEST(TmTelnetConnect, ReportsEachFailure) {
  CTmTelnet t;
  EXPECT_EQ(-4, t.Connect("1.2.3.x", 23));
  EXPECT_EQ(-4, t.Connect("999.1.1.1", 23));
  EXPECT_EQ(-4, t.Connect("255.255.255.255", 23));  // no one host, as everywhere in the console
  EXPECT_EQ(INVALID_SOCKET, t.Socket());
  testenv::LoopbackPeer refusing(0, false);
  EXPECT_EQ(-6, t.Connect("127.0.0.1", refusing.Port()));
  EXPECT_EQ(INVALID_SOCKET, t.Socket());
  // Forms the platform would read as 127.0.0.1 are no dotted address here.
  for (const char* host : {"127.1", "0x7f.0.0.1", "127.0.0.1 ", "127.0.0.1 x"}) {
    SCOPED_TRACE(host);
    EXPECT_EQ(-4, t.Connect(host, refusing.Port()));
    EXPECT_EQ(INVALID_SOCKET, t.Socket());
  }
  ASSERT_TRUE(refusing.Listen());
  EXPECT_EQ(0, t.Connect("localhost", refusing.Port()));  // a name, resolved
  EXPECT_TRUE(refusing.Accept(3000));
}

TEST_F(TmTelnet, WindowSizeAnswers) {
  const struct {
    std::string server;
    int width, height, result;
    Bytes sent;  // IAC WILL NAWS first
  } rows[] = {
      {"hi\xFF\xFB\x01\xFF\xFD\x1F", 80, 24, 1,  // WILL ECHO is skipped here
       {255, 251, 31, 255, 250, 31, 0, 80, 0, 24, 255, 240}},
      {"\xFF\xFD\x1F", 255, 0x1FF, 1,  // a size byte of 255 is doubled
       {255, 251, 31, 255, 250, 31, 0, 255, 255, 1, 255, 255, 255, 240}},
      {"\xFF\xFE\x1F", 80, 24, 0, {255, 251, 31}},  // DONT NAWS
      {"", 80, 24, SOCKET_ERROR, {255, 251, 31}},   // no answer: the receive timeout
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.width);
    Exchange(r.server, [&] { return telnet.NegotiateWindowSize(r.width, r.height); }, r.result,
             r.sent);
  }
}

TEST_F(TmTelnet, WaitForRefusesEveryOptionAndFindsTheText) {
  const struct {
    std::string server;
    const char* wanted;
    int result;
    Bytes sent;
  } rows[] = {
      // WILL ECHO, DO TTYPE and a subnegotiation; a NUL is no text
      {std::string("\xFF\xFB\x01\xFF\xFD\x18\xFF\xFA\x18\x01\xFF\xF0lo\0gin: ", 20), "login: ", 1,
       {255, 254, 1, 255, 252, 24}},
      {"\xFF\xFC\x03\xFF\xFE\x05Pass", "Pass", 1, {255, 254, 3, 255, 252, 5}},  // WONT, DONT
      {std::string(10000, 'x') + "ready>", "ready>", 1, {}},  // past the local text's size
      {"nothing to see", "$ ", 0, {}},                          // the receive timeout
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.wanted);
    Exchange(r.server, [&] { return telnet.WaitFor(r.wanted); }, r.result, r.sent);
  }
  ASSERT_TRUE(peer.Send("abc", 3));
  peer.CloseClean();
  EXPECT_EQ(0, telnet.WaitFor("xyz"));  // the connection ended
}

TEST_F(TmTelnet, ReadAllGetDataAndSendLine) {
  std::string text(10000, 'a');
  for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('a' + i % 26);
  for (size_t n : {size_t(10000), size_t(8192)}) {  // a short last chunk; two full ones, a timeout
    ASSERT_TRUE(peer.Send(text.data(), n));
    ASSERT_TRUE(testenv::PumpUntil([&] { return testenv::UnreadBytes(telnet.Socket()) >= n; }, 3000));
    EXPECT_EQ(int(n), telnet.ReadAll());
  }
  std::vector<char> out(20001, '#');
  EXPECT_EQ(1, telnet.GetData(out.data(), 20000));
  EXPECT_EQ(text.substr(0, 8192), std::string(out.data()));
  EXPECT_EQ('#', out[8193]);  // nothing copied beyond what was received
  Exchange("", [&] { return telnet.SendLine("ls", 1) + telnet.SendLine("pwd", 0); }, 2,
           {'l', 's', '\r', '\n', 'p', 'w', 'd'});
}
