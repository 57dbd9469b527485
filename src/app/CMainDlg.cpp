#include "app/CMainDlg.h"

#include "app/ConsoleStartup.h"
#include "console/CAboutDlg.h"
#include "console/CAgentLink.h"
#include "console/CAgentLinkManager.h"
#include "console/CurrentUser.h"
#include "console/SingleInstance.h"
#include "integrity/CQuorvaneUIHandler.h"
#include "logcenter/CLogCenterUIHandler.h"
#include "platform/CAppModule.h"
#include "reinforce/CSecurityReinforceUIHandler.h"
#include "reports/CReportCenterUIHandler.h"
#include "sysmgmt/CSafetoolUIHandler.h"
#include "sysmgmt/CSystemManagementUIHandler.h"
#include "uiwin/UiMessageBox.h"
#include "uiwin/UiModalRun.h"
#include "uiwin/UiString.h"
#include "uiwin/UiSystemModalRun.h"

namespace {

// The system commands as the header buttons send them.
const WPARAM kCmdRestore = 0xF122;
const WPARAM kCmdMaximize = 0xF032;
const WPARAM kCmdMinimize = 0xF022;

const UINT kStrProductTitle = 1;
const UINT kTrayIconResource = 100;

struct MenuDeleter {
  void operator()(HMENU menu) const { ::DestroyMenu(menu); }
};

}  // namespace

static_assert(CQuorvaneUIHandler::kAreaTabCtrl == CMainDlg::kTabCtrl, "the integrity area finds its page by it");

CMainDlg::CMainDlg(unsigned short agentPort)
    : CUiDialogImpl<CMainDlg>(kLayoutId), m_trayIcon(), m_agentPort(agentPort) {
  LoadConsoleUiResources();
  m_pSystemManagement.reset(new CSystemManagementUIHandler(this));
  const int permission = g_currentUserPermission;
  if (permission & kPermissionIntegrity) m_pIntegrity.reset(new CQuorvaneUIHandler(this));
  if (permission & kPermissionReinforce) m_pReinforce.reset(new CSecurityReinforceUIHandler(this));
  if (permission & kPermissionLogCenter) m_pLogCenter.reset(new CLogCenterUIHandler(this));
  if (permission & kPermissionReportCenter) m_pReportCenter.reset(new CReportCenterUIHandler(this));
  if (permission & kPermissionSafeTools) m_pSafeTool.reset(new CSafetoolUIHandler(this));
}

CMainDlg::~CMainDlg() {
  // A window still up is torn down first, while its handlers exist.
  if (::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
  TearDownPages();
  m_pSystemManagement.reset();
  m_pIntegrity.reset();
  m_pReinforce.reset();
  m_pLogCenter.reset();
  m_pReportCenter.reset();
  m_pSafeTool.reset();
  g_agentLinkManager.Destroy();
}

LRESULT CMainDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  g_agentLinkManager.Create(m_hWnd, kAgentSocketMessage, m_agentPort);
  if (m_pSystemManagement) m_pSystemManagement->Init();
  if (m_pIntegrity) m_pIntegrity->Init();
  if (m_pReinforce) m_pReinforce->Init();
  if (m_pLogCenter) m_pLogCenter->Init();
  if (m_pReportCenter) m_pReportCenter->Init();
  if (m_pSafeTool) m_pSafeTool->Init();
  m_bPagesUp = TRUE;

  if (g_currentUserType != kUserTypeAdministrator) EnableItem(kItemUpdate, FALSE);
  EnableItem(kItemSystemManagement, FALSE);

  m_trayIcon.cbSize = sizeof m_trayIcon;
  m_trayIcon.hWnd = m_hWnd;
  m_trayIcon.uID = kTrayIconId;
  m_trayIcon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  m_trayIcon.uCallbackMessage = kTrayMessage;
  m_trayIcon.hIcon = ::LoadIconW(g_module.GetResourceInstance(), MAKEINTRESOURCEW(kTrayIconResource));
  if (LPCWSTR tip = UiString::Get(kStrProductTitle))
    lstrcpynW(m_trayIcon.szTip, tip, sizeof m_trayIcon.szTip / sizeof m_trayIcon.szTip[0]);
  m_bTrayIconAdded = ::Shell_NotifyIconW(NIM_ADD, &m_trayIcon);

  // A second start brings the console forward, now that the login window is gone.
  g_sharedInstanceWindow = m_hWnd;
  return 0;
}

// Under Wine the window leaves the screen only when it is destroyed, after everything
// in it: the pages (their host trees of a whole site) wait outside it, in their view,
// and go once it is gone, with the tray icon, whose removal waits seconds for the tray
// without a window manager.
LRESULT CMainDlg::OnDestroy(UINT, WPARAM, LPARAM, BOOL&) {
  if (m_bPagesUp && ::IsWindow(GetViewHWnd())) ::SetParent(GetViewHWnd(), HWND_MESSAGE);
  if (g_sharedInstanceWindow == m_hWnd) g_sharedInstanceWindow = nullptr;
  return 0;
}

void CMainDlg::TearDownPages() {
  if (!m_bPagesUp) return;
  m_bPagesUp = FALSE;
  if (m_pSystemManagement) m_pSystemManagement->UnInit();
  if (m_pIntegrity) m_pIntegrity->Uninit();
  if (m_pReinforce) m_pReinforce->UnInit();
  if (m_pLogCenter) m_pLogCenter->UnInit();
  if (m_pReportCenter) m_pReportCenter->UnInit();
  if (m_pSafeTool) m_pSafeTool->UnInit();
  if (m_bTrayIconAdded) ::Shell_NotifyIconW(NIM_DELETE, &m_trayIcon);
  m_bTrayIconAdded = FALSE;
  if (::IsWindow(GetViewHWnd())) ::DestroyWindow(GetViewHWnd());
  for (HWND popup : m_disowned)
    if (::IsWindow(popup)) ::DestroyWindow(popup);
  m_disowned.clear();
}

// Under Wine a window destroys the windows it owns, some fifty tooltips of its pages,
// before it leaves the screen: they are nobody's while it goes, and go after it.
void CMainDlg::DisownPopups() {
  struct Search {
    static BOOL CALLBACK Next(HWND window, LPARAM self) {
      auto* dlg = reinterpret_cast<CMainDlg*>(self);
      if (::GetWindow(window, GW_OWNER) == dlg->m_hWnd) dlg->m_disowned.push_back(window);
      return TRUE;
    }
  };
  ::EnumThreadWindows(::GetCurrentThreadId(), &Search::Next, reinterpret_cast<LPARAM>(this));
  for (HWND popup : m_disowned) ::SetWindowLongPtrW(popup, GWLP_HWNDPARENT, 0);
}

BOOL CMainDlg::RouteToPages(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) {
  CHAIN_MSG_MAP_MEMBER_PTR(m_pSystemManagement)
  CHAIN_MSG_MAP_MEMBER_PTR(m_pIntegrity)
  CHAIN_MSG_MAP_MEMBER_PTR(m_pSafeTool)
  CHAIN_MSG_MAP_MEMBER_PTR(m_pLogCenter)
  CHAIN_MSG_MAP_MEMBER_PTR(m_pReportCenter)
  CHAIN_MSG_MAP_MEMBER_PTR(m_pReinforce)
  return FALSE;
}

// Timer 1 is the link's reconnection; no timer message goes on to the pages.
LRESULT CMainDlg::OnTimer(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
  AgentLinkHook(m_hWnd, uMsg, wParam, lParam);
  return 0;
}

LRESULT CMainDlg::OnAgentSocketMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
  AgentLinkHook(m_hWnd, uMsg, wParam, lParam);
  return 0;
}

LRESULT CMainDlg::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  if (pnmh->code != UINM_COMMAND) {
    bHandled = FALSE;
    return 0;
  }
  switch (reinterpret_cast<UINMCOMMAND*>(pnmh)->uItemID) {
    case kItemClose:
      OnBtnClose();
      break;
    case kItemMaxRestore:
      OnBtnMaxRestore();
      break;
    case kItemMinimize:
      OnBtnMinimize();
      break;
    case kItemUpdate:
      OnBtnUpdate();
      break;
    case kItemSystemManagement:
      OnTabSystemManagement();
      break;
    case kItemIntegrity:
      OnTabIntegrity();
      break;
    case kItemReinforce:
      OnTabSecurityReinforce();
      break;
    case kItemLogCenter:
      OnTabLogCenter();
      break;
    case kItemReportCenter:
      OnTabReportCenter();
      break;
    case kItemSafeTool:
      OnTabSafeTool();
      break;
    default:
      bHandled = FALSE;  // the pages' elements
      break;
  }
  return 0;
}

void CMainDlg::OnBtnClose() {
  if (UiMessageBox(L"您确定关闭么？", L"确定", MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  DisownPopups();
  EndDialog(IDCANCEL);
}

void CMainDlg::OnBtnMaxRestore() {
  SendMessage(WM_SYSCOMMAND, ::IsZoomed(m_hWnd) ? kCmdRestore : kCmdMaximize, 0);
}

void CMainDlg::OnBtnMinimize() {
  SendMessage(WM_SYSCOMMAND, kCmdMinimize, 0);
  ShowWindow(SW_HIDE);  // the tray icon brings it back
}

void CMainDlg::OnBtnUpdate() {
  OnTabSystemManagement();
  if (m_pSystemManagement) m_pSystemManagement->ShowUpdatePage();
}

void CMainDlg::OnTabSystemManagement() { ShowPage(kItemSystemManagement); }

void CMainDlg::OnTabIntegrity() { OnTabArea(kItemIntegrity, kPermissionIntegrity); }
void CMainDlg::OnTabSecurityReinforce() { OnTabArea(kItemReinforce, kPermissionReinforce); }
void CMainDlg::OnTabLogCenter() { OnTabArea(kItemLogCenter, kPermissionLogCenter); }
void CMainDlg::OnTabReportCenter() { OnTabArea(kItemReportCenter, kPermissionReportCenter); }
void CMainDlg::OnTabSafeTool() { OnTabArea(kItemSafeTool, kPermissionSafeTools); }

void CMainDlg::OnTabArea(UINT item, int permission) {
  if (!(g_currentUserPermission & permission)) {
    UiMessageBox(L"对不起，您没有权限访问此页", L"权限不足", MB_OK);
    return;
  }
  ShowPage(item);
  if (item == kItemReportCenter && m_pReportCenter) m_pReportCenter->Refresh();
}

void CMainDlg::ShowPage(UINT item) {
  SetTabCurSel(kTabCtrl, static_cast<int>(item - kItemSystemManagement));
  for (UINT button = kItemSystemManagement; button <= kItemSafeTool; ++button)
    EnableItem(button, button != item);
}

LRESULT CMainDlg::OnSysCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  if ((wParam & 0xFFF0) == SC_CLOSE) {
    OnBtnClose();
    return 0;
  }
  return FollowMaxButton(wParam, kItemMaxRestore, bHandled);
}

LRESULT CMainDlg::OnTrayNotify(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  if (wParam != kTrayIconId) return 0;
  if (lParam == WM_LBUTTONDBLCLK) {
    ShowWindow(SW_SHOWNORMAL);
    BringBackStandingDialog();
    // In front goes the window that has the input: this one, or the dialog over it.
    ::SetForegroundWindow(UiModalRun::OwnerFor(m_hWnd));
  } else if (lParam == WM_RBUTTONUP) {
    ShowTrayMenu();
  }
  return 0;
}

UINT CMainDlg::BringBackMessage() {
  static const UINT message = ::RegisterWindowMessageW(L"QuorvaneBringBackDialog");
  return message;
}

void CMainDlg::BringBackStandingDialog() {
  HWND front = UiModalRun::OwnerFor(m_hWnd);
  if (front != m_hWnd && CUiDialogImplCore::InTray(front)) ::SendMessageW(front, WM_SYSCOMMAND, SC_RESTORE, 0);
}

LRESULT CMainDlg::OnShowWindow(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  if (wParam) PostMessage(BringBackMessage());
  bHandled = FALSE;
  return 0;
}

LRESULT CMainDlg::OnBringBack(UINT, WPARAM, LPARAM, BOOL&) {
  if (IsWindowVisible()) BringBackStandingDialog();
  return 0;
}

HMENU CMainDlg::CreateTrayMenu() const {
  HMENU menu = ::CreatePopupMenu();
  if (!menu) return nullptr;
  ::AppendMenuW(menu, MF_STRING, kMenuUpdate, L"升级...");
  ::AppendMenuW(menu, MF_STRING, kMenuAbout, L"关于...");
  if (g_currentUserType != kUserTypeAdministrator)
    ::EnableMenuItem(menu, kMenuUpdate, MF_BYCOMMAND | MF_GRAYED);
  return menu;
}

void CMainDlg::ShowTrayMenu() {
  std::unique_ptr<std::remove_pointer<HMENU>::type, MenuDeleter> menu(CreateTrayMenu());
  if (!menu) return;
  POINT at;
  ::GetCursorPos(&at);
  // The menu closes when the user clicks elsewhere only if our window is in front: the
  // one that has the user's input, a dialog over this one when one stands.
  ::SetForegroundWindow(UiModalRun::OwnerFor(m_hWnd));
  // Its commands go to the view, which hands them to this window.
  {
    UiSystemModalRun run;
    ::TrackPopupMenu(menu.get(), TPM_RIGHTBUTTON, at.x, at.y, 0, GetViewHWnd(), nullptr);
  }
  ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
}

LRESULT CMainDlg::OnMenuAbout(WORD, WORD, HWND, BOOL&) {
  // Owned by this window or, when a dialog, the system's box or a chooser stands over
  // it, by that one, whether or not the click on the tray took the activation away.
  CAboutDlg about;
  about.SetShowUnowned(TRUE);
  about.DoModal(m_hWnd);
  return 0;
}

LRESULT CMainDlg::OnMenuUpdate(WORD, WORD, HWND, BOOL&) {
  OnBtnUpdate();
  return 0;
}
