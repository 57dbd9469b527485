#include "console/OdbcInstaller.h"

#include "platform/TextConv.h"

namespace {

const wchar_t kDriver[] = L"SQL Server";

int ConfigDataSource(WORD request, LPCWSTR dsn, LPCWSTR database, LPCWSTR description,
                     LPCWSTR server) {
  std::wstring attributes = OdbcDataSourceAttributes(dsn, database, description, server);
  return OdbcInstaller::Current().ConfigDataSource(request, kDriver, attributes) ? 0 : 1;
}

}  // namespace

BOOL OdbcInstaller::ConfigDataSource(WORD request, LPCWSTR driver, const std::wstring& attributes) {
  typedef BOOL(WINAPI * ConfigFn)(HWND, WORD, LPCWSTR, LPCWSTR);
  static ConfigFn config = [] {
    HMODULE installer = ::LoadLibraryW(L"odbccp32.dll");
    return installer ? reinterpret_cast<ConfigFn>(reinterpret_cast<void*>(
                           ::GetProcAddress(installer, "SQLConfigDataSourceW")))
                     : nullptr;
  }();
  return config ? config(nullptr, request, driver, attributes.c_str()) : FALSE;
}

OdbcInstaller& OdbcInstaller::Current() {
  static OdbcInstaller system;
  OdbcInstaller* installed = qv::ProcessSeam<OdbcInstaller>::Installed();
  return installed ? *installed : system;
}

std::wstring OdbcDataSourceAttributes(LPCWSTR dsn, LPCWSTR database, LPCWSTR description,
                                      LPCWSTR server) {
  std::wstring list;
  const struct { const wchar_t* name; LPCWSTR value; } parts[] = {
      {L"DSN=", dsn}, {L"Description=", description}, {L"server=", server}, {L"Database=", database}};
  for (const auto& p : parts) {
    list += p.name;
    list += qv::OrEmpty(p.value);
    list += L'\0';
  }
  list += L'\0';
  return list;
}

int CreateOdbcDataSource(LPCWSTR dsn, LPCWSTR database, LPCWSTR description, LPCWSTR server,
                         LPCWSTR) {
  return ConfigDataSource(OdbcInstaller::kAddDsn, dsn, database, description, server);
}

int RemoveOdbcDataSource(LPCWSTR dsn, LPCWSTR database, LPCWSTR description, LPCWSTR server,
                         LPCWSTR) {
  return ConfigDataSource(OdbcInstaller::kRemoveDsn, dsn, database, description, server);
}
