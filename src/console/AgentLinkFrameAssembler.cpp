#include "AgentLinkFrameAssembler.h"

#include <cstring>
#include <new>

AgentLinkFrameAssembler::AgentLinkFrameAssembler() {
  std::memset(m_headerBytes, 0, sizeof(m_headerBytes));
  std::memset(m_inlineBuffer, 0, sizeof(m_inlineBuffer));
}

void AgentLinkFrameAssembler::Reset() {
  m_inPayload = false;
  m_failure = NeedMore;
  m_expected = AgentLinkFrameHeader::kSize;
  m_received = 0;
  m_capacity = 0;
  m_payload = nullptr;
  m_heap.reset();
}

unsigned char* AgentLinkFrameAssembler::Space() {
  if (m_failure != NeedMore) return nullptr;
  unsigned char* base = m_inPayload ? m_payload : m_headerBytes;
  return base + m_received;
}

size_t AgentLinkFrameAssembler::SpaceSize() const {
  if (m_failure != NeedMore) return 0;
  uint32_t end = m_inPayload && m_capacity < m_expected ? m_capacity : m_expected;
  return size_t(end - m_received);
}

AgentLinkFrameAssembler::Status AgentLinkFrameAssembler::Commit(size_t count, Frame& frame) {
  if (m_failure != NeedMore) return m_failure;
  if (count > SpaceSize())
    count = SpaceSize();  // never step past the buffer, whatever the caller says
  m_received += static_cast<uint32_t>(count);
  if (m_received < m_expected) {
    if (m_inPayload && m_received == m_capacity && !GrowPayload()) return OutOfMemory;
    return NeedMore;
  }

  if (m_inPayload) {
    CompletePayload(frame);
    return FrameReady;
  }

  m_header = AgentLinkFrameHeader::Read(m_headerBytes);
  m_received = 0;
  if (m_header.length == 0) {
    CompleteHeaderOnly(frame);
    return FrameReady;
  }
  return BeginPayload();
}

AgentLinkFrameAssembler::Status AgentLinkFrameAssembler::BeginPayload() {
  if (m_header.length > kMaxPayload) {
    m_failure = TooLong;
    return TooLong;
  }
  m_inPayload = true;
  m_expected = m_header.length;
  m_received = 0;
  if (m_header.length <= kInlineCapacity && !m_inlineLent) {
    m_payload = m_inlineBuffer;
    m_capacity = kInlineCapacity;
    return NeedMore;
  }
  m_payload = nullptr;
  m_capacity = 0;
  return GrowPayload() ? NeedMore : OutOfMemory;
}

bool AgentLinkFrameAssembler::GrowPayload() {
  // Not zero-filled: every byte is written before the frame is handed out.
  uint32_t capacity = m_capacity ? m_capacity * 2 : uint32_t(kFirstHeapCapacity);
  if (capacity > m_expected) capacity = m_expected;
  std::unique_ptr<unsigned char[]> grown(new (std::nothrow)
                                             unsigned char[size_t(capacity) + kPadding]);
  if (!grown) {
    m_failure = OutOfMemory;
    return false;
  }
  if (m_received) std::memcpy(grown.get(), m_payload, m_received);
  m_heap = std::move(grown);
  m_payload = m_heap.get();
  m_capacity = capacity;
  return true;
}

void AgentLinkFrameAssembler::CompletePayload(Frame& frame) {
  std::memset(m_payload + m_header.length, 0, kPadding);
  frame.m_header = m_header;
  frame.m_payload = m_payload;
  frame.m_inline = (m_payload == m_inlineBuffer);
  frame.m_heap = std::move(m_heap);
  if (frame.m_inline) m_inlineLent = true;
  m_payload = nullptr;
  m_inPayload = false;
  m_expected = AgentLinkFrameHeader::kSize;
  m_received = 0;
}

void AgentLinkFrameAssembler::CompleteHeaderOnly(Frame& frame) {
  frame.m_header = m_header;
  frame.m_payload = nullptr;
  frame.m_inline = false;
  frame.m_heap.reset();
  m_expected = AgentLinkFrameHeader::kSize;
  m_received = 0;
}

void AgentLinkFrameAssembler::Release(Frame& frame) {
  if (frame.m_inline && frame.m_payload == m_inlineBuffer) m_inlineLent = false;
  frame.m_inline = false;
  frame.m_payload = nullptr;
  frame.m_heap.reset();
}
