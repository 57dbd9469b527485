// The history-copies page on a real database: the host tree, the copy lists, the
// restore with its confirmation and the frame it sends, and the hosts' states.
#include <gtest/gtest.h>

#include "console/AgentLinkWindow.h"
#include "console/LinkRecords.h"
#include "platform/TextConv.h"
#include "support/ConnectionWatch.h"
#include "support/FakeShellServices.h"
#include "support/GridClicks.h"
#include "support/IntegrityPageHost.h"
#include "support/TreeClicks.h"

namespace {

class HistoryCopies : public IntegrityPageHost {
 protected:
  using Copies = CQvSavecopyUIHandler;
  void SetUp() override {
    IntegrityPageHost::SetUp();
    // id, IP, name, type, status: a host of an unknown type in the middle.
    for (const wchar_t* values : {L"1, '10.0.0.1', '', 0, 1", L"2, '10.0.0.2', '乙', 5, 1", L"3, '10.0.0.3', '丙', 1, 0",
                                  L"4, '10.0.0.4', '丁', 0, 0"})
      ASSERT_TRUE(qvtest::Exec(link, (std::wstring(L"insert into Client (id, IP, Name, Type, Status) values (") +
                                      values + L")").c_str()));
    const struct {
      const wchar_t *name, *ip;
      int type;
    } targets[] = {{L"库", L"10.0.0.1", 1}, {L"库", L"10.0.0.1", 1}, {L"系统", L"10.0.0.1", 0},
                   {L"乙的", L"10.0.0.2", 0}, {L"设备", L"10.0.0.3", 8}, {L"注册表", L"10.0.0.4", 9}};
    for (const auto& t : targets)
      ASSERT_TRUE(qvtest::Exec(link, L"insert into StrategyTable (StrategyName, StrategyType, Ip) values (?, ?, ?)",
                               {t.name, t.type, t.ip}));
    Copy(L"10.0.0.1", L"库", 1, 5, 1, L"C:\\copies\\db.bak");           // 1
    Copy(L"10.0.0.1", L"系统", 0, 7, 0, std::wstring(300, L'x').c_str());  // 2
    Copy(L"10.0.0.3", L"设备", 8, 3, 0, L"C:\\copies\\dev config.txt");  // 3
    Copy(L"10.0.0.4", L"注册表", 9, 1, 0, L"C:\\reg.txt");               // 4
    Copy(L"10.0.0.3", L"设备", 4, 2, 0, L"C:\\copies\\four.txt");        // 5
  }
  void Copy(const wchar_t* ip, const wchar_t* name, int type, int volume, int baseLine, const wchar_t* path) {
    ASSERT_TRUE(qvtest::Exec(link, L"insert into Copy (ClientIP, StrategyName, StrategyType, CreateTime, CopyVolumn, "
                             L"BaseLine, CopyFilePath) values (?, ?, ?, '2026-02-01 10:00:00', ?, ?, ?)",
                             {ip, name, type, volume, baseLine, path}));
  }
  Copies& Page() { return *Area().Savecopy(); }
  int Image(HTREEITEM item) {
    TVITEMW it{};
    it.mask = TVIF_IMAGE;
    it.hItem = item;
    Page().Tree().GetItem(&it);
    return it.iImage;
  }
  // The tree under item as "label(image)[children]".
  std::wstring Dump(HTREEITEM item) {
    std::wstring text;
    for (; item; item = Page().Tree().GetNextSiblingItem(item)) {
      text += Page().Tree().GetItemText(item) + L"(" + std::to_wstring(Image(item)) + L")";
      if (HTREEITEM child = Page().Tree().GetChildItem(item)) text += L"[" + Dump(child) + L"]";
    }
    return text;
  }
  HTREEITEM Find(std::initializer_list<const wchar_t*> path) {
    HTREEITEM item = Page().Tree().GetRootItem();
    for (const wchar_t* label : path) {
      while (item && Page().Tree().GetItemText(item) != label) item = Page().Tree().GetNextSiblingItem(item);
      if (label != *(path.end() - 1)) item = item ? Page().Tree().GetChildItem(item) : nullptr;
    }
    return item;
  }
  // A click on the item's label where the tree paints it; the button's release is
  // queued first, as it ends the tree view's drag detection.
  void ClickLabel(HTREEITEM item) {
    ASSERT_TRUE(item);
    Page().Tree().SendMessage(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));  // its branches opened
    RECT label{};
    *reinterpret_cast<HTREEITEM*>(&label) = item;
    ASSERT_TRUE(Page().Tree().SendMessage(TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&label)));
    const LPARAM at = MAKELPARAM((label.left + label.right) / 2, (label.top + label.bottom) / 2);
    ::PostMessageW(Page().Tree(), WM_LBUTTONUP, 0, at);
    Page().Tree().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
  }
  std::wstring Rows() {
    std::wstring text = Page().Grid().GetColumn(2)->m_strText + L"|" + Page().Grid().GetColumn(3)->m_strText + L":";
    for (int row = 0; row < Page().Grid().GetItemCount(); ++row) {
      for (int column = 0; column < 4; ++column) text += Page().Grid().GetItemText(row, column) + L"|";
      text += std::to_wstring(Page().Grid().GetItemCheck(row, 4)) + L";";
    }
    return text;
  }
  // The copies' tab in front, as a user opens it, once the hosts the area read at login
  // are all in the tree (they go in from the window's idle time).
  void ShowCopies() {
    ShowPage(CQuorvaneUIHandler::kTabCopies);
    EXPECT_TRUE(testenv::PumpUntil([&] { return !Page().Filling(); }, 60000)) << "the tree is not whole";
  }
  // A click where the cell is painted.
  void Click(int row, int column) { EXPECT_TRUE(qvtest::ClickGridCell(Page().Grid(), row, column)); }
  int Status(int id) { return qvtest::Int(link, L"select Status from Client where id = ?", {id}); }
};

TEST_F(HistoryCopies, TreeListsAndRestoreWithItsRefusals) {
  FakeShellServices shell;
  Run([&] {
    ShowCopies();
    EXPECT_EQ(L"服务器群组(0)[10.0.0.1(2)[操作系统完整性监测策略(4)[系统(5)]数据库系统完整性监测策略(4)]"
              L"丁(3)[自定义注册表完整性监测策略(4)[注册表(5)]]]"
              L"网络设备/安全设备群组(1)[丙(3)[自定义网络设备完整性监测策略(4)[设备(5)]]]",
              Dump(Page().Tree().GetRootItem()));
    const struct {
      std::initializer_list<const wchar_t*> item;
      const wchar_t* rows;
    } lists[] = {
        {{L"服务器群组", L"10.0.0.1", L"数据库系统完整性监测策略"},
         L"还原副本|副本清除:2026-02-01 10:00:00|5 MB|还原|删除|1;"},
        {{L"网络设备/安全设备群组", L"丙", L"自定义网络设备完整性监测策略", L"设备"},
         L"查看|:2026-02-01 10:00:00|3 MB|查看|--|0;2026-02-01 10:00:00|2 MB|查看|--|0;"},
        {{L"服务器群组", L"丁", L"自定义注册表完整性监测策略"}, L"查看|:"},  // no list for this type
        {{L"服务器群组", L"10.0.0.1", L"操作系统完整性监测策略", L"系统"},
         L"还原副本|副本清除:2026-02-01 10:00:00|7 MB|还原|删除|0;"},
    };
    for (const auto& l : lists) {
      SCOPED_TRACE(*(l.item.end() - 1));
      ClickLabel(Find(l.item));
      EXPECT_EQ(l.rows, Rows());
    }
    script.ExpectBox(L"副本路径超过259个字符，无法还原！");
    Click(0, Copies::kColRestore);  // the 300-unit path

    Page().LoadCopies(Find({L"服务器群组", L"丁", L"自定义注册表完整性监测策略", L"注册表"}));
    script.ExpectBox(L"目标主机不在线，无法还原！");
    Click(0, Copies::kColRestore);
    EXPECT_EQ(L"还原", script.Boxes().back().caption);

    Page().LoadCopies(Find({L"网络设备/安全设备群组", L"丙", L"自定义网络设备完整性监测策略", L"设备"}));
    Click(0, Copies::kColRestore);
    Click(1, Copies::kColRestore);
    Page().LoadCopies(Find({L"服务器群组", L"10.0.0.1", L"数据库系统完整性监测策略"}));
    EXPECT_NE(UINT(ITEM_FORMAT_HYPERLINK), Page().Grid().GetItemFormat(0, Copies::kColDelete)) << "looks clickable";
    Click(0, Copies::kColDelete);  // nothing
    Page().LoadCopies(Find({L"网络设备/安全设备群组", L"丙", L"自定义网络设备完整性监测策略", L"设备"}));
    ASSERT_EQ(2u, shell.Calls().size());
    for (const auto& call : shell.Calls()) EXPECT_EQ(L"notepad.exe", call.program);
    EXPECT_EQ(L"C:\\copies\\dev config.txt|C:\\copies\\four.txt", shell.Calls()[0].path + L"|" + shell.Calls()[1].path);

    ASSERT_TRUE(peer.Accept(5000) && LinkConnected());
    Page().LoadCopies(Find({L"服务器群组", L"10.0.0.1", L"数据库系统完整性监测策略"}));
    std::wstring fields;
    script.ExpectDialog([&](UiDialogDriver& d) {
      for (UINT id : {141, 142, 143}) {  // each edit sits in its scroll-bar frame
        HWND edit = d.Control(id);
        ::EnumChildWindows(d.Control(id), [](HWND child, LPARAM found) -> BOOL CALLBACK {
          wchar_t name[32] = L"";
          ::GetClassNameW(child, name, 32);
          if (_wcsicmp(name, L"RichEdit20W") == 0) *reinterpret_cast<HWND*>(found) = child;
          return TRUE;
        }, reinterpret_cast<LPARAM>(&edit));
        wchar_t text[256] = L"";
        ::GetWindowTextW(edit, text, 256);
        fields += std::wstring(text) + L"|";
      }
      d.Click(139);
    });
    Click(0, Copies::kColRestore);
    EXPECT_EQ(L"数据库系统|10.0.0.1 - 数据库系统完整性监测策略|2026-02-01 10:00:00|", fields);
    testenv::PeerFrame f;
    ASSERT_TRUE(peer.ReceiveFrame(&f, 5000));
    ASSERT_EQ(652u, f.payload.size());
    EXPECT_EQ(L"1531/3 10.0.0.1", std::to_wstring(f.messageId) + L"/" + std::to_wstring(f.type) + L" " +
                                       std::to_wstring(f.payload[0]) + L".0.0." + std::to_wstring(f.payload[3]));
    EXPECT_EQ(L"库", std::wstring(reinterpret_cast<const wchar_t*>(&f.payload[4])));
    EXPECT_EQ(L"C:\\copies\\db.bak", std::wstring(reinterpret_cast<const wchar_t*>(&f.payload[132])));
    EXPECT_EQ(L"还原中...", Page().Grid().GetItemText(0, Copies::kColDelete));
  });
}

// A restore reads the host's state before it asks the service: a state that cannot be
// read is told as such, not as a host that is offline, and nothing is sent.
TEST_F(HistoryCopies, ARestoreWhoseHostStateCannotBeReadSaysWhyAndSendsNothing) {
  Run([&] {
    ASSERT_TRUE(peer.Accept(5000) && LinkConnected());
    ShowCopies();
    ClickLabel(Find({L"服务器群组", L"10.0.0.1", L"数据库系统完整性监测策略"}));
    ASSERT_EQ(1, Page().Grid().GetItemCount());
    std::wstring error;
    ASSERT_TRUE(qvtest::FailRowsWhen(link, L"Client", L"Status", L"IP = '10.0.0.1'", &error))
        << testing::PrintToString(error);
    script.ExpectBox(L"读取目标主机状态失败：[SQLite]integer overflow");
    Click(0, Copies::kColRestore);
    EXPECT_EQ(0u, script.Remaining());
    EXPECT_EQ(L"还原", script.Boxes().back().caption);
    EXPECT_NE(L"还原中...", Page().Grid().GetItemText(0, Copies::kColDelete));
    g_agentLinkManager.SendOnChannel1(0, 9999, nullptr, 0);
    testenv::PeerFrame f;
    EXPECT_TRUE(peer.ReceiveFrame(&f, 5000) && f.messageId == 9999) << "sent " << f.messageId;
  });
}

// Another console deletes the host or the copy the page shows: opening the host's
// copies, restoring the copy, or confirming its restore says that it no longer exists
// (not an empty "错误信息：", nor that the host is offline), sends nothing, and the tree or
// the list is read again without it.
TEST_F(HistoryCopies, AHostOrCopyDeletedMeanwhileIsToldAsGoneAndReadAgain) {
  enum When { kAtTreeClick, kAtRestoreClick, kWhileAsked };
  const struct {
    bool host;
    When when;
  } cases[] = {{false, kAtRestoreClick}, {false, kWhileAsked}, {true, kAtTreeClick}, {true, kAtRestoreClick},
               {true, kWhileAsked}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.host ? "host" : "copy") + " " + std::to_string(c.when));
    // What the case before deleted comes back.
    ASSERT_TRUE(qvtest::Exec(link, L"insert or ignore into Client (id, IP, Name, Type, Status) "
                                   L"values (1, '10.0.0.1', '', 0, 1)"));
    ASSERT_TRUE(qvtest::Exec(link, L"insert or ignore into Copy (id, ClientIP, StrategyName, StrategyType, CreateTime, "
                                   L"CopyVolumn, BaseLine, CopyFilePath) values (1, '10.0.0.1', '库', 1, "
                                   L"'2026-02-01 10:00:00', 5, 1, 'C:\\copies\\db.bak')"));
    const wchar_t* const deletion = c.host ? L"delete from Client where id = 1" : L"delete from Copy where id = 1";
    Run([&] {
      ASSERT_TRUE(peer.Accept(5000) && LinkConnected());
      ShowCopies();
      const HTREEITEM databases = Find({L"服务器群组", L"10.0.0.1", L"数据库系统完整性监测策略"});
      if (c.when != kAtTreeClick) {
        ClickLabel(databases);
        ASSERT_EQ(1, Page().Grid().GetItemCount());
      }
      if (c.when == kWhileAsked)
        script.ExpectDialog([&](UiDialogDriver& d) {
          ASSERT_TRUE(qvtest::Exec(link, deletion));
          d.Click(139);
        });
      else
        ASSERT_TRUE(qvtest::Exec(link, deletion));
      script.ExpectBox(L"该记录已被删除，列表将重新读取。");
      if (c.when == kAtTreeClick)
        ClickLabel(databases);
      else
        Click(0, Copies::kColRestore);
      EXPECT_EQ(0u, script.Remaining());
      EXPECT_EQ(L"提示", script.Boxes().back().caption);
      // The tree goes in again from idle time: looked at once it is whole.
      if (c.host) {
        EXPECT_TRUE(testenv::PumpUntil([&] { return !Page().Filling() && !Find({L"服务器群组", L"10.0.0.1"}); },
                                       60000));
      } else {
        EXPECT_TRUE(testenv::PumpUntil([&] { return Page().Grid().GetItemCount() == 0; }, 60000));
        EXPECT_TRUE(testenv::PumpUntil([&] { return !Page().Filling(); }, 60000)) << "the tree is not whole";
      }
      EXPECT_TRUE(Find({L"服务器群组", L"丁"}));
      g_agentLinkManager.SendOnChannel1(0, 9999, nullptr, 0);
      testenv::PeerFrame f;
      EXPECT_TRUE(peer.ReceiveFrame(&f, 5000) && f.messageId == 9999) << "sent " << f.messageId;
    });
  }
}

// A copy of a host whose address is the broadcast address is refused as every command
// for such a host is, before the confirmation, and nothing goes to the service.
TEST_F(HistoryCopies, ACopyOfAHostWithTheBroadcastAddressIsNotRestored) {
  ASSERT_TRUE(qvtest::Exec(link, L"insert into Client (id, IP, Name, Type, Status) values (5, '255.255.255.255', '戊', 0, 1)"));
  ASSERT_TRUE(qvtest::Exec(link, L"insert into StrategyTable (StrategyName, StrategyType, Ip) values ('戊的', 0, "
                                 L"'255.255.255.255')"));
  Copy(L"255.255.255.255", L"戊的", 0, 1, 0, L"C:\\e.txt");
  Run([&] {
    ASSERT_TRUE(peer.Accept(5000) && LinkConnected());
    ShowCopies();
    ClickLabel(Find({L"服务器群组", L"戊", L"操作系统完整性监测策略", L"戊的"}));
    ASSERT_EQ(1, Page().Grid().GetItemCount());
    script.ExpectBox(L"客户端IP地址无效，命令未发送！");
    Click(0, Copies::kColRestore);
    EXPECT_NE(L"还原中...", Page().Grid().GetItemText(0, Copies::kColDelete));
    g_agentLinkManager.SendHeaderOnChannel3(0, 1699);  // after what the page sent
    testenv::PeerFrame f;
    while (peer.ReceiveFrame(&f, 5000) && f.messageId != 1699) EXPECT_NE(1531u, f.messageId);
    EXPECT_EQ(1699u, f.messageId);
  });
}

// A host stored in another spelling of its address ("010.000.000.005" is 10.0.0.5, as
// the service names it) comes online with the service's notice, in its row and in the
// tree, and its copies are restored on it.
TEST_F(HistoryCopies, AHostStoredInAnotherSpellingOfItsAddressComesOnlineAndIsRestoredOn) {
  const wchar_t* const stored = L"010.000.000.005";
  ASSERT_TRUE(qvtest::Exec(link, L"insert into Client (id, IP, Name, Type, Status) values (5, ?, '戊', 0, 0)", {stored}));
  ASSERT_TRUE(qvtest::Exec(link, L"insert into StrategyTable (StrategyName, StrategyType, Ip) values ('戊的', 0, ?)",
                           {stored}));
  Copy(stored, L"戊的", 0, 1, 0, L"C:\\e.txt");
  Run([&] {
    ASSERT_TRUE(peer.Accept(5000) && LinkConnected());
    for (UINT id : {AGENT_MSG_CLIENT_ONLINE, AGENT_MSG_CLIENT_OFFLINE})
      CAgentLinkManager::RegisterWindow(AgentLinkWindow{main->m_hWnd, id});
    ShowCopies();
    const HTREEITEM host = Find({L"服务器群组", L"戊"});
    ClickLabel(Find({L"服务器群组", L"戊", L"操作系统完整性监测策略", L"戊的"}));
    ASSERT_EQ(1, Page().Grid().GetItemCount());
    script.ExpectBox(L"目标主机不在线，无法还原！");
    Click(0, Copies::kColRestore);

    ASSERT_TRUE(peer.SendFrame(0, 0x0500000Au, AGENT_MSG_CLIENT_ONLINE));
    EXPECT_TRUE(testenv::PumpUntil([&] { return Image(host) == Copies::kImageOnline; }, 20000));
    EXPECT_EQ(1, Status(5));
    EXPECT_EQ(stored, qvtest::Str(qvtest::Row(link, L"select IP from Client where id = 5")->GetString(0)));
    script.ExpectDialog([](UiDialogDriver& d) { d.Click(139); });
    Click(0, Copies::kColRestore);
    testenv::PeerFrame f;
    ASSERT_TRUE(peer.ReceiveFrame(&f, 5000));
    ASSERT_EQ(652u, f.payload.size());
    EXPECT_EQ(1531u, f.messageId);
    EXPECT_EQ((std::vector<unsigned char>{10, 0, 0, 5}), std::vector<unsigned char>(f.payload.begin(), f.payload.begin() + 4));
    for (UINT id : {AGENT_MSG_CLIENT_ONLINE, AGENT_MSG_CLIENT_OFFLINE})
      CAgentLinkManager::UnregisterWindow(AgentLinkWindow{main->m_hWnd, id});
  });
}

// At the window's normal size every column shows, the creation time whole.
// What was read before a failure would pass for all of it: the hosts' strategies, whose
// statement steps as it is fetched, fail at their fifth row; a host's copies, bound to
// the host, fail at their first.
TEST_F(HistoryCopies, ATreeOrListThatCannotBeReadWholeShowsNothingAndSaysWhy) {
  std::wstring error;
  ASSERT_TRUE(qvtest::FailRowsWhen(link, L"StrategyTable", L"Ip", L"StrategyName = '设备'", &error));
  ASSERT_TRUE(qvtest::FailRowsWhen(link, L"Copy", L"CreateTime", L"ClientIP = '10.0.0.1'", &error));
  qvtest::ConnectionWatch watch(script);  // each told with nothing held
  script.ExpectBox(L"integer overflow");  // the tree, as the area loads
  Run([&] {
    ShowCopies();
    EXPECT_EQ(L"服务器群组(0)网络设备/安全设备群组(1)", Dump(Page().Tree().GetRootItem()));
  });
  ASSERT_TRUE(qvtest::Exec(link, L"drop view StrategyTable"));
  ASSERT_TRUE(qvtest::Exec(link, L"alter table StrategyTableRows rename to StrategyTable"));
  Run([&] {
    ShowCopies();
    ClickLabel(Find({L"网络设备/安全设备群组", L"丙", L"自定义网络设备完整性监测策略", L"设备"}));
    ASSERT_EQ(2, Page().Grid().GetItemCount());
    script.ExpectBox(L"integer overflow");
    ClickLabel(Find({L"服务器群组", L"10.0.0.1", L"数据库系统完整性监测策略"}));
    EXPECT_EQ(0u, script.Remaining());
    EXPECT_EQ(0, Page().Grid().GetItemCount());
  });
  // Each says which could not be read.
  ASSERT_EQ(2u, script.Boxes().size());
  EXPECT_EQ(0u, script.Boxes()[0].text.find(L"读取主机及其策略失败：")) << qv::WideToUtf8(script.Boxes()[0].text);
  EXPECT_EQ(0u, script.Boxes()[1].text.find(L"读取历史副本失败：")) << qv::WideToUtf8(script.Boxes()[1].text);
}

TEST_F(HistoryCopies, EveryColumnShowsAtTheNormalSize) {
  Run([&] {
    ShowCopies();
    ASSERT_FALSE(::IsZoomed(main->m_hWnd));
    Page().LoadCopies(Find({L"服务器群组", L"10.0.0.1", L"数据库系统完整性监测策略"}));
    auto& grid = Page().Grid();
    RECT client;
    ::GetClientRect(grid.m_hWnd, &client);
    int total = 0;
    for (int column = 0; column < grid.GetColumnCount(); ++column) total += grid.GetColumnWidth(column);
    EXPECT_LE(total, client.right) << "the last columns are off-screen";
    HDC dc = ::GetDC(grid.m_hWnd);
    HGDIOBJ old = ::SelectObject(dc, grid.GetItemFont(0, 0));
    SIZE time{};
    ::GetTextExtentPoint32W(dc, L"2026-02-01 10:00:00", 19, &time);
    ::SelectObject(dc, old);
    ::ReleaseDC(grid.m_hWnd, dc);
    EXPECT_GT(grid.GetColumnWidth(0), time.cx + 14) << "the time is cut";
  });
}

// A site of 20,000 servers more, each with a strategy: the tree fills from the window's
// idle time and ends whole, in the database's order, and a host's state that came before
// its node shows on it.
TEST_F(HistoryCopies, ALargeSitesTreeEndsWholeAndInOrderWithTheStatesThatCameFirst) {
  const int kMore = 20000;
  const wchar_t* hosts = L"with recursive n(i) as (select 1 union all select i + 1 from n where i < ?) ";
  ASSERT_TRUE(qvtest::Exec(link, (std::wstring(L"insert into Client (IP, Name, Type, Status) ") + hosts +
                                       L"select '10.4.' || (i / 250) || '.' || (i % 250), '主机' || i, 0, 0 from n")
                                          .c_str(),
                                {kMore}));
  ASSERT_TRUE(qvtest::Exec(link, (std::wstring(L"insert into StrategyTable (StrategyName, StrategyType, Ip) ") +
                                       hosts + L"select '策略' || i, 0, '10.4.' || (i / 250) || '.' || (i % 250) from n")
                                          .c_str(),
                                {kMore}));
  std::vector<std::wstring> servers{L"10.0.0.1", L"丁"};
  for (int i = 1; i <= kMore; ++i) servers.push_back(L"主机" + std::to_wstring(i));
  const uint32_t last = 10u | 4u << 8 | uint32_t(kMore / 250) << 16 | uint32_t(kMore % 250) << 24;
  Run([&] {
    CMulStatusTree& tree = Page().Tree();
    const HTREEITEM group = tree.GetRootItem();
    // The groups and the first hosts' ten items, then a host, its type and its strategy each.
    const UINT whole = 12 + 3 * kMore;
    EXPECT_LT(tree.GetCount(), whole) << "the tree was whole before the window ran";
    LRESULT result = 0;  // the last host comes online before its node is in
    Area().ProcessWindowMessage(frame, AGENT_MSG_CLIENT_ONLINE, last, 0, result);
    testenv::PumpUntil([&] { return tree.GetCount() == whole || !Page().Filling(); }, 60000);
    ASSERT_EQ(whole, tree.GetCount());
    EXPECT_EQ(servers, qvtest::Children(tree, group));
    HTREEITEM node = tree.GetChildItem(group);
    while (HTREEITEM next = tree.GetNextSiblingItem(node)) node = next;
    EXPECT_EQ(Copies::kImageOnline, Image(node));
    EXPECT_EQ(Copies::kImageOffline, Image(tree.GetNextSiblingItem(tree.GetChildItem(group))));
    EXPECT_EQ(1, qvtest::Int(link, L"select Status from Client where Name = ?", {(L"主机" + std::to_wstring(kMore)).c_str()}));
  });
}

TEST_F(HistoryCopies, HostStatesAreReadOnlyAsDeliveredAndGoOnAlongTheChain) {
  Run([&] {
    ASSERT_TRUE(peer.Accept(5000) && LinkConnected());
    CAgentLinkManager::RegisterWindow(AgentLinkWindow{main->m_hWnd, AGENT_MSG_CLIENT_STATE});
    const unsigned char online4[8] = {10, 0, 0, 4, 1, 0, 0, 0}, offline1[8] = {10, 0, 0, 1, 0, 0, 0, 0};
    ClientStateRecord undelivered{0x0400000Au, 1};
    Dispatch(AGENT_MSG_CLIENT_STATE, 8, reinterpret_cast<LPARAM>(&undelivered));
    ASSERT_TRUE(peer.SendFrame(2, 0, AGENT_MSG_CLIENT_STATE, online4, 7));
    ASSERT_TRUE(peer.SendFrame(2, 0, AGENT_MSG_CLIENT_STATE, offline1, 8));
    ASSERT_TRUE(testenv::PumpUntil([&] { return Image(Find({L"服务器群组", L"10.0.0.1"})) == Copies::kImageOffline; }, 5000));
    EXPECT_EQ(0, Status(1));
    EXPECT_EQ(0, Status(4));
    LRESULT result = 0;
    EXPECT_FALSE(Area().ProcessWindowMessage(frame, AGENT_MSG_CLIENT_ONLINE, 0x0400000Au, 0, result));
    EXPECT_TRUE(testenv::PumpUntil([&] { return Status(4) == 1; }, 5000));
    EXPECT_EQ(Copies::kImageOnline, Image(Find({L"服务器群组", L"丁"})));
    CAgentLinkManager::UnregisterWindow(AgentLinkWindow{main->m_hWnd, AGENT_MSG_CLIENT_STATE});
  });
}

TEST_F(HistoryCopies, HostStatesOfManyBurstsShareOneKeptConnection) {
  Run([&] {
    ASSERT_TRUE(peer.Accept(5000) && LinkConnected());
    for (UINT id : {AGENT_MSG_CLIENT_ONLINE, AGENT_MSG_CLIENT_OFFLINE})
      CAgentLinkManager::RegisterWindow(AgentLinkWindow{main->m_hWnd, id});
    for (int burst = 0; burst < 4; ++burst) {
      SCOPED_TRACE(burst);
      const bool online = burst % 2 == 0;
      ASSERT_TRUE(peer.SendFrame(0, 0x0400000Au, online ? AGENT_MSG_CLIENT_ONLINE : AGENT_MSG_CLIENT_OFFLINE));
      ASSERT_TRUE(testenv::PumpUntil(
          [&] { return Image(Find({L"服务器群组", L"丁"})) == (online ? Copies::kImageOnline : Copies::kImageOffline); },
          5000));
      EXPECT_EQ(online ? 1 : 0, Status(4));
    }
    EXPECT_EQ(1, Page().StateLink().OpenCount());
    for (UINT id : {AGENT_MSG_CLIENT_ONLINE, AGENT_MSG_CLIENT_OFFLINE})
      CAgentLinkManager::UnregisterWindow(AgentLinkWindow{main->m_hWnd, id});
  });
}

// Every message of the page comes with its database connection closed: one held while
// the user reads would hold the database for as long as that takes.
TEST_F(HistoryCopies, NoBoxComesUpWhileThePageHoldsADatabaseConnection) {
  Run([&] {
    ASSERT_TRUE(peer.Accept(5000) && LinkConnected());
    ShowCopies();
    qvtest::ConnectionWatch watch(script);
    const std::initializer_list<const wchar_t*> databases = {L"服务器群组", L"10.0.0.1", L"数据库系统完整性监测策略"};
    const struct {
      const char* what;
      std::function<void()> act;
    } rows[] = {
        {"restore on a host that is offline",
         [&] {
           Page().LoadCopies(Find({L"服务器群组", L"丁", L"自定义注册表完整性监测策略", L"注册表"}));
           script.ExpectBox(L"目标主机不在线，无法还原！");
           Click(0, Copies::kColRestore);
         }},
        {"restore on a host whose state cannot be read",
         [&] {
           Page().LoadCopies(Find(databases));
           std::wstring error;
           ASSERT_TRUE(qvtest::FailRowsWhen(link, L"Client", L"Status", L"IP = '10.0.0.1'", &error));
           script.ExpectBox(L"读取目标主机状态失败：");
           Click(0, Copies::kColRestore);
           ASSERT_TRUE(qvtest::Exec(link, L"drop view Client"));
           ASSERT_TRUE(qvtest::Exec(link, L"alter table ClientRows rename to Client"));
         }},
        {"restore of a copy another console deleted",
         [&] {
           Page().LoadCopies(Find(databases));
           ASSERT_TRUE(qvtest::Exec(link, L"delete from Copy where id = 1"));
           script.ExpectBox(L"该记录已被删除，列表将重新读取。");
           Click(0, Copies::kColRestore);
           EXPECT_TRUE(testenv::PumpUntil([&] { return Page().Grid().GetItemCount() == 0; }, 5000));
         }},
        {"copies of a host another console deleted",
         [&] {
           const HTREEITEM registry = Find({L"服务器群组", L"丁", L"自定义注册表完整性监测策略", L"注册表"});
           ASSERT_TRUE(qvtest::Exec(link, L"delete from Client where id = 4"));
           script.ExpectBox(L"该记录已被删除，列表将重新读取。");
           Page().LoadCopies(registry);
           EXPECT_TRUE(testenv::PumpUntil([&] { return !Find({L"服务器群组", L"丁"}); }, 5000));
         }},
    };
    watch.RunRows(rows);
  });
}

}  // namespace
