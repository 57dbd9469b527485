#pragma once
// Paths and message pumping shared by the tests.
#include <windows.h>

#include <functional>
#include <string>

namespace testenv {

// The source tree as a Windows path (Wine maps the Unix root to Z:), e.g. "Z:\work\main".
std::wstring SourceDir();
// A file under the source tree: SourcePath(L"res\\xml\\102.xml").
std::wstring SourcePath(const std::wstring& relative);
// A fresh empty directory under the temp folder, removed with its files by the caller's
// TempDir object.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::wstring& Path() const { return path_; }
  std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

// Dispatches messages until done() is true or the time is up; true when done() held.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
// Dispatches what is queued now, and keeps doing so for the given time.
void PumpFor(DWORD ms);

}  // namespace testenv
