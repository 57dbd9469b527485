#pragma once
// The console's main window; its modal loop is the program's main loop. The six areas
// are the pages of tab control 111 (layout 103), switched by the header's area buttons;
// one page handler per area that the current user may use, all sharing this window:
// every message that the window's own map leaves goes through the handlers' maps in a
// fixed order. Keeps the tray icon, and the service link from its initialisation to
// its destruction.
#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <vector>

#include "console/AgentMessageId.h"
#include "uiwin/CUiDialogImpl.h"
#include "uiwin/CWHRoundRectFrameHelper.h"
#include "uiwin/UiNotify.h"

class CSystemManagementUIHandler;
class CQuorvaneUIHandler;
class CSafetoolUIHandler;
class CLogCenterUIHandler;
class CReportCenterUIHandler;
class CSecurityReinforceUIHandler;

class CMainDlg : public CUiDialogImpl<CMainDlg>, public CWHRoundRectFrameHelper<CMainDlg> {
 public:
  enum : UINT {
    kLayoutId = 103,
    kItemClose = 101,
    kItemMaxRestore = 102,
    kItemMinimize = 103,
    kItemUpdate = 104,
    kItemSystemManagement = 105,  // the area buttons 105 to 110, page 0 to 5
    kItemIntegrity = 106,
    kItemReinforce = 107,
    kItemLogCenter = 108,
    kItemReportCenter = 109,
    kItemSafeTool = 110,
    kTabCtrl = 111,
    kAgentSocketMessage = 1798,
    kTrayMessage = 2025,
    kMenuAbout = 235,
    kMenuUpdate = 236,
    kTrayIconId = 1,
  };

  // The service link goes to agentPort on the loopback address (tests: a peer's).
  explicit CMainDlg(unsigned short agentPort = AGENT_LINK_DEFAULT_PORT);
  ~CMainDlg() override;

  BOOL PreTranslateMessage(MSG*) override { return FALSE; }

  // The page handlers; null for an area that the user may not use.
  CSystemManagementUIHandler* SystemManagement() const { return m_pSystemManagement.get(); }
  CQuorvaneUIHandler* Integrity() const { return m_pIntegrity.get(); }
  CSafetoolUIHandler* SafeTool() const { return m_pSafeTool.get(); }
  CLogCenterUIHandler* LogCenter() const { return m_pLogCenter.get(); }
  CReportCenterUIHandler* ReportCenter() const { return m_pReportCenter.get(); }
  CSecurityReinforceUIHandler* Reinforce() const { return m_pReinforce.get(); }

  BEGIN_MSG_MAP_EX(CMainDlg)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    NOTIFY_ID_HANDLER(IDC_UIVIEW, OnUiCommand)
    CHAIN_MSG_MAP(CUiDialogImpl<CMainDlg>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<CMainDlg>)
    MESSAGE_HANDLER(kAgentSocketMessage, OnAgentSocketMessage)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_SYSCOMMAND, OnSysCommand)
    MESSAGE_HANDLER(kTrayMessage, OnTrayNotify)
    MESSAGE_HANDLER(WM_SHOWWINDOW, OnShowWindow)
    MESSAGE_HANDLER(BringBackMessage(), OnBringBack)
    COMMAND_ID_HANDLER(kMenuAbout, OnMenuAbout)
    COMMAND_ID_HANDLER(kMenuUpdate, OnMenuUpdate)
    if (RouteToPages(hWnd, uMsg, wParam, lParam, lResult)) return TRUE;
    REFLECT_NOTIFICATIONS()
  END_MSG_MAP()

 private:
  // The page handlers' maps in their fixed order; TRUE when one handled the message.
  BOOL RouteToPages(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult);

  LRESULT OnTimer(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnAgentSocketMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnInitDialog(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnTrayNotify(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnShowWindow(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnBringBack(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnMenuAbout(WORD wNotifyCode, WORD wID, HWND hWndCtl, BOOL& bHandled);
  LRESULT OnMenuUpdate(WORD wNotifyCode, WORD wID, HWND hWndCtl, BOOL& bHandled);

  // The pages' teardown and the tray icon's removal, once the window is gone.
  void TearDownPages();
  // The top-level windows it owns (its pages' tooltips) are let go of before it goes.
  void DisownPopups();

  void OnBtnClose();
  void OnBtnMaxRestore();
  void OnBtnMinimize();
  void OnBtnUpdate();
  // Area buttons: page n of the tab control, with its button the one disabled.
  void OnTabSystemManagement();
  void OnTabIntegrity();
  void OnTabSecurityReinforce();
  void OnTabLogCenter();
  void OnTabReportCenter();
  void OnTabSafeTool();
  // The other areas' shared body: the page if the user's permission has the bit, else
  // the refusal.
  void OnTabArea(UINT item, int permission);
  void ShowPage(UINT item);
  // The dialog that stands over this window comes back from the tray when it was
  // minimised there; shown by the tray or by a second start, this window alone would
  // take no input. Posted when this window is shown, so that the dialog comes over it.
  static UINT BringBackMessage();
  void BringBackStandingDialog();
  // The tray icon's menu: "升级..." (greyed unless the user is an administrator) and
  // "关于...". The caller destroys it.
  HMENU CreateTrayMenu() const;
  void ShowTrayMenu();

  std::unique_ptr<CSystemManagementUIHandler> m_pSystemManagement;
  std::unique_ptr<CQuorvaneUIHandler> m_pIntegrity;
  std::unique_ptr<CSafetoolUIHandler> m_pSafeTool;
  std::unique_ptr<CLogCenterUIHandler> m_pLogCenter;
  std::unique_ptr<CReportCenterUIHandler> m_pReportCenter;
  std::unique_ptr<CSecurityReinforceUIHandler> m_pReinforce;
  NOTIFYICONDATAW m_trayIcon;
  BOOL m_bTrayIconAdded = FALSE;
  BOOL m_bPagesUp = FALSE;  // initialised and not yet torn down
  std::vector<HWND> m_disowned;  // go with the pages
  unsigned short m_agentPort;
};
