#pragma once
// The page "服务器设置" of the system-management area (layout 521): the monitoring
// service's command and data ports and the client-termination password. It keeps
// nothing itself: it asks the service for the ports when initialised (1525) and sends
// what the user applies (1525 with the ports, 1527 with the password). Administrators only.
#include <windows.h>

#include "console/AgentLinkWindow.h"
#include "console/AgentMessageId.h"
#include "controls/CEditEx.h"
#include "platform/MessageMap.h"
#include "uiwin/UiNotify.h"

class CUiDialogHost;

class CSMServerConfigUIHandler {
 public:
  enum : UINT {
    kCommandPort = 210,
    kPassword = 211,
    kApply = 212,
    kDataPort = 238,
    kSettingsMessage = 1525,
  };

  explicit CSMServerConfigUIHandler(CUiDialogHost* owner);
  ~CSMServerConfigUIHandler();
  CSMServerConfigUIHandler(const CSMServerConfigUIHandler&) = delete;
  CSMServerConfigUIHandler& operator=(const CSMServerConfigUIHandler&) = delete;

  int Init();
  int UnInit();

  BEGIN_MSG_MAP_EX(CSMServerConfigUIHandler)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_COMMAND, OnUiCommand)
    MESSAGE_HANDLER(kSettingsMessage, OnSettingsMessage)
    MESSAGE_HANDLER(AGENT_LINK_CONNECTED_MESSAGE, OnLinkConnected)
  END_MSG_MAP()

  // The service's ports (at least 8 bytes) into the port fields the user has not changed
  // since they were last filled; 1 when taken, 0 for a shorter payload.
  int OnSettings(size_t length, const void* payload);
  void OnApply();

 private:
  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnSettingsMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  // The link stands (again): the ports are asked for once more.
  LRESULT OnLinkConnected(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);

  CUiDialogHost* m_owner;
  AgentLinkWindow m_registration;
  CEditEx m_commandPort;
  CEditEx m_dataPort;
  CEditEx m_password;
};
