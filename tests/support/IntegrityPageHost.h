#pragma once
// The integrity area in a real main window: a user with the integrity permission only,
// a fresh test database, the shared control resources, and the service link on the
// port of the test's peer (a LoopbackPeer or the QvService stand-in). A test fills
// StrategyTable first (the page loads while the window initialises), then runs its body
// inside the window's modal loop with the area's handlers at hand.
#include <functional>
#include <string>

#include "app/CMainDlg.h"
#include "console/CAgentLink.h"
#include "console/CAgentLinkManager.h"
#include "console/CurrentUser.h"
#include "console/SysServerPortConfig.h"
#include "controls/CUIResource.h"
#include "integrity/CQuorvaneUIHandler.h"
#include "support/GridClicks.h"
#include "uiwin/CUiTabCtrl.h"
#include "support/AgentLinkTestWindow.h"
#include "support/LoopbackPeer.h"
#include "support/ModalScript.h"
#include "support/TestDatabase.h"
#include "support/GridClicks.h"
#include "support/TestEnv.h"

class IntegrityPageHost : public qvtest::ConnectedDatabaseTest {
 protected:
  using Page = CQvStrategyGuardUIHandler;

  void SetUp() override {
    ConnectedDatabaseTest::SetUp();
    wcscpy(g_dsnName, qvtest::TestDatabase::Dsn());
    g_currentUserPermission = kPermissionIntegrity;
    CUIResource::Init();
  }
  void TearDown() override {
    CUIResource::Uninit();
    g_currentUserPermission = 0;
    g_dsnName[0] = L'\0';
  }

  // One target row of a strategy in StrategyTable (an id of one character is no
  // strategy's own: the page finds its rows by name).
  void AddTarget(const wchar_t* name, int taskMode = 0, int status = 1, int runStatus = 0, const wchar_t* ip = L"1",
                 const wchar_t* id = L"1") {
    ASSERT_TRUE(qvtest::Exec(link, L"insert into StrategyTable (StrategyName, StrategyDescriptor, StrategyType, "
                             L"TaskMode, Status, RunStatus, Ip, id) values (?, '描述', 7, ?, ?, ?, ?, ?)",
                             {name, taskMode, status, runStatus, ip, id}));
  }
  // The rows of a strategy (of the table when name is null), or the Status of its first.
  int Table(const wchar_t* name = nullptr, bool status = false) {
    if (!name) return qvtest::Int(link, L"select count(*) from StrategyTable");
    return qvtest::Int(link, status ? L"select Status from StrategyTable where StrategyName = ?"
                                    : L"select count(*) from StrategyTable where StrategyName = ?", {name});
  }

  // One row of Filter (HIPS filter page); its id.
  int AddFilter(const wchar_t* name, int type, const wchar_t* regExp, const wchar_t* ip, int mask = 0) {
    EXPECT_TRUE(qvtest::Exec(link, L"insert into Filter (ClientIP, FilterName, RegExp, TypeOfHipsRule, MatchType, "
                             L"OperatorType, DefaultAction, DefaultLogFilter) values (?, ?, ?, ?, 1, ?, 2, 1)",
                             {ip, name, regExp, type, mask}));
    return qvtest::Int(link, L"select max(id) from Filter");
  }
  CQvHipsUIHandler& Hips() { return *Area().Hips(); }

  // Runs the main window with its link on port (the peer's by default); body runs
  // inside the modal loop.
  void Run(const std::function<void()>& body, unsigned short port = 0) {
    CMainDlg window(port ? port : peer.Port());
    main = &window;
    const AgentLinkWindow behind{sentinel.Handle(), kSentinel};
    CAgentLinkManager::RegisterWindow(behind);
    script.ExpectDialog([&](UiDialogDriver& d) {
      frame = d.Frame();
      driver = &d;
      body();
    });
    window.DoModal();
    CAgentLinkManager::UnregisterWindow(behind);
  }
  // Whether done() holds once the window has handled what the peer sent: a frame of the
  // test's own goes behind it, and the link hands frames over one at a time and in
  // order, so once that one has come (or the link has dropped) done() holds or never
  // will. A slow machine only makes it come later. For what a page does as it takes a
  // frame, not what it leaves to a message of its own.
  bool OnceHandled(const std::function<bool()>& done) {
    const size_t before = sentinel.deliveries.size();
    if (!peer.SendFrame(1, 0, kSentinel)) return done();
    testenv::PumpUntil([&] { return done() || sentinel.deliveries.size() > before ||
                                    !g_agentLinkManager.Link()->IsConnected(); }, 60000);
    return done();
  }
  // Waits until the link to the peer stands (the peer accepts first).
  static bool LinkConnected() {
    return testenv::PumpUntil([] { return g_agentLinkManager.Link()->IsConnected(); }, 5000);
  }

  CQuorvaneUIHandler& Area() { return *main->Integrity(); }
  CListCtrlDataEx<unsigned long>& Grid() { return Area().StrategyGuard()->Grid(); }
  int RowOf(const std::wstring& name) {
    for (int row = 0; row < Grid().GetItemCount(); ++row)
      if (Grid().GetItemText(row, 0) == name) return row;
    return -1;
  }
  std::wstring Cell(const std::wstring& name, int column) { return Grid().GetItemText(RowOf(name), column); }
  void Check(const std::wstring& name) { Grid().SetItemCheck(RowOf(name), 0, 1); }
  // A user's click on a row's box, with the strategies' tab in front.
  void ClickCheck(int row) {
    ShowPage(CQuorvaneUIHandler::kTabStrategies);
    EXPECT_TRUE(qvtest::ClickGridCell(Grid(), row, Page::kColName));
  }
  std::wstring LogText() {
    wchar_t text[4096] = L"";
    ::GetWindowTextW(Area().StrategyGuard()->LogPane(), text, 4096);
    return text;
  }

  // A user's click on an element where it is painted, and on a strategy's row (its
  // description, away from the check box).
  void Click(UINT item) { EXPECT_TRUE(driver->Click(item)) << item; }
  void ClickTab(UINT tabs, int index) { EXPECT_TRUE(driver->ClickTab(tabs, index)) << tabs << "/" << index; }
  // The area's page `tab`, opened as the user does: the header's button, then its head.
  void ShowPage(int tab) {
    Click(CMainDlg::kItemIntegrity);
    ClickTab(CQuorvaneUIHandler::kTabCtrl, tab);
  }
  // The area's own tab control (other areas' layouts use its id too).
  CUiTabCtrl* AreaTabs() {
    CUiWindow* tabs = main->FindChildByCmdID(CQuorvaneUIHandler::kTabCtrl);
    return tabs ? tabs->AsTabCtrl() : nullptr;
  }
  void ClickRow(const std::wstring& name) {
    const int row = RowOf(name);
    EXPECT_TRUE(row >= 0 && qvtest::ClickGridCell(Grid(), row, Page::kColDescriptor)) << "no row " << name;
  }

  // What the view sends: an element's command; the area tab control's change
  // notification (true when vetoed); any message, through the main window's map.
  void Command(UINT item) {
    UINMCOMMAND nm{{frame, IDC_UIVIEW, UINM_COMMAND}, item, "button"};
    Dispatch(WM_NOTIFY, IDC_UIVIEW, reinterpret_cast<LPARAM>(&nm));
  }
  bool TabChange(int newTab, BOOL* handled) {
    UINMTABSELCHANGE nm{{nullptr, IDC_UIVIEW, UINM_TAB_SELCHANGE}, 364, UINT(newTab), 0, FALSE};
    *handled = Dispatch(WM_NOTIFY, IDC_UIVIEW, reinterpret_cast<LPARAM>(&nm));
    return nm.bCancel != FALSE;
  }
  BOOL Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    return main->ProcessWindowMessage(frame, message, wParam, lParam, result);
  }

  static constexpr UINT kSentinel = 1600;  // a header-only frame that nobody else takes
  testenv::LoopbackPeer peer;
  testenv::AgentLinkTestWindow sentinel;
  ModalScript script;
  UiDialogDriver* driver = nullptr;
  CMainDlg* main = nullptr;
  HWND frame = nullptr;
};
