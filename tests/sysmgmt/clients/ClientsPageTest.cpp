// The client page, the server-settings page and the safe-tools page in a running main
// window, against a real database and a real service peer: the tree, saving a host, the
// state messages, the settings records and the catalogue.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "console/CAgentLink.h"
#include "console/CAgentLinkManager.h"
#include "console/ODBCDatabase.h"
#include "integrity/CQuorvaneUIHandler.h"
#include "qvservice/CQvService.h"
#include "platform/TextConv.h"
#include "support/ConnectionWatch.h"
#include "support/DatabaseLock.h"
#include "support/SysMgmtPageHost.h"
#include "support/TestEnv.h"
#include "support/TreeClicks.h"
#include "sysmgmt/CSafetoolUIHandler.h"
#include "sysmgmt/CSystemManagementUIHandler.h"
#include "uiwin/UiString.h"

namespace {

using Page = CSMClientManagementUIHandler;
const uint32_t kMarker = 1699;  // a frame of the test's own, after what the pages sent

class ClientsPage : public qvtest::SysMgmtPageTest {
 protected:
  static Page& Clients(CMainDlg& main) { return *main.SystemManagement()->ClientPage(); }
  struct NodeInfo { std::wstring text; int image; };
  static NodeInfo Info(Page& page, HTREEITEM node) {
    wchar_t text[64] = L"";
    TVITEMW item{};
    item.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE;
    item.hItem = node;
    item.pszText = text;
    item.cchTextMax = 64;
    page.Tree().SendMessage(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return {text, item.iImage};
  }
  // The picture an item of a tree (this page's or the copies page's) is drawn with.
  static int Image(CMulStatusTree& tree, HTREEITEM item) {
    TVITEMW it{};
    it.mask = TVIF_IMAGE;
    it.hItem = item;
    tree.GetItem(&it);
    return it.iImage;
  }
  // "text:image:check " of each node under the root.
  static std::wstring Nodes(Page& page, HTREEITEM root) {
    std::wstring out;
    for (HTREEITEM n = page.Tree().GetChildItem(root); n; n = page.Tree().GetNextSiblingItem(n))
      out += Info(page, n).text + L":" + std::to_wstring(Info(page, n).image) + L":" +
             std::to_wstring(page.Tree().GetCheck(n)) + L" ";
    return out;
  }
  static void Check(CMainDlg& main, HTREEITEM node, int state) {
    Clients(main).Tree().SetCheck(node, state, FALSE);
    CMulStatusTreeNotify n{{}, node, state};
    Notify(main, &n.hdr, Page::kTree, CMulStatusTree::kNotifyCheckChanged);
  }
  static std::string Hex(const std::vector<unsigned char>& bytes) {
    std::string hex;
    for (unsigned char b : bytes) hex += "0123456789abcdef"[b >> 4], hex += "0123456789abcdef"[b & 15];
    return hex;
  }
  // "type/id:payload-hex " of every frame the console sent since the last call, the
  // questions for the hosts' states among them (they go out from the window's idle time).
  std::string Sent() { return SentTo(peer); }
  static std::string SentTo(testenv::LoopbackPeer& to) {
    const CAgentLink* link = g_agentLinkManager.Link();
    if (auto* main = link ? dynamic_cast<CMainDlg*>(CWindowImplCore::FromHandle(link->Window())) : nullptr)
      testenv::PumpUntil([&] { return Clients(*main).StatesUnasked() == 0; }, 20000);
    g_agentLinkManager.SendHeaderOnChannel3(0, kMarker);
    std::string out;
    testenv::PeerFrame f;
    while (to.ReceiveFrame(&f, 20000) && f.messageId != kMarker) {
      out += std::to_string(f.type) + "/" + std::to_string(f.messageId) + ":" + Hex(f.payload) + " ";
    }
    return out;
  }
  // The server settings record as hex: data port, command port, password.
  static std::string SettingsRecord(uint32_t data, uint32_t command, const std::wstring& password) {
    std::vector<unsigned char> bytes(52);
    for (int i = 0; i < 4; ++i) bytes[i] = data >> 8 * i, bytes[4 + i] = command >> 8 * i;
    for (size_t i = 0; i < password.size(); ++i) bytes[8 + 2 * i] = password[i] & 0xFF, bytes[9 + 2 * i] = password[i] >> 8;
    return Hex(bytes);
  }
  // "Name|Status|Stopped" of the host with the address.
  std::wstring Stored(const wchar_t* ip) {
    auto* r = qvtest::Row(link, L"select Name,Status,Stopped from Client where IP=?", {ip});
    if (!r) return L"(no row)";
    return qvtest::Str(r->GetString(0)) + L"|" + std::to_wstring(r->GetInt(1)) + L"|" + std::to_wstring(r->GetInt(2));
  }
  static void WaitLinkDown() {
    ASSERT_TRUE(testenv::PumpUntil([] { return !g_agentLinkManager.Link()->IsConnecting(); }, 20000));
  }
  static void BringLinkUp(testenv::LoopbackPeer& later) {
    ASSERT_TRUE(later.Listen());
    ASSERT_TRUE(later.Accept(20000));
    ASSERT_TRUE(LinkConnected());
  }
  // Host notices for `span` ms, or until `enough` holds, one every 100 ms to the hosts
  // 10.0.0.1 to 10.0.0.<hosts> in turn, each online and offline in turn; the last state
  // sent per host index goes to *last. The window's messages are dispatched here: `took`
  // hears when each began and ended, `round` runs between rounds.
  void SendNotices(int hosts, DWORD span, std::map<int, int>* last, const std::function<void(DWORD, DWORD)>& took,
                   const std::function<void()>& round = [] {},
                   const std::function<bool()>& enough = [] { return false; }) {
    const DWORD start = ::GetTickCount();
    for (int sent = 0; ::GetTickCount() - start < span && !enough();) {
      if (::GetTickCount() - start >= DWORD(sent) * 100) {
        const int host = sent % hosts, online = sent / hosts % 2 == 0;
        ASSERT_TRUE(peer.SendFrame(0, 0x0100000Au + (uint32_t(host) << 24),
                                   online ? AGENT_MSG_CLIENT_ONLINE : AGENT_MSG_CLIENT_OFFLINE));
        (*last)[host] = online;
        ++sent;
      }
      MSG msg;
      while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        const DWORD before = ::GetTickCount();
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
        took(before, ::GetTickCount());
      }
      round();
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
  }
  // The tries of both pages' state writes at the database, as their kept links count and
  // time them: taken after each message, when a page tries once at most.
  class Tries {
   public:
    explicit Tries(CMainDlg& main)
        : m_links{&Clients(main).StateLink(), &main.Integrity()->Savecopy()->StateLink()},
          m_seen{m_links[0]->UseCount(), m_links[1]->UseCount()} {}
    void Take() {
      for (int i = 0; i < 2; ++i) {
        const int uses = m_links[i]->UseCount();
        if (uses == m_seen[i]) continue;
        EXPECT_EQ(m_seen[i] + 1, uses) << "several tries in one message";
        m_seen[i] = uses;
        m_tries.push_back({m_links[i]->LastUseBegan(), m_links[i]->LastUseEnded()});
      }
    }
    size_t Count() const { return m_tries.size(); }
    // The shortest time from the end of one try to the start of the next, of either page.
    DWORD ShortestPause() const {
      std::vector<std::pair<DWORD, DWORD>> tries = m_tries;
      std::sort(tries.begin(), tries.end());
      DWORD shortest = MAXDWORD;
      for (size_t i = 1; i < tries.size(); ++i) {
        const LONG pause = static_cast<LONG>(tries[i].first - tries[i - 1].second);
        shortest = std::min(shortest, pause > 0 ? DWORD(pause) : 0);
      }
      return shortest;
    }
    DWORD Longest() const {
      DWORD longest = 0;
      for (const auto& t : m_tries) longest = std::max(longest, t.second - t.first);
      return longest;
    }

   private:
    const KeptLink* m_links[2];
    int m_seen[2];
    std::vector<std::pair<DWORD, DWORD>> m_tries;  // began, ended
  };
  // Whether both pages have written the states SendNotices sent last, and the client
  // page shows them.
  bool Written(CMainDlg& main, const std::map<int, int>& last) {
    for (const auto& host : last) {
      const std::wstring ip = L"10.0.0." + std::to_wstring(host.first + 1);
      if (qvtest::Int(link, L"select Status from Client where IP=?", {ip.c_str()}) != host.second ||
          Clients(main).NodeImage(Clients(main).NodeOfAddress(ip)) !=
              (host.second ? Page::kImageOnline : Page::kImageOffline))
        return false;
    }
    return main.Integrity()->Savecopy()->StateLink().IsOpen();
  }
};

TEST_F(ClientsPage, TreeShowsBothGroupsAndAsksForTheStateOfEachHost) {
  AddClient(L"web1", L"10.0.0.1", 0, 1);
  AddClient(L"", L"10.0.0.2", 0, 0);
  AddClient(L"", L"", 0);             // neither name nor address
  AddClient(L"fw", L"10.0.0.9", 1, 1);
  AddClient(L"odd", L"10.0.0.5", 2);  // no group
  AddClient(L"bad", L"host-x", 0);    // no address the service could take
  Run([&](UiDialogDriver&, CMainDlg& main) {
    Page& page = Clients(main);
    EXPECT_EQ(L"web1:2:1 10.0.0.2:3:1 bad:3:1 ", Nodes(page, page.ServerRoot()));
    EXPECT_EQ(L"fw:2:1 ", Nodes(page, page.DeviceRoot()));
    EXPECT_EQ(0, page.Tree().GetCheck(page.ServerRoot()));
    // Asked when the link stands, not while it connects (those frames are refused),
    // and again on a new connection, after the service restarted; the hosts' states
    // after the settings, from the window's idle time.
    const std::string asked = "2/1525: 2/1526:0a000001 2/1526:0a000002 2/1526:0a000009 ";
    EXPECT_EQ(asked, Sent());
    peer.Reset();
    ASSERT_TRUE(testenv::PumpUntil([] { return g_agentLinkManager.Link()->Socket() == INVALID_SOCKET; }, 20000));
    ASSERT_TRUE(::KillTimer(main.m_hWnd, AGENT_LINK_RECONNECT_TIMER));
    ::SendMessageW(main.m_hWnd, WM_TIMER, AGENT_LINK_RECONNECT_TIMER, 0);
    ASSERT_TRUE(peer.Accept(20000) && LinkConnected());
    EXPECT_EQ(asked, Sent());
  });
}

// Hosts read before a failing one would pass for all of them: the tree shows none, says
// which list could not be read, and asks no host for its state.
TEST_F(ClientsPage, ATreeThatFailsPartWayShowsNoHostAndSaysWhichListFailed) {
  AddClient(L"web1", L"10.0.0.1", 0, 1);
  AddClient(L"web2", L"10.0.0.2", 0, 1);
  AddClient(L"fw", L"10.0.0.9", 1, 1);
  LogInAs(g_defaultUserName, 1, 1, 0);  // no other area reads the hosts
  std::wstring error;
  ASSERT_TRUE(qvtest::FailRowsWhen(link, L"Client", L"Name", L"Name = 'web2'", &error)) << qv::WideToUtf8(error);
  script.ExpectBox(L"读取主机列表失败：[SQLite]integer overflow", IDOK);
  Run([&](UiDialogDriver&, CMainDlg& main) {
    Page& page = Clients(main);
    EXPECT_EQ(L"", Nodes(page, page.ServerRoot()));
    EXPECT_EQ(L"", Nodes(page, page.DeviceRoot()));
    EXPECT_EQ(std::string::npos, Sent().find("/1526:"));
    // The table back before the window closes: closing writes every host offline.
    ASSERT_TRUE(qvtest::Exec(link, L"drop view Client"));
    ASSERT_TRUE(qvtest::Exec(link, L"alter table ClientRows rename to Client"));
  });
  ASSERT_EQ(1u, script.Boxes().size());
  EXPECT_EQ(L"查询出错", script.Boxes()[0].caption);
}

// A name another host holds is refused with the host left as stored; the tree is read
// again, so a host another console stored under the name shows, and the edit goes on:
// the same host checked, its fields as the user left them.
TEST_F(ClientsPage, SaveChecksTheNameAndTellsTheServiceOfAStateChangeOnly) {
  AddClient(L"web1", L"10.0.0.1", 0, 1, 0);
  AddClient(L"web2", L"10.0.0.2", 0, 0, 1);
  AddClient(L"bad", L"host-x", 0, 0, 0);
  AddClient(L"db", L"10.0.0.4", 0, 1, 0);
  const std::string kAskAll = "2/1526:0a000001 2/1526:0a000002 2/1526:0a000004 ";  // the tree read again
  const struct {
    const wchar_t *ip, *name; int type, stopped;
    std::vector<const wchar_t*> boxes;
    std::string sent; const wchar_t* stored; int image;  // stored: Name|Status|Stopped|Type
    const wchar_t* other;  // a host another console stores at 10.0.0.9 just before
  } rows[] = {
      {L"10.0.0.1", L"WEB2", 0, 0, {L"请重新输入客户端名称"}, kAskAll, L"web1|1|0|0", 2, nullptr},
      {L"10.0.0.1", L"web9", 0, 1, {L"请重新输入客户端名称"}, kAskAll + "2/1526:0a000009 ", L"web1|1|0|0", 2, L"web9"},
      {L"10.0.0.1", L"", 0, 0, {L"保存成功"}, "", L"(null)|1|0|0", 2, nullptr},
      {L"10.0.0.1", L"web1", 0, 1, {L"保存成功"}, "3/1534:0a000001 ", L"web1|0|1|0", 3, nullptr},
      {L"10.0.0.2", L"web2", 0, 0, {L"保存成功"}, "3/1535:0a000002 ", L"web2|1|0|0", 3, nullptr},
      {L"host-x", L"bad", 0, 1, {L"客户端IP地址无效，命令未发送！"}, "", L"bad|0|0|0", 3, nullptr},  // not stored untold
      {L"10.0.0.4", L"db", 1, 0, {L"保存成功"}, "", L"db|1|0|1", 2, nullptr},
  };
  Run([&](UiDialogDriver& dlg, CMainDlg& main) {
    Page& page = Clients(main);
    Sent();
    for (const auto& row : rows) {
      SCOPED_TRACE(row.stored);
      Check(main, page.NodeOfAddress(row.ip), EM_TVIS_CHECK);
      ::SetWindowTextW(dlg.Control(Page::kName), row.name);
      ::SendMessageW(dlg.Control(Page::kType), CB_SETCURSEL, row.type, 0);
      ::SendMessageW(dlg.Control(Page::kState), CB_SETCURSEL, row.stopped, 0);
      if (row.other) AddClient(row.other, L"10.0.0.9", 0);
      for (const wchar_t* box : row.boxes) script.ExpectBox(box, IDOK);
      EXPECT_TRUE(dlg.Click(Page::kSave));
      EXPECT_EQ(row.sent, Sent());
      if (row.other) {
        EXPECT_NE(nullptr, page.NodeOfAddress(L"10.0.0.9"));
      }
      EXPECT_TRUE(main.IsItemEnabled(Page::kSave));
      EXPECT_EQ(row.name, dlg.ControlText(Page::kName));
      EXPECT_EQ(row.type, ::SendMessageW(dlg.Control(Page::kType), CB_GETCURSEL, 0, 0));
      EXPECT_EQ(row.stopped, ::SendMessageW(dlg.Control(Page::kState), CB_GETCURSEL, 0, 0));
      EXPECT_EQ(page.NodeOfAddress(row.ip), page.CurrentClient());
      auto* r = qvtest::Row(link, L"select Name,Status,Stopped,Type from Client where IP=?", {row.ip});
      EXPECT_EQ(row.stored, qvtest::Str(r->GetString(0)) + L"|" + std::to_wstring(r->GetInt(1)) + L"|" +
                                std::to_wstring(r->GetInt(2)) + L"|" + std::to_wstring(r->GetInt(3)));
      EXPECT_EQ(row.image, page.NodeImage(page.CurrentClient()));
      EXPECT_EQ(row.type == 1 ? page.DeviceRoot() : page.ServerRoot(),
                page.Tree().GetParentItem(page.CurrentClient()));
      EXPECT_EQ(EM_TVIS_CHECK, page.Tree().GetCheck(page.CurrentClient()));
    }
    // One host at a time, and none once it is unchecked again.
    EXPECT_EQ(L"web1:3:1 web2:3:1 bad:3:1 web9:3:1 ", Nodes(page, page.ServerRoot()));
    Check(main, page.CurrentClient(), EM_TVIS_UNCHECK);
    EXPECT_FALSE(main.IsItemEnabled(Page::kSave));
    EXPECT_EQ(L"", dlg.ControlText(Page::kAddress));
  });
  EXPECT_EQ(0, qvtest::Int(link, L"select count(*) from Client where Status<>0"));  // closed: all offline
}

// A save the database refuses is told with its connection closed: one held while the
// user reads would hold the database for as long as that takes.
TEST_F(ClientsPage, ASaveTheDatabaseRefusesIsToldWithNothingHeld) {
  AddClient(L"web1", L"10.0.0.1", 0, 1, 0);
  ASSERT_TRUE(qvtest::Exec(link, L"create trigger refuse before update on Client when new.Name = 'refused' "
                                 L"begin select raise(abort, 'refused'); end"));
  Run([&](UiDialogDriver& dlg, CMainDlg& main) {
    Page& page = Clients(main);
    Sent();
    qvtest::ConnectionWatch watch(script);
    Check(main, page.NodeOfAddress(L"10.0.0.1"), EM_TVIS_CHECK);
    ::SetWindowTextW(dlg.Control(Page::kName), L"refused");
    ::SendMessageW(dlg.Control(Page::kType), CB_SETCURSEL, 0, 0);
    ::SendMessageW(dlg.Control(Page::kState), CB_SETCURSEL, 0, 0);
    script.ExpectBox(L"refused");
    EXPECT_TRUE(dlg.Click(Page::kSave));
    EXPECT_EQ(0u, script.Remaining());
    EXPECT_EQ(1, watch.Looks());
    EXPECT_EQ(L"web1", qvtest::Str(qvtest::Row(link, L"select Name from Client where IP=?", {L"10.0.0.1"})->GetString(0)));
  });
}

// Another program deletes a host the page shows: ticking it, or saving it (even with a
// state change for the service), says that it no longer exists instead of an empty
// "错误信息：" or "保存成功", sends nothing, and the tree is read again without it.
TEST_F(ClientsPage, AHostDeletedMeanwhileIsToldAsGoneAndTheTreeIsReadAgain) {
  for (bool save : {false, true}) {
    SCOPED_TRACE(save ? "saved" : "ticked");
    DatabaseTest::SetUp();
    const int web1 = AddClient(L"web1", L"10.0.0.1", 0, 1, 0);
    AddClient(L"web2", L"10.0.0.2", 0, 1, 0);
    Run([&](UiDialogDriver& dlg, CMainDlg& main) {
      Page& page = Clients(main);
      EXPECT_TRUE(dlg.ClickTab(CSystemManagementUIHandler::kTabCtrl, 0));
      Sent();
      auto drop = [&] { ASSERT_TRUE(qvtest::Exec(link, L"delete from Client where id=?", {web1})); };
      if (!save) drop();
      script.ExpectBox(L"该记录已被删除，列表将重新读取。");
      qvtest::ToggleItem(page.Tree(), L"web1");
      if (save) {
        drop();
        ::SendMessageW(dlg.Control(Page::kState), CB_SETCURSEL, 1, 0);  // disabled: a command for the service
        EXPECT_TRUE(dlg.Click(Page::kSave));
      }
      EXPECT_EQ(0u, script.Remaining());
      ASSERT_TRUE(testenv::PumpUntil([&] { return !page.NodeOfAddress(L"10.0.0.1"); }, 20000));
      EXPECT_EQ(L"web2:2:1 ", Nodes(page, page.ServerRoot()));
      EXPECT_FALSE(main.IsItemEnabled(Page::kSave));
      EXPECT_EQ(L"", dlg.ControlText(Page::kAddress));
      const std::string sent = Sent();  // the new tree's state questions, no command
      EXPECT_EQ(std::string::npos, sent.find("/1534")) << sent;
    });
  }
}

// One address rule for every place that takes a host's address: a host whose stored
// address is not four decimal numbers, or is the broadcast address, is not asked for its
// state, and disabling it is refused in the words every page uses; nothing is stored
// or sent.
TEST_F(ClientsPage, AHostWithAnAddressNoHostCanHaveIsNeitherAskedNorDisabled) {
  const wchar_t* const unusable[] = {L"255.255.255.255", L"10.1", L"host-x"};
  AddClient(L"web1", L"10.0.0.1", 0);
  for (const wchar_t* ip : unusable) AddClient(ip, ip, 0, 0, 0);
  Run([&](UiDialogDriver& d, CMainDlg& main) {
    EXPECT_EQ("2/1525: 2/1526:0a000001 ", Sent());
    Page& page = Clients(main);
    HWND state = d.Control(Page::kState);
    for (const wchar_t* ip : unusable) {
      SCOPED_TRACE(testing::PrintToString(std::wstring(ip)));
      qvtest::ToggleItem(page.Tree(), ip);  // checked with the space key
      ASSERT_EQ(page.NodeOfAddress(ip), page.CurrentClient());
      ::SendMessageW(state, CB_SETCURSEL, 1, 0);  // 禁用
      script.ExpectBox(L"客户端IP地址无效，命令未发送！", IDOK);
      EXPECT_TRUE(d.Click(Page::kSave));
      EXPECT_EQ(L"注意", script.Boxes().back().caption);
      EXPECT_EQ("", Sent());
      EXPECT_EQ(std::wstring(ip) + L"|0|0", Stored(ip));
      EXPECT_EQ(1, ::SendMessageW(state, CB_GETCURSEL, 0, 0));  // the user's choice kept
    }
  });
}

TEST_F(ClientsPage, StateMessagesFromTheLinkAndOurOwnNoticesReachTheirNode) {
  const int a = AddClient(L"web1", L"10.0.0.1", 0);
  AddClient(L"db", L"10.0.0.4", 0);
  Run([&](UiDialogDriver&, CMainDlg& main) {
    Page& page = Clients(main);
    EXPECT_EQ("2/1525: 2/1526:0a000001 2/1526:0a000004 ", Sent());
    auto status = [&](const wchar_t* ip) { return qvtest::Int(link, L"select Status from Client where IP=?", {ip}); };
    const uint32_t one = 0x0100000A, four = 0x0400000A;
    const uint32_t online[2] = {one, 1};
    ASSERT_TRUE(Deliver(2, 0, 1526, online, 8, [&] { return page.NodeImage(page.NodeOfAddress(L"10.0.0.1")) == 2; }));
    // A short state would take 10.0.0.1 offline; the frame after it tells it was taken.
    const uint32_t shortState[2] = {one, 0};
    ASSERT_TRUE(peer.SendFrame(2, 0, 1526, shortState, 7));
    ASSERT_TRUE(Deliver(0, four, 1529, nullptr, 0, [&] { return status(L"10.0.0.4") == 1; }));
    EXPECT_EQ(1, status(L"10.0.0.1"));
    EXPECT_EQ(2, page.NodeImage(page.NodeOfAddress(L"10.0.0.1")));
    ASSERT_TRUE(Deliver(0, one, 1530, nullptr, 0, [&] {
      return status(L"10.0.0.1") == 0 && page.NodeImage(page.NodeOfAddress(L"10.0.0.1")) == 3;
    }));
    EXPECT_EQ(3, page.NodeImage(page.NodeOfAddress(L"10.0.0.1")));
    ::SendMessageW(main.m_hWnd, 1526, 8, reinterpret_cast<LPARAM>(online));  // not from the link
    EXPECT_EQ(0, status(L"10.0.0.1"));
    LRESULT result = 0;  // the history-copy page's map comes later
    EXPECT_FALSE(main.SystemManagement()->ProcessWindowMessage(main.m_hWnd, 1529, one, 0, result));

    // Our own notices: a host added, moved to the devices, and removed.
    const int e = AddClient(L"new", L"10.0.0.7", 0);
    ClientChangeNotice notice{0, static_cast<uint32_t>(e), L"new"};
    ::SendMessageW(main.m_hWnd, Page::kClientAdded, 0, reinterpret_cast<LPARAM>(&notice));  // ignored
    EXPECT_EQ(nullptr, page.NodeOfAddress(L"10.0.0.7"));
    Page::SendClientChange(main.m_hWnd, Page::kClientAdded, notice);
    qvtest::Exec(link, L"update Client set Type=1 where id=?", {e});
    Page::SendClientChange(main.m_hWnd, Page::kClientChanged, notice);
    EXPECT_EQ(L"new:3:1 ", Nodes(page, page.DeviceRoot()));
    ASSERT_TRUE(Deliver(0, 0x0700000A, 1529, nullptr, 0,
                        [&] { return page.NodeImage(page.NodeOfAddress(L"10.0.0.7")) == 2; }));
    Page::SendClientChange(main.m_hWnd, Page::kClientRemoved, notice);
    EXPECT_EQ(L"", Nodes(page, page.DeviceRoot()));
    EXPECT_EQ("2/1526:0a000007 ", Sent());
  });
  EXPECT_EQ(0, qvtest::Int(link, L"select count(*) from Client where Status<>0 or id<?", {a}));
}

// The service names a host by its address; the table may hold it in another spelling
// ("010.001.000.001" is 10.1.0.1). Every host stored under a spelling of the address
// takes the answer and the notices, in its row (under the text stored, which stays as it
// is) and on both pages' trees, a host of no group included.
TEST_F(ClientsPage, HostsStoredInAnotherSpellingOfTheirAddressTakeTheServicesStates) {
  const wchar_t* const spellings[] = {L"010.001.000.001", L"10.1.0.1", L"10.001.0.01"};
  AddClient(L"a", spellings[0], 0);
  AddClient(L"b", spellings[1], 1);
  AddClient(L"c", spellings[2], 2);
  AddClient(L"d", L"10.1.0.10", 0);
  Run([&](UiDialogDriver&, CMainDlg& main) {
    Page& page = Clients(main);
    CQvSavecopyUIHandler& copies = *main.Integrity()->Savecopy();
    // The settings at once, then one question per stored host (in the order the hosts were
    // read), the two spellings of 10.1.0.1 each asked.
    EXPECT_EQ("2/1525: 2/1526:0a010001 2/1526:0a010001 2/1526:0a01000a ", Sent());
    auto shown = [&](int image) {
      for (const wchar_t* ip : {spellings[0], spellings[1]})
        if (page.NodeImage(page.NodeOfAddress(ip)) != image) return false;
      for (HTREEITEM group : {copies.ServerGroup(), copies.DeviceGroup()})
        for (HTREEITEM item = copies.Tree().GetChildItem(group); item; item = copies.Tree().GetNextSiblingItem(item))
          if (Image(copies.Tree(), item) != (copies.Tree().GetItemText(item) == L"d" ? Page::kImageOffline : image))
            return false;
      return true;
    };
    auto stored = [&] {
      std::wstring rows;
      SQLStatement* row = qvtest::Prepare(link, L"select IP,Status from Client order by id");
      while (row && row->Fetch()) rows += qvtest::Str(row->GetString(0)) + L":" + std::to_wstring(row->GetInt(1)) + L" ";
      link.ReleaseStatement(row);
      return rows;
    };
    const uint32_t address = 0x0100010A;  // 10.1.0.1
    const uint32_t online[2] = {address, 1};
    EXPECT_TRUE(Deliver(2, 0, AGENT_MSG_CLIENT_STATE, online, 8, [&] { return shown(Page::kImageOnline); }));
    EXPECT_EQ(L"010.001.000.001:1 10.1.0.1:1 10.001.0.01:1 10.1.0.10:0 ", stored());
    EXPECT_TRUE(Deliver(0, address, AGENT_MSG_CLIENT_OFFLINE, nullptr, 0, [&] { return shown(Page::kImageOffline); }));
    EXPECT_EQ(L"010.001.000.001:0 10.1.0.1:0 10.001.0.01:0 10.1.0.10:0 ", stored());
    EXPECT_TRUE(Deliver(0, address, AGENT_MSG_CLIENT_ONLINE, nullptr, 0, [&] { return shown(Page::kImageOnline); }));
    EXPECT_EQ(L"010.001.000.001:1 10.1.0.1:1 10.001.0.01:1 10.1.0.10:0 ", stored());
  });
}

TEST_F(ClientsPage, NoticeBurstsShareOneKeptConnectionAndADeadOneIsReplacedUnseen) {
  AddClient(L"web1", L"10.0.0.1", 0);
  Run([&](UiDialogDriver&, CMainDlg& main) {
    Page& page = Clients(main);
    const uint32_t one = 0x0100000A;
    for (int burst = 0; burst < 6; ++burst) {
      SCOPED_TRACE(burst);
      // The database server went away under the kept connection.
      if (burst == 4) {
        ASSERT_TRUE(page.StateLink().IsOpen());
        SQLDisconnect(page.StateLink().Link()->Database()->ConnectionHandle());
      }
      const int online = burst % 2 == 0;
      ASSERT_TRUE(Deliver(0, one, online ? 1529 : 1530, nullptr, 0, [&] {
        return page.NodeImage(page.NodeOfAddress(L"10.0.0.1")) == (online ? Page::kImageOnline : Page::kImageOffline);
      }));
      EXPECT_EQ(online, qvtest::Int(link, L"select Status from Client where IP='10.0.0.1'"));
    }
    EXPECT_EQ(2, page.StateLink().OpenCount());
  });
}

LRESULT CALLBACK WatchErase(HWND w, UINT m, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR erased) {
  if (m == WM_ERASEBKGND) {
    RECT box;
    ::GetClipBox(reinterpret_cast<HDC>(wp), &box);
    ::UnionRect(reinterpret_cast<RECT*>(erased), reinterpret_cast<RECT*>(erased), &box);
  }
  return ::DefSubclassProc(w, m, wp, lp);
}

// The tree's pictures are masked: a new one drawn over the old one without erasing the
// line leaves the old one's edges (the red cross beside the green mark).
TEST_F(ClientsPage, AHostWhosePictureChangesIsRepaintedOnAnErasedLine) {
  AddClient(L"web1", L"10.0.0.1", 0);
  Run([&](UiDialogDriver&, CMainDlg& main) {
    Page& page = Clients(main);
    HWND tree = page.Tree().m_hWnd;
    ASSERT_TRUE(::IsWindowVisible(tree));
    HTREEITEM node = page.NodeOfAddress(L"10.0.0.1");
    RECT line{};
    std::memcpy(&line, &node, sizeof node);
    ASSERT_TRUE(::SendMessageW(tree, TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&line)));
    ::UpdateWindow(tree);
    RECT erased{};
    ASSERT_TRUE(::SetWindowSubclass(tree, WatchErase, 1, reinterpret_cast<DWORD_PTR>(&erased)));
    const uint32_t online[2] = {0x0100000A, 1};
    ASSERT_TRUE(Deliver(2, 0, 1526, online, 8, [&] { return page.NodeImage(node) == 2; }));
    ::UpdateWindow(tree);
    ::RemoveWindowSubclass(tree, WatchErase, 1);
    RECT both;
    ::IntersectRect(&both, &erased, &line);
    EXPECT_TRUE(::EqualRect(&both, &line)) << erased.left << "," << erased.top << "," << erased.right << ","
                                            << erased.bottom;
  });
}

// Two thousand hosts answered by the service: each is asked once, from the window's idle
// time (none at the link's connection itself), and every answer, online or not, is
// written and shown.
TEST_F(ClientsPage, TwoThousandHostsAreAskedOnceEachAndAllTheirAnswersTaken) {
  const int kHosts = 2000;
  auto online = [](int i) { return i % 3 != 0; };
  std::string lines;
  std::map<uint32_t, int> hosts;  // address -> times asked
  link.BeginTransaction();
  for (int i = 0; i < kHosts; ++i) {
    const std::wstring ip = L"10.1." + std::to_wstring(i / 200) + L"." + std::to_wstring(i % 200);
    // Stored the other way round: every answer changes a host.
    qvtest::Exec(link, L"insert into Client(Name,IP,Type,Status) values(?,?,?,?)",
                 {ip.c_str(), ip.c_str(), i % 2, online(i) ? 0 : 1});
    lines += "client|" + qv::WideToUtf8(ip) + (online(i) ? "|online\n" : "|offline\n");
    hosts[0x0000010Au | (uint32_t(i / 200) << 16) | (uint32_t(i % 200) << 24)] = 0;
  }
  link.Commit();
  CQvServiceScript answers;
  CQvService service;
  ASSERT_TRUE(answers.LoadText(lines, nullptr));
  service.SetScript(answers);
  ASSERT_TRUE(service.Listen(0) && service.Start());
  Run([&](UiDialogDriver&, CMainDlg& main) {
    Page& page = Clients(main);
    ASSERT_TRUE(LinkConnected());
    EXPECT_EQ(size_t(kHosts), page.StatesUnasked());
    HTREEITEM last = page.Tree().GetChildItem(page.DeviceRoot());  // host 1999, online
    while (HTREEITEM next = page.Tree().GetNextSiblingItem(last)) last = next;
    EXPECT_TRUE(testenv::PumpUntil([&] { return page.NodeImage(last) == Page::kImageOnline; }, 120000));
    const int answeredOnline = kHosts - (kHosts + 2) / 3;
    EXPECT_TRUE(testenv::PumpUntil(
        [&] { return qvtest::Int(link, L"select count(*) from Client where Status=1") == answeredOnline; }, 20000));
    EXPECT_EQ(Page::kImageOffline, page.NodeImage(page.NodeOfAddress(L"10.1.0.0")));
    EXPECT_EQ(0, int(page.StatesUnasked()));
    for (const CQvService::Received& r : service.ReceivedFrames())
      if (r.messageId == AGENT_MSG_CLIENT_STATE && r.payload.size() == 4) {
        uint32_t address = 0;
        std::memcpy(&address, r.payload.data(), 4);
        ++hosts[address];
      }
    EXPECT_EQ(size_t(kHosts), hosts.size());
    EXPECT_TRUE(std::all_of(hosts.begin(), hosts.end(), [](const std::pair<const uint32_t, int>& h) { return h.second == 1; }));
  }, service.Port());
  EXPECT_EQ(0, qvtest::Int(link, L"select count(*) from Client where Status=1"));  // closed: all offline
  service.Stop();
}

TEST_F(ClientsPage, SettingsShowTheServicePortsAndSendTheRecords) {
  using Settings = CSMServerConfigUIHandler;
  const std::wstring twenty = L"Abcdefghij0123456789";
  const auto record = SettingsRecord;
  const struct {
    const wchar_t *command, *data, *password;
    const wchar_t* box;
    std::string sent;
  } rows[] = {
      {L"", L"80", L"", L"请输入命令端口号", ""},
      {L"0", L"80", L"", L"请输入命令端口号", ""},
      {L"8002", L"", L"", L"请输入数据端口号", ""},
      {L"8002", L"8001", L"", L"请输入客户端终止密码", "2/1525:" + record(8001, 8002, L"") + " "},
      {L"8002", L"8001", twenty.c_str(), L"配置已发送给服务",
       "2/1525:" + record(8001, 8002, L"") + " 3/1527:" + record(8001, 8002, twenty) + " "},
  };
  AddClient(L"web1", L"10.0.0.1", 0);
  Run([&](UiDialogDriver& d, CMainDlg& main) {
    EXPECT_EQ("2/1525: 2/1526:0a000001 ", Sent());  // asked again: the settings at once, the states when idle
    // A short answer, and one not from the link, show nothing; the host coming online
    // after the short one tells it was taken.
    const uint32_t shortPorts[2] = {9001, 9002};
    ASSERT_TRUE(peer.SendFrame(2, 0, 1525, shortPorts, 7));
    Page& clients = Clients(main);
    const uint32_t online[2] = {0x0100000A, 1};
    ASSERT_TRUE(Deliver(2, 0, 1526, online, 8, [&] {
      return clients.NodeImage(clients.NodeOfAddress(L"10.0.0.1")) == Page::kImageOnline;
    }));
    const uint32_t ports[13] = {8001, 8002};
    ::SendMessageW(main.m_hWnd, 1525, 52, reinterpret_cast<LPARAM>(ports));  // not from the link
    EXPECT_EQ(L"", d.ControlText(Settings::kCommandPort));
    EXPECT_EQ(L"", d.ControlText(Settings::kDataPort));
    ASSERT_TRUE(Deliver(2, 0, 1525, ports, 52, [&] { return d.ControlText(Settings::kCommandPort) == L"8002"; }));
    EXPECT_EQ(L"8001", d.ControlText(Settings::kDataPort));
    main.SetTabCurSel(CSystemManagementUIHandler::kTabCtrl, 2);
    for (const auto& row : rows) {
      SCOPED_TRACE(row.box);
      const std::pair<UINT, const wchar_t*> fields[] = {
          {Settings::kCommandPort, row.command}, {Settings::kDataPort, row.data}, {Settings::kPassword, row.password}};
      for (const auto& f : fields) ::SetWindowTextW(d.Control(f.first), f.second);
      script.ExpectBox(row.box, IDOK);
      EXPECT_TRUE(d.Click(Settings::kApply));
      EXPECT_EQ(row.sent, Sent());
    }
  });
}

// With the service down nothing claims success and nothing typed is lost; once the
// service is back the same fields go out.
TEST_F(ClientsPage, SettingsWithTheLinkDownAreRefusedKeptAndSentOnceItIsBack) {
  using Settings = CSMServerConfigUIHandler;
  testenv::LoopbackPeer later(0, false);
  Run([&](UiDialogDriver& d, CMainDlg& main) {
    ASSERT_TRUE(testenv::PumpUntil([] { return !g_agentLinkManager.Link()->IsConnecting(); }, 20000));
    main.SetTabCurSel(CSystemManagementUIHandler::kTabCtrl, 2);
    for (const wchar_t* password : {L"", L"Secret_1"}) {
      SCOPED_TRACE(testing::PrintToString(std::wstring(password)));
      const std::pair<UINT, const wchar_t*> fields[] = {
          {Settings::kCommandPort, L"8002"}, {Settings::kDataPort, L"8001"}, {Settings::kPassword, password}};
      for (const auto& f : fields) ::SetWindowTextW(d.Control(f.first), f.second);
      script.ExpectBox(L"与监测服务的连接已断开，命令未发送！", IDOK);
      EXPECT_TRUE(d.Click(Settings::kApply));
      EXPECT_EQ(L"错误", script.Boxes().back().caption);
      for (const auto& f : fields) EXPECT_EQ(f.second, d.ControlText(f.first));
    }
    ASSERT_TRUE(later.Listen());
    ASSERT_TRUE(later.Accept(20000));
    ASSERT_TRUE(testenv::PumpUntil([] { return g_agentLinkManager.Link()->IsConnected(); }, 20000));
    testenv::PeerFrame f;
    script.ExpectBox(L"配置已发送给服务", IDOK);
    EXPECT_TRUE(d.Click(Settings::kApply));
    // The ports asked for again once connected, then the two records.
    std::string ids;
    for (int i = 0; i < 3 && later.ReceiveFrame(&f, 20000); ++i)
      ids += std::to_string(f.messageId) + (f.payload.empty() ? "? " : " ");
    EXPECT_EQ("1525? 1525 1527 ", ids);
  }, later.Port());
}

// Disabling or enabling a host while the service cannot hear of it: refused as every
// command is, nothing stored and the user's choice kept; once the service is back the
// same save goes through and the command reaches it.
TEST_F(ClientsPage, AStateChangeWithTheLinkDownIsRefusedKeptAndSentOnceItIsBack) {
  AddClient(L"web1", L"10.0.0.1", 0, 1, 0);
  AddClient(L"web2", L"10.0.0.2", 0, 0, 1);
  const struct {
    const wchar_t *ip, *host, *name;
    int stopped;
    const wchar_t *before, *after;  // Name|Status|Stopped
    std::string sent;
  } rows[] = {
      {L"10.0.0.1", L"web1", L"web1a", 1, L"web1|1|0", L"web1a|0|1", "3/1534:0a000001 "},
      {L"10.0.0.2", L"web2", L"web2a", 0, L"web2|0|1", L"web2a|1|0", "3/1535:0a000002 "},
  };
  testenv::LoopbackPeer later(0, false);
  Run([&](UiDialogDriver& d, CMainDlg& main) {
    WaitLinkDown();
    Page& page = Clients(main);
    HWND state = d.Control(Page::kState);
    // The host checked with the space key, a new name typed, the state chosen.
    auto choose = [&](const auto& row) {
      qvtest::ToggleItem(page.Tree(), row.host);
      ASSERT_EQ(page.NodeOfAddress(row.ip), page.CurrentClient());
      ASSERT_TRUE(d.Type(Page::kName, row.name));
      ::SendMessageW(state, CB_SETCURSEL, row.stopped, 0);
    };
    for (const auto& row : rows) {
      SCOPED_TRACE(testing::PrintToString(std::wstring(row.name)));
      choose(row);
      script.ExpectBox(L"与监测服务的连接已断开，命令未发送！", IDOK);
      EXPECT_TRUE(d.Click(Page::kSave));
      EXPECT_EQ(L"错误", script.Boxes().back().caption);
      EXPECT_EQ(row.before, Stored(row.ip));
      EXPECT_EQ(row.name, d.ControlText(Page::kName));
      EXPECT_EQ(row.stopped, ::SendMessageW(state, CB_GETCURSEL, 0, 0));
      HTREEITEM node = page.NodeOfAddress(row.ip);
      EXPECT_EQ(node, page.CurrentClient());
      EXPECT_EQ(EM_TVIS_CHECK, page.Tree().GetCheck(node));
      EXPECT_EQ(row.host, Info(page, node).text);
      EXPECT_TRUE(main.IsItemEnabled(Page::kSave));
    }
    // The service back: it is asked what it is asked on every connection, and hears of no
    // refused command.
    BringLinkUp(later);
    EXPECT_EQ("2/1525: 2/1526:0a000001 2/1526:0a000002 ", SentTo(later));
    for (const auto& row : rows) {
      SCOPED_TRACE(testing::PrintToString(std::wstring(row.name)));
      choose(row);
      script.ExpectBox(L"保存成功", IDOK);
      EXPECT_TRUE(d.Click(Page::kSave));
      EXPECT_EQ(row.sent, SentTo(later));
      EXPECT_EQ(row.after, Stored(row.ip));
    }
  }, later.Port());
}

// Ports typed while the service was away stay the user's when it comes back and
// answers: only the field left untouched takes the service's value, and applying sends
// what the user chose.
TEST_F(ClientsPage, PortsTypedWhileTheServiceWasAwayAreKeptWhenItAnswers) {
  using Settings = CSMServerConfigUIHandler;
  testenv::LoopbackPeer later(0, false);
  AddClient(L"web1", L"10.0.0.1", 0);
  Run([&](UiDialogDriver& d, CMainDlg& main) {
    WaitLinkDown();
    main.SetTabCurSel(CSystemManagementUIHandler::kTabCtrl, 2);
    ASSERT_TRUE(d.Type(Settings::kCommandPort, L"8002"));
    BringLinkUp(later);
    testenv::PeerFrame f;  // the ports asked for again, and the host's state
    for (bool ports = false, state = false; !ports || !state;) {
      ASSERT_TRUE(later.ReceiveFrame(&f, 20000));
      if (f.messageId == Settings::kSettingsMessage) EXPECT_TRUE(f.payload.empty());
      ports = ports || f.messageId == Settings::kSettingsMessage;
      state = state || f.messageId == AGENT_MSG_CLIENT_STATE;
    }
    const uint32_t ports[2] = {9001, 9002};  // data, command
    ASSERT_TRUE(later.SendFrame(2, 0, Settings::kSettingsMessage, ports, sizeof ports));
    ASSERT_TRUE(testenv::PumpUntil([&] { return d.ControlText(Settings::kDataPort) == L"9001"; }, 20000));
    EXPECT_EQ(L"8002", d.ControlText(Settings::kCommandPort));
    // Asked again later: the field the service filled follows it, the typed one stays.
    const uint32_t moved[2] = {9101, 9102};
    ASSERT_TRUE(later.SendFrame(2, 0, Settings::kSettingsMessage, moved, sizeof moved));
    ASSERT_TRUE(testenv::PumpUntil([&] { return d.ControlText(Settings::kDataPort) == L"9101"; }, 20000));
    EXPECT_EQ(L"8002", d.ControlText(Settings::kCommandPort));
    // The data port typed too: the next answer changes neither. The host coming online
    // after it tells it was taken.
    ASSERT_TRUE(d.Type(Settings::kDataPort, L"7001"));
    const uint32_t again[2] = {9201, 9202};
    ASSERT_TRUE(later.SendFrame(2, 0, Settings::kSettingsMessage, again, sizeof again));
    Page& clients = Clients(main);
    ASSERT_TRUE(later.SendFrame(0, 0x0100000A, AGENT_MSG_CLIENT_ONLINE));
    ASSERT_TRUE(testenv::PumpUntil(
        [&] { return clients.NodeImage(clients.NodeOfAddress(L"10.0.0.1")) == Page::kImageOnline; }, 20000));
    EXPECT_EQ(L"7001", d.ControlText(Settings::kDataPort));
    EXPECT_EQ(L"8002", d.ControlText(Settings::kCommandPort));

    ASSERT_TRUE(d.Type(Settings::kPassword, L"Secret_1"));
    script.ExpectBox(L"配置已发送给服务", IDOK);
    EXPECT_TRUE(d.Click(Settings::kApply));
    EXPECT_EQ("2/1525:" + SettingsRecord(7001, 8002, L"") + " 3/1527:" + SettingsRecord(7001, 8002, L"Secret_1") + " ",
              SentTo(later));
  }, later.Port());
}

// A modal script under which the first box stays up a while, as a user leaves it:
// `whileUp` runs then (notices keep coming), and a box that comes up meanwhile is one
// on top of it.
class BoxesLeftUp : public ModalScript {
 public:
  std::function<void()> whileUp;
  int stacked = 0;

  int OnMessageBox(const Box& box, BOOL& checkAnswer) override {
    const int answer = ModalScript::OnMessageBox(box, checkAnswer);
    if (m_up) {
      ++stacked;
    } else if (whileUp) {
      m_up = true;
      whileUp();
      m_up = false;
    }
    return answer;
  }

 private:
  bool m_up = false;
};

// Both host pages write the notices' states; a database that fails them is told once
// per outage, not once per burst and page, and never in a box over another. Once it is
// back the states are written again.
TEST_F(ClientsPage, ADatabaseOutageUnderHostNoticesIsToldOnceAndTheWritesResumeAfterIt) {
  AddClient(L"web1", L"10.0.0.1", 0);
  Run([&](UiDialogDriver&, CMainDlg& main) {
    Page& clients = Clients(main);
    const KeptLink& copies = main.Integrity()->Savecopy()->StateLink();
    const uint32_t one = 0x0100000A;
    auto status = [&] { return qvtest::Int(link, L"select Status from Client where IP='10.0.0.1'"); };
    // While the database fails, every write opens a new connection: pumped until both
    // pages have tried to write the burst.
    auto burst = [&] {
      const int a = clients.StateLink().OpenCount(), b = copies.OpenCount();
      ASSERT_TRUE(peer.SendFrame(0, one, AGENT_MSG_CLIENT_ONLINE));
      ASSERT_TRUE(peer.SendFrame(0, one, AGENT_MSG_CLIENT_OFFLINE));
      ASSERT_TRUE(testenv::PumpUntil(
          [&] { return clients.StateLink().OpenCount() > a && copies.OpenCount() > b; }, 20000));
    };
    // The other state written by both pages, and shown by the client page.
    bool online = false;
    auto written = [&] {
      online = !online;
      ASSERT_TRUE(Deliver(0, one, online ? AGENT_MSG_CLIENT_ONLINE : AGENT_MSG_CLIENT_OFFLINE, nullptr, 0, [&] {
        return status() == (online ? 1 : 0) && copies.IsOpen() && clients.StateLink().IsOpen() &&
               clients.NodeImage(clients.NodeOfAddress(L"10.0.0.1")) == (online ? Page::kImageOnline : Page::kImageOffline);
      }));
    };
    auto gone = [&] { ASSERT_EQ(1, qvtest::Exec(link, L"alter table Client rename to ClientAway")); };
    auto back = [&] { ASSERT_EQ(1, qvtest::Exec(link, L"alter table ClientAway rename to Client")); };
    const struct {
      const char* what;
      bool backWhileUp;
    } outages[] = {
        {"notices while the box is up", false},
        {"the database back and gone again while the box is up", true},
    };
    written();
    BoxesLeftUp boxes;
    for (const auto& outage : outages) {
      SCOPED_TRACE(outage.what);
      const size_t before = boxes.Boxes().size();
      gone();
      boxes.ExpectBox(L"错误信息：", IDOK);
      boxes.whileUp = [&] {
        burst();
        if (outage.backWhileUp) {
          back();
          written();
          gone();
        }
        burst();
      };
      burst();
      burst();
      EXPECT_EQ(before + 1, boxes.Boxes().size());
      EXPECT_EQ(0, boxes.stacked);
      EXPECT_EQ(L"错误", boxes.Boxes().back().caption);
      back();
      written();
      written();
    }
  });
}

// Another program holds the database (a transaction begun with BEGIN EXCLUSIVE) while
// host notices flow: a write waits only briefly for it, so no message holds the window
// anywhere near the lock's length; the states wait, the latest per host, and both
// pages write them once it is free. One box says the database is busy.
TEST_F(ClientsPage, NoticesWhileAnotherProgramHoldsTheDatabaseNeverHoldTheWindowAndAreWrittenAfter) {
  const wchar_t* const hosts[] = {L"10.0.0.1", L"10.0.0.2", L"10.0.0.3"};
  for (const wchar_t* host : hosts) AddClient(host, host, 0);
  Run([&](UiDialogDriver&, CMainDlg& main) {
    qvtest::DatabaseLock lock;
    ASSERT_TRUE(lock.Hold());
    script.ExpectBox(UiString::Get(280), IDOK);
    // A notice every 100 ms, each host online and offline in turn, until the pages have
    // tried the database four times; the longest time one message kept the thread is
    // taken meanwhile, and each try.
    std::map<int, int> last;  // host index -> state of its last notice
    Tries tries(main);
    DWORD longest = 0;
    SendNotices(3, 60000, &last,
                [&](DWORD before, DWORD after) {
                  longest = std::max(longest, after - before);
                  tries.Take();
                },
                [] {}, [&] { return tries.Count() >= 4; });
    // A try waits 100 ms once; the driver's own wait is 5 s here, 100 s by default.
    EXPECT_LT(longest, 3000u);
    // One try a second for both pages: the window is free in between.
    ASSERT_GE(tries.Count(), 4u);
    EXPECT_GE(tries.ShortestPause(), DWORD(HostStateWrites::kRetryMs));
    ASSERT_TRUE(lock.Release());
    EXPECT_TRUE(testenv::PumpUntil([&] { return Written(main, last); }, 20000));
    ASSERT_EQ(1u, script.Boxes().size());
    EXPECT_EQ(L"错误", script.Boxes()[0].caption);
  });
}

// A database server that does not answer (it takes the connection and says nothing, as
// one that drops packets does), or one nobody listens for, reached through the SQL
// Server driver (FreeTDS) as a site's console reaches it: the writes of the states
// nobody asked for hold the window only for their short login timeout, at most once a
// reconnect period for both pages, and lose nothing: once the database answers, the
// states still waiting go in without another notice.
TEST_F(ClientsPage, ADatabaseServerThatDoesNotAnswerHoldsTheWindowBrieflyOnceAPeriod) {
  const wchar_t* const hosts[] = {L"10.0.0.1", L"10.0.0.2"};
  for (const wchar_t* host : hosts) AddClient(host, host, 0);
  const wchar_t kServer[] = L"QuorvaneSqlServer";
  Run([&](UiDialogDriver&, CMainDlg& main) {
    Page& clients = Clients(main);
    const struct {
      const char* what;
      bool listening;
    } servers[] = {{"a server that takes the connection and never answers", true}, {"nothing listening", false}};
    std::map<int, int> last;  // host index -> state of its last notice
    for (const auto& server : servers) {
      SCOPED_TRACE(server.what);
      testenv::LoopbackPeer silent(0, server.listening);
      std::wstring error;
      ASSERT_TRUE(qvtest::TestDatabase::AddSqlServerSource(kServer, silent.Port(), &error)) << qv::WideToUtf8(error);
      // The server the kept connections were made to went away: a new one is made to this.
      wcscpy(g_dsnName, kServer);
      for (const KeptLink* kept : {&clients.StateLink(), &main.Integrity()->Savecopy()->StateLink()})
        if (kept->IsOpen()) SQLDisconnect(kept->Link()->Database()->ConnectionHandle());
      script.ExpectBox(L"连接数据库出错", IDOK);
      const size_t boxes = script.Boxes().size();
      // A notice every 100 ms for a period and a half; the longest time one message kept
      // the thread is taken meanwhile, each try of the pages (a connect, each of them),
      // and the connections the server took.
      Tries tries(main);
      DWORD longest = 0, connections = 0;
      SendNotices(2, HostStateWrites::kReconnectMs * 3 / 2, &last,
                  [&](DWORD before, DWORD after) {
                    longest = std::max(longest, after - before);
                    tries.Take();
                  },
                  [&] {
                    while (silent.Accept(0)) ++connections;
                  });
      // A try waits 2 s for the server; a user's own connect waits 100 s.
      EXPECT_LT(longest, 10000u);
      // One try a period for both pages, however fast the notices come.
      EXPECT_GE(tries.Count(), 1u);
      EXPECT_LE(tries.Count(), 2u);
      EXPECT_GE(tries.ShortestPause(), DWORD(HostStateWrites::kReconnectMs));
      EXPECT_EQ(boxes + 1, script.Boxes().size());
      if (server.listening) {
        EXPECT_GE(tries.Longest(), 1000u) << "the connect did not wait for the server";
        EXPECT_GE(connections, 1u);
        EXPECT_LE(connections, 2u);
      }
      // The database answers again: what waits goes in on the pages' own next try.
      wcscpy(g_dsnName, qvtest::TestDatabase::Dsn());
      EXPECT_TRUE(testenv::PumpUntil([&] { return Written(main, last); }, HostStateWrites::kReconnectMs + 20000));
    }
  });
}

// A state that could not be written is kept for the next write, not dropped: held by
// another program, the database takes it on the pages' own try a second later; failed,
// with the next notice (another host's). Both pages show it once written.
TEST_F(ClientsPage, StatesThatCouldNotBeWrittenGoInOnceTheDatabaseTakesWritesAgain) {
  AddClient(L"web1", L"10.0.0.1", 0);
  AddClient(L"db", L"10.0.0.2", 0);
  Run([&](UiDialogDriver&, CMainDlg& main) {
    Page& clients = Clients(main);
    CQvSavecopyUIHandler& copies = *main.Integrity()->Savecopy();
    auto status = [&](const wchar_t* ip) { return qvtest::Int(link, L"select Status from Client where IP=?", {ip}); };
    auto copiesImage = [&](const wchar_t* label) {
      for (HTREEITEM item = copies.Tree().GetChildItem(copies.ServerGroup()); item;
           item = copies.Tree().GetNextSiblingItem(item))
        if (copies.Tree().GetItemText(item) == label) return Image(copies.Tree(), item);
      return -1;
    };
    qvtest::DatabaseLock lock;
    const struct {
      const char* what;
      std::function<bool()> stop, resume;
      std::wstring box;
    } outages[] = {
        {"held by another program", [&] { return lock.Hold(); }, [&] { return lock.Release(); }, UiString::Get(280)},
        {"the writes fail", [&] { return qvtest::Exec(link, L"alter table Client rename to ClientAway") == 1; },
         [&] { return qvtest::Exec(link, L"alter table ClientAway rename to Client") == 1; }, L"错误信息："},
    };
    // A host in the state, in the database and on both pages.
    auto hostShown = [&](const wchar_t* ip, const wchar_t* label, int online) {
      const int image = online ? Page::kImageOnline : Page::kImageOffline;
      return status(ip) == online && clients.NodeImage(clients.NodeOfAddress(ip)) == image &&
             copiesImage(label) == image;
    };
    auto shown = [&](int online) {
      return hostShown(L"10.0.0.1", L"web1", online) && hostShown(L"10.0.0.2", L"db", online);
    };
    for (const auto& outage : outages) {
      SCOPED_TRACE(outage.what);
      ASSERT_TRUE(peer.SendFrame(0, 0x0100000A, AGENT_MSG_CLIENT_ONLINE));
      ASSERT_TRUE(Deliver(0, 0x0200000A, AGENT_MSG_CLIENT_ONLINE, nullptr, 0, [&] { return shown(1); }));
      const size_t boxes = script.Boxes().size();
      ASSERT_TRUE(outage.stop());
      script.ExpectBox(outage.box, IDOK);
      ASSERT_TRUE(Deliver(0, 0x0100000A, AGENT_MSG_CLIENT_OFFLINE, nullptr, 0,
                          [&] { return script.Boxes().size() > boxes; }));
      ASSERT_TRUE(outage.resume());
      // No notice comes after the outage: the kept state goes in on its own.
      EXPECT_TRUE(testenv::PumpUntil([&] { return hostShown(L"10.0.0.1", L"web1", 0); }, 20000));
    }
  });
}

TEST_F(ClientsPage, SafeToolsShowEntryZeroThenTheButtonsEntry) {
  Run([&](UiDialogDriver& d, CMainDlg& main) {
    CSafetoolUIHandler& tools = *main.SafeTool();
    for (int entry : {0, 7}) {
      if (entry) Command(main, CSafetoolUIHandler::kFirstButton + entry);
      EXPECT_EQ(UiString::Get(1028 + entry), d.ItemText(CSafetoolUIHandler::kTitle));
      wchar_t text[256] = L"";
      ::GetWindowTextW(tools.DescriptionPane(), text, 256);
      EXPECT_STREQ(UiString::Get(1041 + entry), text);
    }
  });
}

}  // namespace
