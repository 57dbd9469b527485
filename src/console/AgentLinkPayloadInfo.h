#pragma once

#include <cstdint>

// Passed by address as the window message's wParam when a frame of type 0 or 1
// with a payload is delivered; lParam points at the payload.
struct AgentLinkPayloadInfo {
  uint32_t wParam;  // the frame's wParam (for type 1: the host's IPv4 address)
  uint32_t length;  // payload bytes
};
