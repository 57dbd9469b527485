#pragma once
// Check of the settings file reader, shared by the libFuzzer target and the replay
// test: the nesting guard holds over the file (XmlGuardCheck.h); accepted settings fit their buffers and keep "!" out of the data source's
// attribute list; a refusal leaves every setting empty. Returns null when that held,
// else what failed.
#include <cstddef>
#include <cstdint>
#include <cwchar>
#include <string>

#include "XmlGuardCheck.h"
#include "console/SysServerPortConfig.h"

namespace fuzzcheck {

inline const char* CheckSysServerPort(const uint8_t* data, size_t size) {
  if (const char* problem = CheckXmlGuard(std::string_view(reinterpret_cast<const char*>(data), size))) return problem;
  std::wstring refusal;
  const int read = ParseSysServerPortConfig(std::string(reinterpret_cast<const char*>(data), size), &refusal);
  const wchar_t* settings[] = {g_dsnName, g_databaseName, g_dsnDescription, g_serverAddress,
                               g_sqlUserName, g_sqlPassword, g_updateUrl};
  for (size_t i = 0; i < sizeof settings / sizeof settings[0]; ++i) {
    const wchar_t* s = settings[i];
    size_t n = 0;
    while (n < static_cast<size_t>(kSettingChars) && s[n]) ++n;
    if (n == static_cast<size_t>(kSettingChars)) return "setting without its terminator";
    if (read != 1 && n != 0) return "refused file left a setting";
    if (i < 4 && std::wcschr(s, L'!')) return "a \"!\" in the data source's attributes";
  }
  if (read == 1 && !refusal.empty()) return "accepted file with a refusal";
  return nullptr;
}

}  // namespace fuzzcheck
