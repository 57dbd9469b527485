#include "support/IntegrityPageHost.h"

#include "console/CAgentLink.h"
#include "console/CAgentLinkManager.h"
#include "console/CurrentUser.h"
#include "console/SysServerPortConfig.h"
#include "controls/CUIResource.h"
#include "support/TestEnv.h"

void IntegrityPageHost::SetUp() {
  ConnectedDatabaseTest::SetUp();
  wcscpy(g_dsnName, qvtest::TestDatabase::Dsn());
  g_currentUserPermission = kPermissionIntegrity;
  CUIResource::Init();
}

void IntegrityPageHost::TearDown() {
  CUIResource::Uninit();
  g_currentUserPermission = 0;
  g_dsnName[0] = L'\0';
}

void IntegrityPageHost::AddTarget(const wchar_t* name, int taskMode, int status, int runStatus,
                                  const wchar_t* ip, const wchar_t* descriptor) {
  ASSERT_TRUE(qvtest::Exec(link,
                           L"insert into StrategyTable (StrategyName, StrategyDescriptor, "
                           L"StrategyType, TaskMode, Status, RunStatus, Ip, id) "
                           L"values (?, ?, 7, ?, ?, ?, ?, '20240301080000000')",
                           {name, descriptor, taskMode, status, runStatus, ip}));
}

int IntegrityPageHost::Targets(const wchar_t* name) {
  return qvtest::Int(link, L"select count(*) from StrategyTable where StrategyName = ?", {name});
}

int IntegrityPageHost::Status(const wchar_t* name) {
  return qvtest::Int(link, L"select Status from StrategyTable where StrategyName = ?", {name});
}

void IntegrityPageHost::Run(unsigned short port, const std::function<void()>& body) {
  CMainDlg window(port);
  main = &window;
  script.ExpectDialog([&](UiDialogDriver& d) {
    frame = d.Frame();
    driver = &d;
    body();
  });
  window.DoModal();
  main = nullptr;
  driver = nullptr;
}

bool IntegrityPageHost::LinkConnected() {
  return testenv::PumpUntil(
      [] { return g_agentLinkManager.Link() && g_agentLinkManager.Link()->IsConnected(); }, 5000);
}

int IntegrityPageHost::RowOf(const std::wstring& name) {
  for (int row = 0; row < Grid().GetItemCount(); ++row)
    if (Grid().GetItemText(row, 0) == name) return row;
  return -1;
}

std::wstring IntegrityPageHost::Cell(const std::wstring& name, int column) {
  return Grid().GetItemText(RowOf(name), column);
}

COLORREF IntegrityPageHost::Colour(const std::wstring& name, int column) {
  COLORREF background = 0, text = 0;
  Grid().GetItemColours(RowOf(name), column, background, text);
  return text;
}

void IntegrityPageHost::Check(const std::wstring& name) { Grid().SetItemCheck(RowOf(name), 0, 1); }

std::wstring IntegrityPageHost::LogText() {
  const HWND pane = Page().LogPane();
  std::wstring text(size_t(::GetWindowTextLengthW(pane)) + 1, L'\0');
  text.resize(size_t(::GetWindowTextW(pane, &text[0], int(text.size()))));
  return text;
}

void IntegrityPageHost::Command(UINT item) {
  UINMCOMMAND nm{{frame, IDC_UIVIEW, UINM_COMMAND}, item, "button"};
  Dispatch(WM_NOTIFY, IDC_UIVIEW, reinterpret_cast<LPARAM>(&nm));
}

bool IntegrityPageHost::TabChange(int newTab, BOOL* handled) {
  UINMTABSELCHANGE nm{{nullptr, IDC_UIVIEW, UINM_TAB_SELCHANGE}, CQuorvaneUIHandler::kTabCtrl,
                      UINT(newTab), 0, FALSE};
  const BOOL taken = Dispatch(WM_NOTIFY, IDC_UIVIEW, reinterpret_cast<LPARAM>(&nm));
  if (handled) *handled = taken;
  return nm.bCancel != FALSE;
}

BOOL IntegrityPageHost::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  return main->ProcessWindowMessage(frame, message, wParam, lParam, result);
}
