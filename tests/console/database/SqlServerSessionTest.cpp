// What a connection to SQL Server says for itself, through the SQL Server driver the
// tests have (FreeTDS) to a server of the test's own on 127.0.0.1: it logs the driver in
// as SQL Server does, answers every batch as done (or one text refused, as an error) and
// keeps the batches' texts.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "console/ODBCDatabase.h"
#include "console/SQLServerLink.h"
#include "platform/TextConv.h"
#include "support/TestDatabase.h"

namespace {

// One connection's worth of a SQL Server's side of TDS 7.3: pre-login without
// encryption, the login acknowledged for "Microsoft SQL Server", every later request
// answered with DONE; a batch whose text is `refused` (in any case) gets an error first.
// Runs on a thread of its own while the test's connect blocks.
class TdsServer {
 public:
  explicit TdsServer(const std::wstring& refused = L"") : m_refused(refused) {
    WSADATA data;
    m_wsa = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    m_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    if (m_listener == INVALID_SOCKET || bind(m_listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        listen(m_listener, 1) != 0 || getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
      return;
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { Serve(); });
  }
  ~TdsServer() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
    if (m_listener != INVALID_SOCKET) closesocket(m_listener);
    if (m_wsa) WSACleanup();
  }

  unsigned short Port() const { return m_port; }
  std::vector<std::wstring> Batches() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_batches;
  }
  static std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(towlower(c));
    return text;
  }

 private:
  bool Readable(SOCKET s) {
    while (!m_stop) {
      fd_set set;
      FD_ZERO(&set);
      FD_SET(s, &set);
      timeval wait{0, 50000};
      const int ready = select(0, &set, nullptr, nullptr, &wait);
      if (ready != 0) return ready > 0;
    }
    return false;
  }
  bool Receive(SOCKET s, unsigned char* data, size_t size) {
    for (size_t got = 0; got < size;) {
      if (!Readable(s)) return false;
      const int n = recv(s, reinterpret_cast<char*>(data + got), static_cast<int>(size - got), 0);
      if (n <= 0) return false;
      got += static_cast<size_t>(n);
    }
    return true;
  }
  // A whole message (its packets up to the last), and its type.
  bool ReceiveMessage(SOCKET s, unsigned char* type, std::vector<unsigned char>* body) {
    body->clear();
    for (;;) {
      unsigned char header[8];
      if (!Receive(s, header, sizeof header)) return false;
      const size_t length = (size_t(header[2]) << 8) | header[3];
      if (length < sizeof header) return false;
      const size_t at = body->size();
      body->resize(at + length - sizeof header);
      if (!Receive(s, body->data() + at, length - sizeof header)) return false;
      *type = header[0];
      if (header[1] & 1) return true;
    }
  }
  static bool Reply(SOCKET s, const std::vector<unsigned char>& body) {
    std::vector<unsigned char> packet = {4, 1, static_cast<unsigned char>((body.size() + 8) >> 8),
                                         static_cast<unsigned char>(body.size() + 8), 0, 51, 1, 0};
    packet.insert(packet.end(), body.begin(), body.end());
    return send(s, reinterpret_cast<const char*>(packet.data()), static_cast<int>(packet.size()), 0) ==
           static_cast<int>(packet.size());
  }
  static void Done(std::vector<unsigned char>& body, bool failed = false) {
    const unsigned char done[] = {0xFD, static_cast<unsigned char>(failed ? 2 : 0), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    body.insert(body.end(), done, done + sizeof done);
  }
  static void PutText(std::vector<unsigned char>& body, const std::wstring& text) {
    for (wchar_t c : text) {
      body.push_back(static_cast<unsigned char>(c));
      body.push_back(static_cast<unsigned char>(c >> 8));
    }
  }
  // An ERROR token of severity 16: number, state, class, message, server, procedure, line.
  static void Error(std::vector<unsigned char>& body, const std::wstring& message) {
    std::vector<unsigned char> token = {0xA0, 0x86, 0x01, 0x00, 1, 16,
                                        static_cast<unsigned char>(message.size()),
                                        static_cast<unsigned char>(message.size() >> 8)};
    PutText(token, message);
    token.insert(token.end(), {0, 0, 1, 0, 0, 0});  // no server or procedure name, line 1
    body.push_back(0xAA);
    body.push_back(static_cast<unsigned char>(token.size()));
    body.push_back(static_cast<unsigned char>(token.size() >> 8));
    body.insert(body.end(), token.begin(), token.end());
  }

  void Serve() {
    if (!Readable(m_listener)) return;
    SOCKET client = accept(m_listener, nullptr, nullptr);
    if (client == INVALID_SOCKET) return;
    unsigned char type = 0;
    std::vector<unsigned char> request;
    while (ReceiveMessage(client, &type, &request)) {
      std::vector<unsigned char> answer;
      if (type == 0x12) {  // pre-login: version, no encryption, no instance, no MARS
        answer = {0, 0, 21, 0, 6, 1, 0, 27, 0, 1, 2, 0, 28, 0, 1, 4, 0, 29, 0, 1, 0xFF,
                  10, 50, 6, 64, 0, 0, 2, 0, 0};
      } else if (type == 0x10) {  // login
        const std::wstring name = L"Microsoft SQL Server";
        const size_t length = 10 + 2 * name.size();
        answer = {0xAD, static_cast<unsigned char>(length), static_cast<unsigned char>(length >> 8), 1,
                  0x73, 0x0B, 0x00, 0x03, static_cast<unsigned char>(name.size())};
        PutText(answer, name);
        const unsigned char version[] = {10, 50, 6, 64};
        answer.insert(answer.end(), version, version + 4);
        Done(answer);
      } else {
        std::wstring text;
        if (type == 0x01 && request.size() >= 4) {  // a batch: its headers, then its text
          const size_t headers = request[0] | (request[1] << 8) | (request[2] << 16) | (size_t(request[3]) << 24);
          for (size_t i = headers; i + 1 < request.size(); i += 2) text += wchar_t(request[i] | (request[i + 1] << 8));
          std::lock_guard<std::mutex> lock(m_mutex);
          m_batches.push_back(text);
        }
        const bool refuse = !m_refused.empty() && Lower(text) == Lower(m_refused);
        if (refuse) Error(answer, L"SET NOCOUNT is not permitted for this login");
        Done(answer, refuse);
      }
      if (!Reply(client, answer)) break;
    }
    closesocket(client);
  }

  const std::wstring m_refused;
  bool m_wsa = false;
  SOCKET m_listener = INVALID_SOCKET;
  unsigned short m_port = 0;
  std::atomic<bool> m_stop{false};
  std::mutex m_mutex;
  std::vector<std::wstring> m_batches;
  std::thread m_thread;
};

class SqlServerSession : public qvtest::DatabaseTest {};

// A site's server may set NOCOUNT for every login; the console's connection sets it off
// before its first statement, so that a change says how many rows it found. A server
// that refuses it gives a connection that is not kept: it fails and counts as none open.
// SQLite, to which the statement means nothing, is not sent it and counts as always.
TEST_F(SqlServerSession, AConnectionToSqlServerCountsTheRowsItsChangesFind) {
  const struct { const wchar_t* dsn; bool refused; } rows[] = {{L"QuorvaneSqlServer", false},
                                                               {L"QuorvaneSqlServerRefusing", true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.refused ? "refused" : "taken");
    TdsServer server(row.refused ? L"set nocount off" : L"");
    ASSERT_NE(0, server.Port());
    std::wstring error;
    ASSERT_TRUE(qvtest::TestDatabase::AddSqlServerSource(row.dsn, server.Port(), &error)) << qv::WideToUtf8(error);
    const LONG open = g_odbcConnectionCount;
    SQLServerLink link;
    link.SetLoginTimeout(30);
    EXPECT_EQ(row.refused ? 0 : 1, link.Connect(row.dsn, L"sa", L"")) << qv::WideToUtf8(link.GetLastErrorText());
    EXPECT_EQ(open + (row.refused ? 0 : 1), g_odbcConnectionCount);
    const std::vector<std::wstring> batches = server.Batches();
    ASSERT_FALSE(batches.empty());
    EXPECT_EQ(L"set nocount off", TdsServer::Lower(batches.back()));
  }

  SQLServerLink sqlite;
  ASSERT_EQ(1, sqlite.Connect(qvtest::TestDatabase::Dsn(), L"", L"")) << qv::WideToUtf8(sqlite.GetLastErrorText());
  SQLStatement* change = qvtest::Prepare(sqlite, L"update Users set comment = ? where name = ?", {L"c", L"tamuk"});
  ASSERT_TRUE(change && change->Execute());
  EXPECT_EQ(1, change->RowCount());
}

}  // namespace
