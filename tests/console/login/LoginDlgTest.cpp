// The login dialog against a real database: what the user types, what the dialog
// answers, and the current user a successful login leaves behind.
#include <gtest/gtest.h>

#include <string>

#include "console/CLoginDlg.h"
#include "console/CurrentUser.h"
#include "console/SysServerPortConfig.h"
#include "support/ModalScript.h"
#include "support/TestDatabase.h"
#include "uiwin/UiString.h"
#include "uiwin/UiSkin.h"
#include "uiwin/UiStyle.h"

namespace {

class Login : public qvtest::ConnectedDatabaseTest {
 protected:
  void SetUp() override {
    ConnectedDatabaseTest::SetUp();
    UiString::Load(102);
    UiSkin::LoadSkins(100);
    UiStyle::LoadStyles(101);
    wcscpy(g_dsnName, qvtest::TestDatabase::Dsn());
    ASSERT_EQ(1, qvtest::Exec(link, L"insert into Users (name, password, comment, type, permission) "
                                    L"values (?, ?, ?, ?, ?)",
                              {L"auditor", L"Pw_1", L"审计员", 0, 0}));
    link.Disconnect();
  }
  void TearDown() override {
    g_dsnName[0] = L'\0';
    g_currentUserName.clear();
    g_currentUserComment.clear();
    g_currentUserId = g_currentUserType = g_currentUserPermission = 0;
  }
  // Types both boxes (SetWindowText for an empty one) and presses "登录".
  static void LogIn(UiDialogDriver& d, const wchar_t* name, const wchar_t* password) {
    const std::pair<UINT, const wchar_t*> boxes[] = {{CLoginDlg::kItemUserName, name},
                                                     {CLoginDlg::kItemPassword, password}};
    for (const auto& b : boxes) {
      if (*b.second)
        EXPECT_TRUE(d.Type(b.first, b.second));
      else
        ::SetWindowTextW(d.Control(b.first), L"");
    }
    EXPECT_TRUE(d.Click(CLoginDlg::kItemLogin));
  }
  ModalScript script;
};

TEST_F(Login, AnswersEachAttemptAndSetsTheCurrentUserOnlyOnSuccess) {
  const struct {
    const wchar_t* name;
    const wchar_t* password;
    const wchar_t* box;   // a message box, or
    const wchar_t* line;  // the dialog's own message line
    UINT result;
    int type, permission;
    const wchar_t* comment;
  } rows[] = {
      {L"nobody", L"x", nullptr, L"该用户不存在", 2, 0, 0, L""},
      {L"tamuk", L"TAMUK", nullptr, L"密码错误", 2, 0, 0, L""},  // letter case counts
      {L"tamuk", L"", L"请输入密码", L"", 2, 0, 0, L""},
      {L"", L"tamuk", L"请输入用户名", L"", 2, 0, 0, L""},
      {L"tamuk", L"tamuk", nullptr, L"", 1, 1, 31, L""},
      {L"AUDITOR", L"Pw_1", nullptr, L"", 1, 0, 0, L"审计员"},  // the name as typed
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::wstring(row.name) + L"/" + row.password);
    g_currentUserName.clear();
    script.ExpectDialog([&](UiDialogDriver& d) {
      LogIn(d, row.name, row.password);
      EXPECT_EQ(row.line, d.ItemText(CLoginDlg::kItemMessage));
    });
    if (row.box) script.ExpectBox(row.box);
    CLoginDlg dlg;
    EXPECT_EQ(row.result, dlg.DoModal());
    EXPECT_EQ(row.result == 1 ? row.name : L"", g_currentUserName);
    if (row.result != 1) continue;
    EXPECT_EQ(row.type, g_currentUserType);
    EXPECT_EQ(row.permission, g_currentUserPermission);
    EXPECT_EQ(row.comment, g_currentUserComment);
    EXPECT_GT(g_currentUserId, 0);
  }
  ASSERT_EQ(2u, script.Boxes().size());
  EXPECT_EQ(L"注意", script.Boxes()[0].caption);
}

TEST_F(Login, DatabaseFailuresAreReportedAsSuchAndNeverAsAMissingUser) {
  const struct {
    const wchar_t* what;
    const wchar_t* dsn;
    const wchar_t* sql;  // run before the attempt
    const wchar_t* box;
  } rows[] = {
      {L"no database", L"QuorvaneNoSuchSource", nullptr, L"连接数据库出错"},
      {L"unreadable table", qvtest::TestDatabase::Dsn(), L"drop table Users", L"错误信息："},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    wcscpy(g_dsnName, row.dsn);
    if (row.sql) {
      SQLServerLink l;
      ASSERT_TRUE(l.Connect(qvtest::TestDatabase::Dsn(), L"", L""));
      ASSERT_TRUE(l.ExecDirect(row.sql));
    }
    script.ExpectDialog([&](UiDialogDriver& d) {
      LogIn(d, L"tamuk", L"tamuk");
      EXPECT_EQ(L"", d.ItemText(CLoginDlg::kItemMessage));
    });
    script.ExpectBox(row.box);
    CLoginDlg dlg;
    EXPECT_EQ(2u, dlg.DoModal());
    ASSERT_FALSE(script.Boxes().empty());
    EXPECT_EQ(L"错误", script.Boxes().back().caption);
    EXPECT_EQ(UINT(MB_ICONHAND), script.Boxes().back().style);
  }
}

TEST_F(Login, BoxesTakeLettersDigitsAndUnderscoreUpToTheirLengths) {
  const struct {
    UINT box;
    std::wstring typed, kept;
    const wchar_t* warning;
  } rows[] = {
      {CLoginDlg::kItemUserName, L"ab_1-", L"ab_1", L"此编辑框只可以输入:\n字母、数字、_"},
      {CLoginDlg::kItemUserName, L"abcdefghijk", L"abcdefghij", L"此编辑框最多只能输入:10字符."},
      {CLoginDlg::kItemPassword, std::wstring(21, L'p'), std::wstring(20, L'p'), L"最多只能输入:20字符."},
  };
  script.ExpectDialog([&](UiDialogDriver& d) {
    for (const auto& row : rows) {
      EXPECT_TRUE(d.Type(row.box, row.typed));
      EXPECT_EQ(row.kept, d.ControlText(row.box));
    }
  });
  for (const auto& row : rows) script.ExpectBox(row.warning);
  CLoginDlg dlg;
  dlg.DoModal();
}

TEST_F(Login, OpensOnTheDefaultUserAndTabAndEnterWorkInEitherBox) {
  script.ExpectDialog([](UiDialogDriver& d) {
    auto* dlg = d.As<CLoginDlg>();
    HWND user = d.Control(CLoginDlg::kItemUserName), password = d.Control(CLoginDlg::kItemPassword);
    EXPECT_EQ(L"tamuk", d.ControlText(CLoginDlg::kItemUserName));
    EXPECT_EQ(L"tamuk", d.ControlText(CLoginDlg::kItemPassword));
    for (HWND expected : {user, password, user, password}) {  // opens on the user box
      EXPECT_EQ(expected, ::GetFocus());
      DWORD from = 9, to = 0;
      ::SendMessageW(expected, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
      EXPECT_EQ(0u, from);
      EXPECT_EQ(5u, to);
      MSG tab{::GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
      EXPECT_TRUE(dlg->PreTranslateMessage(&tab));
    }
    MSG other{password, WM_KEYDOWN, 'A', 0, 0, {0, 0}};
    EXPECT_FALSE(dlg->PreTranslateMessage(&other));
    MSG enter{password, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
    EXPECT_TRUE(dlg->PreTranslateMessage(&enter));  // the pre-filled administrator logs in
  });
  CLoginDlg dlg;
  EXPECT_EQ(1u, dlg.DoModal());
  EXPECT_EQ(L"tamuk", g_currentUserName);
}

}  // namespace
