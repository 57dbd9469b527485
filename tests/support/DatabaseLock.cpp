#include "support/DatabaseLock.h"

#include <cstdlib>

#include "platform/TextConv.h"
#include "support/TestDatabase.h"
#include "support/TestFiles.h"

namespace qvtest {

namespace {

std::string UnixEnv(const wchar_t* name) {
  wchar_t buffer[1024];
  const DWORD n = ::GetEnvironmentVariableW(name, buffer, 1024);
  return n > 0 && n < 1024 ? qv::WideToUtf8(std::wstring(buffer, n)) : std::string();
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The shell's clock (date +%s%N) as written to a flag file, in nanoseconds; 0 for none.
long long Stamp(const std::wstring& path) { return std::atoll(testfiles::ReadBytes(path).c_str()); }

}  // namespace

DatabaseLock::DatabaseLock(Kind kind) : m_kind(kind), m_unixDir(UnixEnv(L"ODBCSYSINI")) {}

DatabaseLock::~DatabaseLock() {
  if (m_started) Release();
}

std::wstring DatabaseLock::Flag(const char* name) const {
  return testenv::WindowsPath(m_unixDir + "/lock-" + name);
}

bool DatabaseLock::Start(const std::wstring& hold, DWORD timeoutMs) {
  TestDatabase::File();  // the database and its directory exist
  for (const char* flag : {"held", "asked", "committed"}) ::DeleteFileW(Flag(flag).c_str());
  if (m_unixDir.empty() || !testfiles::WriteBytes(Flag("keep"), std::string())) return false;
  const std::wstring dir = qv::Utf8ToWide(m_unixDir) + L"/lock-";
  const std::wstring begin = m_kind == kExclusive ? L"\"BEGIN EXCLUSIVE;\""
                                                  : L"\"BEGIN IMMEDIATE;\" \"update Client set Status = Status;\"";
  const std::wstring command = L"/usr/bin/sqlite3 -bail -cmd \".timeout 20000\" " + qv::Utf8ToWide(m_unixDir) +
                               L"/test.db " + begin + L" \".system date +%s%N > " + dir + L"held\" \".system " +
                               hold + L"\" \".system date +%s%N > " + dir + L"asked\" \"COMMIT;\" \".system date " +
                               L"+%s%N > " + dir + L"committed\" \".system rm " + dir + L"held\"";
  if (!m_shell.StartUnix(command)) return false;
  m_started = true;
  // The file is there before the shell has written the time into it.
  return testenv::PollUntil([&] { return (m_heldAt = Stamp(Flag("held"))) != 0; }, timeoutMs, 20);
}

bool DatabaseLock::Hold(DWORD timeoutMs) {
  return Start(L"while [ -e " + qv::Utf8ToWide(m_unixDir) + L"/lock-keep ]; do sleep 0.02; done", timeoutMs);
}

bool DatabaseLock::HoldFor(DWORD holdMs, DWORD timeoutMs) {
  return Start(L"sleep " + std::to_wstring(holdMs / 1000) + L"." + std::to_wstring(holdMs % 1000 + 1000).substr(1),
               timeoutMs);
}

bool DatabaseLock::Release(DWORD timeoutMs) {
  ::DeleteFileW(Flag("keep").c_str());
  if (!m_started) return true;
  m_started = false;
  // The shell's end is not seen through its handle under Wine: it says it has committed.
  return testenv::PollUntil([&] { return !Exists(Flag("held")); }, timeoutMs, 20);
}

bool DatabaseLock::WaitCommitted(DWORD* heldMs, DWORD* commitMs, DWORD timeoutMs) {
  if (!Release(timeoutMs) || !testenv::PollUntil([&] { return Stamp(Flag("committed")) != 0; }, timeoutMs, 20))
    return false;
  const long long asked = Stamp(Flag("asked")), committed = Stamp(Flag("committed"));
  *heldMs = static_cast<DWORD>((asked - m_heldAt) / 1000000);
  *commitMs = static_cast<DWORD>((committed - asked) / 1000000);
  return m_heldAt && asked;
}

}  // namespace qvtest
