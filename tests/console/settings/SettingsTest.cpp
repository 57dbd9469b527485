// SysServerPort.xml as the console reads it, and the system's error texts.
#include <gtest/gtest.h>

#include <string>

#include "console/SysServerPortConfig.h"
#include "console/SystemErrorText.h"
#include "platform/TextConv.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"

namespace {

std::string Port(const std::string& attributes) { return "<config><port " + attributes + "/></config>"; }

TEST(SysServerPort, AttributesAreTakenByTheirExactNamesFromTheFirstPortElement) {
  const std::string longValue(259, 'x');
  const struct {
    const char* name;
    std::string file;  // written as is; empty: no file
    int result;
    const wchar_t* values[6];  // DSN, Database, Description, IP, SqlName, SqlPass
    const wchar_t* refusal;    // part of the message, or null
  } rows[] = {
      {"all six", Port("DSN=\"qv\" Database=\"db\" Description=\"d\" IP=\"10.0.0.1\" SqlName=\"sa\" SqlPass=\"p!w\""),
       1, {L"qv", L"db", L"d", L"10.0.0.1", L"sa", L"p!w"}, nullptr},
      {"letter case", Port("dsn=\"qv\" Database=\"db\" SQLNAME=\"sa\""), 1, {L"", L"db", L"", L"", L"", L""}, nullptr},
      {"some", Port("DSN=\"qv\" SqlName=\"sa\" SqlPass=\"pw\" Server=\"x\""), 1, {L"qv", L"", L"", L"", L"sa", L"pw"}, nullptr},
      {"first port wins", "<r><port DSN=\"a\"/><port DSN=\"b\"/></r>", 1, {L"a", L"", L"", L"", L"", L""}, nullptr},
      {"nested port", "<r><a><port DSN=\"qv\"/></a></r>", 0, {L"", L"", L"", L"", L"", L""}, nullptr},
      {"malformed", "<r><port DSN=\"qv\"></r>", 0, {L"", L"", L"", L"", L"", L""}, nullptr},
      {"no file", "", 0, {L"", L"", L"", L"", L"", L""}, nullptr},
      {"259 characters", Port("SqlPass=\"" + longValue + "\""), 1, {L"", L"", L"", L"", L"", nullptr}, nullptr},
      {"260 characters", Port("DSN=\"qv\" SqlPass=\"" + longValue + "x\""), 0, {L"", L"", L"", L"", L"", L""}, L"SqlPass的值过长"},
      {"! in the list", Port("DSN=\"qv\" Description=\"a!b\""), 0, {L"", L"", L"", L"", L"", L""}, L"Description的值不能包含"},
      {"UTF-8", "\xEF\xBB\xBF" + Port("Description=\"\xE7\x9B\x91\xE6\xB5\x8B\""), 1, {L"", L"", L"监测", L"", L"", L""}, nullptr},
      {"ANSI", Port("Description=\"\xBC\xE0\xB2\xE2\""), 1, {L"", L"", L"监测", L"", L"", L""}, nullptr},
  };
  const wchar_t* globals[6] = {g_dsnName, g_databaseName, g_dsnDescription, g_serverAddress, g_sqlUserName, g_sqlPassword};
  testenv::TempDir dir;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::wstring file = dir.File(std::wstring(L"p") + qv::Utf8ToWide(row.name) + L".xml");
    if (!row.file.empty()) {
      ASSERT_TRUE(testfiles::WriteBytes(file, row.file));
    }
    std::wstring refusal = L"unchanged";
    EXPECT_EQ(row.result, LoadSysServerPortConfig(qv::WideToAnsi(file).c_str(), &refusal));
    for (int i = 0; i < 6; ++i)
      EXPECT_EQ(row.values[i] ? std::wstring(row.values[i]) : qv::Utf8ToWide(longValue), globals[i]) << i;
    if (row.refusal)
      EXPECT_NE(std::wstring::npos, refusal.find(row.refusal)) << qv::WideToUtf8(refusal);
    else
      EXPECT_EQ(L"", refusal);
  }
}

TEST(SystemErrorText, KnownCodesGiveTheSystemsTextAndUnknownOnesNothing) {
  std::wstring text = L"old";
  int n = GetSystemErrorText(ERROR_FILE_NOT_FOUND, text);
  EXPECT_GT(n, 0);
  EXPECT_EQ(static_cast<size_t>(n), text.size());
  EXPECT_EQ(0, GetSystemErrorText(0x2000FFFFu, text));
  EXPECT_EQ(L"", text);
}

}  // namespace
