#pragma once
// A real TCP peer on 127.0.0.1 for tests of the service link: listens on a free
// port of its own, accepts the link and speaks raw bytes or frames. Every wait
// is bounded and keeps the test thread's messages flowing, because the link
// under test lives on that thread.
#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testenv {

struct PeerFrame {
  uint32_t type = 0;
  uint32_t wParam = 0;
  uint32_t messageId = 0;
  std::vector<unsigned char> payload;
};

class LoopbackPeer {
 public:
  // receiveBuffer > 0 sets SO_RCVBUF of the accepted socket (a slow reader).
  // Without `listen` the port is only bound: connections to it are refused
  // until Listen(), and no other test can take it meanwhile.
  explicit LoopbackPeer(int receiveBuffer = 0, bool listen = true);
  ~LoopbackPeer();
  LoopbackPeer(const LoopbackPeer&) = delete;
  LoopbackPeer& operator=(const LoopbackPeer&) = delete;

  bool Listening() const { return listening_; }
  unsigned short Port() const { return port_; }
  bool Listen();

  // Accepts the next connection (replacing a previous one).
  bool Accept(DWORD timeoutMs);
  bool Connected() const { return client_ != INVALID_SOCKET; }

  bool Send(const void* data, size_t size);
  bool SendFrame(uint32_t type, uint32_t wParam, uint32_t messageId, const void* payload = nullptr,
                 uint32_t length = 0);
  // Exactly `size` bytes, or false when they do not come in time.
  bool Receive(void* data, size_t size, DWORD timeoutMs);
  bool ReceiveFrame(PeerFrame* frame, DWORD timeoutMs);
  // True when the link closed the connection (end of stream or reset) in time.
  bool WaitClosed(DWORD timeoutMs);

  void CloseClean();  // orderly shutdown
  void Reset();       // abortive close: the link sees a reset

  static std::vector<unsigned char> Frame(uint32_t type, uint32_t wParam, uint32_t messageId,
                                          const void* payload = nullptr, uint32_t length = 0);

 private:
  bool WaitReadable(SOCKET s, DWORD timeoutMs);

  bool wsaStarted_ = false;
  SOCKET listener_ = INVALID_SOCKET;
  SOCKET client_ = INVALID_SOCKET;
  unsigned short port_ = 0;
  bool listening_ = false;
};

// Bytes that arrived on `s` and are not read yet (0 for no socket).
size_t UnreadBytes(SOCKET s);

}  // namespace testenv
