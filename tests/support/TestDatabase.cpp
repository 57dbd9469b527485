#include "support/TestDatabase.h"

#include <windows.h>

#include "console/ODBCDatabase.h"
#include "console/SQLServerLink.h"
#include "platform/TextConv.h"
#include "support/TestEnv.h"

namespace qvtest {

namespace {

const wchar_t kDsn[] = L"QuorvaneTest";
const wchar_t kTemplateDsn[] = L"QuorvaneTestTemplate";
const char kDriverPath[] = "/usr/lib/i386-linux-gnu/odbc/libsqlite3odbc.so";

std::string Narrow(const std::wstring& text) { return qv::WideToUtf8(text); }

std::wstring Env(const wchar_t* name) {
  wchar_t buffer[1024];
  DWORD n = GetEnvironmentVariableW(name, buffer, 1024);
  return n > 0 && n < 1024 ? std::wstring(buffer, n) : std::wstring();
}

// Wine maps Unix paths into the Windows namespace; ask it how.
std::wstring DosPath(const std::wstring& unixPath) {
  typedef WCHAR*(CDECL * ToDos)(const char*);
  ToDos toDos = reinterpret_cast<ToDos>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
  if (toDos) {
    WCHAR* dos = toDos(Narrow(unixPath).c_str());
    if (dos) {
      std::wstring result(dos);
      HeapFree(GetProcessHeap(), 0, dos);
      return result;
    }
  }
  std::wstring result = L"Z:" + unixPath;
  for (wchar_t& c : result)
    if (c == L'/') c = L'\\';
  return result;
}

bool WriteFileUtf8(const std::wstring& path, const std::string& text) {
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == text.size();
}

void MakeDirectories(const std::wstring& path) {
  for (size_t i = 3; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == L'\\') CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
  }
}

struct Setup {
  bool ready = false;
  std::wstring error;
  std::wstring testDb;
  std::wstring templateDb;
};

Setup PrepareOnce() {
  Setup setup;
  std::wstring sysIni = Env(L"ODBCSYSINI");
  std::wstring userIni = Env(L"ODBCINI");
  if (sysIni.empty() || userIni.empty()) {
    setup.error =
        L"ODBCSYSINI and ODBCINI must name this test's own unixODBC files (run the test through ctest)";
    return setup;
  }
  std::wstring dir = DosPath(sysIni);
  MakeDirectories(dir);

  std::string unixDir = Narrow(sysIni);
  std::string odbcinst =
      std::string("[QuorvaneSQLite]\nDriver=") + kDriverPath + "\nSetup=" + kDriverPath + "\n";
  std::string odbc;
  odbc += "[" + Narrow(kDsn) + "]\nDriver=QuorvaneSQLite\nDatabase=" + unixDir + "/test.db\nTimeout=5000\n";
  odbc += "[" + Narrow(kTemplateDsn) + "]\nDriver=QuorvaneSQLite\nDatabase=" + unixDir + "/template.db\n";
  if (!WriteFileUtf8(dir + L"\\odbcinst.ini", odbcinst) || !WriteFileUtf8(DosPath(userIni), odbc)) {
    setup.error = L"cannot write the unixODBC ini files in " + dir;
    return setup;
  }

  setup.testDb = dir + L"\\test.db";
  setup.templateDb = dir + L"\\template.db";
  DeleteFileW(setup.templateDb.c_str());
  if (!TestDatabase::RunScript(kTemplateDsn, TestDatabase::SourceFile(L"db/sqlite/schema.sql"),
                               &setup.error) ||
      !TestDatabase::RunScript(kTemplateDsn, TestDatabase::SourceFile(L"db/initial-data.sql"), &setup.error))
    return setup;
  setup.ready = true;
  return setup;
}

}  // namespace

const wchar_t* TestDatabase::Dsn() { return kDsn; }

bool TestDatabase::Reset(std::wstring* error) {
  static const Setup setup = PrepareOnce();
  if (!setup.ready) {
    if (error) *error = setup.error;
    return false;
  }
  if (!CopyFileW(setup.templateDb.c_str(), setup.testDb.c_str(), FALSE)) {
    if (error) *error = L"cannot copy the template database to " + setup.testDb;
    return false;
  }
  return true;
}

std::wstring TestDatabase::SourceFile(const wchar_t* relativePath) {
  std::wstring path = testenv::SourcePath(relativePath);
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  return path;
}

bool TestDatabase::ReadUtf8File(const std::wstring& path, std::wstring* text) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::string bytes;
  char buffer[65536];
  DWORD n = 0;
  while (ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n > 0) bytes.append(buffer, n);
  CloseHandle(file);
  *text = qv::Utf8ToWide(bytes);
  return true;
}

std::vector<std::wstring> TestDatabase::SplitSql(const std::wstring& script) {
  std::vector<std::wstring> statements;
  std::wstring current;
  wchar_t quote = 0;
  for (size_t i = 0; i < script.size(); ++i) {
    wchar_t c = script[i];
    if (quote) {
      current += c;
      if (c == quote) quote = 0;
      continue;
    }
    if (c == L'-' && i + 1 < script.size() && script[i + 1] == L'-') {
      while (i < script.size() && script[i] != L'\n') ++i;
      current += L'\n';
      continue;
    }
    if (c == L'\'' || c == L'"') {
      quote = c;
      current += c;
      continue;
    }
    if (c == L';') {
      statements.push_back(current);
      current.clear();
      continue;
    }
    current += c;
  }
  statements.push_back(current);

  std::vector<std::wstring> result;
  for (std::wstring& s : statements) {
    size_t first = s.find_first_not_of(L" \t\r\n");
    if (first == std::wstring::npos) continue;
    size_t last = s.find_last_not_of(L" \t\r\n");
    result.push_back(s.substr(first, last - first + 1));
  }
  return result;
}

bool TestDatabase::RunScript(const wchar_t* dsn, const std::wstring& path, std::wstring* error) {
  std::wstring script;
  if (!ReadUtf8File(path, &script)) {
    *error = L"cannot read " + path;
    return false;
  }
  SQLServerLink link;
  if (!link.Connect(dsn, L"", L"")) {
    *error = std::wstring(L"cannot connect to ") + dsn + L": " + link.GetLastErrorText();
    return false;
  }
  if (!link.BeginTransaction()) {
    *error = std::wstring(L"cannot begin a transaction: ") + link.GetLastErrorText();
    return false;
  }
  for (const std::wstring& statement : SplitSql(script)) {
    if (!link.ExecDirect(statement.c_str())) {
      *error = L"statement failed: " + statement + L": " + link.GetLastErrorText();
      return false;
    }
  }
  if (!link.Commit()) {
    *error = std::wstring(L"commit failed: ") + link.GetLastErrorText();
    return false;
  }
  return true;
}

void DatabaseTest::SetUp() {
  std::wstring error;
  ASSERT_TRUE(TestDatabase::Reset(&error)) << Narrow(error);
}

}  // namespace qvtest
