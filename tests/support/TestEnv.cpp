#include "support/TestEnv.h"

#include <shellapi.h>

#include <cstdlib>

#include "platform/TextConv.h"

namespace testenv {

std::wstring SourceDir() {
  const char* dir = std::getenv("QV_SOURCE_DIR");
  std::wstring path = L"Z:" + qv::Utf8ToWide(dir ? dir : "/");
  for (auto& c : path)
    if (c == L'/') c = L'\\';
  while (!path.empty() && path.back() == L'\\') path.pop_back();
  return path;
}

std::wstring SourcePath(const std::wstring& relative) { return SourceDir() + L"\\" + relative; }

TempDir::TempDir() {
  wchar_t base[MAX_PATH];
  ::GetTempPathW(MAX_PATH, base);
  static unsigned counter = 0;
  for (;;) {
    wchar_t name[64];
    ::swprintf(name, 64, L"qvtest-%lu-%u", ::GetCurrentProcessId(), ++counter);
    path_ = std::wstring(base) + name;
    if (::CreateDirectoryW(path_.c_str(), nullptr)) break;
  }
}

TempDir::~TempDir() {
  std::wstring from = path_ + L'\0';  // double terminated list of one
  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
  ::SHFileOperationW(&op);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  DWORD start = ::GetTickCount();
  for (;;) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
      if (done()) return true;
    }
    if (done()) return true;
    DWORD elapsed = ::GetTickCount() - start;
    if (elapsed >= timeoutMs) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
  }
}

void PumpFor(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

}  // namespace testenv
