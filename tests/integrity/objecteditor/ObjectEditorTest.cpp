#include <gtest/gtest.h>

#include <functional>

#include "console/CServerDlg.h"
#include "console/SysServerPortConfig.h"
#include "controls/CUIResource.h"
#include "integrity/CQvSubStrategyObjectDlg.h"
#include "support/ConnectionWatch.h"
#include "support/ModalScript.h"
#include "support/TestDatabase.h"

namespace {

using Dlg = CQvSubStrategyObjectDlg;
class ObjectEditorTest : public qvtest::ConnectedDatabaseTest {
 protected:
  void SetUp() override {
    ConnectedDatabaseTest::SetUp();
    wcscpy(g_dsnName, qvtest::TestDatabase::Dsn());
    CUIResource::Init();
  }
  void TearDown() override {
    CUIResource::Uninit();
    g_dsnName[0] = L'\0';
  }

  // Runs the editor; body acts on it inside its modal loop.
  UINT Run(int kind, int mode, void* record, const std::function<void(Dlg&, UiDialogDriver&)>& body) {
    script.ExpectDialog([&](UiDialogDriver& d) { body(*d.As<Dlg>(), d); }, kStillOpen);
    Dlg dlg(kind, mode, record);
    return dlg.DoModal();
  }
  static void Click(Dlg& dlg, UINT item, int row = 0, int column = 1) {
    CListNotify nm{{nullptr, item, UINT(LIST_NOTIFY_CLICK)}, row, column, 0, nullptr, nullptr};
    dlg.SendMessage(WM_NOTIFY, item, reinterpret_cast<LPARAM>(&nm));
  }
  static void SetText(UiDialogDriver& d, UINT control, const wchar_t* text) {
    ::SetWindowTextW(d.Control(control), text);
  }
  static void Command(Dlg& dlg, UINT item) {
    UINMCOMMAND nm{{dlg.m_hWnd, IDC_UIVIEW, UINM_COMMAND}, item, "button"};
    dlg.SendMessage(WM_NOTIFY, IDC_UIVIEW, reinterpret_cast<LPARAM>(&nm));
  }
  static ClientObjectNode* ClientNode(const wchar_t* ip, const wchar_t* path, int number, ClientObjectNode* next) {
    auto* node = new ClientObjectNode;
    node->name = L"应用", node->clientIp = node->clientName = ip, node->path = path, node->number = number, node->next = next;
    return node;
  }

  ModalScript script;
};

// The OK check per kind: what it refuses, and that a refusal keeps the dialog open.
TEST_F(ObjectEditorTest, OkRefusesWhatTheTablesForbid) {
  ASSERT_TRUE(qvtest::Exec(link, L"insert into IpAddressTable (IpNo, IpStrategyName) values (1, 'A'), (2, 'B')"));
  ASSERT_TRUE(qvtest::Exec(link, L"insert into MacAddressTable (MacNo, MacStrategyName) values (3, 'M')"));
  ASSERT_TRUE(qvtest::Exec(link, L"insert into EquipStrategyTable (EquipNo, EquipStrategyName) values (4, 'D')"));
  ASSERT_TRUE(qvtest::Exec(link, L"insert into AppStrategyTable (AppNo, AppStrategyName) values (5, 'P')"));
  const struct {
    int kind, mode, number;
    const wchar_t* stored;  // the name the page hands in (modify)
    const wchar_t* typed;
    const wchar_t* box;  // null: accepted
  } rows[] = {
      {Dlg::kIp, Dlg::kAdd, -1, L"", L"", L"请输入 IP策略名称"},
      {Dlg::kIp, Dlg::kAdd, -1, L"", L"a", L"名称重复了"},  // names compare as the table does
      {Dlg::kIp, Dlg::kModify, 1, L"A", L"A", nullptr},     // its own row is left out
      {Dlg::kIp, Dlg::kModify, 1, L"A", L"B", L"名称重复了"},
      {Dlg::kIp, Dlg::kAdd, -1, L"", L"x' or 1=1--", L"请输入 IP策略范围"},
      {Dlg::kMac, Dlg::kModify, 9, L"N", L"M", L"名称重复了"},
      {Dlg::kMac, Dlg::kModify, 3, L"M", L"M", nullptr},
      {Dlg::kDevice, Dlg::kModify, 7, L"E", L"D", L"名称重复了"},  // a rename must not merge
      {Dlg::kDevice, Dlg::kAdd, -1, L"", L"D", L"名称重复了"},
      {Dlg::kApp, Dlg::kAdd, -1, L"", L"P", L"名称重复了"},
      {Dlg::kReg, Dlg::kAdd, -1, L"", L"R", L"请输入 自定义注册表策略内容"},
  };
  const UINT names[] = {Dlg::kIpName, Dlg::kMacName, Dlg::kAppName, Dlg::kRegName, Dlg::kDevName};
  qvtest::ConnectionWatch watch(script);  // each refusal told with nothing held
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(row.typed)));
    ObjectRecord record;
    record.name = row.stored, record.number = row.number, record.content = L"1.1.1.1";
    DeviceObjectNode* device = new DeviceObjectNode;
    ClientObjectNode* client = new ClientObjectNode;
    device->name = client->name = row.stored;
    void* given = row.kind <= Dlg::kMac ? static_cast<void*>(&record)
                  : row.kind == Dlg::kDevice ? static_cast<void*>(device) : static_cast<void*>(client);
    const UINT end = Run(row.kind, row.mode, given, [&](Dlg& dlg, UiDialogDriver& d) {
      SetText(d, names[row.kind], row.typed);
      if (row.box) script.ExpectBox(row.box);
      EXPECT_TRUE(d.Click(Dlg::kItemOK));
      EXPECT_TRUE(!row.box || d.IsOpenAndShown());
    });
    EXPECT_EQ(row.box ? kStillOpen : 1u, end);
    if (!row.box && row.kind <= Dlg::kMac) EXPECT_EQ(L"1.1.1.1", record.content);
    FreeObjectChain(device);
    FreeObjectChain(client);
  }
  EXPECT_EQ(0, DeviceObjectNode::Live());
  EXPECT_EQ(0, ClientObjectNode::Live());
}

TEST_F(ObjectEditorTest, QueriesThatFailKeepTheDialogOpen) {
  ClientObjectNode* head = ClientNode(L"1.1.1.1", L"C:\\a", 5, nullptr);
  head->name = L"P";
  ASSERT_TRUE(qvtest::Exec(link, L"drop table AppStrategyTable"));
  qvtest::ConnectionWatch watch(script);  // told with nothing held
  // An unchanged name runs no query; a new one meets the missing table.
  EXPECT_EQ(1u, Run(Dlg::kApp, Dlg::kModify, head, [](Dlg&, UiDialogDriver& d) { EXPECT_TRUE(d.Click(Dlg::kItemOK)); }));
  EXPECT_EQ(kStillOpen, Run(Dlg::kApp, Dlg::kModify, head, [&](Dlg& dlg, UiDialogDriver& d) {
              SetText(d, Dlg::kAppName, L"Q");
              script.ExpectBox(L"错误信息：");
              EXPECT_TRUE(d.Click(Dlg::kItemOK));
              EXPECT_TRUE(d.IsOpenAndShown());
            }));
  // Enter and Esc come as elements 1 and 2, which end nothing; neither does another kind.
  EXPECT_EQ(kStillOpen, Run(Dlg::kIp, Dlg::kAdd, nullptr, [](Dlg& dlg, UiDialogDriver&) {
              Command(dlg, IDOK);
              Command(dlg, IDCANCEL);
            }));
  EXPECT_EQ(2u, Run(7, Dlg::kAdd, nullptr, [](Dlg& dlg, UiDialogDriver&) { dlg.OnOK(); }));  // no panel shows
  FreeObjectChain(head);
}

// A picked client whose name cannot be read is shown by its address, and the reason told.
TEST_F(ObjectEditorTest, APickedClientsNameThatCannotBeReadIsToldAndItsAddressShown) {
  ASSERT_TRUE(qvtest::Exec(link, L"insert into Client (IP, Name, Type) values ('10.0.0.5', '主机', 0), "
                                 L"('10.0.0.5', '设备', 1)"));
  std::wstring error;
  // The picker lists only servers; the name look-up reads the device's row too.
  ASSERT_TRUE(qvtest::FailRowsWhen(link, L"Client", L"Name", L"Type = 1", &error));
  ClientObjectNode head;
  head.number = -1;
  Run(Dlg::kApp, Dlg::kAdd, &head, [&](Dlg&, UiDialogDriver& d) {
    script.ExpectDialog([](UiDialogDriver& p) {
      CServerDlg* picker = p.As<CServerDlg>();
      CMulStatusTree& tree = picker->Tree().tree;
      tree.SetCheck(tree.GetChildItem(picker->RootItem()), 3, FALSE);
      EXPECT_TRUE(p.Click(CServerDlg::kItemOK));
    });
    script.ExpectBox(L"integer overflow");
    EXPECT_TRUE(d.Click(Dlg::kAppPickClient));
    EXPECT_EQ(0u, script.Remaining());
    EXPECT_EQ(L"10.0.0.5", d.ControlText(Dlg::kAppClient));
  });
  ASSERT_EQ(1u, script.Boxes().size());
  EXPECT_EQ(0u, script.Boxes()[0].text.find(L"错误信息："));
}

// Every way out: the page ends with its head only, or leading the chain after OK.
TEST_F(ObjectEditorTest, ChainsChangeHandsWithoutLossOrDoubleFree) {
  enum End { kOk, kCancel, kClose, kDestroyed };
  for (End end : {kOk, kCancel, kClose, kDestroyed}) {
    SCOPED_TRACE(end);
    ClientObjectNode* head = ClientNode(L"1.1.1.1", L"C:\\a", 5, ClientNode(L"1.1.1.2", L"C:\\b", 6, nullptr));
    head->name = L"P";
    Run(Dlg::kApp, Dlg::kModify, head, [&](Dlg& dlg, UiDialogDriver& d) {
      EXPECT_EQ(nullptr, head->next);  // the editor took the stored items
      Click(dlg, Dlg::kAppList, 1);     // the row's client stays for the add
      SetText(d, Dlg::kAppPath, L"C:\\c");
      EXPECT_TRUE(d.Click(Dlg::kAppAdd));
      EXPECT_EQ(3, dlg.List(Dlg::kApp).GetItemCount());
      if (end == kOk) EXPECT_TRUE(d.Click(Dlg::kItemOK));
      if (end == kCancel) EXPECT_TRUE(d.Click(Dlg::kItemCancel));
      if (end == kClose) Command(dlg, Dlg::kItemClose);  // the frame's button, outside the view
    });
    std::vector<std::pair<std::wstring, int>> chain;
    for (ClientObjectNode* node = head; node; node = node->next) chain.emplace_back(node->clientIp, node->number);
    if (end == kOk)
      EXPECT_EQ((std::vector<std::pair<std::wstring, int>>{{L"1.1.1.1", 5}, {L"1.1.1.2", 6}, {L"1.1.1.2", -1}}), chain);
    else
      EXPECT_EQ(1u, chain.size());
    EXPECT_EQ(int(chain.size()), ClientObjectNode::Live());
    FreeObjectChain(head);
    EXPECT_EQ(0, ClientObjectNode::Live());
  }
}

// The pickers answered through the seams: the host tree's first client, the folder.
TEST_F(ObjectEditorTest, ApplicationAndDevicePanelsEditTheirChains) {
  ASSERT_TRUE(qvtest::Exec(link, L"insert into Client (IP, Name, Type) values ('10.0.0.5', '', 0)"));
  auto pick = [&] {
    script.ExpectDialog([](UiDialogDriver& d) {
      CServerDlg* picker = d.As<CServerDlg>();
      CMulStatusTree& tree = picker->Tree().tree;
      tree.SetCheck(tree.GetChildItem(picker->RootItem()), 3, FALSE);
      EXPECT_TRUE(d.Click(CServerDlg::kItemOK));
    });
  };
  ClientObjectNode head;
  head.number = -1;
  Run(Dlg::kApp, Dlg::kAdd, &head, [&](Dlg& dlg, UiDialogDriver& d) {
    script.ExpectBox(L"请选择服务器");  // no folder picker without a client
    EXPECT_TRUE(d.Click(Dlg::kAppPickFolder));
    EXPECT_TRUE(d.IsOpenAndShown());
    pick();
    EXPECT_TRUE(d.Click(Dlg::kAppPickClient));
    EXPECT_EQ(L"10.0.0.5", d.ControlText(Dlg::kAppClient));  // an empty name shows the address
    for (const wchar_t* path : {L"C:\\a", L"C:\\b", L"C:\\c"}) {
      SetText(d, Dlg::kAppClient, L"10.0.0.5");
      SetText(d, Dlg::kAppPath, path);
      EXPECT_TRUE(d.Click(Dlg::kAppAdd));
    }
    SetText(d, Dlg::kAppClient, L"10.0.0.5");
    SetText(d, Dlg::kAppPath, L"C:\\b");
    script.ExpectBox(L"策略内容已经存在");
    EXPECT_TRUE(d.Click(Dlg::kAppAdd));
    EXPECT_TRUE(d.IsOpenAndShown());
    Dlg::Grid& list = dlg.List(Dlg::kApp);
    for (int row = 0; row < 3; ++row) list.SetItemCheck(row, 0, 1);
    EXPECT_TRUE(d.Click(Dlg::kAppDelete));  // one checked row per press
    EXPECT_EQ(2, list.GetItemCount());
    EXPECT_EQ(L"C:\\b", list.GetItemText(0, 1));
    EXPECT_EQ(2, ClientObjectNode::Live() - 1);
    qvtest::Exec(link, L"update Client set Name='主机'");
    pick();
    EXPECT_TRUE(d.Click(Dlg::kAppPickClient));
    EXPECT_EQ(L"主机", d.ControlText(Dlg::kAppClient));
  });
  EXPECT_EQ(1, ClientObjectNode::Live());

  DeviceObjectNode device;
  Run(Dlg::kDevice, Dlg::kAdd, &device, [&](Dlg& dlg, UiDialogDriver& d) {
    const struct {
      bool manage, query;
      const wchar_t *manageText, *queryText, *box, *row;
    } steps[] = {
        {true, false, L"", L"", L"请输入管理模式命令", nullptr},
        {true, true, L"m", L"q", nullptr, L"m;q"},
        {false, true, L"", L"q2", nullptr, L"q2"},
        {false, false, L"", L"", nullptr, L""},
        {false, false, L"", L"", L"策略内容已经存在", nullptr},
    };
    for (const auto& step : steps) {
      dlg.SetItemCheck(Dlg::kDevManageCheck, step.manage);
      dlg.SetItemCheck(Dlg::kDevQueryCheck, step.query);
      SetText(d, Dlg::kDevManage, step.manageText);
      SetText(d, Dlg::kDevQuery, step.queryText);
      if (step.box) script.ExpectBox(step.box);
      EXPECT_TRUE(d.Click(Dlg::kDevAdd));
      EXPECT_TRUE(!step.box || d.IsOpenAndShown());
      if (step.row) EXPECT_EQ(step.row, dlg.List(Dlg::kDevice).GetItemText(dlg.List(Dlg::kDevice).GetItemCount() - 1, 1));
    }
    Click(dlg, Dlg::kDevList, 0);
    EXPECT_TRUE(dlg.GetItemCheck(Dlg::kDevManageCheck) && dlg.GetItemCheck(Dlg::kDevQueryCheck));
    EXPECT_EQ(L"q", d.ControlText(Dlg::kDevQuery));
    for (int row = 0; row < 3; ++row) dlg.List(Dlg::kDevice).SetItemCheck(row, 0, 1);
    EXPECT_TRUE(d.Click(Dlg::kDevDelete));  // every checked row
    EXPECT_EQ(0, dlg.List(Dlg::kDevice).GetItemCount());
    EXPECT_EQ(1, DeviceObjectNode::Live());
  });
  EXPECT_EQ(1, DeviceObjectNode::Live());
}

TEST_F(ObjectEditorTest, IpAndMacPanelsBuildAndReadTheirEntries) {
  ObjectRecord record;
  record.name = L"R", record.content = L"10.0.0.1/24;10.0.0.2-10.0.0.9/8", record.number = 1;
  Run(Dlg::kIp, Dlg::kModify, &record, [&](Dlg& dlg, UiDialogDriver& d) {
    EXPECT_EQ(2, dlg.List(Dlg::kIp).GetItemCount());
    EXPECT_TRUE(record.content.empty());
    Click(dlg, Dlg::kIpList, 1);
    EXPECT_EQ(L"", d.ControlText(Dlg::kIpStartMask));
    EXPECT_EQ(L"8", d.ControlText(Dlg::kIpEndMask));
    SetText(d, Dlg::kIpEndMask, L"16");
    EXPECT_TRUE(d.Click(Dlg::kIpModify));
    EXPECT_EQ(L"10.0.0.2-10.0.0.9/16", dlg.List(Dlg::kIp).GetItemText(1, 1));
    ::SendMessageW(d.Control(Dlg::kIpAddress), IPM_SETADDRESS, 0, 0x0A000001);
    SetText(d, Dlg::kIpMask, L"24");
    script.ExpectBox(L"添加的IP范围已经存在");
    EXPECT_TRUE(d.Click(Dlg::kIpAdd));
    EXPECT_TRUE(d.IsOpenAndShown());
    EXPECT_TRUE(d.Click(Dlg::kItemOK));
  });
  EXPECT_EQ(L"10.0.0.1/24;10.0.0.2-10.0.0.9/16", record.content);

  ObjectRecord mac;
  Run(Dlg::kMac, Dlg::kAdd, &mac, [&](Dlg& dlg, UiDialogDriver& d) {
    const UINT fields[] = {1309, 1326, 1327, 1328, 1329, 1330};
    for (UINT field : fields) SetText(d, field, L"0A");
    EXPECT_TRUE(d.Click(Dlg::kMacAdd));
    EXPECT_EQ(L"0A-0A-0A-0A-0A-0A", dlg.List(Dlg::kMac).GetItemText(0, 1));
    EXPECT_TRUE(d.Click(Dlg::kMacModify));  // nothing selected: nothing, no message
    script.ExpectBox(L"请选择要删除的策略");
    EXPECT_TRUE(d.Click(Dlg::kMacDelete));
    EXPECT_TRUE(d.IsOpenAndShown());
  });
}

// The service-port operations on controls the test has made.
TEST_F(ObjectEditorTest, ServicePortOperations) {
  Run(-1, Dlg::kAdd, nullptr, [&](Dlg& dlg, UiDialogDriver& d) {
    dlg.CreatePortControls();
    ServiceObjectRecord record;
    record.tcp = L"80 8000-8080 ", record.udp = L"53", record.icmp = L"8-0 3-300";
    dlg.LoadPorts(record);
    EXPECT_EQ(3, dlg.PortList().GetItemCount());
    EXPECT_EQ(2, dlg.IcmpList().GetItemCount());
    EXPECT_TRUE(record.tcp.empty() && record.icmp.empty());
    Click(dlg, Dlg::kIcmpList, 1);  // code 300 is no choice: left unselected
    EXPECT_EQ(3, int(::SendMessageW(d.Control(Dlg::kIcmpType), CB_GETCURSEL, 0, 0)));
    EXPECT_EQ(CB_ERR, int(::SendMessageW(d.Control(Dlg::kIcmpCode), CB_GETCURSEL, 0, 0)));
    script.ExpectBox(L"请选择 ICMP的类型与代码");
    dlg.OnPortAdd();
    EXPECT_TRUE(d.IsOpenAndShown());
    Click(dlg, Dlg::kPortList, 1);
    EXPECT_EQ(L"8000", d.ControlText(Dlg::kPortFrom));
    EXPECT_EQ(L"8080", d.ControlText(Dlg::kPortTo));
    SetText(d, Dlg::kPortTo, L"");
    SetText(d, Dlg::kPortFrom, L"80");
    script.ExpectBox(L"要修改的端口范围已经存在");
    dlg.OnPortModify();
    EXPECT_TRUE(d.IsOpenAndShown());
    dlg.SetPortType(Dlg::kPortUdp);
    SetText(d, Dlg::kPortFrom, L"80");
    dlg.OnPortAdd();  // UDP 80 beside TCP 80
    EXPECT_EQ(L"UDP", dlg.PortList().GetItemText(3, 0));
    dlg.PortList().SetItemCheck(0, 0, 1);
    dlg.PortList().SetItemCheck(3, 0, 1);
    dlg.OnPortDelete();
    EXPECT_EQ(2, dlg.PortList().GetItemCount());
  });
}

}  // namespace
