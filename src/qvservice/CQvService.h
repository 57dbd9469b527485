#pragma once
// The monitoring service stand-in: listens on the loopback address, speaks the
// service link's frames and answers what the console relies on from a
// CQvServiceScript. Runs on a thread of its own (Start/Stop) or on the
// caller's (Run). Several consoles may be connected at once.
#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "console/AgentLinkFrameAssembler.h"
#include "qvservice/CQvServiceScript.h"

class CQvService {
 public:
  // A service-private request (type 2): payload {count, payload length, frame
  // type, message id}, each u32; the service answers with that many frames.
  // Used to measure the link.
  enum : uint32_t { QV_SERVICE_MSG_BURST = 1600 };

  struct Received {
    uint32_t type;
    uint32_t wParam;
    uint32_t messageId;
    uint32_t length;
    std::vector<unsigned char> payload;  // kept for payloads up to 64 KiB
  };

  CQvService();
  CQvService(const CQvService&) = delete;
  CQvService& operator=(const CQvService&) = delete;
  ~CQvService();

  void SetScript(const CQvServiceScript& script);
  // Appends one line per received frame to this file (UTF-8).
  void SetLogFile(const std::wstring& path);

  // Binds 127.0.0.1:port (0 = any free port) and listens.
  bool Listen(unsigned short port);
  unsigned short Port() const { return port_; }

  bool Start();  // serves on a thread of its own
  void Stop();   // ends Run (from any thread) and joins the thread
  int Run();     // serves until Stop

  // Sends a frame to every connected console from the service's thread.
  void Broadcast(uint32_t type, uint32_t wParam, uint32_t messageId,
                 const std::vector<unsigned char>& payload);

  std::vector<Received> ReceivedFrames() const;
  size_t ConnectionCount() const { return connections_.load(); }
  size_t AcceptCount() const { return accepts_.load(); }

 private:
  struct Pending {
    ULONGLONG due;
    uint32_t type;
    uint32_t wParam;
    uint32_t messageId;
    std::vector<unsigned char> payload;
  };
  struct Connection;

  void Accept();
  bool ReadFrom(Connection& c);
  bool Handle(Connection& c, const AgentLinkFrameAssembler::Frame& frame);
  bool SendFrame(Connection& c, uint32_t type, uint32_t wParam, uint32_t messageId,
                 const void* data, uint32_t length);
  void Record(const AgentLinkFrameAssembler::Frame& frame);
  bool AnswerRun(Connection& c, const unsigned char* data, uint32_t length);
  bool AnswerDrives(Connection& c, uint32_t host);
  bool AnswerDirectory(Connection& c, uint32_t host, const unsigned char* data, uint32_t length);
  bool AnswerBurst(Connection& c, const unsigned char* data, uint32_t length);
  // Puts the scripted raw text in place of a listing answer, when there is one.
  void UseRawAnswer(uint32_t host, uint32_t messageId, const std::wstring& path,
                    std::vector<unsigned char>* payload);

  SOCKET listener_ = INVALID_SOCKET;
  unsigned short port_ = 0;
  bool wsaStarted_ = false;
  std::atomic<bool> stop_{false};
  std::atomic<size_t> connections_{0};
  std::atomic<size_t> accepts_{0};
  std::thread thread_;

  mutable std::mutex mutex_;  // guards script_, received_, broadcasts_, logPath_
  CQvServiceScript script_;
  std::vector<Received> received_;
  std::vector<Pending> broadcasts_;
  std::wstring logPath_;

  std::vector<std::unique_ptr<Connection>> clients_;  // service thread only
};
