// The host picker against a real database; the remote directory and file pickers against
// the service stand-in: what they list, what OK returns, answers that overtake the user
// or cannot be read, and deep paths.
#include <gtest/gtest.h>

#include <functional>

#include "console/AgentLinkPayloadInfo.h"
#include "console/CAgentLink.h"
#include "console/CAgentLinkManager.h"
#include "console/CDirectoryDlg.h"
#include "console/CFileDlg.h"
#include "console/CServerDlg.h"
#include "console/SysServerPortConfig.h"
#include "platform/CCritSecLock.h"
#include "platform/TextConv.h"
#include "qvservice/CQvService.h"
#include "support/AgentLinkTestWindow.h"
#include "support/ModalScript.h"
#include "support/TestDatabase.h"
#include "support/TestEnv.h"
#include "support/TreeClicks.h"
#include "uiwin/UiString.h"

namespace {

using qvtest::Child;
using qvtest::Children;

const wchar_t kHost[] = L"192.168.1.10";
const wchar_t kC[] = L"本地磁盘(C:)";
const wchar_t kD[] = L"本地磁盘(D:)";
const std::wstring kLevel = L"第一层目录abcdefghijklmnop";  // 21 characters

// What the host's agent answers, some of it unreadable; and directories twelve deep
// below C:, the eleventh with a path of 244 characters, the twelfth of 266. An agent
// offline answers nothing.
std::string Script(bool online = true) {
  std::string s =
      std::string("client|192.168.1.10|") + (online ? "online" : "offline") + "\ndrives|192.168.1.10|12\n"
      "dir|192.168.1.10|C:|Windows|1\ndir|192.168.1.10|C:|数据 & <日志>|0\n"
      "dir|192.168.1.10|C:|Program Files|1\ndir|192.168.1.10|C:\\Windows|system32|1\n"
      "dir|192.168.1.10|D:|备份|1\ndir|192.168.1.10|D:\\备份|2024年|0\n"
      "file|192.168.1.10|C:|说明.txt|1|0\nfile|192.168.1.10|C:\\Windows|win.ini|1|0\n"
      "raw|192.168.1.10|1538|C:\\Program Files|<dir><item name=\"x\" sub=\"1\"></dir>\n"
      "raw|192.168.1.10|1538|C:\\Windows\\system32|<dir><item name=\"drivers\"/></dir>|40\n"
      "raw|192.168.1.10|1537|C:\\Program Files|<files><item name=\"a.exe\" file=\"1\"/></files>|30\n";
  const std::string level = qv::WideToUtf8(kLevel);
  std::string path = "C:";
  for (int depth = 0; depth < 12; ++depth, path += "\\" + level)
    s += "dir|192.168.1.10|" + path + "|" + level + "|1\n";
  return s;
}

// The child once the answer that brings it has come, or null.
HTREEITEM WaitChild(const CMulStatusTree& tree, HTREEITEM parent, const std::wstring& text) {
  HTREEITEM found = nullptr;
  testenv::PumpUntil([&] { return (found = Child(tree, parent, text)) != nullptr; }, 5000);
  return found;
}

// A key on the item as the user presses it: + expands, - collapses, space checks.
void Key(CMulStatusTree& tree, HTREEITEM item, UINT key) {
  tree.SelectItem(item);
  tree.SendMessage(WM_KEYDOWN, key, 0);
}

class Pickers : public qvtest::ConnectedDatabaseTest {
 protected:
  void SetUp() override {
    ConnectedDatabaseTest::SetUp();
    UiString::Load(102);
    wcscpy(g_dsnName, qvtest::TestDatabase::Dsn());
    const wchar_t* insert = L"insert into Client (Name, IP, Status, Type) values (?, ?, ?, ?)";
    ASSERT_EQ(1, qvtest::Exec(link, insert, {L"核心服务器", kHost, 1, 0}));
    ASSERT_EQ(1, qvtest::Exec(link, insert, {L"", L"192.168.1.11", 0, 0}));
    ASSERT_EQ(1, qvtest::Exec(link, insert, {L"防火墙", L"192.168.1.20", 1, 1}));  // a device
    ASSERT_EQ(1, qvtest::Exec(link, insert, {L"备份服务器", L"192.168.1.12", 0, 0}));
    link.Disconnect();
    ASSERT_TRUE(SetAgentOnline(true));
    ASSERT_TRUE(service.Listen(0) && service.Start());
    ASSERT_EQ(1, g_agentLinkManager.Create(window.Handle(), AGENT_LINK_SOCKET_MESSAGE, service.Port()));
    ASSERT_TRUE(testenv::PumpUntil([] { return g_agentLinkManager.Link()->IsConnected(); }, 5000));
  }
  void TearDown() override {
    g_agentLinkManager.Destroy();
    service.Stop();
    CCritSecLock lock(g_agentLinkLock);
    g_agentLinkWindows.clear();
  }

  bool SetAgentOnline(bool online) {
    CQvServiceScript data;
    std::wstring error;
    if (!data.LoadText(Script(online), &error)) return false;
    service.SetScript(data);
    return true;
  }

  // The directories the service was asked to list, in order.
  std::vector<std::wstring> AskedPaths() const {
    std::vector<std::wstring> paths;
    for (const CQvService::Received& r : service.ReceivedFrames())
      if (r.messageId == AGENT_MSG_LIST_DIRECTORY)
        paths.push_back(reinterpret_cast<const wchar_t*>(r.payload.data()));
    return paths;
  }

  // Runs the picker on host with act inside it, and a message box with that text
  // expected from what act does; the run's result.
  template <class Dlg>
  UINT Run(const wchar_t* host, std::wstring* path,
           const std::function<void(Dlg&, CMulStatusTree&)>& act, const wchar_t* box = nullptr) {
    script.ExpectDialog([&](UiDialogDriver& d) {
      picker = &d;
      act(*d.As<Dlg>(), d.As<Dlg>()->Browser().Tree().tree);
    }, kStillOpen);
    if (box) script.ExpectBox(box);
    Dlg dlg(host, path, L"请选择目录");
    return dlg.DoModal();
  }

  // The running picker's buttons, clicked where they are painted.
  void ClickOK() { EXPECT_TRUE(picker->Click(CDirectoryDlg::kItemOK)); }
  void ClickCancel() { EXPECT_TRUE(picker->Click(CDirectoryDlg::kItemCancel)); }
  UiDialogDriver* picker = nullptr;

  // Expands the nodes named, each below the one before, from below the top node; the last.
  static HTREEITEM Open(RemotePathBrowser& b, const std::vector<std::wstring>& names) {
    HTREEITEM item = b.TopItem();
    for (const std::wstring& name : names) {
      if (!(item = WaitChild(b.Tree().tree, item, name))) return nullptr;
      Key(b.Tree().tree, item, VK_ADD);
    }
    return item;
  }

  ModalScript script;
  CQvService service;
  testenv::AgentLinkTestWindow window;
};

TEST_F(Pickers, HostPickerListsTheServersAndReturnsTheCheckedHostsAddress) {
  const struct {
    const wchar_t* given;
    std::vector<const wchar_t*> checks;  // hosts the user checks, in order
    UINT code;                           // 2: OK refused for want of a host, then cancel
    const wchar_t* result;
  } rows[] = {
      {L"192.168.1.11", {}, 1, L"192.168.1.11"},
      {L"", {L"核心服务器", L"备份服务器"}, 1, L"192.168.1.12"},
      {L"192.168.1.10", {L"核心服务器"}, 1, L"192.168.1.10"},  // clicked again: stays
      {L"10.0.0.9", {}, 2, L"10.0.0.9"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.result);
    std::wstring result = row.given;
    script.ExpectDialog([&](UiDialogDriver& d) {
      CServerDlg* dlg = d.As<CServerDlg>();
      CMulStatusTree& tree = dlg->Tree().tree;
      HTREEITEM root = dlg->RootItem();
      EXPECT_EQ(L"服务器群组", tree.GetItemText(root));
      const std::vector<std::wstring> hosts{L"核心服务器", L"192.168.1.11", L"备份服务器"};
      EXPECT_EQ(hosts, Children(tree, root));
      for (int i : {0, 1}) {
        TVITEMW item{TVIF_IMAGE, Child(tree, root, hosts[i]), 0, 0, nullptr, 0, -1, 0, 0, 0};
        EXPECT_TRUE(tree.GetItem(&item) && item.iImage == (i ? CServerDlg::kImageOffline : CServerDlg::kImageOnline));
      }
      for (const wchar_t* host : row.checks) Key(tree, Child(tree, root, host), VK_SPACE);
      HTREEITEM first = tree.GetFirstCheckedItem();  // exactly one host checked, or none
      EXPECT_TRUE(row.code == 2 ? !first : first && !tree.GetNextCheckedItem(first));
      EXPECT_TRUE(d.Click(CServerDlg::kItemOK));
      EXPECT_TRUE(row.code != 2 || d.IsOpenAndShown());  // refused
      if (row.code == 2) d.Click(CServerDlg::kItemCancel);
    }, kStillOpen);
    if (row.code == 2) script.ExpectBox(L"请选择对象内容");
    CServerDlg dlg(&result, L"请选择策略目标");
    EXPECT_EQ(row.code, dlg.DoModal());
    EXPECT_EQ(row.result, result);
  }
  EXPECT_EQ(L"请选择策略目标", script.Dialogs().back());
  EXPECT_EQ(L"警告", script.Boxes().back().caption);

}

// A site of 10,000 servers more: the first go in as the picker opens, the others from its
// idle time, and the tree ends whole, in the database's order. The host given comes
// checked when its turn comes, and OK takes it even before then.
TEST_F(Pickers, HostPickerOfALargeSiteEndsWholeAndInOrder) {
  const int kMore = 10000;
  SQLServerLink more;
  ASSERT_EQ(1, more.Connect(qvtest::TestDatabase::Dsn(), L"", L""));
  ASSERT_TRUE(qvtest::Exec(more, L"insert into Client (Name, IP, Status, Type) with recursive n(i) as "
                                      L"(select 1 union all select i + 1 from n where i < ?) "
                                      L"select '主机' || i, '10.2.' || (i / 250) || '.' || (i % 250), i % 2, 0 from n",
                                {kMore}));
  more.Disconnect();
  std::vector<std::wstring> hosts{L"核心服务器", L"192.168.1.11", L"备份服务器"};
  for (int i = 1; i <= kMore; ++i) hosts.push_back(L"主机" + std::to_wstring(i));
  const std::wstring last = L"10.2." + std::to_wstring(kMore / 250) + L"." + std::to_wstring(kMore % 250);
  for (bool whole : {true, false}) {
    SCOPED_TRACE(whole ? "OK once the tree is whole" : "OK at once");
    std::wstring result = last;
    script.ExpectDialog([&](UiDialogDriver& d) {
      CServerDlg* dlg = d.As<CServerDlg>();
      CMulStatusTree& tree = dlg->Tree().tree;
      if (whole) {
        testenv::PumpUntil([&] { return tree.GetCount() == hosts.size() + 1 || !dlg->Filling(); }, 60000);
        ASSERT_EQ(hosts.size() + 1, tree.GetCount());
        EXPECT_EQ(hosts, Children(tree, dlg->RootItem()));
        ASSERT_TRUE(dlg->Tree().Checked());
        EXPECT_EQ(hosts.back(), tree.GetItemText(dlg->Tree().Checked()));
      }
      EXPECT_TRUE(d.Click(CServerDlg::kItemOK));
    }, kStillOpen);
    CServerDlg dlg(&result, L"请选择策略目标");
    EXPECT_EQ(1, dlg.DoModal());
    EXPECT_EQ(last, result);
  }
  // End pressed while the hosts still come lands on the last host, not on the last one
  // in so far: the key first brings the rest (as the modal loop hands it on).
  std::wstring result;
  script.ExpectDialog([&](UiDialogDriver& d) {
    CServerDlg* dlg = d.As<CServerDlg>();
    CMulStatusTree& tree = dlg->Tree().tree;
    EXPECT_LT(size_t(tree.GetCount()), hosts.size() + 1);
    tree.SetFocus();
    MSG key{tree.m_hWnd, WM_KEYDOWN, VK_END, 0, 0, {0, 0}};
    if (!dlg->PreTranslateMessage(&key)) ::DispatchMessageW(&key);
    EXPECT_EQ(hosts.size() + 1, size_t(tree.GetCount()));
    EXPECT_EQ(hosts.back(), tree.GetItemText(tree.GetSelectedItem()));
  });
  CServerDlg dlg(&result, L"请选择策略目标");
  dlg.DoModal();
}

// The hosts read before a failing one would pass for all of them.
TEST_F(Pickers, HostPickerWhoseListFailsPartWayShowsNoHostAndSaysWhy) {
  {
    SQLServerLink breaker;
    std::wstring error;
    ASSERT_EQ(1, breaker.Connect(qvtest::TestDatabase::Dsn(), L"", L""));
    ASSERT_TRUE(qvtest::FailRowsWhen(breaker, L"Client", L"Name", L"Name = '备份服务器'", &error));
  }
  std::wstring result = L"192.168.1.11";
  script.ExpectBox(L"integer overflow");
  script.ExpectDialog([&](UiDialogDriver& d) {
    CServerDlg* dlg = d.As<CServerDlg>();
    EXPECT_EQ(std::vector<std::wstring>{}, Children(dlg->Tree().tree, dlg->RootItem()));
    EXPECT_EQ(nullptr, dlg->Tree().Checked());
    EXPECT_TRUE(d.Click(CServerDlg::kItemOK));
  }, kStillOpen);
  script.ExpectBox(L"请选择对象内容");
  CServerDlg dlg(&result, L"请选择策略目标");
  EXPECT_EQ(kStillOpen, dlg.DoModal());
  EXPECT_EQ(L"192.168.1.11", result);
  ASSERT_EQ(2u, script.Boxes().size());
  EXPECT_EQ(0u, script.Boxes()[0].text.find(L"读取服务器列表失败："));
  EXPECT_EQ(L"错误", script.Boxes()[0].caption);
}

TEST_F(Pickers, RemotePickersReturnTheCheckedDirectoryOrFile) {
  const struct {
    bool files;
    const wchar_t* start;            // starting directory of the directory picker
    std::vector<std::wstring> open;  // expanded in turn
    const wchar_t* check;            // then checked below the last one
    const wchar_t* result;
  } rows[] = {
      {false, L"", {kC, L"Windows"}, L"system32", L"C:\\Windows\\system32"},
      {false, L"", {kD, L"备份"}, L"2024年", L"D:\\备份\\2024年"},
      {false, L"", {}, kC, L"C:"},
      {false, L"", {kC}, L"数据 & <日志>", L"C:\\数据 & <日志>"},
      {false, L"D:\\备份", {}, L"2024年", L"D:\\备份\\2024年"},
      {true, L"", {kC}, L"说明.txt", L"C:\\说明.txt"},
      {true, L"", {kC}, L"Windows", L"C:\\Windows\\*"},
      {true, L"", {}, kD, L"D:\\*"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(qv::WideToUtf8(row.result));
    std::wstring path = row.start;
    auto act = [&](auto& dlg, CMulStatusTree& tree) {
      RemotePathBrowser& b = dlg.Browser();
      EXPECT_EQ(*row.start ? row.start : L"核心服务器", tree.GetItemText(b.TopItem()));
      HTREEITEM parent = row.open.empty() ? b.TopItem() : Open(b, row.open);
      HTREEITEM target = parent ? WaitChild(tree, parent, row.check) : nullptr;
      ASSERT_NE(nullptr, target);
      Key(tree, target, VK_SPACE);
      ClickOK();
    };
    EXPECT_EQ(1u, row.files ? Run<CFileDlg>(kHost, &path, act) : Run<CDirectoryDlg>(kHost, &path, act));
    EXPECT_EQ(row.result, path);
  }
  EXPECT_EQ(L"请选择目录", script.Dialogs().back());
  const std::vector<std::wstring> asked{L"C:", L"C:\\Windows", L"D:", L"D:\\备份", L"C:",
                                        L"D:\\备份", L"C:", L"C:"};
  EXPECT_EQ(asked, AskedPaths());
}

TEST_F(Pickers, AnswersFillTheNodeExpandedLastAndRemovedNodesAreNeverChosen) {
  using Names = std::vector<std::wstring>;
  std::wstring path;
  auto act = [&](CDirectoryDlg& dlg, CMulStatusTree& tree) {
    HTREEITEM top = dlg.Browser().TopItem();
    HTREEITEM c = WaitChild(tree, top, kC), d = WaitChild(tree, top, kD);
    ASSERT_TRUE(c && d);
    // A well-formed answer that the link is not delivering is not taken.
    const wchar_t xml[] = L"<drives><drive mask=\"16\"/></drives>";
    AgentLinkPayloadInfo info{0x0A01A8C0u, sizeof xml};
    dlg.SendMessage(AGENT_MSG_LIST_DRIVES, reinterpret_cast<WPARAM>(&info), reinterpret_cast<LPARAM>(xml));
    EXPECT_EQ(2u, Children(tree, top).size());

    // Two expands before either answer: each node ends with its own listing, the later
    // one asked once the earlier one's answer is in.
    const size_t asked = AskedPaths().size();
    Key(tree, c, VK_ADD);
    Key(tree, d, VK_ADD);
    ASSERT_TRUE(testenv::PumpUntil([&] { return Children(tree, d) == Names{L"备份"}; }, 5000));
    const Names paths = AskedPaths();
    EXPECT_EQ((Names{L"C:", L"D:"}), Names(paths.begin() + asked, paths.end()));
    EXPECT_EQ((Names{L"Windows", L"数据 & <日志>", L"Program Files", kLevel}), Children(tree, c));

    // Collapsing C removes the checked node and closes one waiting for its listing.
    HTREEITEM windows = Child(tree, c, L"Windows");
    Key(tree, Child(tree, c, L"数据 & <日志>"), VK_SPACE);
    Key(tree, windows, VK_ADD);
    Key(tree, c, VK_SUBTRACT);
    EXPECT_EQ(Names{L"Windows"}, Children(tree, c));
    Key(tree, d, VK_SUBTRACT);  // collapsed and expanded again: listed once
    Key(tree, d, VK_ADD);
    ASSERT_TRUE(testenv::PumpUntil([&] { return Children(tree, d) == Names{L"备份"}; }, 5000));
    HTREEITEM backup = Child(tree, d, L"备份");
    Key(tree, backup, VK_ADD);
    ASSERT_NE(nullptr, WaitChild(tree, backup, L"2024年"));
    EXPECT_EQ(Names{L"备份"}, Children(tree, d));
    EXPECT_EQ(nullptr, tree.GetChildItem(windows));
    ClickOK();  // nothing checked: refused
    EXPECT_TRUE(picker->IsOpenAndShown());
    ClickCancel();
  };
  EXPECT_EQ(2u, Run<CDirectoryDlg>(kHost, &path, act, L"请您选择路径"));
  EXPECT_EQ(L"", path);
  EXPECT_EQ(L"注意", script.Boxes().back().caption);
}

// A request that is never answered (the agent offline, or the link closed meanwhile)
// sends no later listing astray.
TEST_F(Pickers, AnUnansweredRequestLeavesLaterListingsToTheirOwnNodes) {
  using Names = std::vector<std::wstring>;
  for (bool reconnect : {false, true}) {
    SCOPED_TRACE(reconnect ? "the link reconnected" : "the agent was offline");
    std::wstring path;
    Run<CDirectoryDlg>(kHost, &path, [&](CDirectoryDlg& dlg, CMulStatusTree& tree) {
      HTREEITEM top = dlg.Browser().TopItem();
      HTREEITEM c = WaitChild(tree, top, kC), d = WaitChild(tree, top, kD);
      ASSERT_TRUE(c && d && SetAgentOnline(false));
      const size_t asked = AskedPaths().size();
      // With the agent offline a later expand waits for C's listing until it times out.
      // Over a new connection it waits for nothing: C's full timeout, longer than the
      // waits below, leaves only the connection to free it.
      if (!reconnect) dlg.Browser().SetAnswerTimeout(300);
      Key(tree, c, VK_ADD);
      ASSERT_TRUE(testenv::PumpUntil([&] { return AskedPaths().size() > asked; }, 5000));
      dlg.Browser().SetAnswerTimeout(RemotePathBrowser::kDefaultAnswerTimeout);
      if (reconnect) {
        g_agentLinkManager.Link()->Close(WSAECONNRESET, 1);
        ASSERT_TRUE(::KillTimer(window.Handle(), AGENT_LINK_RECONNECT_TIMER));
        ::SendMessageW(window.Handle(), WM_TIMER, AGENT_LINK_RECONNECT_TIMER, 0);
        ASSERT_TRUE(testenv::PumpUntil([] { return g_agentLinkManager.Link()->IsConnected(); }, 5000));
      }
      ASSERT_TRUE(SetAgentOnline(true));
      Key(tree, d, VK_ADD);
      HTREEITEM backup = WaitChild(tree, d, L"备份");
      ASSERT_NE(nullptr, backup);
      Key(tree, backup, VK_ADD);
      HTREEITEM year = WaitChild(tree, backup, L"2024年");
      ASSERT_NE(nullptr, year);
      EXPECT_EQ(Names{L"备份"}, Children(tree, d));
      EXPECT_EQ(Names{L"test"}, Children(tree, c));  // closed, to be expanded anew
      Key(tree, c, VK_ADD);
      EXPECT_TRUE(WaitChild(tree, c, L"Windows"));
      Key(tree, year, VK_SPACE);
      dlg.OnOK();
    });
    EXPECT_EQ(L"D:\\备份\\2024年", path);
  }
}

// An unreadable listing closes its node again with its placeholder, to be asked anew.
TEST_F(Pickers, UnreadableAnswersAreSaidSoAndCloseTheirNode) {
  const struct {
    bool files;
    std::vector<std::wstring> open;  // the last one's answer cannot be read
  } rows[] = {
      {false, {kC, L"Program Files"}},           // malformed
      {false, {kC, L"Windows", L"system32"}},    // UTF-16 cut short
      {true, {kC, L"Program Files"}},            // UTF-8 cut short
  };
  for (const auto& row : rows) {
    std::wstring path;
    const size_t boxes = script.Boxes().size();
    auto act = [&](auto& dlg, CMulStatusTree& tree) {
      HTREEITEM bad = Open(dlg.Browser(), row.open);
      ASSERT_TRUE(bad && testenv::PumpUntil([&] { return script.Boxes().size() > boxes; }, 5000));
      EXPECT_EQ(std::vector<std::wstring>{L"test"}, Children(tree, bad));
    };
    const wchar_t box[] = L"主机返回的目录列表格式有误";
    row.files ? Run<CFileDlg>(kHost, &path, act, box) : Run<CDirectoryDlg>(kHost, &path, act, box);
    EXPECT_EQ(L"错误", script.Boxes().back().caption);
  }
}

TEST_F(Pickers, DeepPathsAreAskedWholeOrNotAtAll) {
  std::wstring path, deep = L"C:";
  for (int depth = 0; depth < 11; ++depth) deep += L"\\" + kLevel;
  Run<CDirectoryDlg>(kHost, &path, [&](CDirectoryDlg& dlg, CMulStatusTree& tree) {
    std::vector<std::wstring> names{kC};
    names.insert(names.end(), 11, kLevel);
    HTREEITEM eleventh = Open(dlg.Browser(), names);
    HTREEITEM twelfth = eleventh ? WaitChild(tree, eleventh, kLevel) : nullptr;
    ASSERT_NE(nullptr, twelfth);
    EXPECT_EQ(deep + L"\\" + kLevel, dlg.Browser().PathOf(twelfth));
    Key(tree, twelfth, VK_ADD);  // too long for the request: not asked
    EXPECT_EQ(nullptr, tree.GetChildItem(twelfth));
    Key(tree, eleventh, VK_SPACE);
    ClickOK();
  });
  EXPECT_EQ(deep, path);
  const std::vector<std::wstring> asked = AskedPaths();
  ASSERT_EQ(12u, asked.size());
  EXPECT_EQ(deep, asked.back());
}

}  // namespace
