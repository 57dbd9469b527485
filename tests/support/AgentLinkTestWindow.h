#pragma once
// A hidden window for tests of the service link: it passes socket events and
// timer messages to AgentLinkHook, as the main window does, and records every
// frame delivered to it (message ids 1525 to 1700) with a copy of the payload
// taken while the payload is valid.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace testenv {

struct LinkDelivery {
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  bool headerOnly = false;   // lParam was 0
  uint32_t frameWParam = 0;  // from AgentLinkPayloadInfo, or wParam of a header-only frame
  uint32_t length = 0;       // payload length
  std::vector<unsigned char> payload;
  bool zeroAfterPayload = false;  // the buffer held zero bytes behind the payload
};

class AgentLinkTestWindow {
 public:
  AgentLinkTestWindow();
  ~AgentLinkTestWindow();
  AgentLinkTestWindow(const AgentLinkTestWindow&) = delete;
  AgentLinkTestWindow& operator=(const AgentLinkTestWindow&) = delete;

  HWND Handle() const { return hwnd_; }

  // Called for every recorded delivery after it is recorded (nested loops,
  // checks on the live payload pointer).
  std::function<void(const LinkDelivery&)> onDelivery;

  std::vector<LinkDelivery> deliveries;
  // How often the link said it has connected.
  int connectedNotices = 0;

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
};

}  // namespace testenv
