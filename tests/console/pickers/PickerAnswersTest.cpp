// The remote pickers against a peer that answers when the test says: one listing asked
// at a time, so that an answer, which names no directory, fills the node it was asked
// for; a request left unanswered closes its node again; answers nobody asked for are
// dropped. Nodes are expanded by clicks on their painted expand buttons.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

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
  bool Answer(bool files, const Names& names) {
    std::wstring xml = L"<dir>";
    for (const std::wstring& name : names)
      xml += L"<item name=\"" + name + (files ? L"\" file=\"0\" sub=\"1\"/>" : L"\" sub=\"1\"/>");
    xml += L"</dir>";
    if (files) {
      const std::string text = qv::WideToUtf8(xml);
      return peer.SendFrame(1, kHostAddress, AGENT_MSG_FILE_LIST, text.c_str(), static_cast<uint32_t>(text.size() + 1));
    }
    return peer.SendFrame(1, kHostAddress, AGENT_MSG_LIST_DIRECTORY, xml.c_str(),
                          static_cast<uint32_t>((xml.size() + 1) * sizeof(wchar_t)));
  }
  // What the peer sent before has been delivered: a notice sent after it has.
  bool Delivered() {
    const size_t before = window.deliveries.size();
    CAgentLinkManager::RegisterWindow(AgentLinkWindow{window.Handle(), AGENT_MSG_CLIENT_ONLINE});
    return peer.SendFrame(0, kHostAddress, AGENT_MSG_CLIENT_ONLINE) &&
           testenv::PumpUntil([&] { return window.deliveries.size() > before; }, 5000);
  }
  bool AnswerDrives() {
    const wchar_t xml[] = L"<drives><drive mask=\"12\"/></drives>";
    return peer.SendFrame(1, kHostAddress, AGENT_MSG_LIST_DRIVES, xml, sizeof xml);
  }

  // Runs the directory or file picker with act inside it; act ends it. The path chosen.
  std::wstring Run(bool files, const std::function<void(RemotePathBrowser&, CMulStatusTree&)>& act) {
    std::wstring path;
    script.ExpectDialog([&](UiDialogDriver& d) {
      RemotePathBrowser& b = files ? d.As<CFileDlg>()->Browser() : d.As<CDirectoryDlg>()->Browser();
      act(b, b.Tree().tree);
      EXPECT_TRUE(d.Click(CDirectoryDlg::kItemOK));
    }, kStillOpen);
    if (files) {
      CFileDlg dlg(kHost, &path);
      dlg.DoModal();
    } else {
      CDirectoryDlg dlg(kHost, &path);
      dlg.DoModal();
    }
    return path;
  }

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

}  // namespace
