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

  // Stops the link and deletes it, at once or, when a receiver is still
  // handling one of its frames (in a nested message loop, say), as soon as
  // that delivery has returned: the receiver's payload stays valid till then.
  static void Dispose(CAgentLink* link);

  // Stores the window and message and starts connecting; does nothing when
  // already started. Returns 1.
  int Start(HWND window, UINT message, unsigned short port);
  // Closes without scheduling a reconnection and forgets the window.
  void Stop();
  int Connect();

  // Sends one frame. 1 means "accepted or queued": the frame went to the
  // socket whole, or waits (whole, in order) behind a send that would block.
  // Queued frames are dropped when the link closes; nothing is sent again after
  // a reconnection. 0 unless the link is connected (a connection still being
  // made may yet fail), and when the queue is full or the socket failed.
  int SendFrame(uint32_t type, uint32_t wParam, uint32_t lParam, const void* data, uint32_t length);
  int SendHeader(uint32_t type, uint32_t wParam, uint32_t lParam);

  void OnRead(int error);
  void OnWrite(int error);
  void OnConnect(int error);
  void OnClose(int error);
  void Close(int error, int retry);
  void OnTimer(UINT_PTR id);

  static void AgentLinkHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  // True while a link hands a payload to a window as exactly this message (OwnDelivery):
  // a window message that claims to carry a link payload is trusted only then.
  static bool IsDelivering(UINT message, WPARAM wParam, LPARAM lParam);

  HWND Window() const { return window_; }
  SOCKET Socket() const { return socket_; }
  bool IsConnected() const { return state_ == kConnected; }
  bool IsConnecting() const { return state_ == kConnecting; }
  size_t QueuedBytes() const { return queuedBytes_; }
  // Changes with every connect and close: what was sent over one connection is
  // answered, if at all, over that one.
  unsigned Connection() const { return connection_; }
  unsigned short Port() const { return port_; }

 private:
  enum State { kDown, kConnecting, kConnected };
  // Bytes of whole frames that may wait in the send queue.
  static const size_t kMaxQueuedBytes = 64u * 1024u * 1024u;
  // Bytes taken from the socket per read call when no large payload waits.
  static const size_t kStageSize = 64u * 1024u;
  // What one read event may take before it lets other messages through.
  static const size_t kReadBudgetBytes = 1024u * 1024u;
  static const unsigned kReadBudgetFrames = 256;

  // Keeps the link from being deleted while one of its handlers runs.
  class Hold {
   public:
    explicit Hold(CAgentLink* link) : link_(link) { ++link_->holds_; }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;
    ~Hold() {
      if (--link_->holds_ == 0 && link_->disposed_) delete link_;
    }

   private:
    CAgentLink* link_;
  };

  void Deliver(const AgentLinkFrameAssembler::Frame& frame);
  static void OnHeaderOnlyFrame(uint32_t type, uint32_t wParam, uint32_t lParam);
  static void OnFrame(uint32_t type, uint32_t wParam, uint32_t lParam, const unsigned char* data,
                      uint32_t length);
  static void Hand(HWND target, uint32_t message, WPARAM wParam, const unsigned char* payload);
  void PostRead();
  // Takes the frames the socket holds, within the read budget; after `framesFirst`
  // frames a waiting click or key goes first.
  void ReadFrames(unsigned framesFirst);
  static bool InputWaits();
  int PeerResetError();
  bool FlushQueue();
  void DropQueue();

  HWND window_ = nullptr;
  UINT message_ = 0;
  unsigned short port_ = 0;
  SOCKET socket_ = INVALID_SOCKET;
  State state_ = kDown;
  bool wsaStarted_ = false;
  unsigned holds_ = 0;
  bool disposed_ = false;    // to be deleted when the last hold goes
  unsigned connection_ = 0;  // bumped on every connect and close
  AgentLinkFrameAssembler assembler_;
  std::unique_ptr<unsigned char[]> stage_;  // bytes read but not yet given to the assembler
  size_t stageBegin_ = 0;
  size_t stageEnd_ = 0;
  bool readPosted_ = false;  // a read event of our own is queued
  std::deque<std::vector<unsigned char>> sendQueue_;
  size_t sendOffset_ = 0;  // bytes of the queue's first frame already sent
  size_t queuedBytes_ = 0;
};

// The one link while it exists.
extern CAgentLink* g_agentLinkInstance;

inline void AgentLinkHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CAgentLink::AgentLinkHook(window, message, wParam, lParam);
}
