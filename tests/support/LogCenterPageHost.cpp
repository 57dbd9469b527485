#include "support/LogCenterPageHost.h"

#include <algorithm>

#include "app/CMainDlg.h"
#include "console/CServerDlg.h"
#include "console/CurrentUser.h"
#include "console/SysServerPortConfig.h"
#include "controls/CUIResource.h"
#include "support/ConnectionWatch.h"
#include "support/LoopbackPeer.h"

namespace qvtest {

void LogCenterPageHost::SetUp() {
  ConnectedDatabaseTest::SetUp();
  wcscpy(g_dsnName, TestDatabase::Dsn());
  g_currentUserPermission = kPermissionLogCenter;
  CUIResource::Init();
}

void LogCenterPageHost::TearDown() {
  CUIResource::Uninit();
  g_dsnName[0] = L'\0';
  g_currentUserPermission = 0;
}

void LogCenterPageHost::Run(const std::function<void(UiDialogDriver&, CLogCenterUIHandler&)>& act) {
  ConnectionWatch watch(script);  // every box and dialog, from the window's start on
  testenv::LoopbackPeer noService(0, false);  // bound, refusing
  CMainDlg main(noService.Port());
  ASSERT_NE(nullptr, main.LogCenter());
  script.ExpectDialog([&](UiDialogDriver& d) { act(d, *main.LogCenter()); }, IDCANCEL);
  main.DoModal();
}

std::wstring LogCenterPageHost::Text(CLCLogPage& page, UINT field) {
  wchar_t text[64] = {};
  ::GetWindowTextW(page.Field(field), text, 64);
  return text;
}

LogCenterPageHost::Rows LogCenterPageHost::Cells(CLCLogPage& page, int columns) {
  Rows rows(static_cast<size_t>(page.GetGrid().GetItemCount()));
  for (size_t row = 0; row < rows.size(); ++row)
    for (int column = 0; column < columns; ++column)
      rows[row].push_back(page.GetGrid().GetItemText(static_cast<int>(row), column));
  std::sort(rows.begin(), rows.end());
  return rows;
}

void LogCenterPageHost::ExpectHostPicker(const wchar_t* pick, const wchar_t* checked, bool ok) {
  script.ExpectDialog([pick, checked, ok](UiDialogDriver& d) {
    CServerDlg* picker = d.As<CServerDlg>();
    ASSERT_NE(nullptr, picker);
    CMulStatusTree& tree = picker->Tree().tree;
    const HTREEITEM first = tree.GetFirstCheckedItem();
    EXPECT_EQ(checked ? checked : L"", first ? tree.GetItemText(first) : L"");
    HTREEITEM item = tree.GetChildItem(picker->RootItem());
    while (pick && item && tree.GetItemText(item) != pick) item = tree.GetNextSiblingItem(item);
    if (pick && item) {
      tree.SelectItem(item);
      tree.SendMessage(WM_KEYDOWN, VK_SPACE, 0);
    }
    EXPECT_TRUE(d.Click(ok ? CServerDlg::kItemOK : CServerDlg::kItemCancel));
  }, kStillOpen);
}

void LogCenterPageHost::Insert(const wchar_t* table, const wchar_t* columns, std::initializer_list<SqlParam> values) {
  std::wstring marks;
  for (size_t i = 0; i < values.size(); ++i) marks += i ? L", ?" : L"?";
  const std::wstring sql = std::wstring(L"insert into ") + table + L" (" + columns + L") values (" + marks + L")";
  ASSERT_EQ(1, Exec(link, sql.c_str(), values)) << link.GetLastErrorText();
}

}  // namespace qvtest
