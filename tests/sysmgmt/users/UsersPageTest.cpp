// The system-management host and its user page against a real database: which pages a
// user gets, adding, modifying, deleting accounts, the password dialog and what a
// custom user may do.
#include <gtest/gtest.h>

#include <memory>

#include "console/CurrentUser.h"
#include "console/SQLStatement.h"
#include "support/ConnectionWatch.h"
#include "support/GridClicks.h"
#include "support/RefusedAllocations.h"
#include "support/SysMgmtPageHost.h"
#include "sysmgmt/CSMUMPasswordDlg.h"
#include "sysmgmt/CSystemManagementUIHandler.h"
#include "uiwin/CUiTabCtrl.h"

namespace {

using Page = CSMUserManagementUIHandler;
const wchar_t kRefusal[] = L"对不起，您没有权限访问此页";

class UsersPage : public qvtest::SysMgmtPageTest {
 protected:
  // Every box and dialog of the page, from the window's start on, comes with no
  // connection open but those open before it (the test's own).
  void Run(const std::function<void(UiDialogDriver&, CMainDlg&)>& act) {
    qvtest::ConnectionWatch watch(script);
    SysMgmtPageTest::Run(act);
  }
  static Page& Users(CMainDlg& main) { return *main.SystemManagement()->UserPage(); }
  // Checks the rows whose names are given and clicks the grid, as a user would.
  // The boxes are clicked where they are painted; with nothing to change, a name is.
  static void Select(CMainDlg& main, std::initializer_list<const wchar_t*> names) {
    main.SetTabCurSel(CSystemManagementUIHandler::kTabCtrl, 1);
    auto& grid = Users(main).Grid();
    bool clicked = false;
    for (int row = 0; row < grid.GetItemCount(); ++row) {
      bool on = false;
      for (const wchar_t* name : names) on = on || grid.GetItemText(row, Page::kColumnName) == name;
      if ((grid.GetItemCheck(row, Page::kColumnCheck) > 0) == on) continue;
      clicked = qvtest::ClickGridCell(grid, row, Page::kColumnCheck);
      EXPECT_EQ(on, grid.GetItemCheck(row, Page::kColumnCheck) > 0) << row;
    }
    if (!clicked && grid.GetItemCount() > 0) qvtest::ClickGridCell(grid, 0, Page::kColumnName);
  }
  // The type chosen with the keyboard in the combo box; none (-1) only as it starts.
  static void ChooseType(CMainDlg& main, int type) {
    HWND combo = ::GetDlgItem(main.GetViewHWnd(), Page::kType);
    if (type < 0) {
      ::SendMessageW(combo, CB_SETCURSEL, WPARAM(-1), 0);
      return;
    }
    const int before = int(::SendMessageW(combo, CB_GETCURSEL, 0, 0));
    ::SetFocus(combo);
    ::SendMessageW(combo, WM_KEYDOWN, VK_HOME, 0);
    for (int i = 0; i < type; ++i) ::SendMessageW(combo, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(type, int(::SendMessageW(combo, CB_GETCURSEL, 0, 0)));
    if (before == type) return;
    for (UINT item : {199u, 201u, 202u})  // an administrator has every right the page shows
      EXPECT_EQ(type == 1, main.GetItemCheck(item) != FALSE) << item;
  }
  std::wstring Text(const wchar_t* sql, int id) {
    const std::wstring text = qvtest::Str(qvtest::Row(link, sql, {id})->GetString(0));
    return text == L"(null)" ? L"" : text;
  }
  std::wstring GridRow(CMainDlg& main, const wchar_t* name) {
    auto& grid = Users(main).Grid();
    for (int row = 0; row < grid.GetItemCount(); ++row) {
      if (grid.GetItemText(row, Page::kColumnName) != name) continue;
      unsigned long id = 0;
      grid.GetItemData(row, id);
      return std::to_wstring(id) + L"|" + grid.GetItemText(row, Page::kColumnType) + L"|" +
             grid.GetItemText(row, Page::kColumnRights);
    }
    return L"";
  }
};

TEST_F(UsersPage, HostGivesACustomUserOnlyTheUserPage) {
  for (int type : {1, 0}) {
    SCOPED_TRACE(type);
    LogInAs(L"x", 9, type, kAllAreas);
    Run([&](UiDialogDriver& d, CMainDlg& main) {
      CSystemManagementUIHandler& host = *main.SystemManagement();
      EXPECT_EQ(type == 1, host.ClientPage() && host.ServerConfigPage());
      auto* tab = static_cast<CUiTabCtrl*>(d.View().FindChildByCmdID(129));
      EXPECT_EQ(type == 1 ? 0 : 1, tab->GetCurSel());
      for (UINT page : {0u, 1u, 2u}) {
        if (type == 0 && page != 1) script.ExpectBox(kRefusal, IDOK);
        UINMTABSELCHANGE nm{{nullptr, IDC_UIVIEW, UINM_TAB_SELCHANGE}, 129, page, 1, FALSE};
        ::SendMessageW(d.Frame(), WM_NOTIFY, IDC_UIVIEW, reinterpret_cast<LPARAM>(&nm));
        EXPECT_EQ(type == 0 && page != 1, nm.bCancel != FALSE) << page;
      }
      if (type == 0) script.ExpectBox(kRefusal, IDOK);  // a custom user's is vetoed
      EXPECT_EQ(type == 1, host.ShowUpdatePage() != FALSE);
      EXPECT_EQ(type == 1 ? 3 : 1, tab->GetCurSel());
    });
  }
}

TEST_F(UsersPage, AddInsertsWithTheIdTheDatabaseGave) {
  const int gone = AddUser(L"zed", 0, 1);
  qvtest::Exec(link, L"delete from Users where id=?", {gone});  // max(id)+1 would reuse it
  const struct {
    const wchar_t *name, *comment; int type; std::vector<UINT> rights;
    const wchar_t* box; int answer; const wchar_t* row;  // row: type and rights texts, "" when none
  } rows[] = {
      {L"alice", L"它's \"x\"", 0, {199, 201}, L"添加用户成功！", IDOK, L"自定义用户|完整性监测；日志中心"},
      {L"bob", L"", 0, {}, L"没有任何权限", IDNO, L""},
      {L"carol", L"", 1, {}, L"添加用户成功！", IDOK, L"管理员用户|完全控制"},
      {L"TAMUK", L"", 1, {}, L"该用户名已被使用", IDOK, L""},
      {L"", L"", 1, {}, L"请输入用户名", IDOK, L""},
      {L"dave", L"", -1, {}, L"请选择用户类型", IDOK, L""},
  };
  Run([&](UiDialogDriver& d, CMainDlg& main) {
    EXPECT_TRUE(d.ClickTab(CSystemManagementUIHandler::kTabCtrl, 1));
    for (const auto& row : rows) {
      SCOPED_TRACE(row.name);
      ::SetWindowTextW(d.Control(Page::kName), row.name);
      ::SetWindowTextW(d.Control(Page::kComment), row.comment);
      ChooseType(main, row.type);
      for (UINT item : row.rights) EXPECT_TRUE(d.Click(item));
      script.ExpectBox(row.box, row.answer);
      EXPECT_TRUE(d.Click(Page::kAdd));
      const int id = qvtest::Int(link, L"select coalesce(max(id),-1) from Users where name=?", {row.name});
      EXPECT_EQ(*row.row ? std::to_wstring(id) + L"|" + row.row : L"", GridRow(main, row.name));
      EXPECT_TRUE(!*row.row || id > gone);
    }
  });
  EXPECT_EQ(5, qvtest::Int(link, L"select permission from Users where comment=?", {L"它's \"x\""}));
  EXPECT_EQ(31, qvtest::Int(link, L"select permission from Users where name='carol'"));
}

TEST_F(UsersPage, SelectionDecidesTheEditorAndTheButtons) {
  AddUser(L"alice", 0, 5);
  AddUser(L"bob", 1, 31);
  const struct {
    std::initializer_list<const wchar_t*> rows; bool save, remove, writable; const wchar_t* name;
  } cases[] = {
      {{}, false, false, true, L""},
      {{L"alice"}, true, true, true, L"alice"},
      {{L"tamuk"}, false, false, false, L"tamuk"},  // built in, and the one logged in
      {{L"alice", L"bob"}, false, true, true, L""},
      {{L"tamuk", L"bob"}, false, true, true, L""},
  };
  Run([&](UiDialogDriver& d, CMainDlg& main) {
    for (const auto& c : cases) {
      SCOPED_TRACE(c.name);
      Select(main, c.rows);
      EXPECT_EQ(c.save, main.IsItemEnabled(Page::kSave) != FALSE);
      EXPECT_EQ(c.remove, main.IsItemEnabled(Page::kDelete) != FALSE);
      EXPECT_EQ(c.writable, !(::GetWindowLongW(d.Control(Page::kName), GWL_STYLE) & ES_READONLY));
      EXPECT_EQ(c.name, d.ControlText(Page::kName));
    }
  });
}

TEST_F(UsersPage, ModifyRefusesTakenAndBuiltInNamesAndKeepsUncheckableRights) {
  const int alice = AddUser(L"alice", 0, 1 | 2 | 16);
  AddUser(L"bob", 0, 0);
  const struct {
    const wchar_t* name; int type; const wchar_t* box; const wchar_t* stored;  // stored: name|permission
  } rows[] = {
      {L"Tamuk", 0, L"该用户信息不能修改", L"alice|19"},
      {L"BOB", 0, L"该用户名已被使用\n请重新输入用户名", L"alice|19"},
      {L"alice2", 0, L"修改成功", L"alice2|19"},
      {L"alice2", 1, L"修改成功", L"alice2|31"},
  };
  Run([&](UiDialogDriver& d, CMainDlg& main) {
    EXPECT_TRUE(d.ClickTab(CSystemManagementUIHandler::kTabCtrl, 1));
    for (const auto& row : rows) {
      SCOPED_TRACE(row.box);
      const std::wstring current = Text(L"select name from Users where id=?", alice);
      Select(main, {current.c_str()});
      ::SetWindowTextW(d.Control(Page::kName), row.name);
      if (row.type == 1) ChooseType(main, 1);  // choosing the custom type clears the rights
      script.ExpectBox(row.box, IDOK);
      EXPECT_TRUE(d.Click(Page::kSave));
      auto* r = qvtest::Row(link, L"select name,permission from Users where id=?", {alice});
      EXPECT_EQ(row.stored, qvtest::Str(r->GetString(0)) + L"|" + std::to_wstring(r->GetInt(1)));
    }
    EXPECT_EQ(std::to_wstring(alice) + L"|管理员用户|完全控制", GridRow(main, L"alice2"));
  });
}

TEST_F(UsersPage, DeleteAsksOnceAndKeepsTheBuiltInAndTheLoggedInAccounts) {
  const int root = AddUser(L"root", 1, 31);
  LogInAs(L"root", root, 1, kAllAreas);
  AddUser(L"alice", 0, 0);
  AddUser(L"bob", 1, 31);
  for (int answer : {IDNO, IDYES}) {
    SCOPED_TRACE(answer);
    Run([&](UiDialogDriver& d, CMainDlg& main) {
      EXPECT_TRUE(d.ClickTab(CSystemManagementUIHandler::kTabCtrl, 1));
      Select(main, {L"tamuk", L"root", L"alice", L"bob"});
      script.ExpectBox(L"确定删除选中的用户吗？", answer);
      if (answer == IDYES) script.ExpectBox(L"不能删除", IDOK);
      EXPECT_TRUE(d.Click(Page::kDelete));
      EXPECT_EQ(answer == IDYES ? 2 : 4, Users(main).Grid().GetItemCount());
    });
    EXPECT_EQ(answer == IDYES ? 2 : 4, qvtest::Int(link, L"select count(*) from Users"));
  }
  EXPECT_EQ(1, qvtest::Int(link, L"select count(*) from Users where name='tamuk'"));
}

TEST_F(UsersPage, PasswordDialogRefusesEmptyAndMismatchedEntries) {
  const int alice = AddUser(L"alice", 0, 0);
  const std::wstring twenty = L"Abcdefghij0123456789";
  const struct {
    std::wstring first, second; const wchar_t* box; std::wstring stored;
  } rows[] = {
      {L"", L"", L"请输入密码", L""},
      {L"Abc", L"Abd", L"两次输入的密码不一致", L""},
      {twenty, twenty, L"修改密码成功", twenty},
  };
  Run([&](UiDialogDriver&, CMainDlg& main) {
    for (const auto& row : rows) {
      SCOPED_TRACE(row.box);
      script.ExpectDialog([&](UiDialogDriver& p) {
        EXPECT_EQ(L"", p.ControlText(CSMUMPasswordDlg::kItemPassword));  // a new account's
        for (auto f : {std::make_pair(103u, &row.first), std::make_pair(104u, &row.second)})
          EXPECT_TRUE(p.Type(f.first, *f.second));
        script.ExpectBox(row.box, IDOK);
        EXPECT_TRUE(p.Click(CSMUMPasswordDlg::kItemOk));
        EXPECT_EQ(row.stored.empty(), p.IsOpenAndShown());  // refused: still open
      });
      main.SetTabCurSel(CSystemManagementUIHandler::kTabCtrl, 1);
      EXPECT_TRUE(qvtest::ClickGridCell(Users(main).Grid(), 1, Page::kColumnPassword));  // alice's "设置"

      EXPECT_EQ(row.stored, Text(L"select password from Users where id=?", alice));
    }
  });
}

// Another console deletes the account this one shows: ticking it, its password link,
// a password or a save given for it, and its deletion each say that it no longer exists
// (not "修改成功", not an empty "错误信息："), and the list is read again without it.
TEST_F(UsersPage, AnAccountAnotherConsoleDeletedIsToldAsGoneNeverAsSaved) {
  enum Step { kTick, kSave, kPasswordLink, kPasswordGiven, kDelete };
  for (Step step : {kTick, kSave, kPasswordLink, kPasswordGiven, kDelete}) {
    for (bool counted : {true, false}) {
      SCOPED_TRACE(testing::Message() << (step) << (counted ? " counted" : " uncounted"));
      SQLStatement::DriverStandIn uncounting;
      uncounting.countsWithheld = !counted;
      DatabaseTest::SetUp();
      const int alice = AddUser(L"alice", 0, 1);
      AddUser(L"bob", 0, 1);
      auto drop = [&] { ASSERT_TRUE(qvtest::Exec(link, L"delete from Users where id=?", {alice})); };
      Run([&](UiDialogDriver& d, CMainDlg& main) {
        EXPECT_TRUE(d.ClickTab(CSystemManagementUIHandler::kTabCtrl, 1));
        if (step == kTick) {
          drop();
          script.ExpectBox(L"该记录已被删除，列表将重新读取。");
          EXPECT_TRUE(qvtest::ClickGridCell(Users(main).Grid(), 1, Page::kColumnCheck));  // alice's box
        } else {
          Select(main, {L"alice"});
        }
        if (step == kSave || step == kDelete) {
          drop();
          ::SetWindowTextW(d.Control(Page::kName), L"alice2");
          if (step == kDelete) script.ExpectBox(L"确定删除选中的用户吗？", IDYES);
          script.ExpectBox(L"该记录已被删除，列表将重新读取。");
          EXPECT_TRUE(d.Click(step == kSave ? Page::kSave : Page::kDelete));
        }
        if (step == kPasswordLink || step == kPasswordGiven) {
          if (step == kPasswordLink) drop();
          if (step == kPasswordGiven) {
            script.ExpectDialog([&](UiDialogDriver& p) {
              for (UINT edit : {103u, 104u}) EXPECT_TRUE(p.Type(edit, L"Secret1"));
              drop();
              EXPECT_TRUE(p.Click(CSMUMPasswordDlg::kItemOk));
            });
          }
          script.ExpectBox(L"该记录已被删除，列表将重新读取。");
          EXPECT_TRUE(qvtest::ClickGridCell(Users(main).Grid(), 1, Page::kColumnPassword));  // alice's "设置"
        }
        EXPECT_EQ(0u, script.Remaining());
        EXPECT_EQ(L"", GridRow(main, L"alice"));
        EXPECT_NE(L"", GridRow(main, L"bob"));
        EXPECT_EQ(L"", d.ControlText(Page::kName));
      });
      EXPECT_EQ(0, qvtest::Int(link, L"select count(*) from Users where name like 'alice%'"));
    }
  }
}

// Another console adds an account under the name being added, or given in a save: the
// refusal comes, the list is read again and shows that account, the editor keeps what
// the user entered and the account being modified stays checked, so a save under a free
// name then goes to it.
TEST_F(UsersPage, ANameAnotherConsoleTookIsRefusedAndTheListReadAgainWithTheEntriesKept) {
  const struct {
    const char* step;
    UINT command;
    const wchar_t* box;
  } steps[] = {
      {"add", Page::kAdd, L"该用户名已被使用\n请重新输入新的用户名"},
      {"save", Page::kSave, L"该用户名已被使用\n请重新输入用户名"},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.step);
    DatabaseTest::SetUp();
    const int alice = AddUser(L"alice", 0, 1);
    Run([&](UiDialogDriver& d, CMainDlg& main) {
      EXPECT_TRUE(d.ClickTab(CSystemManagementUIHandler::kTabCtrl, 1));
      if (step.command == Page::kSave) Select(main, {L"alice"});
      ::SetWindowTextW(d.Control(Page::kName), L"carol");
      ::SetWindowTextW(d.Control(Page::kComment), L"说明");
      if (step.command == Page::kAdd) {
        ChooseType(main, 0);
        EXPECT_TRUE(d.Click(199));
      }
      const int carol = AddUser(L"carol", 1, 31);
      script.ExpectBox(step.box, IDOK);
      EXPECT_TRUE(d.Click(step.command));
      EXPECT_EQ(0u, script.Remaining());
      EXPECT_EQ(std::to_wstring(carol) + L"|管理员用户|完全控制", GridRow(main, L"carol"));
      EXPECT_EQ(L"carol", d.ControlText(Page::kName));
      EXPECT_EQ(L"说明", d.ControlText(Page::kComment));
      EXPECT_EQ(0, ::SendMessageW(d.Control(Page::kType), CB_GETCURSEL, 0, 0));
      EXPECT_TRUE(main.GetItemCheck(199));
      if (step.command != Page::kSave) return;
      ::SetWindowTextW(d.Control(Page::kName), L"alice2");
      script.ExpectBox(L"修改成功", IDOK);
      EXPECT_TRUE(d.Click(Page::kSave));
      EXPECT_EQ(L"alice2", Text(L"select name from Users where id=?", alice));
    });
    EXPECT_EQ(1, qvtest::Int(link, L"select count(*) from Users where name='carol'"));
  }
}

TEST_F(UsersPage, ACustomUserSeesTheOwnRowReadOnlyAndIsRefusedTheRest) {
  const int alice = AddUser(L"alice", 0, 5);
  AddUser(L"bob", 0, 0);
  LogInAs(L"alice", alice, 0, 5);
  Run([&](UiDialogDriver& d, CMainDlg& main) {
    Page& page = Users(main);
    ASSERT_EQ(1, page.Grid().GetItemCount());
    EXPECT_EQ(L"alice", page.Grid().GetItemText(0, Page::kColumnName));
    for (UINT item : {Page::kAdd, Page::kDelete, Page::kSave}) EXPECT_FALSE(main.IsItemEnabled(item));
    EXPECT_FALSE(::IsWindowEnabled(d.Control(Page::kType)));
    Select(main, {L"alice"});
    EXPECT_TRUE(main.GetItemCheck(199));
    EXPECT_TRUE(d.Click(199));  // undone
    EXPECT_TRUE(main.GetItemCheck(199));
    EXPECT_FALSE(main.IsItemEnabled(Page::kSave));
    script.ExpectBox(L"没有权限添加用户").ExpectBox(L"没有权限修改用户").ExpectBox(L"没有权限删除用户");
    page.OnAddUser();
    page.OnModifyUser();
    page.OnDeleteUser();
    for (const auto& box : script.Boxes()) EXPECT_EQ(L"权限不足", box.caption);
  });
  EXPECT_EQ(3, qvtest::Int(link, L"select count(*) from Users"));
}

// Accounts that cannot be read, or a grid that cannot take another row, leave the list
// empty rather than part of it, and the box says which list and why.
TEST_F(UsersPage, AListThatCannotBeReadWholeShowsNoAccountAndSaysWhy) {
  for (const wchar_t* name : {L"alice", L"bob", L"carol"}) AddUser(name, 0, 1);
  LogInAs(g_defaultUserName, 1, 1, 0);  // no other area: the page's grid is the only one filled
  for (bool gridFull : {false, true}) {
    SCOPED_TRACE(gridFull ? "the grid takes two rows only" : "the table cannot be read");
    if (!gridFull) ASSERT_TRUE(qvtest::Exec(link, L"alter table Users rename to UsersGone"));
    std::unique_ptr<qvtest::RefuseAllocations> refuse;
    if (gridFull) refuse.reset(new qvtest::RefuseAllocations(qvtest::GridRowBytes(5), 2));
    script.ExpectBox(gridFull ? L"读取用户列表失败：内存不足" : L"读取用户列表失败：");
    Run([&](UiDialogDriver& d, CMainDlg& main) {
      EXPECT_TRUE(!gridFull || refuse->Refused() > 0);
      refuse.reset();
      EXPECT_TRUE(d.ClickTab(CSystemManagementUIHandler::kTabCtrl, 1));
      EXPECT_EQ(0, Users(main).Grid().GetItemCount());
    });
    EXPECT_EQ(L"错误", script.Boxes().back().caption);
    if (!gridFull) ASSERT_TRUE(qvtest::Exec(link, L"alter table UsersGone rename to Users"));
  }
}

}  // namespace
