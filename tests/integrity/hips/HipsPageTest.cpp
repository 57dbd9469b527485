// The active-monitoring page in a real main window (its tab is hidden, its grid loaded):
// rows from a real database, the buttons, and deletions told to a loopback peer.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

#include "support/ConnectionWatch.h"
#include "support/IntegrityPageHost.h"
#include "uiwin/UiResUtil.h"

namespace {

class HipsPage : public IntegrityPageHost {
 protected:
  // The page lists its rows from the window's idle time: the body starts once every
  // filter it shows (the categories 0 to 3) is listed.
  void Run(const std::function<void()>& body, unsigned short port = 0) {
    IntegrityPageHost::Run(
        [&] {
          const int shown = qvtest::Int(link, L"select count(*) from Filter where TypeOfHipsRule between 0 and 3");
          testenv::PumpUntil([&] { return Hips().Grid().GetItemCount() >= shown; }, 60000);
          body();
        },
        port);
  }
  // The grid's check notification, as the grid sends it.
  void Notify(int code) {
    NMHDR nm{nullptr, CQvHipsUIHandler::kGrid, UINT(code)};
    Dispatch(WM_NOTIFY, CQvHipsUIHandler::kGrid, reinterpret_cast<LPARAM>(&nm));
  }
  // The checked rows as the page counts them (its buttons have no element while the
  // tab is hidden): count and the one row.
  std::wstring Buttons() { return std::to_wstring(Hips().CheckedCount()) + L"/" + std::to_wstring(Hips().CheckedRow()); }
  std::wstring Row(int row) {
    std::wstring text;
    for (int c = 1; c <= 4; ++c) text += Hips().Grid().GetItemText(row, c) + L"|";
    return text;
  }
  // Nothing went to an agent before a frame of the test's own.
  bool NothingSent() {
    g_agentLinkManager.SendOnChannel1(0, 9999, nullptr, 0);
    testenv::PeerFrame f;
    return peer.ReceiveFrame(&f, 5000) && f.messageId == 9999;
  }
  // The next 1541: the filter name, the head's length and the host it went to.
  std::wstring NextDeletion() { return NextDeletion(peer); }
  static std::wstring NextDeletion(testenv::LoopbackPeer& from) {
    testenv::PeerFrame f;
    if (!from.ReceiveFrame(&f, 5000)) return L"none";
    return std::to_wstring(f.messageId) + L" " + std::wstring(reinterpret_cast<const wchar_t*>(f.payload.data())) +
           L" " + std::to_wstring(f.payload.size()) + L" " + std::to_wstring(f.wParam);
  }
};

TEST_F(HipsPage, RowsShowCategoryAndTargetAndTheButtonsFollowTheChecks) {
  // An address held by two hosts shows the first one's name, or its address when that
  // name is empty.
  ASSERT_TRUE(qvtest::Exec(link, L"insert into Client (IP, Name) values ('10.0.0.1', '主机甲'), ('10.0.0.3', ''), "
                                 L"('10.0.0.4', '乙一'), ('10.0.0.4', '乙二'), ('10.0.0.5', ''), ('10.0.0.5', '丙')"));
  AddFilter(L"文件", 0, L"C:\\Windows\\*", L"10.0.0.1");
  AddFilter(L"注册表", 1, L"HKLM\\Run", L"10.0.0.2");
  AddFilter(L"其他", 2, L"", L"10.0.0.3");
  AddFilter(L"驱动", 3, L"", L"10.0.0.1");
  AddFilter(L"未知", 4, L"", L"10.0.0.1");
  AddFilter(L"乙", 2, L"", L"10.0.0.4");
  AddFilter(L"丙", 2, L"", L"10.0.0.5");
  Run([&] {
    const std::vector<std::wstring> rows = {L"文件|文件策略|C:\\Windows\\*|主机甲|", L"注册表|注册表策略|HKLM\\Run|10.0.0.2|",
                                            L"其他|其他策略||10.0.0.3|", L"驱动|驱动装载策略||主机甲|",
                                            L"乙|其他策略||乙一|", L"丙|其他策略||10.0.0.5|"};
    ASSERT_EQ(int(rows.size()), Hips().Grid().GetItemCount());
    for (int row = 0; row < int(rows.size()); ++row) EXPECT_EQ(rows[row], Row(row));
    EXPECT_EQ(L"0/-1", Buttons());
    struct Step {
      int row, check, code;
      const wchar_t* buttons;
    } steps[] = {{0, 1, -1502, L"1/0"}, {2, 1, -1506, L"2/-1"}, {0, 0, -1501, L"1/2"}, {2, 0, -1502, L"0/-1"}};
    for (const Step& s : steps) {
      SCOPED_TRACE(s.code);
      Hips().Grid().SetItemCheck(s.row, 0, s.check);
      Notify(s.code);
      EXPECT_EQ(s.buttons, Buttons());
    }
  });
}

// 20,000 filters of as many hosts: the rows go into the grid from the window's idle time
// and end whole, in the table's order, each with its host's name.
TEST_F(HipsPage, ManyFiltersEndListedWholeAndInOrder) {
  const int kFilters = 20000;
  const std::wstring rows = L"with recursive n(i) as (select 1 union all select i + 1 from n where i < ?) ";
  ASSERT_TRUE(qvtest::Exec(link, (L"insert into Client (IP, Name) " + rows +
                                          L"select '10.5.' || (i / 250) || '.' || (i % 250), '主机' || i from n").c_str(),
                                   {kFilters}));
  ASSERT_TRUE(qvtest::Exec(link, (L"insert into Filter (ClientIP, FilterName, RegExp, TypeOfHipsRule) " + rows +
                                          L"select '10.5.' || (i / 250) || '.' || (i % 250), '过滤器' || i, '', i % 4 "
                                          L"from n").c_str(),
                                   {kFilters}));
  Run([&] {
    testenv::PumpUntil([&] { return Hips().Grid().GetItemCount() == kFilters || !Hips().Filling(); }, 60000);
    ASSERT_EQ(kFilters, Hips().Grid().GetItemCount());
    const wchar_t* const categories[] = {L"文件策略", L"注册表策略", L"其他策略", L"驱动装载策略"};
    int inOrder = 0;  // rows as expected
    for (int i = 1; i <= kFilters; ++i) {
      const std::wstring n = std::to_wstring(i);
      inOrder += Row(i - 1) == L"过滤器" + n + L"|" + categories[i % 4] + L"||主机" + n + L"|";
    }
    EXPECT_EQ(kFilters, inOrder);
  });
}

TEST_F(HipsPage, DeletingTellsEachHostTopDownAfterItsRowsAreGoneAndAFailureStopsTheWalk) {
  const int a = AddFilter(L"一", 0, std::wstring(300, L'目').c_str(), L"127.0.0.1");
  AddFilter(L"二", 3, L"", L"127.0.0.2");
  const int d = AddFilter(L"四", 2, L"", L"127.0.0.4");
  const int e = AddFilter(L"五", 2, L"", L"127.0.0.5");
  ASSERT_TRUE(qvtest::Exec(link, L"insert into Rules (FilterID, OperatorType) values (?, 1), (?, 1), (?, 10)",
                           {a, a, e}));
  ASSERT_TRUE(qvtest::Exec(link, (L"create trigger keep before delete on Filter when old.id = " + std::to_wstring(d) +
                                  L" begin select raise(abort, 'kept'); end").c_str()));
  Run([&] {
    ASSERT_TRUE(peer.Accept(5000) && LinkConnected());
    for (int row = 0; row < 4; ++row) Hips().Grid().SetItemCheck(row, 0, 1);
    Notify(-1502);
    script.ExpectBox(L"您确认删除这些策略么？", IDNO).ExpectBox(L"您确认删除这些策略么？", IDYES).ExpectBox(L"kept");
    Command(CQvHipsUIHandler::kItemDelete);
    EXPECT_EQ(4, Hips().Grid().GetItemCount());
    Command(CQvHipsUIHandler::kItemDelete);
    EXPECT_EQ(L"删除错误", script.Boxes().back().caption);
    EXPECT_EQ(L"1541 一 682 16777343", NextDeletion());
    EXPECT_EQ(L"1541 二 600 33554559", NextDeletion());
    EXPECT_EQ(2, Hips().Grid().GetItemCount());  // 四 failed, 五 untouched
    EXPECT_EQ(L"四|其他策略||127.0.0.4|", Row(0));
    EXPECT_EQ(2, qvtest::Int(link, L"select count(*) from Filter"));
    EXPECT_EQ(1, qvtest::Int(link, L"select count(*) from Rules"));
    EXPECT_EQ(L"2/-1", Buttons());  // recounted: two still checked
  });
}

// Another console deletes a filter this page shows: deleting or modifying it sends
// nothing to its host, says that it no longer exists and reads the list again; the other
// checked filter is deleted and told as always.
TEST_F(HipsPage, AFilterAnotherConsoleDeletedIsToldAsGoneAndNothingIsSentForIt) {
  for (UINT command : {CQvHipsUIHandler::kItemDelete, CQvHipsUIHandler::kItemModify}) {
    SCOPED_TRACE(command);
    DatabaseTest::SetUp();
    const int gone = AddFilter(L"一", 2, L"", L"127.0.0.1");
    AddFilter(L"二", 2, L"", L"127.0.0.2");
    Run([&] {
      ASSERT_TRUE(peer.Accept(5000) && LinkConnected());
      for (int row = 0; row < (command == CQvHipsUIHandler::kItemDelete ? 2 : 1); ++row)
        Hips().Grid().SetItemCheck(row, 0, 1);
      Notify(-1502);
      ASSERT_TRUE(qvtest::Exec(link, L"delete from Filter where id = ?", {gone}));
      if (command == CQvHipsUIHandler::kItemDelete) script.ExpectBox(L"您确认删除这些策略么？", IDYES);
      script.ExpectBox(L"该记录已被删除，列表将重新读取。");
      Command(command);
      EXPECT_EQ(0u, script.Remaining());
      if (command == CQvHipsUIHandler::kItemDelete) EXPECT_EQ(L"1541 二 600 33554559", NextDeletion());
      EXPECT_TRUE(NothingSent());
      const int left = command == CQvHipsUIHandler::kItemDelete ? 0 : 1;
      EXPECT_EQ(left, Hips().Grid().GetItemCount());
      EXPECT_EQ(left, qvtest::Int(link, L"select count(*) from Filter"));
      EXPECT_EQ(L"0/-1", Buttons());
    });
  }
}

// A filter whose host could not hear of its deletion stays: its row cannot be read (here
// the table raises while the filter still has its rules, so that the read fails where the
// delete would not), and the user is told why; or its host has an address the service
// cannot take (the host may still enforce what it was once sent), and the user is asked.
TEST_F(HipsPage, ADeletionNoHostWouldHearOfIsRefusedOrLeftToTheUser) {
  static const wchar_t kUntold[] = L"客户端IP地址无效，无法通知该主机，是否继续？";
  const int unread = AddFilter(L"读不出", 0, L"C:\\a\\*", L"127.0.0.1");
  ASSERT_TRUE(qvtest::Exec(link, L"insert into Rules (FilterID, OperatorType) values (?, 1)", {unread}));
  const struct {
    const wchar_t* name;  // and the address of the filters added here
    const wchar_t* box;  // its start
    const wchar_t* caption;
  } cases[] = {{L"读不出", L"读取主动监测策略失败：[SQLite]integer overflow", L"删除错误"},
               {L"", kUntold, L"注意"},
               {L"主机甲", kUntold, L"注意"},
               {L"127.1", kUntold, L"注意"},
               {L"255.255.255.255", kUntold, L"注意"}};
  for (size_t i = 1; i < sizeof cases / sizeof cases[0]; ++i) AddFilter(cases[i].name, 2, L"", cases[i].name);
  Run([&] {
    ASSERT_TRUE(peer.Accept(5000) && LinkConnected());
    const int rows = Hips().Grid().GetItemCount();
    ASSERT_EQ(5, rows);
    std::wstring error;
    ASSERT_TRUE(qvtest::FailRowsWhen(link, L"Filter", L"RegExp", L"id in (select FilterID from Rules)", &error))
        << testing::PrintToString(error);
    ASSERT_TRUE(qvtest::Exec(link, L"create trigger gone instead of delete on Filter "
                                   L"begin delete from FilterRows where id = old.id; end"));
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
      for (int row = 0; row < rows; ++row)
        Hips().Grid().SetItemCheck(row, 0, Hips().Grid().GetItemText(row, 1) == c.name);
      Notify(-1502);
      ASSERT_EQ(1, Hips().CheckedCount());
      script.ExpectBox(L"您确认删除这些策略么？", IDYES).ExpectBox(c.box, c.box == kUntold ? IDNO : UiModalScript::kFirstButton);
      Command(CQvHipsUIHandler::kItemDelete);
      EXPECT_EQ(0u, script.Remaining());
      EXPECT_EQ(c.caption, script.Boxes().back().caption);
      EXPECT_EQ(rows, Hips().Grid().GetItemCount());
      EXPECT_EQ(rows, qvtest::Int(link, L"select count(*) from FilterRows"));
      EXPECT_EQ(1, qvtest::Int(link, L"select count(*) from Rules"));
    }
    // Nor is a filter that cannot be read taken for one that is gone when it is modified.
    for (int row = 0; row < rows; ++row) Hips().Grid().SetItemCheck(row, 0, row == 0);  // 读不出
    Notify(-1502);
    script.ExpectBox(L"读取主动监测策略失败：[SQLite]integer overflow");
    Command(CQvHipsUIHandler::kItemModify);
    EXPECT_EQ(0u, script.Remaining());
    EXPECT_TRUE(NothingSent());

    // Chosen: the filters of hosts the service cannot address go, and nobody is told. The
    // table as it was first: a delete through the view's trigger changes no row of the
    // view, which is what a filter another console deleted looks like.
    ASSERT_TRUE(qvtest::Exec(link, L"drop view Filter"));
    ASSERT_TRUE(qvtest::Exec(link, L"alter table FilterRows rename to Filter"));
    for (int row = 0; row < rows; ++row) Hips().Grid().SetItemCheck(row, 0, row > 0);
    Notify(-1502);
    script.ExpectBox(L"您确认删除这些策略么？", IDYES);
    for (int i = 1; i < rows; ++i) script.ExpectBox(kUntold, IDYES);
    Command(CQvHipsUIHandler::kItemDelete);
    EXPECT_EQ(0u, script.Remaining());
    EXPECT_EQ(1, Hips().Grid().GetItemCount());
    EXPECT_EQ(1, qvtest::Int(link, L"select count(*) from Filter"));
    EXPECT_TRUE(NothingSent());
  });
}

// The host must hear of a deletion for the filter to go: with the link down nothing is
// deleted, the user is told once, and the same deletion goes through once it is back.
TEST_F(HipsPage, WithTheLinkDownADeletionKeepsEveryRowAndTellsTheUser) {
  const int a = AddFilter(L"一", 0, L"C:\\a\\*", L"127.0.0.1");
  AddFilter(L"二", 2, L"", L"127.0.0.2");
  ASSERT_TRUE(qvtest::Exec(link, L"insert into Rules (FilterID, OperatorType) values (?, 1), (?, 2)", {a, a}));
  auto tables = [&] {
    return std::to_wstring(qvtest::Int(link, L"select count(*) from Filter")) + L"/" +
           std::to_wstring(qvtest::Int(link, L"select count(*) from Rules"));
  };
  testenv::LoopbackPeer service(0, false);
  Run([&] {
    ASSERT_TRUE(testenv::PumpUntil([] { return !g_agentLinkManager.Link()->IsConnecting(); }, 5000));
    for (int row = 0; row < 2; ++row) Hips().Grid().SetItemCheck(row, 0, 1);
    Notify(-1502);
    script.ExpectBox(L"您确认删除这些策略么？", IDYES).ExpectBox(L"与监测服务的连接已断开，命令未发送！");
    Command(CQvHipsUIHandler::kItemDelete);
    EXPECT_EQ(0u, script.Remaining());
    EXPECT_EQ(L"错误", script.Boxes().back().caption);
    EXPECT_EQ(L"2/2", tables());
    EXPECT_EQ(2, Hips().Grid().GetItemCount());
    EXPECT_EQ(L"2/-1", Buttons());

    ASSERT_TRUE(service.Listen() && service.Accept(20000) && LinkConnected());
    script.ExpectBox(L"您确认删除这些策略么？", IDYES);
    Command(CQvHipsUIHandler::kItemDelete);
    EXPECT_EQ(L"1541 一 600 16777343", NextDeletion(service));
    EXPECT_EQ(L"1541 二 600 33554559", NextDeletion(service));
    EXPECT_EQ(L"0/0", tables());
    EXPECT_EQ(0, Hips().Grid().GetItemCount());
  }, service.Port());
}

// The page as a user reaches it where its tab is given back (as hipsview does): the
// area's button, the tab head, the boxes of the rows and "删除策略", all clicked where they
// are painted. With the link down nothing goes; once it is back the filters do.
TEST_F(HipsPage, DeleteClickedOnThePageIsRefusedWithTheLinkDownAndDoneOnceItIsBack) {
  std::string layout;
  ASSERT_TRUE(UiResUtil::LoadUiResource(507, layout, L"xml"));
  const size_t begin = layout.find("<!-- <tab title=\"\xE4\xB8\xBB");  // 主动监测
  ASSERT_NE(std::string::npos, begin);
  layout.erase(layout.find("-->", begin), 3);
  layout.erase(begin, 4);
  testenv::TempDir dir;
  {
    HANDLE f = ::CreateFileW(dir.File(L"507.xml").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, f);
    DWORD written = 0;
    ::WriteFile(f, layout.data(), DWORD(layout.size()), &written, nullptr);
    ::CloseHandle(f);
  }
  const std::wstring resources = UiResUtil::GetResourceDirectory();
  UiResUtil::SetResourceDirectory(dir.Path().c_str());
  AddFilter(L"一", 0, L"C:\\a\\*", L"127.0.0.1");
  AddFilter(L"二", 2, L"", L"127.0.0.2");
  auto filters = [&] { return qvtest::Int(link, L"select count(*) from Filter"); };
  testenv::LoopbackPeer service(0, false);
  Run([&] {
    ASSERT_TRUE(testenv::PumpUntil([] { return !g_agentLinkManager.Link()->IsConnecting(); }, 5000));
    ShowPage(3);  // the given-back tab stands before the copies
    for (int row = 0; row < 2; ++row) EXPECT_TRUE(qvtest::ClickGridCell(Hips().Grid(), row, 0));
    EXPECT_EQ(L"2/-1", Buttons());
    script.ExpectBox(L"您确认删除这些策略么？", IDYES).ExpectBox(L"与监测服务的连接已断开，命令未发送！");
    Click(CQvHipsUIHandler::kItemDelete);
    EXPECT_EQ(0u, script.Remaining());
    EXPECT_EQ(2, filters());
    EXPECT_EQ(2, Hips().Grid().GetItemCount());

    ASSERT_TRUE(service.Listen() && service.Accept(20000) && LinkConnected());
    script.ExpectBox(L"您确认删除这些策略么？", IDYES);
    Click(CQvHipsUIHandler::kItemDelete);
    EXPECT_EQ(L"1541 一 600 16777343", NextDeletion(service));
    EXPECT_EQ(L"1541 二 600 33554559", NextDeletion(service));
    EXPECT_EQ(0, filters());
    EXPECT_EQ(0, Hips().Grid().GetItemCount());
  }, service.Port());
  UiResUtil::SetResourceDirectory(resources.c_str());
}

// Every question and message of the page comes with its database connection closed: one
// held while the user reads would hold the database for as long as the box stands.
TEST_F(HipsPage, NoBoxComesUpWhileThePageHoldsADatabaseConnection) {
  static const wchar_t kConfirm[] = L"您确认删除这些策略么？";
  static const wchar_t kGone[] = L"该记录已被删除，列表将重新读取。";
  AddFilter(L"留", 2, L"", L"127.0.0.1");
  AddFilter(L"无址", 2, L"", L"");
  const int deleted = AddFilter(L"删", 2, L"", L"127.0.0.2");
  const int modified = AddFilter(L"改", 2, L"", L"127.0.0.3");
  Run([&] {
    ASSERT_TRUE(peer.Accept(5000) && LinkConnected());
    qvtest::ConnectionWatch watch(script);
    auto only = [&](const wchar_t* name) {
      for (int row = 0; row < Hips().Grid().GetItemCount(); ++row)
        Hips().Grid().SetItemCheck(row, 0, Hips().Grid().GetItemText(row, 1) == name);
      Notify(-1502);
      ASSERT_EQ(1, Hips().CheckedCount());
    };
    const struct {
      const char* what;
      std::function<void()> act;
    } rows[] = {
        {"delete, not confirmed",
         [&] {
           only(L"留");
           script.ExpectBox(kConfirm, IDNO);
           Command(CQvHipsUIHandler::kItemDelete);
         }},
        {"delete of a filter no host would hear of",
         [&] {
           only(L"无址");
           script.ExpectBox(kConfirm, IDYES).ExpectBox(L"客户端IP地址无效，无法通知该主机", IDNO);
           Command(CQvHipsUIHandler::kItemDelete);
         }},
        {"delete that fails",
         [&] {
           only(L"留");
           ASSERT_TRUE(qvtest::Exec(link, L"create trigger keep before delete on Filter "
                                          L"begin select raise(abort, 'kept'); end"));
           script.ExpectBox(kConfirm, IDYES).ExpectBox(L"kept");
           Command(CQvHipsUIHandler::kItemDelete);
           ASSERT_TRUE(qvtest::Exec(link, L"drop trigger keep"));
         }},
        {"delete of a filter another console deleted",
         [&] {
           only(L"删");
           ASSERT_TRUE(qvtest::Exec(link, L"delete from Filter where id = ?", {deleted}));
           script.ExpectBox(kConfirm, IDYES).ExpectBox(kGone);
           Command(CQvHipsUIHandler::kItemDelete);
         }},
        {"modify of a filter another console deleted",
         [&] {
           only(L"改");
           ASSERT_TRUE(qvtest::Exec(link, L"delete from Filter where id = ?", {modified}));
           script.ExpectBox(kGone);
           Command(CQvHipsUIHandler::kItemModify);
         }},
    };
    watch.RunRows(rows);
  });
}

}  // namespace
