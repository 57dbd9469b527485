// The strategy objects page in a real main window on a real database; the object editor
// answered through the modal seam.
#include <gtest/gtest.h>

#include "console/SQLStatement.h"
#include "integrity/CQvSubStrategyObjectDlg.h"
#include "platform/TextConv.h"
#include "support/DatabaseLock.h"
#include "support/IntegrityPageHost.h"

namespace {

using ObjectsPage = CQvStrategyObjectUIHandler;
using Editor = CQvSubStrategyObjectDlg;

class StrategyObjectsPage : public IntegrityPageHost {
 protected:
  ObjectsPage& Objects() { return *Area().StrategyObject(); }
  ObjectsPage::Grid& List(ObjectsPage::List list) { return Objects().GridOf(list); }
  // The objects tab, then the list's own tab, as the user clicks them.
  void Show(ObjectsPage::List list) {
    static const int kTabOf[ObjectsPage::kListCount] = {0, 1, -1, 2, 4, 3};  // services have no tab
    ShowPage(CQuorvaneUIHandler::kTabObjects);
    ClickTab(ObjectsPage::kTabCtrl, kTabOf[list]);
  }
  // A click on the row's box unless it is ticked already.
  void Tick(ObjectsPage::List list, int row) {
    Show(list);
    if (List(list).GetItemCheck(row, 0) <= 0) EXPECT_TRUE(qvtest::ClickGridCell(List(list), row, 0));
    EXPECT_EQ(1, List(list).GetItemCheck(row, 0));
  }
  // A click on the editor's application list, second column.
  static void ClickAppRow(Editor& editor, int row) {
    CListNotify nm{{nullptr, Editor::kAppList, UINT(LIST_NOTIFY_CLICK)}, row, 1, 0, nullptr, nullptr};
    editor.SendMessage(WM_NOTIFY, Editor::kAppList, reinterpret_cast<LPARAM>(&nm));
  }
  // The next editor: name typed, the IP 10.0.0.<last> added, OK.
  void ExpectIpEditor(const wchar_t* name, unsigned last) {
    script.ExpectDialog([=](UiDialogDriver& d) {
      ::SetWindowTextW(d.Control(Editor::kIpName), name);
      ::SendMessageW(d.Control(Editor::kIpAddress), IPM_SETADDRESS, 0, 0x0A000000 + last);
      EXPECT_TRUE(d.Click(Editor::kIpAdd));
      EXPECT_TRUE(d.Click(Editor::kItemOK));
    });
  }
};

TEST_F(StrategyObjectsPage, LoadGroupsTheItemsOfANameIntoOneRow) {
  ASSERT_TRUE(qvtest::Exec(link, L"insert into AppStrategyTable (AppNo, AppStrategyName, AppFilePath, "
                                 L"AppStrategyExplain) values (1, '网站', 'C:\\a', '第一'), (2, '网站', 'C:\\b', '第二'), "
                                 L"(3, '网站', 'C:\\c', '第三'), (4, '其他', 'D:\\x', '')"));
  ASSERT_TRUE(qvtest::Exec(link, L"insert into EquipStrategyTable (EquipNo, EquipStrategyName, EquipQueryOrder, "
                                 L"EquipManageOrder) values (1, '交换机', 'q', 'm'), (2, '交换机', '', 'm2')"));
  ASSERT_TRUE(qvtest::Exec(link, L"insert into SeverStrategyTable (SeverNo, SeverStrategyName, SeverStrategyTCP, "
                                 L"SeverStrategyICMP) values (1, 'web', '80', '8-0')"));
  Run([&] {
    ASSERT_EQ(2, List(ObjectsPage::kApp).GetItemCount());
    EXPECT_EQ(L"C:\\a C:\\b C:\\c", List(ObjectsPage::kApp).GetItemText(0, 2));
    EXPECT_EQ(L"第一", List(ObjectsPage::kApp).GetItemText(0, 3));
    EXPECT_EQ(L"q;m  m2", List(ObjectsPage::kDevice).GetItemText(0, 2));
    EXPECT_EQ(L"TCP 80 ICMP 8-0", List(ObjectsPage::kService).GetItemText(0, 2));
  });
}

// One list's table that cannot be read, whole or after its first row, empties that list
// alone: the box names it, and the lists after it are read as always.
TEST_F(StrategyObjectsPage, AListThatCannotBeReadFailsAloneAndSaysWhich) {
  const struct {
    ObjectsPage::List list;
    const wchar_t *table, *column, *box;
  } rows[] = {
      {ObjectsPage::kIp, L"IpAddressTable", L"IpStrategyName", L"读取IP地址对象失败："},
      {ObjectsPage::kMac, L"MacAddressTable", L"MacStrategyName", L"读取MAC地址对象失败："},
      {ObjectsPage::kService, L"SeverStrategyTable", L"SeverStrategyName", L"读取服务对象失败："},
      {ObjectsPage::kApp, L"AppStrategyTable", L"AppStrategyName", L"读取自定义应用策略失败："},
      {ObjectsPage::kDevice, L"EquipStrategyTable", L"EquipStrategyName", L"读取自定义设备策略失败："},
      {ObjectsPage::kReg, L"RegStrategyTable", L"RegStrategyName", L"读取自定义注册表策略失败："},
  };
  for (const auto& row : rows) {
    const std::wstring table = row.table, column = row.column;
    const std::wstring number = column.substr(0, column.find(L"StrategyName")) + L"No";
    ASSERT_TRUE(qvtest::Exec(link, (L"insert into " + table + L" (" + number + L", " + column +
                                    L") values (1, 'A'), (2, 'B')").c_str()));
  }
  for (const auto& row : rows) {
    for (bool partly : {false, true}) {
      SCOPED_TRACE(qv::WideToUtf8(row.table) + (partly ? " after its first row" : " whole"));
      const std::wstring table = row.table;
      std::wstring error;
      if (partly)
        ASSERT_TRUE(qvtest::FailRowsWhen(link, row.table, row.column, (std::wstring(row.column) + L" = 'B'").c_str(),
                                         &error)) << qv::WideToUtf8(error);
      else
        ASSERT_TRUE(qvtest::Exec(link, (L"alter table " + table + L" rename to " + table + L"Gone").c_str()));
      const size_t boxes = script.Boxes().size();
      script.ExpectBox(row.box);
      Run([&] {
        for (int list = 0; list < ObjectsPage::kListCount; ++list)
          EXPECT_EQ(list == row.list ? 0 : 2, List(ObjectsPage::List(list)).GetItemCount()) << list;
      });
      EXPECT_EQ(boxes + 1, script.Boxes().size());
      EXPECT_EQ(L"错误", script.Boxes().back().caption);
      if (partly)
        ASSERT_TRUE(qvtest::Exec(link, (L"drop view " + table).c_str()) &&
                    qvtest::Exec(link, (L"alter table " + table + L"Rows rename to " + table).c_str()));
      else
        ASSERT_TRUE(qvtest::Exec(link, (L"alter table " + table + L"Gone rename to " + table).c_str()));
    }
  }
}

// Names reach the statements bound: a hostile one removes exactly its object; names
// the table takes as equal go together.
TEST_F(StrategyObjectsPage, DeleteRemovesExactlyTheTickedNames) {
  ASSERT_TRUE(qvtest::Exec(link, L"insert into IpAddressTable (IpNo, IpStrategyName) values "
                                 L"(1, 'x'' or 1=1--'), (2, 'A'), (3, 'a'), (4, '办公''网段'), (5, '其他')"));
  Run([&] {
    Show(ObjectsPage::kIp);
    ObjectsPage::Grid& ips = List(ObjectsPage::kIp);
    const struct {
      std::vector<int> ticks;
      int left;
    } steps[] = {{{0}, 4}, {{0}, 2}, {{0}, 1}, {{}, 1}};
    for (const auto& step : steps) {
      SCOPED_TRACE(step.left);
      for (int row : step.ticks) Tick(ObjectsPage::kIp, row);
      if (step.ticks.empty()) script.ExpectBox(L"请选择要删除的策略");
      Click(1522);
      EXPECT_EQ(step.left, ips.GetItemCount());
      EXPECT_EQ(step.left, qvtest::Int(link, L"select count(*) from IpAddressTable"));
    }
    EXPECT_EQ(L"其他", ips.GetItemText(0, 1));
  });
}

// Another console saves while a MAC object is deleted: the delete waits for its short
// lock and goes through without holding that save up; a lock held longer refuses it,
// saying that another program holds the database, and the object stays.
TEST_F(StrategyObjectsPage, ADeleteWaitsForAnotherConsolesSaveOrIsRefusedSayingTheDatabaseIsHeld) {
  const struct {
    const char* what;
    bool shortSave;
  } cases[] = {{"a save of three seconds", true}, {"a lock held on", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DatabaseTest::SetUp();
    ASSERT_TRUE(qvtest::Exec(link, L"insert into MacAddressTable (MacNo, MacStrategyName) values (1, '甲'), (2, '乙')"));
    Run([&] {
      Tick(ObjectsPage::kMac, 0);
      qvtest::DatabaseLock other(qvtest::DatabaseLock::kWrite);
      ASSERT_TRUE(c.shortSave ? other.HoldFor(3000) : other.Hold());
      if (!c.shortSave)
        script.ExpectBox(std::wstring(L"错误信息：") + kDatabaseHeldText + L"[SQLite]database is locked");
      Click(1525);
      EXPECT_EQ(0u, script.Remaining());
      if (c.shortSave) {
        DWORD held = 0, commit = 0;
        ASSERT_TRUE(other.WaitCommitted(&held, &commit));
        EXPECT_LT(commit * 3, held) << "the save's commit waited " << commit << " ms after holding " << held << " ms";
      } else {
        ASSERT_TRUE(other.Release());
      }
      const int left = c.shortSave ? 1 : 2;
      EXPECT_EQ(left, qvtest::Int(link, L"select count(*) from MacAddressTable"));
      ASSERT_EQ(left, List(ObjectsPage::kMac).GetItemCount());
      EXPECT_EQ(c.shortSave ? L"乙" : L"甲", List(ObjectsPage::kMac).GetItemText(0, 1));
    });
  }
}

TEST_F(StrategyObjectsPage, OnlyOneRowStaysTickedThroughClicks) {
  ASSERT_TRUE(qvtest::Exec(link, L"insert into MacAddressTable (MacNo, MacStrategyName) values (1, 'a'), (2, 'b')"));
  Run([&] {
    ObjectsPage::Grid& macs = List(ObjectsPage::kMac);
    const struct {
      int row, column;
      int checks[2];
    } clicks[] = {{0, 0, {1, 0}}, {0, 1, {1, 0}}, {1, 0, {0, 1}}, {1, 0, {0, 0}}, {0, 0, {1, 0}}};
    Show(ObjectsPage::kMac);
    for (const auto& click : clicks) {
      SCOPED_TRACE(click.row * 10 + click.column);
      EXPECT_TRUE(qvtest::ClickGridCell(macs, click.row, click.column));
      EXPECT_EQ(click.checks[0], macs.GetItemCheck(0, 0));
      EXPECT_EQ(click.checks[1], macs.GetItemCheck(1, 0));
    }
  });
}

// Clicked where their boxes are painted, the other lists keep one row ticked too.
TEST_F(StrategyObjectsPage, EachListKeepsOneRowTickedThroughClicksOnItsBoxes) {
  ASSERT_TRUE(qvtest::Exec(link, L"insert into IpAddressTable (IpNo, IpStrategyName) values (1, 'a'), (2, 'b')"));
  ASSERT_TRUE(qvtest::Exec(link, L"insert into AppStrategyTable (AppNo, AppStrategyName) values (1, 'a'), (2, 'b')"));
  ASSERT_TRUE(qvtest::Exec(link, L"insert into EquipStrategyTable (EquipNo, EquipStrategyName) values (1, 'a'), (2, 'b')"));
  ASSERT_TRUE(qvtest::Exec(link, L"insert into RegStrategyTable (RegNo, RegStrategyName) values (1, 'a'), (2, 'b')"));
  Run([&] {
    for (ObjectsPage::List list : {ObjectsPage::kIp, ObjectsPage::kApp, ObjectsPage::kDevice, ObjectsPage::kReg}) {
      SCOPED_TRACE(list);
      Show(list);
      ObjectsPage::Grid& grid = List(list);
      ASSERT_EQ(2, grid.GetItemCount());
      const int clicks[][3] = {{0, 1, 0}, {1, 0, 1}, {1, 0, 0}};  // row clicked, then the boxes
      for (const auto& click : clicks) {
        EXPECT_TRUE(qvtest::ClickGridCell(grid, click[0], 0));
        EXPECT_EQ(click[1], grid.GetItemCheck(0, 0)) << click[0];
        EXPECT_EQ(click[2], grid.GetItemCheck(1, 0)) << click[0];
      }
    }
  });
}

TEST_F(StrategyObjectsPage, AddNumbersAboveTheMaximumAndModifyKeepsTheNumber) {
  Run([&] {
    Show(ObjectsPage::kIp);
    ExpectIpEditor(L"一", 1);
    Click(1520);
    ExpectIpEditor(L"二", 2);
    Click(1520);
    EXPECT_EQ(2, qvtest::Int(link, L"select IpNo from IpAddressTable where IpStrategyName='二'"));
    EXPECT_EQ(2, qvtest::Int(link, L"select count(*) from IpAddressTable where IpModifyTime is null"));
    Tick(ObjectsPage::kIp, 1);
    Click(1522);
    ExpectIpEditor(L"三", 3);
    Click(1520);
    EXPECT_EQ(2, qvtest::Int(link, L"select IpNo from IpAddressTable where IpStrategyName='三'"));
    Tick(ObjectsPage::kIp, 1);
    ExpectIpEditor(L"四", 4);
    Click(1521);
    EXPECT_EQ(L"四", List(ObjectsPage::kIp).GetItemText(1, 1));
    EXPECT_EQ(2, qvtest::Int(link, L"select IpNo from IpAddressTable where IpStrategyName='四'"));
  });
}

// A new device object: its items numbered from 1, the user's, one row id; the list row
// joins the items' commands.
TEST_F(StrategyObjectsPage, DeviceAddWritesEveryItemAsTheUsers) {
  g_currentUserName = L"丙";
  Run([&] {
    script.ExpectDialog([](UiDialogDriver& d) {
      Editor& editor = *d.As<Editor>();
      ::SetWindowTextW(d.Control(Editor::kDevName), L"交换机");
      for (const wchar_t* manage : {L"m", L"m2"}) {
        editor.SetItemCheck(Editor::kDevManageCheck, TRUE);
        editor.SetItemCheck(Editor::kDevQueryCheck, manage[1] == 0);
        ::SetWindowTextW(d.Control(Editor::kDevManage), manage);
        ::SetWindowTextW(d.Control(Editor::kDevQuery), L"q");
        EXPECT_TRUE(d.Click(Editor::kDevAdd));
      }
      EXPECT_TRUE(d.Click(Editor::kItemOK));
    });
    Show(ObjectsPage::kDevice);
    Click(1532);
    EXPECT_EQ(L"q;m  m2", List(ObjectsPage::kDevice).GetItemText(0, 2));
    EXPECT_EQ(3, qvtest::Int(link, L"select sum(EquipNo) from EquipStrategyTable where EquipCreaterName = '丙' "
                                   L"and EquipCreateTime = EquipModifyTime"));
    EXPECT_EQ(1, qvtest::Int(link, L"select count(distinct id) from EquipStrategyTable"));
    EXPECT_EQ(0, DeviceObjectNode::Live());
  });
  g_currentUserName.clear();
}

// A modify rewrites every row above the maximum in one unit: creators and creation
// times stay, an added item is the current user's, a failure leaves the old rows.
// A client's name that cannot be read is no empty name: the editor does not open on it.
TEST_F(StrategyObjectsPage, AModifyWhoseClientNameCannotBeReadSaysWhyAndOpensNoEditor) {
  ASSERT_TRUE(qvtest::Exec(link, L"insert into Client (IP, Name) values ('10.0.0.1', '核心')"));
  ASSERT_TRUE(qvtest::Exec(link, L"insert into AppStrategyTable (AppNo, AppStrategyName, AppIpAddress, AppFilePath) "
                                 L"values (7, '网站', '10.0.0.1', 'C:\\a')"));
  Run([&] {
    std::wstring error;
    ASSERT_TRUE(qvtest::FailRowsWhen(link, L"Client", L"Name", L"IP = '10.0.0.1'", &error));
    Tick(ObjectsPage::kApp, 0);
    script.ExpectBox(L"integer overflow");
    Click(1530);
    EXPECT_EQ(0u, script.Remaining());
    EXPECT_EQ(0, ClientObjectNode::Live());
  });
  ASSERT_EQ(1u, script.Boxes().size());
  EXPECT_EQ(0u, script.Boxes()[0].text.find(L"错误信息："));
}

TEST_F(StrategyObjectsPage, MultiRowModifyRewritesAsOneUnit) {
  ASSERT_TRUE(qvtest::Exec(link, L"insert into Client (IP, Name) values ('10.0.0.1', '核心')"));
  ASSERT_TRUE(qvtest::Exec(link, L"insert into AppStrategyTable (AppNo, AppCreaterName, AppCreateTime, "
                                 L"AppStrategyName, AppIpAddress, AppFilePath) values "
                                 L"(7, '甲', '2020-01-01 00:00:00', '网站', '10.0.0.1', 'C:\\a'), "
                                 L"(8, '乙', '2020-01-02 00:00:00', '网站', '10.0.0.9', 'C:\\b'), (20, '丁', '', '其他', '', 'D:')"));
  g_currentUserName = L"丙";
  Run([&] {
    const struct {
      const wchar_t* trigger;  // makes the write fail half-way
      bool cancel, addItem;
      const wchar_t* rows;  // numbers, creators, paths after the operation
    } steps[] = {
        {nullptr, true, false, L"7甲C:\\a|8乙C:\\b|"},
        {nullptr, false, false, L"21甲C:\\a|22乙C:\\b|"},
        {L"create trigger t before insert on AppStrategyTable when new.AppFilePath = 'C:\\new' "
         L"begin select raise(abort, 'refused'); end",
         false, true, L"21甲C:\\a|22乙C:\\b|"},
        {L"drop trigger t", false, true, L"21甲C:\\a|22乙C:\\b|23丙C:\\new|"},
    };
    for (const auto& step : steps) {
      SCOPED_TRACE(step.rows);
      if (step.trigger) ASSERT_TRUE(qvtest::Exec(link, step.trigger));
      Tick(ObjectsPage::kApp, 0);
      script.ExpectDialog([&](UiDialogDriver& d) {
        Editor& editor = *d.As<Editor>();
        ClickAppRow(editor, 0);  // the client's name looked up for the editor
        EXPECT_EQ(L"核心", d.ControlText(Editor::kAppClient));
        if (step.addItem) {
          ::SetWindowTextW(d.Control(Editor::kAppPath), L"C:\\new");
          EXPECT_TRUE(d.Click(Editor::kAppAdd));
        }
        EXPECT_TRUE(d.Click(step.cancel ? Editor::kItemCancel : Editor::kItemOK));
      });
      if (step.trigger && std::wstring(step.trigger).rfind(L"create", 0) == 0) script.ExpectBox(L"错误信息：");
      Show(ObjectsPage::kApp);
      Click(1530);
      std::wstring rows;
      auto read = link.CreateStatement(L"select AppNo, AppCreaterName, AppFilePath from AppStrategyTable "
                                        L"where AppStrategyName = '网站' order by AppNo");
      while (read->Fetch()) rows += std::to_wstring(read->GetInt(0)) + read->GetString(1) + read->GetString(2) + L"|";
      link.ReleaseStatement(read);
      EXPECT_EQ(step.rows, rows);
      EXPECT_EQ(L"网站", List(ObjectsPage::kApp).GetItemText(0, 1));
      EXPECT_EQ(0, ClientObjectNode::Live());
    }
    EXPECT_EQ(L"C:\\a C:\\b C:\\new", List(ObjectsPage::kApp).GetItemText(0, 2));
    qvtest::Exec(link, L"delete from AppStrategyTable");
    script.ExpectBox(L"该记录已被删除，列表将重新读取。");
    Click(1530);
    EXPECT_EQ(0, List(ObjectsPage::kApp).GetItemCount());
  });
  g_currentUserName.clear();
}

// Another console deletes the object this one shows: a modify whose editor was open
// writes nothing back (no new number, no "saved" row), a delete finds nothing; each says
// that the object no longer exists and reads the list again. The other object stays.
TEST_F(StrategyObjectsPage, AnObjectAnotherConsoleDeletedIsNotWrittenBackAndIsToldAsGone) {
  const struct {
    ObjectsPage::List list;
    UINT command;
    const wchar_t* table;
    bool editor;
  } cases[] = {
      {ObjectsPage::kIp, 1521, L"IpAddressTable", true},
      {ObjectsPage::kApp, 1530, L"AppStrategyTable", true},
      {ObjectsPage::kDevice, 1533, L"EquipStrategyTable", true},
      {ObjectsPage::kIp, 1522, L"IpAddressTable", false},
      {ObjectsPage::kApp, 1531, L"AppStrategyTable", false},
  };
  for (const auto& c : cases) {
    for (bool counted : {true, false}) {
      SCOPED_TRACE(testing::Message() << (c.command) << (counted ? " counted" : " uncounted"));
      SQLStatement::DriverStandIn uncounting;
      uncounting.countsWithheld = !counted;
      DatabaseTest::SetUp();
      ASSERT_TRUE(qvtest::Exec(link, L"insert into IpAddressTable (IpNo, IpStrategyName, IpStrategyContent) values "
                                     L"(1, '甲', '10.0.0.1'), (2, '乙', '10.0.0.2')"));
      ASSERT_TRUE(qvtest::Exec(link, L"insert into AppStrategyTable (AppNo, AppStrategyName, AppIpAddress, AppFilePath) "
                                     L"values (1, '甲', '10.0.0.1', 'C:\\a'), (2, '乙', '10.0.0.1', 'C:\\b')"));
      ASSERT_TRUE(qvtest::Exec(link, L"insert into EquipStrategyTable (EquipNo, EquipStrategyName, EquipQueryOrder) "
                                     L"values (1, '甲', 'q'), (2, '乙', 'q')"));
      const std::wstring table = c.table;
      const std::wstring column = table == L"IpAddressTable" ? L"IpStrategyName"
                                  : table == L"AppStrategyTable" ? L"AppStrategyName" : L"EquipStrategyName";
      const std::wstring drop = L"delete from " + table + L" where " + column + L" = '甲'";
      Run([&] {
        Tick(c.list, 0);
        ASSERT_EQ(L"甲", List(c.list).GetItemText(0, 1));
        if (c.editor) {
          script.ExpectDialog([&](UiDialogDriver& d) {
            ASSERT_TRUE(qvtest::Exec(link, drop.c_str()));
            EXPECT_TRUE(d.Click(Editor::kItemOK));
          });
        } else {
          ASSERT_TRUE(qvtest::Exec(link, drop.c_str()));
        }
        script.ExpectBox(L"该记录已被删除，列表将重新读取。");
        Click(c.command);
        EXPECT_EQ(0u, script.Remaining());
        EXPECT_EQ(1, qvtest::Int(link, (L"select count(*) from " + table).c_str()));
        EXPECT_EQ(0, qvtest::Int(link, (L"select count(*) from " + table + L" where " + column + L" = '甲'").c_str()));
        ASSERT_EQ(1, List(c.list).GetItemCount());
        EXPECT_EQ(L"乙", List(c.list).GetItemText(0, 1));
      });
    }
  }
}

// A name another object holds is refused in the editor, which stays open as typed. The
// object may be one another console stored since the list was read (that console also
// deleted one): the list is read again and shows it, and a modify then goes on with its
// own object, wherever the list now shows it, still ticked.
TEST_F(StrategyObjectsPage, ANameAnotherConsoleTookIsRefusedAndTheListReadAgain) {
  const struct {
    ObjectsPage::List list;
    UINT command, nameEdit;
    const wchar_t *table, *number, *column, *content;  // content: its columns' names and values
    bool modify;
  } cases[] = {
      {ObjectsPage::kIp, 1520, Editor::kIpName, L"IpAddressTable", L"IpNo", L"IpStrategyName",
       L"IpStrategyContent) values (?, ?, '10.0.0.1')", false},
      {ObjectsPage::kIp, 1521, Editor::kIpName, L"IpAddressTable", L"IpNo", L"IpStrategyName",
       L"IpStrategyContent) values (?, ?, '10.0.0.1')", true},
      {ObjectsPage::kApp, 1530, Editor::kAppName, L"AppStrategyTable", L"AppNo", L"AppStrategyName",
       L"AppIpAddress, AppFilePath) values (?, ?, '10.0.0.1', 'C:\\a')", true},
      {ObjectsPage::kDevice, 1532, Editor::kDevName, L"EquipStrategyTable", L"EquipNo", L"EquipStrategyName",
       L"EquipQueryOrder) values (?, ?, 'q')", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    DatabaseTest::SetUp();
    const std::wstring table = c.table, number = c.number, column = c.column;
    const std::wstring insert = L"insert into " + table + L" (" + number + L", " + column + L", " + c.content;
    ASSERT_TRUE(qvtest::Exec(link, insert.c_str(), {1, L"甲"}));
    ASSERT_TRUE(qvtest::Exec(link, insert.c_str(), {2, L"乙"}));
    Run([&] {
      if (c.modify) Tick(c.list, 1);
      Show(c.list);
      script.ExpectDialog([&](UiDialogDriver& d) {
        ASSERT_TRUE(qvtest::Exec(link, (L"delete from " + table + L" where " + column + L" = '甲'").c_str()));
        ASSERT_TRUE(qvtest::Exec(link, insert.c_str(), {3, L"丙"}));
        ::SetWindowTextW(d.Control(c.nameEdit), L"丙");
        script.ExpectBox(L"名称重复了！！！");
        EXPECT_TRUE(d.Click(Editor::kItemOK));
        EXPECT_EQ(0u, script.Remaining());
        EXPECT_TRUE(d.IsOpenAndShown());
        EXPECT_EQ(L"丙", d.ControlText(c.nameEdit));
        ASSERT_EQ(2, List(c.list).GetItemCount());
        EXPECT_EQ(L"乙 丙", List(c.list).GetItemText(0, 1) + L" " + List(c.list).GetItemText(1, 1));
        EXPECT_EQ(c.modify ? 1 : 0, List(c.list).GetItemCheck(0, 0));
        EXPECT_EQ(0, List(c.list).GetItemCheck(1, 0));
        ::SetWindowTextW(d.Control(c.nameEdit), L"丁");
        EXPECT_TRUE(d.Click(c.modify ? Editor::kItemOK : Editor::kItemCancel));
      });
      Click(c.command);
      EXPECT_EQ(0u, script.Remaining());
      ASSERT_EQ(2, List(c.list).GetItemCount());
      EXPECT_EQ(c.modify ? L"丁 丙" : L"乙 丙", List(c.list).GetItemText(0, 1) + L" " + List(c.list).GetItemText(1, 1));
      Tick(c.list, 1);  // one ticked at a time
      EXPECT_EQ(0, List(c.list).GetItemCheck(0, 0));
    });
    EXPECT_EQ(c.modify ? L"丁" : L"乙", qvtest::Str(qvtest::Row(link, (L"select " + column + L" from " + table +
                                                                      L" where " + number + L" <> 3").c_str())
                                                       ->GetString(0)));
  }
}

}  // namespace
