// The remote pickers against a peer that answers when the test says: one listing asked
// at a time, so that an answer, which names no directory, fills the node it was asked
// for; a request left unanswered closes its node again; answers nobody asked for are
// dropped. Nodes are expanded by clicks on their painted expand buttons.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "console/AgentLinkFrameAssembler.h"
#include "console/AgentMessageId.h"
#include "console/CAgentLink.h"
#include "console/CAgentLinkManager.h"
#include "console/CDirectoryDlg.h"
#include "console/CFileDlg.h"
#include "console/LinkRecords.h"
#include "console/SysServerPortConfig.h"
#include "platform/CCritSecLock.h"
#include "platform/TextConv.h"
#include "support/AgentLinkTestWindow.h"
#include "support/LoopbackPeer.h"
#include "support/ModalScript.h"
#include "support/TestDatabase.h"
#include "support/TestEnv.h"
#include "support/TreeClicks.h"
#include "uiwin/UiString.h"

namespace {

using qvtest::Child;
using qvtest::Children;

using Names = std::vector<std::wstring>;

const wchar_t kHost[] = L"192.168.1.10";
const uint32_t kHostAddress = 0x0A01A8C0u;  // 192.168.1.10 as inet_addr gives it
const wchar_t kC[] = L"本地磁盘(C:)";
const wchar_t kD[] = L"本地磁盘(D:)";

bool IsOpen(const CMulStatusTree& tree, HTREEITEM item) {
  return (tree.SendMessage(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

class PickerAnswers : public qvtest::ConnectedDatabaseTest {
 protected:
  void SetUp() override {
    ConnectedDatabaseTest::SetUp();
    UiString::Load(102);
    wcscpy(g_dsnName, qvtest::TestDatabase::Dsn());
    link.Disconnect();
    ASSERT_TRUE(peer.Listening());
    ASSERT_EQ(1, g_agentLinkManager.Create(window.Handle(), AGENT_LINK_SOCKET_MESSAGE, peer.Port()));
    ASSERT_TRUE(peer.Accept(5000));
    ASSERT_TRUE(testenv::PumpUntil([] { return g_agentLinkManager.Link()->IsConnected(); }, 5000));
  }
  void TearDown() override {
    g_agentLinkManager.Destroy();
    CCritSecLock lock(g_agentLinkLock);
    g_agentLinkWindows.clear();
  }

  // The next thing the picker asks: "drives", or the directory it asks to list.
  std::wstring NextAsked(DWORD timeoutMs = 5000) {
    testenv::PeerFrame frame;
    if (!peer.ReceiveFrame(&frame, timeoutMs)) return L"nothing";
    if (frame.type != 1 || frame.wParam != kHostAddress) return L"not for the host";
    if (frame.messageId == AGENT_MSG_LIST_DRIVES) return L"drives";
    if (frame.messageId != AGENT_MSG_LIST_DIRECTORY || frame.payload.size() != sizeof(DirectoryListRequest))
      return L"message " + std::to_wstring(frame.messageId);
    return reinterpret_cast<const wchar_t*>(frame.payload.data());
  }

  // The host's answer listing the named directories, each with subdirectories, as the
  // picker's kind of answer (1537 UTF-8 for the file picker, 1538 UTF-16 else).
  bool Answer(bool files, const Names& names, uint32_t host = kHostAddress) {
    std::wstring xml = L"<dir>";
    for (const std::wstring& name : names)
      xml += L"<item name=\"" + name + (files ? L"\" file=\"0\" sub=\"1\"/>" : L"\" sub=\"1\"/>");
    xml += L"</dir>";
    if (files) {
      const std::string text = qv::WideToUtf8(xml);
      return peer.SendFrame(1, host, AGENT_MSG_FILE_LIST, text.c_str(), static_cast<uint32_t>(text.size() + 1));
    }
    return peer.SendFrame(1, host, AGENT_MSG_LIST_DIRECTORY, xml.c_str(),
                          static_cast<uint32_t>((xml.size() + 1) * sizeof(wchar_t)));
  }
  // What the peer sent before has been delivered: a notice sent after it has.
  bool Delivered() {
    const size_t before = window.deliveries.size();
    CAgentLinkManager::RegisterWindow(AgentLinkWindow{window.Handle(), AGENT_MSG_CLIENT_ONLINE});
    return peer.SendFrame(0, kHostAddress, AGENT_MSG_CLIENT_ONLINE) &&
           testenv::PumpUntil([&] { return window.deliveries.size() > before; }, 5000);
  }
  bool AnswerDrives(uint32_t host = kHostAddress, const wchar_t* mask = L"12") {
    const std::wstring xml = std::wstring(L"<drives><drive mask=\"") + mask + L"\"/></drives>";
    return peer.SendFrame(1, host, AGENT_MSG_LIST_DRIVES, xml.c_str(), static_cast<uint32_t>((xml.size() + 1) * 2));
  }
  // An answer of the picker's kind that is not well-formed.
  bool AnswerMalformed(bool files) {
    if (files) {
      const char text[] = "<files><item name=\"a\" file=\"0\" sub=\"1\"></files>";
      return peer.SendFrame(1, kHostAddress, AGENT_MSG_FILE_LIST, text, sizeof text);
    }
    const wchar_t xml[] = L"<dir><item name=\"x\" sub=\"1\"></dir>";
    return peer.SendFrame(1, kHostAddress, AGENT_MSG_LIST_DIRECTORY, xml, sizeof xml);
  }

  // The link closed with an error and connected again, as its retry does; false when it
  // does not stand again, or the peer does not take the new connection.
  void CloseLink() {
    g_agentLinkManager.Link()->Close(WSAECONNRESET, 1);
    ::KillTimer(window.Handle(), AGENT_LINK_RECONNECT_TIMER);  // the test says when it is back
  }
  bool LinkBack() {
    ::SendMessageW(window.Handle(), WM_TIMER, AGENT_LINK_RECONNECT_TIMER, 0);
    return peer.Accept(5000) &&
           testenv::PumpUntil([] { return g_agentLinkManager.Link()->IsConnected(); }, 5000);
  }

  // Runs the directory or file picker on host with act inside it; act ends it, else OK
  // does. The boxes expected while the picker opens come first. The path chosen.
  std::wstring Run(bool files, const std::function<void(RemotePathBrowser&, CMulStatusTree&)>& act,
                   const wchar_t* host = kHost, const std::vector<const wchar_t*>& openingBoxes = {}) {
    std::wstring path;
    for (const wchar_t* box : openingBoxes) script.ExpectBox(box);
    script.ExpectDialog([&](UiDialogDriver& d) {
      picker = &d;
      RemotePathBrowser& b = files ? d.As<CFileDlg>()->Browser() : d.As<CDirectoryDlg>()->Browser();
      act(b, b.Tree().tree);
      if (d.IsOpenAndShown()) EXPECT_TRUE(d.Click(CDirectoryDlg::kItemOK));
    }, kStillOpen);
    if (files) {
      CFileDlg dlg(host, &path);
      dlg.DoModal();
    } else {
      CDirectoryDlg dlg(host, &path);
      dlg.DoModal();
    }
    return path;
  }
  UiDialogDriver* picker = nullptr;

  // Answers the drives and waits for C and D.
  bool OpenDrives(RemotePathBrowser& b, HTREEITEM* c, HTREEITEM* d) {
    if (NextAsked() != L"drives" || !AnswerDrives()) return false;
    CMulStatusTree& tree = b.Tree().tree;
    return testenv::PumpUntil([&] { return (*c = Child(tree, b.TopItem(), kC)) && (*d = Child(tree, b.TopItem(), kD)); }, 5000);
  }

  ModalScript script;
  testenv::LoopbackPeer peer;
  testenv::AgentLinkTestWindow window;
};

// C slow, D expanded meanwhile: C's answer lands under C, and D is asked for only then.
TEST_F(PickerAnswers, AnExpandWhileAListingIsAwaitedWaitsForItsAnswer) {
  for (bool files : {false, true}) {
    SCOPED_TRACE(files ? "file picker" : "directory picker");
    const std::wstring path = Run(files, [&](RemotePathBrowser& b, CMulStatusTree& tree) {
      HTREEITEM c = nullptr, d = nullptr;
      ASSERT_TRUE(OpenDrives(b, &c, &d));
      ASSERT_TRUE(qvtest::ClickExpandButton(tree, c));
      ASSERT_EQ(L"C:", NextAsked());
      ASSERT_TRUE(qvtest::ClickExpandButton(tree, d));
      EXPECT_TRUE(IsOpen(tree, d));
      EXPECT_EQ(L"nothing", NextAsked(300)) << "asked while C's listing is awaited";
      ASSERT_TRUE(Answer(files, {L"Windows", L"Temp"}));
      ASSERT_TRUE(testenv::PumpUntil([&] { return Children(tree, c) == Names{L"Windows", L"Temp"}; }, 5000));
      EXPECT_EQ(Names{}, Children(tree, d));
      ASSERT_EQ(L"D:", NextAsked());
      ASSERT_TRUE(Answer(files, {L"备份"}));
      ASSERT_TRUE(testenv::PumpUntil([&] { return Children(tree, d) == Names{L"备份"}; }, 5000));
      EXPECT_EQ((Names{L"Windows", L"Temp"}), Children(tree, c));
      qvtest::ToggleItem(tree, L"Windows");
    });
    EXPECT_EQ(files ? L"C:\\Windows\\*" : L"C:\\Windows", path);
  }
}

// An answer with nothing asked, before the first request or after an answer, is dropped.
TEST_F(PickerAnswers, AnAnswerWithNothingAskedChangesNothing) {
  const std::wstring path = Run(false, [&](RemotePathBrowser& b, CMulStatusTree& tree) {
    ASSERT_EQ(L"drives", NextAsked());
    ASSERT_TRUE(Answer(false, {L"无人请求"}));
    ASSERT_TRUE(AnswerDrives());  // comes after the stray answer
    HTREEITEM top = b.TopItem();
    ASSERT_TRUE(testenv::PumpUntil([&] { return Children(tree, top).size() == 2; }, 5000));
    HTREEITEM c = Child(tree, top, kC), d = Child(tree, top, kD);
    EXPECT_EQ(Names{L"test"}, Children(tree, c));
    ASSERT_TRUE(qvtest::ClickExpandButton(tree, c));
    ASSERT_EQ(L"C:", NextAsked());
    ASSERT_TRUE(Answer(false, {L"Windows"}));
    ASSERT_TRUE(testenv::PumpUntil([&] { return Children(tree, c) == Names{L"Windows"}; }, 5000));
    ASSERT_TRUE(Answer(false, {L"无人请求"}));
    ASSERT_TRUE(Delivered());
    ASSERT_TRUE(qvtest::ClickExpandButton(tree, d));
    ASSERT_EQ(L"D:", NextAsked());
    ASSERT_TRUE(Answer(false, {L"备份"}));
    ASSERT_TRUE(testenv::PumpUntil([&] { return Children(tree, d) == Names{L"备份"}; }, 5000));
    EXPECT_EQ(Names{L"Windows"}, Children(tree, c));
    qvtest::ToggleItem(tree, L"备份");
  });
  EXPECT_EQ(L"D:\\备份", path);
}

// A listing never answered closes its node again, and expanding it asks again.
TEST_F(PickerAnswers, AListingUnansweredInTimeClosesItsNodeToBeAskedAgain) {
  const std::wstring path = Run(false, [&](RemotePathBrowser& b, CMulStatusTree& tree) {
    HTREEITEM c = nullptr, d = nullptr;
    ASSERT_TRUE(OpenDrives(b, &c, &d));
    b.SetAnswerTimeout(300);
    ASSERT_TRUE(qvtest::ClickExpandButton(tree, c));
    ASSERT_EQ(L"C:", NextAsked());
    b.SetAnswerTimeout(RemotePathBrowser::kDefaultAnswerTimeout);  // the next one is answered
    ASSERT_TRUE(testenv::PumpUntil([&] { return Children(tree, c) == Names{L"test"} && !IsOpen(tree, c); }, 5000));
    ASSERT_TRUE(qvtest::ClickExpandButton(tree, c));
    ASSERT_EQ(L"C:", NextAsked());
    ASSERT_TRUE(Answer(false, {L"Windows"}));
    ASSERT_TRUE(testenv::PumpUntil([&] { return Children(tree, c) == Names{L"Windows"}; }, 5000));
    qvtest::ToggleItem(tree, L"Windows");
  });
  EXPECT_EQ(L"C:\\Windows", path);
}

// Only the picker's host answers for it: another host's drives or listing, even while
// one is awaited, is dropped.
TEST_F(PickerAnswers, AnswersOfAnotherHostAreDropped) {
  const uint32_t other = 0x0B01A8C0u;  // 192.168.1.11
  for (bool files : {false, true}) {
    SCOPED_TRACE(files ? "file picker" : "directory picker");
    const std::wstring path = Run(files, [&](RemotePathBrowser& b, CMulStatusTree& tree) {
      ASSERT_EQ(L"drives", NextAsked());
      ASSERT_TRUE(AnswerDrives(other, L"16"));  // E:
      ASSERT_TRUE(Delivered());
      EXPECT_EQ(Names{}, Children(tree, b.TopItem()));
      ASSERT_TRUE(AnswerDrives());
      HTREEITEM c = nullptr;
      ASSERT_TRUE(testenv::PumpUntil([&] { return (c = Child(tree, b.TopItem(), kC)) != nullptr; }, 5000));
      EXPECT_EQ((Names{kC, kD}), Children(tree, b.TopItem()));
      ASSERT_TRUE(qvtest::ClickExpandButton(tree, c));
      ASSERT_EQ(L"C:", NextAsked());
      ASSERT_TRUE(Answer(files, {L"别的主机"}, other));
      ASSERT_TRUE(Delivered());
      EXPECT_EQ(Names{}, Children(tree, c));
      ASSERT_TRUE(Answer(files, {L"Windows"}));
      ASSERT_TRUE(testenv::PumpUntil([&] { return Children(tree, c) == Names{L"Windows"}; }, 5000));
      qvtest::ToggleItem(tree, L"Windows");
    });
    EXPECT_EQ(files ? L"C:\\Windows\\*" : L"C:\\Windows", path);
  }
}

// A listing that cannot be read is said so and closes its folder with its placeholder,
// as after the timeout: a click on its expand button asks again.
TEST_F(PickerAnswers, AFolderWhoseAnswerCannotBeReadCanBeAskedAgain) {
  for (bool files : {false, true}) {
    SCOPED_TRACE(files ? "file picker" : "directory picker");
    const std::wstring path = Run(files, [&](RemotePathBrowser& b, CMulStatusTree& tree) {
      HTREEITEM c = nullptr, d = nullptr;
      ASSERT_TRUE(OpenDrives(b, &c, &d));
      ASSERT_TRUE(qvtest::ClickExpandButton(tree, c));
      ASSERT_EQ(L"C:", NextAsked());
      const size_t boxes = script.Boxes().size();
      script.ExpectBox(L"主机返回的目录列表格式有误");
      ASSERT_TRUE(AnswerMalformed(files));
      ASSERT_TRUE(testenv::PumpUntil([&] { return script.Boxes().size() > boxes; }, 5000));
      EXPECT_EQ(Names{L"test"}, Children(tree, c));
      EXPECT_FALSE(IsOpen(tree, c));
      ASSERT_TRUE(qvtest::ClickExpandButton(tree, c));
      ASSERT_EQ(L"C:", NextAsked());
      ASSERT_TRUE(Answer(files, {L"Windows"}));
      ASSERT_TRUE(testenv::PumpUntil([&] { return Children(tree, c) == Names{L"Windows"}; }, 5000));
      qvtest::ToggleItem(tree, L"Windows");
    });
    EXPECT_EQ(files ? L"C:\\Windows\\*" : L"C:\\Windows", path);
  }
}

// With the link down the picker says so and asks for the drives once the link is back;
// drives asked over a connection that then closed are asked again over the next one. A
// folder the link does not take is said so and closes, to be expanded again.
TEST_F(PickerAnswers, WhatTheLinkDidNotCarryIsSaidAndAskedOnceTheLinkIsBack) {
  const wchar_t kLinkDown[] = L"与监测服务的连接已断开";
  for (bool downAtOpening : {true, false}) {
    SCOPED_TRACE(downAtOpening ? "down at opening" : "closed after the drives were asked");
    if (downAtOpening) CloseLink();
    const std::wstring path = Run(false, [&](RemotePathBrowser& b, CMulStatusTree& tree) {
      if (downAtOpening) {
        EXPECT_EQ(Names{}, Children(tree, b.TopItem()));
      } else {
        ASSERT_EQ(L"drives", NextAsked());
        const size_t boxes = script.Boxes().size();
        script.ExpectBox(kLinkDown);  // the drives are lost with it
        CloseLink();
        ASSERT_TRUE(testenv::PumpUntil([&] { return script.Boxes().size() > boxes; }, 5000));
      }
      ASSERT_TRUE(LinkBack());
      HTREEITEM c = nullptr, d = nullptr;
      ASSERT_TRUE(OpenDrives(b, &c, &d));
      CloseLink();
      const size_t boxes = script.Boxes().size();
      script.ExpectBox(kLinkDown);
      ASSERT_TRUE(qvtest::ClickExpandButton(tree, c));
      EXPECT_EQ(boxes + 1, script.Boxes().size());
      EXPECT_EQ(Names{L"test"}, Children(tree, c));
      EXPECT_FALSE(IsOpen(tree, c));
      ASSERT_TRUE(LinkBack());
      ASSERT_TRUE(qvtest::ClickExpandButton(tree, c));
      ASSERT_EQ(L"C:", NextAsked());
      ASSERT_TRUE(Answer(false, {L"Windows"}));
      ASSERT_TRUE(testenv::PumpUntil([&] { return Children(tree, c) == Names{L"Windows"}; }, 5000));
      qvtest::ToggleItem(tree, L"Windows");
    }, kHost, downAtOpening ? std::vector<const wchar_t*>{kLinkDown} : std::vector<const wchar_t*>{});
    EXPECT_EQ(L"C:\\Windows", path);
  }
  ASSERT_LE(1u, script.Boxes().size());
  EXPECT_EQ(L"错误", script.Boxes().front().caption);
}

// A listing whose connection closes before its answer comes (the link breaks, or drops
// an answer too large for it) is said lost, before its answer would time out; its folder
// keeps its expand button, and the next expand asks again over the new connection.
TEST_F(PickerAnswers, AListingLostWithTheLinkIsSaidAndAskedAgainOnTheNextExpand) {
  const wchar_t kLinkDown[] = L"与监测服务的连接已断开";
  const struct {
    const char* how;
    bool files;
  } ways[] = {{"the link breaks", false}, {"an answer too large for the link", false}, {"the link breaks", true}};
  for (const auto& way : ways) {
    SCOPED_TRACE(std::string(way.how) + (way.files ? ", file picker" : ", directory picker"));
    const bool tooLarge = way.how[0] == 'a';
    const std::wstring path = Run(way.files, [&](RemotePathBrowser& b, CMulStatusTree& tree) {
      HTREEITEM c = nullptr, d = nullptr;
      ASSERT_TRUE(OpenDrives(b, &c, &d));
      ASSERT_TRUE(qvtest::ClickExpandButton(tree, c));
      ASSERT_EQ(L"C:", NextAsked());
      const size_t boxes = script.Boxes().size();
      script.ExpectBox(kLinkDown);
      if (tooLarge) {
        std::vector<unsigned char> header =
            testenv::LoopbackPeer::Frame(1, kHostAddress, way.files ? AGENT_MSG_FILE_LIST : AGENT_MSG_LIST_DIRECTORY);
        const uint32_t length = AgentLinkFrameAssembler::kMaxPayload + 1;
        std::memcpy(header.data(), &length, sizeof length);
        ASSERT_TRUE(peer.Send(header.data(), header.size()));
      } else {
        peer.Reset();
      }
      ASSERT_TRUE(testenv::PumpUntil([&] { return script.Boxes().size() > boxes; }, 5000));
      EXPECT_EQ(Names{L"test"}, Children(tree, c));
      EXPECT_FALSE(IsOpen(tree, c));
      ::KillTimer(window.Handle(), AGENT_LINK_RECONNECT_TIMER);  // the test says when it is back
      ASSERT_TRUE(LinkBack());
      ASSERT_TRUE(qvtest::ClickExpandButton(tree, c));
      ASSERT_EQ(L"C:", NextAsked());
      ASSERT_TRUE(Answer(way.files, {L"Windows"}));
      ASSERT_TRUE(testenv::PumpUntil([&] { return Children(tree, c) == Names{L"Windows"}; }, 5000));
      qvtest::ToggleItem(tree, L"Windows");
    });
    EXPECT_EQ(way.files ? L"C:\\Windows\\*" : L"C:\\Windows", path);
    EXPECT_EQ(L"错误", script.Boxes().back().caption);
  }
}

// A host the service cannot address is said so and never asked.
TEST_F(PickerAnswers, AHostWithoutAnAddressTheServiceTakesIsNotAsked) {
  for (const wchar_t* host : {L"192.168.1", L"255.255.255.255", L"192.168.1.10 ", L""}) {
    SCOPED_TRACE(qv::WideToUtf8(host));
    Run(false, [&](RemotePathBrowser& b, CMulStatusTree& tree) {
      EXPECT_EQ(L"nothing", NextAsked(300));
      EXPECT_EQ(Names{}, Children(tree, b.TopItem()));
      EXPECT_TRUE(picker->Click(CDirectoryDlg::kItemCancel));
    }, host, {L"客户端IP地址无效"});
    EXPECT_EQ(L"注意", script.Boxes().back().caption);
  }
}

}  // namespace
