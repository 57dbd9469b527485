#include "console/CTmTelnet.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

#include "console/DottedIPv4.h"

namespace {

// Owns a thread handle.
class ThreadHandle {
 public:
  explicit ThreadHandle(HANDLE h) : h_(h) {}
  ThreadHandle(const ThreadHandle&) = delete;
  ThreadHandle& operator=(const ThreadHandle&) = delete;
  ~ThreadHandle() {
    if (h_) ::CloseHandle(h_);
  }
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

}  // namespace

CTmTelnet::CTmTelnet() : buffer_(kChunk, 0) {
  WSADATA data;
  wsaStarted_ = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

CTmTelnet::~CTmTelnet() {
  CloseSocket();
  if (wsaStarted_) ::WSACleanup();
}

void CTmTelnet::CloseSocket() {
  if (socket_ != INVALID_SOCKET) {
    ::closesocket(socket_);
    socket_ = INVALID_SOCKET;
  }
}

int CTmTelnet::Connect(const char* host, unsigned short port, DWORD limitMs) {
  CloseSocket();
  SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return -1;
  socket_ = s;

  DWORD timeout = kReceiveTimeoutMs;
  if (::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout),
                   sizeof(timeout)) != 0) {
    CloseSocket();
    return -3;
  }

  sockaddr_in addr;
  std::memset(&addr, 0, sizeof(addr));
  addr.sin_family = AF_INET;
  addr.sin_port = ::htons(port);
  if (!host || !*host) {
    CloseSocket();
    return -5;
  }
  if (std::isdigit(static_cast<unsigned char>(host[0]))) {
    uint32_t a = 0;
    if (!ParseHostAddress(host, &a)) {
      CloseSocket();
      return -4;
    }
    addr.sin_addr.s_addr = a;
  } else {
    addrinfo hints;
    std::memset(&hints, 0, sizeof(hints));
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host, nullptr, &hints, &found) != 0 || !found) {
      CloseSocket();
      return -5;
    }
    addr.sin_addr = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
    ::freeaddrinfo(found);
  }

  if (limitMs == 0) {
    if (::connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0) {
      CloseSocket();
      return -6;
    }
    return 0;
  }
  u_long nonBlocking = 1;
  if (::ioctlsocket(s, FIONBIO, &nonBlocking) != 0 ||
      (::connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0 &&
       (::WSAGetLastError() != WSAEWOULDBLOCK || !WaitConnected(limitMs)))) {
    CloseSocket();
    return -6;
  }
  u_long blocking = 0;
  if (::ioctlsocket(s, FIONBIO, &blocking) != 0) {
    CloseSocket();
    return -6;
  }
  return 0;
}

bool CTmTelnet::WaitConnected(DWORD limitMs) {
  fd_set writable, failed;
  FD_ZERO(&writable);
  FD_ZERO(&failed);
  FD_SET(socket_, &writable);
  FD_SET(socket_, &failed);
  timeval limit{static_cast<long>(limitMs / 1000), static_cast<long>(limitMs % 1000) * 1000};
  if (::select(0, nullptr, &writable, &failed, &limit) != 1 || !FD_ISSET(socket_, &writable)) return false;
  int error = 0;
  int size = sizeof(error);
  return ::getsockopt(socket_, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) == 0 &&
         error == 0;
}

bool CTmTelnet::SendAll(const char* data, int length) {
  if (socket_ == INVALID_SOCKET) return false;
  while (length > 0) {
    int sent = ::send(socket_, data, length, 0);
    if (sent <= 0) return false;
    data += sent;
    length -= sent;
  }
  return true;
}

int CTmTelnet::ReceiveByte(unsigned char* byte) {
  if (socket_ == INVALID_SOCKET) return -1;
  return ::recv(socket_, reinterpret_cast<char*>(byte), 1, 0);
}

int CTmTelnet::ReceiveByteBy(unsigned char* byte, DWORD deadline) {
  for (;;) {
    const int r = ReceiveByte(byte);
    if (r >= 0) return r;
    if (::WSAGetLastError() != WSAETIMEDOUT || static_cast<LONG>(deadline - ::GetTickCount()) <= 0)
      return -1;
  }
}

int CTmTelnet::WaitForAny(const char* const* texts, int count, DWORD deadline) {
  size_t longest = 0;
  for (int i = 0; i < count; ++i) longest = std::max(longest, std::strlen(texts[i]));
  if (longest == 0) return -1;
  std::string tail;  // the last bytes, enough for the longest text
  for (;;) {
    unsigned char b = 0;
    if (ReceiveByteBy(&b, deadline) <= 0) return -1;
    if (b == kIac) {
      unsigned char command = 0, option = 0;
      if (ReceiveByteBy(&command, deadline) <= 0) return -1;
      if (command == kSb) {
        do {
          if (ReceiveByteBy(&option, deadline) <= 0) return -1;
        } while (option != kSe);
        continue;
      }
      if (command != kWill && command != kWont && command != kDo && command != kDont) continue;
      if (ReceiveByteBy(&option, deadline) <= 0) return -1;
      const char reply[] = {char(kIac), char(command == kWill || command == kWont ? kDont : kWont),
                            char(option)};
      if (!SendAll(reply, sizeof(reply))) return -1;
      continue;
    }
    if (b == 0) continue;
    tail.push_back(static_cast<char>(b));
    if (tail.size() > longest) tail.erase(0, tail.size() - longest);
    for (int i = 0; i < count; ++i) {
      const size_t n = std::strlen(texts[i]);
      if (n && tail.size() >= n && tail.compare(tail.size() - n, n, texts[i]) == 0) return i;
    }
  }
}

int CTmTelnet::NegotiateWindowSize(int width, int height) {
  const char will[] = {char(kIac), char(kWill), char(kNaws)};
  if (!SendAll(will, sizeof(will))) return -1;
  for (;;) {
    unsigned char b = 0;
    int r = ReceiveByte(&b);
    if (r <= 0) return r;
    if (b != kIac) continue;
    unsigned char command = 0, option = 0;
    if ((r = ReceiveByte(&command)) <= 0) return r;
    if (command == kIac) continue;  // an escaped data byte 255
    if ((r = ReceiveByte(&option)) <= 0) return r;
    if (command == kDo && option == kNaws) {
      // Sizes go high byte first; a size byte of 255 is doubled so it is not
      // taken for IAC.
      char out[16];
      int n = 0;
      out[n++] = char(kIac);
      out[n++] = char(kSb);
      out[n++] = char(kNaws);
      const unsigned sizes[2] = {static_cast<unsigned>(width) & 0xFFFFu,
                                 static_cast<unsigned>(height) & 0xFFFFu};
      for (unsigned v : sizes) {
        unsigned char bytes[2] = {static_cast<unsigned char>(v >> 8),
                                  static_cast<unsigned char>(v)};
        for (unsigned char c : bytes) {
          out[n++] = char(c);
          if (c == kIac) out[n++] = char(kIac);
        }
      }
      out[n++] = char(kIac);
      out[n++] = char(kSe);
      return SendAll(out, n) ? 1 : -1;
    }
    if (command == kDont && option == kNaws) return 0;
  }
}

int CTmTelnet::ReadAll() {
  dataLength_ = 0;
  buffer_[0] = 0;
  if (socket_ == INVALID_SOCKET) return -1;
  for (;;) {
    if (buffer_.size() < size_t(dataLength_) + kChunk + 1) buffer_.resize(buffer_.size() + kChunk);
    int r = ::recv(socket_, buffer_.data() + dataLength_, kChunk, 0);
    if (r < 0) {
      if (::WSAGetLastError() == WSAETIMEDOUT) break;
      buffer_[dataLength_] = 0;
      return -1;
    }
    dataLength_ += r;
    if (r < kChunk) break;
  }
  buffer_[dataLength_] = 0;
  return dataLength_;
}

int CTmTelnet::GetData(char* destination, int length) const {
  if (!destination) return 0;
  int n = length < 0 ? 0 : length;
  if (n > dataLength_) n = dataLength_;
  if (n > 0) std::memcpy(destination, buffer_.data(), size_t(n));
  destination[n] = 0;
  return 1;
}

int CTmTelnet::SendLine(const char* text, int appendNewline) {
  if (!text) return 0;
  if (!SendAll(text, static_cast<int>(std::strlen(text)))) return 0;
  if (appendNewline == 1) return SendAll("\r\n", 2) ? 1 : 0;
  return 1;
}

int CTmTelnet::WaitFor(const char* text) {
  size_t n = text ? std::strlen(text) : 0;
  if (n > kMaxWanted) n = kMaxWanted;
  if (n) std::memcpy(wanted_, text, n);
  wanted_[n] = 0;
  ThreadHandle thread(::CreateThread(nullptr, 0, &CTmTelnet::WaitThread, this, 0, nullptr));
  if (!thread.get()) return 0;
  ::WaitForSingleObject(thread.get(), INFINITE);
  DWORD result = 0;
  if (!::GetExitCodeThread(thread.get(), &result)) return 0;
  return result == 1 ? 1 : 0;
}

DWORD WINAPI CTmTelnet::WaitThread(LPVOID self) {
  return static_cast<DWORD>(static_cast<CTmTelnet*>(self)->RunWait());
}

int CTmTelnet::RunWait() {
  const size_t wantedLength = std::strlen(wanted_);
  if (wantedLength == 0) return 1;
  // The wanted text can only newly appear at the end, so the last
  // `wantedLength` bytes are all that must be kept.
  enum { kLocal = 4095 };
  char local[kLocal + 1];
  size_t used = 0;
  for (;;) {
    unsigned char b = 0;
    if (ReceiveByte(&b) <= 0) return 0;
    if (b == kIac) {
      unsigned char command = 0, option = 0;
      if (ReceiveByte(&command) <= 0) return 0;
      if (command == kSb) {
        do {
          if (ReceiveByte(&option) <= 0) return 0;
        } while (option != kSe);
        continue;
      }
      if (command != kWill && command != kWont && command != kDo && command != kDont) continue;
      if (ReceiveByte(&option) <= 0) return 0;
      const char reply[] = {char(kIac), char(command == kWill || command == kWont ? kDont : kWont),
                            char(option)};
      if (!SendAll(reply, sizeof(reply))) return 0;
      continue;
    }
    if (b == 0) continue;
    if (used == kLocal) {
      // Keep the tail that may still start a match.
      std::memmove(local, local + used - (wantedLength - 1), wantedLength - 1);
      used = wantedLength - 1;
    }
    local[used++] = static_cast<char>(b);
    if (used >= wantedLength &&
        std::memcmp(local + used - wantedLength, wanted_, wantedLength) == 0)
      return 1;
  }
}
