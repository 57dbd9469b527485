#pragma once

// Differential check of AgentLinkFrameAssembler, shared by the libFuzzer
// target and the replay test: the input's first four bytes seed the chunk
// sizes and the hold pattern, the rest is the byte stream. The stream is
// reassembled in those chunks, with some frames held back while later ones
// arrive (as a receiver running a nested loop would), and compared with a
// straight decode of the whole stream.
//
// Returns null when everything matched, else a short description.

#include "AgentLinkFrameAssembler.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace agentlink_check {

struct RefFrame {
  AgentLinkFrameHeader header;
  size_t offset;  // payload offset in the stream
};

struct Held {
  AgentLinkFrameAssembler::Frame frame;
  size_t index;
};

class Rng {
 public:
  explicit Rng(uint32_t seed) : m_state(seed ? seed : 0x9e3779b9u) {}
  uint32_t Next() {
    m_state ^= m_state << 13;
    m_state ^= m_state >> 17;
    m_state ^= m_state << 5;
    return m_state;
  }

 private:
  uint32_t m_state;
};

inline bool SameFrame(const AgentLinkFrameAssembler::Frame& f, const RefFrame& r,
                      const unsigned char* stream) {
  const AgentLinkFrameHeader& h = f.Header();
  if (h.length != r.header.length || h.type != r.header.type || h.wParam != r.header.wParam ||
      h.lParam != r.header.lParam)
    return false;
  if (h.length == 0) return f.Payload() == nullptr;
  if (!f.Payload() || std::memcmp(f.Payload(), stream + r.offset, h.length) != 0) return false;
  for (uint32_t i = 0; i < AgentLinkFrameAssembler::kPadding; ++i)
    if (f.Payload()[h.length + i] != 0) return false;
  return true;
}

inline const char* CheckStream(const uint8_t* input, size_t size) {
  if (size < 4) return nullptr;
  Rng rng(AgentLinkFrameHeader::ReadU32(input));
  const unsigned char* stream = input + 4;
  const size_t total = size - 4;

  // Straight decode.
  std::vector<RefFrame> ref;
  bool refTooLong = false;
  size_t pos = 0;
  while (total - pos >= AgentLinkFrameHeader::kSize) {
    AgentLinkFrameHeader h = AgentLinkFrameHeader::Read(stream + pos);
    if (h.length > AgentLinkFrameAssembler::kMaxPayload) {
      refTooLong = true;
      break;
    }
    if (total - pos - AgentLinkFrameHeader::kSize < h.length) break;
    ref.push_back(RefFrame{h, pos + AgentLinkFrameHeader::kSize});
    pos += AgentLinkFrameHeader::kSize + h.length;
  }

  AgentLinkFrameAssembler asm_;
  std::vector<Held> held;
  size_t delivered = 0;
  size_t fed = 0;
  AgentLinkFrameAssembler::Status last = AgentLinkFrameAssembler::NeedMore;

  while (fed < total && last != AgentLinkFrameAssembler::TooLong) {
    uint32_t r = rng.Next();
    size_t chunk;
    switch (r & 3) {
      case 0:
        chunk = 1 + (r >> 8) % 3;
        break;
      case 1:
        chunk = 1 + (r >> 8) % 32;
        break;
      case 2:
        chunk = 1 + (r >> 8) % 5000;
        break;
      default:
        chunk = 1 + (r >> 8) % 70000;
        break;
    }
    if (chunk > total - fed) chunk = total - fed;

    while (chunk > 0) {
      size_t space = asm_.SpaceSize();
      if (space == 0 || asm_.Space() == nullptr) return "assembler offers no space while healthy";
      size_t n = space < chunk ? space : chunk;
      std::memcpy(asm_.Space(), stream + fed, n);
      fed += n;
      chunk -= n;

      bool lentBefore = asm_.InlineLent();
      AgentLinkFrameAssembler::Frame frame;
      last = asm_.Commit(n, frame);
      if (last == AgentLinkFrameAssembler::TooLong) break;
      if (last == AgentLinkFrameAssembler::OutOfMemory)
        return nullptr;  // allocator gave up: nothing to compare
      if (last != AgentLinkFrameAssembler::FrameReady) continue;

      if (delivered >= ref.size()) return "more frames than the stream holds";
      if (!SameFrame(frame, ref[delivered], stream)) return "frame differs from the stream";
      uint32_t len = frame.Length();
      bool wantInline = len > 0 && len <= AgentLinkFrameAssembler::kInlineCapacity && !lentBefore;
      if (frame.IsInline() != wantInline) return "inline buffer use is wrong";

      // Hold some frames (nested delivery), release in LIFO order.
      uint32_t h = rng.Next();
      if (held.size() < 3 && (h & 7) < 3) {
        held.push_back(Held{std::move(frame), delivered});
      } else {
        asm_.Release(frame);
        while (!held.empty() && (h & 0x100)) {
          Held& top = held.back();
          if (!SameFrame(top.frame, ref[top.index], stream)) return "held frame was overwritten";
          asm_.Release(top.frame);
          held.pop_back();
          h >>= 1;
        }
      }
      ++delivered;
    }
  }

  while (!held.empty()) {
    Held& top = held.back();
    if (!SameFrame(top.frame, ref[top.index], stream)) return "held frame was overwritten";
    asm_.Release(top.frame);
    held.pop_back();
  }
  if (asm_.InlineLent()) return "inline buffer still lent after all releases";

  if (delivered != ref.size()) return "frame count differs";
  if (refTooLong != (last == AgentLinkFrameAssembler::TooLong))
    return "length limit not applied as expected";
  if (!refTooLong) {
    // The unfinished tail must be exactly what the assembler still holds.
    size_t rest = total - pos;
    size_t inAsm =
        asm_.InPayload() ? AgentLinkFrameHeader::kSize + asm_.Received() : asm_.Received();
    if (rest != inAsm) return "unfinished tail differs";
  }
  return nullptr;
}

}  // namespace agentlink_check
