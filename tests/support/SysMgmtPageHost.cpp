#include "support/SysMgmtPageHost.h"

#include "console/CurrentUser.h"
#include "console/SysServerPortConfig.h"
#include "controls/CUIResource.h"
#include "support/TestEnv.h"
#include "sysmgmt/CSystemManagementUIHandler.h"

namespace qvtest {

void SysMgmtPageTest::SetUp() {
  ConnectedDatabaseTest::SetUp();
  wcscpy(g_dsnName, TestDatabase::Dsn());
  CUIResource::Init();
  LogInAs(g_defaultUserName, 1, 1, kAllAreas);
}

void SysMgmtPageTest::TearDown() {
  CUIResource::Uninit();
  g_dsnName[0] = L'\0';
  LogInAs(L"", 0, 0, 0);
}

void SysMgmtPageTest::LogInAs(const wchar_t* name, int id, int type, int permission) {
  g_currentUserName = name;
  g_currentUserId = id;
  g_currentUserType = type;
  g_currentUserPermission = permission;
}

int SysMgmtPageTest::AddUser(const wchar_t* name, int type, int permission, const wchar_t* password) {
  EXPECT_EQ(1, Exec(link, L"insert into Users(name,password,comment,type,permission) values(?,?,?,?,?)",
                    {name, password, L"", type, permission}));
  return Int(link, L"select id from Users where name=?", {name});
}

int SysMgmtPageTest::AddClient(const wchar_t* name, const wchar_t* ip, int type, int status, int stopped) {
  EXPECT_EQ(1, Exec(link, L"insert into Client(Name,IP,NoteName,MAC,Status,Type,Stopped) values(?,?,?,?,?,?,?)",
                    {name, ip, L"", L"001A2B3C4D5E", status, type, stopped}));
  return Int(link, L"select max(id) from Client");
}

void SysMgmtPageTest::Run(const std::function<void(UiDialogDriver&, CMainDlg&)>& act,
                          unsigned short servicePort) {
  CMainDlg main(servicePort ? servicePort : peer.Port());
  script.ExpectDialog([&](UiDialogDriver& d) {
    if (!servicePort) ASSERT_TRUE(peer.Accept(20000));
    act(d, main);
  });
  main.DoModal();
}

void SysMgmtPageTest::ShowPage(CMainDlg& main, int page) {
  main.SetTabCurSel(CSystemManagementUIHandler::kTabCtrl, page);
}

void SysMgmtPageTest::Command(CMainDlg& main, UINT item) {
  UINMCOMMAND nm{{main.GetViewHWnd(), IDC_UIVIEW, UINM_COMMAND}, item, "button"};
  ::SendMessageW(main.m_hWnd, WM_NOTIFY, IDC_UIVIEW, reinterpret_cast<LPARAM>(&nm));
}

LRESULT SysMgmtPageTest::Notify(CMainDlg& main, NMHDR* header, UINT id, int code) {
  header->hwndFrom = ::GetDlgItem(main.GetViewHWnd(), static_cast<int>(id));
  header->idFrom = id;
  header->code = static_cast<UINT>(code);
  return ::SendMessageW(main.m_hWnd, WM_NOTIFY, id, reinterpret_cast<LPARAM>(header));
}

bool SysMgmtPageTest::Deliver(uint32_t type, uint32_t wParam, uint32_t messageId, const void* payload,
                              uint32_t length, const std::function<bool()>& done) {
  return peer.SendFrame(type, wParam, messageId, payload, length) && testenv::PumpUntil(done, 20000);
}

}  // namespace qvtest
