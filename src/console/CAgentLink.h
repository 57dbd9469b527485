#pragma once
// The one TCP connection to the monitoring service. Lives on the UI thread:
// socket events arrive as a private message of the owning window, which hands
// them (and its timer messages) to AgentLinkHook.
#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "console/AgentLinkFrameAssembler.h"

class CAgentLink {
 public:
  CAgentLink();
  CAgentLink(const CAgentLink&) = delete;
  CAgentLink& operator=(const CAgentLink&) = delete;
  ~CAgentLink();

  // Stores the window and message and starts connecting; does nothing when
  // already started. Returns 1.
  int Start(HWND window, UINT message, unsigned short port);
  // Closes without scheduling a reconnection and forgets the window.
  void Stop();
  int Connect();

  // Sends one frame; returns 1 when the whole frame went to the socket or was
  // queued whole behind a connection still being made or a partial send.
  int SendFrame(uint32_t type, uint32_t wParam, uint32_t lParam, const void* data, uint32_t length);
  int SendHeader(uint32_t type, uint32_t wParam, uint32_t lParam);

  void OnRead(int error);
  void OnWrite(int error);
  void OnConnect(int error);
  void OnClose(int error);
  void Close(int error, int retry);
  void OnTimer(UINT_PTR id);

  static void AgentLinkHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND Window() const { return window_; }
  SOCKET Socket() const { return socket_; }
  bool IsConnected() const { return state_ == kConnected; }
  bool IsConnecting() const { return state_ == kConnecting; }
  size_t QueuedBytes() const { return queuedBytes_; }
  unsigned short Port() const { return port_; }
  const AgentLinkFrameAssembler& Assembler() const { return assembler_; }

 private:
  enum State { kDown, kConnecting, kConnected };
  // Bytes of whole frames that may wait in the send queue.
  static const size_t kMaxQueuedBytes = 64u * 1024u * 1024u;
  // Bytes taken from the socket per read call when no large payload waits.
  static const size_t kStageSize = 64u * 1024u;

  void Deliver(const AgentLinkFrameAssembler::Frame& frame);
  static void OnHeaderOnlyFrame(uint32_t type, uint32_t wParam, uint32_t lParam);
  static void OnFrame(uint32_t type, uint32_t wParam, uint32_t lParam, const unsigned char* data,
                      uint32_t length);
  static bool StillAlive(const CAgentLink* link, unsigned serial);
  int Enqueue(std::vector<unsigned char> frame, size_t alreadySent);
  void FlushQueue();
  void DropQueue();

  HWND window_ = nullptr;
  UINT message_ = 0;
  unsigned short port_ = 0;
  SOCKET socket_ = INVALID_SOCKET;
  State state_ = kDown;
  bool wsaStarted_ = false;
  unsigned serial_ = 0;      // tells this link from a later one at the same address
  unsigned connection_ = 0;  // bumped on every connect and close
  AgentLinkFrameAssembler assembler_;
  std::unique_ptr<unsigned char[]> stage_;  // bytes read but not yet given to the assembler
  size_t stageBegin_ = 0;
  size_t stageEnd_ = 0;
  bool readPosted_ = false;  // a read event for staged bytes is queued
  std::deque<std::vector<unsigned char>> sendQueue_;
  size_t sendOffset_ = 0;  // bytes of the queue's first frame already sent
  size_t queuedBytes_ = 0;
};

// The one link while it exists.
extern CAgentLink* g_agentLinkInstance;

inline void AgentLinkHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CAgentLink::AgentLinkHook(window, message, wParam, lParam);
}
