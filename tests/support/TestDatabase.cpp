#include "support/TestDatabase.h"

#include <shlobj.h>
#include <windows.h>

#include "platform/TextConv.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"

namespace qvtest {

namespace {

const wchar_t kDsn[] = L"QuorvaneTest";
const wchar_t kTemplateDsn[] = L"QuorvaneTestTemplate";
const char kDriverPath[] = "/usr/lib/i386-linux-gnu/odbc/libsqlite3odbc.so";
// SQL Server's, as a site's console reaches it from Linux (package tdsodbc:i386).
const char kSqlServerDriverPath[] = "/usr/lib/i386-linux-gnu/odbc/libtdsodbc.so";

std::string Narrow(const std::wstring& text) { return qv::WideToUtf8(text); }

std::wstring Env(const wchar_t* name) {
  wchar_t buffer[1024];
  DWORD n = GetEnvironmentVariableW(name, buffer, 1024);
  return n > 0 && n < 1024 ? std::wstring(buffer, n) : std::wstring();
}

// Wine shows the Unix root as drive Z:.
std::wstring DosPath(const std::wstring& unixPath) {
  std::wstring result = L"Z:" + unixPath;
  for (wchar_t& c : result)
    if (c == L'/') c = L'\\';
  return result;
}

struct Setup {
  bool ready = false;
  std::wstring error;
  std::wstring testDb;
  std::wstring templateDb;
  std::wstring odbcIni;  // as a Windows path
  std::string sources;   // what it holds
};

Setup PrepareOnce() {
  Setup setup;
  std::wstring sysIni = Env(L"ODBCSYSINI");
  std::wstring userIni = Env(L"ODBCINI");
  if (sysIni.empty() || userIni.empty()) {
    setup.error = L"ODBCSYSINI and ODBCINI must name this test's own unixODBC files (run the test through ctest)";
    return setup;
  }
  std::wstring dir = DosPath(sysIni);
  SHCreateDirectoryExW(nullptr, dir.c_str(), nullptr);

  // As scripts/mkdb writes them: a missing file fails the connect, and results are stepped through.
  auto section = [&](const wchar_t* dsn, const char* file) {
    return "[" + Narrow(dsn) + "]\nDriver=QuorvaneSQLite\nDatabase=" + Narrow(sysIni) + "/" + file +
           "\nNoCreat=1\nStepAPI=1\nTimeout=5000\n";
  };
  std::string odbc = section(kDsn, "test.db") + section(kTemplateDsn, "template.db");
  std::string odbcinst = std::string("[QuorvaneSQLite]\nDriver=") + kDriverPath + "\nSetup=" + kDriverPath + "\n" +
                         "[QuorvaneSqlServer]\nDriver=" + kSqlServerDriverPath + "\n";
  setup.testDb = dir + L"\\test.db";
  setup.templateDb = dir + L"\\template.db";
  setup.odbcIni = DosPath(userIni);
  setup.sources = odbc;
  // An empty file is an empty database.
  if (!testfiles::WriteBytes(dir + L"\\odbcinst.ini", odbcinst) || !testfiles::WriteBytes(setup.odbcIni, odbc) ||
      !testfiles::WriteBytes(setup.templateDb, std::string())) {
    setup.error = L"cannot write the unixODBC ini files and the template database in " + dir;
    return setup;
  }
  setup.ready =
      TestDatabase::RunScript(kTemplateDsn, TestDatabase::SourceFile(L"db/sqlite/schema.sql"), &setup.error) &&
      TestDatabase::RunScript(kTemplateDsn, TestDatabase::SourceFile(L"db/initial-data.sql"), &setup.error);
  return setup;
}

const Setup& TheSetup() {
  static const Setup setup = PrepareOnce();
  return setup;
}

}  // namespace

const wchar_t* TestDatabase::Dsn() { return kDsn; }

std::wstring TestDatabase::File() { return TheSetup().testDb; }

bool TestDatabase::Reset(std::wstring* error) {
  const Setup& setup = TheSetup();
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

bool TestDatabase::AddSqlServerSource(const wchar_t* dsn, unsigned short port, std::wstring* error) {
  const Setup& setup = TheSetup();
  if (!setup.ready) {
    *error = setup.error;
    return false;
  }
  if (GetFileAttributesW(DosPath(qv::Utf8ToWide(kSqlServerDriverPath)).c_str()) == INVALID_FILE_ATTRIBUTES) {
    *error = L"the SQL Server driver is missing (package tdsodbc:i386, scripts/setup)";
    return false;
  }
  // The test's own sources first: unixODBC takes the first section of a name.
  const std::string section = "[" + Narrow(dsn) + "]\nDriver=QuorvaneSqlServer\nServer=127.0.0.1\nPort=" +
                              std::to_string(port) + "\nDatabase=Quorvane\nTDS_Version=7.3\n";
  if (!testfiles::WriteBytes(setup.odbcIni, setup.sources + section)) {
    *error = L"cannot write " + setup.odbcIni;
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

bool TestDatabase::RunScript(const wchar_t* dsn, const std::wstring& path, std::wstring* error) {
  std::wstring script;
  if (!ReadUtf8File(path, &script)) {
    *error = L"cannot read " + path;
    return false;
  }
  // The SQLite driver runs every statement of the text, comments included.
  SQLServerLink link;
  if (link.Connect(dsn, L"", L"") && link.BeginTransaction() && link.ExecDirect(script.c_str()) && link.Commit())
    return true;
  *error = path + L" on " + dsn + L": " + link.GetLastErrorText();
  return false;
}

SQLStatement* Prepare(SQLServerLink& link, const wchar_t* sql, std::initializer_list<SqlParam> params) {
  SQLStatement* st = link.CreateStatement(sql);
  EXPECT_NE(nullptr, st) << link.GetLastErrorText();
  int index = 0;
  for (const SqlParam& p : params) {
    if (st) {
      EXPECT_EQ(1, p.isInt ? st->BindInt(index, p.i) : st->BindString(index, p.s)) << "parameter " << index;
    }
    ++index;
  }
  return st;
}

int Exec(SQLServerLink& link, const wchar_t* sql, std::initializer_list<SqlParam> params) {
  SQLStatement* st = Prepare(link, sql, params);
  int result = st ? st->Execute() : 0;
  link.ReleaseStatement(st);
  return result;
}

SQLStatement* Row(SQLServerLink& link, const wchar_t* sql, std::initializer_list<SqlParam> params) {
  SQLStatement* st = Prepare(link, sql, params);
  if (st && st->Fetch()) return st;
  ADD_FAILURE() << "no row: " << (st && st->Failed() ? "failed" : "empty");
  return nullptr;
}

int Int(SQLServerLink& link, const wchar_t* sql, std::initializer_list<SqlParam> params) {
  SQLStatement* st = Row(link, sql, params);
  int value = st ? st->GetInt(0) : -1;
  link.ReleaseStatement(st);
  return value;
}

bool FailRowsWhen(SQLServerLink& link, const wchar_t* table, const wchar_t* column, const wchar_t* when,
                  std::wstring* error) {
  const std::wstring rows = std::wstring(table) + L"Rows";
  std::wstring columns;
  SQLStatement* st = link.CreateStatement((L"select name from pragma_table_info('" + std::wstring(table) + L"')").c_str());
  while (st && st->Fetch()) {
    const std::wstring name = st->GetString(0) ? st->GetString(0) : L"";
    if (!columns.empty()) columns += L", ";
    if (_wcsicmp(name.c_str(), column) == 0)
      columns += L"case when " + std::wstring(when) + L" then abs(-9223372036854775807 - 1) else " + name +
                 L" end as " + name;
    else
      columns += name;
  }
  const bool read = st && !st->Failed() && columns.find(L"case when") != std::wstring::npos;
  link.ReleaseStatement(st);
  if (!read || !link.ExecDirect((L"alter table " + std::wstring(table) + L" rename to " + rows).c_str()) ||
      !link.ExecDirect((L"create view " + std::wstring(table) + L" as select " + columns + L" from " + rows).c_str())) {
    *error = std::wstring(L"cannot break ") + table + L"." + column + L": " +
             (link.GetLastErrorText() ? link.GetLastErrorText() : L"");
    return false;
  }
  return true;
}

void DatabaseTest::SetUp() {
  std::wstring error;
  ASSERT_TRUE(TestDatabase::Reset(&error)) << Narrow(error);
}

void ConnectedDatabaseTest::SetUp() {
  DatabaseTest::SetUp();
  if (HasFatalFailure()) return;
  ASSERT_EQ(1, link.Connect(TestDatabase::Dsn(), L"", L"")) << link.GetLastErrorText();
}

}  // namespace qvtest
