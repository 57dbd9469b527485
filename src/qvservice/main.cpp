// QvService: the monitoring service stand-in for the console's tests and demo.
//   QvService [--port N] [--data FILE] [--log FILE] [--port-file FILE]
// Listens on 127.0.0.1 (port 4667 unless given; 0 picks a free port, which is
// then written to --port-file) and serves until it is stopped.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "console/AgentMessageId.h"
#include "platform/TextConv.h"
#include "qvservice/CQvService.h"
#include "qvservice/CQvServiceScript.h"

namespace {

CQvService* g_service = nullptr;

BOOL WINAPI OnConsoleControl(DWORD) {
  if (g_service) g_service->Stop();
  return TRUE;
}

bool WriteTextFile(const std::wstring& path, const std::string& text) {
  HANDLE f = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = ::WriteFile(f, text.data(), DWORD(text.size()), &written, nullptr);
  ::CloseHandle(f);
  return ok && written == text.size();
}

int Usage() {
  std::fprintf(stderr,
               "usage: QvService [--port N] [--data FILE] [--log FILE] [--port-file FILE]\n");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  unsigned long port = AGENT_LINK_DEFAULT_PORT;
  std::wstring dataFile, logFile, portFile;
  for (int i = 1; i < argc; ++i) {
    std::wstring arg = argv[i];
    if (i + 1 >= argc) return Usage();
    std::wstring value = argv[++i];
    if (arg == L"--port") {
      wchar_t* end = nullptr;
      port = std::wcstoul(value.c_str(), &end, 10);
      if (!end || *end || port > 65535) return Usage();
    } else if (arg == L"--data") {
      dataFile = value;
    } else if (arg == L"--log") {
      logFile = value;
    } else if (arg == L"--port-file") {
      portFile = value;
    } else {
      return Usage();
    }
  }

  CQvServiceScript script;
  if (!dataFile.empty()) {
    std::wstring error;
    if (!script.LoadFile(dataFile, &error)) {
      std::fprintf(stderr, "QvService: %s\n", qv::WideToUtf8(error).c_str());
      return 1;
    }
  }

  CQvService service;
  service.SetScript(script);
  if (!logFile.empty()) service.SetLogFile(logFile);
  if (!service.Listen(static_cast<unsigned short>(port))) {
    std::fprintf(stderr, "QvService: cannot listen on 127.0.0.1:%lu\n", port);
    return 1;
  }
  if (!portFile.empty() && !WriteTextFile(portFile, std::to_string(service.Port()) + "\n")) {
    std::fprintf(stderr, "QvService: cannot write the port file\n");
    return 1;
  }
  std::printf("QvService listening on 127.0.0.1:%u\n", unsigned(service.Port()));
  std::fflush(stdout);
  g_service = &service;
  ::SetConsoleCtrlHandler(&OnConsoleControl, TRUE);
  return service.Run();
}
