#pragma once
// The update endpoint of the updater's tests: tests/support/update_server.py run by
// python3 on 127.0.0.1 (a free port), serving a fresh folder. A base URL's first
// segment picks the answers, "<update.txt>-<the rest>", each ok, 404, 500, cut,
// chunked or slow. Every request path is logged; the server ends with this object.
#include <windows.h>

#include <string>
#include <vector>

#include "support/TestEnv.h"

namespace testenv {

class UpdateServer {
 public:
  UpdateServer();
  ~UpdateServer();
  UpdateServer(const UpdateServer&) = delete;
  UpdateServer& operator=(const UpdateServer&) = delete;

  bool Started() const { return m_port != 0; }
  // "http://127.0.0.1:port/<modes>/".
  std::wstring Base(const wchar_t* modes = L"ok-ok") const;
  // A file served under that name.
  std::wstring File(const wchar_t* name) const { return m_folder.File(name); }
  // The paths requested so far, in order.
  std::vector<std::string> Requests() const;
  void ClearRequests() const;

 private:
  TempDir m_folder;
  TempDir m_state;  // port file and request log
  unsigned m_port = 0;
};

// The Unix path of a Windows one, as Wine maps it.
std::string UnixPath(const std::wstring& path);

}  // namespace testenv
