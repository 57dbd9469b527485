#pragma once
// A small blocking telnet client: connect, offer the window size, send lines,
// read what arrived and wait for a text. Every option but the window size is
// refused.
#include <winsock2.h>
#include <windows.h>

#include <vector>

class CTmTelnet {
 public:
  enum : unsigned char {
    kIac = 255,
    kDont = 254,
    kDo = 253,
    kWont = 252,
    kWill = 251,
    kSb = 250,
    kSe = 240,
    kNaws = 31,
  };
  enum { kChunk = 4096, kMaxWanted = 127, kReceiveTimeoutMs = 100 };

  CTmTelnet();
  CTmTelnet(const CTmTelnet&) = delete;
  CTmTelnet& operator=(const CTmTelnet&) = delete;
  virtual ~CTmTelnet();

  // 0 or -1 (no socket), -3 (no receive timeout), -4 (no host's dotted address),
  // -5 (name not resolved), -6 (connection failed).
  int Connect(const char* host, unsigned short port) { return Connect(host, port, 0); }
  // The same within limitMs (0: no limit); a connection not made by then is -6.
  int Connect(const char* host, unsigned short port, DWORD limitMs);
  // 1 when the server accepted the window size (DO NAWS), 0 when it refused
  // it (DONT NAWS), else the failed receive's result.
  int NegotiateWindowSize(int width, int height);
  // Collects what arrives until a short chunk or the receive timeout; returns
  // its length or -1 on a receive error.
  int ReadAll();
  // Copies at most `length` bytes of what ReadAll collected (never more than
  // that) and a terminating NUL, so `destination` needs length + 1 bytes.
  int GetData(char* destination, int length) const;
  int SendLine(const char* text, int appendNewline);
  // 1 once `text` arrived; 0 when the connection ended, the receive timed out
  // or the wait could not be started.
  int WaitFor(const char* text);
  // Waits on the calling thread until one of the texts arrived, answering options as
  // WaitFor does, or until the tick count reaches deadline. Receive time-outs do not
  // lose a text arriving in pieces. Returns the index of the text that came (the
  // first in the list when several end together), -1 on close, error or deadline.
  int WaitForAny(const char* const* texts, int count, DWORD deadline);

  int DataLength() const { return dataLength_; }
  size_t Capacity() const { return buffer_.size(); }
  SOCKET Socket() const { return socket_; }

 private:
  static DWORD WINAPI WaitThread(LPVOID self);
  int RunWait();
  int ReceiveByte(unsigned char* byte);
  // 1 with a byte, 0 when the connection ended, -1 on an error or the deadline.
  int ReceiveByteBy(unsigned char* byte, DWORD deadline);
  bool WaitConnected(DWORD limitMs);
  bool SendAll(const char* data, int length);
  void CloseSocket();

  SOCKET socket_ = INVALID_SOCKET;
  bool wsaStarted_ = false;
  std::vector<char> buffer_;
  int dataLength_ = 0;
  char wanted_[kMaxWanted + 1] = {};
};
