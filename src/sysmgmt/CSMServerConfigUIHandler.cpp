#include "sysmgmt/CSMServerConfigUIHandler.h"

#include <algorithm>
#include <cwchar>
#include <string>

#include "console/AgentLinkNotice.h"
#include "console/CAgentLink.h"
#include "console/CAgentLinkManager.h"
#include "console/LinkRecords.h"
#include "platform/WideFormat.h"
#include "uiwin/CUiDialogHost.h"
#include "uiwin/UiMessageBox.h"

namespace {

const int kPortChars = 5;

// The port a text gives (its leading digits); 0 for none, which is no port either.
uint32_t PortOf(const std::wstring& text) {
  return static_cast<uint32_t>(std::wcstoul(text.c_str(), nullptr, 10));
}

// A port the user has changed since the field was last filled is the user's: the
// service's answer (asked again whenever the link comes back) takes only the fields left
// as they were, so applying never sends a value the user did not choose.
void FillUnlessEdited(CEditEx& port, uint32_t value) {
  if (port.SendMessage(EM_GETMODIFY)) return;
  port.SetWindowText(qv::FormatW(L"%u", value).c_str());
  port.SendMessage(EM_SETMODIFY, FALSE);
}

}  // namespace

CSMServerConfigUIHandler::CSMServerConfigUIHandler(CUiDialogHost* owner)
    : m_owner(owner), m_registration{nullptr, kSettingsMessage} {}

CSMServerConfigUIHandler::~CSMServerConfigUIHandler() = default;

int CSMServerConfigUIHandler::Init() {
  m_registration.window = m_owner->GetHWnd();
  CAgentLinkManager::RegisterWindow(m_registration);
  HWND view = m_owner->GetViewHWnd();
  const DWORD field = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL;
  for (CEditEx* port : {&m_commandPort, &m_dataPort}) {
    port->Create(view, nullptr, nullptr, field, 0, port == &m_commandPort ? kCommandPort : kDataPort);
    port->SetInputType(CEditEx::kDigits);
    port->SetLimits(kPortChars, 0, '0', FALSE);
    port->SetNumberRange(0, 65535);
  }
  m_password.Create(view, nullptr, nullptr, field | ES_PASSWORD, 0, kPassword);
  m_password.SendMessage(EM_SETPASSWORDCHAR, L'*');
  m_password.SetInputType(CEditEx::kLettersDigits, L"_", 1);
  m_password.SetLimits(SMServerSettingsRecord::kPasswordChars, 0, '0', FALSE);
  m_password.SetInputMode(CEditEx::kFirstLetter);
  g_agentLinkManager.SendHeaderOnChannel2(0, kSettingsMessage);
  return 0;
}

int CSMServerConfigUIHandler::UnInit() {
  CAgentLinkManager::UnregisterWindow(m_registration);
  return 0;
}

LRESULT CSMServerConfigUIHandler::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  if (reinterpret_cast<UINMCOMMAND*>(pnmh)->uItemID != kApply) {
    bHandled = FALSE;
    return 0;
  }
  OnApply();
  return 0;
}

// The payload is read only while the link is delivering it: the same message
// posted from anywhere else carries a pointer into nowhere.
LRESULT CSMServerConfigUIHandler::OnSettingsMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
  if (!CAgentLink::IsDelivering(uMsg, wParam, lParam)) return 0;
  return OnSettings(static_cast<size_t>(wParam), reinterpret_cast<const void*>(lParam));
}

LRESULT CSMServerConfigUIHandler::OnLinkConnected(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  bHandled = FALSE;  // other pages ask again too
  g_agentLinkManager.SendHeaderOnChannel2(0, kSettingsMessage);
  return 0;
}

int CSMServerConfigUIHandler::OnSettings(size_t length, const void* payload) {
  uint32_t dataPort = 0, commandPort = 0;
  if (!linkpayload::ReadServerPorts(payload, length, &dataPort, &commandPort)) return 0;
  FillUnlessEdited(m_commandPort, commandPort);
  FillUnlessEdited(m_dataPort, dataPort);
  return 1;
}

void CSMServerConfigUIHandler::OnApply() {
  SMServerSettingsRecord record = {};
  record.commandPort = PortOf(m_commandPort.GetWindowText());
  if (!record.commandPort) {
    UiMessageBox(L"请输入命令端口号", L"警告", MB_ICONEXCLAMATION);
    return;
  }
  record.dataPort = PortOf(m_dataPort.GetWindowText());
  if (!record.dataPort) {
    UiMessageBox(L"请输入数据端口号", L"注意", MB_ICONEXCLAMATION);
    return;
  }
  if (!SentOrTellLinkDown(g_agentLinkManager.SendOnChannel2(0, kSettingsMessage, &record, sizeof record))) return;

  std::wstring password = m_password.GetWindowText();
  if (password.empty()) {
    UiMessageBox(L"请输入客户端终止密码", L"注意", MB_ICONEXCLAMATION);
    return;
  }
  password.resize(std::min<size_t>(password.size(), SMServerSettingsRecord::kPasswordChars));
  linkpayload::WriteText16(record.password, SMServerSettingsRecord::kPasswordUnits, password);
  const int sent = g_agentLinkManager.SendOnChannel3(0, AGENT_MSG_SET_CLIENT_PASSWORD, &record, sizeof record);
  ::SecureZeroMemory(&record, sizeof record);
  ::SecureZeroMemory(&password[0], password.size() * sizeof(wchar_t));
  if (!SentOrTellLinkDown(sent)) return;
  UiMessageBox(L"配置已发送给服务", L"应用配置", MB_ICONEXCLAMATION);
}
