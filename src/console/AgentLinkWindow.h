#pragma once

#include <windows.h>

#include <cstdint>

// One registration: frames with this message id go to this window.
struct AgentLinkWindow {
  HWND window;
  uint32_t messageId;

  bool operator==(const AgentLinkWindow& other) const {
    return window == other.window && messageId == other.messageId;
  }
};
