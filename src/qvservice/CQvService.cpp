#include "qvservice/CQvService.h"

#include <algorithm>
#include <cstring>
#include <deque>

#include "console/AgentMessageId.h"
#include "platform/TextConv.h"

namespace {

const size_t kKeptPayload = 64 * 1024;
const size_t kNameUnits = 64;     // StrategyName: 64 UTF-16 units
const size_t kReasonUnits = 260;  // failure reason of the run log

void PutU32(std::vector<unsigned char>& out, size_t offset, uint32_t v) {
  AgentLinkFrameHeader::WriteU32(out.data() + offset, v);
}

// Copies at most `units - 1` characters and leaves the rest zero.
void PutText(std::vector<unsigned char>& out, size_t offset, const std::wstring& text,
             size_t units) {
  size_t n = std::min(text.size(), units - 1);
  for (size_t i = 0; i < n; ++i) {
    out[offset + 2 * i] = static_cast<unsigned char>(text[i]);
    out[offset + 2 * i + 1] = static_cast<unsigned char>(text[i] >> 8);
  }
}

// A UTF-16 text of at most `units` characters, ending at its first NUL.
std::wstring GetText(const unsigned char* data, uint32_t length, size_t units) {
  std::wstring text;
  size_t max = std::min<size_t>(units, length / 2);
  for (size_t i = 0; i < max; ++i) {
    wchar_t c = static_cast<wchar_t>(data[2 * i] | (data[2 * i + 1] << 8));
    if (c == 0) break;
    text.push_back(c);
  }
  return text;
}

std::wstring XmlEscape(const std::wstring& text) {
  std::wstring out;
  for (wchar_t c : text) {
    switch (c) {
      case L'&':
        out += L"&amp;";
        break;
      case L'<':
        out += L"&lt;";
        break;
      case L'>':
        out += L"&gt;";
        break;
      case L'"':
        out += L"&quot;";
        break;
      default:
        out.push_back(c);
    }
  }
  return out;
}

std::vector<unsigned char> Utf16Payload(const std::wstring& text) {
  std::vector<unsigned char> out((text.size() + 1) * 2, 0);
  PutText(out, 0, text, text.size() + 1);
  return out;
}

std::vector<unsigned char> Utf8Payload(const std::string& text) {
  std::vector<unsigned char> out(text.begin(), text.end());
  out.push_back(0);
  return out;
}

}  // namespace

struct CQvService::Connection {
  SOCKET socket = INVALID_SOCKET;
  AgentLinkFrameAssembler assembler;
  std::deque<Pending> notices;  // scripted 1529/1530, by due time; thousands of them
  ~Connection() {
    if (socket != INVALID_SOCKET) ::closesocket(socket);
  }
};

CQvService::CQvService() {
  WSADATA data;
  wsaStarted_ = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

CQvService::~CQvService() {
  Stop();
  clients_.clear();
  if (listener_ != INVALID_SOCKET) ::closesocket(listener_);
  if (wsaStarted_) ::WSACleanup();
}

void CQvService::SetScript(const CQvServiceScript& script) {
  std::lock_guard<std::mutex> lock(mutex_);
  script_ = script;
}

void CQvService::SetLogFile(const std::wstring& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  logPath_ = path;
}

bool CQvService::Listen(unsigned short port) {
  if (listener_ != INVALID_SOCKET) return false;
  SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return false;
  sockaddr_in addr;
  std::memset(&addr, 0, sizeof(addr));
  addr.sin_family = AF_INET;
  addr.sin_port = ::htons(port);
  addr.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
  int len = sizeof(addr);
  if (::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0 ||
      ::listen(s, SOMAXCONN) != 0 ||
      ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    ::closesocket(s);
    return false;
  }
  listener_ = s;
  port_ = ::ntohs(addr.sin_port);
  return true;
}

bool CQvService::Start() {
  if (listener_ == INVALID_SOCKET || thread_.joinable()) return false;
  stop_ = false;
  thread_ = std::thread([this] { Run(); });
  return true;
}

void CQvService::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

void CQvService::Broadcast(uint32_t type, uint32_t wParam, uint32_t messageId,
                           const std::vector<unsigned char>& payload) {
  std::lock_guard<std::mutex> lock(mutex_);
  broadcasts_.push_back(Pending{0, type, wParam, messageId, payload});
}

std::vector<CQvService::Received> CQvService::ReceivedFrames() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return received_;
}

int CQvService::Run() {
  if (listener_ == INVALID_SOCKET) return 1;
  while (!stop_) {
    ULONGLONG now = ::GetTickCount64();
    ULONGLONG wait = 50;

    // Due notices and broadcasts.
    std::vector<Pending> broadcasts;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      broadcasts.swap(broadcasts_);
    }
    for (size_t i = 0; i < clients_.size();) {
      Connection& c = *clients_[i];
      bool ok = true;
      for (const Pending& p : broadcasts)
        if (ok)
          ok = SendFrame(c, p.type, p.wParam, p.messageId, p.payload.data(),
                         uint32_t(p.payload.size()));
      while (ok && !c.notices.empty() && c.notices.front().due <= now) {
        const Pending& p = c.notices.front();
        ok = SendFrame(c, p.type, p.wParam, p.messageId, nullptr, 0);
        c.notices.pop_front();
      }
      if (ok && !c.notices.empty()) wait = std::min(wait, c.notices.front().due - now);
      if (!ok) {
        clients_.erase(clients_.begin() + long(i));
        connections_ = clients_.size();
        continue;
      }
      ++i;
    }

    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(listener_, &readable);
    for (auto& c : clients_) FD_SET(c->socket, &readable);
    timeval tv;
    tv.tv_sec = 0;
    tv.tv_usec = static_cast<long>(wait * 1000);
    int n = ::select(0, &readable, nullptr, nullptr, &tv);
    if (n == SOCKET_ERROR) {
      ::Sleep(10);
      continue;
    }
    if (n == 0) continue;
    if (FD_ISSET(listener_, &readable)) Accept();
    for (size_t i = 0; i < clients_.size();) {
      if (FD_ISSET(clients_[i]->socket, &readable) && !ReadFrom(*clients_[i])) {
        clients_.erase(clients_.begin() + long(i));
        connections_ = clients_.size();
        continue;
      }
      ++i;
    }
  }
  clients_.clear();
  connections_ = 0;
  return 0;
}

void CQvService::Accept() {
  SOCKET s = ::accept(listener_, nullptr, nullptr);
  if (s == INVALID_SOCKET) return;
  if (clients_.size() >= FD_SETSIZE - 1) {
    ::closesocket(s);
    return;
  }
  std::unique_ptr<Connection> c(new Connection);
  c->socket = s;
  ULONGLONG now = ::GetTickCount64();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const CQvServiceScript::Notice& n : script_.Notices())
      c->notices.push_back(
          Pending{now + n.delayMs,
                  0,
                  n.address,
                  n.online ? uint32_t(AGENT_MSG_CLIENT_ONLINE) : uint32_t(AGENT_MSG_CLIENT_OFFLINE),
                  {}});
  }
  std::stable_sort(c->notices.begin(), c->notices.end(),
                   [](const Pending& a, const Pending& b) { return a.due < b.due; });
  clients_.push_back(std::move(c));
  connections_ = clients_.size();
  ++accepts_;
}

bool CQvService::ReadFrom(Connection& c) {
  size_t space = c.assembler.SpaceSize();
  unsigned char* dst = c.assembler.Space();
  if (!dst || space == 0) return false;
  int want = space > 0x10000 ? 0x10000 : int(space);
  int got = ::recv(c.socket, reinterpret_cast<char*>(dst), want, 0);
  if (got <= 0) return false;
  AgentLinkFrameAssembler::Frame frame;
  AgentLinkFrameAssembler::Status status = c.assembler.Commit(size_t(got), frame);
  if (status == AgentLinkFrameAssembler::NeedMore) return true;
  if (status != AgentLinkFrameAssembler::FrameReady)
    return false;  // broken stream: drop the console
  Record(frame);
  bool ok = Handle(c, frame);
  c.assembler.Release(frame);
  return ok;
}

void CQvService::Record(const AgentLinkFrameAssembler::Frame& frame) {
  const AgentLinkFrameHeader& h = frame.Header();
  Received r{h.type, h.wParam, h.lParam, h.length, {}};
  if (h.length && h.length <= kKeptPayload)
    r.payload.assign(frame.Payload(), frame.Payload() + h.length);
  std::lock_guard<std::mutex> lock(mutex_);
  if (received_.size() < 100000) received_.push_back(std::move(r));
  if (!logPath_.empty()) {
    HANDLE f = ::CreateFileW(logPath_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f != INVALID_HANDLE_VALUE) {
      char line[128];
      int n = std::snprintf(line, sizeof(line), "type=%u wparam=%u id=%u length=%u\r\n",
                            unsigned(h.type), unsigned(h.wParam), unsigned(h.lParam),
                            unsigned(h.length));
      DWORD written = 0;
      if (n > 0) ::WriteFile(f, line, DWORD(n), &written, nullptr);
      ::CloseHandle(f);
    }
  }
}

bool CQvService::SendFrame(Connection& c, uint32_t type, uint32_t wParam, uint32_t messageId,
                           const void* data, uint32_t length) {
  std::vector<unsigned char> bytes(AgentLinkFrameHeader::kSize + size_t(length));
  AgentLinkFrameHeader header = {length, type, wParam, messageId};
  header.Write(bytes.data());
  if (length) std::memcpy(bytes.data() + AgentLinkFrameHeader::kSize, data, length);
  const char* p = reinterpret_cast<const char*>(bytes.data());
  size_t left = bytes.size();
  while (left > 0) {
    int sent = ::send(c.socket, p, left > 0x100000 ? 0x100000 : int(left), 0);
    if (sent <= 0) return false;
    p += sent;
    left -= size_t(sent);
  }
  return true;
}

bool CQvService::Handle(Connection& c, const AgentLinkFrameAssembler::Frame& frame) {
  const AgentLinkFrameHeader& h = frame.Header();
  const unsigned char* data = frame.Payload();
  const uint32_t len = h.length;
  switch (h.lParam) {
    case AGENT_MSG_SERVER_SETTINGS: {
      std::vector<unsigned char> record(52, 0);
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (len >= 8) {
          script_.SetPorts(AgentLinkFrameHeader::ReadU32(data),
                           AgentLinkFrameHeader::ReadU32(data + 4));
          return true;
        }
        PutU32(record, 0, script_.DataPort());
        PutU32(record, 4, script_.CommandPort());
      }
      return SendFrame(c, 2, 0, AGENT_MSG_SERVER_SETTINGS, record.data(), uint32_t(record.size()));
    }
    case AGENT_MSG_CLIENT_STATE: {
      if (len < 4) return true;
      uint32_t host = AgentLinkFrameHeader::ReadU32(data);
      int state;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        state = script_.ClientState(host);
      }
      std::vector<unsigned char> record(8, 0);
      PutU32(record, 0, host);
      PutU32(record, 4, state == 1 ? 1 : 0);
      return SendFrame(c, 2, 0, AGENT_MSG_CLIENT_STATE, record.data(), 8);
    }
    case AGENT_MSG_STRATEGY_RUN:
      return AnswerRun(c, data, len);
    case AGENT_MSG_STRATEGY_PAUSE:
    case AGENT_MSG_STRATEGY_STOP:
    case AGENT_MSG_STRATEGY_DELETE: {
      // The console passes only frames with a payload of type 0 on; echo the name.
      std::vector<unsigned char> record(kNameUnits * 2, 0);
      if (len) std::memcpy(record.data(), data, std::min<size_t>(len, record.size()));
      return SendFrame(c, 0, 0, h.lParam, record.data(), uint32_t(record.size()));
    }
    case AGENT_MSG_LIST_DRIVES:
      return h.type == 1 ? AnswerDrives(c, h.wParam) : true;
    case AGENT_MSG_LIST_DIRECTORY:
      return h.type == 1 ? AnswerDirectory(c, h.wParam, data, len) : true;
    case QV_SERVICE_MSG_BURST:
      return h.type == 2 ? AnswerBurst(c, data, len) : true;
    default:
      return true;  // everything else is taken without an answer
  }
}

bool CQvService::AnswerRun(Connection& c, const unsigned char* data, uint32_t length) {
  std::wstring name = GetText(data, length, kNameUnits);
  uint32_t result = 2;
  std::wstring reason;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (const CQvServiceScript::Run* run = script_.FindRun(name)) {
      result = run->result;
      reason = run->reason;
    }
  }
  std::vector<unsigned char> state(4 + kNameUnits * 2, 0);
  PutText(state, 4, name, kNameUnits);
  std::vector<unsigned char> log(4 + kNameUnits * 2 + kReasonUnits * 2, 0);
  PutText(log, 4, name, kNameUnits);

  PutU32(state, 0, 1);
  if (!SendFrame(c, 0, 0, AGENT_MSG_STRATEGY_RUN, state.data(), uint32_t(state.size())))
    return false;
  PutU32(log, 0, 1);
  if (!SendFrame(c, 0, 0, AGENT_MSG_STRATEGY_RUN_LOG, log.data(), uint32_t(log.size())))
    return false;
  if (result == 1) return true;  // still running
  PutU32(log, 0, result);
  PutText(log, 4 + kNameUnits * 2, reason, kReasonUnits);
  if (!SendFrame(c, 0, 0, AGENT_MSG_STRATEGY_RUN_LOG, log.data(), uint32_t(log.size())))
    return false;
  PutU32(state, 0, 0);
  return SendFrame(c, 0, 0, AGENT_MSG_STRATEGY_RUN, state.data(), uint32_t(state.size()));
}

bool CQvService::AnswerDrives(Connection& c, uint32_t host) {
  uint32_t mask;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (script_.ClientState(host) == 0) return true;  // the host's agent is unreachable
    mask = script_.DriveMask(host);
  }
  std::wstring xml = L"<drives><drive mask=\"" + std::to_wstring(mask) + L"\"/></drives>";
  std::vector<unsigned char> payload = Utf16Payload(xml);
  UseRawAnswer(host, AGENT_MSG_LIST_DRIVES, std::wstring(), &payload);
  return SendFrame(c, 1, host, AGENT_MSG_LIST_DRIVES, payload.data(), uint32_t(payload.size()));
}

bool CQvService::AnswerDirectory(Connection& c, uint32_t host, const unsigned char* data,
                                 uint32_t length) {
  std::wstring path = GetText(data, length, 260);
  std::wstring dirs = L"<dir>";
  std::wstring all = L"<files>";
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (script_.ClientState(host) == 0) return true;
    for (const CQvServiceScript::Entry* e : script_.Listing(host, path, false))
      dirs += L"<item name=\"" + XmlEscape(e->name) + L"\" sub=\"" +
              (e->hasChildren ? L"1" : L"0") + L"\"/>";
    for (const CQvServiceScript::Entry* e : script_.Listing(host, path, true))
      all += L"<item name=\"" + XmlEscape(e->name) + L"\" file=\"" + (e->isFile ? L"1" : L"0") +
             L"\" sub=\"" + (e->hasChildren ? L"1" : L"0") + L"\"/>";
  }
  dirs += L"</dir>";
  all += L"</files>";
  std::vector<unsigned char> p1 = Utf16Payload(dirs);
  UseRawAnswer(host, AGENT_MSG_LIST_DIRECTORY, path, &p1);
  if (!SendFrame(c, 1, host, AGENT_MSG_LIST_DIRECTORY, p1.data(), uint32_t(p1.size())))
    return false;
  // The file picker asks with 1538 and takes the answer as 1537, in UTF-8.
  std::vector<unsigned char> p2 =
      Utf8Payload("<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + qv::WideToUtf8(all));
  UseRawAnswer(host, AGENT_MSG_FILE_LIST, path, &p2);
  return SendFrame(c, 1, host, AGENT_MSG_FILE_LIST, p2.data(), uint32_t(p2.size()));
}

void CQvService::UseRawAnswer(uint32_t host, uint32_t messageId, const std::wstring& path,
                              std::vector<unsigned char>* payload) {
  std::lock_guard<std::mutex> lock(mutex_);
  const CQvServiceScript::Raw* raw = script_.FindRaw(host, messageId, path);
  if (!raw) return;
  *payload = messageId == AGENT_MSG_FILE_LIST ? Utf8Payload(qv::WideToUtf8(raw->text))
                                              : Utf16Payload(raw->text);
  if (raw->bytes < payload->size()) payload->resize(raw->bytes);
}

bool CQvService::AnswerBurst(Connection& c, const unsigned char* data, uint32_t length) {
  if (length < 16) return true;
  uint32_t count = AgentLinkFrameHeader::ReadU32(data);
  uint32_t size = AgentLinkFrameHeader::ReadU32(data + 4);
  uint32_t type = AgentLinkFrameHeader::ReadU32(data + 8);
  uint32_t id = AgentLinkFrameHeader::ReadU32(data + 12);
  if (size > AgentLinkFrameAssembler::kMaxPayload) return true;
  // Whole frames go out in batches so the burst is not bound by send calls.
  std::vector<unsigned char> frame(AgentLinkFrameHeader::kSize + size_t(size));
  AgentLinkFrameHeader header = {size, type, 0, id};
  header.Write(frame.data());
  for (size_t i = 0; i < size; ++i)
    frame[AgentLinkFrameHeader::kSize + i] = static_cast<unsigned char>(i * 7 + 1);
  const size_t perBatch = std::max<size_t>(1, (256 * 1024) / frame.size());
  std::vector<unsigned char> batch;
  uint32_t sent = 0;
  while (sent < count) {
    batch.clear();
    for (size_t k = 0; k < perBatch && sent < count; ++k, ++sent) {
      header.wParam = sent;
      header.Write(frame.data());
      batch.insert(batch.end(), frame.begin(), frame.end());
    }
    const char* p = reinterpret_cast<const char*>(batch.data());
    size_t left = batch.size();
    while (left > 0) {
      int n = ::send(c.socket, p, left > 0x100000 ? 0x100000 : int(left), 0);
      if (n <= 0) return false;
      p += n;
      left -= size_t(n);
    }
  }
  return true;
}
