#pragma once

#include "AgentLinkFrameHeader.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// Reassembles service-link frames from a byte stream. Plain C++ with no
// platform calls, so that it can be fuzzed natively.
//
// The caller receives straight into Space() (at most SpaceSize() bytes, which
// is never more than the current header or payload still misses) and then calls
// Commit() with the count. Payloads of up to kInlineCapacity bytes use the
// inline buffer; larger ones get a heap buffer that grows as the bytes arrive
// (from kFirstHeapCapacity, doubling, up to the exact size), so a header that
// announces a large payload costs nothing until the payload comes. Every
// payload is followed by kPadding zero bytes, so a text payload without its own
// terminator cannot be over-read.
//
// A completed frame is handed out as a Frame that keeps its payload valid until
// Release(). While the inline buffer is lent out like that (a receiver is still
// handling the frame), a further small frame goes to a heap buffer instead, so
// a nested read never overwrites a payload that is still in use.
class AgentLinkFrameAssembler {
 public:
  enum : uint32_t {
    kInlineCapacity = 4096,
    kMaxPayload = 16u * 1024u * 1024u,
    kFirstHeapCapacity = 64u * 1024u,
    kPadding = 4,
  };

  enum Status {
    NeedMore,     // the current header or payload is not complete yet
    FrameReady,   // a frame was completed and handed out
    TooLong,      // a header announced more than kMaxPayload bytes
    OutOfMemory,  // the payload buffer could not be allocated
  };

  class Frame {
   public:
    Frame() = default;
    Frame(Frame&&) = default;
    Frame& operator=(Frame&&) = default;
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;

    const AgentLinkFrameHeader& Header() const { return m_header; }
    uint32_t Length() const { return m_header.length; }
    // Null for a header-only frame; otherwise Length() bytes followed by
    // kPadding zero bytes.
    const unsigned char* Payload() const { return m_payload; }
    bool IsInline() const { return m_inline; }

   private:
    friend class AgentLinkFrameAssembler;
    AgentLinkFrameHeader m_header{};
    const unsigned char* m_payload = nullptr;
    std::unique_ptr<unsigned char[]> m_heap;
    bool m_inline = false;
  };

  AgentLinkFrameAssembler();
  AgentLinkFrameAssembler(const AgentLinkFrameAssembler&) = delete;
  AgentLinkFrameAssembler& operator=(const AgentLinkFrameAssembler&) = delete;

  // Back to the header phase; a partly received frame is dropped. A frame
  // that is still lent out stays valid until it is released.
  void Reset();

  unsigned char* Space();
  size_t SpaceSize() const;

  // `count` bytes (at most SpaceSize()) were written to Space(). On
  // FrameReady, `frame` holds the completed frame. After TooLong or
  // OutOfMemory nothing more is accepted until Reset().
  Status Commit(size_t count, Frame& frame);

  // The receiver is done with the frame: its memory may be reused.
  void Release(Frame& frame);

  // Copies `size` bytes through Space()/Commit() and calls onFrame(Frame&)
  // for each completed frame, releasing it afterwards. Stops at the first
  // error and returns it; otherwise NeedMore.
  template <class OnFrame>
  Status Feed(const unsigned char* data, size_t size, OnFrame&& onFrame);

  bool InPayload() const { return m_inPayload; }
  bool Failed() const { return m_failure != NeedMore; }
  bool InlineLent() const { return m_inlineLent; }
  uint32_t Expected() const { return m_expected; }
  uint32_t Received() const { return m_received; }

 private:
  Status BeginPayload();
  bool GrowPayload();
  void CompletePayload(Frame& frame);
  void CompleteHeaderOnly(Frame& frame);

  unsigned char m_headerBytes[AgentLinkFrameHeader::kSize];
  AgentLinkFrameHeader m_header{};
  bool m_inPayload = false;
  Status m_failure = NeedMore;  // sticky until Reset()
  bool m_inlineLent = false;
  uint32_t m_expected = AgentLinkFrameHeader::kSize;
  uint32_t m_received = 0;
  uint32_t m_capacity = 0;                  // payload bytes m_payload can take
  unsigned char* m_payload = nullptr;       // current payload buffer
  std::unique_ptr<unsigned char[]> m_heap;  // owns m_payload when not inline
  unsigned char m_inlineBuffer[kInlineCapacity + kPadding];
};

template <class OnFrame>
AgentLinkFrameAssembler::Status AgentLinkFrameAssembler::Feed(const unsigned char* data,
                                                              size_t size, OnFrame&& onFrame) {
  while (size > 0) {
    if (m_failure != NeedMore) return m_failure;
    size_t n = SpaceSize();
    if (n > size) n = size;
    unsigned char* dst = Space();
    for (size_t i = 0; i < n; ++i) dst[i] = data[i];
    data += n;
    size -= n;
    Frame frame;
    Status s = Commit(n, frame);
    if (s == FrameReady) {
      onFrame(frame);
      Release(frame);
    } else if (s != NeedMore)
      return s;
  }
  return NeedMore;
}
