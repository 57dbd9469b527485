#include "support/DatabaseLock.h"

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

}  // namespace

DatabaseLock::DatabaseLock() : m_unixDir(UnixEnv(L"ODBCSYSINI")) {
  m_held = testenv::WindowsPath(m_unixDir + "/lock-held");
  m_keep = testenv::WindowsPath(m_unixDir + "/lock-keep");
}

DatabaseLock::~DatabaseLock() {
  if (m_started) Release();
}

bool DatabaseLock::Hold(DWORD timeoutMs) {
  TestDatabase::File();  // the database and its directory exist
  ::DeleteFileW(m_held.c_str());
  if (m_unixDir.empty() || !testfiles::WriteBytes(m_keep, std::string())) return false;
  const std::wstring dir = qv::Utf8ToWide(m_unixDir);
  const std::wstring command = L"/usr/bin/sqlite3 -bail -cmd \".timeout 20000\" " + dir + L"/test.db" +
                               L" \"BEGIN EXCLUSIVE;\" \".system touch " + dir + L"/lock-held\"" +
                               L" \".system while [ -e " + dir + L"/lock-keep ]; do sleep 0.02; done\" \"COMMIT;\"" +
                               L" \".system rm " + dir + L"/lock-held\"";
  if (!m_shell.StartUnix(command)) return false;
  m_started = true;
  return testenv::PollUntil([&] { return ::GetFileAttributesW(m_held.c_str()) != INVALID_FILE_ATTRIBUTES; },
                            timeoutMs, 20);
}

bool DatabaseLock::Release(DWORD timeoutMs) {
  ::DeleteFileW(m_keep.c_str());
  if (!m_started) return true;
  m_started = false;
  // The shell's end is not seen through its handle under Wine: it says it has committed.
  return testenv::PollUntil([&] { return ::GetFileAttributesW(m_held.c_str()) == INVALID_FILE_ATTRIBUTES; },
                            timeoutMs, 20);
}

}  // namespace qvtest
