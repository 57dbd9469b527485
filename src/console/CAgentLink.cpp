#include "console/CAgentLink.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>

#include "console/AgentLinkPayloadInfo.h"
#include "console/AgentMessageId.h"
#include "console/CAgentLinkManager.h"
#include "platform/OwnDelivery.h"

CAgentLink* g_agentLinkInstance = nullptr;

CAgentLink::CAgentLink() : stage_(new unsigned char[kStageSize]) {
  WSADATA data;
  wsaStarted_ = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  g_agentLinkInstance = this;
}

CAgentLink::~CAgentLink() {
  if (socket_ != INVALID_SOCKET) ::closesocket(socket_);
  if (g_agentLinkInstance == this) g_agentLinkInstance = nullptr;
  if (wsaStarted_) ::WSACleanup();
}

void CAgentLink::Dispose(CAgentLink* link) {
  if (!link) return;
  link->Stop();
  // From now on no event reaches it, and a new link may take its place.
  if (g_agentLinkInstance == link) g_agentLinkInstance = nullptr;
  if (link->holds_ == 0)
    delete link;
  else
    link->disposed_ = true;
}

int CAgentLink::Start(HWND window, UINT message, unsigned short port) {
  if (window_ || message_) return 1;
  window_ = window;
  message_ = message;
  port_ = port;
  Connect();
  return 1;
}

void CAgentLink::Stop() {
  if (window_) {
    ::KillTimer(window_, AGENT_LINK_RECONNECT_TIMER);
    ::KillTimer(window_, AGENT_LINK_READ_TIMER);
  }
  if (socket_ != INVALID_SOCKET) Close(0, 0);
  window_ = nullptr;
  message_ = 0;
}

int CAgentLink::Connect() {
  if (!window_ || !message_) return 0;
  if (socket_ != INVALID_SOCKET) Close(0, 0);
  SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) {
    // Try again later, as after any other failure to connect.
    ::SetTimer(window_, AGENT_LINK_RECONNECT_TIMER, AGENT_LINK_RECONNECT_DELAY_MS, nullptr);
    return 0;
  }
  socket_ = s;
  ++connection_;
  assembler_.Reset();
  stageBegin_ = stageEnd_ = 0;
  DropQueue();
  if (::WSAAsyncSelect(s, window_, message_, FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE) != 0) {
    Close(::WSAGetLastError(), 1);
    return 1;
  }
  state_ = kConnecting;
  sockaddr_in addr;
  std::memset(&addr, 0, sizeof(addr));
  addr.sin_family = AF_INET;
  addr.sin_port = ::htons(port_);
  addr.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
  if (::connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0) {
    int error = ::WSAGetLastError();
    // Anything but "in progress" means no connect event will ever come.
    if (error != WSAEWOULDBLOCK && error != WSAEINPROGRESS) Close(error, 1);
  }
  return 1;
}

void CAgentLink::Close(int error, int retry) {
  if (socket_ != INVALID_SOCKET) {
    ::closesocket(socket_);
    socket_ = INVALID_SOCKET;
  }
  state_ = kDown;
  ++connection_;
  assembler_.Reset();
  stageBegin_ = stageEnd_ = 0;
  DropQueue();
  if (error != 0 && retry != 0 && window_)
    ::SetTimer(window_, AGENT_LINK_RECONNECT_TIMER, AGENT_LINK_RECONNECT_DELAY_MS, nullptr);
}

void CAgentLink::OnTimer(UINT_PTR id) {
  if (id == AGENT_LINK_READ_TIMER) {
    ::KillTimer(window_, AGENT_LINK_READ_TIMER);
    ReadFrames(1);  // a frame at least, even if the input is never taken
    return;
  }
  if (id != AGENT_LINK_RECONNECT_TIMER) return;
  ::KillTimer(window_, AGENT_LINK_RECONNECT_TIMER);
  Connect();
}

// A click or key waits. Read events are posted messages, which a thread takes before
// its input, and Wine reads the display's input only once the queue runs empty: a
// service that sends faster than its frames are handled would hold the user's click
// until it stops. So input waits for no frame but the one in hand, and a timer (taken
// after input and painting) goes on with the rest.
bool CAgentLink::InputWaits() {
  return HIWORD(::GetQueueStatus(QS_MOUSEBUTTON | QS_KEY)) != 0;
}

void CAgentLink::OnConnect(int error) {
  if (error != 0) {
    Close(error, 1);
    return;
  }
  state_ = kConnected;
  assembler_.Reset();
  stageBegin_ = stageEnd_ = 0;
  FlushQueue();
  if (!window_ || state_ != kConnected) return;
  Hold hold(this);
  ::SendMessageW(window_, AGENT_LINK_CONNECTED_MESSAGE, 0, 0);
}

void CAgentLink::OnWrite(int error) {
  if (error != 0) {
    Close(error, 1);
    return;
  }
  FlushQueue();
}

void CAgentLink::OnClose(int error) {
  Hold hold(this);
  if (error == 0 && state_ == kConnected) {
    // A clean close can overtake the read event of the last frames: take what
    // is still buffered before the socket goes.
    const unsigned connection = connection_;
    ReadFrames(UINT_MAX);
    if (connection_ != connection) return;
    error = PeerResetError();
  }
  Close(error, 1);
}

// Wine reports a reset by the peer (a crash or restart of the service) like an
// orderly close: close event with error 0, recv 0. A zero-byte send tells the
// two apart: it fails after a reset and succeeds after an orderly close.
int CAgentLink::PeerResetError() {
  if (::send(socket_, "", 0, 0) != SOCKET_ERROR) return 0;
  int error = ::WSAGetLastError();
  return error != 0 ? error : WSAECONNRESET;
}

void CAgentLink::PostRead() {
  if (readPosted_ || !window_ || socket_ == INVALID_SOCKET) return;
  readPosted_ = ::PostMessageW(window_, message_, static_cast<WPARAM>(socket_),
                               WSAMAKESELECTREPLY(FD_READ, 0)) != 0;
}

void CAgentLink::OnRead(int error) {
  readPosted_ = false;
  if (error != 0) {
    Close(error, 1);
    return;
  }
  ReadFrames(0);
}

void CAgentLink::ReadFrames(unsigned framesFirst) {
  if (socket_ == INVALID_SOCKET) return;
  Hold hold(this);
  const unsigned connection = connection_;
  size_t taken = 0;
  unsigned frames = 0;
  // All receive state lives in members, so a nested call (from a receiver's
  // nested message loop) simply carries on where this one stands.
  for (;;) {
    if (frames >= framesFirst && window_ && InputWaits()) {
      ::SetTimer(window_, AGENT_LINK_READ_TIMER, USER_TIMER_MINIMUM, nullptr);
      return;
    }
    if (taken >= kReadBudgetBytes || frames >= kReadBudgetFrames) {
      // A peer that keeps sending must not hold the thread: let the queued
      // messages through and go on with an event of our own.
      PostRead();
      return;
    }
    size_t space = assembler_.SpaceSize();
    unsigned char* dst = assembler_.Space();
    if (!dst || space == 0) return;
    size_t n;
    if (stageBegin_ < stageEnd_) {
      // Bytes already taken from the socket in one go go first.
      n = std::min(space, stageEnd_ - stageBegin_);
      std::memcpy(dst, stage_.get() + stageBegin_, n);
      stageBegin_ += n;
    } else {
      stageBegin_ = stageEnd_ = 0;
      // Small pieces are read in bulk (one socket call for many frames); a
      // large payload goes straight into its own buffer.
      bool direct = space >= kStageSize;
      int want = direct ? static_cast<int>(std::min<size_t>(space, INT_MAX)) : int(kStageSize);
      char* into = direct ? reinterpret_cast<char*>(dst) : reinterpret_cast<char*>(stage_.get());
      int got = ::recv(socket_, into, want, 0);
      if (got <= 0) return;  // would block, error or end: the next event tells
      taken += static_cast<size_t>(got);
      if (!direct) {
        stageEnd_ = static_cast<size_t>(got);
        continue;
      }
      n = static_cast<size_t>(got);
    }

    AgentLinkFrameAssembler::Frame frame;
    AgentLinkFrameAssembler::Status status = assembler_.Commit(n, frame);
    if (status == AgentLinkFrameAssembler::NeedMore) continue;
    if (status == AgentLinkFrameAssembler::TooLong) {
      Close(WSAEMSGSIZE, 1);
      return;
    }
    if (status == AgentLinkFrameAssembler::OutOfMemory) {
      Close(ERROR_NOT_ENOUGH_MEMORY, 1);
      return;
    }

    // The receiver may run a nested message loop. Frames already read must
    // reach it there as they would straight from the socket, so a read event
    // is queued for them.
    if (stageBegin_ < stageEnd_) PostRead();
    ++frames;
    // The receiver may also close the link, or dispose of it: the hold keeps
    // it (and the payload) until this handler returns.
    Deliver(frame);
    assembler_.Release(frame);
    if (connection_ != connection) return;
  }
}

void CAgentLink::Deliver(const AgentLinkFrameAssembler::Frame& frame) {
  const AgentLinkFrameHeader& h = frame.Header();
  if (h.length == 0)
    OnHeaderOnlyFrame(h.type, h.wParam, h.lParam);
  else
    OnFrame(h.type, h.wParam, h.lParam, frame.Payload(), h.length);
}

void CAgentLink::OnHeaderOnlyFrame(uint32_t type, uint32_t wParam, uint32_t lParam) {
  bool pass =
      (type == 0 && (lParam == AGENT_MSG_CLIENT_ONLINE || lParam == AGENT_MSG_CLIENT_OFFLINE)) ||
      type == 1;
  if (!pass) return;
  HWND target = CAgentLinkManager::FindFirstWindow(lParam);
  if (target) ::SendMessageW(target, lParam, static_cast<WPARAM>(wParam), 0);
}

void CAgentLink::OnFrame(uint32_t type, uint32_t wParam, uint32_t lParam, const unsigned char* data,
                         uint32_t length) {
  if (type == 0 || type == 1) {
    HWND target = CAgentLinkManager::FindFirstWindow(lParam);
    if (!target) return;
    AgentLinkPayloadInfo info = {wParam, length};
    Hand(target, lParam, reinterpret_cast<WPARAM>(&info), data);
    return;
  }
  bool pass =
      (type == 2 && (lParam == AGENT_MSG_SERVER_SETTINGS || lParam == AGENT_MSG_CLIENT_STATE)) ||
      (type == 3 && lParam == AGENT_MSG_SET_CLIENT_PASSWORD);
  if (!pass) return;
  HWND target = CAgentLinkManager::FindFirstWindow(lParam);
  if (target) Hand(target, lParam, static_cast<WPARAM>(length), data);
}

void CAgentLink::Hand(HWND target, uint32_t message, WPARAM wParam, const unsigned char* payload) {
  OwnDelivery::Send(target, message, wParam, reinterpret_cast<LPARAM>(payload));
}

bool CAgentLink::IsDelivering(UINT message, WPARAM wParam, LPARAM lParam) {
  return lParam && OwnDelivery::IsDelivering(message, wParam, lParam);
}

int CAgentLink::SendHeader(uint32_t type, uint32_t wParam, uint32_t lParam) {
  return SendFrame(type, wParam, lParam, nullptr, 0);
}

int CAgentLink::SendFrame(uint32_t type, uint32_t wParam, uint32_t lParam, const void* data,
                          uint32_t length) {
  // A frame taken while connecting would be lost, unannounced, if that attempt failed.
  if (socket_ == INVALID_SOCKET || state_ != kConnected) return 0;
  if (length > 0 && !data) return 0;
  if (length > INT_MAX - AgentLinkFrameHeader::kSize) return 0;

  std::vector<unsigned char> bytes(AgentLinkFrameHeader::kSize + size_t(length));
  AgentLinkFrameHeader header = {length, type, wParam, lParam};
  header.Write(bytes.data());
  if (length) std::memcpy(bytes.data() + AgentLinkFrameHeader::kSize, data, length);

  // Everything goes through the queue, so nothing overtakes frames that are
  // still waiting.
  if (queuedBytes_ + bytes.size() > kMaxQueuedBytes) return 0;
  queuedBytes_ += bytes.size();
  sendQueue_.push_back(std::move(bytes));
  return FlushQueue() ? 1 : 0;
}

// Sends until the queue is empty or a send would block: only a send that
// would block brings a write event later, a partial one does not.
bool CAgentLink::FlushQueue() {
  while (!sendQueue_.empty() && socket_ != INVALID_SOCKET && state_ == kConnected) {
    std::vector<unsigned char>& front = sendQueue_.front();
    size_t left = front.size() - sendOffset_;
    int chunk = left > INT_MAX ? INT_MAX : static_cast<int>(left);
    int sent = ::send(socket_, reinterpret_cast<const char*>(front.data() + sendOffset_), chunk, 0);
    if (sent == SOCKET_ERROR) {
      int error = ::WSAGetLastError();
      if (error == WSAEWOULDBLOCK) return true;
      Close(error, 1);
      return false;
    }
    sendOffset_ += static_cast<size_t>(sent);
    queuedBytes_ -= static_cast<size_t>(sent);
    if (sendOffset_ == front.size()) {
      sendQueue_.pop_front();
      sendOffset_ = 0;
    }
  }
  return true;
}

void CAgentLink::DropQueue() {
  sendQueue_.clear();
  sendOffset_ = 0;
  queuedBytes_ = 0;
}

// Every socket event is matched by the link's own socket handle and nothing
// else; a caller must not filter them by wParam (any handle value, 100 too,
// may be the link's socket).
void CAgentLink::AgentLinkHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CAgentLink* link = g_agentLinkInstance;
  if (!link || !window || window != link->window_) return;
  if (message == WM_TIMER) {
    link->OnTimer(static_cast<UINT_PTR>(wParam));
    return;
  }
  if (message != link->message_ || link->socket_ == INVALID_SOCKET ||
      static_cast<SOCKET>(wParam) != link->socket_)
    return;
  int event = WSAGETSELECTEVENT(lParam);
  int error = WSAGETSELECTERROR(lParam);
  switch (event) {
    case FD_READ:
      link->OnRead(error);
      break;
    case FD_WRITE:
      link->OnWrite(error);
      break;
    case FD_CONNECT:
      link->OnConnect(error);
      break;
    case FD_CLOSE:
      link->OnClose(error);
      break;
    default:
      break;
  }
}
