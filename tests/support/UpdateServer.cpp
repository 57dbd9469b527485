#include "support/UpdateServer.h"

#include <wininet.h>

#include <cstdio>
#include <fstream>

#include "platform/TextConv.h"
#include "support/ChildProcess.h"

namespace testenv {

std::string UnixPath(const std::wstring& path) {
  using Convert = char*(__cdecl*)(const wchar_t*);
  auto convert = reinterpret_cast<Convert>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  char* unix = convert ? convert(path.c_str()) : nullptr;
  std::string result = unix ? unix : "";
  if (unix) ::HeapFree(::GetProcessHeap(), 0, unix);
  return result;
}

UpdateServer::UpdateServer() {
  const std::wstring portFile = m_state.File(L"port");
  // Wine starts a Unix program without a process handle: the server is told to end
  // by a request instead.
  auto arg = [](const std::wstring& path) { return L" \"" + qv::Utf8ToWide(UnixPath(path)) + L"\""; };
  const std::wstring line = L"python3" + arg(SourcePath(L"tests\\support\\update_server.py")) + arg(m_folder.Path()) +
                            arg(portFile) + arg(m_state.File(L"log"));
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::vector<wchar_t> text(line.c_str(), line.c_str() + line.size() + 1);
  if (!::CreateProcessW(L"Z:\\usr\\bin\\python3", text.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return;
  for (HANDLE h : {pi.hThread, pi.hProcess})
    if (h && h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
  PollUntil([&] { return ::GetFileAttributesW(portFile.c_str()) != INVALID_FILE_ATTRIBUTES; }, 20000);
  std::ifstream in(qv::WideToUtf8(portFile));
  in >> m_port;
}

UpdateServer::~UpdateServer() {
  if (!m_port) return;
  HINTERNET root = ::InternetOpenW(L"test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  HINTERNET quit = root ? ::InternetOpenUrlW(root, (Base(L"") + L"quit").c_str(), nullptr, 0,
                                             INTERNET_FLAG_RELOAD, 0)
                        : nullptr;
  if (quit) ::InternetCloseHandle(quit);
  if (root) ::InternetCloseHandle(root);
}

std::wstring UpdateServer::Base(const wchar_t* modes) const {
  wchar_t base[96];
  ::swprintf(base, 96, L"http://127.0.0.1:%u/%ls%ls", m_port, modes, *modes ? L"/" : L"");
  return base;
}

std::vector<std::string> UpdateServer::Requests() const {
  std::vector<std::string> lines;
  std::ifstream in(qv::WideToUtf8(m_state.File(L"log")));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

void UpdateServer::ClearRequests() const { ::DeleteFileW(m_state.File(L"log").c_str()); }

}  // namespace testenv
