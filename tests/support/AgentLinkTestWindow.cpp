#include "support/AgentLinkTestWindow.h"

#include "console/AgentLinkPayloadInfo.h"
#include "console/AgentMessageId.h"
#include "console/CAgentLink.h"

namespace testenv {

namespace {
const wchar_t kClassName[] = L"QvAgentLinkTestWindow";
}

AgentLinkTestWindow::AgentLinkTestWindow() {
  static bool registered = false;
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  if (!registered) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &AgentLinkTestWindow::WndProc;
    wc.hInstance = instance;
    wc.lpszClassName = kClassName;
    registered = ::RegisterClassW(&wc) != 0;
  }
  hwnd_ = ::CreateWindowExW(0, kClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                            nullptr, instance, this);
}

AgentLinkTestWindow::~AgentLinkTestWindow() {
  if (hwnd_) ::DestroyWindow(hwnd_);
}

LRESULT CALLBACK AgentLinkTestWindow::WndProc(HWND hwnd, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  auto* self = reinterpret_cast<AgentLinkTestWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self && self->hwnd_ == hwnd) return self->Handle(message, wParam, lParam);
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT AgentLinkTestWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == AGENT_LINK_SOCKET_MESSAGE || message == WM_TIMER) {
    AgentLinkHook(hwnd_, message, wParam, lParam);
    return 0;
  }
  if (message == AGENT_LINK_CONNECTED_MESSAGE) {
    ++connectedNotices;
    return 0;
  }
  if (message >= 1525 && message <= 1700) {
    LinkDelivery d;
    d.message = message;
    d.wParam = wParam;
    d.lParam = lParam;
    d.headerOnly = lParam == 0;
    const unsigned char* payload = reinterpret_cast<const unsigned char*>(lParam);
    if (d.headerOnly) {
      d.frameWParam = static_cast<uint32_t>(wParam);
    } else if (message >= AGENT_MSG_SERVER_SETTINGS && message <= AGENT_MSG_SET_CLIENT_PASSWORD) {
      // frames of types 2 and 3: wParam is the payload length
      d.length = static_cast<uint32_t>(wParam);
    } else {
      const auto* info = reinterpret_cast<const AgentLinkPayloadInfo*>(wParam);
      d.frameWParam = info->wParam;
      d.length = info->length;
    }
    if (payload) {
      d.payload.assign(payload, payload + d.length);
      d.zeroAfterPayload = payload[d.length] == 0 && payload[d.length + 1] == 0;
    }
    deliveries.push_back(d);
    if (onDelivery) onDelivery(d);  // a copy: a nested loop may add deliveries
    return 0;
  }
  return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace testenv
