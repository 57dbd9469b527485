// The device login test against a scripted Telnet peer on 127.0.0.1: what counts as a
// login, the time limits, and the dialog that shows the outcome (or is gone before it).
#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>

#include <richedit.h>

#include <string>
#include <thread>
#include <vector>

#include "controls/CUIResource.h"
#include "integrity/CQvVerifyLoginDlg.h"
#include "support/LoopbackPeer.h"
#include "support/ModalScript.h"
#include "support/TestEnv.h"

namespace {

using Dlg = CQvVerifyLoginDlg;

// What the peer does: send bytes, pause, or read a line (options answers skipped).
struct Step {
  enum { kSend, kPause, kLine } kind;
  std::string text;
  DWORD ms = 0;
};
Step Send(const std::string& text) { return {Step::kSend, text}; }
Step Pause(DWORD ms) { return {Step::kPause, "", ms}; }
Step Line() { return {Step::kLine, ""}; }

class TelnetPeer {
 public:
  explicit TelnetPeer(std::vector<Step> steps) : thread_([this, steps] { Play(steps); }) {}
  ~TelnetPeer() { thread_.join(); }
  unsigned short Port() const { return peer_.Port(); }
  // The lines the client sent, each followed by "|".
  std::string Lines() {
    thread_.join();
    thread_ = std::thread([] {});
    return lines_;
  }

 private:
  void Play(const std::vector<Step>& steps) {
    if (!peer_.Accept(15000)) return;
    for (const Step& step : steps) {
      if (step.kind == Step::kSend && !peer_.Send(step.text.data(), step.text.size())) return;
      if (step.kind == Step::kPause) ::Sleep(step.ms);  // the peer's own pace, not a wait for the test
      if (step.kind == Step::kLine && !ReadLine()) return;
    }
    peer_.WaitClosed(30000);
  }
  bool ReadLine() {
    std::string line;
    for (;;) {
      unsigned char b = 0;
      if (!peer_.Receive(&b, 1, 15000)) return false;
      if (b == 255) {
        unsigned char rest[2];
        if (!peer_.Receive(rest, 2, 15000)) return false;
        continue;
      }
      if (b == '\n') break;
      if (b != '\r') line += char(b);
    }
    lines_ += line + "|";
    return true;
  }

  testenv::LoopbackPeer peer_;
  std::string lines_;
  std::thread thread_;
};

Dlg::LoginParams Params(unsigned short port, DWORD type = Dlg::kLoginTelnet) {
  Dlg::LoginParams p;
  p.loginType = type;
  p.userId = L"admin";
  p.loginId = L"pw1";
  p.manageId = L"pw2";
  p.port = port;
  return p;
}

const std::string kOptions = "\xff\xfb\x01\xff\xfd\x1f";  // WILL ECHO, DO NAWS

TEST(DeviceLoginTest, OnlyAPrivilegedPromptAfterTheLoginSucceeds) {
  const struct {
    const char* name;
    std::vector<Step> steps;
    int result;
    const char* lines;
  } cases[] = {
      {"success",
       {Send(kOptions + "User Access\r\nUsername:"), Line(), Send("Pass"), Pause(300), Send("word:"), Line(),
        Send("\r\nRouter>"), Line(), Send("Password:"), Line(), Send("\r\nRouter#")},
       1, "admin|pw1|enable|pw2|"},
      {"password only", {Send("Password:"), Line(), Send("sw>"), Line(), Send("Password:"), Line(), Send("sw#")},
       1, "pw1|enable|pw2|"},
      {"wrong password", {Send("login:"), Line(), Send("Password:"), Line(), Send("\r\nLogin incorrect\r\nlogin:")},
       0, "admin|pw1|"},
      {"wrong enable password",
       {Send("Username:"), Line(), Send("Password:"), Line(), Send("R>"), Line(), Send("Password:"), Line(),
        Send("\r\n% Access denied\r\n")},
       0, "admin|pw1|enable|pw2|"},
      {"enable refused at once",
       {Send("Username:"), Line(), Send("Password:"), Line(), Send("R>"), Line(), Send("R>")}, 0, "admin|pw1|enable|"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TelnetPeer peer(c.steps);
    EXPECT_EQ(c.result, Dlg::TelnetLogin("127.0.0.1", Params(peer.Port())));
    EXPECT_EQ(c.lines, peer.Lines());
  }
}

// A silent device, a refused port and a connect that never completes all end as a
// failure within the limits.
TEST(DeviceLoginTest, SilenceRefusalAndAHangingConnectFail) {
  {
    TelnetPeer silent({});
    const DWORD start = ::GetTickCount();
    EXPECT_EQ(0, Dlg::TelnetLogin("127.0.0.1", Params(silent.Port())));
    EXPECT_LT(::GetTickCount() - start, 15000u);
  }
  {
    testenv::LoopbackPeer closed(0, false);
    EXPECT_EQ(0, Dlg::TelnetLogin("127.0.0.1", Params(closed.Port())));
  }
  // A listener that accepts nothing with its backlog filled leaves the next connect hanging.
  WSADATA wsa;
  ASSERT_EQ(0, ::WSAStartup(MAKEWORD(2, 2), &wsa));
  SOCKET listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = ::inet_addr("127.0.0.1");
  int size = sizeof(address);
  ASSERT_EQ(0, ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)));
  ASSERT_EQ(0, ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size));
  ASSERT_EQ(0, ::listen(listener, 0));
  std::vector<SOCKET> fillers;
  for (int i = 0; i < 8; ++i) {
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    u_long nonBlocking = 1;
    ::ioctlsocket(s, FIONBIO, &nonBlocking);
    ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    fillers.push_back(s);
  }
  const DWORD start = ::GetTickCount();
  EXPECT_EQ(0, Dlg::TelnetLogin("127.0.0.1", Params(::ntohs(address.sin_port))));
  EXPECT_LT(::GetTickCount() - start, 15000u);
  for (SOCKET s : fillers) ::closesocket(s);
  ::closesocket(listener);
  ::WSACleanup();
}

class VerifyLoginDialog : public testing::Test {
 protected:
  void SetUp() override { CUIResource::Init(); }
  void TearDown() override { CUIResource::Uninit(); }
  static std::wstring Text(HWND log) {
    wchar_t text[512] = L"";
    ::GetWindowTextW(log, text, 512);
    return text;
  }
  ModalScript script;
};

TEST_F(VerifyLoginDialog, ShowsTheAddressInRedThenTheOutcome) {
  TelnetPeer peer({Send("Password:"), Line(), Send("sw>"), Line(), Send("Password:"), Line(), Send("sw#")});
  Dlg dialog(L"127.0.0.1", Params(peer.Port()));
  script.ExpectDialog([&](UiDialogDriver& d) {
    HWND log = d.As<Dlg>()->Log();
    // Until the outcome shows, whichever it is.
    EXPECT_TRUE(testenv::PumpUntil([&] { return Text(log).find(L"测试登录") != std::wstring::npos; }, 20000));
    EXPECT_EQ(L"正在与127.0.0.1建立连接......\r\n测试登录成功，目标可以进行完整性监测", Text(log));
    CHARRANGE ip{3, 12};
    ::SendMessageW(log, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&ip));
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    ::SendMessageW(log, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    EXPECT_EQ(COLORREF(0x0000FF), format.crTextColor);
    EXPECT_TRUE(d.Click(Dlg::kItemClose));
  }, kStillOpen);
  EXPECT_EQ(UINT(IDOK), dialog.DoModal(nullptr));
}

// Closed before the device answers: the thread finds no window and the late answer
// reaches nothing; SSH is not tried at all.
TEST_F(VerifyLoginDialog, ClosedEarlyOrSshNeedsNoThread) {
  TelnetPeer peer({Send("Password:"), Line(), Pause(500), Send("sw#")});
  {
    Dlg dialog(L"127.0.0.1", Params(peer.Port()));
    script.ExpectDialog([&](UiDialogDriver& d) { EXPECT_TRUE(d.Click(Dlg::kItemClose)); }, kStillOpen);
    EXPECT_EQ(UINT(IDOK), dialog.DoModal(nullptr));
  }
  EXPECT_EQ("pw1|", peer.Lines());
  Dlg ssh(L"10.1.1.1", Params(1, Dlg::kLoginSsh));
  script.ExpectDialog([&](UiDialogDriver& d) {
    EXPECT_EQ(L"正在与10.1.1.1建立连接......\r\n暂不支持SSH登录测试", Text(d.As<Dlg>()->Log()));
    d.Click(Dlg::kItemClose);
  }, kStillOpen);
  EXPECT_EQ(UINT(IDOK), ssh.DoModal(nullptr));
}

}  // namespace
