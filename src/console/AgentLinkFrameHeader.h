#pragma once

#include <cstddef>
#include <cstdint>

// The 16-byte header in front of every frame on the service link. Fields are
// little-endian on the wire; Read/Write do the byte order explicitly so the
// code does not depend on the host's.
struct AgentLinkFrameHeader {
  enum { kSize = 16 };

  uint32_t length;  // payload bytes after the header, 0 = header-only frame
  uint32_t type;    // 0 to 3
  uint32_t wParam;  // addressing or argument word
  uint32_t lParam;  // message id

  static AgentLinkFrameHeader Read(const unsigned char* bytes) {
    AgentLinkFrameHeader h;
    h.length = ReadU32(bytes);
    h.type = ReadU32(bytes + 4);
    h.wParam = ReadU32(bytes + 8);
    h.lParam = ReadU32(bytes + 12);
    return h;
  }

  void Write(unsigned char* bytes) const {
    WriteU32(bytes, length);
    WriteU32(bytes + 4, type);
    WriteU32(bytes + 8, wParam);
    WriteU32(bytes + 12, lParam);
  }

  static uint32_t ReadU32(const unsigned char* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
  }

  static void WriteU32(unsigned char* p, uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
  }
};

static_assert(sizeof(AgentLinkFrameHeader) == AgentLinkFrameHeader::kSize,
              "wire header is 16 bytes");
