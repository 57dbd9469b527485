#include "support/LoopbackPeer.h"

#include <cstring>

#include "support/TestEnv.h"

namespace testenv {

namespace {

const DWORD kSlice = 10;

sockaddr_in Loopback(unsigned short port) {
  sockaddr_in addr;
  std::memset(&addr, 0, sizeof(addr));
  addr.sin_family = AF_INET;
  addr.sin_port = ::htons(port);
  addr.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
  return addr;
}

void PutU32(unsigned char* p, uint32_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
  p[2] = static_cast<unsigned char>(v >> 16);
  p[3] = static_cast<unsigned char>(v >> 24);
}

uint32_t GetU32(const unsigned char* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

}  // namespace

LoopbackPeer::LoopbackPeer(int receiveBuffer, bool listen) {
  WSADATA data;
  wsaStarted_ = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return;
  if (receiveBuffer > 0)
    ::setsockopt(s, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&receiveBuffer),
                 sizeof(receiveBuffer));
  sockaddr_in addr = Loopback(0);
  int len = sizeof(addr);
  if (::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0 ||
      ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    ::closesocket(s);
    return;
  }
  listener_ = s;
  port_ = ::ntohs(addr.sin_port);
  if (listen) Listen();
}

LoopbackPeer::~LoopbackPeer() {
  if (client_ != INVALID_SOCKET) ::closesocket(client_);
  if (listener_ != INVALID_SOCKET) ::closesocket(listener_);
  if (wsaStarted_) ::WSACleanup();
}

bool LoopbackPeer::Listen() {
  if (!listening_ && listener_ != INVALID_SOCKET) listening_ = ::listen(listener_, 8) == 0;
  return listening_;
}

size_t UnreadBytes(SOCKET s) {
  u_long n = 0;
  if (s == INVALID_SOCKET || ::ioctlsocket(s, FIONREAD, &n) != 0) return 0;
  return n;
}

bool LoopbackPeer::WaitReadable(SOCKET s, DWORD timeoutMs) {
  DWORD start = ::GetTickCount();
  for (;;) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval tv = {0, 0};
    if (::select(0, &set, nullptr, nullptr, &tv) > 0) return true;
    DWORD elapsed = ::GetTickCount() - start;
    if (elapsed >= timeoutMs) return false;
    PumpUntil([] { return false; }, kSlice < timeoutMs - elapsed ? kSlice : timeoutMs - elapsed);
  }
}

bool LoopbackPeer::Accept(DWORD timeoutMs) {
  if (!listening_ || !WaitReadable(listener_, timeoutMs)) return false;
  SOCKET s = ::accept(listener_, nullptr, nullptr);
  if (s == INVALID_SOCKET) return false;
  if (client_ != INVALID_SOCKET) ::closesocket(client_);
  client_ = s;
  return true;
}

bool LoopbackPeer::Send(const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    if (client_ == INVALID_SOCKET) return false;
    int n = ::send(client_, p, size > 0x100000 ? 0x100000 : static_cast<int>(size), 0);
    if (n <= 0) return false;
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

std::vector<unsigned char> LoopbackPeer::Frame(uint32_t type, uint32_t wParam, uint32_t messageId,
                                               const void* payload, uint32_t length) {
  std::vector<unsigned char> bytes(16 + size_t(length));
  PutU32(&bytes[0], length);
  PutU32(&bytes[4], type);
  PutU32(&bytes[8], wParam);
  PutU32(&bytes[12], messageId);
  if (length) std::memcpy(&bytes[16], payload, length);
  return bytes;
}

bool LoopbackPeer::SendFrame(uint32_t type, uint32_t wParam, uint32_t messageId,
                             const void* payload, uint32_t length) {
  std::vector<unsigned char> bytes = Frame(type, wParam, messageId, payload, length);
  return Send(bytes.data(), bytes.size());
}

bool LoopbackPeer::Receive(void* data, size_t size, DWORD timeoutMs) {
  char* p = static_cast<char*>(data);
  DWORD start = ::GetTickCount();
  while (size > 0) {
    if (client_ == INVALID_SOCKET) return false;
    DWORD elapsed = ::GetTickCount() - start;
    if (elapsed >= timeoutMs || !WaitReadable(client_, timeoutMs - elapsed)) return false;
    int n = ::recv(client_, p, size > 0x100000 ? 0x100000 : static_cast<int>(size), 0);
    if (n <= 0) return false;
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool LoopbackPeer::ReceiveFrame(PeerFrame* frame, DWORD timeoutMs) {
  unsigned char header[16];
  DWORD start = ::GetTickCount();
  if (!Receive(header, sizeof(header), timeoutMs)) return false;
  uint32_t length = GetU32(header);
  frame->type = GetU32(header + 4);
  frame->wParam = GetU32(header + 8);
  frame->messageId = GetU32(header + 12);
  frame->payload.assign(length, 0);
  DWORD elapsed = ::GetTickCount() - start;
  return length == 0 ||
         Receive(frame->payload.data(), length, timeoutMs > elapsed ? timeoutMs - elapsed : 1);
}

bool LoopbackPeer::WaitClosed(DWORD timeoutMs) {
  DWORD start = ::GetTickCount();
  char sink[4096];
  while (client_ != INVALID_SOCKET) {
    DWORD elapsed = ::GetTickCount() - start;
    if (elapsed >= timeoutMs || !WaitReadable(client_, timeoutMs - elapsed)) return false;
    int n = ::recv(client_, sink, sizeof(sink), 0);
    if (n <= 0) {
      ::closesocket(client_);
      client_ = INVALID_SOCKET;
      return true;
    }
  }
  return true;
}

void LoopbackPeer::CloseClean() {
  if (client_ == INVALID_SOCKET) return;
  ::shutdown(client_, SD_SEND);
  ::closesocket(client_);
  client_ = INVALID_SOCKET;
}

void LoopbackPeer::Reset() {
  if (client_ == INVALID_SOCKET) return;
  linger abortive = {1, 0};
  ::setsockopt(client_, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abortive),
               sizeof(abortive));
  ::closesocket(client_);
  client_ = INVALID_SOCKET;
}

}  // namespace testenv
