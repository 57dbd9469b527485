#include "support/LogCenterPageHost.h"

#include "app/CMainDlg.h"
#include "console/CServerDlg.h"
#include "console/CurrentUser.h"
#include "console/SysServerPortConfig.h"
#include "controls/CUIResource.h"
#include "support/LoopbackPeer.h"
#include "uiwin/UiNotify.h"

namespace qvtest {

namespace {

BOOL CALLBACK FindRichEdit(HWND child, LPARAM found) {
  wchar_t name[32] = {};
  ::GetClassNameW(child, name, 32);
  if (std::wstring(name) != L"RichEdit20W") return TRUE;
  *reinterpret_cast<HWND*>(found) = child;
  return FALSE;
}

}  // namespace

void LogCenterPageHost::SetUp() {
  ConnectedDatabaseTest::SetUp();
  wcscpy(g_dsnName, TestDatabase::Dsn());
  g_currentUserType = 0;
  g_currentUserPermission = kPermissionLogCenter;
  CUIResource::Init();
}

void LogCenterPageHost::TearDown() {
  CUIResource::Uninit();
  g_dsnName[0] = L'\0';
  g_currentUserPermission = 0;
}

void LogCenterPageHost::Run(const Act& act) {
  testenv::LoopbackPeer noService(0, false);  // bound, refusing
  CMainDlg main(noService.Port());
  ASSERT_NE(nullptr, main.LogCenter());
  script.ExpectDialog([&](UiDialogDriver& d) { act(d, *main.LogCenter()); }, IDCANCEL);
  main.DoModal();
}

void LogCenterPageHost::Command(HWND frame, UINT item) {
  UINMCOMMAND nm{{frame, IDC_UIVIEW, UINM_COMMAND}, item, "button"};
  ::SendMessageW(frame, WM_NOTIFY, IDC_UIVIEW, reinterpret_cast<LPARAM>(&nm));
}

void LogCenterPageHost::SetField(CLCLogPage& page, UINT id, const wchar_t* text) {
  ::SetWindowTextW(page.Field(id), text);
}

std::vector<std::vector<std::wstring>> LogCenterPageHost::Cells(CLCLogPage& page, int columns) {
  std::vector<std::vector<std::wstring>> rows;
  CLCLogPage::Grid& grid = page.GetGrid();
  for (int row = 0; row < grid.GetItemCount(); ++row) {
    rows.emplace_back();
    for (int column = 0; column < columns; ++column) rows.back().push_back(grid.GetItemText(row, column));
  }
  return rows;
}

void LogCenterPageHost::ExpectHostPicker(const wchar_t* pick, const wchar_t* checked) {
  script.ExpectDialog([pick, checked](UiDialogDriver& d) {
    CServerDlg* picker = d.As<CServerDlg>();
    ASSERT_NE(nullptr, picker);
    CMulStatusTree& tree = picker->Tree().tree;
    const HTREEITEM first = tree.GetFirstCheckedItem();
    EXPECT_EQ(checked ? checked : L"", first ? tree.GetItemText(first) : L"");
    if (!pick) {
      EXPECT_TRUE(d.Click(CServerDlg::kItemCancel));
      return;
    }
    HTREEITEM item = tree.GetChildItem(picker->RootItem());
    while (item && tree.GetItemText(item) != pick) item = tree.GetNextSiblingItem(item);
    ASSERT_NE(nullptr, item);
    tree.SelectItem(item);
    tree.SendMessage(WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(d.Click(CServerDlg::kItemOK));
  });
}

std::wstring LogCenterPageHost::RichText(HWND holder) {
  HWND edit = nullptr;
  ::EnumChildWindows(holder, FindRichEdit, reinterpret_cast<LPARAM>(&edit));
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(edit)) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(edit, &text[0], static_cast<int>(text.size()))));
  return text;
}

void LogCenterPageHost::AddClient(const wchar_t* ip, const wchar_t* name, const wchar_t* mac) {
  ASSERT_EQ(1, Exec(link, L"insert into Client (IP, Name, MAC, Status, Type) values (?, ?, ?, 1, 0)",
                    {ip, name, mac}));
}

void LogCenterPageHost::AddStrategy(const wchar_t* name, const wchar_t* id) {
  ASSERT_EQ(1, Exec(link, L"insert into StrategyTable (StrategyName, Ip, id) values (?, '10.0.0.1', ?)", {name, id}));
}

void LogCenterPageHost::AddAudit(const wchar_t* host, const wchar_t* type, const wchar_t* content,
                                 const wchar_t* time, const wchar_t* detail, const wchar_t* strategyId) {
  ASSERT_EQ(1, Exec(link,
                    L"insert into AuditLog (LogHostIp, LogStyle, LogContent, LogTime, LogDetail, Strategyid, "
                    L"StrategyVersion) values (?, ?, ?, ?, ?, ?, 1)",
                    {host, type, content, time, detail, strategyId}));
}

void LogCenterPageHost::AddLog(const wchar_t* table, const wchar_t* host, const wchar_t* type,
                               const wchar_t* content, const wchar_t* time) {
  const std::wstring sql = std::wstring(L"insert into ") + table +
                           L" (LogHostIp, LogStyle, LogContent, LogTime) values (?, ?, ?, ?)";
  ASSERT_EQ(1, Exec(link, sql.c_str(), {host, type, content, time}));
}

}  // namespace qvtest
