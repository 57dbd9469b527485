// The login dialog against a real database: what the user types, what the dialog
// answers, and the current user a successful login leaves behind.
#include <gtest/gtest.h>

#include <string>

#include "console/CLoginDlg.h"
#include "console/CurrentUser.h"
#include "console/SysServerPortConfig.h"
#include "support/ModalScript.h"
#include "support/TestDatabase.h"
#include "uiwin/UiSkin.h"
#include "uiwin/UiString.h"
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
    ASSERT_EQ(1, qvtest::Exec(link, L"insert into Users (name, password, comment, type, permission) values (?, ?, ?, ?, ?)",
                              {L"auditor", L"Pw_1", L"审计员", 0, 0}));
    link.Disconnect();
  }
  void TearDown() override {
    g_currentUserName = g_currentUserComment = L"";
    g_currentUserId = g_currentUserType = g_currentUserPermission = 0;
  }
  // A login dialog in which act runs; its result.
  UINT Run(const std::function<void(UiDialogDriver&)>& act, const wchar_t* box = nullptr) {
    script.ExpectDialog(act);
    if (box) script.ExpectBox(box);
    CLoginDlg dlg;
    return dlg.DoModal();
  }
  ModalScript script;
};

TEST_F(Login, AnswersEachAttemptAndSetsTheCurrentUserOnlyOnSuccess) {
  const struct {
    const wchar_t *name, *password, *box, *line;  // a message box, or the dialog's own line
    const wchar_t* dsn;
    UINT result;
    const wchar_t* user;  // type permission comment
  } rows[] = {
      {L"nobody", L"x", nullptr, L"该用户不存在", nullptr, 2, L""},
      {L"tamuk", L"TAMUK", nullptr, L"密码错误", nullptr, 2, L""},  // letter case counts
      {L"tamuk", L"", L"请输入密码", L"", nullptr, 2, L""},
      {L"", L"tamuk", L"请输入用户名", L"", nullptr, 2, L""},
      {L"tamuk", L"tamuk", L"连接数据库出错", L"", L"QuorvaneNoSuchSource", 2, L""},
      {L"tamuk", L"tamuk", nullptr, L"", nullptr, 1, L"1 31 "},
      {L"AUDITOR", L"Pw_1", nullptr, L"", nullptr, 1, L"0 0 审计员"},  // the name as typed
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::wstring(row.name) + L"/" + row.password);
    wcscpy(g_dsnName, row.dsn ? row.dsn : qvtest::TestDatabase::Dsn());
    EXPECT_EQ(row.result, Run([&](UiDialogDriver& d) {
      ::SetWindowTextW(d.Control(CLoginDlg::kItemUserName), row.name);
      ::SetWindowTextW(d.Control(CLoginDlg::kItemPassword), row.password);
      EXPECT_TRUE(d.Click(CLoginDlg::kItemLogin));
      EXPECT_EQ(row.line, d.ItemText(CLoginDlg::kItemMessage));
    }, row.box));
    EXPECT_EQ(row.result == 1 ? row.name : L"", g_currentUserName);
    EXPECT_EQ(row.user, row.result != 1 ? L"" : std::to_wstring(g_currentUserType) + L" " +
                                                  std::to_wstring(g_currentUserPermission) + L" " + g_currentUserComment);
    g_currentUserName.clear();
  }
  EXPECT_EQ(L"注意", script.Boxes().at(0).caption);
  EXPECT_EQ(UINT(MB_ICONHAND), script.Boxes().at(2).style);
}

TEST_F(Login, AFailedQueryIsReportedAsSuchAndNeverAsAMissingUser) {
  ASSERT_TRUE(link.Connect(qvtest::TestDatabase::Dsn(), L"", L"") && link.ExecDirect(L"drop table Users"));
  link.Disconnect();
  EXPECT_EQ(2u, Run([](UiDialogDriver& d) {
    EXPECT_TRUE(d.Click(CLoginDlg::kItemLogin));
    EXPECT_EQ(L"", d.ItemText(CLoginDlg::kItemMessage));
  }, L"错误信息："));
  EXPECT_EQ(L"错误", script.Boxes().at(0).caption);
}

TEST_F(Login, OpensOnTheDefaultUserAndTabAndEnterWorkInEitherBox) {
  EXPECT_EQ(1u, Run([](UiDialogDriver& d) {
    HWND user = d.Control(CLoginDlg::kItemUserName), password = d.Control(CLoginDlg::kItemPassword);
    EXPECT_EQ(L"tamuk", d.ControlText(CLoginDlg::kItemPassword));
    for (HWND expected : {user, password, user}) {  // opens on the user box, all selected
      DWORD from = 9, to = 0;
      ::SendMessageW(expected, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
      EXPECT_TRUE(expected == ::GetFocus() && from == 0 && to == 5);
      MSG tab{::GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
      EXPECT_TRUE(d.As<CLoginDlg>()->PreTranslateMessage(&tab));
    }
    MSG enter{password, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
    EXPECT_TRUE(d.As<CLoginDlg>()->PreTranslateMessage(&enter));  // the administrator logs in
  }));
}

TEST_F(Login, BoxesTakeLettersDigitsAndUnderscoreUpToTheirLengths) {
  const struct { UINT box; std::wstring typed, kept; } rows[] = {
      {CLoginDlg::kItemUserName, L"ab_1-", L"ab_1"},
      {CLoginDlg::kItemUserName, L"abcdefghijk", L"abcdefghij"},
      {CLoginDlg::kItemPassword, std::wstring(21, L'p'), std::wstring(20, L'p')},
  };
  script.ExpectDialog([&](UiDialogDriver& d) {
    for (const auto& row : rows) EXPECT_TRUE(d.Type(row.box, row.typed) && row.kept == d.ControlText(row.box));
  });
  script.ExpectBox(L"此编辑框只可以输入:\n字母、数字、_").ExpectBox(L"最多只能输入:10字符.").ExpectBox(L"最多只能输入:20字符.");
  CLoginDlg dlg;
  dlg.DoModal();
}

}  // namespace
