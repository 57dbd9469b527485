// The login dialog against a real database: what the user types, what the dialog
// answers, and the current user a successful login leaves behind.
#include <gtest/gtest.h>

#include "app/ConsoleStartup.h"
#include "console/CLoginDlg.h"
#include "console/CurrentUser.h"
#include "console/SysServerPortConfig.h"
#include "support/ModalScript.h"
#include "support/TestDatabase.h"

namespace {

class Login : public qvtest::ConnectedDatabaseTest {
 protected:
  void SetUp() override {
    ConnectedDatabaseTest::SetUp();
    LoadConsoleUiResources();
  }
  void TearDown() override {
    g_currentUserName = g_currentUserComment = L"";
    g_currentUserId = g_currentUserType = g_currentUserPermission = 0;
  }
  // A login dialog in which act runs, then the box it shows; the dialog's result.
  UINT Run(const wchar_t* dsn, const std::function<void(UiDialogDriver&)>& act, const wchar_t* box) {
    wcscpy(g_dsnName, dsn);
    script.ExpectDialog(act);
    if (box) script.ExpectBox(box);
    CLoginDlg dlg;
    return dlg.DoModal();
  }
  ModalScript script;
};

TEST_F(Login, AnswersEachAttemptAndSetsTheCurrentUserOnlyOnSuccess) {
  ASSERT_EQ(1, qvtest::Exec(link, L"insert into Users (name, password, comment, type, permission) "
                                  L"values ('auditor', 'Pw_1', '审计员', 0, 0)"));
  const wchar_t* const db = qvtest::TestDatabase::Dsn();
  const struct {
    const wchar_t *name, *password, *box, *line;  // a message box, or the dialog's own line
    UINT result;
    const wchar_t* user;  // type, permission and comment after it
    const wchar_t *dsn, *before;  // the data source, and a statement run on it first
  } rows[] = {
      {L"nobody", L"x", nullptr, L"该用户不存在", 2, L"", db, nullptr},
      {L"tamuk", L"TAMUK", nullptr, L"密码错误", 2, L"", db, nullptr},  // letter case counts
      {L"tamuk", L"", L"请输入密码", L"", 2, L"", db, nullptr},
      {L"", L"tamuk", L"请输入用户名", L"", 2, L"", db, nullptr},
      {L"tamuk", L"tamuk", nullptr, L"", 1, L"1 31 ", db, nullptr},
      {L"AUDITOR", L"Pw_1", nullptr, L"", 1, L"0 0 审计员", db, nullptr},  // the name as typed
      {L"tamuk", L"tamuk", L"连接数据库出错", L"", 2, L"", L"QuorvaneNoSuchSource", nullptr},
      {L"tamuk", L"tamuk", L"错误信息：", L"", 2, L"", db, L"drop table Users"},  // not "no user"
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::wstring(row.name) + L"/" + row.password);
    EXPECT_TRUE(!row.before || (link.Connect(db, L"", L"") && link.ExecDirect(row.before)));
    link.Disconnect();
    EXPECT_EQ(row.result, Run(row.dsn, [&](UiDialogDriver& d) {
      ::SetWindowTextW(d.Control(CLoginDlg::kItemUserName), row.name);
      ::SetWindowTextW(d.Control(CLoginDlg::kItemPassword), row.password);
      EXPECT_TRUE(d.Click(CLoginDlg::kItemLogin));
      EXPECT_EQ(row.result != 1, d.IsOpenAndShown());  // refused: still open
      EXPECT_EQ(row.line, d.ItemText(CLoginDlg::kItemMessage));
    }, row.box));
    EXPECT_EQ(row.result == 1 ? row.name : L"", g_currentUserName);
    EXPECT_EQ(row.user, row.result != 1 ? L"" : std::to_wstring(g_currentUserType) + L" " +
                                                  std::to_wstring(g_currentUserPermission) + L" " + g_currentUserComment);
    g_currentUserName.clear();
  }
  EXPECT_EQ(L"注意", script.Boxes().at(0).caption);
  EXPECT_EQ(UINT(MB_ICONHAND), script.Boxes().at(3).style);
}

TEST_F(Login, OpensOnTheDefaultUserTabAlternatesTheBoxesAndEnterLogsIn) {
  EXPECT_EQ(1u, Run(qvtest::TestDatabase::Dsn(), [](UiDialogDriver& d) {
    HWND user = d.Control(CLoginDlg::kItemUserName), password = d.Control(CLoginDlg::kItemPassword);
    EXPECT_EQ(L"tamuk", d.ControlText(CLoginDlg::kItemPassword));
    for (HWND expected : {user, password, user}) {  // each time with its whole text selected
      DWORD from = 9, to = 0;
      ::SendMessageW(expected, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
      EXPECT_TRUE(expected == ::GetFocus() && from == 0 && to == 5);
      MSG tab{::GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
      EXPECT_TRUE(d.As<CLoginDlg>()->PreTranslateMessage(&tab));
    }
    EXPECT_TRUE(d.Type(CLoginDlg::kItemUserName, L"tamuk-"));  // the box refuses "-"
    MSG enter{password, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
    EXPECT_TRUE(d.As<CLoginDlg>()->PreTranslateMessage(&enter));
  }, L"此编辑框只可以输入:\n字母、数字、_"));
}

}  // namespace
